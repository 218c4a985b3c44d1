// The small window the start-up shows while the spreadsheet does not
// answer: what it waits for, and 中止, which gives up.
#pragma once

#include <functional>

#include <QWidget>

namespace wordpour::qt {

class WaitingWindow : public QWidget {
    Q_OBJECT

public:
    // `abort` runs on 中止 and on the close box.
    WaitingWindow(const QString& text, std::function<void()> abort);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<void()> abort_;
};

}  // namespace wordpour::qt
