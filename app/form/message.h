// A message for the user, in the form the message box takes it. The values
// are the Windows message box's own (MB_YESNO, MB_ICONHAND, IDYES…), so the
// Windows face passes them straight on and the Qt face maps them.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace wordpour::form {

enum class Buttons : int { OkOnly = 0, OkCancel = 1, YesNoCancel = 3, YesNo = 4 };
enum class Icon : int { None = 0, Hand = 16, Question = 32, Exclamation = 48, Information = 64 };
// The button pressed. Only Yes lets a confirmed command go on.
enum class Answer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// Which button Enter presses: the first, or the second (MB_DEFBUTTON2).
enum class DefaultButton : int { First = 0, Second = 0x100 };

// A box's buttons, icon and default button.
struct Style {
    Buttons buttons = Buttons::OkOnly;
    Icon icon = Icon::None;
    DefaultButton defaultButton = DefaultButton::First;

    // The one value a Windows message box takes (20 for Yes/No with a stop icon).
    constexpr int value() const {
        return static_cast<int>(buttons) | static_cast<int>(icon) | static_cast<int>(defaultButton);
    }
    bool operator==(const Style&) const = default;
};

inline constexpr Style kOkOnly{};
inline constexpr Style kCritical{Buttons::OkOnly, Icon::Hand};
inline constexpr Style kExclamation{Buttons::OkOnly, Icon::Exclamation};
// The confirmations: Yes and No, the stop icon, Yes the default.
inline constexpr Style kConfirmation{Buttons::YesNo, Icon::Hand};
static_assert(kConfirmation.value() == 20);
// A question whose answer starts something: Yes is the default.
inline constexpr Style kStartQuestion{Buttons::YesNo, Icon::Question};
// A question whose safe answer is No: No is the default.
inline constexpr Style kQuestionDefaultNo{Buttons::YesNo, Icon::Question, DefaultButton::Second};

struct Message {
    std::u16string prompt;
    Style style;
    std::u16string title;

    bool operator==(const Message&) const = default;
};

// A row of the type-to-find list: the entry as shown (cut when long) and
// its reading, "" for none; a face draws it as wording::findRow() words it.
struct FoundRow {
    std::u16string word;
    std::u16string reading;
};

// The rows of the type-to-find list: how many, and each one worded only
// when a face draws or reads it (a letter may find thousands of entries,
// and a list shows a dozen). `row` holds until the list is shown again
// or hidden; a row past the end is empty.
struct FoundRows {
    std::size_t count = 0;
    std::function<FoundRow(std::size_t row)> row;
};

}  // namespace wordpour::form
