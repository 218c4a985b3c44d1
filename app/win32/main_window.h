// The main window on Win32: the word box, the buttons and the menus, built
// from the command tables, drawing the entry session and forwarding the
// person's commands to it.
#pragma once

#include <memory>
#include <vector>

#include <windows.h>

#include "app/form/entry_session.h"
#include "app/win32/about_box.h"
#include "app/win32/cell_position_dialog.h"
#include "app/win32/companions_dialog.h"
#include "app/win32/find_list.h"
#include "app/win32/reading_tracker.h"
#include "app/win32/twips_layout.h"

namespace wordpour::win32 {

class MainWindow final : public form::SessionView {
public:
    explicit MainWindow(link::spreadsheet::Backend backend);
    ~MainWindow() override;

    form::EntrySession& session() { return *session_; }
    HWND window() const { return window_; }
    HWND wordBox() const { return wordBox_; }
    HWND button(form::Command command) const;
    CellPositionDialog& cellPositionDialog() { return cellPosition_; }
    AboutBox& aboutBox() { return about_; }
    CompanionsDialog& companionsDialog() { return companions_; }
    // Runs the message loop until Quit; returns the exit status.
    int run();

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void fitWordBoxHeight();
    HMENU createMenus();
    bool findListKey(const MSG& message);
    void pressFocusedButton();
    // A character typed on a button begins a new word in the word box.
    bool startsWord(const MSG& message);

    // SessionView
    void appendWords(const std::vector<std::u16string>& all, std::size_t from) override;
    void removeWord(std::size_t index) override;
    void selectWord(std::size_t index) override;
    std::u16string typedWord() const override;
    int shownEntry() const override;
    std::u16string composingWord() const override;
    std::optional<std::u16string> typedReading() const override { return readings_.reading(); }
    std::optional<std::u16string> inputBoxReading() const override { return inputReading_; }
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

    HWND window_ = nullptr;
    HWND wordBox_ = nullptr;
    std::vector<HWND> named_;                       // the controls given a spoken name
    HWND buttons_[std::size(form::kButtons)] = {};  // in the table's order
    HACCEL shortcuts_ = nullptr;
    TwipsLayout layout_;
    FindList findList_;
    HFONT findFont_ = nullptr;
    HWND focusBeforeDeactivation_ = nullptr;
    ReadingTracker readings_;  // of the word box's text field
    std::optional<std::u16string> inputReading_;

    CellPositionDialog cellPosition_;
    AboutBox about_;
    CompanionsDialog companions_;
    std::unique_ptr<form::EntrySession> session_;
};

}  // namespace wordpour::win32
