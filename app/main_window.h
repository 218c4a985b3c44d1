// The main window: the word box and the word-entry button, over the
// workbook link.
#pragma once

#include <QMainWindow>

#include "app/cell_position.h"
#include "link/workbook_link.h"

class QComboBox;
class QPushButton;

namespace wordpour::app {

class Form1 : public QMainWindow {
    Q_OBJECT

public:
    explicit Form1(link::WorkbookLink::Attach attach);

    // Asks for the workbook and links to it. On failure the message has
    // been shown and the window must not be.
    bool Form_Initialize();

    void Command4_Click();

    CellPosition& cellPosition() { return cellPosition_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void showMessage(const link::Message& message);

    QComboBox* Combo1 = nullptr;
    QPushButton* Command4 = nullptr;

    link::WorkbookLink link_;
    CellPosition cellPosition_;
};

// The file filter of the workbook dialog.
inline constexpr char16_t kBookFilter[] = u"ｴｸｾﾙ ﾌﾞｯｸ (*.xls)|*.xls";

}  // namespace wordpour::app
