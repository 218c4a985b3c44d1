// The entry session: what the program holds for a run and every command the
// user gives it. It owns the link to the workbook and its thread, the
// current cell name, the word list, the entries that can be taken back and
// the always-on-top state; the windows only draw them, through a
// SessionView, and forward the user's commands here.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/form/commands.h"
#include "app/form/entry_history.h"
#include "app/form/relink.h"
#include "app/form/session_view.h"
#include "app/form/word_list.h"
#include "app/form/write_back.h"
#include "journal/journal_writer.h"
#include "link/link_thread.h"
#include "link/workbook_link.h"

namespace wordpour::form {

class EntrySession {
public:
    // `view` must outlive this object; nothing of it is called here yet.
    EntrySession(SessionView& view, link::spreadsheet::Backend backend);
    ~EntrySession();
    EntrySession(const EntrySession&) = delete;
    EntrySession& operator=(const EntrySession&) = delete;

    // Asks for the workbook and links to it. On failure the message has
    // been shown and the window must not be. With entryUnderWay() then, the
    // person gave up on an application that did not answer: the program
    // must end at once, without destroying anything.
    bool start();
    // At the end of the run: releases the spreadsheet's objects, waiting at
    // most `limit` for the application. False when it did not answer in
    // time or an entry is still under way: the program must then end at
    // once, without destroying anything, so that quitting never hangs.
    bool release(std::chrono::milliseconds limit);

    // Every command of the buttons, menus and shortcuts.
    void run(Command command);

    void addWord();
    void deleteWord();  // the entry the word box shows
    void loadList();
    void enterWord();
    void saveList();
    void showCellPosition();
    void showList();
    void chooseWorkbook();  // remembered only: the workbook linked at start-up stays
    void quit();
    // Takes back the last entry not yet taken back (up to kUndoDepth of
    // them): the cell gets back what it held, the cell name the name it had.
    void undo();
    void toggleAlwaysOnTop();
    // Sets the cell name to the last filled cell of its column (its first
    // row when the column is empty): the next entry goes below everything.
    void goToEndOfColumn();
    // Whether an entry asks before writing over what this run did not write.
    void toggleConfirmOverwrite();
    // This workbook's recent entries from the journal, and, if the person
    // wants, all of them as a CSV file where they choose.
    void showJournal();
    // The columns written beside each word in this workbook, as the person sets them.
    void editCompanions();
    void showAbout();

    // The person changed the word box's text (typing, pasting; not picking):
    // the type-to-find list shows the entries that contain it.
    void wordTyped();
    // A pick from the type-to-find list puts that entry into the box and
    // writes nothing; enterMatch() then enters it, as 入力 does.
    void pickMatch(std::size_t row);
    void enterMatch(std::size_t row);
    // The person says how the word the box shows is read.
    void changeReading();
    // Waits for the dictionary's readings of the words added so far.
    void settleReadings() { words_.settle(); }
    // Waits until the journal holds every entry made so far.
    bool settleJournal(std::chrono::milliseconds limit) {
        return !journal_ || journal_->settle(limit);
    }
    // The person edited the cell-name box.
    void setCellName(std::u16string name) { cellName_ = std::move(name); }

