// The Excel backend against the stand-in automation server, under Wine: the
// calls, their flags, locales and argument types, and the words written.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "link/workbook_link.h"
#include "tests/support/entry_steps.h"

namespace {

using wordpour::link::StartupError;
using wordpour::link::WorkbookLink;
using wordpour::link::spreadsheet::Failure;
using wordpour::testing::enterWord;
using wordpour::testing::failureOf;
using wordpour::testing::MemoryBox;
using wordpour::testing::said;

std::wstring here() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

// "Excel.Application" names Excel's class, as an installed Excel does.
void registerProgId() {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L"Excel.Application\\CLSID", 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t clsid[] = L"{00024500-0000-0000-C000-000000000046}";
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid), sizeof clsid);
    RegCloseKey(key);
}

std::vector<std::string> logLines(const std::wstring& path) {
    std::ifstream in{std::filesystem::path(path)};
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::u16string u16(const std::wstring& text) {
    return {text.begin(), text.end()};
}

std::string utf8(const std::u16string& text) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

// Starts the link, or fails the test with the message the user would see.
void start(WorkbookLink& link, const std::wstring& book, MemoryBox& box) {
    if (const auto failed = link.start(u16(book), box.text())) FAIL() << said(*failed);
}

class ExcelAutomation : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        registerProgId();
        dir_ = here();
        for (const wchar_t* name : {L"book.xls", L"nosheet.xls", L"fails.xls"})
            std::ofstream(std::filesystem::path(dir_ + name)) << "stand-in";
    }

    void TearDown() override { stopServer(); }

    void startServer() {
        log_ = dir_ + L"fake_excel.log";
        DeleteFileW(log_.c_str());
        std::wstring command = L"\"" + dir_ + L"fake_excel_server.exe\" \"" + log_ + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &server_));
        for (int i = 0; i < 200; ++i) {
            auto lines = logLines(log_);
            if (!lines.empty() && lines[0] == "ready") return;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        FAIL() << "the fake server did not register";
    }

    void stopServer() {
        if (!server_.hProcess) return;
        TerminateProcess(server_.hProcess, 0);
        WaitForSingleObject(server_.hProcess, 5000);
        CloseHandle(server_.hProcess);
        CloseHandle(server_.hThread);
        server_ = {};
    }

    // Makes the server turn the next `count` calls away as `kind`.
    void makeBusy(const char* kind, int count) {
        std::ofstream(std::filesystem::path(log_ + L".busy")) << kind << " " << count;
    }

    // The log without its first line, "ready".
    std::vector<std::string> calls() {
        auto lines = logLines(log_);
        if (!lines.empty()) lines.erase(lines.begin());
        return lines;
    }

    // The stand-in book's sheet1, as a person's hands in Excel.
    static std::unique_ptr<wordpour::link::spreadsheet::Worksheet> bookSheet() {
        return wordpour::link::spreadsheet::excel::attachRunning()
            ->workbooks()
            ->open(u16(dir_ + L"book.xls"))
            ->worksheets()
            ->item(u"sheet1");
    }

    static inline std::wstring dir_;
    std::wstring log_;
    PROCESS_INFORMATION server_{};
};

TEST_F(ExcelAutomation, NoServerRunningIsTheAttachError) {
    WorkbookLink link(wordpour::testing::programBackend());
    MemoryBox box;
    if (const auto failed = link.start(u16(dir_ + L"book.xls"), u"A1"); !failed) {
        ADD_FAILURE() << "attached to nothing";
    } else {
        EXPECT_EQ(failureOf(*failed), Failure::NotRunning) << said(*failed);
    }
}

