// The modal message box, with the button-and-icon values and answer codes
// the program speaks in. Tests preset the next answer instead of clicking.
#pragma once

#include <deque>
#include <vector>

#include <QString>

#include "app/form/message.h"

class QWidget;

namespace wordpour::qt {

class MessageBox {
public:
    struct Shown {
        QString prompt;
        int buttons;  // the style's Windows value: 0 for OK alone, 20 for a confirmation
        QString title;
    };

    // Shows the box and returns the button pressed. A CR in the prompt
    // breaks the line.
    static form::Answer show(QWidget* parent, const QString& prompt, form::Style style,
                             const QString& title);

    // The next show() returns `answer` at once without showing anything;
    // several calls answer the next boxes in turn.
    static void setNextAnswer(form::Answer answer);
    // Every box shown (or answered in advance) since the last call; answers
    // set but not used are dropped.
    static std::vector<Shown> takeShown();

private:
    static std::deque<form::Answer> s_nextAnswers;
    static std::vector<Shown> s_shown;
};

// Shows `notice` unless it was shown before for this `signature`, which
// the settings file then remembers under `key`.
void showOnce(QWidget* parent, const form::Message& notice, const QString& key,
              const QString& signature);

// The width a dialog needs for the window manager to show `title` whole.
int widthForTitle(const QWidget& window, const QString& title);

}  // namespace wordpour::qt
