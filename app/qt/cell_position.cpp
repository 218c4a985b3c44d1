#include "app/qt/cell_position.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/qt/command_button.h"
#include "app/qt/fonts.h"
#include "app/qt/program_icon.h"
#include "app/qt/qt_text.h"

namespace wordpour::app {

Form2::Form2() {
    setWindowTitle(QStringLiteral("セル位置"));
    setWindowIcon(programIcon());
    setFont(defaultFont());
    // An ordinary, resizable frame; the controls keep their places.
    resize(px(1905), px(1155));
    createControls();
}

void Form2::createControls() {
    Label1 = new QLabel(QStringLiteral("入力を開始する位置を指定してください。"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twipsRect(120, 120, 1575, 375));
    Label1->setWordWrap(true);

    Text1 = new QLineEdit(QStringLiteral("A1"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipsRect(120, 600, 855, 495));
    Text1->setFont(gothicFont(20.25, true));
    Text1->setMaxLength(kUnlimitedText);  // an overlong name gets its message
    // The name is typed as plain keyboard characters.
    Text1->setAttribute(Qt::WA_InputMethodEnabled, false);
    Text1->installEventFilter(this);

    Command1 = new CommandButton(QStringLiteral("指定"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsRect(1080, 600, 735, 495));
    Command1->setFont(gothicFont(9, true));
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
}

void Form2::Command1_Click() {
    hide();
}

void Form2::Text1_GotFocus() {
    Text1->selectAll();
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::FocusIn) Text1_GotFocus();
    return QWidget::eventFilter(watched, event);
}

Form2& CellPosition::form() {
    if (!form_) form_ = std::make_unique<Form2>();
    return *form_;
}

std::u16string CellPosition::text() {
    return fromQt(form().text1()->text());
}

void CellPosition::setText(const std::u16string& text) {
    form().text1()->setText(toQt(text));
}

void CellPosition::open() {
    Form2& dialog = form();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    dialog.text1()->setFocus();
    dialog.text1()->selectAll();
}

}  // namespace wordpour::app
