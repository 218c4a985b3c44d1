#include "tests/link/spreadsheet/fake_spreadsheet.h"

#include <algorithm>
#include <string>
#include <utility>

#include "cells/cell_address.h"

namespace wordpour::testing {

namespace {

// A cell name's row moved by `by`.
std::u16string shifted(const std::u16string& cell, long by) {
    const auto digits = cell.find_first_of(u"0123456789");
    const long row =
        std::stol(std::string(cell.begin() + static_cast<std::ptrdiff_t>(digits), cell.end())) + by;
    const std::string text = std::to_string(row);
    return cell.substr(0, digits) + std::u16string(text.begin(), text.end());
}

long rowOf(const std::u16string& cell) {
    const auto digits = cell.find_first_of(u"0123456789");
    if (digits == std::u16string::npos) return 0;
    return std::stol(std::string(cell.begin() + static_cast<std::ptrdiff_t>(digits), cell.end()));
}

// Moves the keys of a map of cells as rows move; `gone` rows are dropped.
template <class Map, class Move>
void moveKeys(Map& map, Move move) {
    Map moved;
    for (auto& [cell, value] : map)
        if (auto to = move(cell)) moved[*to] = std::move(value);
    map = std::move(moved);
}

using cells::besideName;

std::u16string numberText(double number) {
    const std::string text = std::to_string(number);
    return {text.begin(), text.end()};
}

class FakeRange final : public link::spreadsheet::Range {
public:
    FakeRange(FakeSpreadsheet& s, std::shared_ptr<std::u16string> place, std::size_t besides = 0)
        : s_(s), place_(std::move(place)), taken_(s.generation), besides_(besides) {}
    void setValue(std::u16string_view word) override {
        s_.alive(taken_);
        s_.record(u"value " + std::u16string(word));
        s_.cells[cell()] = word;
        s_.contents[cell()] = link::spreadsheet::CellContent::written(word);
    }
    // Reads change nothing: counted, not recorded among the calls.
    link::spreadsheet::CellContent content() override {
        s_.alive(taken_);
        ++s_.reads;
        if (s_.failures.count(u"content"))
            throw link::spreadsheet::Error(s_.failures[u"content"], {});
        const auto found = s_.contents.find(cell());
        return found == s_.contents.end() ? link::spreadsheet::CellContent{} : found->second;
    }
    bool holds(std::u16string_view word) override {
        return content() == link::spreadsheet::CellContent::written(word);
    }
    void setContent(const link::spreadsheet::CellContent& content) override {
        s_.alive(taken_);
        s_.record(u"restore " + cell() + u" " + content.text);
        s_.contents[cell()] = content;
        s_.cells[cell()] = content.text;
    }
    std::optional<std::u16string> address() override {
        s_.alive(taken_);
        if (place_->empty()) return std::nullopt;
        return *place_;
    }
    std::u16string shownText() override {
        if (const auto found = s_.shown.find(cell()); found != s_.shown.end()) return found->second;
        const auto held = s_.contents.find(cell());
        return held != s_.contents.end() ? held->second.text : std::u16string();
    }
    std::u16string hidingMerge() override {
        const auto found = s_.merges.find(cell());
        return found != s_.merges.end() ? found->second : std::u16string();
    }

