// The main window's logic: the start-up sequence, the eight buttons' and
// the menu items' handlers, their confirmations, messages and focus rules.
// No toolkit: it works through a FormView, which each face implements.
#pragma once

#include <deque>
#include <string>

#include "app/find/word_finder.h"
#include "app/form_view.h"
#include "link/link_thread.h"
#include "link/workbook_link.h"
#include "wordlist/list_file.h"

namespace wordpour::app {

class Form1 {
public:
    // `view` must outlive this object; nothing of it is called here yet.
    // `launch` starts the spreadsheet application when none runs and the
    // user agrees.
    Form1(FormView& view, link::WorkbookLink::Attach attach,
          link::WorkbookLink::Launch launch = {});
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Asks for the workbook and links to it. On failure the message has
    // been shown and the window must not be.
    bool Form_Initialize();

    void Command1_Click();  // add a word
    void Command2_Click();  // delete the selected word
    void Command3_Click();  // load the list from "List"
    void Command4_Click();  // write the word
    void Command5_Click();  // save the list to "List"
    void Command6_Click();  // show the cell-position dialog
    void Command7_Click();  // show the list
    void Command8_Click();  // choose a workbook file

    // Menu items: each runs its button's handler once and nothing else.
    void Find_Click() { Command8_Click(); }
    void Open_Click() { Command3_Click(); }
    void Save_Click() { Command5_Click(); }
    void Add_Click() { Command1_Click(); }
    void Delete_Click() { Command2_Click(); }
    void Position_Click() { Command6_Click(); }
    void List_Click() { Command7_Click(); }
    void Quit_Click();
    void Version_Click();
    // Beyond the buttons: the type-to-find list. The user changed the word
    // box's text (typing, pasting; not picking): the list shows the entries
    // that contain it. A pick from the list puts that entry into the box
    // and writes nothing.
    void Combo1_Change();
    void Match_Click(std::size_t row);
    // Takes back the last entry not yet taken back (up
    // to kUndoDepth of them): the cell gets back what it held, the cell name
    // the name it had before.
    void Undo_Click();
    bool canUndo() const { return !undoable_.empty(); }
    // Keeps the windows on top, or no longer. The state lasts for the run;
    // nothing is stored.
    void AlwaysOnTop_Click();
    bool alwaysOnTop() const { return alwaysOnTop_; }

    // An entry has been handed to the spreadsheet and not answered yet.
    bool entryUnderWay() const { return linkThread_.busy(); }
    const std::u16string& bookPath() const { return link_.bookPath(); }

private:
    struct Undoable {
        link::Entry entry;
        excel::CellContent before;  // what the cell held
        std::u16string nameBefore;  // the cell name before the entry
    };

    // Runs the link's start on its thread; the failure, if any.
    std::optional<link::StartupError> startLink(const std::u16string& path,
                                                std::u16string_view startingCell,
                                                bool startApplicationFirst);
    void entryDone(const link::Entry& entry, const link::EntryResult& result,
                   const std::u16string& nameBefore);
    void undo(bool overwrite);
    void appendWords(std::vector<std::u16string> words);
    bool confirmed(std::u16string_view firstSentence, std::u16string_view title);
    void showProblem(std::u16string prompt, std::u16string_view title);
    wordlist::Entries entries() const;
    int selectedIndex() const;

    FormView& view_;
    bool alwaysOnTop_ = false;
    std::deque<Undoable> undoable_;     // the newest last
    WordFinder finder_;                 // in step with the word box's list
    std::vector<std::size_t> matches_;  // the entries the find list shows
    link::WorkbookLink link_;
    // Destroyed first: it finishes its jobs while the link still exists.
    link::LinkThread linkThread_;
};

// How many entries can be taken back, the latest first.
inline constexpr std::size_t kUndoDepth = 100;
inline constexpr char16_t kUndoTitle[] = u"元に戻す";

// The file filter of the workbook dialog: "description|pattern".
inline constexpr char16_t kBookFilter[] = u"ｴｸｾﾙ ﾌﾞｯｸ (*.xls)|*.xls";

}  // namespace wordpour::app