    // The name of the cell written last, or the one the person set.
    const std::u16string& cellName() const { return cellName_; }
    const std::vector<std::u16string>& words() const { return words_.entries(); }
    bool canUndo() const { return !history_.empty(); }
    bool alwaysOnTop() const { return alwaysOnTop_; }
    bool confirmsOverwrite() const { return confirmOverwrite_; }
    // An entry has been handed to the spreadsheet and not answered yet.
    bool entryUnderWay() const { return linkThread_.busy(); }
    const Companions& companions() const { return companions_; }
    // The workbook last chosen, at start-up or by ファイル選択.
    const std::u16string& chosenBook() const { return chosenBook_; }

private:
    // Runs the link's start on its thread; `failed` gets the failure, if
    // any. False when the person gave up waiting for the application.
    bool startLink(const std::u16string& path, bool startApplicationFirst,
                   std::optional<link::StartupError>& failed);
    // Hands the entry to the link's thread; entryDone() takes the answer.
    void write(const std::shared_ptr<const link::Entry>& entry, link::Overwrite overwrite,
               std::u16string nameBefore, bool mayRelink = true);
    void entryDone(const std::shared_ptr<const link::Entry>& entry, const link::EntryResult& result,
                   const std::u16string& nameBefore, bool mayRelink);
    // What an entry may write over now.
    link::Overwrite overwriteNow() const;
    void takeBack(bool overwrite, bool mayRelink = true);
    void undoDone(const EntryHistory::Record& last, const link::UndoResult& result, bool overwrite,
                  bool mayRelink);
    void findColumnEnd(bool mayRelink);
    // The application ended or the workbook was closed: links again (relink_),
    // offers back what the workbook lost, then runs `then`.
    void relinkThen(std::function<void()> then);
    // The journal's entries since the workbook was last saved that it no
    // longer holds are offered back in one question (writeBack_); then
    // `then` runs.
    void offerLostThen(std::function<void()> then);
    // The last entry leaves the history: the name goes back with it or not.
    void forgetLast(bool nameBack);
    void moveCellName(std::u16string name);
    // Appends an entry or an undo to the journal, off the window's thread.
    void record(journal::Record::Kind kind, std::u16string cell, std::u16string word,
                link::spreadsheet::CellContent before, std::vector<journal::Beside> beside = {});
    static std::vector<journal::Beside> besideRecords(
        const link::Entry& entry, const std::vector<link::spreadsheet::CellContent>& written,
        const std::vector<link::spreadsheet::CellContent>& before);
    void appendWords(std::vector<std::u16string> words);
    // Stores this workbook's companions in the settings.
    void keepCompanions();
    // The running number an entry writes, if it writes one.
    static std::optional<long> numberOf(const link::Entry& entry);
    int selectedIndex() const;

    SessionView& view_;
    std::u16string cellName_;
    WordList words_;
    std::vector<WordList::Match> matches_;  // the entries the find list shows
    // What was typed last and found nothing, read as kana: the reading is
    // learned for the word then entered some other way.
    struct Unfound {
        std::u16string typed;
        std::u16string reading;
    };
    std::optional<Unfound> unfound_;
    EntryHistory history_;
    // The workbook written to: linked at start-up, or where a Save As moved it.
    std::u16string linkedBook_;
    std::u16string chosenBook_;  // remembered only
    std::unique_ptr<journal::JournalWriter> journal_;
    bool journalFailureSaid_ = false;
    bool alwaysOnTop_ = false;
    bool confirmOverwrite_ = true;
    Companions companions_;  // this workbook's
    bool companionsFailureSaid_ = false;
    bool released_ = false;
    // They hand their calls to the link's thread.
    Relink relink_;
    WriteBack writeBack_;
    link::WorkbookLink link_;  // used on the link's thread only
    // Destroyed first: it finishes its jobs while the link still exists.
    link::LinkThread linkThread_;
};

// The settings key of the overwrite question's check item.
inline constexpr std::string_view kConfirmOverwriteKey = "confirmOverwrite";

// The file beside "List" that keeps its words' readings and use counts.
inline constexpr char kNotesFileName[] = "List.wordpour";

// How many entries can be taken back, the latest first.
inline constexpr std::size_t kUndoDepth = EntryHistory::kDepth;

// The file filter of the journal's CSV file, and its suggested name.
inline constexpr char16_t kCsvFilter[] = u"CSV (*.csv)|*.csv";
inline constexpr char16_t kCsvName[] = u"入力の記録.csv";

// The file filters of the workbook dialog, "description|patterns" each,
// the first chosen: the old workbooks', then today's, then any file.
inline constexpr char16_t kBookFilter[] =
    u"ｴｸｾﾙ ﾌﾞｯｸ (*.xls)|*.xls|ｴｸｾﾙ ﾌﾞｯｸ (*.xlsx;*.xlsm)|*.xlsx;*.xlsm|"
    u"OpenDocument 表計算 (*.ods)|*.ods|すべてのファイル (*.*)|*.*";

}  // namespace wordpour::form