TEST_F(ExcelAutomation, TheCallsOfStartUpAndEntries) {
    startServer();
    WorkbookLink link(wordpour::testing::programBackend());
    MemoryBox box;
    start(link, dir_ + L"book.xls", box);
    if (HasFatalFailure()) return;
    EXPECT_FALSE(enterWord(link, box, u"=1+1").has_value());
    EXPECT_FALSE(enterWord(link, box, u"").has_value());
    const std::string book = [&] {
        std::string s(dir_.begin(), dir_.end());
        return s + "book.xls";
    }();
    const std::vector<std::string> expected = {
        "Workbooks flags=2 lcid=1033 args= named=",
        // Counted before and after, so that a workbook opened only to be
        // refused can be closed again.
        "Count flags=2 lcid=1033 args= named=",
        "Open flags=1 lcid=1033 args=8 named= value=" + book,
        "Count flags=2 lcid=1033 args= named=",
        // Where the workbook's file is: each entry asks again, as Excel
        // tells no one of a Save As.
        "FullName flags=2 lcid=1033 args= named=",
        "Worksheets flags=2 lcid=1033 args= named=",
        "0 flags=3 lcid=1033 args=8 named= value=sheet1",
        "Range flags=3 lcid=1033 args=8 named= value=A1",
        "Range flags=3 lcid=1033 args=8 named= value=A2",
        // What the cell held, read before writing so that the entry can be
        // taken back: an empty value, in no merge.
        "6 flags=2 lcid=1033 args= named=",
        "MergeCells flags=2 lcid=1033 args= named=",
        "6 flags=4 lcid=1033 args=8 named=-3 value='=1+1",
        "cell A2='=1+1",
        "FullName flags=2 lcid=1033 args= named=",
        "Visible flags=4 lcid=1033 args=11 named=-3 value=true",
        "Range flags=3 lcid=1033 args=8 named= value=A3",
        "6 flags=2 lcid=1033 args= named=",
        "MergeCells flags=2 lcid=1033 args= named=",
        "6 flags=4 lcid=1033 args=8 named=-3 value=",
        "cell A3=",
        "FullName flags=2 lcid=1033 args= named=",
        "Visible flags=4 lcid=1033 args=11 named=-3 value=true",
    };
    EXPECT_EQ(calls(), expected);
    EXPECT_TRUE(box.text() == u"A3");
}

TEST_F(ExcelAutomation, UndoPutsBackWhatEachCellHeld) {
    using wordpour::link::spreadsheet::CellContent;
    using Kind = CellContent::Kind;
    startServer();
    WorkbookLink link(wordpour::testing::programBackend());
    MemoryBox box;
    start(link, dir_ + L"book.xls", box);
    if (HasFatalFailure()) return;
    // The cells' contents before the entries, put there as a person would.
    const CellContent before[] = {{Kind::Input, u"=SUM(B1:B9)"},
                                  {Kind::Number, {}, 42},
                                  {Kind::Number, {}, 9007199254740992.0},  // past 15 digits
                                  {Kind::Text, u"0123"},
                                  {Kind::Input, u"=NOW()"},  // in a General cell
                                  {}};
    auto sheet = bookSheet();
    std::vector<std::pair<wordpour::link::Entry, CellContent>> done;
    for (std::size_t i = 0; i < std::size(before); ++i) {
        const std::u16string cell = u"C" + std::u16string(1, static_cast<char16_t>(u'2' + i));
        if (before[i].kind != Kind::Empty) sheet->range(cell)->setContent(before[i]);
        const wordpour::link::Entry entry{cell, u"上書き"};
        const auto result = link.write(entry);
        ASSERT_TRUE(result.written);
        EXPECT_EQ(result.before, before[i]);
        done.emplace_back(entry, result.before);
    }
    for (auto it = done.rbegin(); it != done.rend(); ++it)
        EXPECT_TRUE(link.undo(it->first, it->second, false).restored);
    for (std::size_t i = 0; i < std::size(before); ++i) {
        const std::u16string cell = u"C" + std::u16string(1, static_cast<char16_t>(u'2' + i));
        EXPECT_EQ(sheet->range(cell)->content(), before[i]) << i;
    }
    // The formula put back does not leave the date format Excel gives it:
    // the cell's own format is put back after it.
    std::string lastOfC6;
    for (const auto& line : calls())
        if (line.find(" C6=") != std::string::npos) lastOfC6 = line;
    EXPECT_EQ(lastOfC6, "format C6=General");
    // Typed over since: reported, not overwritten.
    const wordpour::link::Entry entry{u"D2", u"書いた"};
    const auto result = link.write(entry);
    sheet->range(u"D2")->setContent({Kind::Text, u"手で直した"});
    const auto undone = link.undo(entry, result.before, false);
    EXPECT_TRUE(undone.changedSince);
    EXPECT_EQ(sheet->range(u"D2")->content(), (CellContent{Kind::Text, u"手で直した"}));
}

