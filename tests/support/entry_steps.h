// A word entry as the entry session makes it, for tests without a window:
// the word and the current cell name checked, the word written through the
// link, the name moved to the cell written, and the outcome worded as the
// window words it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "app/form/wording.h"
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

// The message the window shows for a start-up failure.
inline form::Message startupMessage(const link::StartupError& error) {
    return form::wording::startupFailure(error, link::spreadsheet::chosenBackend().applicationName);
}

// Returns the message the window would show, if any.
inline std::optional<form::Message> enterWord(link::WorkbookLink& link, MemoryBox& name,
                                              std::u16string_view word) {
    auto prepared = link::WorkbookLink::prepareEntry(name.text(), word);
    if (auto* refusal = std::get_if<link::EntryRefusal>(&prepared))
        return form::wording::entryRefused(*refusal);
    const auto& entry = std::get<link::Entry>(prepared);
    const link::EntryResult result = link.write(entry);
    if (result.written) name.setText(entry.cell);
    if (result.failure) return form::wording::entryFailed(*result.failure, entry.cell);
    return std::nullopt;
}

}  // namespace wordpour::testing
