// A word entry as the entry session makes it, for tests without a window:
// the word and the current cell name checked, the word written through the
// link, the name moved to the cell written, and why nothing was written as
// the link says it. How the window words each outcome is the window
// logic's to test.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "base/unicode.h"
#include "link/spreadsheet/chosen_backend.h"
#include "link/workbook_link.h"

namespace wordpour::testing {

// The current cell name, as the session holds it.
class MemoryBox {
public:
    explicit MemoryBox(std::u16string text = u"A1") : text_(std::move(text)) {}
    const std::u16string& text() const { return text_; }
    void setText(const std::u16string& text) { text_ = text; }

private:
    std::u16string text_;
};

// The program's backend, as main() hands it to the window: with a way to
// start the application, or without.
inline link::spreadsheet::Backend programBackend(bool canStart = false) {
    link::spreadsheet::Backend backend = link::spreadsheet::chosenBackend();
    if (!canStart) backend.startApplication = {};
    return backend;
}

// Why an entry wrote nothing: refused before anything was sent, or failed
// in the application.
using Stop = std::variant<link::EntryRefusal, link::spreadsheet::Error>;

// Returns why nothing was written, if it was not.
inline std::optional<Stop> enterWord(link::WorkbookLink& link, MemoryBox& name,
                                     std::u16string_view word) {
    auto prepared = link::WorkbookLink::prepareEntry(name.text(), word);
    if (auto* refusal = std::get_if<link::EntryRefusal>(&prepared)) return Stop(*refusal);
    const auto& entry = std::get<link::Entry>(prepared);
    const link::EntryResult result = link.write(entry);
    if (result.written) name.setText(entry.cell);
    if (result.failure) return Stop(*result.failure);
    return std::nullopt;
}

// The application's failure an entry stopped at; nothing when it was
// written or refused.
inline std::optional<link::spreadsheet::Failure> failureOf(const std::optional<Stop>& stop) {
    if (!stop) return std::nullopt;
    if (const auto* error = std::get_if<link::spreadsheet::Error>(&*stop)) return error->failure();
    return std::nullopt;
}

// The application's failure a start-up stopped at, if the application failed.
inline std::optional<link::spreadsheet::Failure> failureOf(const link::StartupError& error) {
    if (!error.cause) return std::nullopt;
    return error.cause->failure();
}

// For a test's own failure message: the outcome as the link knows it.
inline std::string said(const link::spreadsheet::Error& error) {
    return "failure " + std::to_string(static_cast<int>(error.failure())) + " (" +
           base::encodeUtf8(error.detail()) + ") subject \"" + base::encodeUtf8(error.subject()) +
           "\"";
}
inline std::string said(const std::optional<Stop>& stop) {
    if (!stop) return "written";
    if (const auto* refusal = std::get_if<link::EntryRefusal>(&*stop))
        return "refused " + std::to_string(static_cast<int>(refusal->kind)) + " at " +
               std::to_string(refusal->at);
    return said(std::get<link::spreadsheet::Error>(*stop));
}
inline std::string said(const link::StartupError& error) {
    return "start-up " + std::to_string(static_cast<int>(error.kind)) + " on \"" +
           base::encodeUtf8(error.book) + "\"" + (error.cause ? ": " + said(*error.cause) : "");
}

}  // namespace wordpour::testing
