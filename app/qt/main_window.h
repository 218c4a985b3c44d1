// The main window on Qt: the word box, the eight buttons and the menus,
// drawn and forwarded to the window's logic (Form1).
#pragma once

#include <QMainWindow>
#include <QTimer>

#include <memory>

#include "app/form_view.h"
#include "app/main_window.h"
#include "app/qt/about.h"
#include "app/qt/cell_position.h"

class QAction;
class QComboBox;
class QKeySequence;
class QMenu;
class QPushButton;
class QStringListModel;

namespace wordpour::app {

class FindList;

class Form1Window : public QMainWindow, private FormView, private WordBox {
    Q_OBJECT

public:
    explicit Form1Window(link::WorkbookLink::Attach attach, link::WorkbookLink::Launch launch = {});
    ~Form1Window() override;

    Form1& logic() { return *logic_; }
    using QMainWindow::setFocus;  // FormView's setFocus(Focus) hides it otherwise
    CellPosition& cellPosition() { return cellPosition_; }
    Form3* about() const { return about_.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    QAction* createItem(QMenu* menu, const char* name, const QString& caption,
                        const QKeySequence& shortcut, void (Form1::*handler)());
    QPushButton* createButton(const char* name, const QString& caption, int left, int top,
                              int width, void (Form1::*handler)());

    // FormView
    WordBox& wordBox() override { return *this; }
    cells::CellNameBox& cellName() override { return cellPosition_; }
    void setFocus(Focus focus) override;
    link::Answer messageBox(const link::Message& message) override;
    std::optional<std::u16string> inputBox(std::u16string_view prompt, std::u16string_view title,
                                           std::u16string_view defaultText) override;
    std::u16string openFileName(std::u16string_view filter) override;
    void showCellPosition() override;
    void showAbout() override;
    void quit() override;
    void setAlwaysOnTop(bool onTop) override;
    void setUndoEnabled(bool enabled) override;
    void showMatches(const std::vector<std::u16string>& words) override;
    void hideMatches() override;
    void select(std::size_t index) override;
    void setWaiting(bool waiting) override;
    void post(std::function<void()> task) override;

    // WordBox
    std::size_t count() const override;
    std::u16string item(std::size_t index) const override;
    void append(const std::vector<std::u16string>& items) override;
    void remove(std::size_t index) override;
    std::u16string text() const override;
    int currentIndex() const override;

    void showWaiting(bool waiting);

    QComboBox* Combo1 = nullptr;
    QStringListModel* words_ = nullptr;  // Combo1's entries
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command8 = nullptr;
    QList<QAction*> shortcutItems_;
    QAction* onTop_ = nullptr;  // 常に手前に表示
    QAction* undo_ = nullptr;   // 元に戻す
    std::unique_ptr<FindList> findList_;
    QMetaObject::Connection leavingTheBox_;

    CellPosition cellPosition_;
    std::unique_ptr<Form3> about_;
    QTimer waiting_;  // shows that the spreadsheet is slow to answer
    std::unique_ptr<Form1> logic_;
};

}  // namespace wordpour::app
