// The cell-position dialog on Win32: shows the session's cell name and
// hands the person's edits back to it. Modeless; 指定 and the close box
// hide it.
#pragma once

#include <functional>
#include <string>

#include <windows.h>

#include "app/win32/twips_layout.h"

namespace wordpour::app::win32 {

class CellPositionDialog {
public:
    // `edited` receives the name each time the person changes it.
    explicit CellPositionDialog(std::function<void(std::u16string)> edited);
    ~CellPositionDialog();
    CellPositionDialog(const CellPositionDialog&) = delete;
    CellPositionDialog& operator=(const CellPositionDialog&) = delete;

    HWND window() const { return window_; }
    HWND nameBox() const { return nameBox_; }
    void showName(const std::u16string& name);
    // Shows the dialog in front, with the focus in the box and the whole
    // name selected.
    void open();
    // Kept above other windows.
    void setOnTop(bool onTop);
    // Whether `message` is for the dialog and was handled (Tab, Enter).
    bool handleDialogMessage(MSG& message);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<void(std::u16string)> edited_;
    HWND window_ = nullptr;
    HWND nameBox_ = nullptr;
    bool showing_ = false;  // the name is being shown, not edited
    TwipsLayout layout_;
};

}  // namespace wordpour::app::win32
