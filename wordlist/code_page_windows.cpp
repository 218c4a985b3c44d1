// Code page 932 through the Windows conversion functions: the same table
// the system uses for its Japanese ANSI code page.
#include <algorithm>
#include <climits>

#include <windows.h>

#include "wordlist/code_page.h"

namespace wordpour::wordlist {

namespace {
constexpr UINT kCodePage = 932;
}

std::optional<std::string> encodeCp932(std::u16string_view text) {
    if (text.empty()) return std::string();
    if (text.size() > INT_MAX / 2) return std::nullopt;
    const auto* wide = reinterpret_cast<LPCWCH>(text.data());
    const int length = static_cast<int>(text.size());
    // No best fit ("é" as "e") and no default character ("?"): a character
    // without a code of its own makes the whole text unencodable.
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0,
                                         nullptr, &usedDefault);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, length, bytes.data(), size, nullptr,
                        &usedDefault);
    if (usedDefault) return std::nullopt;
    return bytes;
}

namespace {

std::optional<std::u16string> decode(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return std::u16string();
    if (bytes.size() > INT_MAX) return std::nullopt;
    const int length = static_cast<int>(bytes.size());
    const int size =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size <= 0) return std::nullopt;  // ERROR_NO_UNICODE_TRANSLATION
    std::u16string text(static_cast<std::size_t>(size), u'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length,
                        reinterpret_cast<LPWSTR>(text.data()), size);
    return text;
}

}  // namespace

std::optional<std::u16string> decodeCp932(std::string_view bytes) {
    return decode(kCodePage, bytes);
}

std::optional<std::u16string> decodeEucJp(std::string_view bytes) {
    // EUC-JP (JIS X 0208 and half-width katakana); single bytes 0x80–0x9F,
    // which a conversion may pass through as C1 controls, are no text.
    auto text = decode(20932, bytes);
    if (text &&
        std::any_of(text->begin(), text->end(), [](char16_t c) { return c >= 0x80 && c <= 0x9F; }))
        return std::nullopt;
    return text;
}

}  // namespace wordpour::wordlist
