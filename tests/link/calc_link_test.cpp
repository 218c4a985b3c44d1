// The workbook link through the real Calc backend, against a real headless
// LibreOffice; cells are read back through a connection of the test's own.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include <gtest/gtest.h>
#include <unistd.h>
#include <com/sun/star/util/NumberFormat.hpp>

#include "cells/cell_address.h"
#include "link/spreadsheet/calc/uno_connection.h"
#include "link/workbook_link.h"
#include "tests/support/entry_steps.h"
#include "tests/support/test_office.h"

namespace {

using wordpour::testing::enterWord;
using wordpour::testing::failureOf;
using wordpour::testing::MemoryBox;
using wordpour::testing::said;

using css::table::CellContentType_EMPTY;
using css::table::CellContentType_TEXT;
using wordpour::link::StartupError;
using wordpour::link::WorkbookLink;
using wordpour::link::spreadsheet::Failure;
using wordpour::link::spreadsheet::Remedy;
using wordpour::link::spreadsheet::calc::attachRunning;
using wordpour::testing::pipeFor;
using wordpour::testing::TempDir;
using wordpour::testing::TestOffice;
using wordpour::testing::u16;
using wordpour::testing::utf8;

// One office for the whole suite, and the workbooks the tests use.
class Office : public ::testing::Environment {
public:
    static TestOffice* office;
    static TempDir* dir;
    static std::string book, noSheet, japanese, notAWorkbook;

    void SetUp() override {
        office = new TestOffice(pipeFor("main"));
        setenv("WORDPOUR_PIPE", office->pipe().c_str(), 1);
        dir = new TempDir();
        book = dir->path() + "/book.xls";
        noSheet = dir->path() + "/nosheet.xls";
        std::filesystem::create_directory(dir->path() + "/日本語 フォルダ");
        japanese = dir->path() + "/日本語 フォルダ/ブック 一.xls";
        notAWorkbook = dir->path() + "/notes.xls";
        office->createWorkbook(book, {u"Sheet1", u"Sheet2"});
        office->createWorkbook(noSheet, {u"Data"});
        office->createWorkbook(japanese, {u"sheet1"});
        std::ofstream(notAWorkbook) << "\x01\x02 not a workbook \xff\xfe";
    }
    void TearDown() override {
        delete office;
        delete dir;
    }
};
TestOffice* Office::office = nullptr;
TempDir* Office::dir = nullptr;
std::string Office::book, Office::noSheet, Office::japanese, Office::notAWorkbook;
const auto* const kOffice = ::testing::AddGlobalTestEnvironment(new Office);

class CalcLink : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("WORDPOUR_PIPE", Office::office->pipe().c_str(), 1);
        Office::office->closeAll();
    }
    TestOffice& office() { return *Office::office; }

    static std::unique_ptr<WorkbookLink> started(const std::string& path, MemoryBox& box) {
        auto link = std::make_unique<WorkbookLink>(wordpour::testing::programBackend());
        if (const auto failed = link->start(u16(path), box.text())) ADD_FAILURE() << said(*failed);
        return link;
    }
    // Why starting on `path` failed; nothing when it started.
    static std::optional<StartupError> startFailure(const std::string& path, MemoryBox& box) {
        WorkbookLink link(wordpour::testing::programBackend());
        return link.start(u16(path), box.text());
    }
};

TEST_F(CalcLink, EntriesFillTheColumnBelowTheCurrentName) {
    struct Case {
        std::u16string start;
        std::vector<std::u16string> words;
        std::vector<std::u16string> cells;  // where each word lands
        std::u16string boxAfter;
    };
    const Case cases[] = {
        {u"A1", {u"りんご", u"みかん"}, {u"A2", u"A3"}, u"A3"},
        {u"B5", {u"ﾊﾞﾅﾅ"}, {u"B6"}, u"B6"},
        {u"", {u"空"}, {u"A2"}, u"A2"},
        {u"C", {u"列だけ"}, {u"C1"}, u"C1"},
        {u"A01", {u"x"}, {u"A2"}, u"A2"},
        {u"A1048575", {u"last row"}, {u"A1048576"}, u"A1048576"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.start));
        office().closeAll();
        MemoryBox box(u"A1");
        auto link = started(Office::book, box);
        box.setText(c.start);
        for (const auto& word : c.words) EXPECT_FALSE(enterWord(*link, box, word).has_value());
        for (std::size_t i = 0; i < c.words.size(); ++i) {
            const auto cell = office().cell(Office::book, u"Sheet1", c.cells[i]);
            EXPECT_EQ(cell.type, CellContentType_TEXT);
            EXPECT_EQ(utf8(cell.text), utf8(c.words[i]));
        }
        EXPECT_EQ(utf8(box.text()), utf8(c.boxAfter));
        // The range taken at start-up is never written to.
        EXPECT_EQ(office().cell(Office::book, u"Sheet1", u"A1").type, CellContentType_EMPTY);
    }
}

