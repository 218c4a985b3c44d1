// NFKC with full case folding through ICU (NFKC_Casefold).
#include <unicode/unorm2.h>

#include "app/find/search_key.h"

namespace wordpour::app {

std::u16string nfkcCaseFold(std::u16string_view text) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* form = unorm2_getNFKCCasefoldInstance(&status);
    if (U_FAILURE(status)) return std::u16string(text);
    const auto length = static_cast<int32_t>(text.size());
    // NFKC may lengthen a text: "㍻" is "平成", "ﾊﾞ" shortens to "バ".
    std::u16string out(text.size() * 2 + 8, u'\0');
    int32_t n = unorm2_normalize(form, text.data(), length, out.data(),
                                 static_cast<int32_t>(out.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        out.resize(static_cast<std::size_t>(n));
        n = unorm2_normalize(form, text.data(), length, out.data(), n, &status);
    }
    if (U_FAILURE(status)) return std::u16string(text);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace wordpour::app
