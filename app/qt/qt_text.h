// Text and geometry conversions between the core's types and Qt's.
#pragma once

#include <limits>
#include <string>
#include <string_view>

#include <QRect>
#include <QString>

#include "app/form/layout.h"

namespace wordpour::qt {

inline QString toQt(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::u16string fromQt(const QString& text) {
    return text.toStdU16String();
}

// An object name from a table, for tests and screen readers to find it by.
inline QString nameOf(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// A text box's length limit that is no limit (Qt's default is 32,767).
inline constexpr int kUnlimitedText = std::numeric_limits<int>::max();

// Window geometry is given in twips: 15 to a pixel at 96 dpi. Qt scales
// these device-independent pixels on high-dpi screens.
constexpr int px(int twips) {
    return twips / 15;
}
inline QRect twipsRect(const form::TwipsRect& rect) {
    return QRect(px(rect.left), px(rect.top), px(rect.width), px(rect.height));
}

}  // namespace wordpour::qt
