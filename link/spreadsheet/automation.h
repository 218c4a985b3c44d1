// The spreadsheet operations the workbook link needs, and nothing more. One
// backend drives LibreOffice Calc over UNO, another Excel over COM; the GUI's
// tests use an in-memory double.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cells/cell_content.h"
#include "cells/cell_value.h"

namespace wordpour::link::spreadsheet {

// What went wrong, so that the caller can say it in the user's language.
enum class Failure {
    NotRunning,     // no spreadsheet application to attach to
    NotStarted,     // none runs at all: one could be started (startApplication)
    ForeignPipe,    // what answers for the application belongs to another user
    BadPipeName,    // the pipe's name (pipe()) is not one a socket can have
    PipeIsLink,     // at the pipe's path (subject()) is this user's own symbolic link,
    PipeIsFile,     // plain file,
    PipeIsFolder,   // or folder, not a socket
    NotInstalled,   // the application is not installed: nothing to start
    OtherProfile,   // an office runs, but with another profile (subject())
    StartTimedOut,  // started, it did not listen within number() seconds
    EndedEarly,     // started, it ended (status number()) before it listened
    Open,           // the workbook could not be opened
    ReadOnly,       // it opened, but only read-only: words written could not be saved
    NotTheFile,     // the application handed back a document that is not that file
    NoSheet,        // the workbook has no sheet of that name
    NotWorksheet,   // a sheet of that name exists but is not a worksheet
    Range,          // the sheet does not accept the cell name
    SheetGone,      // the sheet taken at start-up was deleted
    Protected,      // the sheet is protected: nothing is written
    Value,          // the cell refused the value
    BeingEdited,    // the person is editing that cell: confirming the edit would write over it
    Visible,        // the application's window could not be shown
    Busy,           // the application kept turning calls away (a cell being edited)
    Disconnected,   // the application or the workbook went away
};

// What the user can do about a failure to attach, as far as the backend knows.
enum class Remedy {
    None,
    StartListening,    // start the application listening on `pipe` (a command line)
    StartApplication,  // start the application, then Wordpour again
    Install,           // the application is not installed
};

class Error : public std::runtime_error {
public:
    Error(Failure failure, std::u16string detail, Remedy remedy = Remedy::None,
          std::u16string subject = {}, long number = -1);
    Failure failure() const { return failure_; }
    // The backend's own explanation, often English, from the application:
    // for whoever debugs, never for the user.
    const std::u16string& detail() const { return detail_; }
    Remedy remedy() const { return remedy_; }
    // What the failure is about, as the user may be told it: the pipe (to
    // listen on, or not usable), the path at the pipe's place, the package to
    // install, the address of a document opened instead of the workbook.
    const std::u16string& subject() const { return subject_; }
    // A number the user may be told: the owner's user id of a foreign pipe,
    // a status, seconds; -1 for none.
    long number() const { return number_; }

private:
    Failure failure_;
    std::u16string detail_;
    Remedy remedy_;
    std::u16string subject_;
    long number_;
};

// What a cell holds, exactly enough to put it back.
using CellContent = cells::CellContent;
// What an entry writes beside its word.
using cells::CellValue;
using cells::LocalTime;
using cells::serialOf;

class Range {
public:
    virtual ~Range() = default;
    // The cell holds `word` as literal text; an empty word empties the cell.
    virtual void setValue(std::u16string_view word) = 0;
    // What the cell holds now, and putting that back. Two contents that
    // put back the same cell may differ (a plain text may come as input).
    virtual CellContent content() = 0;
    virtual void setContent(const CellContent& content) = 0;
    // Whether the cell holds exactly what setValue(word) left in it.
    virtual bool holds(std::u16string_view word) = 0;
    // Where the cell is now ("P5"), once rows or columns inserted or deleted
    // have moved it; nothing once the cell itself was deleted.
    virtual std::optional<std::u16string> address() = 0;
    // What the cell shows, formatted as the person sees it ("2025/12/09",
    // "50%"), for a question to quote.
    virtual std::u16string shownText() = 0;
    // The merged range that hides this cell ("A20:A21") when the cell lies
    // under a merge but is not its first cell; empty otherwise. Asked after
    // content(), it costs no call for an empty cell that no merge hides.
    virtual std::u16string hidingMerge() = 0;