// A word with what goes beside it is one Range.Value of the row's array:
// Excel reads its strings as typed input, so the texts go behind the text
// prefix; the moment goes as a date, which Excel formats. Undo takes the
// row back; a cell of the row that holds something stops the entry.
TEST_F(ExcelAutomation, ARowIsOneArrayCallWithDatesAndLiteralTexts) {
    using wordpour::link::Overwrite;
    using wordpour::link::spreadsheet::CellContent;
    using wordpour::link::spreadsheet::CellValue;
    using Kind = CellContent::Kind;
    startServer();
    WorkbookLink link(wordpour::testing::programBackend());
    MemoryBox box;
    start(link, dir_ + L"book.xls", box);
    if (HasFatalFailure()) return;
    const wordpour::link::spreadsheet::LocalTime at{
        .year = 2026, .month = 12, .day = 9, .hour = 18, .minute = 0, .second = 0};
    const wordpour::link::Entry entry{
        u"B2",
        u"=1+1",
        {{.kind = CellValue::Kind::DateTime, .text = {}, .number = 0, .time = at},
         {.kind = CellValue::Kind::Text, .text = u"=SUM(1)", .number = 0, .time = {}},
         {.kind = CellValue::Kind::Number, .text = {}, .number = 5, .time = {}}}};
    const auto written = link.write(entry);
    ASSERT_TRUE(written.written);
    std::vector<std::string> rows;
    for (const auto& line : calls())
        if (line.rfind("row ", 0) == 0 || line.rfind("format ", 0) == 0) rows.push_back(line);
    EXPECT_EQ(rows, (std::vector<std::string>{"format C2=m/d/yyyy h:mm",
                                              "row B2:E2='=1+1|date 46365.75|'=SUM(1)|(number)"}));
    auto sheet = bookSheet();
    const CellContent held[] = {{Kind::Text, u"=1+1"},
                                {Kind::Number, {}, 46365.75},
                                {Kind::Text, u"=SUM(1)"},
                                {Kind::Number, {}, 5}};
    const std::u16string cells[] = {u"B2", u"C2", u"D2", u"E2"};
    for (std::size_t i = 0; i < std::size(cells); ++i)
        EXPECT_EQ(sheet->range(cells[i])->content(), held[i]) << i;
    EXPECT_TRUE(link.undo(entry, written.before, false, written.keptCell,
                          {.before = written.besideBefore, .written = written.besideWritten})
                    .restored);
    for (const auto& cell : cells) EXPECT_EQ(sheet->range(cell)->content(), CellContent{});

    sheet->range(u"D3")->setContent({Kind::Text, u"人の字"});
    const auto held3 = link.write({u"B3", u"語", entry.beside},
                                  Overwrite{.filled = false, .hidden = false, .own = {}});
    EXPECT_TRUE(held3.occupied);
    EXPECT_EQ(held3.occupiedCells, std::vector<std::u16string>{u"D3"});
    EXPECT_EQ(sheet->range(u"B3")->content(), CellContent{});
}

