#include "app/win32/main_window.h"

#include <imm.h>

#include <algorithm>

#include "app/win32/control_ids.h"
#include "app/win32/dialogs.h"
#include "app/win32/win_text.h"

namespace wordpour::app::win32 {

namespace {

constexpr wchar_t kClass[] = L"WordpourForm1";
constexpr UINT kPosted = WM_APP + 1;  // a completion from the link's thread
constexpr UINT_PTR kWaitingTimer = 1;

struct Button {
    const wchar_t* caption;
    int left, top, width;
};
// Command1 … Command8, in tab order.
constexpr Button kButtons[] = {
    {L"リスト追加", 120, 1320, 1095},  {L"リスト削除", 120, 2040, 1095},
    {L"リスト開く", 2520, 1320, 1095}, {L"入力", 120, 600, 2295},
    {L"リスト保存", 2520, 2040, 1095}, {L"セル位置", 1320, 1320, 1095},
    {L"リスト表示", 1320, 2040, 1095}, {L"ファイル選択", 2520, 600, 1095},
};

}  // namespace

Form1Window::Form1Window(link::WorkbookLink::Attach attach) {
    logic_ = std::make_unique<app::Form1>(static_cast<FormView&>(*this), std::move(attach));
    Form1 = createFrame(kClass, procedure, L"ワードポア！", 3720, 2745, createMenus(), this);
    createControls();
}

Form1Window::~Form1Window() {
    logic_.reset();  // while the window it speaks to still exists
    if (findFont_) DeleteObject(findFont_);
    if (Form1) DestroyWindow(Form1);
    if (shortcuts_) DestroyAcceleratorTable(shortcuts_);
}

void Form1Window::createControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const FontStyle plain{9}, word{20.25, true};

    Combo1 = CreateWindowExW(
        0, L"COMBOBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, 0, 0,
        0, Form1, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCombo1)), instance, nullptr);
    // The drop-down's list reaches below the window, as a combo box's does.
    layout_.place(Combo1, {120, 0, 3495, 3000}, word);
    fitComboHeight();
    findFont_ = gothicFont(12, false, layout_.dpi());
    findList_.create(Form1, kFindList, findFont_);
    SendMessageW(Combo1, CB_LIMITTEXT, 0, 0);  // any length: a word too long is refused, not cut
    for (int n = 1; n <= 8; ++n) {
        const Button& b = kButtons[n - 1];
        Command[n] = CreateWindowExW(
            0, L"BUTTON", b.caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
            Form1, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCommandBase + n)), instance,
            nullptr);
        layout_.place(Command[n], {b.left, b.top, b.width, 615}, plain);
    }
}

void Form1Window::fitComboHeight() {
    // 525 twips in all, unless the font needs more: its selection field is
    // the box's height less its frame.
    const UINT dpi = layout_.dpi();
    HDC screen = GetDC(Combo1);
    const HGDIOBJ before =
        SelectObject(screen, reinterpret_cast<HFONT>(SendMessageW(Combo1, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, before);
    ReleaseDC(Combo1, screen);
    RECT box;
    GetWindowRect(Combo1, &box);
    const LRESULT fieldHeight = SendMessageW(Combo1, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    const int frame = static_cast<int>((box.bottom - box.top) - fieldHeight);
    const int wanted = std::max<int>(px(525, dpi) - frame, metrics.tmHeight);
    SendMessageW(Combo1, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
}

HMENU Form1Window::createMenus() {
    HMENU bar = CreateMenu();
    auto popup = [&](const wchar_t* caption) {
        HMENU menu = CreatePopupMenu();
        AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu), caption);
        return menu;
    };
    HMENU file = popup(L"ﾌｧｲﾙ(&F)");
    AppendMenuW(file, MF_STRING, kFind, L"ｴｸｾﾙのﾌｧｲﾙを指定(&F)\tCtrl+F");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kOpen, L"保存しているﾘｽﾄを開く(&O)\tCtrl+O");
    AppendMenuW(file, MF_STRING, kSave, L"現在のﾘｽﾄを保存(&S)\tCtrl+S");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kQuit, L"終了(&Q)\tCtrl+Q");
    HMENU edit = popup(L"編集(&E)");
    AppendMenuW(edit, MF_STRING, kAdd, L"単語をﾘｽﾄに追加(&A)\tCtrl+A");
    AppendMenuW(edit, MF_STRING, kDelete, L"単語をﾘｽﾄから削除(&D)\tCtrl+D");
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(edit, MF_STRING | MF_GRAYED, kUndo, L"元に戻す(&U)\tCtrl+Z");  // nothing yet
    HMENU display = popup(L"表示(&V)");
    AppendMenuW(display, MF_STRING, kPosition, L"入力を開始するｾﾙの位置(&P)\tCtrl+P");
    AppendMenuW(display, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(display, MF_STRING, kList, L"現在のﾘｽﾄを表示(&L)\tCtrl+L");
    AppendMenuW(display, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(display, MF_STRING, kAlwaysOnTop, L"常に手前に表示(&T)");
    HMENU help = popup(L"ﾍﾙﾌﾟ(&H)");
    AppendMenuW(help, MF_STRING, kVersion, L"ﾊﾞｰｼﾞｮﾝ情報(&I)\tF1");

    // The shortcuts work wherever the focus is, the word box included: the
    // message loop translates them before any control sees the key.
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'F', kFind},     {FVIRTKEY | FCONTROL, 'O', kOpen},
        {FVIRTKEY | FCONTROL, 'S', kSave},     {FVIRTKEY | FCONTROL, 'Q', kQuit},
        {FVIRTKEY | FCONTROL, 'A', kAdd},      {FVIRTKEY | FCONTROL, 'D', kDelete},
        {FVIRTKEY | FCONTROL, 'P', kPosition}, {FVIRTKEY | FCONTROL, 'L', kList},
        {FVIRTKEY, VK_F1, kVersion},           {FVIRTKEY | FCONTROL, 'Z', kUndo},
    };
    shortcuts_ = CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
    return bar;
}

