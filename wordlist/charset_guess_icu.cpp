#include <memory>
#include <string>

#include <unicode/ucsdet.h>

#include "wordlist/charset_guess.h"

namespace wordpour::wordlist {

std::optional<CharsetGuess> guessCharset(std::string_view bytes) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&status),
                                                                              ucsdet_close);
    if (U_FAILURE(status)) return std::nullopt;
    ucsdet_setText(detector.get(), bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    int32_t found = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &found, &status);
    if (U_FAILURE(status)) return std::nullopt;
    CharsetGuess guess;
    for (int32_t i = 0; i < found; ++i) {
        const std::string name = ucsdet_getName(matches[i], &status);
        const int confidence = ucsdet_getConfidence(matches[i], &status);
        if (U_FAILURE(status)) return std::nullopt;
        if (name == "UTF-8") guess.utf8 = confidence;
        if (name == "Shift_JIS") guess.shiftJis = confidence;
        if (name == "EUC-JP") guess.eucJp = confidence;
    }
    return guess;
}

}  // namespace wordpour::wordlist
