// The cell-position dialog on Win32: its text box is the one store of the
// current cell name.
#pragma once

#include <string>

#include <windows.h>

#include "app/win32/twips_layout.h"
#include "cells/module1.h"

namespace wordpour::app::win32 {

// Creates the dialog, hidden, the first time anything reads or shows it.
class CellPosition final : public cells::CellNameBox {
public:
    ~CellPosition() override;

    std::u16string text() override;
    void setText(const std::u16string& text) override;

    // Shows the dialog modeless, in front, with the focus in its text box
    // and the whole name selected.
    void open();
    HWND window();  // Form2
    HWND text1();

    // Kept above other windows, now and once created.
    void setOnTop(bool onTop);

    // Whether `message` is for the dialog and was handled (Tab, Enter).
    bool handleDialogMessage(MSG& message);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void create();

    HWND Form2 = nullptr;
    HWND Label1 = nullptr;
    HWND Text1 = nullptr;
    HWND Command1 = nullptr;
    TwipsLayout layout_;
    bool onTop_ = false;
};

}  // namespace wordpour::app::win32
