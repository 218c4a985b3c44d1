// The automation interface over a running Excel, through COM late binding
// (IDispatch): no Excel headers or type library are used.
#include <objbase.h>
#include <oleauto.h>

#include <functional>
#include <optional>

#include "cells/cell_address.h"
#include "link/spreadsheet/automation.h"
#include "link/spreadsheet/excel/dispatch.h"
#include "link/spreadsheet/excel/excel_backend.h"
#include "link/spreadsheet/literal_text.h"

namespace wordpour::link::spreadsheet::excel {

namespace {

using excel::Dispatch;
using excel::Variant;

// Range.Value, by the member identifier Excel's type library gives it.
constexpr DISPID kValue = 6;

std::vector<Variant> none() {
    return {};
}

std::vector<Variant> one(std::u16string_view text) {
    std::vector<Variant> args;
    args.emplace_back(text);
    return args;
}

// The members of a range besides Value, looked up by name once.
struct RangeMembers {
    DISPID formula, hasFormula, numberFormat, mergeCells;
};

// Range.Address's arguments for "P5" rather than "$P$5": RowAbsolute and
// ColumnAbsolute false.
std::vector<Variant> relative() {
    std::vector<Variant> args;
    args.emplace_back(false);
    args.emplace_back(false);
    return args;
}

// An entry's row beside its cell: the range of the whole row, and how a
// cell of the same sheet is taken by its name.
struct RowPlace {
    Dispatch cells;
    std::size_t besides = 0;
    std::function<std::unique_ptr<Range>(std::u16string_view)> take;
};

class ExcelRange final : public Range {
public:
    // `sheetProtected` asks the range's sheet whether it is protected.
    ExcelRange(Dispatch range, const RangeMembers& members, std::function<bool()> sheetProtected,
               RowPlace row)
        : range_(std::move(range)),
          members_(members),
          sheetProtected_(std::move(sheetProtected)),
          row_(std::move(row)) {}

    void setValue(std::u16string_view word) override {
        // Excel reads a string put into Value as typed input (numbers,
        // dates, formulas): the text prefix keeps the word literal.
        auto args = one(literalText(word));
        try {
            range_.invoke(kValue, DISPATCH_PROPERTYPUT, args, Failure::Value);
        } catch (const Error& error) {
            // Excel refuses a protected sheet: said as such. Asked only
            // then, so that an entry costs nothing for it.
            if (error.failure() == Failure::Value && sheetProtected_())
                throw Error(Failure::Protected, error.detail());
            throw;
        }
    }

    // The value's type tells an empty cell, which no formula cell is, a
    // text (Formula would lose that "0123" was text) and a number or date,
    // whose Formula is its input; any other cell is asked whether it holds
    // a formula. An empty cell is asked whether it lies in a merge instead,
    // so that an entry costs the same two calls as before.
    CellContent content() override {
        auto args = none();
        const Variant value = range_.invoke(kValue, DISPATCH_PROPERTYGET, args, Failure::Value);
        if (value.get()->vt == VT_EMPTY) {
            inMerge_ = merged();
            return {};
        }
        const Variant hasFormula =
            range_.invoke(members_.hasFormula, DISPATCH_PROPERTYGET, args, Failure::Value);
        if (hasFormula.get()->vt == VT_BOOL && hasFormula.get()->boolVal)
            return {CellContent::Kind::Input, formula()};
        switch (value.get()->vt) {
            case VT_BSTR:
                return {CellContent::Kind::Text, value.text()};
            case VT_R8:  // a number as it is, not its input rounded to 15 digits
                return {CellContent::Kind::Number, {}, value.get()->dblVal};
            case VT_DATE:  // a number in a date format: its serial number, as written
                return {CellContent::Kind::Number, {}, value.get()->date};
            default:
                return {CellContent::Kind::Input, formula()};
        }
    }

    bool holds(std::u16string_view word) override {
        return content() == CellContent::written(word);
    }

