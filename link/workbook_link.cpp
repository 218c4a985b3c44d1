#include "link/workbook_link.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "base/unicode.h"
#include "cells/cell_address.h"
#include "cells/cell_name.h"

namespace wordpour::link {

namespace {

using spreadsheet::Failure;

// ASCII as text; any other byte shows as "?".
std::u16string toText(std::string_view ascii) {
    std::u16string text;
    for (char c : ascii) text += static_cast<unsigned char>(c) < 0x80 ? char16_t(c) : u'?';
    return text;
}

using cells::kLargestSheet;

bool fileExists(std::u16string_view path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(std::filesystem::path(path), ignored);
}

}  // namespace

std::optional<StartupError> WorkbookLink::start(const std::u16string& bookPath,
                                                std::u16string_view startingCell) {
    if (bookPath.empty()) return StartupError(StartupError::Kind::NoBook, {});
    if (!fileExists(bookPath)) return StartupError(StartupError::Kind::BookMissing, bookPath);
    try {
        application_ = backend_.attachRunning();
        // The collections are temporaries: released once their item is stored.
        workbook_ = application_->workbooks()->open(bookPath);
        sheet_ = workbook_->worksheets()->item(kSheetName);
        // The starting cell is checked as every entry's cell will be.
        (void)sheet_->range(startingCell);
        return std::nullopt;
    } catch (const spreadsheet::Error& error) {
        const bool sheetMissing =
            error.failure() == Failure::NoSheet || error.failure() == Failure::NotWorksheet;
        if (sheetMissing && workbook_ && !workbook_->isText())
            leaveToPerson();
        else
            refuseWorkbook();
        if (error.failure() == Failure::NotStarted && backend_.startApplication)
            return StartupError(StartupError::Kind::StartApplication, bookPath, error);
        return StartupError(StartupError::Kind::Spreadsheet, bookPath, error);
    } catch (const std::exception& error) {
        refuseWorkbook();
        // Nothing the application does may crash the program.
        return StartupError(StartupError::Kind::Spreadsheet, bookPath,
                            spreadsheet::Error(Failure::Disconnected, toText(error.what())));
    }
}

void WorkbookLink::refuseWorkbook() {
    sheet_.reset();
    if (workbook_) std::exchange(workbook_, nullptr)->closeIfOpenedHere();
}

void WorkbookLink::leaveToPerson() {
    sheet_.reset();
    workbook_.reset();
    // A workbook opened hidden is shown: the person can add the sheet.
    try {
        application_->setVisible(true);
    } catch (const spreadsheet::Error&) {
        // Start-up still says which sheet is missing.
    }
}

std::optional<StartupError> WorkbookLink::startApplication() {
    try {
        if (!backend_.startApplication) throw spreadsheet::Error(Failure::NotRunning, {});
        backend_.startApplication();
        return std::nullopt;
    } catch (const spreadsheet::Error& error) {
        return StartupError(StartupError::Kind::StartApplicationFailed, {}, error);
    } catch (const std::exception& error) {
        return StartupError(StartupError::Kind::StartApplicationFailed, {},
                            spreadsheet::Error(Failure::NotRunning, toText(error.what())));
    }
}

void WorkbookLink::release() {
    kept_.clear();
    sheet_.reset();
    workbook_.reset();
    application_.reset();
}

Reattached WorkbookLink::reattach(std::u16string_view bookPath) {
    // What was taken of an application that went away is only dropped: a
    // call to release it could wait on a connection that is gone.
    kept_.clear();
    sheet_.reset();
    workbook_.reset();
    application_.reset();
    Reattached result;
    try {
        application_ = backend_.attachRunning();
        result.bookOpen = application_->workbooks()->isOpen(bookPath);
    } catch (const spreadsheet::Error& error) {
        result.failure = error;
    } catch (const std::exception& error) {
        result.failure = spreadsheet::Error(Failure::Disconnected, toText(error.what()));
    }
    return result;
}

std::optional<spreadsheet::Error> WorkbookLink::retake(std::u16string_view bookPath) {
    try {
        if (!application_) throw spreadsheet::Error(Failure::Disconnected, {});
        workbook_ = application_->workbooks()->open(bookPath);
        sheet_ = workbook_->worksheets()->item(kSheetName);
        return std::nullopt;
    } catch (const spreadsheet::Error& error) {
        sheet_.reset();
        return error;
    } catch (const std::exception& error) {
        sheet_.reset();
        return spreadsheet::Error(Failure::Disconnected, toText(error.what()));
    }
}

WorkbookLink::Checked WorkbookLink::check(const std::vector<Made>& entries) {
    Checked result;
    try {
        if (!sheet_) throw spreadsheet::Error(Failure::Disconnected, {});
        for (const Made& made : entries) {
            if (!cells::cellAddress(made.entry.cell, kLargestSheet)) {
                result.kept.push_back(Kept::Unchecked);
                continue;
            }
            spreadsheet::CellContent now;
            try {
                now = sheet_->range(made.entry.cell)->content();
            } catch (const spreadsheet::Error& error) {
                // A cell past this sheet's end: only that record is left out.
                if (error.failure() != Failure::Range) throw;
                result.kept.push_back(Kept::Unchecked);
                continue;
            }
            if (now == spreadsheet::CellContent::written(made.entry.word))
                result.kept.push_back(Kept::Holds);
            else if (now.kind == spreadsheet::CellContent::Kind::Empty || now == made.before)
                result.kept.push_back(Kept::Lost);
            else
                result.kept.push_back(Kept::Other);
        }
    } catch (const spreadsheet::Error& error) {
        result = {.kept = {}, .failure = error};
    } catch (const std::exception& error) {
        result = {.kept = {},
                  .failure = spreadsheet::Error(Failure::Disconnected, toText(error.what()))};
    }
    return result;
}

std::variant<Entry, EntryRefusal> WorkbookLink::prepareEntry(std::u16string_view cellName,
                                                             std::u16string_view word) {
    // A word the cell could not hold whole, or that is not text at all, is
    // refused before anything is sent: cut, it would be written wrong, and
    // half a surrogate pair breaks the office's connection for good.
    if (word.size() > kMaxWordLength)
        return EntryRefusal{EntryRefusal::Kind::WordTooLong, word.size()};
    const std::size_t bad = base::firstUnpairedSurrogate(word);
    if (bad != std::u16string_view::npos) return EntryRefusal{EntryRefusal::Kind::BrokenWord, bad};
    auto next = cells::nextRowName(cellName.empty() ? cells::kEmptyNameMeans : cellName);
    switch (next.problem) {
        case cells::NameProblem::None:
            break;
        case cells::NameProblem::WrongCharacter:
            return EntryRefusal{EntryRefusal::Kind::WrongCellName};
        case cells::NameProblem::Overflow:
            return EntryRefusal{EntryRefusal::Kind::CellNameTooLong};
    }
    return Entry{std::move(next.name), std::u16string(word)};
}

EntryResult WorkbookLink::write(const Entry& entry, const Overwrite& overwrite) {
    EntryResult result;
    try {
        if (!sheet_) throw spreadsheet::Error(Failure::Disconnected, {});
        const std::size_t besides = entry.beside.size();
        auto range =
            besides > 0 ? sheet_->row(entry.cell, entry.beside) : sheet_->range(entry.cell);
        // Read just before writing, so that the entry can be taken back.
        if (besides > 0) {
            auto contents = range->rowContents();
            contents.resize(besides + 1);
            result.before = contents[0];
            result.besideBefore.assign(contents.begin() + 1, contents.end());
        } else {
            result.before = range->content();
        }
        // A word written under a merge would be in the workbook, unseen.
        std::vector<std::u16string> merges(besides + 1);
        if (!overwrite.hidden)
            merges = besides > 0 ? range->rowMerges() : std::vector{range->hidingMerge()};
        merges.resize(besides + 1);
        result.hiddenBy = merges[0];
        const bool empty = result.before.kind == spreadsheet::CellContent::Kind::Empty;
        const bool wordStops =
            !result.hiddenBy.empty() ||
            (!overwrite.filled && !empty && !isOwn(result.before, entry.cell, overwrite.own));
        if (wordStops) result.occupiedCells.push_back(entry.cell);
        for (std::size_t i = 0; i < besides; ++i) {
            const bool held = result.besideBefore[i].kind != spreadsheet::CellContent::Kind::Empty;
            if (!merges[i + 1].empty() || (!overwrite.filled && held))
                result.occupiedCells.push_back(cells::besideName(entry.cell, i + 1));
        }
        if (!result.occupiedCells.empty()) {
            result.occupied = true;
            if (!empty && wordStops) result.shown = range->shownText();
            return result;
        }
        if (besides > 0)
            result.besideWritten = range->setRow(entry.word, entry.beside);
        else
            range->setValue(entry.word);
        result.written = true;
        result.savedAs = savedAs();
        // Kept for undo; the oldest kept goes, its release travelling to the
        // application after the entry, not within it.
        result.keptCell = nextKept_++;
        kept_.push_back({result.keptCell, std::move(range)});
        if (kept_.size() > kKeptCells) kept_.pop_front();
        result.shownApplication = application_->setVisible(true);
    } catch (const spreadsheet::Error& error) {
        // Once the word is in, only the showing failed, whatever the cause.
        result.failure =
            result.written ? spreadsheet::Error(Failure::Visible, error.detail()) : error;
    } catch (const std::exception& error) {
        // Nothing the application does may end the program.
        result.failure = spreadsheet::Error(Failure::Disconnected, toText(error.what()));
    }
    return result;
}

std::optional<std::u16string> WorkbookLink::savedAs() {
    try {
        return workbook_ ? workbook_->savedAs() : std::nullopt;
    } catch (const std::exception&) {
        // The word is in; where the file went is asked again at the next entry.
        return std::nullopt;
    }
}

bool WorkbookLink::isOwn(const spreadsheet::CellContent& before, std::u16string_view cell,
                         const std::vector<OwnCell>& own) {
    // Only the words the cell holds are candidates, the likeliest first:
    // written to this name, then to its column, the newest first.
    const auto column = [](std::u16string_view name) {
        return name.substr(0, name.find_first_of(u"0123456789"));
    };
    const auto rank = [&](const OwnCell& c) {
        return c.cell == cell ? 0 : column(c.cell) == column(cell) ? 1 : 2;
    };
    std::vector<const OwnCell*> candidates;
    for (auto word = own.rbegin(); word != own.rend(); ++word)
        if (before == spreadsheet::CellContent::written(word->word)) candidates.push_back(&*word);
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&](const OwnCell* a, const OwnCell* b) { return rank(*a) < rank(*b); });
    if (candidates.size() > kOwnCellsAsked) candidates.resize(kOwnCellsAsked);
    for (const OwnCell* word : candidates) {
        const auto kept = findKept(word->keptCell);
        if (kept != kept_.end() && kept->range->address() == cell) return true;
    }
    return false;
}