    // One read of the whole row.
    std::vector<link::spreadsheet::CellContent> rowContents() override {
        s_.alive(taken_);
        ++s_.reads;
        if (s_.failures.count(u"content"))
            throw link::spreadsheet::Error(s_.failures[u"content"], {});
        std::vector<link::spreadsheet::CellContent> contents;
        for (std::size_t i = 0; i <= besides_; ++i) {
            const auto found = s_.contents.find(besideName(cell(), i));
            contents.push_back(found == s_.contents.end() ? link::spreadsheet::CellContent{}
                                                          : found->second);
        }
        return contents;
    }
    std::vector<std::u16string> rowMerges() override {
        std::vector<std::u16string> merges;
        for (std::size_t i = 0; i <= besides_; ++i) {
            const auto found = s_.merges.find(besideName(cell(), i));
            merges.push_back(found != s_.merges.end() ? found->second : std::u16string());
        }
        return merges;
    }
    // Recorded as one call: "row <word>|<value>|...", a date as its serial number.
    std::vector<link::spreadsheet::CellContent> setRow(
        std::u16string_view word,
        const std::vector<link::spreadsheet::CellValue>& beside) override {
        s_.alive(taken_);
        std::u16string call = u"row " + std::u16string(word);
        std::vector<link::spreadsheet::CellContent> written;
        for (const auto& value : beside) {
            written.push_back(
                value.kind == link::spreadsheet::CellValue::Kind::Text
                    ? link::spreadsheet::CellContent::written(value.text)
                    : link::spreadsheet::CellContent{link::spreadsheet::CellContent::Kind::Number,
                                                     {},
                                                     link::spreadsheet::serialOf(value)});
            call += u"|" + (value.kind == link::spreadsheet::CellValue::Kind::Text
                                ? value.text
                                : numberText(written.back().number));
        }
        s_.record(call);
        if (s_.failures.count(u"row")) throw link::spreadsheet::Error(s_.failures[u"row"], {});
        s_.cells[cell()] = word;
        s_.contents[cell()] = link::spreadsheet::CellContent::written(word);
        for (std::size_t i = 0; i < written.size(); ++i) {
            s_.contents[besideName(cell(), i + 1)] = written[i];
            s_.cells[besideName(cell(), i + 1)] =
                written[i].kind == link::spreadsheet::CellContent::Kind::Text
                    ? written[i].text
                    : numberText(written[i].number);
        }
        return written;
    }
    std::unique_ptr<link::spreadsheet::Range> beside(std::size_t offset) override {
        s_.alive(taken_);
        auto place = std::make_shared<std::u16string>(besideName(cell(), offset));
        s_.places.push_back(place);
        return std::make_unique<FakeRange>(s_, std::move(place));
    }

private:
    // A deleted cell's range stands for nothing: a row that is not there.
    std::u16string cell() const { return place_->empty() ? u"-deleted-" : *place_; }

