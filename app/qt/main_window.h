// The main window on Qt: the word box, the buttons and the menus, built
// from the command tables, drawing the entry session and forwarding the
// person's commands to it.
#pragma once

#include <QMainWindow>
#include <QTimer>

#include <map>
#include <memory>

#include "app/form/entry_session.h"
#include "app/qt/about_box.h"
#include "app/qt/cell_position_dialog.h"

class QAction;
class QComboBox;
class QPushButton;

namespace wordpour::qt {

class FindList;
class ReadingTracker;
class WordBoxModel;

class MainWindow : public QMainWindow, private form::SessionView {
    Q_OBJECT

public:
    explicit MainWindow(link::spreadsheet::Backend backend);
    ~MainWindow() override;

    form::EntrySession& session() { return *session_; }
    CellPositionDialog& cellPositionDialog() { return cellPosition_; }
    AboutBox* aboutBox() const { return about_.get(); }
    QComboBox* wordBox() const { return wordBox_; }
    QPushButton* button(form::Command command) const { return buttons_.at(command); }
    QAction* menuItem(form::Command command) const { return items_.at(command); }
    using QMainWindow::setFocus;  // SessionView's setFocus(Focus) hides it otherwise

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();

    // SessionView
    void appendWords(const std::vector<std::u16string>& all, std::size_t from) override;
    void removeWord(std::size_t index) override;
    void selectWord(std::size_t index) override;
    std::u16string typedWord() const override;
    int shownEntry() const override;
    std::u16string composingWord() const override;
    std::optional<std::u16string> typedReading() const override;
    std::optional<std::u16string> inputBoxReading() const override;
    void showCellName(const std::u16string& name) override;
    void setFocus(form::Focus focus) override;
    form::Answer messageBox(const form::Message& message) override;
    std::optional<std::u16string> inputBox(std::u16string_view prompt, std::u16string_view title,
                                           std::u16string_view defaultText) override;
    std::u16string openFileName(std::u16string_view filter) override;
    std::u16string saveFileName(std::u16string_view filter, std::u16string_view suggested) override;
    void showCellPosition() override;
    void showAbout() override;
    void quit() override;
    void setAlwaysOnTop(bool onTop) override;
    void setUndoEnabled(bool enabled) override;
    void setChecked(form::Command command, bool checked) override;
    bool setting(std::string_view key, bool otherwise) override;
    std::optional<SettingNotKept> storeSetting(std::string_view key, bool value) override;
    std::optional<std::u16string> textSetting(std::string_view key) override;
    std::optional<SettingNotKept> storeTextSetting(std::string_view key,
                                                   const std::u16string& value) override;
    std::optional<form::Companions> editCompanions(const form::Companions& now) override;
    void takeFocusBack() override;
    void showMatches(form::FoundRows rows) override;
    void hideMatches() override;
    bool waitForStart(const std::function<bool()>& finished, std::u16string_view waiting) override;
    void setWaiting(bool waiting) override;
    void post(std::function<void()> task) override;

    void showWaiting(bool waiting);
    // A letter typed on a button begins a new word in the word box.
    bool startsWord(QObject* watched, QEvent* event);

    QComboBox* wordBox_ = nullptr;
    WordBoxModel* words_ = nullptr;  // the word box's entries
    std::map<form::Command, QPushButton*> buttons_;
    std::map<form::Command, QAction*> items_;
    std::unique_ptr<FindList> findList_;
    ReadingTracker* readings_ = nullptr;  // the word box's text field's
    QMetaObject::Connection leavingTheBox_;

    CellPositionDialog cellPosition_;
    std::unique_ptr<AboutBox> about_;
    QTimer waiting_;  // shows that the spreadsheet is slow to answer
    std::unique_ptr<form::EntrySession> session_;
};

}  // namespace wordpour::qt
