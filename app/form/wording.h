// Every text the program shows in a message box, worded from the outcomes
// the link and the word list report: the prompt, buttons, icon and title,
// the same for both faces.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/form/commands.h"
#include "app/form/message.h"
#include "journal/record.h"
#include "link/workbook_link.h"
#include "wordlist/list_store.h"

namespace wordpour::form::wording {

// Start-up: the message, after which the program ends, or for
// StartupError::Kind::StartApplication the question whose Yes starts the
// application.
Message startupFailure(const link::StartupError& error, std::u16string_view applicationName);

// A failure as the backend explained it, in UTF-8, for standard error: the
// messages never show the backend's own (often English) words.
std::string diagnostic(const link::spreadsheet::Error& error);

// The same to standard error, when the backend said anything.
void logDiagnostic(const std::optional<link::spreadsheet::Error>& error);

// What the window says while the start-up waits for the application.
std::u16string waitingFor(std::u16string_view applicationName);

// An entry refused before anything was sent, or failed in the spreadsheet.
Message entryRefused(const link::EntryRefusal& refusal);
Message entryFailed(const link::spreadsheet::Error& error, std::u16string_view cell);

// The entry's cell holds `held` (showing `shownText`), which this run did
// not write, or lies hidden under the merge `hiddenBy`: whether to write
// there (No is the default).
// An entry's row, the word with what is written beside it: these cells of
// it hold what this run did not write or lie under a merge.
Message rowOverwriteQuestion(const std::vector<std::u16string>& cells);
Message overwriteQuestion(std::u16string_view cell, const link::spreadsheet::CellContent& held,
                          std::u16string_view shownText = {}, std::u16string_view hiddenBy = {});
// Without the question, a cell hidden under a merge is not written.
Message hiddenCellRefused(std::u16string_view cell, std::u16string_view hiddenBy);
// The end of a column could not be found.
Message columnEndFailed(const link::spreadsheet::Error& error, std::u16string_view column);

// Taking back an entry: the question when the cell was typed over since
// (No is the default), and the message when it failed.
Message undoOverwrite(std::u16string_view cell);
// The entry's cell was deleted since: there is nothing to take back.
Message undoCellDeleted(std::u16string_view cell, std::u16string_view word);
Message undoFailed(const link::spreadsheet::Error& error, std::u16string_view cell);

// The word-list commands.
inline constexpr std::u16string_view kAddPrompt = u"ﾘｽﾄに追加する単語を入力してください。";
inline constexpr std::u16string_view kAddTitle = u"ﾘｽﾄに追加";
inline constexpr std::u16string_view kLoadTitle = u"ﾘｽﾄを開く";
inline constexpr std::u16string_view kSaveTitle = u"ﾘｽﾄの保存";
Message confirmLoad();
Message confirmSave();
// Saving an empty list writes nothing, and says so.
Message nothingToSave();
Message listFullOnAdd();
Message listFullOnLoad(std::size_t count, std::size_t adding);
Message listFileProblem(const wordlist::ListFileProblem& problem,
                        const std::vector<std::u16string>& words, std::u16string_view title);
// The words' readings and use counts could not be saved beside "List",
// which was saved.
Message notesNotSaved(const std::filesystem::path& file, const base::FileError& error);
// The notes file was too long to read whole: its first `lines` lines were read.
Message notesCut(const std::filesystem::path& file, std::size_t lines);
// The choice of a check item could not be kept in the settings file.
Message settingNotKept(Command item, const std::filesystem::path& file,
                       const base::FileError& error);

// A word as a list or message shows it: a word longer than 1,000
// characters is cut there (never inside a surrogate pair), with its length:
// a widget laying out megabytes of text would freeze the window.
std::u16string shown(std::u16string_view word);

// A row of the type-to-find list: the word as shown, and its reading beside
// it where it is read otherwise than written.
std::u16string findRow(const FoundRow& row);

// The reading's correction: its input box, and what it refuses.
inline constexpr std::u16string_view kReadingTitle = u"読みの変更";
std::u16string readingPrompt(std::u16string_view word);
Message noWordToRead();
Message readingRefused(std::u16string_view typed);

// Linking again after the application ended or the workbook was closed:
// the question before starting the application, the one before opening
// the workbook again (いいえ the default), what is said when the person
// declined, and why it failed.
Message relinkStartQuestion(std::u16string_view applicationName);
Message bookClosedQuestion(std::u16string_view book);
Message notRelinked(std::u16string_view book);
Message relinkFailed(const link::spreadsheet::Error& error, std::u16string_view book,
                     std::u16string_view applicationName);
// The application could not be started to link again; the program goes on.
Message relinkStartFailed(const link::StartupError& error, std::u16string_view applicationName);

// Entries of the journal that the workbook no longer holds, offered back;
// the cells changed since are named and left alone.
Message lostEntriesQuestion(const std::vector<link::Entry>& lost,
                            const std::vector<std::u16string>& changed);

// This workbook's recent entries; Yes saves all of them as a CSV file.
Message journalList(const std::vector<journal::Record>& records);
Message csvNotSaved(const std::filesystem::path& file, const base::FileError& error);

// The journal of entries could not be written; entries go on.
Message journalNotKept(const std::filesystem::path& folder, const base::FileError& error);

// Japanese cannot be typed into the program with the input method the
// desktop is set up for: why, and what helps. Said once per setting.
struct InputMethodGap {
    enum class Cause {
        NotSetForQt,    // `method` is set up for X programs, none for Qt ones
        NoQtModule,     // `method` has no Qt 6 module
        NoFcitxModule,  // fcitx5's Qt 6 module is not installed
    };
    enum class Remedy {
        SetIbus,             // QT_IM_MODULE=ibus, or ibus chosen again
        SetFcitx,            // QT_IM_MODULE=fcitx, or fcitx5 chosen again
        InstallFcitxModule,  // fcitx5-frontend-qt6
        InstallFcitxModuleAndSetFcitx,
        UseIbusOrFcitx,  // install ibus or fcitx5 with Mozc and choose it
    };
    Cause cause;
    std::u16string method;
    Remedy remedy;
};
Message inputMethodAdvice(const InputMethodGap& gap);

// Running natively on Wayland: what the window cannot do there. Said once.
Message nativeWaylandNotice();

// The whole list, an entry a line; an entry longer than a message shows is
// cut in the message only.
Message wordList(const std::vector<std::u16string>& words);

}  // namespace wordpour::form::wording
