// UTF-16 text as UTF-8, for test messages and for finding text in files.
#pragma once

#include <string>
#include <string_view>

#include "base/unicode.h"

namespace wordpour::testing {

inline std::string toUtf8(std::u16string_view text) {
    return base::encodeUtf8(text);
}

}  // namespace wordpour::testing
