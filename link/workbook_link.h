// The link to the spreadsheet, built once at start-up, and the word entry.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cells/module1.h"
#include "link/excel/automation.h"
#include "link/messages.h"

namespace wordpour::link {

// A start-up step failed; the program shows `message` and ends.
class StartupError : public std::exception {
public:
    explicit StartupError(Message message) : message_(std::move(message)) {}
    const Message& message() const { return message_; }
    const char* what() const noexcept override { return "Wordpour could not start"; }

private:
    Message message_;
};

class WorkbookLink {
public:
    using Attach = std::function<std::unique_ptr<excel::Application>()>;

    explicit WorkbookLink(Attach attach) : attach_(std::move(attach)) {}

    // Attaches to the running application, opens the workbook at `bookPath`,
    // takes its worksheet "sheet1" and a first range at `startingCell`.
    // Throws StartupError with the message to show.
    void start(std::u16string bookPath, std::u16string_view startingCell);

    // Writes `word` into the cell one row below the current cell name and
    // makes the application visible. When that cannot be done the message
    // to show is returned, nothing was written and the name did not move.
    std::optional<Message> enterWord(cells::CellNameBox& cellName, std::u16string_view word);

    const std::u16string& bookPath() const { return BookPath; }
    void setBookPath(std::u16string path) { BookPath = std::move(path); }

private:
    Attach attach_;
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
}  // namespace text

}  // namespace wordpour::link