TEST_F(ExcelAutomation, AFilledCellIsLeftUnlessItHoldsThisRunsOwnWordAndTheColumnEndIsFound) {
    using wordpour::link::Overwrite;
    using wordpour::link::spreadsheet::CellContent;
    using Kind = CellContent::Kind;
    startServer();
    WorkbookLink link(wordpour::testing::programBackend());
    MemoryBox box;
    start(link, dir_ + L"book.xls", box);
    if (HasFatalFailure()) return;
    auto sheet = bookSheet();
    // What a person left in the sheet: A2–A5, and column C with a gap.
    const std::pair<std::u16string, CellContent> held[] = {
        {u"A2", {Kind::Text, u"りんご"}}, {u"A3", {Kind::Number, {}, 42}},
        {u"A4", {Kind::Input, u"=1+1"}},  {u"A5", {Kind::Text, u"0123"}},
        {u"C1", {Kind::Text, u"見出し"}}, {u"C3", {Kind::Text, u"x"}},
        {u"C7", {Kind::Input, u"=NOW()"}}};
    for (const auto& [cell, content] : held) sheet->range(cell)->setContent(content);

    const Overwrite askFirst{.filled = false, .hidden = false, .own = {}};
    for (const auto& [cell, content] : held) {
        SCOPED_TRACE(utf8(cell));
        const auto result = link.write({cell, u"新"}, askFirst);
        EXPECT_TRUE(result.occupied);
        EXPECT_EQ(result.before, content);
        // The question quotes what the cell shows: a formula's result.
        EXPECT_EQ(result.shown, content.kind == Kind::Input    ? u"(formula result)"
                                : content.kind == Kind::Number ? u"42"
                                                               : content.text);
    }
    for (const auto& line : calls()) EXPECT_EQ(line.find("='新"), std::string::npos) << line;
    // A word this run wrote is known again in the cell.
    for (const std::u16string word : {u"=1+1", u"0123", u"りんご"}) {
        SCOPED_TRACE(utf8(word));
        const auto first = link.write({u"H2", word});
        ASSERT_TRUE(first.written);
        EXPECT_TRUE(link.write({u"H2", u"直し"}, Overwrite{.filled = false,
                                                           .hidden = false,
                                                           .own = {{first.keptCell, word, u"H2"}}})
                        .written);
    }

    // A column filled to the sheet's very last row: its last cell is the end.
    sheet->range(u"J65536")->setContent({Kind::Text, u"最後"});
    const std::pair<std::u16string, long> ends[] = {
        {u"A", 5}, {u"C", 7}, {u"D", 0}, {u"H", 2}, {u"J", 65536}};
    for (const auto& [column, row] : ends) {
        SCOPED_TRACE(utf8(column));
        const auto before = calls().size();
        const auto end = link.columnEnd(column);
        EXPECT_FALSE(end.failure.has_value());
        EXPECT_EQ(end.lastFilledRow, row);
        // From the column's last cell up, as Ctrl+Up does: no walk down it.
        auto lines = calls();
        lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(before));
        const std::string letters = utf8(column);
        EXPECT_GE(lines.size(), 2u);
        EXPECT_LE(lines.size(), 8u);
        EXPECT_NE(std::find(lines.begin(), lines.end(),
                            "Range flags=3 lcid=1033 args=8 named= value=" + letters + "65536"),
                  lines.end());
        if (row != 65536) {
            EXPECT_NE(std::find(lines.begin(), lines.end(), "End flags=2 lcid=1033 args=3 named="),
                      lines.end());
        }
    }
    box.setText(u"A5");
    EXPECT_FALSE(enterWord(link, box, u"続き").has_value());
    EXPECT_EQ(sheet->range(u"A6")->content(), (CellContent{Kind::Text, u"続き"}));
}

// A cell under a merge (MergeCells, MergeArea) is never written unseen, and
// a deleted cell's range (every call refused) is reported deleted by undo.
TEST_F(ExcelAutomation, AHiddenCellIsNotWrittenAndADeletedOneIsNotTakenBack) {
    using wordpour::link::Overwrite;
    std::ofstream(std::filesystem::path(dir_ + L"fake_excel.log.cells"))
        << "K20 merged\nmerge K20:K21\n";
    startServer();
    WorkbookLink link(wordpour::testing::programBackend());
    MemoryBox box;
    start(link, dir_ + L"book.xls", box);
    std::filesystem::remove(std::filesystem::path(dir_ + L"fake_excel.log.cells"));
    if (HasFatalFailure()) return;
    const auto hidden =
        link.write({u"K21", u"隠れる"}, Overwrite{.filled = true, .hidden = false, .own = {}});
    EXPECT_TRUE(hidden.occupied);
    EXPECT_EQ(hidden.hiddenBy, u"K20:K21");
    EXPECT_EQ(link.write({u"K20", u"見える"}).hiddenBy, u"");  // the merge's own first cell
    EXPECT_TRUE(link.write({u"K21", u"承知"}, Overwrite{.filled = true, .hidden = true, .own = {}})
                    .written);

    const wordpour::link::Entry entry{u"E10", u"d1"};
    const auto written = link.write(entry);
    ASSERT_TRUE(written.written);
    std::ofstream(std::filesystem::path(dir_ + L"fake_excel.log.deleted")) << "E10\n";
    const auto undone = link.undo(entry, written.before, true, written.keptCell);
    EXPECT_TRUE(undone.deleted);
    EXPECT_FALSE(undone.restored);
    for (const auto& line : calls()) EXPECT_NE(line, "cell E10=");
}