int Form1Window::run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (findListKey(message)) continue;
        if (TranslateAcceleratorW(Form1, shortcuts_, &message)) continue;
        if (cellPosition_.handleDialogMessage(message)) continue;
        if (about_.handleDialogMessage(message)) continue;
        if (IsDialogMessageW(Form1, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

bool Form1Window::findListKey(const MSG& message) {
    // While the type-to-find list is shown, Down and Up move in it, Enter
    // picks, Escape closes it; the keys are the word box's otherwise.
    if (message.message != WM_KEYDOWN || !findList_.visible()) return false;
    if (message.hwnd != Combo1 && GetParent(message.hwnd) != Combo1) return false;
    switch (message.wParam) {
        case VK_DOWN:
        case VK_UP:
            return findList_.move(static_cast<UINT>(message.wParam));
        case VK_RETURN:
            logic_->Match_Click(static_cast<std::size_t>(std::max(findList_.highlighted(), 0)));
            return true;
        case VK_ESCAPE:
            findList_.hide();
            return true;
    }
    return false;
}

void Form1Window::command(int id) {
    app::Form1& f = *logic_;
    switch (id) {
        case kCommandBase + 1:
            return f.Command1_Click();
        case kCommandBase + 2:
            return f.Command2_Click();
        case kCommandBase + 3:
            return f.Command3_Click();
        case kCommandBase + 4:
            return f.Command4_Click();
        case kCommandBase + 5:
            return f.Command5_Click();
        case kCommandBase + 6:
            return f.Command6_Click();
        case kCommandBase + 7:
            return f.Command7_Click();
        case kCommandBase + 8:
            return f.Command8_Click();
        case kFind:
            return f.Find_Click();
        case kOpen:
            return f.Open_Click();
        case kSave:
            return f.Save_Click();
        case kQuit:
            return f.Quit_Click();
        case kAdd:
            return f.Add_Click();
        case kDelete:
            return f.Delete_Click();
        case kPosition:
            return f.Position_Click();
        case kList:
            return f.List_Click();
        case kUndo:
            return f.Undo_Click();
        case kAlwaysOnTop:
            return f.AlwaysOnTop_Click();
        case kVersion:
            return f.Version_Click();
    }
}

void Form1Window::pressFocusedButton() {
    // Enter presses the button that has the focus, as Space does; in the
    // word box it does nothing. No button is the default.
    const HWND focused = GetFocus();
    for (int n = 1; n <= 8; ++n)
        if (focused == Command[n]) return command(kCommandBase + n);
}

LRESULT CALLBACK Form1Window::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<Form1Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->Form1 = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self) return self->handle(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Form1Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDOK) return pressFocusedButton(), 0;
            if (id == IDCANCEL) return 0;
            if (id == kFindList) {
                if (HIWORD(wParam) == LBN_SELCHANGE)  // a click: the keys never change it
                    logic_->Match_Click(static_cast<std::size_t>(findList_.highlighted()));
                return 0;
            }
            if (id == kCombo1) {
                if (HIWORD(wParam) == CBN_EDITCHANGE) logic_->Combo1_Change();  // typed, not picked
                if (HIWORD(wParam) == CBN_KILLFOCUS) findList_.hide();
                // Hiragana input while the word box has the focus.
                if (HIWORD(wParam) == CBN_SETFOCUS) {
                    if (HIMC context = ImmGetContext(Combo1)) {
                        ImmSetOpenStatus(context, TRUE);
                        ImmSetConversionStatus(context, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE,
                                               IME_SMODE_NONE);
                        ImmReleaseContext(Combo1, context);
                    }
                }
                return 0;
            }
            if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) command(id);
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
            layout_.dpiChanged(Form1, wParam, lParam);
            fitComboHeight();
            return 0;
        case WM_TIMER:
            if (wParam == kWaitingTimer) {
                KillTimer(Form1, kWaitingTimer);
                SetWindowTextW(Command[4], toWide(kWaitingCaption).c_str());
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
            logic_->Quit_Click();
            return 0;
    }
    return DefWindowProcW(Form1, message, wParam, lParam);
}

