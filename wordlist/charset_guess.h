// What a charset detector makes of bytes without a byte-order mark: ICU's
// charset detection on Linux, the system's MLang (DetectInputCodepage) on
// Windows. Both weigh how often each encoding's characters occur, which no
// rule about byte ranges can.
#pragma once

#include <optional>
#include <string_view>

namespace wordpour::wordlist {

// How likely each encoding a List may be in is, from 0 to 100.
struct CharsetGuess {
    int utf8 = 0;
    int shiftJis = 0;  // code page 932
    int eucJp = 0;
};

// Nothing when the detector cannot be had or gives no answer (Wine's MLang
// does not implement the detection).
std::optional<CharsetGuess> guessCharset(std::string_view bytes);

}  // namespace wordpour::wordlist
