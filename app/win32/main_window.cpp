#include "app/win32/main_window.h"

#include <imm.h>

#include <algorithm>
#include <span>
#include <vector>

#include "app/form/wording.h"
#include "app/win32/control_ids.h"
#include "app/win32/dialogs.h"
#include "app/win32/settings_file.h"
#include "app/win32/spoken_name.h"
#include "app/win32/waiting_window.h"
#include "app/win32/win_text.h"

namespace wordpour::win32 {

using form::Command;

namespace {

constexpr wchar_t kClass[] = L"WordpourMainWindow";
constexpr UINT kPosted = WM_APP + 1;  // a completion from the link's thread
constexpr UINT_PTR kWaitingTimer = 1;

ACCEL acceleratorFor(const form::MenuItemDef& item) {
    const auto id = static_cast<WORD>(commandId(*item.command));
    if (item.shortcut.kind == form::Shortcut::Kind::FunctionKey)
        return {FVIRTKEY, static_cast<WORD>(VK_F1 + item.shortcut.key - 1), id};
    return {FVIRTKEY | FCONTROL, static_cast<WORD>(item.shortcut.key), id};
}

}  // namespace

MainWindow::MainWindow(link::spreadsheet::Backend backend)
    : cellPosition_([this](std::u16string name) { session_->setCellName(std::move(name)); }) {
    session_ = std::make_unique<form::EntrySession>(static_cast<form::SessionView&>(*this),
                                                    std::move(backend));
    const form::WindowDef& def = form::kMainWindow;
    window_ = createFrame(kClass, procedure, toWide(def.title).c_str(), def.width, def.height,
                          createMenus(), this);
    createControls();
}

MainWindow::~MainWindow() {
    session_.reset();  // while the window it speaks to still exists
    for (HWND control : named_) clearSpokenName(control);
    if (findFont_) DeleteObject(findFont_);
    if (window_) DestroyWindow(window_);
    if (shortcuts_) DestroyAcceleratorTable(shortcuts_);
}

HWND MainWindow::button(Command command) const {
    for (std::size_t i = 0; i < std::size(form::kButtons); ++i)
        if (form::kButtons[i].command == command) return buttons_[i];
    return nullptr;
}

void MainWindow::createControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    wordBox_ = CreateWindowExW(
        0, L"COMBOBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, 0, 0,
        0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kWordBoxId)), instance, nullptr);
    // The drop-down's list reaches below the window, as a combo box's does.
    TwipsRect withList = form::kWordBox.rect;
    withList.height = 3000;
    layout_.place(wordBox_, withList, form::kWordBox.font);
    fitWordBoxHeight();
    findFont_ = gothicFont(form::kFindListFont.points, form::kFindListFont.bold, layout_.dpi());
    findList_.create(window_, kFindListId, findFont_);
    SendMessageW(wordBox_, CB_LIMITTEXT, 0, 0);  // any length: a word too long is refused, not cut
    // The box, the text field in it that has the focus, and its drop-down
    // list, as a screen reader names them.
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    GetComboBoxInfo(wordBox_, &parts);
    for (const auto& [control, name] : {std::pair{wordBox_, form::kWordBox.spokenName},
                                        std::pair{parts.hwndItem, form::kWordBox.spokenName},
                                        std::pair{parts.hwndList, form::kWordBoxListName}}) {
        if (control && setSpokenName(control, name)) named_.push_back(control);
    }
    // Composing in an input method updates the type-to-find list too.
    readings_.attach(parts.hwndItem, [this] { session_->wordTyped(); });
    // Created in the table's order, which is the tab order.
    for (std::size_t i = 0; i < std::size(form::kButtons); ++i) {
        const form::ButtonDef& def = form::kButtons[i];
        buttons_[i] =
            CreateWindowExW(0, L"BUTTON", toWide(def.caption).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(commandId(def.command))),
                            instance, nullptr);
        layout_.place(buttons_[i], def.rect, form::kPlainFont);
    }
}

