// A message for the user, in the form the message box takes it.
#pragma once

#include <string>

namespace wordpour::link {

// Button-and-icon values of the message box.
inline constexpr int kOkOnly = 0;
inline constexpr int kCritical = 16;
inline constexpr int kExclamation = 48;

// The message box's answer for Yes: the only one that lets a command go on.
inline constexpr int kAnswerYes = 6;

inline constexpr char16_t kProgramTitle[] = u"ワードポア！";

struct Message {
    std::u16string prompt;
    int buttons = kOkOnly;
    std::u16string title;

    bool operator==(const Message&) const = default;
};

}  // namespace wordpour::link