TEST_F(CalcLink, WordsLandAsLiteralText) {
    MemoryBox box;
    auto link = started(Office::book, box);
    const std::u16string words[] = {u"=1+1",    u"+1",   u"2026/12/07", u"=HYPERLINK(\"http://x\")",
                                    u"'quoted", u"0012", u"1e5",        u" 前後に空白 ",
                                    u"～①髙"};
    for (const auto& word : words) {
        SCOPED_TRACE(utf8(word));
        ASSERT_FALSE(enterWord(*link, box, word).has_value());
        // The box names the cell just written.
        const auto cell = office().cell(Office::book, u"Sheet1", box.text());
        EXPECT_EQ(cell.type, CellContentType_TEXT);
        EXPECT_EQ(utf8(cell.text), utf8(word));
    }
}

// The entry after a Save As names the workbook's new file, into which it
// went; the entries before and after it name none.
TEST_F(CalcLink, TheEntryAfterASaveAsNamesTheNewFile) {
    const std::string copy = Office::dir->path() + "/book saved as.xls";
    std::filesystem::copy_file(Office::book, Office::dir->path() + "/original.xls");
    const std::string original = Office::dir->path() + "/original.xls";
    MemoryBox box;
    auto link = started(original, box);
    EXPECT_FALSE(link->write({u"A2", u"w1"}).savedAs);
    office().saveAs(original, copy);
    const auto moved = link->write({u"A3", u"w2"});
    ASSERT_TRUE(moved.written);
    EXPECT_EQ(moved.savedAs, u16(copy));
    EXPECT_FALSE(link->write({u"A4", u"w3"}).savedAs);
    EXPECT_EQ(utf8(office().cell(copy, u"Sheet1", u"A4").text), "w3");
}

TEST_F(CalcLink, AnEmptyWordEmptiesTheCell) {
    MemoryBox box;
    auto link = started(Office::book, box);
    ASSERT_FALSE(enterWord(*link, box, u"消える").has_value());
    box.setText(u"A1");
    ASSERT_FALSE(enterWord(*link, box, u"").has_value());
    EXPECT_EQ(office().cell(Office::book, u"Sheet1", u"A2").type, CellContentType_EMPTY);
    EXPECT_EQ(utf8(box.text()), "A2");
}

TEST_F(CalcLink, AWorkbookAlreadyOpenIsUsedNotOpenedAgain) {
    office().openHidden(Office::book);
    ASSERT_EQ(office().countOpen(Office::book), 1);
    MemoryBox box;
    auto link = started(Office::book, box);
    ASSERT_FALSE(enterWord(*link, box, u"既に開いている").has_value());
    EXPECT_EQ(office().countOpen(Office::book), 1);
    EXPECT_EQ(utf8(office().cell(Office::book, u"Sheet1", u"A2").text), "既に開いている");
}

TEST_F(CalcLink, TheWorkbookWindowIsShownByEachEntryNotAtStartUp) {
    office().openHidden(Office::book);
    MemoryBox box;
    auto link = started(Office::book, box);
    EXPECT_FALSE(office().windowVisible(Office::book));
    ASSERT_FALSE(enterWord(*link, box, u"見える").has_value());
    EXPECT_TRUE(office().windowVisible(Office::book));
    // Hidden again by someone else: the next entry shows it again.
    office().hideWindow(Office::book);
    usleep(100000);  // the office tells the link of the change on its own
    ASSERT_FALSE(enterWord(*link, box, u"また見える").has_value());
    EXPECT_TRUE(office().windowVisible(Office::book));
}

TEST_F(CalcLink, TheWorkbookOpensHiddenOrShownAsTheOfficeIsAndTheFirstEntryShowsIt) {
    for (const bool officeShown : {false, true}) {
        SCOPED_TRACE(officeShown ? "an office that shows a window" : "an office that shows none");
        office().closeAll();
        if (officeShown) office().openShown(Office::japanese);
        MemoryBox box;
        auto link = started(Office::book, box);
        EXPECT_EQ(office().windowVisible(Office::book), officeShown);
        ASSERT_FALSE(enterWord(*link, box, u"見える").has_value());
        EXPECT_TRUE(office().windowVisible(Office::book));
    }
}

TEST_F(CalcLink, APathWithJapaneseAndSpacesOpens) {
    MemoryBox box;
    auto link = started(Office::japanese, box);
    ASSERT_FALSE(enterWord(*link, box, u"日本語").has_value());
    EXPECT_EQ(utf8(office().cell(Office::japanese, u"sheet1", u"A2").text), "日本語");
}

