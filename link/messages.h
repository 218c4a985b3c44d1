// A message for the user, in the form the message box takes it.
#pragma once

#include <string>

namespace wordpour::link {

// Button-and-icon values of the message box.
inline constexpr int kOkOnly = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kCritical = 16;
inline constexpr int kExclamation = 48;

// Answer codes of the message box.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

inline constexpr char16_t kProgramTitle[] = u"ワードポア！";

struct Message {
    std::u16string prompt;
    int buttons = kOkOnly;
    std::u16string title;

    bool operator==(const Message&) const = default;
};

}  // namespace wordpour::link
