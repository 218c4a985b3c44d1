// NFKC through the system's NormalizeString.
#include <windows.h>

#include "app/find/search_key.h"

namespace wordpour::app {

std::u16string nfkc(std::u16string_view text) {
    if (text.empty()) return {};
    const auto* source = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    int size = NormalizeString(NormalizationKC, source, length, nullptr, 0);
    // The first figure is an estimate: try again with what the system asks.
    for (int attempt = 0; size > 0 && attempt < 3; ++attempt) {
        std::u16string out(static_cast<std::size_t>(size), u'\0');
        const int n = NormalizeString(NormalizationKC, source, length,
                                      reinterpret_cast<wchar_t*>(out.data()), size);
        if (n > 0) {
            out.resize(static_cast<std::size_t>(n));
            return out;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        size = -n;
    }
    return std::u16string(text);
}

}  // namespace wordpour::app
