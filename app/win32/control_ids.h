// The ids of the main window's controls and menu commands. None is 1 or 2:
// Windows sends those (IDOK, IDCANCEL) for Enter and Escape.
#pragma once

namespace wordpour::app::win32 {

constexpr int kCombo1 = 100;
constexpr int kFindList = 110;     // the type-to-find list
constexpr int kCommandBase = 100;  // Command1 is 101 … Command8 is 108
enum MenuItem : int {
    kFind = 201,
    kOpen,
    kSave,
    kQuit,
    kAdd,
    kDelete,
    kPosition,
    kList,
    kVersion,
    kAlwaysOnTop,
    kUndo,
};

}  // namespace wordpour::app::win32
