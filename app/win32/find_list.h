// The type-to-find list on Win32: a list box in a popup under the word box
// that shows the matching entries and never takes the focus from the box.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace wordpour::win32 {

class FindList {
public:
    ~FindList();
    // `owner` gets the list's notifications as WM_COMMAND with `id`; the
    // list itself is made when it is shown.
    void create(HWND owner, int id, HFONT font);

    // Shows `words` under `box`, the first highlighted.
    void show(HWND box, const std::vector<std::u16string>& words);
    void hide();
    bool visible() const { return list_ && IsWindowVisible(list_); }
    HWND window() const { return list_; }
    int highlighted() const;

    // Down and Up move the highlight; Enter and Escape are the caller's.
    // Returns whether the key moved it.
    bool move(UINT key);

    // The popup goes, to be made again when next shown: before the main
    // window's always-on-top state changes. Never from the list's own
    // notifications, which run inside its window procedure.
    void destroy();

private:
    void make();

    HWND list_ = nullptr;
    HWND owner_ = nullptr;
    int id_ = 0;
    HFONT font_ = nullptr;
};

}  // namespace wordpour::win32