    // Of a range taken with cells beside it (Worksheet::row), this cell
    // first: what each holds, in one call where the application allows it;
    virtual std::vector<CellContent> rowContents() = 0;
    // the merged range hiding each, as hidingMerge() says it;
    virtual std::vector<std::u16string> rowMerges() = 0;
    // the word here and `beside` in the cells to its right, all at once
    // (one array call where the application takes one cheaply), the texts
    // literal; a date or time value gets a format that shows it, unless its
    // cell has one already. What each cell beside holds then.
    virtual std::vector<CellContent> setRow(std::u16string_view word,
                                            const std::vector<CellValue>& beside) = 0;
    // The cell `offset` columns to the right of this one, wherever this
    // one is now, as Worksheet::range() takes it.
    virtual std::unique_ptr<Range> beside(std::size_t offset) = 0;
};

class Worksheet {
public:
    virtual ~Worksheet() = default;
    // The range of one cell, named A1-style, always on this very sheet,
    // whatever it has been renamed to: a sheet that is gone throws
    // Error(Failure::SheetGone), its workbook closed
    // Error(Failure::Disconnected), never a range on another sheet.
    virtual std::unique_ptr<Range> range(std::u16string_view cellName) = 0;
    // The same cell with the cells to its right that `beside` is to be
    // written into (a word and what is written with it), its checks covering
    // them all; the cells of dates have their formats read as they are taken.
    virtual std::unique_ptr<Range> row(std::u16string_view cellName,
                                       const std::vector<CellValue>& beside) = 0;
    // The last row, counted from 1, of the column named by these letters
    // that holds anything; 0 when none does (1 from a backend that cannot
    // tell an empty column from one whose first row alone is filled). The
    // sheet is checked as range() checks it.
    virtual long lastFilledRow(std::u16string_view columnLetters) = 0;
};

class Sheets {
public:
    virtual ~Sheets() = default;
    // The worksheet of that name, found as the application finds it.
    virtual std::unique_ptr<Worksheet> item(std::u16string_view name) = 0;
};

class Workbook {
public:
    virtual ~Workbook() = default;
    virtual std::unique_ptr<Sheets> worksheets() = 0;
    // Start-up refused the workbook: one that open() loaded (not one that
    // was open already) is closed, unsaved, so that no hidden document and
    // no lock file is left behind. Never throws.
    virtual void closeIfOpenedHere() {}
    // The application read the file as plain text: no workbook that a
    // person could give the missing sheet.
    virtual bool isText() const { return false; }
    // The file-system path the workbook was saved as since it was opened
    // or since this was last asked (Save As moves a workbook to another
    // file); nothing when it was not.
    virtual std::optional<std::u16string> savedAs() = 0;
};

class Workbooks {
public:
    virtual ~Workbooks() = default;
    // Opens the workbook at a file-system path; one that is already open in
    // the application is the one returned.
    virtual std::unique_ptr<Workbook> open(std::u16string_view path) = 0;
    // Whether the workbook at that path is open in the application now.
    virtual bool isOpen(std::u16string_view path) = 0;
};

class Application {
public:
    virtual ~Application() = default;
    virtual std::unique_ptr<Workbooks> workbooks() = 0;
    // Shows the application's windows. True when a hidden window was shown:
    // the window manager may then give it the keyboard.
    virtual bool setVisible(bool visible) = 0;
};

// What a backend offers the link: its application, as the user knows it
// ("LibreOffice Calc", "Excel"), how to attach to the running one, and how
// to start one. The build chooses the backend (chosen_backend.h).
struct Backend {
    std::u16string_view applicationName;
    // Attaches to the application that is already running; never starts
    // one. Throws Error(Failure::NotStarted) when none runs at all and one
    // could be started, Error(Failure::NotRunning) when none can be reached.
    std::function<std::unique_ptr<Application>()> attachRunning;
    // Starts the application, ready to be attached to, once the user asked
    // for it; empty when Wordpour never starts it. Throws
    // Error(Failure::NotRunning) when it cannot.
    std::function<void()> startApplication;
};

}  // namespace wordpour::link::spreadsheet
