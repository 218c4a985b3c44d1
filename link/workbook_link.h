// The link to the spreadsheet, built once at start-up, and the word entry.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "cells/module1.h"
#include "link/excel/automation.h"
#include "link/messages.h"

namespace wordpour::link {

// A start-up step failed; the program shows `message` and ends.
// When `offersStart`, no spreadsheet application runs and `message` asks
// whether to start one: Yes goes on with WorkbookLink::startApplication.
class StartupError : public std::exception {
public:
    explicit StartupError(Message message, bool offersStart = false)
        : message_(std::move(message)), offersStart_(offersStart) {}
    const Message& message() const { return message_; }
    bool offersStart() const { return offersStart_; }
    const char* what() const noexcept override { return "Wordpour could not start"; }

private:
    Message message_;
    bool offersStart_;
};

// The most characters a cell holds (Excel's limit, and the .xls format's).
inline constexpr std::size_t kMaxWordLength = 32767;

// One word entry, checked and ready to be written.
struct Entry {
    std::u16string cell;  // the cell one row below the current name
    std::u16string word;
};

struct EntryResult {
    bool written = false;            // the word is in the cell: the name advances
    std::optional<Message> message;  // what to tell the user, if anything
    excel::CellContent before;       // what the cell held before, when written
};

// What taking back an entry found or did.
struct UndoResult {
    bool changedSince = false;       // the cell no longer holds the word written
    bool restored = false;           // the cell holds again what it held before
    std::optional<Message> message;  // what to tell the user, if anything
};

// The spreadsheet calls (start, write) may take as long as the application
// takes to answer: the window runs them on the link's own thread
// (link_thread.h). The other steps belong to the window's thread.
class WorkbookLink {
public:
    using Attach = std::function<std::unique_ptr<excel::Application>()>;
    using Launch = std::function<void()>;

    // `launch` starts the application when none runs and the user agrees;
    // without it, none is ever started.
    explicit WorkbookLink(Attach attach, Launch launch = {})
        : attach_(std::move(attach)), launch_(std::move(launch)) {}

    // Attaches to the running application, opens the workbook at `bookPath`,
    // takes its worksheet "sheet1" and a first range at `startingCell`.
    // Throws StartupError with the message to show.
    void start(std::u16string bookPath, std::u16string_view startingCell);
    // Starts the spreadsheet application, after the user agreed to the
    // question start() asked. Throws StartupError with the message to show.
    void startApplication();

    // Window's thread: checks the word and the current cell name, and names
    // the cell one row below. Nothing is sent, nothing changes.
    static std::variant<Entry, Message> prepareEntry(cells::CellNameBox& cellName,
                                                     std::u16string_view word);
    // Link's thread: writes the word into the entry's cell and makes the
    // application visible.
    EntryResult write(const Entry& entry);
    // Window's thread: a word that was written moves the name to its cell;
    // otherwise the name stays, so the next entry does not skip a row.
    static void finishEntry(cells::CellNameBox& cellName, const Entry& entry,
                            const EntryResult& result);

    // The three steps in a row, for callers without a window. Returns the
    // message to show, if any.
    std::optional<Message> enterWord(cells::CellNameBox& cellName, std::u16string_view word);

    // Link's thread: takes back an entry. Unless `overwrite`, a cell that no
    // longer holds the word written is left as it is and reported changed.
    UndoResult undo(const Entry& entry, const excel::CellContent& before, bool overwrite);

    // Releases the spreadsheet's objects: on the thread that took them, as
    // COM requires.
    void release();

    const std::u16string& bookPath() const { return BookPath; }
    void setBookPath(std::u16string path) { BookPath = std::move(path); }

private:
    Attach attach_;
    Launch launch_;
    std::unique_ptr<excel::Application> XlApp;
    std::unique_ptr<excel::Workbook> XlBook;
    std::unique_ptr<excel::Worksheet> XlSheet;
    std::unique_ptr<excel::Range> XlRange;
    std::u16string BookPath;
};

// The texts of the messages, for the window and for tests.
namespace text {
inline constexpr char16_t kWrongCellName[] = u"セルの名前が間違っています。";
inline constexpr char16_t kCellNameTitle[] = u"セル名の異常";
inline constexpr char16_t kSheetName[] = u"sheet1";
inline constexpr char16_t kStartOffice[] =
    u"LibreOffice Calc が起動していません。\n"
    u"LibreOffice Calc を起動して、ワードポア！から使えるようにしますか？\n\n"
    u"「いいえ」を選ぶと、ワードポア！を終了します。";
}  // namespace text

}  // namespace wordpour::link