TEST_F(CalcLink, TodaysWorkbooksOpenWithTheirSheetNamedAsTheFileNamesIt) {
    // Calc's Office Open XML import names a sheet "sheet1" "sheet1 -1";
    // the link gives it its name back without marking the workbook changed.
    struct Case {
        const char* file;
        const char* filter;
        std::u16string sheet;
    };
    const Case cases[] = {
        {.file = "lower.xlsx", .filter = "Calc MS Excel 2007 XML", .sheet = u"sheet1"},
        {.file = "upper.xlsx", .filter = "Calc MS Excel 2007 XML", .sheet = u"SHEET1"},
        {.file = "usual.xlsx", .filter = "Calc MS Excel 2007 XML", .sheet = u"Sheet1"},
        {.file = "macros.xlsm", .filter = "Calc MS Excel 2007 VBA XML", .sheet = u"sheet1"},
        {.file = "calc.ods", .filter = "calc8", .sheet = u"sheet1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = Office::dir->path() + "/" + c.file;
        office().createWorkbook(path, {c.sheet, u"Other"}, c.filter);
        MemoryBox box;
        auto link = started(path, box);
        EXPECT_EQ(office().sheetNames(path), (std::vector<std::u16string>{c.sheet, u"Other"}));
        EXPECT_FALSE(office().isModified(path));
        ASSERT_FALSE(enterWord(*link, box, u"今日").has_value());
        EXPECT_EQ(utf8(office().cell(path, c.sheet, u"A2").text), "今日");
        office().closeAll();
    }
}

TEST_F(CalcLink, StartUpFailuresNameTheirCause) {
    // What lies at a pipe's socket path before Wordpour looks there.
    const auto at = [](const std::string& pipe) {
        return wordpour::link::spreadsheet::calc::pipeSocketPath(u16(pipe));
    };
    using Kind = StartupError::Kind;
    struct Case {
        std::string path;
        std::string pipe;  // empty: the suite's office
        Kind kind = Kind::Spreadsheet;
        std::optional<Failure> failure = {};
        // What the user is told to act on: the pipe to listen on, the
        // path in the pipe's place.
        std::optional<Remedy> remedy = {};
        std::string subject = {};
        std::function<void()> prepare = [] {};
    };
    const std::string tooLong = "wordpour-" + std::string(90, 'x');
    const Case cases[] = {
        {.path = Office::noSheet, .pipe = "", .failure = Failure::NoSheet},
        {.path = Office::dir->path() + "/missing.xls", .pipe = "", .kind = Kind::BookMissing},
        {.path = "", .pipe = "", .kind = Kind::NoBook},
        // Calc imports any file as text: such a "workbook" has no sheet1.
        {.path = Office::notAWorkbook, .pipe = "", .failure = Failure::NoSheet},
        {.path = Office::book,
         .pipe = pipeFor("nobody"),
         .failure = Failure::NotStarted,
         .remedy = Remedy::StartListening,
         .subject = pipeFor("nobody")},
        // A name whose socket path passes the 108 bytes a socket's path may have.
        {.path = Office::book,
         .pipe = tooLong,
         .failure = Failure::BadPipeName,
         .subject = tooLong},
        {.path = Office::book,
         .pipe = "bad name",
         .failure = Failure::BadPipeName,
         .subject = "bad name"},
        // The user's own things where the socket should be: named as what they are.
        {.path = Office::book,
         .pipe = pipeFor("file"),
         .failure = Failure::PipeIsFile,
         .subject = at(pipeFor("file")),
         .prepare = [&] { std::ofstream(at(pipeFor("file"))) << "x"; }},
        {.path = Office::book,
         .pipe = pipeFor("link"),
         .failure = Failure::PipeIsLink,
         .subject = at(pipeFor("link")),
         .prepare = [&] { std::filesystem::create_symlink("/nowhere", at(pipeFor("link"))); }},
        {.path = Office::book,
         .pipe = pipeFor("folder"),
         .failure = Failure::PipeIsFolder,
         .subject = at(pipeFor("folder")),
         .prepare = [&] { std::filesystem::create_directory(at(pipeFor("folder"))); }},
    };
    // A profile of the test's own, where no office runs: with the suite's
    // office running on another one, an unnamed profile would be that case.
    TempDir profile;
    setenv("WORDPOUR_OFFICE_ARGS", ("-env:UserInstallation=file://" + profile.path()).c_str(), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + c.pipe);
        c.prepare();
        setenv("WORDPOUR_PIPE", c.pipe.empty() ? office().pipe().c_str() : c.pipe.c_str(), 1);
        MemoryBox box;
        if (const auto failed = startFailure(c.path, box); !failed) {
            ADD_FAILURE() << "started";
        } else {
            const StartupError& error = *failed;
            EXPECT_EQ(error.kind, c.kind) << said(error);
            EXPECT_EQ(failureOf(error), c.failure) << said(error);
            if (c.remedy) {
                EXPECT_EQ(error.cause->remedy(), *c.remedy);
            }
            if (!c.subject.empty()) {
                EXPECT_EQ(utf8(error.cause->subject()), c.subject);
            }
            EXPECT_EQ(utf8(error.book), c.path);
        }
        if (!c.pipe.empty()) std::filesystem::remove(at(c.pipe));
    }
    unsetenv("WORDPOUR_OFFICE_ARGS");
    // A file read as text is not left in the office (hidden, with its lock
    // file); a workbook without "sheet1" stays open, shown, so that the
    // person can add the sheet.
    EXPECT_EQ(office().countOpen(Office::notAWorkbook), 0);
    EXPECT_EQ(office().countOpen(Office::noSheet), 1);
    EXPECT_TRUE(office().windowVisible(Office::noSheet));
}

