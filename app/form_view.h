// What the main window's logic needs of a window, whatever draws it: the Qt
// window on Linux, the Win32 window on Windows, an in-memory window in tests.
// A face only draws and forwards; every decision is in Form1.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cells/module1.h"
#include "link/messages.h"

namespace wordpour::app {

// The word box `Combo1`: its items, its text, and the entry shown.
class WordBox {
public:
    virtual ~WordBox() = default;
    virtual std::size_t count() const = 0;
    virtual std::u16string item(std::size_t index) const = 0;
    // Appends at the end without changing the current entry or the text.
    virtual void append(const std::vector<std::u16string>& items) = 0;
    virtual void remove(std::size_t index) = 0;
    // What the box shows: the word 入力 writes.
    virtual std::u16string text() const = 0;
    // The entry the box last showed from its list, or -1.
    virtual int currentIndex() const = 0;
    // Shows entry `index` in the box, as picking it from the list does.
    virtual void select(std::size_t index) = 0;
};

// Where the keyboard focus goes after a command.
enum class Focus { WordBox, Enter, CellName };

class FormView {
public:
    virtual ~FormView() = default;

    virtual WordBox& wordBox() = 0;
    // The cell-position dialog's `Text1`: the one store of the cell name.
    virtual cells::CellNameBox& cellName() = 0;
    virtual void setFocus(Focus focus) = 0;

    // The modal dialogs. The input box returns nothing on Cancel; the file
    // dialog the empty text.
    virtual link::Answer messageBox(const link::Message& message) = 0;
    virtual std::optional<std::u16string> inputBox(std::u16string_view prompt,
                                                   std::u16string_view title,
                                                   std::u16string_view defaultText) = 0;
    virtual std::u16string openFileName(std::u16string_view filter) = 0;

    // The modeless windows: the cell-position dialog in front with its
    // whole name selected, and the one about box.
    virtual void showCellPosition() = 0;
    virtual void showAbout() = 0;
    // Ends the program at once.
    virtual void quit() = 0;
    // The type-to-find list under the word box: these entries, in this
    // order, the first one highlighted; or no list.
    virtual void showMatches(const std::vector<std::u16string>& words) = 0;
    virtual void hideMatches() = 0;
    // Whether there is an entry to take back: the menu item is enabled.
    virtual void setUndoEnabled(bool enabled) = 0;
    // Keeps the main window and its dialogs above other windows, the
    // spreadsheet's included (true), or lets them go behind again; the menu
    // item shows the state as its check mark.
    virtual void setAlwaysOnTop(bool onTop) = 0;

    // An entry is under way (true) or answered (false). A face shows that
    // it waits once an entry has been under way for kShowWaitingAfterMs.
    virtual void setWaiting(bool waiting) = 0;
    // Runs `task` on the window's thread, later. Called from the link's thread.
    virtual void post(std::function<void()> task) = 0;
};

inline constexpr int kShowWaitingAfterMs = 400;
inline constexpr char16_t kWaitingCaption[] = u"応答待ち…";

}  // namespace wordpour::app
