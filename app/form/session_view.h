// What the entry session needs of its windows, whatever draws them: the Qt
// windows on Linux, the Win32 windows on Windows, an in-memory view in
// tests. A view only draws and asks; it decides nothing and holds no state
// the session does not also hold.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/form/commands.h"
#include "app/form/companions.h"
#include "app/form/message.h"
#include "base/file_error.h"
#include "journal/journal.h"

namespace wordpour::form {

// Where the keyboard focus goes after a command.
enum class Focus { WordBox, Enter };

class SessionView {
public:
    virtual ~SessionView() = default;

    // The word box: the session's entries are now `all`, those from `from`
    // on new, shown after the others, leaving the text and the entry shown as
    // they are; entry `index` gone; entry `index` shown in the box, as picking
    // it from its list does. `all` is the session's own: it lives as long as
    // the session and changes only as these calls tell, so a face may show
    // from it instead of keeping a copy.
    virtual void appendWords(const std::vector<std::u16string>& all, std::size_t from) = 0;
    virtual void removeWord(std::size_t index) = 0;
    virtual void selectWord(std::size_t index) = 0;
    // What the person has in the word box: its text, and the entry it last
    // showed from its list (-1 for none).
    virtual std::u16string typedWord() const = 0;
    virtual int shownEntry() const = 0;
    // The text with what the input method is composing in its place, as
    // the type-to-find list reads it; and how the input method read the
    // typed text, where it gave the reading for all of it.
    virtual std::u16string composingWord() const { return typedWord(); }
    virtual std::optional<std::u16string> typedReading() const { return std::nullopt; }

    // The cell-name box shows this name.
    virtual void showCellName(const std::u16string& name) = 0;
    virtual void setFocus(Focus focus) = 0;

    // The modal dialogs. The input box returns nothing on Cancel; the file
    // dialog the empty text.
    virtual Answer messageBox(const Message& message) = 0;
    virtual std::optional<std::u16string> inputBox(std::u16string_view prompt,
                                                   std::u16string_view title,
                                                   std::u16string_view defaultText) = 0;
    virtual std::u16string openFileName(std::u16string_view filter) = 0;
    // The save dialog, `suggested` its file name; the empty text on Cancel.
    virtual std::u16string saveFileName(std::u16string_view filter,
                                        std::u16string_view suggested) = 0;
    // How the input method read the text the last input box returned,
    // where it gave the reading for all of it.
    virtual std::optional<std::u16string> inputBoxReading() const { return std::nullopt; }

    // The modeless windows: the cell-position dialog in front with its
    // whole name selected, and the one about box.
    virtual void showCellPosition() = 0;
    virtual void showAbout() = 0;
    // Ends the program at once.
    virtual void quit() = 0;
    // The type-to-find list under the word box: these entries, in this
    // order, the first one highlighted; or no list.
    virtual void showMatches(FoundRows rows) = 0;
    virtual void hideMatches() = 0;
    // The spreadsheet's window has just appeared and the window manager may
    // give it the keyboard: the main window becomes active again, with the
    // focus on 入力, once that window has shown.
    virtual void takeFocusBack() = 0;
    // Whether there is an entry to take back: the menu item is enabled.
    virtual void setUndoEnabled(bool enabled) = 0;
    // Keeps the main window and its dialogs above other windows, the
    // spreadsheet's included (true), or lets them go behind again; the menu
    // item shows the state as its check mark.
    virtual void setAlwaysOnTop(bool onTop) = 0;
    // A checkable menu item shows this state as its check mark.
    virtual void setChecked(Command command, bool checked) = 0;

    // The person's choices, kept between runs in the program's settings
    // file: the one stored under `key`, or `otherwise` when none is.
    virtual bool setting(std::string_view key, bool otherwise) = 0;
    // Stores it; when the file cannot be written, says which and why (the
    // choice then holds for this run only).
    struct SettingNotKept {
        std::filesystem::path file;
        base::FileError error;
    };
    virtual std::optional<SettingNotKept> storeSetting(std::string_view key, bool value) = 0;
    // A text kept the same way; nothing when none is stored.
    virtual std::optional<std::u16string> textSetting(std::string_view key) = 0;
    virtual std::optional<SettingNotKept> storeTextSetting(std::string_view key,
                                                           const std::u16string& value) = 0;

    // The dialog of the columns written beside each word, showing `now`;
    // what the person set, or nothing on Cancel.
    virtual std::optional<Companions> editCompanions(const Companions& now) = 0;

    // Where the journal of entries is kept.
    virtual std::filesystem::path journalFolder() const {
        return journal::Journal::defaultFolder();
    }

    // Runs the window's events, what is posted included, until `finished`.
    // Once that has taken kShowStartWaitingAfterMs, shows a small window
    // with `waiting` and 中止. False when the person pressed 中止 (or closed
    // that window).
    virtual bool waitForStart(const std::function<bool()>& finished,
                              std::u16string_view waiting) = 0;

    // An entry is under way (true) or answered (false). A face shows that
    // it waits once an entry has been under way for kShowWaitingAfterMs.
    virtual void setWaiting(bool waiting) = 0;
    // Runs `task` on the window's thread, later. Called from the link's thread.
    virtual void post(std::function<void()> task) = 0;
};

}  // namespace wordpour::form
