// What Qt's accessibility gives a screen reader, mended where Qt 6.4 says
// too little: the program's own windows are dialogs (a plain QWidget window
// is announced as a "filler"), and a checkable menu item is a check box
// with its state (Qt's menu items carry no role or state for it, so
// whether 上書きの前に確認 is on could not be heard).
#pragma once

namespace wordpour::qt {

// Installs the interfaces above; before the first window is made.
void installAccessibleRoles();

}  // namespace wordpour::qt
