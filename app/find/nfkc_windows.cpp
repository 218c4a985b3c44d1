// NFKC with full case folding through the system: NormalizeString, then
// LCMapStringEx's linguistic lower case, then the folds that lengthen a
// letter, which a lower-case mapping cannot make.
#include <windows.h>

#include "app/find/search_key.h"

namespace wordpour::find {

namespace {

std::u16string normalized(std::u16string_view text, NORM_FORM form = NormalizationKC) {
    const auto* source = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    int size = NormalizeString(form, source, length, nullptr, 0);
    // The first figure is an estimate: try again with what the system asks.
    for (int attempt = 0; size > 0 && attempt < 3; ++attempt) {
        std::u16string out(static_cast<std::size_t>(size), u'\0');
        const int n =
            NormalizeString(form, source, length, reinterpret_cast<wchar_t*>(out.data()), size);
        if (n > 0) {
            out.resize(static_cast<std::size_t>(n));
            return out;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        size = -n;
    }
    return std::u16string(text);
}

std::u16string lowerCase(const std::u16string& text) {
    const DWORD flags = LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING;
    const auto* source = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int size = LCMapStringEx(LOCALE_NAME_INVARIANT, flags, source, length, nullptr, 0,
                                   nullptr, nullptr, 0);
    if (size <= 0) return text;
    std::u16string out(static_cast<std::size_t>(size), u'\0');
    const int n = LCMapStringEx(LOCALE_NAME_INVARIANT, flags, source, length,
                                reinterpret_cast<wchar_t*>(out.data()), size, nullptr, nullptr, 0);
    if (n <= 0) return text;
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace

std::u16string nfkcCaseFold(std::u16string_view text) {
    if (text.empty()) return {};
    const std::u16string lower = lowerCase(normalized(text));
    std::u16string folded;
    folded.reserve(lower.size());
    for (char16_t c : lower) {
        switch (c) {
            case u'\u00DF':  // ß
            case u'\u1E9E':  // ẞ
                folded += u"ss";
                break;
            case u'\u03C2':  // final sigma
                folded += u'\u03C3';
                break;
            default:
                folded += c;
        }
    }
    if (!hasAccentToDrop(folded)) return folded;
    std::u16string apart = normalized(folded, NormalizationD);
    dropAccents(apart);
    return normalized(apart, NormalizationC);
}

}  // namespace wordpour::find
