// The program's fonts: "ＭＳ Ｐゴシック" where it is installed, else a Japanese
// Gothic that is, so that no text is drawn as boxes.
#pragma once

#include <QFont>

#include "app/form/layout.h"

namespace wordpour::qt {

inline QFont gothicFont(qreal pointSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

inline QFont gothicFont(const form::FontStyle& style) {
    QFont font = gothicFont(style.points, style.bold);
    font.setUnderline(style.underline);
    return font;
}

// The windows' own font, for the buttons, labels and frame that name none.
inline QFont defaultFont() {
    return gothicFont(form::kPlainFont);
}

}  // namespace wordpour::qt