void MainWindow::fitWordBoxHeight() {
    // The table's height in all, unless the font needs more: its selection
    // field is the box's height less its frame.
    const UINT dpi = layout_.dpi();
    HDC screen = GetDC(wordBox_);
    const HGDIOBJ before =
        SelectObject(screen, reinterpret_cast<HFONT>(SendMessageW(wordBox_, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, before);
    ReleaseDC(wordBox_, screen);
    RECT box;
    GetWindowRect(wordBox_, &box);
    const LRESULT fieldHeight =
        SendMessageW(wordBox_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    const int frame = static_cast<int>((box.bottom - box.top) - fieldHeight);
    const int wanted = std::max<int>(px(form::kWordBox.rect.height, dpi) - frame, metrics.tmHeight);
    SendMessageW(wordBox_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
}

HMENU MainWindow::createMenus() {
    HMENU bar = CreateMenu();
    std::vector<HMENU> menus;
    for (const form::MenuDef& def : form::kMenus) {
        menus.push_back(CreatePopupMenu());
        AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menus.back()),
                    toWide(def.caption).c_str());
    }
    // The shortcuts work wherever the focus is, the word box included: the
    // message loop translates them before any control sees the key.
    std::vector<ACCEL> keys;
    for (const form::MenuItemDef& item : form::kMenuItems) {
        HMENU menu = menus.at(form::indexOf(item.menu));
        if (item.separator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::u16string caption(item.caption);
        if (item.shortcut.kind != form::Shortcut::Kind::None) {
            caption += u'\t';
            caption += form::shortcutText(item.shortcut);
            keys.push_back(acceleratorFor(item));
        }
        AppendMenuW(menu, MF_STRING | (item.startsDisabled ? MF_GRAYED : 0),
                    static_cast<UINT_PTR>(commandId(*item.command)), toWide(caption).c_str());
    }
    shortcuts_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    return bar;
}

int MainWindow::run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (findListKey(message)) continue;
        if (startsWord(message)) continue;
        if (TranslateAcceleratorW(window_, shortcuts_, &message)) continue;
        if (cellPosition_.handleDialogMessage(message)) continue;
        if (about_.handleDialogMessage(message)) continue;
        if (IsDialogMessageW(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

bool MainWindow::findListKey(const MSG& message) {
    // While the type-to-find list is shown, Down and Up move in it, Enter
    // picks, Escape closes it; the keys are the word box's otherwise.
    if (message.message != WM_KEYDOWN || !findList_.visible()) return false;
    if (message.hwnd != wordBox_ && GetParent(message.hwnd) != wordBox_) return false;
    switch (message.wParam) {
        case VK_DOWN:
        case VK_UP:
            return findList_.move(static_cast<UINT>(message.wParam));
        case VK_RETURN: {
            // Enter enters the highlighted word; Shift+Enter only picks it.
            const auto row = static_cast<std::size_t>(std::max(findList_.highlighted(), 0));
            if (GetKeyState(VK_SHIFT) < 0)
                session_->pickMatch(row);
            else
                session_->enterMatch(row);
            return true;
        }
        case VK_ESCAPE:
            findList_.hide();
            return true;
    }
    return false;
}

bool MainWindow::startsWord(const MSG& message) {
    // Space presses the button; control characters are other keys'.
    if (message.message != WM_CHAR || message.wParam <= L' ' || message.wParam == 0x7F)
        return false;
    if (std::find(std::begin(buttons_), std::end(buttons_), message.hwnd) == std::end(buttons_))
        return false;
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (!GetComboBoxInfo(wordBox_, &parts) || !parts.hwndItem) return false;
    SetFocus(wordBox_);
    SendMessageW(parts.hwndItem, EM_SETSEL, 0, -1);  // the character replaces the old word
    SendMessageW(parts.hwndItem, WM_CHAR, message.wParam, message.lParam);
    return true;
}

void MainWindow::pressFocusedButton() {
    // Enter presses the button that has the focus, as Space does; in the
    // word box it does nothing. No button is the default.
    const HWND focused = GetFocus();
    for (std::size_t i = 0; i < std::size(form::kButtons); ++i)
        if (focused == buttons_[i]) return session_->run(form::kButtons[i].command);
}

LRESULT CALLBACK MainWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = ownerOf<MainWindow>(window, message, lParam);
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE) self->window_ = window;
    return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDOK) return pressFocusedButton(), 0;
            if (id == IDCANCEL) return 0;
            if (id == kFindListId) {
                if (HIWORD(wParam) == LBN_SELCHANGE)  // a click: the keys never change it
                    session_->pickMatch(static_cast<std::size_t>(findList_.highlighted()));
                return 0;
            }
            if (id == kWordBoxId) {
                if (HIWORD(wParam) == CBN_EDITCHANGE) session_->wordTyped();  // typed, not picked
                if (HIWORD(wParam) == CBN_KILLFOCUS) findList_.hide();
                // Hiragana input while the word box has the focus.
                if (HIWORD(wParam) == CBN_SETFOCUS) {
                    if (HIMC context = ImmGetContext(wordBox_)) {
                        ImmSetOpenStatus(context, TRUE);
                        ImmSetConversionStatus(context, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE,
                                               IME_SMODE_NONE);
                        ImmReleaseContext(wordBox_, context);
                    }
                }
                return 0;
            }
            // A menu item or shortcut (no control), or a button's click.
            if (isCommandId(id) && (lParam == 0 || HIWORD(wParam) == BN_CLICKED))
                session_->run(static_cast<Command>(id - kCommandIdBase));
            return 0;
        }
        case WM_ACTIVATE:
            // A plain window forgets its focus across a modal dialog: keep it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                focusBeforeDeactivation_ = GetFocus();
            } else if (focusBeforeDeactivation_ && IsWindow(focusBeforeDeactivation_)) {
                SetFocus(focusBeforeDeactivation_);
                return 0;
            }
            break;
        case WM_DPICHANGED:
            layout_.dpiChanged(window_, wParam, lParam);
            fitWordBoxHeight();
            return 0;
        case WM_TIMER:
            if (wParam == kWaitingTimer) {
                KillTimer(window_, kWaitingTimer);
                SetWindowTextW(button(Command::Enter), toWide(form::kWaitingCaption).c_str());
            }
            return 0;
        case kPosted: {
            std::unique_ptr<std::function<void()>> task(
                reinterpret_cast<std::function<void()>*>(lParam));
            (*task)();
            return 0;
        }
        case WM_CLOSE:
            // Closing the main window ends the program, as Quit does.
            session_->quit();
            return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::setFocus(form::Focus focus) {
    switch (focus) {
        case form::Focus::WordBox:
            SetFocus(wordBox_);
            break;
        case form::Focus::Enter:
            SetFocus(button(Command::Enter));
            break;
    }
}

form::Answer MainWindow::messageBox(const form::Message& message) {
    return win32::messageBox(window_, message);
}

std::optional<std::u16string> MainWindow::inputBox(std::u16string_view prompt,
                                                   std::u16string_view title,
                                                   std::u16string_view defaultText) {
    return win32::inputBox(window_, prompt, title, defaultText, &inputReading_);
}

std::u16string MainWindow::saveFileName(std::u16string_view filter, std::u16string_view suggested) {
    return win32::saveFileName(window_, filter, suggested);
}

std::u16string MainWindow::openFileName(std::u16string_view filter) {
    return win32::openFileName(window_, filter);
}

void MainWindow::showCellPosition() {
    cellPosition_.open();
}

void MainWindow::showCellName(const std::u16string& name) {
    cellPosition_.showName(name);
}

void MainWindow::showAbout() {
    about_.show();
}

void MainWindow::showMatches(form::FoundRows rows) {
    // A list box keeps its own strings: all are worded now.
    std::vector<std::u16string> shown;
    shown.reserve(rows.count);
    for (std::size_t i = 0; i < rows.count; ++i)
        shown.push_back(form::wording::findRow(rows.row(i)));
    findList_.show(wordBox_, shown);
}

void MainWindow::hideMatches() {
    findList_.hide();
}

void MainWindow::selectWord(std::size_t index) {
    SendMessageW(wordBox_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void MainWindow::setUndoEnabled(bool enabled) {
    EnableMenuItem(GetMenu(window_), commandId(Command::Undo),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::setChecked(Command command, bool checked) {
    CheckMenuItem(GetMenu(window_), commandId(command),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool MainWindow::setting(std::string_view key, bool otherwise) {
    return readSetting(key, otherwise);
}

std::optional<form::SessionView::SettingNotKept> MainWindow::storeSetting(std::string_view key,
                                                                          bool value) {
    return writeSetting(key, value);
}

std::optional<std::u16string> MainWindow::textSetting(std::string_view key) {
    return readTextSetting(key);
}

std::optional<form::SessionView::SettingNotKept> MainWindow::storeTextSetting(
    std::string_view key, const std::u16string& value) {
    return writeTextSetting(key, value);
}

std::optional<form::Companions> MainWindow::editCompanions(const form::Companions& now) {
    companions_.setOnTop(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    return companions_.run(window_, now);
}

void MainWindow::takeFocusBack() {
    // Windows keeps the foreground with this program: Excel's window shown
    // from the background does not take it.
}

void MainWindow::setAlwaysOnTop(bool onTop) {
    setChecked(Command::AlwaysOnTop, onTop);
    findList_.destroy();  // an owned popup keeps Wine from making the window topmost
    keepOnTop(window_, onTop);
    cellPosition_.setOnTop(onTop);
    about_.setOnTop(onTop);
}

void MainWindow::quit() {
    PostQuitMessage(0);
}

bool MainWindow::waitForStart(const std::function<bool()>& finished, std::u16string_view waiting) {
    WaitingWindow window;
    const ULONGLONG begin = GetTickCount64();
    // What the link's thread posts arrives through this loop.
    while (!finished()) {
        if (!window.window() && GetTickCount64() - begin >= form::kShowStartWaitingAfterMs)
            window.show(waiting);
        if (window.aborted()) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return false;
            if (window.handleDialogMessage(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

void MainWindow::setWaiting(bool waiting) {
    if (waiting) {
        SetTimer(window_, kWaitingTimer, form::kShowWaitingAfterMs, nullptr);
    } else {
        KillTimer(window_, kWaitingTimer);
        SetWindowTextW(button(Command::Enter), toWide(form::kEnterCaption).c_str());
    }
}

void MainWindow::post(std::function<void()> task) {
    auto* owned = new std::function<void()>(std::move(task));
    if (!PostMessageW(window_, kPosted, 0, reinterpret_cast<LPARAM>(owned))) delete owned;
}

void MainWindow::appendWords(const std::vector<std::u16string>& all, std::size_t from) {
    // The combo box keeps its own strings.
    const std::span words(all.begin() + static_cast<std::ptrdiff_t>(from), all.end());
    // Room for all of them at once, and no drawing until they are in: a
    // load of 32,767 words is one change to look at, not 32,767.
    std::size_t characters = 0;
    for (const auto& word : words) characters += word.size() + 1;
    SendMessageW(wordBox_, CB_INITSTORAGE, words.size(), characters * sizeof(wchar_t));
    SendMessageW(wordBox_, WM_SETREDRAW, FALSE, 0);
    // Adding at the end leaves the selection and the text as they are.
    for (const auto& word : words)
        SendMessageW(wordBox_, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(toWide(word).c_str()));
    SendMessageW(wordBox_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(wordBox_, nullptr, TRUE);
}

void MainWindow::removeWord(std::size_t index) {
    SendMessageW(wordBox_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

std::u16string MainWindow::typedWord() const {
    return windowText(wordBox_);
}

std::u16string MainWindow::composingWord() const {
    return readings_.composingText();
}

int MainWindow::shownEntry() const {
    return static_cast<int>(SendMessageW(wordBox_, CB_GETCURSEL, 0, 0));
}

}  // namespace wordpour::win32