    // The cell's number format is kept: a formula put back (=NOW()) would
    // otherwise take the format Excel picks for its result. Undo alone pays
    // for the two calls.
    void setContent(const CellContent& content) override {
        auto none = std::vector<Variant>{};
        std::vector<Variant> format;
        format.push_back(
            range_.invoke(members_.numberFormat, DISPATCH_PROPERTYGET, none, Failure::Value));
        put(content);
        range_.invoke(members_.numberFormat, DISPATCH_PROPERTYPUT, format, Failure::Value);
    }

    // A range whose cell was deleted is refused by Excel on every call.
    std::optional<std::u16string> address() override {
        try {
            auto args = relative();
            return range_
                .invoke(range_.id(L"Address", Failure::Value), DISPATCH_PROPERTYGET, args,
                        Failure::Value)
                .text();
        } catch (const Error& error) {
            if (error.failure() == Failure::Value) return std::nullopt;
            throw;
        }
    }

    std::u16string shownText() override {
        auto args = none();
        return range_
            .invoke(range_.id(L"Text", Failure::Value), DISPATCH_PROPERTYGET, args, Failure::Value)
            .text();
    }

    // MergeArea is asked only of a cell in a merge: an empty cell was asked
    // with its content.
    std::u16string hidingMerge() override {
        if (!inMerge_) inMerge_ = merged();
        if (!*inMerge_) return {};
        auto args = none();
        const Dispatch area = range_.object(range_.id(L"MergeArea", Failure::Value),
                                            DISPATCH_PROPERTYGET, args, Failure::Value);
        auto flags = relative();
        const std::u16string name = area.invoke(area.id(L"Address", Failure::Value),
                                                DISPATCH_PROPERTYGET, flags, Failure::Value)
                                        .text();
        // The merge's first cell is the one it shows.
        const auto first = name.substr(0, name.find(u':'));
        flags = relative();
        const std::u16string self = range_
                                        .invoke(range_.id(L"Address", Failure::Value),
                                                DISPATCH_PROPERTYGET, flags, Failure::Value)
                                        .text();
        return first == self ? std::u16string() : name;
    }

    // The row's values in one call; a cell that holds anything is asked
    // as content() asks it.
    std::vector<CellContent> rowContents() override {
        auto args = none();
        const Variant values =
            row_.cells.invoke(kValue, DISPATCH_PROPERTYGET, args, Failure::Value);
        std::vector<CellContent> contents;
        const auto cells = values.elements();
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (cells[i].get()->vt == VT_EMPTY)
                contents.emplace_back();
            else
                contents.push_back(i == 0 ? content() : row_.take(nameBeside(i))->content());
        }
        return contents;
    }

    // MergeCells of the row is FALSE when no cell of it is merged, which
    // costs one call; otherwise each cell is asked.
    std::vector<std::u16string> rowMerges() override {
        auto args = none();
        const Variant any =
            row_.cells.invoke(members_.mergeCells, DISPATCH_PROPERTYGET, args, Failure::Value);
        std::vector<std::u16string> merges(row_.besides + 1);
        if (any.get()->vt == VT_BOOL && any.get()->boolVal == VARIANT_FALSE) return merges;
        merges[0] = hidingMerge();
        for (std::size_t i = 1; i <= row_.besides; ++i)
            merges[i] = row_.take(nameBeside(i))->hidingMerge();
        return merges;
    }

    // Excel reads each string of the array as typed input, as it reads
    // Value: the text prefix keeps the texts literal. A date or time is
    // given as one, and Excel gives a cell in the General format a format
    // that shows it.
    std::vector<CellContent> setRow(std::u16string_view word,
                                    const std::vector<CellValue>& beside) override {
        std::vector<Variant> cells;
        std::vector<CellContent> written;
        cells.emplace_back(literalText(word));
        for (const CellValue& value : beside) {
            switch (value.kind) {
                case CellValue::Kind::Text:
                    cells.emplace_back(literalText(value.text));
                    written.push_back(CellContent::written(value.text));
                    continue;
                case CellValue::Kind::Number:
                    cells.emplace_back(value.number);
                    break;
                case CellValue::Kind::DateTime:
                case CellValue::Kind::Date:
                case CellValue::Kind::Time:
                    cells.push_back(Variant::date(serialOf(value)));
                    break;
            }
            written.push_back({CellContent::Kind::Number, {}, serialOf(value)});
        }
        std::vector<Variant> args;
        args.push_back(Variant::row(cells));
        try {
            row_.cells.invoke(kValue, DISPATCH_PROPERTYPUT, args, Failure::Value);
        } catch (const Error& error) {
            if (error.failure() == Failure::Value && sheetProtected_())
                throw Error(Failure::Protected, error.detail());
            throw;
        }
        return written;
    }

