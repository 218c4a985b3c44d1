// The link to the spreadsheet, built once at start-up, and the word entry.
// Every failure comes back as a typed outcome; the window logic words it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "link/spreadsheet/automation.h"

namespace wordpour::link {

// The worksheet every word goes into, found as the application finds names.
inline constexpr std::u16string_view kSheetName = u"sheet1";
// How many entries' cells the link keeps for undo.
inline constexpr std::size_t kKeptCells = 100;
// The most characters a cell holds (Excel's limit, and the .xls format's).
inline constexpr std::size_t kMaxWordLength = 32767;

// A start-up step failed; the program says why and ends.
struct StartupError {
    enum class Kind {
        NoBook,                  // the workbook dialog was cancelled
        BookMissing,             // the file chosen does not exist
        Spreadsheet,             // the application failed: `cause` says how
        StartApplication,        // none runs: the user may start it (startApplication())
        StartApplicationFailed,  // starting it failed: `cause` says how
    };
    StartupError(Kind kind, std::u16string book, std::optional<spreadsheet::Error> cause = {})
        : kind(kind), book(std::move(book)), cause(std::move(cause)) {}

    Kind kind;
    std::u16string book;
    std::optional<spreadsheet::Error> cause;
};

// One word entry, checked and ready to be written.
struct Entry {
    std::u16string cell;  // the cell one row below the current name
    std::u16string word;
    // What goes into the cells right of the word's, in the same call;
    // none for an entry of the word alone.
    std::vector<spreadsheet::CellValue> beside = {};
};

// Why an entry was refused before anything was sent.
struct EntryRefusal {
    enum class Kind {
        WordTooLong,      // `at` is the word's length
        BrokenWord,       // half a surrogate pair; `at` is its 0-based position
        WrongCellName,    // a character other than "A"-"Z" and "0"-"9"
        CellNameTooLong,  // too long, or too many letters
    };
    Kind kind;
    std::size_t at = 0;
};

// A word this run left in a cell, known by the cell the link keeps for it
// (`cell` is that cell's name when written: where it most likely still is).
struct OwnCell {
    std::uint64_t keptCell;
    std::u16string word;
    std::u16string cell;
};

// How many kept cells an entry asks where they are now, at most, to know a
// word of this run's in the cell it goes to: those written to that very
// name first, then those of its column. A word not found so is asked
// about, which is never wrong.
inline constexpr std::size_t kOwnCellsAsked = 8;

// What an entry may write over besides an empty cell that no merge hides.
struct Overwrite {
    bool filled = true;   // a cell that holds anything
    bool hidden = false;  // a cell hidden under a merge, which nobody would see
    // Without `filled`: the words this run left, wherever their cells
    // have moved; the cell may be written over where it holds one of them.
    std::vector<OwnCell> own;
};

struct EntryResult {
    bool written = false;  // the word is in the cell: the name advances
    // Nothing was written: the cell held `before`, or lies under a merge
    // (`hiddenBy`), which Overwrite did not allow.
    bool occupied = false;
    // The application's hidden window was shown: it may have taken the keyboard.
    bool shownApplication = false;
    // What failed; with `written`, only the showing of the application did.
    std::optional<spreadsheet::Error> failure;
    spreadsheet::CellContent before;  // what the cell held before, when written or occupied
    std::u16string shown;             // what it showed, when occupied and not empty
    std::u16string hiddenBy;          // the merged range hiding it, when one does
    // Of an entry with values beside the word: what those cells held
    // before and hold now, when written; the row's cells that stopped it
    // (held something, or lie under a merge), when occupied.
    std::vector<spreadsheet::CellContent> besideBefore;
    std::vector<spreadsheet::CellContent> besideWritten;
    std::vector<std::u16string> occupiedCells;
    // The cell written, kept by the link for undo (0: none): the spreadsheet's
    // cell object follows rows and columns inserted or deleted since.
    std::uint64_t keptCell = 0;
    // The workbook's file, when it was saved under another name since the
    // last entry: the word went into that file.
    std::optional<std::u16string> savedAs;
};

// Where a column's filled cells end.
struct ColumnEnd {
    long lastFilledRow = 0;  // counted from 1; 0 when the column is empty
    std::optional<spreadsheet::Error> failure;
};

// What taking back an entry found or did.
struct UndoResult {
    bool deleted = false;       // the entry's cell was deleted since: nothing to take back
    bool changedSince = false;  // the cell no longer holds the word written
    bool restored = false;      // the cell holds again what it held before
    std::u16string cell;        // where the entry's cell is now
    std::optional<spreadsheet::Error> failure;
};

// What linking again found: whether the workbook is open in the
// application running now, or why nothing could be attached to.
struct Reattached {
    bool bookOpen = false;
    std::optional<spreadsheet::Error> failure;  // NotStarted: none runs, one could be
};

// The spreadsheet calls may take as long as the application takes to
// answer: the window runs them on the link's own thread (link_thread.h).
// Each returns what happened, never throws. prepareEntry belongs to the
// window's thread.
class WorkbookLink {
public:
    explicit WorkbookLink(spreadsheet::Backend backend) : backend_(std::move(backend)) {}

