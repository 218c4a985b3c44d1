// A real LibreOffice for tests and benchmarks: headless, with a profile and
// a pipe of its own, started and killed by the test itself. Also makes the
// workbook files the tests need and reads cells back, through its own UNO
// connection.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

namespace wordpour::testing {

// A pipe of this test process's own for `role`: "wordpour-test-<role>-<pid>".
std::string pipeFor(const char* role);

class TestOffice {
public:
    // Whether the office listens on its pipe from the start, or only once
    // asked, as an office a person opened from the desktop menu.
    enum class Listen { AtStart, WhenAsked };

    // Starts the office and waits until it answers on `pipe` (AtStart) or
    // on its single-instance pipe (WhenAsked).
    explicit TestOffice(std::string pipe, Listen listen = Listen::AtStart);
    ~TestOffice();
    TestOffice(const TestOffice&) = delete;
    TestOffice& operator=(const TestOffice&) = delete;

    const std::string& pipe() const { return pipe_; }
    // The profile's URL, as -env:UserInstallation= takes it.
    std::string profileUrl() const;
    // WhenAsked: connects this object's helpers once the office listens.
    void connectWhenListening();
    // Kills the office at once, as a crash would.
    void kill();
    // After kill(): starts it again with the same profile and pipe, as the
    // person who lost it does.
    void restart();
    // Freezes the office (SIGSTOP), as a hung office would be, and thaws it.
    void stop();
    void resume();

    // Saves a new workbook with these sheets, in Excel 97 format unless
    // another filter is named.
    void createWorkbook(const std::string& path, const std::vector<std::u16string>& sheetNames,
                        const char* filter = "MS Excel 97");
    // Opens a file in a window that is shown, as a person working in the
    // office would have it.
    void openShown(const std::string& path);
    // Opens a file hidden, as a user might have it open already.
    void openHidden(const std::string& path);
    // Opens a CSV file hidden as Calc's text import takes one whose
    // byte-order mark says UTF-8: comma-separated, quoted, in UTF-8.
    void openUtf8Csv(const std::string& path);
    // How many open documents have this file's URL.
    int countOpen(const std::string& path);
    // How many documents are open in all.
    int documentCount() { return static_cast<int>(documents().size()); }

    struct Cell {
        css::table::CellContentType type;
        std::u16string text;
        double value = 0;    // its number
        int format = 0;      // its number format's key; 0 is General
        int formatType = 0;  // that format's kind: css::util::NumberFormat's bits
    };
    // A cell of an open document, read through this connection.
    Cell cell(const std::string& path, std::u16string_view sheet, std::u16string_view name);
    // An open document's sheets, by their names, and whether it is changed.
    std::vector<std::u16string> sheetNames(const std::string& path);
    bool isModified(const std::string& path);

    // Where the office itself resolves a cell name on a sheet: zero-based
    // column and row, or nothing when it refuses the name.
    std::optional<std::pair<int, int>> resolve(const std::string& path, std::u16string_view sheet,
                                               std::u16string_view name);
    // The sheet's size as the office gives it: columns and rows.
    std::pair<int, int> sheetSize(const std::string& path, std::u16string_view sheet);

    // Changes an open document as its user would in the office.
    void setCell(const std::string& path, std::u16string_view sheet, std::u16string_view name,
                 std::u16string_view text);
    // Types `input` into a cell as a person would: "=1+1", "42", "'0123".
    void typeInto(const std::string& path, std::u16string_view sheet, std::u16string_view name,
                  std::u16string_view input);
    // The round trips of `count` setFormula calls on one cell taken once,
    // in milliseconds each: the floor under an entry's calls.
    std::vector<double> timeSetFormula(const std::string& path, std::u16string_view sheet,
                                       std::u16string_view name, int count);
    void setNumberFormat(const std::string& path, std::u16string_view sheet,
                         std::u16string_view name, int format);
    // Fills the first `rows` cells of a column (zero-based) with `text`, in one call.
    void fillColumn(const std::string& path, std::u16string_view sheet, int column, int rows,
                    std::u16string_view text);
    void removeSheet(const std::string& path, std::u16string_view sheet);
    // Inserts `count` rows before zero-based row `at`, as a person does.
    void insertRows(const std::string& path, std::u16string_view sheet, int at, int count);
    void deleteRows(const std::string& path, std::u16string_view sheet, int at, int count);
    // Puts the cell into editing in the document's view, as typing into it
    // or F2 does, and waits a moment for the office to say so; then ends it
    // without keeping what was typed, as Esc does.
    void startEditing(const std::string& path, std::u16string_view sheet, std::u16string_view name);
    void cancelEditing(const std::string& path);
    // Merges a range ("A20:A21"), keeping what its hidden cells hold.
    void merge(const std::string& path, std::u16string_view sheet, std::u16string_view range);
    // Protects the sheet (no password), or lifts its protection.
    void protectSheet(const std::string& path, std::u16string_view sheet, bool on);
    void renameSheet(const std::string& path, std::u16string_view from, std::u16string_view to);
    void close(const std::string& path);
    // Saves an open workbook under another name, as the office's Save As
    // does: the document then belongs to that file.
    void saveAs(const std::string& path, const std::string& newPath);

    // Whether the window of an open document is shown.
    bool windowVisible(const std::string& path);
    // Hides it, as another program driving the office might.
    void hideWindow(const std::string& path);

    // Closes every document, so that each test starts from none.
    void closeAll();

private:
    void spawn(bool accept);
    // Asks the office to end, and kills what is left after a while.
    void endCleanly();
    std::vector<css::uno::Reference<css::frame::XModel>> documents();
    css::uno::Reference<css::frame::XModel> findOpen(const std::string& path);

    std::string pipe_;
    std::string profile_;
    pid_t group_ = -1;
    css::uno::Reference<css::uno::XComponentContext> context_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
};

// A fresh, empty temporary directory, removed by the destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// UTF-8 to UTF-16 and back, for paths and messages in test assertions.
std::u16string u16(const std::string& utf8);
std::string utf8(std::u16string_view text);

}  // namespace wordpour::testing
