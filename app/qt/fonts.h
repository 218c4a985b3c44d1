// The program's fonts: "ＭＳ Ｐゴシック" where it is installed, else a Japanese
// Gothic that is, so that no text is drawn as boxes.
#pragma once

#include <QFont>

namespace wordpour::app {

inline QFont gothicFont(qreal pointSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// The windows' own font, for the buttons, labels and frame that name none.
inline QFont defaultFont() {
    return gothicFont(9, false);
}

}  // namespace wordpour::app