    std::unique_ptr<Range> beside(std::size_t offset) override {
        return row_.take(nameBeside(offset));
    }

private:
    // The name of the cell `offset` columns right of this one, where it is now.
    std::u16string nameBeside(std::size_t offset) {
        const auto here = address();
        if (!here) throw Error(Failure::Value, u"the cell was deleted");
        return cells::besideName(*here, offset);
    }

    bool merged() {
        auto args = none();
        const Variant value =
            range_.invoke(members_.mergeCells, DISPATCH_PROPERTYGET, args, Failure::Value);
        return value.get()->vt == VT_BOOL && value.get()->boolVal != VARIANT_FALSE;
    }

    void put(const CellContent& content) {
        std::vector<Variant> args;
        switch (content.kind) {
            case CellContent::Kind::Empty:
                args.emplace_back();  // Empty
                range_.invoke(kValue, DISPATCH_PROPERTYPUT, args, Failure::Value);
                break;
            case CellContent::Kind::Text:
                setValue(content.text);
                break;
            case CellContent::Kind::Input:
                args.emplace_back(content.text);
                range_.invoke(members_.formula, DISPATCH_PROPERTYPUT, args, Failure::Value);
                break;
            case CellContent::Kind::Number:
                args.emplace_back(content.number);
                range_.invoke(kValue, DISPATCH_PROPERTYPUT, args, Failure::Value);
                break;
        }
    }

    std::u16string formula() {
        auto args = none();
        return range_.invoke(members_.formula, DISPATCH_PROPERTYGET, args, Failure::Value).text();
    }

    Dispatch range_;
    RangeMembers members_;
    std::function<bool()> sheetProtected_;
    std::optional<bool> inMerge_;  // known once asked
    RowPlace row_;
};

class ExcelWorksheet final : public Worksheet {
public:
    explicit ExcelWorksheet(Dispatch sheet)
        : sheet_(std::move(sheet)), range_(sheet_.id(L"Range", Failure::Range)) {}

    std::unique_ptr<Range> range(std::u16string_view cellName) override {
        return row(cellName, {});
    }

    std::unique_ptr<Range> row(std::u16string_view cellName,
                               const std::vector<CellValue>& beside) override {
        const std::size_t besides = beside.size();
        auto args = one(cellName);  // the second corner is missing
        Dispatch range =
            sheet_.object(range_, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, Failure::Range);
        RowPlace row{.cells = {}, .besides = besides, .take = [this](std::u16string_view name) {
                         return this->range(name);
                     }};
        if (besides > 0) {
            const std::u16string last = cells::besideName(cellName, besides);
            if (last.empty()) throw Error(Failure::Range, u"the sheet has no such cell");
            auto whole = one(std::u16string(cellName) + u":" + last);
            row.cells = sheet_.object(range_, DISPATCH_PROPERTYGET | DISPATCH_METHOD, whole,
                                      Failure::Range);
        }
        if (!members_) {
            // Every range has the same members: looked up on the first.
            members_ = RangeMembers{
                range.id(L"Formula", Failure::Value), range.id(L"HasFormula", Failure::Value),
                range.id(L"NumberFormat", Failure::Value), range.id(L"MergeCells", Failure::Value)};
        }
        return std::make_unique<ExcelRange>(
            std::move(range), *members_,
            [this] {
                try {
                    if (!protectContents_)
                        protectContents_ = sheet_.id(L"ProtectContents", Failure::Value);
                    auto none = std::vector<Variant>{};
                    const Variant value = sheet_.invoke(*protectContents_, DISPATCH_PROPERTYGET,
                                                        none, Failure::Value);
                    return value.get()->vt == VT_BOOL && value.get()->boolVal != VARIANT_FALSE;
                } catch (const Error&) {
                    return false;
                }
            },
            std::move(row));
    }

