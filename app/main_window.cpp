#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "app/command_button.h"
#include "app/dialogs/file_dialog.h"
#include "app/dialogs/message_box.h"
#include "app/fonts.h"
#include "app/qt_text.h"

namespace wordpour::app {

Form1::Form1(link::WorkbookLink::Attach attach) : link_(std::move(attach)) {
    setWindowTitle(toQt(link::kProgramTitle));
    createControls();
}

void Form1::createControls() {
    auto* client = new QWidget(this);
    client->setFixedSize(px(3720), px(2745));
    setCentralWidget(client);

    Combo1 = new QComboBox(client);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr);
    Combo1->setFont(gothicFont(20.25, true));
    Combo1->move(px(120), 0);
    Combo1->resize(px(3495), Combo1->sizeHint().height());
    Combo1->lineEdit()->installEventFilter(this);

    Command4 = new CommandButton(QStringLiteral("入力"), client);
    Command4->setObjectName(QStringLiteral("Command4"));
    Command4->setGeometry(twipsRect(120, 600, 2295, 615));
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);

    setTabOrder(Combo1, Command4);
}

bool Form1::Form_Initialize() {
    const QString path = FileDialog::getOpenFileName(this, toQt(kBookFilter));
    try {
        link_.start(fromQt(path), Module1::GetCellName(cellPosition_));
    } catch (const link::StartupError& error) {
        showMessage(error.message());
        return false;
    }
    Combo1->setFocus();
    return true;
}

void Form1::Command4_Click() {
    if (auto problem = link_.enterWord(cellPosition_, fromQt(Combo1->currentText())))
        showMessage(*problem);
    Command4->setFocus();
}

void Form1::showMessage(const link::Message& message) {
    MessageBox::show(this, toQt(message.prompt), message.buttons, toQt(message.title));
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program, the hidden dialog with it.
    event->accept();
    QApplication::quit();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // No button is the default: Enter in the word box does nothing at all,
    // so what the user typed stays as typed.
    if (watched == Combo1->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace wordpour::app
