#include "app/win32/find_list.h"

#include <algorithm>
#include <utility>

#include "app/form/layout.h"
#include "app/win32/spoken_name.h"
#include "app/win32/win_text.h"

namespace wordpour::win32 {

FindList::~FindList() {
    destroy();
}

void FindList::destroy() {
    if (!list_) return;
    clearSpokenName(list_);
    DestroyWindow(std::exchange(list_, nullptr));
}

void FindList::create(HWND owner, int id, HFONT font) {
    owner_ = owner;
    id_ = id;
    font_ = font;
}

void FindList::make() {
    // A popup owned by the main window: no activation, no focus, on top of
    // the window it belongs to. Made when shown: a window that owns a popup,
    // even a hidden one, is not made topmost by Wine 8 (常に手前に表示), so
    // the popup goes before that state changes (destroy()).
    list_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"LISTBOX", L"",
                            WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                            0, 0, 0, 0, owner_, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(list_, GWLP_ID, id_);
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    setSpokenName(list_, form::kFindListName);
}

void FindList::show(HWND box, const std::vector<std::u16string>& words) {
    if (!list_) make();
    std::size_t characters = 0;
    for (const auto& word : words) characters += word.size() + 1;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    SendMessageW(list_, LB_INITSTORAGE, words.size(), characters * sizeof(wchar_t));
    for (const auto& word : words)
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(word).c_str()));
    SendMessageW(list_, LB_SETCURSEL, 0, 0);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    RECT under;
    GetWindowRect(box, &under);
    const int row = static_cast<int>(SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0));
    const int rows = std::min<int>(static_cast<int>(words.size()), form::kFindListRows);
    SetWindowPos(list_, HWND_TOP, under.left, under.bottom, under.right - under.left,
                 rows * row + 2 * GetSystemMetrics(SM_CYBORDER), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(list_, nullptr, TRUE);
}

void FindList::hide() {
    if (list_) ShowWindow(list_, SW_HIDE);
}

int FindList::highlighted() const {
    if (!list_) return -1;
    return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
}

bool FindList::move(UINT key) {
    if (!list_) return false;
    const int count = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
    const int now = highlighted();
    if (key == VK_DOWN)
        SendMessageW(list_, LB_SETCURSEL, std::min(now + 1, count - 1), 0);
    else if (key == VK_UP)
        SendMessageW(list_, LB_SETCURSEL, std::max(now - 1, 0), 0);
    else
        return false;
    return true;
}

}  // namespace wordpour::win32
