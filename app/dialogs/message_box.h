// The modal message box, with the button-and-icon values and answer codes
// the program speaks in. Tests preset the next answer instead of clicking.
#pragma once

#include <deque>
#include <vector>

#include <QString>

class QWidget;

namespace wordpour::app {

class MessageBox {
public:
    struct Shown {
        QString prompt;
        int buttons;
        QString title;
    };

    // Shows the box and returns the code of the button pressed (1 OK,
    // 6 Yes, 7 No). A CR in the prompt breaks the line.
    static int show(QWidget* parent, const QString& prompt, int buttons, const QString& title);

    // The next show() returns `answer` at once without showing anything;
    // several calls answer the next boxes in turn.
    static void setNextAnswer(int answer);
    // Every box shown (or answered in advance) since the last call; answers
    // set but not used are dropped.
    static std::vector<Shown> takeShown();

private:
    static std::deque<int> s_nextAnswers;
    static std::vector<Shown> s_shown;
};

}  // namespace wordpour::app