    FakeSpreadsheet& s_;
    std::shared_ptr<std::u16string> place_;
    int taken_;
    std::size_t besides_;
};

class FakeWorksheet final : public link::spreadsheet::Worksheet {
public:
    explicit FakeWorksheet(FakeSpreadsheet& s) : s_(s), taken_(s.generation) {}
    std::unique_ptr<link::spreadsheet::Range> range(std::u16string_view cell) override {
        s_.alive(taken_);
        s_.record(u"range " + std::u16string(cell));
        if (s_.pastTheEnd.contains(std::u16string(cell)))
            throw link::spreadsheet::Error(link::spreadsheet::Failure::Range, {});
        auto place = std::make_shared<std::u16string>(cell);
        s_.places.push_back(place);
        return std::make_unique<FakeRange>(s_, std::move(place));
    }
    std::unique_ptr<link::spreadsheet::Range> row(
        std::u16string_view cell,
        const std::vector<link::spreadsheet::CellValue>& beside) override {
        const std::size_t besides = beside.size();
        s_.alive(taken_);
        s_.record(u"row " + std::u16string(cell) + u":" +
                  besideName(std::u16string(cell), besides));
        if (s_.pastTheEnd.contains(std::u16string(cell)))
            throw link::spreadsheet::Error(link::spreadsheet::Failure::Range, {});
        auto place = std::make_shared<std::u16string>(cell);
        s_.places.push_back(place);
        return std::make_unique<FakeRange>(s_, std::move(place), besides);
    }
    long lastFilledRow(std::u16string_view letters) override {
        s_.alive(taken_);
        s_.record(u"end " + std::u16string(letters));
        long last = 0;
        for (const auto& [cell, content] : s_.contents) {
            const auto digits = cell.find_first_of(u"0123456789");
            if (digits == std::u16string::npos || cell.compare(0, digits, letters) != 0 ||
                digits != letters.size() ||
                content.kind == link::spreadsheet::CellContent::Kind::Empty)
                continue;
            long row = 0;
            for (char16_t c : cell.substr(digits)) row = row * 10 + (c - u'0');
            last = std::max(last, row);
        }
        return last;
    }

private:
    FakeSpreadsheet& s_;
    int taken_;
};

class FakeSheets final : public link::spreadsheet::Sheets {
public:
    explicit FakeSheets(FakeSpreadsheet& s) : s_(s) {}
    std::unique_ptr<link::spreadsheet::Worksheet> item(std::u16string_view name) override {
        s_.record(u"item " + std::u16string(name));
        if (!s_.sheets.count(std::u16string(name)))
            throw link::spreadsheet::Error(link::spreadsheet::Failure::NoSheet, {});
        return std::make_unique<FakeWorksheet>(s_);
    }

private:
    FakeSpreadsheet& s_;
};

class FakeWorkbook final : public link::spreadsheet::Workbook {
public:
    explicit FakeWorkbook(FakeSpreadsheet& s) : s_(s) {}
    std::unique_ptr<link::spreadsheet::Sheets> worksheets() override {
        s_.record(u"worksheets");
        return std::make_unique<FakeSheets>(s_);
    }
    std::optional<std::u16string> savedAs() override {
        return std::exchange(s_.savedAs, std::nullopt);
    }

private:
    FakeSpreadsheet& s_;
};

class FakeWorkbooks final : public link::spreadsheet::Workbooks {
public:
    explicit FakeWorkbooks(FakeSpreadsheet& s) : s_(s) {}
    std::unique_ptr<link::spreadsheet::Workbook> open(std::u16string_view path) override {
        s_.record(u"open " + std::u16string(path));
        s_.bookOpen = true;
        return std::make_unique<FakeWorkbook>(s_);
    }
    bool isOpen(std::u16string_view) override {
        s_.record(u"isopen");
        return s_.bookOpen;
    }

private:
    FakeSpreadsheet& s_;
};

class FakeApplication final : public link::spreadsheet::Application {
public:
    explicit FakeApplication(FakeSpreadsheet& s) : s_(s) {}
    std::unique_ptr<link::spreadsheet::Workbooks> workbooks() override {
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
        if (call.starts_with(prefix)) throw link::spreadsheet::Error(failure, u"fake failure");
    calls.push_back(std::move(call));
}

std::unique_ptr<link::spreadsheet::Application> FakeSpreadsheet::attach() {
    record(u"attach");
    return std::make_unique<FakeApplication>(*this);
}

void FakeSpreadsheet::insertRows(long at, long count) {
    const auto move = [&](const std::u16string& cell) -> std::optional<std::u16string> {
        return rowOf(cell) >= at ? shifted(cell, count) : cell;
    };
    moveKeys(contents, move);
    moveKeys(cells, move);
    for (auto& weak : places)
        if (auto place = weak.lock(); place && !place->empty()) *place = *move(*place);
}

void FakeSpreadsheet::deleteRow(long at) {
    const auto move = [&](const std::u16string& cell) -> std::optional<std::u16string> {
        if (rowOf(cell) == at) return std::nullopt;
        return rowOf(cell) > at ? shifted(cell, -1) : cell;
    };
    moveKeys(contents, move);
    moveKeys(cells, move);
    for (auto& weak : places)
        if (auto place = weak.lock(); place && !place->empty())
            *place = move(*place).value_or(std::u16string());
}

void FakeSpreadsheet::alive(int taken) const {
    if (taken != generation)
        throw link::spreadsheet::Error(link::spreadsheet::Failure::Disconnected, u"gone");
}

void FakeSpreadsheet::crash() {
    closeBook();
    failures[u"attach"] = link::spreadsheet::Failure::NotStarted;
}

void FakeSpreadsheet::closeBook() {
    ++generation;
    bookOpen = false;
    cells.clear();
    contents.clear();
}

void FakeSpreadsheet::startApplication() {
    record(u"start application");
    if (failures.contains(u"attach") &&
        failures[u"attach"] == link::spreadsheet::Failure::NotStarted)
        failures.erase(u"attach");
}

}  // namespace wordpour::testing
