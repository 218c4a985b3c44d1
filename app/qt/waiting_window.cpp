#include "app/qt/waiting_window.h"

#include <QCloseEvent>
#include <QLabel>

#include "app/form/layout.h"
#include "app/qt/command_button.h"
#include "app/qt/place.h"
#include "app/qt/program_icon.h"

namespace wordpour::qt {

WaitingWindow::WaitingWindow(const QString& text, std::function<void()> abort)
    : abort_(std::move(abort)) {
    setObjectName(QStringLiteral("waitingWindow"));
    setWindowTitle(toQt(form::kWaitingWindow.title));
    setWindowIcon(programIcon());
    setFont(defaultFont());
    resize(px(form::kWaitingWindow.width), px(form::kWaitingWindow.height));
    place(new QLabel(text, this), form::kWaitingText)->setWordWrap(true);
    auto* abortButton =
        place(new CommandButton(toQt(form::kAbortButton.text), this), form::kAbortButton);
    connect(abortButton, &QPushButton::clicked, this, [this] { abort_(); });
    abortButton->setFocus();
}

void WaitingWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    abort_();
}

}  // namespace wordpour::qt