    // From the column's last cell up to the first that holds something, as
    // Ctrl+Up does: Range.End(xlUp); the last cell itself is asked first.
    long lastFilledRow(std::u16string_view columnLetters) override {
        constexpr long kUp = -4162;  // xlUp
        if (!rows_) {
            auto none = std::vector<Variant>{};
            const Dispatch rows = sheet_.object(sheet_.id(L"Rows", Failure::Range),
                                                DISPATCH_PROPERTYGET, none, Failure::Range);
            const Variant count = rows.invoke(rows.id(L"Count", Failure::Range),
                                              DISPATCH_PROPERTYGET, none, Failure::Range);
            rows_ = count.number();
        }
        auto args = one(std::u16string(columnLetters) + toText(*rows_));
        const Dispatch bottom =
            sheet_.object(range_, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, Failure::Range);
        auto nothing = std::vector<Variant>{};
        if (bottom.invoke(kValue, DISPATCH_PROPERTYGET, nothing, Failure::Range).get()->vt !=
            VT_EMPTY)
            return *rows_;
        std::vector<Variant> up;
        up.emplace_back(kUp);
        const Dispatch last = bottom.object(bottom.id(L"End", Failure::Range), DISPATCH_PROPERTYGET,
                                            up, Failure::Range);
        auto none = std::vector<Variant>{};
        const long row =
            last.invoke(last.id(L"Row", Failure::Range), DISPATCH_PROPERTYGET, none, Failure::Range)
                .number();
        if (row != 1) return row;
        // Row 1 is where Ctrl+Up stops in an empty column too.
        auto first = one(std::u16string(columnLetters) + u"1");
        const Dispatch top =
            sheet_.object(range_, DISPATCH_PROPERTYGET | DISPATCH_METHOD, first, Failure::Range);
        return top.invoke(kValue, DISPATCH_PROPERTYGET, none, Failure::Range).get()->vt == VT_EMPTY
                   ? 0
                   : 1;
    }

private:
    static std::u16string toText(long number) {
        const std::string digits = std::to_string(number);
        return {digits.begin(), digits.end()};
    }

    Dispatch sheet_;
    DISPID range_;              // looked up once: every entry takes a range
    std::optional<long> rows_;  // the sheet's row count
    std::optional<RangeMembers> members_;
    std::optional<DISPID> protectContents_;
};

class ExcelSheets final : public Sheets {
public:
    explicit ExcelSheets(Dispatch sheets) : sheets_(std::move(sheets)) {}

