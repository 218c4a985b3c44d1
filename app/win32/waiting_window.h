// The small window the start-up shows while Excel does not answer: what it
// waits for, and 中止, which gives up.
#pragma once

#include <string_view>

#include "app/win32/modeless_window.h"

namespace wordpour::win32 {

class WaitingWindow final : public ModelessWindow {
public:
    // Shows the window, made the first time, in front with 中止 focused.
    void show(std::u16string_view text);
    // 中止 was pressed, or the window closed.
    bool aborted() const { return aborted_; }

private:
    bool command(int id, int code, HWND control) override;
    void closed() override { aborted_ = true; }

    HWND abort_ = nullptr;
    bool aborted_ = false;
};

}  // namespace wordpour::win32