TEST_F(CalcLink, AWorkbookLockedByAnotherOfficeIsAClearStartUpError) {
    const std::string path = Office::dir->path() + "/locked.xls";
    office().createWorkbook(path, {u"Sheet1"});
    // What an office that crashed on another machine leaves beside the file.
    std::ofstream(Office::dir->path() + "/.~lock.locked.xls#")
        << ",someone,otherhost,07.12.2026 08:00,file:///home/someone/.config/libreoffice/4;";
    MemoryBox box;
    if (const auto failed = startFailure(path, box); !failed) {
        ADD_FAILURE() << "started on a workbook that only opens read-only";
    } else {
        EXPECT_EQ(failureOf(*failed), Failure::ReadOnly) << said(*failed);
        EXPECT_EQ(utf8(failed->book), path);
    }
}

TEST_F(CalcLink, ANameTheSheetRefusesWritesNothingAndKeepsTheName) {
    MemoryBox box;
    auto link = started(Office::book, box);
    for (const std::u16string name : {u"1", u"XFE1", u"A1048576"}) {
        SCOPED_TRACE(utf8(name));
        box.setText(name);
        const auto problem = enterWord(*link, box, u"入らない");
        EXPECT_EQ(failureOf(problem), Failure::Range) << said(problem);
        EXPECT_EQ(utf8(box.text()), utf8(name));
    }
    box.setText(u"A1");
    EXPECT_FALSE(enterWord(*link, box, u"続けて使える").has_value());
    EXPECT_EQ(utf8(office().cell(Office::book, u"Sheet1", u"A2").text), "続けて使える");
}

// The link computes a cell's place from its name and the sheet's size,
// without asking the office: it must find the cell the office would, and
// refuse the names the office refuses.
TEST_F(CalcLink, CellsAreFoundAndRefusedAsTheOfficeFindsAndRefusesThem) {
    MemoryBox box;
    auto link = started(Office::book, box);  // opens the workbook
    const auto [columns, rows] = office().sheetSize(Office::book, u"Sheet1");
    const wordpour::cells::SheetSize size{columns, rows};
    const std::u16string names[] = {
        u"A1",
        u"B2",
        u"Z100",
        u"AA1",
        u"AZ9",
        u"BA10",
        u"AMJ1",
        u"AMK1",
        u"XFD1",
        u"XFE1",
        u"ZZZ1",
        u"A1048576",
        u"A1048577",
        u"XFD1048576",
        u"A0",
        u"A00",
        u"A01",
        u"A001",
        u"1",
        u"A",
        u"AB",
        u"1A",
        u"A1A",
        u"A1B2",
        u"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAA1",
        u"A99999999999999999999",
        u"",
    };
    for (const std::u16string& name : names) {
        SCOPED_TRACE(utf8(name));
        const auto ours = wordpour::cells::cellAddress(name, size);
        const auto office_ =
            name.empty() ? std::nullopt : office().resolve(Office::book, u"Sheet1", name);
        ASSERT_EQ(ours.has_value(), office_.has_value());
        if (ours) {
            EXPECT_EQ(ours->column, office_->first);
            EXPECT_EQ(ours->row, office_->second);
        }
    }
}

// Entries taken back put back exactly what the cells held, whatever it was.
TEST_F(CalcLink, UndoTakesBackTheEntrysOwnCellAfterARowWasInsertedAbove) {
    MemoryBox box(u"G1");
    auto link = started(Office::book, box);
    std::vector<std::pair<wordpour::link::Entry, wordpour::link::EntryResult>> done;
    for (int i = 0; i < 3; ++i) {  // G2, G3, G4
        auto prepared = WorkbookLink::prepareEntry(box.text(), u"same");
        const auto entry = std::get<wordpour::link::Entry>(prepared);
        const auto result = link->write(entry);
        ASSERT_TRUE(result.written);
        box.setText(entry.cell);
        done.emplace_back(entry, result);
    }
    office().insertRows(Office::book, u"Sheet1", 0, 1);  // the entries are now in G3, G4, G5
    const auto& [entry, result] = done.back();
    const auto undone = link->undo(entry, result.before, false, result.keptCell);
    EXPECT_TRUE(undone.restored);
    EXPECT_FALSE(undone.changedSince);
    EXPECT_EQ(office().cell(Office::book, u"Sheet1", u"G5").type, CellContentType_EMPTY);
    EXPECT_EQ(utf8(office().cell(Office::book, u"Sheet1", u"G4").text), "same");
    EXPECT_EQ(utf8(office().cell(Office::book, u"Sheet1", u"G3").text), "same");
}