    std::unique_ptr<Worksheet> item(std::u16string_view name) override {
        auto args = one(name);  // the collection's default member
        return std::make_unique<ExcelWorksheet>(sheets_.object(
            DISPID_VALUE, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, Failure::NoSheet));
    }

private:
    Dispatch sheets_;
};

// Windows paths are the same file whatever their case.
bool samePath(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           CompareStringOrdinal(reinterpret_cast<LPCWCH>(a.data()), static_cast<int>(a.size()),
                                reinterpret_cast<LPCWCH>(b.data()), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// Excel names each open workbook by its full path.
std::u16string fullName(Dispatch& book) {
    auto none = std::vector<Variant>{};
    return book
        .invoke(book.id(L"FullName", Failure::Disconnected), DISPATCH_PROPERTYGET, none,
                Failure::Disconnected)
        .text();
}

class ExcelWorkbook final : public Workbook {
public:
    ExcelWorkbook(Dispatch book, bool openedHere)
        : book_(std::move(book)), openedHere_(openedHere), path_(fullName(book_)) {}

    // Excel tells no one of a Save As: its full name is asked at each entry.
    std::optional<std::u16string> savedAs() override {
        std::u16string now = fullName(book_);
        if (now.empty() || samePath(now, path_)) return std::nullopt;
        path_ = now;
        return now;
    }

    std::unique_ptr<Sheets> worksheets() override {
        auto args = none();
        return std::make_unique<ExcelSheets>(book_.object(book_.id(L"Worksheets", Failure::NoSheet),
                                                          DISPATCH_PROPERTYGET, args,
                                                          Failure::NoSheet));
    }

    void closeIfOpenedHere() override {
        if (!openedHere_) return;
        try {
            std::vector<Variant> dontSave;
            dontSave.emplace_back(false);  // SaveChanges
            book_.invoke(book_.id(L"Close", Failure::Open), DISPATCH_METHOD, dontSave,
                         Failure::Open);
        } catch (const Error&) {
            // Left open: start-up still reports why it refused the workbook.
        }
    }

private:
    Dispatch book_;
    bool openedHere_;
    std::u16string path_;  // the full name last seen
};

class ExcelWorkbooks final : public Workbooks {
public:
    explicit ExcelWorkbooks(Dispatch books) : books_(std::move(books)) {}

    std::unique_ptr<Workbook> open(std::u16string_view path) override {
        if (path.empty()) throw Error(Failure::Open, u"no file was chosen");
        // Open returns a workbook that is open already: only one more in
        // the collection was opened here, and is closed again if refused.
        const long before = count();
        auto args = one(path);  // the twelve optional arguments are missing
        Dispatch book =
            books_.object(books_.id(L"Open", Failure::Open), DISPATCH_METHOD, args, Failure::Open);
        return std::make_unique<ExcelWorkbook>(std::move(book), count() > before);
    }

    bool isOpen(std::u16string_view path) override {
        const long books = count();
        for (long i = 1; i <= books; ++i) {
            std::vector<Variant> index;
            index.emplace_back(i);
            Dispatch book =
                books_.object(books_.id(L"Item", Failure::Disconnected),
                              DISPATCH_PROPERTYGET | DISPATCH_METHOD, index, Failure::Disconnected);
            if (samePath(fullName(book), path)) return true;
        }
        return false;
    }

private:
    long count() {
        auto none = std::vector<Variant>{};
        return books_
            .invoke(books_.id(L"Count", Failure::Open), DISPATCH_PROPERTYGET, none, Failure::Open)
            .number();
    }

    Dispatch books_;
};

class ExcelApplication final : public Application {
public:
    explicit ExcelApplication(Dispatch app)
        : app_(std::move(app)), visible_(app_.id(L"Visible", Failure::Visible)) {}

    std::unique_ptr<Workbooks> workbooks() override {
        auto args = none();
        return std::make_unique<ExcelWorkbooks>(app_.object(
            app_.id(L"Workbooks", Failure::Open), DISPATCH_PROPERTYGET, args, Failure::Open));
    }

    bool setVisible(bool visible) override {
        std::vector<Variant> args;
        args.emplace_back(visible);
        app_.invoke(visible_, DISPATCH_PROPERTYPUT, args, Failure::Visible);
        // Windows keeps the foreground with the program the user works in.
        return false;
    }

private:
    Dispatch app_;
    DISPID visible_;
};

}  // namespace

std::unique_ptr<Application> attachRunning() {
    // The link's thread is a single-threaded apartment, where every later
    // call is made; a second call is fine.
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(init) && init != RPC_E_CHANGED_MODE)
        throw Error(Failure::NotRunning, excel::describe(init, nullptr));
    // Excel turns calls away while a person edits a cell: wait it out.
    excel::retryBusyCalls();

    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"Excel.Application", &clsid);
    if (FAILED(hr)) throw Error(Failure::NotRunning, excel::describe(hr, nullptr), Remedy::Install);
    IUnknown* running = nullptr;
    hr = GetActiveObject(clsid, nullptr, &running);
    if (FAILED(hr) || !running)
        throw Error(Failure::NotRunning, excel::describe(hr, nullptr), Remedy::StartApplication);
    IDispatch* app = nullptr;
    hr = running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&app));
    running->Release();
    if (FAILED(hr) || !app) throw Error(Failure::NotRunning, excel::describe(hr, nullptr));
    return std::make_unique<ExcelApplication>(Dispatch(app));
}

Backend backend() {
    // Excel is started by the person: attaching never reports it could be.
    return {.applicationName = u"Excel", .attachRunning = &attachRunning, .startApplication = {}};
}

}  // namespace wordpour::link::spreadsheet::excel
