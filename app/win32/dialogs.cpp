#include "app/win32/dialogs.h"

#include <vector>

#include <commdlg.h>

#include "app/win32/reading_tracker.h"
#include "app/win32/spoken_name.h"
#include "app/win32/win_text.h"

namespace wordpour::win32 {

form::Answer messageBox(HWND owner, const form::Message& message) {
    // The style is the Windows value itself; a CR in the prompt breaks the line.
    const int pressed =
        MessageBoxW(owner, toWide(message.prompt).c_str(), toWide(message.title).c_str(),
                    static_cast<UINT>(message.style.value()) | MB_TASKMODAL);
    switch (pressed) {
        case IDYES:
            return form::Answer::Yes;
        case IDNO:
            return form::Answer::No;
        case IDCANCEL:
            return form::Answer::Cancel;
        default:
            return form::Answer::Ok;
    }
}

namespace {

// The input box, built from a template in memory: a prompt, OK and
// キャンセル on the right, and the text box along the bottom.
enum : WORD { kPrompt = 100, kText = 101 };

struct InputState {
    std::wstring prompt, title, text;
    ReadingTracker readings;
    std::optional<std::u16string> reading;
};

void align(std::vector<WORD>& t) {
    if (t.size() % 2) t.push_back(0);  // DWORD alignment, counted in WORDs
}

void addString(std::vector<WORD>& t, std::wstring_view text) {
    t.insert(t.end(), text.begin(), text.end());
    t.push_back(0);
}

void addItem(std::vector<WORD>& t, DWORD style, short x, short y, short cx, short cy, WORD id,
             WORD windowClass, std::wstring_view text) {
    align(t);
    const DLGITEMTEMPLATE item{style | WS_CHILD | WS_VISIBLE, 0, x, y, cx, cy, id};
    const auto* words = reinterpret_cast<const WORD*>(&item);
    t.insert(t.end(), words, words + sizeof item / sizeof(WORD));
    t.push_back(0xFFFF);
    t.push_back(windowClass);  // 0x80 button, 0x81 edit, 0x82 static
    addString(t, text);
    t.push_back(0);  // no creation data
}

INT_PTR CALLBACK inputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            state = reinterpret_cast<InputState*>(lParam);
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SetWindowTextW(dialog, state->title.c_str());
            SetDlgItemTextW(dialog, kPrompt, state->prompt.c_str());
            SetDlgItemTextW(dialog, kText, state->text.c_str());
            SendDlgItemMessageW(dialog, kText, EM_SETLIMITTEXT, 0, 0);
            // The prompt does not stand just before the text box: a screen
            // reader is told that it names it.
            setSpokenName(GetDlgItem(dialog, kText),
                          std::u16string(state->prompt.begin(), state->prompt.end()));
            state->readings.attach(GetDlgItem(dialog, kText));
            SetFocus(GetDlgItem(dialog, kText));
            return FALSE;
        case WM_DESTROY:
            if (state) state->readings.detach();
            clearSpokenName(GetDlgItem(dialog, kText));
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                const HWND text = GetDlgItem(dialog, kText);
                const std::u16string typed = windowText(text);
                state->text.assign(typed.begin(), typed.end());
                state->reading = state->readings.reading();
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace

std::optional<std::u16string> inputBox(HWND owner, std::u16string_view prompt,
                                       std::u16string_view title, std::u16string_view defaultText,
                                       std::optional<std::u16string>* reading) {
    std::vector<WORD> t;
    const DLGTEMPLATE dialog{
        DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
        0,
        4,
        0,
        0,
        260,
        96};
    const auto* words = reinterpret_cast<const WORD*>(&dialog);
    t.insert(t.end(), words, words + sizeof dialog / sizeof(WORD));
    t.push_back(0);     // no menu
    t.push_back(0);     // the standard dialog class
    addString(t, L"");  // the title is set at start
    t.push_back(9);     // point size, then the face
    addString(t, L"ＭＳ Ｐゴシック");
    addItem(t, SS_LEFT, 7, 7, 190, 48, kPrompt, 0x82, L"");
    addItem(t, BS_DEFPUSHBUTTON | WS_TABSTOP, 203, 7, 50, 14, IDOK, 0x80, L"OK");
    addItem(t, BS_PUSHBUTTON | WS_TABSTOP, 203, 25, 50, 14, IDCANCEL, 0x80, L"キャンセル");
    addItem(t, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 74, 246, 14, kText, 0x81, L"");

    InputState state{toWide(prompt), toWide(title), toWide(defaultText), {}, {}};
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(t.data()), owner, inputProc,
        reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return std::nullopt;
    if (reading) *reading = state.reading;
    return fromWide(state.text);
}

std::wstring filterPairs(std::u16string_view filter) {
    std::wstring pairs = toWide(filter);
    for (wchar_t& c : pairs)
        if (c == L'|') c = L'\0';
    pairs.push_back(L'\0');
    pairs.push_back(L'\0');
    return pairs;
}

namespace {

enum class FileDialog { Open, Save };

std::u16string chooseFile(HWND owner, std::u16string_view filter, std::u16string_view suggested,
                          FileDialog kind) {
    const std::wstring pairs = filterPairs(filter);
    std::wstring file(32768, L'\0');
    const std::wstring name = toWide(suggested);
    file.replace(0, name.size(), name);
    // A name typed without its extension gets the first pattern's ("*.csv").
    std::wstring extension = toWide(filter.substr(filter.find(u'|') + 1));
    extension = extension.substr(0, extension.find_first_of(L";|"));
    extension = extension.starts_with(L"*.") ? extension.substr(2) : std::wstring();
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = pairs.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    if (kind == FileDialog::Save) {
        dialog.lpstrDefExt = extension.c_str();
        dialog.Flags |= OFN_OVERWRITEPROMPT;
    }
    if (!(kind == FileDialog::Save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog)))
        return {};
    file.resize(wcslen(file.c_str()));
    return fromWide(file);
}

}  // namespace

std::u16string openFileName(HWND owner, std::u16string_view filter) {
    return chooseFile(owner, filter, {}, FileDialog::Open);
}

std::u16string saveFileName(HWND owner, std::u16string_view filter, std::u16string_view suggested) {
    return chooseFile(owner, filter, suggested, FileDialog::Save);
}

}  // namespace wordpour::win32