std::deque<WorkbookLink::KeptCell>::iterator WorkbookLink::findKept(std::uint64_t id) {
    return std::find_if(kept_.begin(), kept_.end(), [id](const KeptCell& k) { return k.id == id; });
}

ColumnEnd WorkbookLink::columnEnd(std::u16string_view columnLetters) {
    ColumnEnd result;
    try {
        if (!sheet_) throw spreadsheet::Error(Failure::Disconnected, {});
        result.lastFilledRow = sheet_->lastFilledRow(columnLetters);
    } catch (const spreadsheet::Error& error) {
        result.failure = error;
    } catch (const std::exception& error) {
        result.failure = spreadsheet::Error(Failure::Disconnected, toText(error.what()));
    }
    return result;
}

UndoResult WorkbookLink::undo(const Entry& entry, const spreadsheet::CellContent& before,
                              bool overwrite, std::uint64_t keptCell, const Row& beside) {
    UndoResult result;
    try {
        if (!sheet_) throw spreadsheet::Error(Failure::Disconnected, {});
        // Taking the name's cell checks the sheet (gone, closed, protected);
        // the entry's own cell, where it has moved to, is the one restored.
        auto range = sheet_->range(entry.cell);
        (void)range->content();
        const auto kept = findKept(keptCell);
        spreadsheet::Range& cell = kept != kept_.end() ? *kept->range : *range;
        // Asked first: a deleted cell's object may stand for a neighbour,
        // which must never be emptied in its place.
        const auto now = cell.address();
        if (!now) {
            result.deleted = true;
            if (kept != kept_.end()) kept_.erase(kept);
            return result;
        }
        result.cell = *now;
        std::vector<std::unique_ptr<spreadsheet::Range>> besides;
        for (std::size_t i = 0; i < beside.before.size(); ++i)
            besides.push_back(cell.beside(i + 1));
        const auto changed = [&] {
            if (!cell.holds(entry.word)) return true;
            for (std::size_t i = 0; i < besides.size() && i < beside.written.size(); ++i)
                if (besides[i]->content() != beside.written[i]) return true;
            return false;
        };
        if (!overwrite && changed()) {
            result.changedSince = true;
            return result;
        }
        cell.setContent(before);
        for (std::size_t i = 0; i < besides.size(); ++i) besides[i]->setContent(beside.before[i]);
        result.restored = true;
        if (kept != kept_.end()) kept_.erase(kept);
    } catch (const spreadsheet::Error& error) {
        result.failure = error;
    } catch (const std::exception& error) {
        result.failure = spreadsheet::Error(Failure::Disconnected, toText(error.what()));
    }
    return result;
}

}  // namespace wordpour::link
