// The cell-position dialog on Win32: shows the session's cell name and
// hands the person's edits back to it. Modeless; 指定 and the close box
// hide it.
#pragma once

#include <functional>
#include <string>

#include "app/win32/modeless_window.h"

namespace wordpour::win32 {

class CellPositionDialog final : public ModelessWindow {
public:
    // `edited` receives the name each time the person changes it.
    explicit CellPositionDialog(std::function<void(std::u16string)> edited);

    HWND nameBox() const { return nameBox_; }
    void showName(const std::u16string& name);
    // Shows the dialog in front, with the focus in the box and the whole
    // name selected.
    void open();

private:
    bool command(int id, int code, HWND control) override;

    std::function<void(std::u16string)> edited_;
    HWND nameBox_ = nullptr;
    bool showing_ = false;  // the name is being shown, not edited
};

}  // namespace wordpour::win32
