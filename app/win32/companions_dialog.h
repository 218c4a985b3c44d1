// The dialog of the columns written with each word on Win32, from its
// table: a window of the program's own, run modally over its owner.
#pragma once

#include <array>
#include <optional>

#include <windows.h>

#include "app/form/companions.h"
#include "app/win32/modeless_window.h"

namespace wordpour::win32 {

// The kind lists' and text boxes' control ids, column by column, and the
// next number's box.
inline constexpr int kCompanionKindId = 301, kCompanionTextId = 311, kNextNumberId = 321;

class CompanionsDialog final : public ModelessWindow {
public:
    CompanionsDialog();
    // Shows `now` and waits for OK or Cancel, the owner disabled meanwhile:
    // what the person set, or nothing.
    std::optional<form::Companions> run(HWND owner, const form::Companions& now);

private:
    bool command(int id, int code, HWND control) override;
    void closed() override { finish(false); }
    void finish(bool accepted);
    // A column after a なし is disabled, a text box enabled for a fixed text only.
    void arrange();
    form::CompanionKind kindAt(std::size_t column) const;

    std::array<HWND, form::kMaxCompanions> kinds_{};
    std::array<HWND, form::kMaxCompanions> texts_{};
    HWND number_ = nullptr;
    std::optional<bool> accepted_;
    form::Companions set_;
};

}  // namespace wordpour::win32