TEST_F(CalcLink, AFilledCellIsLeftUnlessItHoldsThisRunsOwnWordAndTheColumnEndIsFound) {
    using wordpour::link::Overwrite;
    MemoryBox box;
    auto link = started(Office::book, box);
    // What a person left in the sheet: A2–A5, and column C with a gap; the
    // question quotes what each cell shows.
    struct Typed {
        std::u16string cell, input, shown;
    };
    const Typed typed[] = {{u"A2", u"りんご", u"りんご"},    {u"A3", u"42", u"42"},
                           {u"A4", u"=1+1", u"2"},           {u"A5", u"'0123", u"0123"},
                           {u"C1", u"見出し", u"見出し"},    {u"C3", u"0.5", u"50%"},
                           {u"C5", u"46000", u"12/09/2025"}, {u"C7", u"1234.5", u"1,234.50"}};
    for (const auto& t : typed) office().typeInto(Office::book, u"Sheet1", t.cell, t.input);
    office().setNumberFormat(Office::book, u"Sheet1", u"C3", 10);  // 0%
    office().setNumberFormat(Office::book, u"Sheet1", u"C5", 36);  // a date
    office().setNumberFormat(Office::book, u"Sheet1", u"C7", 4);   // #,##0.00

    const Overwrite askFirst{.filled = false, .hidden = false, .own = {}};
    for (const auto& t : typed) {
        SCOPED_TRACE(utf8(t.cell));
        const auto result = link->write({t.cell, u"新"}, askFirst);
        EXPECT_TRUE(result.occupied);
        EXPECT_FALSE(result.written);
        EXPECT_NE(result.before.kind, wordpour::link::spreadsheet::CellContent::Kind::Empty);
        EXPECT_EQ(utf8(result.shown), utf8(t.shown));
    }
    EXPECT_EQ(utf8(office().cell(Office::book, u"Sheet1", u"A2").text), "りんご");
    EXPECT_EQ(office().cell(Office::book, u"Sheet1", u"A3").value, 42);

    // A word this run wrote is known again in the cell, whatever it looks like.
    for (const std::u16string word : {u"=1+1", u"0123", u"TRUE", u" 前後 ", u"りんご"}) {
        SCOPED_TRACE(utf8(word));
        const auto first = link->write({u"H2", word});
        ASSERT_TRUE(first.written);
        const auto again = link->write(
            {u"H2", u"直し"},
            Overwrite{.filled = false, .hidden = false, .own = {{first.keptCell, word, u"H2"}}});
        EXPECT_TRUE(again.written);
        EXPECT_FALSE(again.occupied);
    }

    const std::pair<std::u16string, long> ends[] = {
        {u"A", 5}, {u"C", 7}, {u"D", 0}, {u"H", 2}, {u"AMJ", 0}};
    for (const auto& [column, row] : ends) {
        SCOPED_TRACE(utf8(column));
        const auto end = link->columnEnd(column);
        EXPECT_FALSE(end.failure.has_value());
        EXPECT_EQ(end.lastFilledRow, row);
    }
    // A column past the sheet's last one is the sheet's refusal.
    const auto past = link->columnEnd(u"ZZZZ");
    ASSERT_TRUE(past.failure.has_value());
    EXPECT_EQ(past.failure->failure(), wordpour::link::spreadsheet::Failure::Range);

    // From the column's end, the next entry goes into the first empty cell.
    box.setText(u"A5");
    const auto prepared = WorkbookLink::prepareEntry(box.text(), u"続き");
    const auto below = link->write(std::get<wordpour::link::Entry>(prepared), askFirst);
    EXPECT_TRUE(below.written);
    EXPECT_EQ(utf8(office().cell(Office::book, u"Sheet1", u"A6").text), "続き");
}

// The entries' cells are known where rows inserted or deleted have moved
// them: undo names and changes only the entry's own cell, a deleted one is
// reported and touches nothing, and a word of this run's that moved is
// still its own.
TEST_F(CalcLink, EachEntryIsKnownWhereItsCellWentOrAsDeleted) {
    using wordpour::link::Overwrite;
    MemoryBox box(u"P1");
    auto link = started(Office::book, box);
    const auto write = [&](std::u16string word) {
        const auto entry =
            std::get<wordpour::link::Entry>(WorkbookLink::prepareEntry(box.text(), word));
        const auto result = link->write(entry);
        EXPECT_TRUE(result.written);
        box.setText(entry.cell);
        return std::pair(entry, result);
    };
    const auto [mv1, mv1Result] = write(u"mv1");         // P2
    office().insertRows(Office::book, u"Sheet1", 0, 3);  // now in P5
    // Known as this run's in its new cell, and nowhere else.
    office().typeInto(Office::book, u"Sheet1", u"P9", u"mv1");
    const Overwrite own{
        .filled = false, .hidden = false, .own = {{mv1Result.keptCell, u"mv1", u"P2"}}};
    EXPECT_TRUE(link->write({u"P9", u"x"}, own).occupied);
    office().typeInto(Office::book, u"Sheet1", u"P5", u"user-edit");
    office().typeInto(Office::book, u"Sheet1", u"P2", u"other");
    const auto asked = link->undo(mv1, mv1Result.before, false, mv1Result.keptCell);
    EXPECT_TRUE(asked.changedSince);
    EXPECT_EQ(utf8(asked.cell), "P5");
    const auto undone = link->undo(mv1, mv1Result.before, true, mv1Result.keptCell);
    EXPECT_TRUE(undone.restored);
    EXPECT_EQ(office().cell(Office::book, u"Sheet1", u"P5").type, CellContentType_EMPTY);
    EXPECT_EQ(utf8(office().cell(Office::book, u"Sheet1", u"P2").text), "other");

    box.setText(u"E9");
    const auto [d1, d1Result] = write(u"d1");            // E10
    const auto [d2, d2Result] = write(u"d2");            // E11
    office().deleteRows(Office::book, u"Sheet1", 9, 1);  // d1 gone, d2 now in E10
    EXPECT_TRUE(link->undo(d2, d2Result.before, false, d2Result.keptCell).restored);
    office().typeInto(Office::book, u"Sheet1", u"E10", u"d1");  // what d1's old cell stands for
    const auto gone = link->undo(d1, d1Result.before, true, d1Result.keptCell);
    EXPECT_TRUE(gone.deleted);
    EXPECT_FALSE(gone.restored);
    EXPECT_EQ(utf8(office().cell(Office::book, u"Sheet1", u"E10").text), "d1");
}