    std::u16string_view applicationName() const { return backend_.applicationName; }

    // Attaches to the running application, opens the workbook at `bookPath`,
    // takes its worksheet "sheet1" and checks that the sheet accepts
    // `startingCell`; or says why not.
    [[nodiscard]] std::optional<StartupError> start(const std::u16string& bookPath,
                                                    std::u16string_view startingCell);
    // Starts the spreadsheet application, after the user agreed to the
    // question start() asked; or says why not.
    [[nodiscard]] std::optional<StartupError> startApplication();

    // Checks the word and the current cell name, and names the cell one row
    // below. Nothing is sent.
    static std::variant<Entry, EntryRefusal> prepareEntry(std::u16string_view cellName,
                                                          std::u16string_view word);
    // Writes the word into the entry's cell, having read what it held, and
    // makes the application visible; a cell whose content `overwrite` does
    // not allow is left as it is (the read is the one undo needs anyway).
    EntryResult write(const Entry& entry, const Overwrite& overwrite = {});
    // The last filled row of the column named by these letters, on the
    // worksheet taken at start-up.
    ColumnEnd columnEnd(std::u16string_view columnLetters);
    // Takes back an entry: in the cell it wrote, wherever that cell has
    // moved since (`keptCell`), else the cell of its name. Unless
    // `overwrite`, a cell that no longer holds the word written is left as
    // it is and reported changed; a cell deleted since is reported so and
    // forgotten.
    // The cells beside the word are checked and put back with it.
    struct Row {
        std::vector<spreadsheet::CellContent> before;
        std::vector<spreadsheet::CellContent> written;
    };
    UndoResult undo(const Entry& entry, const spreadsheet::CellContent& before, bool overwrite,
                    std::uint64_t keptCell = 0, const Row& beside = {});

    // Releases the spreadsheet's objects: on the thread that took them, as
    // COM requires.
    void release();

    // After the application ended or the workbook was closed: drops what
    // was taken of them, attaches to the application running now and tells
    // whether the workbook at `bookPath` is open there.
    Reattached reattach(std::u16string_view bookPath);
    // Then takes the workbook (opening it when it is closed) and its sheet
    // anew; or says why not.
    [[nodiscard]] std::optional<spreadsheet::Error> retake(std::u16string_view bookPath);

    // What each cell holds of an entry made before: the word still
    // (Holds), nothing or what it held before the entry (Lost: the
    // workbook lost the entry), or anything else (Other: left alone). A
    // record whose cell no sheet holds (a damaged or foreign journal) is
    // Unchecked, and the others are checked all the same.
    enum class Kept { Holds, Lost, Other, Unchecked };
    struct Made {
        Entry entry;
        spreadsheet::CellContent before;
    };
    struct Checked {
        std::vector<Kept> kept;  // of each entry, in order; none after a failure
        std::optional<spreadsheet::Error> failure;
    };
    Checked check(const std::vector<Made>& entries);

private:
    // Where a Save As moved the workbook since the last entry, if it did.
    std::optional<std::u16string> savedAs();
    // Start-up failed once the workbook was open: a workbook opened only
    // for it is closed again.
    void refuseWorkbook();
    // The workbook lacks the sheet: it stays open, shown, for the person to
    // add the sheet.
    void leaveToPerson();
    // Whether `before`, in the cell named `cell`, is one of the words this
    // run left there: in a kept cell that is now that very cell.
    bool isOwn(const spreadsheet::CellContent& before, std::u16string_view cell,
               const std::vector<OwnCell>& own);

    spreadsheet::Backend backend_;
    std::unique_ptr<spreadsheet::Application> application_;
    std::unique_ptr<spreadsheet::Workbook> workbook_;
    std::unique_ptr<spreadsheet::Worksheet> sheet_;
    // The cells of the last kKeptCells entries, the newest last.
    struct KeptCell {
        std::uint64_t id;
        std::unique_ptr<spreadsheet::Range> range;
    };
    std::deque<KeptCell> kept_;
    // The kept cell of that id, or kept_.end() once it is no longer kept.
    std::deque<KeptCell>::iterator findKept(std::uint64_t id);
    std::uint64_t nextKept_ = 1;
};

}  // namespace wordpour::link
