// The ids of the main window's controls and commands. None is 1 or 2:
// Windows sends those (IDOK, IDCANCEL) for Enter and Escape.
#pragma once

#include "app/form/commands.h"

namespace wordpour::win32 {

constexpr int kWordBoxId = 100;
constexpr int kFindListId = 110;  // the type-to-find list
// A command's button and menu item share one id, and so do its shortcut's.
constexpr int kCommandIdBase = 300;
constexpr int commandId(form::Command command) {
    return kCommandIdBase + static_cast<int>(command);
}
constexpr bool isCommandId(int id) {
    return id >= kCommandIdBase && id < kCommandIdBase + form::kCommandCount;
}

}  // namespace wordpour::win32