// A cell a merge hides is never written unseen: asked about, or refused.
TEST_F(CalcLink, ACellHiddenUnderAMergeIsNotWrittenUnlessAllowed) {
    using wordpour::link::Overwrite;
    // Merged before the link: merges made later are looked for once the
    // office's window was active, which a headless office's never is.
    office().openHidden(Office::book);
    office().typeInto(Office::book, u"Sheet1", u"K20", u"merged");
    office().merge(Office::book, u"Sheet1", u"K20:K21");
    MemoryBox box;
    auto link = started(Office::book, box);
    for (const bool anything : {false, true}) {
        const auto refused = link->write({u"K21", u"隠れる"},
                                         Overwrite{.filled = anything, .hidden = false, .own = {}});
        EXPECT_TRUE(refused.occupied);
        EXPECT_EQ(utf8(refused.hiddenBy), "K20:K21");
        EXPECT_EQ(office().cell(Office::book, u"Sheet1", u"K21").type, CellContentType_EMPTY);
    }
    // The merge's own first cell is the one it shows: no question about hiding.
    EXPECT_EQ(link->write({u"K20", u"見える"}).hiddenBy, u"");
    EXPECT_TRUE(link->write({u"K21", u"承知"}, Overwrite{.filled = true, .hidden = true, .own = {}})
                    .written);
    EXPECT_EQ(utf8(office().cell(Office::book, u"Sheet1", u"K21").text), "承知");
}