TEST_F(ExcelAutomation, ABusyExcelIsWaitedForThenReported) {
    startServer();
    WorkbookLink link(wordpour::testing::programBackend());
    MemoryBox box;
    start(link, dir_ + L"book.xls", box);
    if (HasFatalFailure()) return;
    struct Case {
        const char* kind;
        int count;
        const char* cell;  // where the word lands
    };
    for (const Case& c :
         {Case{"ignore", 3, "A2"}, Case{"retrylater", 3, "A3"}, Case{"rejected", 3, "A4"}}) {
        SCOPED_TRACE(c.kind);
        makeBusy(c.kind, c.count);
        const auto problem = enterWord(link, box, u"待つ");
        EXPECT_FALSE(problem.has_value()) << said(problem);
        const auto lines = calls();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("busy ") + c.kind), c.count);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("cell ") + c.cell + "='待つ"),
                  1);
        EXPECT_TRUE(box.text() == u16(std::wstring(c.cell, c.cell + 2)));
    }
    // Busy for longer than the wait: reported, nothing written, the name kept.
    makeBusy("ignore", 1000);
    const auto problem = enterWord(link, box, u"諦める");
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(failureOf(problem), Failure::Busy) << said(problem);
    EXPECT_TRUE(box.text() == u"A4");
    for (const auto& line : calls()) EXPECT_EQ(line.find("cell A5"), std::string::npos);
}

TEST_F(ExcelAutomation, AProtectedSheetSaysSoAndNothingIsWritten) {
    startServer();
    std::ofstream(std::filesystem::path(dir_ + L"protected.xls")) << "stand-in";
    WorkbookLink link(wordpour::testing::programBackend());
    MemoryBox box(u"A1");
    start(link, dir_ + L"protected.xls", box);
    if (HasFatalFailure()) return;
    const auto says = enterWord(link, box, u"保護中");
    ASSERT_TRUE(says.has_value());
    EXPECT_EQ(failureOf(says), Failure::Protected) << said(says);
    EXPECT_TRUE(box.text() == u"A1");
    for (const auto& line : calls()) EXPECT_EQ(line.find("cell A2"), std::string::npos);
}

TEST_F(ExcelAutomation, FailuresAreReportedAsErrors) {
    startServer();
    struct Case {
        const wchar_t* book;
        Failure failure;
    };
    const Case cases[] = {
        {L"nosheet.xls", Failure::NoSheet},
        {L"fails.xls", Failure::Open},
    };
    for (const Case& c : cases) {
        WorkbookLink link(wordpour::testing::programBackend());
        if (const auto failed = link.start(u16(dir_ + c.book), u"A1"); !failed) {
            ADD_FAILURE() << "started";
        } else {
            EXPECT_EQ(failureOf(*failed), c.failure) << said(*failed);
        }
    }
    // A workbook without "sheet1" stays open, and Excel is shown, so that
    // the person can add the sheet.
    const auto lines = calls();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.starts_with("closed "); }),
              0);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Visible flags=4 lcid=1033 args=11 named=-3 value=true"),
              lines.end());

    // A name the sheet refuses: nothing written, the name stays.
    WorkbookLink link(wordpour::testing::programBackend());
    MemoryBox box(u"A1");
    start(link, dir_ + L"book.xls", box);
    if (HasFatalFailure()) return;
    box.setText(u"1");
    ASSERT_TRUE(enterWord(link, box, u"x").has_value());
    EXPECT_TRUE(box.text() == u"1");
}

}  // namespace

namespace {

// Excel killed and started again is a new server: the link attaches to it,
// finds the workbook closed, opens it again and writes into the same sheet.
TEST_F(ExcelAutomation, ARestartedExcelIsLinkedAgainAndTheWorkbookOpenedAgain) {
    startServer();
    WorkbookLink link(wordpour::testing::programBackend());
    MemoryBox box;
    start(link, dir_ + L"book.xls", box);
    if (HasFatalFailure()) return;
    EXPECT_FALSE(enterWord(link, box, u"前").has_value());
    stopServer();
    startServer();
    const auto failed = enterWord(link, box, u"後");
    ASSERT_TRUE(failed.has_value());  // the link to the ended Excel is gone
    const std::u16string book = u16(dir_ + L"book.xls");
    EXPECT_FALSE(link.reattach(book).bookOpen);  // the new Excel has nothing open
    EXPECT_FALSE(link.retake(book));
    EXPECT_TRUE(link.reattach(book).bookOpen);  // open now, as Workbooks' FullName tells
    EXPECT_FALSE(link.retake(book));
    EXPECT_FALSE(enterWord(link, box, u"後").has_value());
    const auto lines = calls();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "cell A3='後"), lines.end());
}

}  // namespace
