// The name a screen reader gives a control whose text does not name it (a
// box the person types into, a list): set through the system's dynamic
// annotation of accessible properties, which every MSAA and UI Automation
// client reads for that window.
#pragma once

#include <windows.h>

#include <string_view>

namespace wordpour::win32 {

// False when the system's annotation service is not there.
bool setSpokenName(HWND control, std::u16string_view name);
// Takes the annotation off again, before the control is destroyed.
void clearSpokenName(HWND control);

}  // namespace wordpour::win32
