// The modal dialogs on Win32: the message box, the input box and the
// file-open dialog.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

#include "app/form/message.h"

namespace wordpour::win32 {

form::Answer messageBox(HWND owner, const form::Message& message);

// The text typed, or nothing when the user cancels. `reading` gets how the
// input method read the text, where it gave that for all of it.
std::optional<std::u16string> inputBox(HWND owner, std::u16string_view prompt,
                                       std::u16string_view title, std::u16string_view defaultText,
                                       std::optional<std::u16string>* reading = nullptr);

// A filter written "description|pattern|…" as the file dialog takes it:
// "a|b|c|d" becomes "a\0b\0c\0d\0\0".
std::wstring filterPairs(std::u16string_view filter);

// `filter` is written "description|pattern|…". The path chosen, or the
// empty text when the user cancels.
std::u16string openFileName(HWND owner, std::u16string_view filter);
// The save dialog: the path chosen, or the empty text on Cancel.
std::u16string saveFileName(HWND owner, std::u16string_view filter, std::u16string_view suggested);

}  // namespace wordpour::win32
