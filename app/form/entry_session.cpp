#include "app/form/entry_session.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <variant>

#include "app/find/kana.h"
#include "app/form/layout.h"
#include "app/form/wording.h"
#include "base/whole_file.h"
#include "cells/cell_name.h"
#include "journal/csv.h"
#include "wordlist/list_store.h"

namespace wordpour::form {

namespace {

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

EntrySession::EntrySession(SessionView& view, link::spreadsheet::Backend backend)
    : view_(view),
      cellName_(kCellNameBox.text),
      relink_(view, linkThread_, link_),
      writeBack_(view,
                 [this](link::Entry entry) {
                     // Into a cell that is empty or holds again what it held
                     // before the entry: nothing of anyone's is written over.
                     write(std::make_shared<const link::Entry>(std::move(entry)),
                           link::Overwrite{.filled = true, .hidden = false, .own = {}}, cellName_,
                           false);
                 }),
      link_(std::move(backend)),
      linkThread_([&view](link::LinkThread::Task done) { view.post(std::move(done)); }) {}

EntrySession::~EntrySession() {
    // The spreadsheet's objects go on the thread that took them.
    if (!released_ && !linkThread_.busy()) linkThread_.runAndWait([this] { link_.release(); });
}

bool EntrySession::release(std::chrono::milliseconds limit) {
    if (linkThread_.busy()) return false;
    released_ = true;
    return linkThread_.runAndWaitFor([this] { link_.release(); }, limit);
}

bool EntrySession::start() {
    const std::u16string path = view_.openFileName(kBookFilter);
    // No spreadsheet application runs: the user is asked whether to start
    // one, and only Yes starts it.
    std::optional<link::StartupError> failed;
    if (!startLink(path, false, failed)) return false;
    if (failed && failed->kind == link::StartupError::Kind::StartApplication) {
        if (view_.messageBox(wording::startupFailure(*failed, link_.applicationName())) !=
            Answer::Yes)
            return false;
        if (!startLink(path, true, failed)) return false;
    }
    if (failed) {
        wording::logDiagnostic(failed->cause);
        view_.messageBox(wording::startupFailure(*failed, link_.applicationName()));
        return false;
    }
    linkedBook_ = path;
    chosenBook_ = path;
    const std::filesystem::path folder = view_.journalFolder();
    journal_ = std::make_unique<journal::JournalWriter>(
        journal::Journal(folder), [this, folder](const base::FileError& error) {
            view_.post([this, folder, error] {
                // Said once: the entries go on, and so would the message.
                if (std::exchange(journalFailureSaid_, true)) return;
                view_.messageBox(wording::journalNotKept(folder, error));
            });
        });
    // A workbook whose file is older than entries the journal holds for it
    // may have lost them (the spreadsheet crashed, or it was closed unsaved):
    // they are offered back before the window shows.
    Lost found;
    linkThread_.runAndWait([link = &link_, &found, journal = journal_->journal(),
                            book = linkedBook_,
                            now = nowMs()] { found = findLost(*link, journal, book, now); });
    writeBack_.offer(found, nullptr);
    confirmOverwrite_ = view_.setting(kConfirmOverwriteKey, true);
    view_.setChecked(Command::ConfirmOverwrite, confirmOverwrite_);
    if (const auto stored = view_.textSetting(companionsKey(linkedBook_)))
        companions_ = readCompanions(*stored, linkedBook_).value_or(Companions{});
    view_.setChecked(Command::Companions, companions_.width() > 0);
    view_.setFocus(Focus::WordBox);
    return true;
}

bool EntrySession::startLink(const std::u16string& path, bool startApplicationFirst,
                             std::optional<link::StartupError>& failed) {
    const std::u16string startingCell(cellName_.empty() ? cells::kEmptyNameMeans : cellName_);
    // On the link's thread, so that the spreadsheet's objects live there;
    // the window's events go on meanwhile, so that an application that does
    // not answer can be given up on.
    // Shared with the answer, which may come after the person gave up.
    auto answer = std::make_shared<std::optional<std::optional<link::StartupError>>>();
    linkThread_.ask(
        [link = &link_, path, startingCell, startApplicationFirst] {
            std::optional<link::StartupError> failed;
            if (startApplicationFirst) failed = link->startApplication();
            if (!failed) failed = link->start(path, startingCell);
            return failed;
        },
        [answer](std::optional<link::StartupError> outcome) { *answer = std::move(outcome); });
    if (!view_.waitForStart([answer] { return answer->has_value(); },
                            wording::waitingFor(link_.applicationName())))
        return false;
    failed = std::move(**answer);
    return true;
}

void EntrySession::run(Command command) {
    // A switch: the compiler names a command left without its case.
    switch (command) {
        case Command::Add:
            return addWord();
        case Command::Delete:
            return deleteWord();
        case Command::Load:
            return loadList();
        case Command::Enter:
            return enterWord();
        case Command::Save:
            return saveList();
        case Command::CellPosition:
            return showCellPosition();
        case Command::ShowList:
            return showList();
        case Command::ChooseWorkbook:
            return chooseWorkbook();
        case Command::Quit:
            return quit();
        case Command::Undo:
            return undo();
        case Command::AlwaysOnTop:
            return toggleAlwaysOnTop();
        case Command::EndOfColumn:
            return goToEndOfColumn();
        case Command::ConfirmOverwrite:
            return toggleConfirmOverwrite();
        case Command::ChangeReading:
            return changeReading();
        case Command::ShowJournal:
            return showJournal();
        case Command::Companions:
            return editCompanions();
        case Command::About:
            return showAbout();
    }
}

void EntrySession::enterWord() {
    // One entry at a time: a press while the spreadsheet has not answered
    // the last one is ignored, so no word is written twice or out of turn.
    if (linkThread_.busy()) return;
    const std::u16string word = view_.typedWord();
    if (auto reading = view_.typedReading()) words_.heard(word, std::move(*reading));
    if (unfound_ && !word.empty() && word != unfound_->typed) words_.learn(word, unfound_->reading);
    unfound_.reset();
    auto prepared = link::WorkbookLink::prepareEntry(cellName_, word);
    if (auto* refusal = std::get_if<link::EntryRefusal>(&prepared)) {
        view_.messageBox(wording::entryRefused(*refusal));
        view_.setFocus(Focus::Enter);
        return;
    }
    // The moment is the press's, whenever the spreadsheet answers.
    auto made = std::get<link::Entry>(std::move(prepared));
    made.beside = companions_.valuesAt(localNow());
    auto entry = std::make_shared<const link::Entry>(std::move(made));
    write(entry, overwriteNow(), cellName_);
    view_.setFocus(Focus::Enter);
}

link::Overwrite EntrySession::overwriteNow() const {
    // What this run wrote is written over without a question, wherever its
    // cell has moved: corrections stay fast.
    return {.filled = !confirmOverwrite_,
            .hidden = false,
            .own = confirmOverwrite_ ? history_.ownCells() : std::vector<link::OwnCell>{}};
}

namespace {
bool lostLink(const std::optional<link::spreadsheet::Error>& failure) {
    return failure && failure->failure() == link::spreadsheet::Failure::Disconnected;
}
}  // namespace

void EntrySession::relinkThen(std::function<void()> then) {
    relink_.start(linkedBook_, [this, then = std::move(then)]() mutable {
        // What the workbook lost is offered back first; the command then
        // goes on below it.
        offerLostThen(std::move(then));
    });
}

void EntrySession::write(const std::shared_ptr<const link::Entry>& entry, link::Overwrite overwrite,
                         std::u16string nameBefore, bool mayRelink) {
    view_.setWaiting(true);
    linkThread_.ask(
        [link = &link_, entry, overwrite = std::move(overwrite)] {
            return link->write(*entry, overwrite);
        },
        [this, entry, nameBefore = std::move(nameBefore), mayRelink](
            const link::EntryResult& result) { entryDone(entry, result, nameBefore, mayRelink); });
}

void EntrySession::entryDone(const std::shared_ptr<const link::Entry>& entry,
                             const link::EntryResult& result, const std::u16string& nameBefore,
                             bool mayRelink) {
    view_.setWaiting(false);
    // The application or the workbook went away before the word was in:
    // linked again, the same entry goes on, once.
    if (!result.written && lostLink(result.failure) && mayRelink) {
        wording::logDiagnostic(result.failure);
        return relinkThen(
            [this, entry, nameBefore] { write(entry, overwriteNow(), nameBefore, false); });
    }
    if (result.occupied && writeBack_.active()) return writeBack_.next();  // a merge hides it now
    if (result.occupied) {
        // Only Yes writes over what this run did not write, or into a cell
        // a merge hides, as a second job; No leaves the cell and the name as
        // they are. Without the question, a hidden cell is refused.
        if (!confirmOverwrite_) {
            view_.messageBox(wording::hiddenCellRefused(entry->cell, result.hiddenBy));
        } else if (view_.messageBox(
                       result.occupiedCells.size() > 1 || (result.occupiedCells.size() == 1 &&
                                                           result.occupiedCells[0] != entry->cell)
                           ? wording::rowOverwriteQuestion(result.occupiedCells)
                           : wording::overwriteQuestion(entry->cell, result.before, result.shown,
                                                        result.hiddenBy)) == Answer::Yes) {
            write(entry, link::Overwrite{.filled = true, .hidden = true, .own = {}}, nameBefore);
        }
        view_.setFocus(Focus::Enter);
        return;
    }
    // A word that was written moves the name to its cell; otherwise the name
    // stays, so the next entry does not skip a row. A name the person set
    // while the entry was under way stands: the next word goes below it.
    if (result.written) {
        // Saved under another name: the entries, and linking again, follow
        // the workbook to its new file.
        if (result.savedAs) {
            linkedBook_ = *result.savedAs;
            if (companions_.width() > 0) keepCompanions();
        }
        words_.used(entry->word);
        // The running number moves on past the one that landed, unless the
        // person set another meanwhile.
        const auto number = numberOf(*entry);
        if (number && companions_.nextNumber == *number) {
            companions_.nextNumber = *number + 1;
            keepCompanions();
        }
        record(journal::Record::Kind::Entry, entry->cell, entry->word, result.before,
               besideRecords(*entry, result.besideWritten, result.besideBefore));
        if (cellName_ == nameBefore) moveCellName(entry->cell);
        if (result.shownApplication) view_.takeFocusBack();
        history_.add({.entry = *entry,
                      .before = result.before,
                      .nameBefore = nameBefore,
                      .keptCell = result.keptCell,
                      .beside = {.before = result.besideBefore, .written = result.besideWritten},
                      .number = number});
        view_.setUndoEnabled(true);
    }
    if (result.failure) {
        wording::logDiagnostic(result.failure);
        view_.messageBox(wording::entryFailed(*result.failure, entry->cell));
        view_.setFocus(Focus::Enter);
        // The rest of a write-back, and the command after it, wait for the
        // person: nothing more is written now.
        writeBack_.stop();
        return;
    }
    if (writeBack_.active()) writeBack_.next();
}

void EntrySession::offerLostThen(std::function<void()> then) {
    if (!journal_) return then();
    // What is still on its way into the journal is counted too.
    journal_->settle(std::chrono::seconds(2));
    view_.setWaiting(true);
    linkThread_.ask([link = &link_, journal = journal_->journal(), book = linkedBook_,
                     now = nowMs()] { return findLost(*link, journal, book, now); },
                    [this, then = std::move(then)](const Lost& found) mutable {
                        view_.setWaiting(false);
                        writeBack_.offer(found, std::move(then));
                    });
}

void EntrySession::record(journal::Record::Kind kind, std::u16string cell, std::u16string word,
                          link::spreadsheet::CellContent before,
                          std::vector<journal::Beside> beside) {
    if (!journal_) return;
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    journal_->add({kind, now.count(), linkedBook_, std::u16string(link::kSheetName),
                   std::move(cell), std::move(word), std::move(before), std::move(beside)});
}

std::vector<journal::Beside> EntrySession::besideRecords(
    const link::Entry& entry, const std::vector<link::spreadsheet::CellContent>& written,
    const std::vector<link::spreadsheet::CellContent>& before) {
    std::vector<journal::Beside> cells;
    for (std::size_t i = 0; i < entry.beside.size(); ++i)
        cells.push_back({.value = entry.beside[i],
                         .written = i < written.size() ? written[i] : cells::CellContent{},
                         .before = i < before.size() ? before[i] : cells::CellContent{}});
    return cells;
}

void EntrySession::moveCellName(std::u16string name) {
    cellName_ = std::move(name);
    view_.showCellName(cellName_);
}

void EntrySession::addWord() {
    const auto reply = view_.inputBox(wording::kAddPrompt, wording::kAddTitle, u"");
    // Cancel adds nothing; OK with an empty text adds an empty entry.
    if (reply) {
        if (words_.size() >= wordlist::kMaxEntries) {
            view_.messageBox(wording::listFullOnAdd());
        } else {
            if (auto reading = view_.inputBoxReading()) words_.heard(*reply, std::move(*reading));
            appendWords({*reply});
        }
    }
    view_.setFocus(Focus::Enter);
}

void EntrySession::deleteWord() {
    const int index = selectedIndex();
    if (index >= 0) {
        words_.remove(static_cast<std::size_t>(index));
        view_.removeWord(static_cast<std::size_t>(index));
    }
    view_.setFocus(Focus::Enter);
}

void EntrySession::loadList() {
    if (view_.messageBox(wording::confirmLoad()) != Answer::Yes) return;
    auto loaded = wordlist::loadListFile(wordlist::kListFileName);
    if (auto* problem = std::get_if<wordlist::ListFileProblem>(&loaded)) {
        view_.messageBox(wording::listFileProblem(*problem, {}, wording::kLoadTitle));
        return;
    }
    auto& words = std::get<wordlist::Entries>(loaded);
    // All or nothing: a load that would pass the cap adds none.
    if (words_.size() + words.size() > wordlist::kMaxEntries) {
        view_.messageBox(wording::listFullOnLoad(words_.size(), words.size()));
        return;
    }
    // The readings and use counts beside it; a missing or damaged file
    // costs them, never the words.
    std::ifstream notes(kNotesFileName, std::ios::binary);
    const bool whole = !notes || words_.takeNotes(notes, words);
    appendWords(std::move(words));
    if (!whole)
        view_.messageBox(
            wording::notesCut(base::absolutePath(kNotesFileName), find::WordNotes::kMostLines));
}

void EntrySession::saveList() {
    if (view_.messageBox(wording::confirmSave()) != Answer::Yes) return;
    // An empty list writes nothing: an existing "List" keeps its words.
    if (words_.size() == 0) {
        view_.messageBox(wording::nothingToSave());
    } else if (auto problem = wordlist::saveListFile(wordlist::kListFileName, words_.entries())) {
        view_.messageBox(wording::listFileProblem(*problem, words_.entries(), wording::kSaveTitle));
    } else if (auto failed = base::replaceWholeFile(kNotesFileName, words_.notesText())) {
        // The words are safe; readings and counts hold until the program ends.
        view_.messageBox(wording::notesNotSaved(base::absolutePath(kNotesFileName), *failed));
    }
    view_.setFocus(Focus::Enter);
}

void EntrySession::showCellPosition() {
    view_.showCellPosition();
}

void EntrySession::showList() {
    view_.messageBox(wording::wordList(words_.entries()));
    view_.setFocus(Focus::Enter);
}

void EntrySession::chooseWorkbook() {
    // Only remembers the choice: the workbook linked at start-up stays the
    // one written to. Cancel stores the empty name, as the dialog returns it.
    chosenBook_ = view_.openFileName(kBookFilter);
    view_.setFocus(Focus::Enter);
}

void EntrySession::quit() {
    // At once, no question: the list is not saved, the workbook stays open.
    view_.quit();
}

void EntrySession::appendWords(std::vector<std::u16string> words) {
    const std::size_t from = words_.size();
    words_.append(std::move(words));
    view_.appendWords(words_.entries(), from);
}

void EntrySession::wordTyped() {
    const std::u16string typed = view_.composingWord();
    matches_ = words_.matches(typed);
    if (matches_.empty()) {
        if (auto reading = find::readingOf(typed)) unfound_ = Unfound{typed, std::move(*reading)};
        return view_.hideMatches();
    }
    unfound_.reset();
    view_.showMatches({.count = matches_.size(), .row = [this](std::size_t row) {
                           if (row >= matches_.size()) return FoundRow{};
                           const auto& match = matches_[row];
                           return FoundRow{wording::shown(words_[match.index]),
                                           wording::shown(words_.readingOf(match))};
                       }});
}

void EntrySession::showJournal() {
    std::vector<journal::Record> records;
    if (journal_) {
        journal_->settle(std::chrono::seconds(2));
        for (auto& record : journal_->journal().read())
            if (record.book == linkedBook_) records.push_back(std::move(record));
    }
    if (view_.messageBox(wording::journalList(records)) == Answer::Yes) {
        const std::u16string file = view_.saveFileName(kCsvFilter, kCsvName);
        if (!file.empty()) {
            const std::filesystem::path path(file);
            if (auto failed = base::replaceWholeFile(path, journal::toCsv(records)))
                view_.messageBox(wording::csvNotSaved(path, *failed));
        }
    }
    view_.setFocus(Focus::Enter);
}

void EntrySession::enterMatch(std::size_t row) {
    pickMatch(row);
    enterWord();
}

void EntrySession::changeReading() {
    const std::u16string word = view_.typedWord();
    if (word.empty()) {
        view_.messageBox(wording::noWordToRead());
        view_.setFocus(Focus::WordBox);
        return;
    }
    std::u16string now;
    for (std::size_t i = 0; i < words_.size(); ++i)
        if (words_[i] == word) {
            now = words_.readingOf(i);
            break;
        }
    if (auto reply = view_.inputBox(wording::readingPrompt(word), wording::kReadingTitle, now)) {
        if (reply->empty()) {
            words_.correct(word, {});
        } else if (auto reading = find::readingOf(*reply)) {
            words_.correct(word, std::move(*reading));
        } else {
            view_.messageBox(wording::readingRefused(*reply));
        }
    }
    // As after the other list commands: Enter writes the word, a letter
    // begins the next one.
    view_.setFocus(Focus::Enter);
}

void EntrySession::pickMatch(std::size_t row) {
    view_.hideMatches();
    if (row < matches_.size()) view_.selectWord(matches_[row].index);
    matches_.clear();
}

void EntrySession::undo() {
    if (history_.empty() || linkThread_.busy()) return;
    takeBack(false);
}

void EntrySession::takeBack(bool overwrite, bool mayRelink) {
    view_.setWaiting(true);
    linkThread_.ask(
        [link = &link_, last = history_.last(), overwrite] {
            return link->undo(last.entry, last.before, overwrite, last.keptCell, last.beside);
        },
        [this, last = history_.last(), overwrite, mayRelink](const link::UndoResult& result) {
            undoDone(last, result, overwrite, mayRelink);
        });
}

void EntrySession::undoDone(const EntryHistory::Record& last, const link::UndoResult& result,
                            bool overwrite, bool mayRelink) {
    view_.setWaiting(false);
    if (lostLink(result.failure) && mayRelink) {
        wording::logDiagnostic(result.failure);
        return relinkThen([this, overwrite] { takeBack(overwrite, false); });
    }
    if (result.deleted) {
        // Said once; the entry leaves the history as if taken back, so the
        // next undo goes on to the one before.
        view_.messageBox(wording::undoCellDeleted(last.entry.cell, last.entry.word));
        return forgetLast(true);
    }
    if (result.changedSince) {
        // Typed over in the spreadsheet since: the user decides, and the
        // safe answer, No, is the default. No keeps the cell as it is and
        // lets the next undo go on to the entry before.
        if (view_.messageBox(wording::undoOverwrite(result.cell)) == Answer::Yes)
            takeBack(true);
        else
            forgetLast(false);
        return;
    }
    const std::u16string& cell = result.cell.empty() ? last.entry.cell : result.cell;
    if (result.failure) {
        wording::logDiagnostic(result.failure);
        view_.messageBox(wording::undoFailed(*result.failure, cell));
    }
    if (result.restored) {
        // The cell where the entry's cell is now, given back what it held.
        record(journal::Record::Kind::Undo, cell, last.entry.word, last.before,
               besideRecords(last.entry, last.beside.written, last.beside.before));
        // The number taken back is the next one again.
        if (last.number && companions_.nextNumber == *last.number + 1) {
            companions_.nextNumber = *last.number;
            keepCompanions();
        }
        forgetLast(true);
    }
}

void EntrySession::forgetLast(bool nameBack) {
    const std::u16string nameBefore = history_.last().nameBefore;
    history_.dropLast();
    if (nameBack) moveCellName(nameBefore);
    view_.setUndoEnabled(!history_.empty());
}

void EntrySession::toggleAlwaysOnTop() {
    alwaysOnTop_ = !alwaysOnTop_;
    view_.setAlwaysOnTop(alwaysOnTop_);
}

void EntrySession::goToEndOfColumn() {
    if (linkThread_.busy()) return;
    findColumnEnd(true);
}

void EntrySession::findColumnEnd(bool mayRelink) {
    // The column is the name's letters, read as the next entry reads them.
    const auto next = cells::nextRowName(cellName_.empty() ? cells::kEmptyNameMeans : cellName_);
    const std::u16string letters = next.name.substr(0, next.name.find_first_of(u"0123456789"));
    if (next.problem != cells::NameProblem::None || letters.empty()) {
        const auto kind = next.problem == cells::NameProblem::Overflow
                              ? link::EntryRefusal::Kind::CellNameTooLong
                              : link::EntryRefusal::Kind::WrongCellName;
        view_.messageBox(wording::entryRefused({kind}));
        return;
    }
    view_.setWaiting(true);
    linkThread_.ask(
        [link = &link_, letters] { return link->columnEnd(letters); },
        [this, letters, nameBefore = cellName_, mayRelink](const link::ColumnEnd& result) {
            view_.setWaiting(false);
            if (lostLink(result.failure) && mayRelink) {
                wording::logDiagnostic(result.failure);
                return relinkThen([this] { findColumnEnd(false); });
            }
            if (result.failure) {
                wording::logDiagnostic(result.failure);
                view_.messageBox(wording::columnEndFailed(*result.failure, letters));
                return;
            }
            // A name the person set meanwhile stands.
            if (cellName_ != nameBefore) return;
            const std::string row = std::to_string(std::max(1L, result.lastFilledRow));
            moveCellName(letters + std::u16string(row.begin(), row.end()));
        });
}

void EntrySession::toggleConfirmOverwrite() {
    confirmOverwrite_ = !confirmOverwrite_;
    view_.setChecked(Command::ConfirmOverwrite, confirmOverwrite_);
    // A choice that cannot be kept is said so: the next run would not have it.
    if (const auto problem = view_.storeSetting(kConfirmOverwriteKey, confirmOverwrite_))
        view_.messageBox(
            wording::settingNotKept(Command::ConfirmOverwrite, problem->file, problem->error));
}

void EntrySession::editCompanions() {
    if (auto set = view_.editCompanions(companions_)) {
        companions_ = std::move(*set);
        keepCompanions();
    }
    view_.setChecked(Command::Companions, companions_.width() > 0);
    view_.setFocus(Focus::Enter);
}

void EntrySession::keepCompanions() {
    // Said once a run: every entry that counts would say it again.
    if (const auto problem = view_.storeTextSetting(companionsKey(linkedBook_),
                                                    storedCompanions(companions_, linkedBook_));
        problem && !std::exchange(companionsFailureSaid_, true))
        view_.messageBox(
            wording::settingNotKept(Command::Companions, problem->file, problem->error));
}

std::optional<long> EntrySession::numberOf(const link::Entry& entry) {
    for (const auto& value : entry.beside)
        if (value.kind == link::spreadsheet::CellValue::Kind::Number)
            return static_cast<long>(value.number);
    return std::nullopt;
}

void EntrySession::showAbout() {
    view_.showAbout();
}

int EntrySession::selectedIndex() const {
    // Typing in the box deselects, as in a classic combo box: only an entry
    // whose text the box still shows is selected.
    const int index = view_.shownEntry();
    if (index < 0 || static_cast<std::size_t>(index) >= words_.size()) return -1;
    return words_[static_cast<std::size_t>(index)] == view_.typedWord() ? index : -1;
}

}  // namespace wordpour::form
