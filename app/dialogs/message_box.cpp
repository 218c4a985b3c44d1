#include "app/dialogs/message_box.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace wordpour::app {

std::deque<int> MessageBox::s_nextAnswers;
std::vector<MessageBox::Shown> MessageBox::s_shown;

namespace {

QMessageBox::Icon iconFor(int buttons) {
    switch (buttons & 0xF0) {
        case 16:
            return QMessageBox::Critical;
        case 32:
            return QMessageBox::Question;
        case 48:
            return QMessageBox::Warning;
        case 64:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons buttonsFor(int buttons) {
    switch (buttons & 0x0F) {
        case 1:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case 3:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case 4:
            return QMessageBox::Yes | QMessageBox::No;
        default:
            return QMessageBox::Ok;
    }
}

int answerCode(int pressed) {
    switch (pressed) {
        case QMessageBox::Cancel:
            return 2;
        case QMessageBox::Yes:
            return 6;
        case QMessageBox::No:
            return 7;
        default:
            return 1;
    }
}

// A text of thousands of lines would run off the screen in a message box:
// show it in a read-only text view that scrolls, within the screen.
constexpr int kMaxLinesInABox = 30;

int showScrolling(QWidget* parent, const QString& text, const QString& title) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* view = new QPlainTextEdit(&dialog);
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setPlainText(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(view);
    layout->addWidget(buttons);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    dialog.resize(std::min(480, screen.width() * 4 / 5), screen.height() * 3 / 5);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
    dialog.exec();
    return 1;
}

}  // namespace

int MessageBox::show(QWidget* parent, const QString& prompt, int buttons, const QString& title) {
    s_shown.push_back({prompt, buttons, title});
    if (!s_nextAnswers.empty()) {
        const int answer = s_nextAnswers.front();
        s_nextAnswers.pop_front();
        return answer;
    }

    QString shownText = prompt;
    shownText.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if ((buttons & 0x0F) == 0 && shownText.count(QLatin1Char('\n')) > kMaxLinesInABox)
        return showScrolling(parent, shownText, title);
    QMessageBox box(iconFor(buttons), title, shownText, buttonsFor(buttons), parent);
    // The first button is the default one, as the values say (Yes for 4).
    const auto standard = buttonsFor(buttons);
    box.setDefaultButton(standard.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok);
    return answerCode(box.exec());
}

void MessageBox::setNextAnswer(int answer) {
    s_nextAnswers.push_back(answer);
}

std::vector<MessageBox::Shown> MessageBox::takeShown() {
    s_nextAnswers.clear();
    return std::exchange(s_shown, {});
}

}  // namespace wordpour::app