// A word with what is written beside it lands as one row: the moment as a
// date-time value in a date format (a person's own date format kept, a
// percentage replaced), a time, a number, texts literal; undo gives every cell back,
// with the format a date replaced; a cell of the
// row under a merge, or holding the person's text, stops the entry.
TEST_F(CalcLink, ARowLandsWithRealDateValuesAndLiteralTexts) {
    using wordpour::link::Overwrite;
    using wordpour::link::spreadsheet::CellValue;
    using wordpour::link::spreadsheet::LocalTime;
    namespace Type = css::util::NumberFormat;
    office().openHidden(Office::book);
    office().setNumberFormat(Office::book, u"Sheet1", u"D30", 37);  // a person's own date format
    const int ownFormat = office().cell(Office::book, u"Sheet1", u"D30").format;
    office().setNumberFormat(Office::book, u"Sheet1", u"E30", 10);  // 0%: shows no time
    const int generalFormat = office().cell(Office::book, u"Sheet1", u"B30").format;
    office().typeInto(Office::book, u"Sheet1", u"G41", u"人の字");
    office().typeInto(Office::book, u"Sheet1", u"H50", u"merged");
    office().merge(Office::book, u"Sheet1", u"H50:H51");
    MemoryBox box;
    auto link = started(Office::book, box);
    const LocalTime at{.year = 2026, .month = 12, .day = 9, .hour = 13, .minute = 45, .second = 30};
    const std::vector<CellValue> beside = {
        {.kind = CellValue::Kind::DateTime, .text = {}, .number = 0, .time = at},
        {.kind = CellValue::Kind::Text, .text = u"=1+1", .number = 0, .time = {}},
        {.kind = CellValue::Kind::Date, .text = {}, .number = 0, .time = at},
        {.kind = CellValue::Kind::Time, .text = {}, .number = 0, .time = at},
        {.kind = CellValue::Kind::Number, .text = {}, .number = 12, .time = {}},
        {.kind = CellValue::Kind::Text, .text = u"0012", .number = 0, .time = {}},
    };
    const auto written = link->write({u"A30", u"りんご", beside}, Overwrite{});
    ASSERT_TRUE(written.written) << (written.failure ? utf8(written.failure->detail()) : "");
    const double day = 46365;  // 2026-12-09 counted from 1899-12-30
    struct Expected {
        const char16_t* cell;
        css::table::CellContentType type;
        const char* text;  // what the cell shows, when exact
        double value;
        int formatType;  // bits the format must have; 0: none asked
    };
    const Expected cells[] = {
        {u"A30", CellContentType_TEXT, "りんご", 0, 0},
        {u"B30", css::table::CellContentType_VALUE, nullptr,
         day + (13 * 3600 + 45 * 60 + 30) / 86400.0, Type::DATETIME},
        {u"C30", CellContentType_TEXT, "=1+1", 0, 0},
        {u"D30", css::table::CellContentType_VALUE, nullptr, day, Type::DATE},
        {u"E30", css::table::CellContentType_VALUE, nullptr, (13 * 3600 + 45 * 60 + 30) / 86400.0,
         Type::TIME},
        {u"F30", css::table::CellContentType_VALUE, "12", 12, 0},
        {u"G30", CellContentType_TEXT, "0012", 0, 0},
    };
    for (const Expected& e : cells) {
        SCOPED_TRACE(utf8(e.cell));
        const auto cell = office().cell(Office::book, u"Sheet1", e.cell);
        EXPECT_EQ(cell.type, e.type);
        if (e.text) {
            EXPECT_EQ(utf8(cell.text), e.text);
        }
        if (e.type == css::table::CellContentType_VALUE) {
            EXPECT_NEAR(cell.value, e.value, 1e-9);
        }
        if (e.formatType) {
            EXPECT_EQ(cell.formatType & e.formatType, e.formatType) << cell.formatType;
        }
    }
    EXPECT_EQ(office().cell(Office::book, u"Sheet1", u"D30").format, ownFormat);
    EXPECT_NE(utf8(office().cell(Office::book, u"Sheet1", u"B30").text).find("45"),
              std::string::npos);

    const auto undone =
        link->undo({u"A30", u"りんご", beside}, {}, false, written.keptCell,
                   {.before = written.besideBefore, .written = written.besideWritten});
    EXPECT_TRUE(undone.restored);
    for (const char16_t* cell : {u"A30", u"B30", u"C30", u"E30", u"G30"})
        EXPECT_EQ(office().cell(Office::book, u"Sheet1", cell).type, CellContentType_EMPTY)
            << utf8(cell);
    // The formats the dates replaced come back; a person's own stayed.
    EXPECT_EQ(office().cell(Office::book, u"Sheet1", u"B30").format, generalFormat);
    EXPECT_EQ(office().cell(Office::book, u"Sheet1", u"E30").format, 10);
    EXPECT_EQ(office().cell(Office::book, u"Sheet1", u"D30").format, ownFormat);

    const std::vector<CellValue> text = {
        {.kind = CellValue::Kind::Text, .text = u"x", .number = 0, .time = {}}};
    const auto held =
        link->write({u"F41", u"語", text}, Overwrite{.filled = false, .hidden = false, .own = {}});
    EXPECT_TRUE(held.occupied);
    EXPECT_EQ(held.occupiedCells, std::vector<std::u16string>{u"G41"});
    const auto hidden =
        link->write({u"G51", u"語", text}, Overwrite{.filled = true, .hidden = false, .own = {}});
    EXPECT_TRUE(hidden.occupied);
    EXPECT_EQ(hidden.occupiedCells, std::vector<std::u16string>{u"H51"});
    EXPECT_EQ(office().cell(Office::book, u"Sheet1", u"F41").type, CellContentType_EMPTY);
    EXPECT_EQ(office().cell(Office::book, u"Sheet1", u"G51").type, CellContentType_EMPTY);
}

// While the person edits a cell in the office, their Enter would write the
// edit over an entry into that very cell: it is refused and said; another
// cell is written, and the edit is left alone.
TEST_F(CalcLink, TheCellThePersonIsEditingIsNotWrittenOtherCellsAre) {
    MemoryBox box(u"M4");
    office().openShown(Office::book);  // a person edits only what is shown
    auto link = started(Office::book, box);
    office().startEditing(Office::book, u"Sheet1", u"M5");
    const auto says = enterWord(*link, box, u"消えるはず");
    EXPECT_EQ(failureOf(says), Failure::BeingEdited) << said(says);
    EXPECT_EQ(utf8(box.text()), "M4");
    const wordpour::link::Entry entry{u"N5", u"ほかのセル"};
    const auto result = link->write(entry);
    EXPECT_TRUE(result.written);
    EXPECT_FALSE(link->undo(entry, result.before, false, result.keptCell).failure.has_value());
    office().cancelEditing(Office::book);
    EXPECT_FALSE(enterWord(*link, box, u"編集の後").has_value());
    EXPECT_EQ(utf8(office().cell(Office::book, u"Sheet1", u"M5").text), "編集の後");
}

TEST_F(CalcLink, AProtectedSheetIsNotWrittenAndSaysSo) {
    MemoryBox box;
    auto link = started(Office::book, box);
    office().protectSheet(Office::book, u"Sheet1", true);
    box.setText(u"F1");
    const auto says = enterWord(*link, box, u"保護中");
    office().protectSheet(Office::book, u"Sheet1", false);
    EXPECT_EQ(failureOf(says), Failure::Protected) << said(says);
    EXPECT_EQ(office().cell(Office::book, u"Sheet1", u"F2").type, CellContentType_EMPTY);
    EXPECT_EQ(utf8(box.text()), "F1");
    // Unprotected, the entry goes in.
    EXPECT_FALSE(enterWord(*link, box, u"保護なし").has_value());
    EXPECT_EQ(utf8(office().cell(Office::book, u"Sheet1", u"F2").text), "保護なし");
}