void Form1Window::setFocus(Focus focus) {
    switch (focus) {
        case Focus::WordBox:
            SetFocus(Combo1);
            break;
        case Focus::Enter:
            SetFocus(Command[4]);
            break;
        case Focus::CellName:
            SetFocus(cellPosition_.text1());
            break;
    }
}

link::Answer Form1Window::messageBox(const link::Message& message) {
    return win32::messageBox(Form1, message);
}

std::optional<std::u16string> Form1Window::inputBox(std::u16string_view prompt,
                                                    std::u16string_view title,
                                                    std::u16string_view defaultText) {
    return win32::inputBox(Form1, prompt, title, defaultText);
}

std::u16string Form1Window::openFileName(std::u16string_view filter) {
    return win32::openFileName(Form1, filter);
}

void Form1Window::showCellPosition() {
    cellPosition_.open();
}

void Form1Window::showAbout() {
    about_.show();
}

void Form1Window::showMatches(const std::vector<std::u16string>& words) {
    findList_.show(Combo1, words);
}

void Form1Window::hideMatches() {
    findList_.hide();
}

void Form1Window::select(std::size_t index) {
    SendMessageW(Combo1, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Form1Window::setUndoEnabled(bool enabled) {
    EnableMenuItem(GetMenu(Form1), kUndo, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void Form1Window::setAlwaysOnTop(bool onTop) {
    CheckMenuItem(GetMenu(Form1), kAlwaysOnTop, MF_BYCOMMAND | (onTop ? MF_CHECKED : MF_UNCHECKED));
    keepOnTop(Form1, onTop);
    cellPosition_.setOnTop(onTop);
    about_.setOnTop(onTop);
}

void Form1Window::quit() {
    PostQuitMessage(0);
}

void Form1Window::setWaiting(bool waiting) {
    if (waiting) {
        SetTimer(Form1, kWaitingTimer, kShowWaitingAfterMs, nullptr);
    } else {
        KillTimer(Form1, kWaitingTimer);
        SetWindowTextW(Command[4], L"入力");
    }
}

void Form1Window::post(std::function<void()> task) {
    auto* owned = new std::function<void()>(std::move(task));
    if (!PostMessageW(Form1, kPosted, 0, reinterpret_cast<LPARAM>(owned))) delete owned;
}

std::size_t Form1Window::count() const {
    const LRESULT n = SendMessageW(Combo1, CB_GETCOUNT, 0, 0);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::u16string Form1Window::item(std::size_t index) const {
    const auto i = static_cast<WPARAM>(index);
    const LRESULT length = SendMessageW(Combo1, CB_GETLBTEXTLEN, i, 0);
    if (length < 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(Combo1, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return fromWide(text);
}

void Form1Window::append(const std::vector<std::u16string>& items) {
    // Room for all of them at once, and no drawing until they are in: a
    // load of 32,767 words is one change to look at, not 32,767.
    std::size_t characters = 0;
    for (const auto& word : items) characters += word.size() + 1;
    SendMessageW(Combo1, CB_INITSTORAGE, items.size(), characters * sizeof(wchar_t));
    SendMessageW(Combo1, WM_SETREDRAW, FALSE, 0);
    // Adding at the end leaves the selection and the text as they are.
    for (const auto& word : items)
        SendMessageW(Combo1, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(toWide(word).c_str()));
    SendMessageW(Combo1, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Combo1, nullptr, TRUE);
}

void Form1Window::remove(std::size_t index) {
    SendMessageW(Combo1, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

std::u16string Form1Window::text() const {
    return windowText(Combo1);
}

int Form1Window::currentIndex() const {
    return static_cast<int>(SendMessageW(Combo1, CB_GETCURSEL, 0, 0));
}

}  // namespace wordpour::app::win32
