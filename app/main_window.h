// The main window: the word box and the word-entry button, over the
// workbook link.
#pragma once

#include <QMainWindow>
#include <QTimer>

#include <memory>

#include "app/about.h"
#include "app/cell_position.h"
#include "link/link_thread.h"
#include "link/workbook_link.h"
#include "wordlist/list_file.h"

class QAction;
class QComboBox;
class QKeySequence;
class QMenu;
class QPushButton;

namespace wordpour::app {

class Form1 : public QMainWindow {
    Q_OBJECT

public:
    explicit Form1(link::WorkbookLink::Attach attach);
    ~Form1() override;

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

    CellPosition& cellPosition() { return cellPosition_; }
    // An entry has been handed to the spreadsheet and not answered yet.
    bool entryUnderWay() const { return linkThread_.busy(); }
    Form3* about() const { return about_.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    QAction* createItem(QMenu* menu, const char* name, const QString& caption,
                        const QKeySequence& shortcut, void (Form1::*handler)());
    QPushButton* createButton(const char* name, const QString& caption, int left, int top,
                              int width, void (Form1::*handler)());
    void entryDone(const link::Entry& entry, const link::EntryResult& result);
    void showWaiting(bool waiting);
    void showMessage(const link::Message& message);
    void showProblem(const QString& prompt, const QString& title);
    bool confirmed(const QString& firstSentence, const QString& title);
    wordlist::Entries entries() const;
    void appendItems(const QStringList& items);
    int selectedIndex() const;

    QComboBox* Combo1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command8 = nullptr;
    QList<QAction*> shortcutItems_;

    link::WorkbookLink link_;
    CellPosition cellPosition_;
    std::unique_ptr<Form3> about_;
    QTimer waiting_;  // shows that the spreadsheet is slow to answer
    // Destroyed first: it finishes its jobs while the link still exists.
    link::LinkThread linkThread_;
};

// How long an entry may take before the window shows that it is waiting.
inline constexpr int kShowWaitingAfterMs = 400;
inline constexpr char16_t kWaitingCaption[] = u"応答待ち…";

// The file filter of the workbook dialog.
inline constexpr char16_t kBookFilter[] = u"ｴｸｾﾙ ﾌﾞｯｸ (*.xls)|*.xls";

}  // namespace wordpour::app