TEST_F(CalcLink, UndoGivesNumbersBackExactlyAndKeepsTheNumberFormat) {
    struct Case {
        const char* why;
        const char16_t* input;
        double value;
        int format;  // set before the entry; -1: as Calc set it
    };
    const Case cases[] = {
        {"a number past 15 digits", u"9007199254740992", 9007199254740992.0, -1},
        {"a number with 17 significant digits", u"12345678.901234567", 12345678.901234567, -1},
        {"a formula in General, not a date", u"=NOW()", 0, 0},
    };
    MemoryBox box;
    auto link = started(Office::book, box);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.why);
        const std::u16string cell = u"E" + std::u16string(1, static_cast<char16_t>(u'2' + i));
        office().typeInto(Office::book, u"Sheet1", cell, c.input);
        if (c.format >= 0) office().setNumberFormat(Office::book, u"Sheet1", cell, c.format);
        const auto before = office().cell(Office::book, u"Sheet1", cell);
        const wordpour::link::Entry entry{cell, u"上書き"};
        const auto result = link->write(entry);
        ASSERT_TRUE(result.written);
        ASSERT_TRUE(link->undo(entry, result.before, false).restored);
        const auto after = office().cell(Office::book, u"Sheet1", cell);
        if (c.value != 0) {
            EXPECT_EQ(after.value, c.value);
        }
        EXPECT_EQ(after.type, before.type);
        EXPECT_EQ(after.format, before.format);
    }
}

TEST_F(CalcLink, UndoPutsBackWhatEachCellHeld) {
    struct Case {
        const char16_t* input;  // typed into the cell before the entry; empty: nothing
        css::table::CellContentType type;
        const char16_t* shown;
    };
    using Type = css::table::CellContentType;
    const Case cases[] = {
        {u"=1+1", Type::CellContentType_FORMULA, u"2"},
        {u"42", Type::CellContentType_VALUE, u"42"},
        {u"'0123", Type::CellContentType_TEXT, u"0123"},
        {u"'=not a formula", Type::CellContentType_TEXT, u"=not a formula"},
        {u"'TRUE", Type::CellContentType_TEXT, u"TRUE"},
        {u"", Type::CellContentType_EMPTY, u""},
    };
    MemoryBox box;
    auto link = started(Office::book, box);
    std::vector<std::pair<wordpour::link::Entry, wordpour::link::spreadsheet::CellContent>> done;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::u16string cell = u"C" + std::u16string(1, static_cast<char16_t>(u'2' + i));
        if (*cases[i].input) office().typeInto(Office::book, u"Sheet1", cell, cases[i].input);
        const wordpour::link::Entry entry{cell, u"上書き"};
        const auto result = link->write(entry);
        ASSERT_TRUE(result.written);
        done.emplace_back(entry, result.before);
    }
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
        const auto undone = link->undo(it->first, it->second, false);
        ASSERT_TRUE(undone.restored) << utf8(it->first.cell);
    }
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::u16string cell = u"C" + std::u16string(1, static_cast<char16_t>(u'2' + i));
        SCOPED_TRACE(utf8(cell));
        const auto held = office().cell(Office::book, u"Sheet1", cell);
        EXPECT_EQ(held.type, cases[i].type);
        EXPECT_EQ(utf8(held.text), utf8(cases[i].shown));
    }
    // A cell typed over since is reported, not overwritten.
    const wordpour::link::Entry entry{u"D2", u"書いた"};
    const auto result = link->write(entry);
    office().typeInto(Office::book, u"Sheet1", u"D2", u"手で直した");
    const auto undone = link->undo(entry, result.before, false);
    EXPECT_TRUE(undone.changedSince);
    EXPECT_FALSE(undone.restored);
    EXPECT_EQ(utf8(office().cell(Office::book, u"Sheet1", u"D2").text), "手で直した");
}

TEST(CalcLinkOfficeGone, TheNextEntryReportsAndTheNameStays) {
    TestOffice doomed(pipeFor("doomed"));
    TempDir dir;
    const std::string path = dir.path() + "/doomed.xls";
    doomed.createWorkbook(path, {u"Sheet1"});
    setenv("WORDPOUR_PIPE", doomed.pipe().c_str(), 1);
    MemoryBox box;
    WorkbookLink link(wordpour::testing::programBackend());
    ASSERT_FALSE(link.start(u16(path), box.text()));
    ASSERT_FALSE(enterWord(link, box, u"一つ目").has_value());
    EXPECT_EQ(utf8(doomed.cell(path, u"Sheet1", u"A2").text), "一つ目");

    doomed.kill();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto problem = enterWord(link, box, u"二つ目");
        EXPECT_EQ(failureOf(problem), Failure::Disconnected) << said(problem);
        EXPECT_EQ(utf8(box.text()), "A2");
    }
}

}  // namespace
