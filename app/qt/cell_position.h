// The cell-position dialog: its text box is the one store of the current
// cell name.
#pragma once

#include <memory>

#include <QWidget>

#include "cells/module1.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace wordpour::app {

class Form2 : public QWidget {
    Q_OBJECT

public:
    Form2();

    QLineEdit* text1() const { return Text1; }

    void Command1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void Text1_GotFocus();

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
};

// Creates the dialog, hidden, the first time anything reads or shows it.
class CellPosition final : public cells::CellNameBox {
public:
    std::u16string text() override;
    void setText(const std::u16string& text) override;

    // Shows the dialog modeless, in front, with the focus in its text box.
    void open();
    Form2& form();
    bool created() const { return form_ != nullptr; }

private:
    std::unique_ptr<Form2> form_;
};

}  // namespace wordpour::app
