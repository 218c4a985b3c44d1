#include <mlang.h>
#include <objbase.h>

#include <algorithm>
#include <climits>
#include <string>

#include "wordlist/charset_guess.h"

namespace wordpour::wordlist {

namespace {
// IMultiLanguage2, which mingw-w64's uuid library does not define.
constexpr IID kMultiLanguage2 = {
    0xDCCFC164, 0x2B38, 0x11D2, {0xB7, 0xEC, 0x00, 0xC0, 0x4F, 0x8F, 0x5D, 0x9A}};
}  // namespace

std::optional<CharsetGuess> guessCharset(std::string_view bytes) {
    if (bytes.size() > INT_MAX) return std::nullopt;
    // A thread of the window's has COM already; another gets it for the call.
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::optional<CharsetGuess> guess;
    IMultiLanguage2* detector = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_CMultiLanguage, nullptr, CLSCTX_INPROC_SERVER,
                                   kMultiLanguage2, reinterpret_cast<void**>(&detector)))) {
        std::string text(bytes);
        INT size = static_cast<INT>(text.size());
        DetectEncodingInfo found[8] = {};
        INT count = 8;
        if (detector->DetectInputCodepage(MLDETECTCP_NONE, 932, text.data(), &size, found,
                                          &count) == S_OK) {
            guess.emplace();
            for (INT i = 0; i < count; ++i) {
                // Ranked best first; a confidence is not always given.
                const int confidence = found[i].nConfidence > 0
                                           ? std::min(found[i].nConfidence, 100)
                                           : (i == 0 ? 100 : 50);
                if (found[i].nCodePage == 65001) guess->utf8 = std::max(guess->utf8, confidence);
                if (found[i].nCodePage == 932)
                    guess->shiftJis = std::max(guess->shiftJis, confidence);
                if (found[i].nCodePage == 51932 || found[i].nCodePage == 20932)
                    guess->eucJp = std::max(guess->eucJp, confidence);
            }
        }
        detector->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return guess;
}

}  // namespace wordpour::wordlist
