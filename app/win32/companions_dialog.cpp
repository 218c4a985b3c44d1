#include "app/win32/companions_dialog.h"

#include <cwchar>
#include <string>

#include <imm.h>

#include "app/form/layout.h"
#include "app/form/message.h"
#include "app/win32/dialogs.h"
#include "app/win32/win_text.h"

namespace wordpour::win32 {

namespace {
// Enter and Escape are OK and Cancel.
constexpr int kKindId = kCompanionKindId, kTextId = kCompanionTextId;
// A drop-down list's window reaches over its list: this many rows of it.
constexpr int kListRows = 7;
}  // namespace

CompanionsDialog::CompanionsDialog() {
    createFrame(L"WordpourCompanions", form::kCompanionsDialog);
    addControl(L"STATIC", form::kCompanionsPrompt, SS_LEFT);
    for (std::size_t i = 0; i < form::kMaxCompanions; ++i) {
        const form::CompanionRowDef& row = form::kCompanionRows[i];
        addControl(L"STATIC", row.label, SS_LEFT);
        form::TwipsRect list = row.kind.rect;
        list.height *= kListRows;
        form::ControlDef kind = row.kind;
        kind.rect = list;
        kinds_[i] = addControl(L"COMBOBOX", kind, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                               kKindId + static_cast<int>(i));
        for (const auto& def : form::kCompanionKinds)
            SendMessageW(kinds_[i], CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(toWide(def.caption).c_str()));
        texts_[i] = addControl(L"EDIT", row.text, WS_TABSTOP | ES_AUTOHSCROLL,
                               kTextId + static_cast<int>(i), WS_EX_CLIENTEDGE);
    }
    addControl(L"STATIC", form::kNextNumberLabel, SS_LEFT);
    number_ = addControl(L"EDIT", form::kNextNumberBox, WS_TABSTOP | ES_AUTOHSCROLL, kNextNumberId,
                         WS_EX_CLIENTEDGE);
    ImmAssociateContextEx(number_, nullptr, 0);  // digits, typed as they are
    addControl(L"BUTTON", form::kCompanionsOk, WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
    addControl(L"BUTTON", form::kCompanionsCancel, WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);
}

form::CompanionKind CompanionsDialog::kindAt(std::size_t column) const {
    const auto index = SendMessageW(kinds_[column], CB_GETCURSEL, 0, 0);
    if (index < 0 || index >= static_cast<LRESULT>(std::size(form::kCompanionKinds)))
        return form::CompanionKind::None;
    return form::kCompanionKinds[index].kind;
}

void CompanionsDialog::arrange() {
    bool open = true;
    for (std::size_t i = 0; i < form::kMaxCompanions; ++i) {
        const auto kind = kindAt(i);
        EnableWindow(kinds_[i], open);
        EnableWindow(texts_[i], open && kind == form::CompanionKind::FixedText);
        open = open && kind != form::CompanionKind::None;
    }
}

std::optional<form::Companions> CompanionsDialog::run(HWND owner, const form::Companions& now) {
    set_ = now;
    accepted_.reset();
    for (std::size_t i = 0; i < form::kMaxCompanions; ++i) {
        for (std::size_t k = 0; k < std::size(form::kCompanionKinds); ++k)
            if (form::kCompanionKinds[k].kind == now.columns[i].kind)
                SendMessageW(kinds_[i], CB_SETCURSEL, k, 0);
        SetWindowTextW(texts_[i], toWide(now.columns[i].text).c_str());
    }
    SetWindowTextW(number_, std::to_wstring(now.nextNumber).c_str());
    arrange();
    EnableWindow(owner, FALSE);
    showInFront(kinds_[0]);
    MSG message;
    while (!accepted_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop
            accepted_ = false;
            break;
        }
        if (handleDialogMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The owner is enabled before this window hides, so that it gets the
    // activation back.
    EnableWindow(owner, TRUE);
    ShowWindow(window(), SW_HIDE);
    SetForegroundWindow(owner);
    if (!*accepted_) return std::nullopt;
    return set_;
}

void CompanionsDialog::finish(bool accepted) {
    if (!accepted) {
        accepted_ = false;
        return;
    }
    const std::u16string typed = windowText(number_);
    const std::wstring digits(typed.begin(), typed.end());
    wchar_t* end = nullptr;
    const long next = std::wcstol(digits.c_str(), &end, 10);
    if (digits.empty() || *end != L'\0') {
        messageBox(window(), {std::u16string(form::kNextNumberRefused), form::kExclamation,
                              std::u16string(form::kCompanionsDialog.title)});
        SetFocus(number_);
        SendMessageW(number_, EM_SETSEL, 0, -1);
        return;
    }
    set_.nextNumber = next;
    for (std::size_t i = 0; i < form::kMaxCompanions; ++i)
        set_.columns[i] = {kindAt(i), windowText(texts_[i])};
    accepted_ = true;
}

bool CompanionsDialog::command(int id, int code, HWND) {
    if (id == IDOK) return finish(true), true;
    if (id == IDCANCEL) return finish(false), true;
    if (id >= kKindId && id < kKindId + static_cast<int>(form::kMaxCompanions) &&
        code == CBN_SELCHANGE)
        return arrange(), true;
    return false;
}

}  // namespace wordpour::win32
