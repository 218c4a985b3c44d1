#include "app/qt/cell_position_dialog.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/form/layout.h"
#include "app/qt/command_button.h"
#include "app/qt/fonts.h"
#include "app/qt/place.h"
#include "app/qt/program_icon.h"
#include "app/qt/qt_text.h"

namespace wordpour::qt {

CellPositionDialog::CellPositionDialog(std::function<void(std::u16string)> edited) {
    setWindowTitle(toQt(form::kCellPositionDialog.title));
    setWindowIcon(programIcon());
    setFont(defaultFont());
    // An ordinary, resizable frame; the controls keep their places.
    resize(px(form::kCellPositionDialog.width), px(form::kCellPositionDialog.height));

    auto* prompt = place(new QLabel(toQt(form::kCellPrompt.text), this), form::kCellPrompt);
    prompt->setWordWrap(true);

    nameBox_ = place(new QLineEdit(toQt(form::kCellNameBox.text), this), form::kCellNameBox);
    nameBox_->setMaxLength(kUnlimitedText);  // an overlong name gets its message
    // The name is typed as plain keyboard characters.
    nameBox_->setAttribute(Qt::WA_InputMethodEnabled, false);
    nameBox_->installEventFilter(this);
    connect(nameBox_, &QLineEdit::textEdited, this,
            [edited = std::move(edited)](const QString& text) { edited(fromQt(text)); });

    auto* set = place(new CommandButton(toQt(form::kSetButton.text), this), form::kSetButton);
    connect(set, &QPushButton::clicked, this, &QWidget::hide);
}

void CellPositionDialog::showName(const std::u16string& name) {
    nameBox_->setText(toQt(name));
}

void CellPositionDialog::open() {
    show();
    raise();
    activateWindow();
    nameBox_->setFocus();
    nameBox_->selectAll();
}

bool CellPositionDialog::eventFilter(QObject* watched, QEvent* event) {
    // The whole name is selected whenever the box gets the focus.
    if (watched == nameBox_ && event->type() == QEvent::FocusIn) nameBox_->selectAll();
    return QWidget::eventFilter(watched, event);
}

}  // namespace wordpour::qt
