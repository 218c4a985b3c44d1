#include "tests/link/spreadsheet/fake_spreadsheet.h"

#include <algorithm>

namespace wordpour::testing {

namespace {

class FakeRange final : public spreadsheet::Range {
public:
    FakeRange(FakeSpreadsheet& s, std::u16string cell) : s_(s), cell_(std::move(cell)) {}
    void setValue(std::u16string_view word) override {
        s_.record(u"value " + std::u16string(word));
        s_.cells[cell_] = word;
        s_.contents[cell_] = spreadsheet::CellContent::written(word);
    }
    // Reads change nothing: counted, not recorded among the calls.
    spreadsheet::CellContent content() override {
        ++s_.reads;
        if (s_.failures.count(u"content")) throw spreadsheet::Error(s_.failures[u"content"], {});
        const auto found = s_.contents.find(cell_);
        return found == s_.contents.end() ? spreadsheet::CellContent{} : found->second;
    }
    bool holds(std::u16string_view word) override {
        return content() == spreadsheet::CellContent::written(word);
    }
    void setContent(const spreadsheet::CellContent& content) override {
        s_.record(u"restore " + cell_ + u" " + content.text);
        s_.contents[cell_] = content;
        s_.cells[cell_] = content.text;
    }

private:
    FakeSpreadsheet& s_;
    std::u16string cell_;
};

class FakeWorksheet final : public spreadsheet::Worksheet {
public:
    explicit FakeWorksheet(FakeSpreadsheet& s) : s_(s) {}
    std::unique_ptr<spreadsheet::Range> range(std::u16string_view cell) override {
        s_.record(u"range " + std::u16string(cell));
        return std::make_unique<FakeRange>(s_, std::u16string(cell));
    }
    long lastFilledRow(std::u16string_view letters) override {
        s_.record(u"end " + std::u16string(letters));
        long last = 0;
        for (const auto& [cell, content] : s_.contents) {
            const auto digits = cell.find_first_of(u"0123456789");
            if (digits == std::u16string::npos || cell.compare(0, digits, letters) != 0 ||
                digits != letters.size() || content.kind == spreadsheet::CellContent::Kind::Empty)
                continue;
            long row = 0;
            for (char16_t c : cell.substr(digits)) row = row * 10 + (c - u'0');
            last = std::max(last, row);
        }
        return last;
    }

private:
    FakeSpreadsheet& s_;
};

class FakeSheets final : public spreadsheet::Sheets {
public:
    explicit FakeSheets(FakeSpreadsheet& s) : s_(s) {}
    std::unique_ptr<spreadsheet::Worksheet> item(std::u16string_view name) override {
        s_.record(u"item " + std::u16string(name));
        if (!s_.sheets.count(std::u16string(name)))
            throw spreadsheet::Error(spreadsheet::Failure::NoSheet, {});
        return std::make_unique<FakeWorksheet>(s_);
    }

private:
    FakeSpreadsheet& s_;
};

class FakeWorkbook final : public spreadsheet::Workbook {
public:
    explicit FakeWorkbook(FakeSpreadsheet& s) : s_(s) {}
    std::unique_ptr<spreadsheet::Sheets> worksheets() override {
        s_.record(u"worksheets");
        return std::make_unique<FakeSheets>(s_);
    }

private:
    FakeSpreadsheet& s_;
};

class FakeWorkbooks final : public spreadsheet::Workbooks {
public:
    explicit FakeWorkbooks(FakeSpreadsheet& s) : s_(s) {}
    std::unique_ptr<spreadsheet::Workbook> open(std::u16string_view path) override {
        s_.record(u"open " + std::u16string(path));
        return std::make_unique<FakeWorkbook>(s_);
    }

private:
    FakeSpreadsheet& s_;
};

class FakeApplication final : public spreadsheet::Application {
public:
    explicit FakeApplication(FakeSpreadsheet& s) : s_(s) {}
    std::unique_ptr<spreadsheet::Workbooks> workbooks() override {
        s_.record(u"workbooks");
        return std::make_unique<FakeWorkbooks>(s_);
    }
    bool setVisible(bool visible) override {
        s_.record(visible ? u"visible 1" : u"visible 0");
        const bool shown = visible && !s_.visible;
        s_.visible = visible;
        return shown;
    }

private:
    FakeSpreadsheet& s_;
};

}  // namespace

void FakeSpreadsheet::record(std::u16string call) {
    if (beforeCall) beforeCall(call);
    for (const auto& [prefix, failure] : failures)
        if (call.starts_with(prefix)) throw spreadsheet::Error(failure, u"fake failure");
    calls.push_back(std::move(call));
}

std::unique_ptr<spreadsheet::Application> FakeSpreadsheet::attach() {
    record(u"attach");
    return std::make_unique<FakeApplication>(*this);
}

void FakeSpreadsheet::launch() {
    record(u"launch");
    if (failures.contains(u"attach") && failures[u"attach"] == spreadsheet::Failure::NotStarted)
        failures.erase(u"attach");
}

}  // namespace wordpour::testing
