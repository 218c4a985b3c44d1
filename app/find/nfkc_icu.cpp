// NFKC with full case folding through ICU (NFKC_Casefold), then without the
// accents of Latin, Greek and Cyrillic letters (NFD, the marks dropped, NFC).
#include <optional>

#include <unicode/unorm2.h>

#include "app/find/search_key.h"

namespace wordpour::find {

namespace {

// The text in a normalization form; nothing when ICU cannot make it.
std::optional<std::u16string> normalized(const UNormalizer2* form, std::u16string_view text) {
    UErrorCode status = U_ZERO_ERROR;
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
    if (U_FAILURE(status)) return std::nullopt;
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace

std::u16string nfkcCaseFold(std::u16string_view text) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* folding = unorm2_getNFKCCasefoldInstance(&status);
    const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
    const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
    if (U_FAILURE(status)) return std::u16string(text);
    const auto folded = normalized(folding, text);
    if (!folded) return std::u16string(text);
    if (!hasAccentToDrop(*folded)) return *folded;
    auto apart = normalized(nfd, *folded);
    if (!apart) return *folded;
    dropAccents(*apart);
    return normalized(nfc, *apart).value_or(*folded);
}

}  // namespace wordpour::find
