// The main window on Win32: the word box, the eight buttons and the menus,
// drawn and forwarded to the window's logic (Form1).
#pragma once

#include <memory>

#include <windows.h>

#include "app/form_view.h"
#include "app/main_window.h"
#include "app/win32/about.h"
#include "app/win32/cell_position.h"
#include "app/win32/find_list.h"
#include "app/win32/twips_layout.h"

namespace wordpour::app::win32 {

class Form1Window final : private FormView, private WordBox {
public:
    explicit Form1Window(link::WorkbookLink::Attach attach);
    ~Form1Window() override;

    app::Form1& logic() { return *logic_; }
    HWND window() const { return Form1; }
    // Runs the message loop until Quit; returns the exit status.
    int run();

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void fitComboHeight();
    HMENU createMenus();
    void command(int id);
    void pressFocusedButton();

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
    bool findListKey(const MSG& message);
    void setWaiting(bool waiting) override;
    void post(std::function<void()> task) override;

    // WordBox
    std::size_t count() const override;
    std::u16string item(std::size_t index) const override;
    void append(const std::vector<std::u16string>& items) override;
    void remove(std::size_t index) override;
    std::u16string text() const override;
    int currentIndex() const override;

    HWND Form1 = nullptr;
    HWND Combo1 = nullptr;
    HWND Command[9] = {};  // Command1 … Command8 at their numbers
    HACCEL shortcuts_ = nullptr;
    TwipsLayout layout_;
    FindList findList_;
    HFONT findFont_ = nullptr;
    HWND focusBeforeDeactivation_ = nullptr;

    CellPosition cellPosition_;
    AboutBox about_;
    std::unique_ptr<app::Form1> logic_;
};

}  // namespace wordpour::app::win32
