// The cell-position dialog: shows the session's cell name and hands the
// person's edits back to it. Modeless; 指定 and the close box hide it.
#pragma once

#include <functional>
#include <string>

#include <QWidget>

class QLineEdit;

namespace wordpour::qt {

class CellPositionDialog : public QWidget {
    Q_OBJECT

public:
    // `edited` receives the name each time the person changes it.
    explicit CellPositionDialog(std::function<void(std::u16string)> edited);

    QLineEdit* nameBox() const { return nameBox_; }
    void showName(const std::u16string& name);
    // Shows the dialog in front, with the focus in the box and the whole
    // name selected.
    void open();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* nameBox_ = nullptr;
};

}  // namespace wordpour::qt
