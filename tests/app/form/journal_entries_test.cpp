// The journal as the entry session keeps it: each entry and each undo, with
// the workbook, the sheet, the cell, the word and what the cell held; and a
// journal that cannot be written said once, the entries going on.
#include <fstream>

#include "app/form/wording.h"
#include "tests/app/form/session_fixture.h"

namespace {

using namespace std::chrono_literals;
using wordpour::form::Answer;
using wordpour::journal::Journal;
using wordpour::journal::Record;
using wordpour::testing::SessionTest;
using Content = wordpour::link::spreadsheet::CellContent;

class SessionJournal : public SessionTest {};

TEST_F(SessionJournal, EveryEntryAndUndoIsRecordedWithWhatTheCellHeld) {
    ASSERT_TRUE(start());
    sheet.contents[u"A3"] = {Content::Kind::Number, u"", 42.5};
    session->toggleConfirmOverwrite();  // A3 is written over without a question
    enter(u"りんご");
    enter(u"=1+1");
    session->undo();
    waitForEntries();
    ASSERT_TRUE(session->settleJournal(5s));
    const auto records = Journal(view.journalFolder()).read();
    struct Expected {
        Record::Kind kind;
        std::u16string cell, word;
        Content before;
    };
    const Expected expected[] = {
        {Record::Kind::Entry, u"A2", u"りんご", {}},
        {Record::Kind::Entry, u"A3", u"=1+1", {Content::Kind::Number, u"", 42.5}},
        {Record::Kind::Undo, u"A3", u"=1+1", {Content::Kind::Number, u"", 42.5}},
    };
    ASSERT_EQ(records.size(), std::size(expected));
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(records[i].kind, expected[i].kind);
        EXPECT_EQ(records[i].cell, expected[i].cell);
        EXPECT_EQ(records[i].word, expected[i].word);
        EXPECT_EQ(records[i].before, expected[i].before);
        EXPECT_EQ(records[i].book, u"book.xls");
        EXPECT_EQ(records[i].sheet, u"sheet1");
        if (i > 0) {
            EXPECT_GE(records[i].time, records[i - 1].time);
        }
    }
}

TEST_F(SessionJournal, AJournalThatCannotBeWrittenIsSaidOnceAndEntriesGoOn) {
    view.journalAt = std::filesystem::current_path() / "journal";
    std::ofstream("journal") << "a file where the journal's folder belongs";
    ASSERT_TRUE(start());
    for (const char16_t* word : {u"a", u"b", u"c"}) {
        enter(word);
        ASSERT_TRUE(session->settleJournal(5s));
        view.runPosted([] { return true; }, 200ms);  // the message, posted
    }
    EXPECT_EQ(sheet.cells[u"A4"], u"c");
    std::size_t said = 0;
    for (const auto& message : view.shown) said += message.title == u"入力の記録";
    EXPECT_EQ(said, 1u);
}

}  // namespace

namespace {

// 入力の記録 lists this workbook's entries, the latest first, and saves all
// of them as a CSV file with a byte-order mark, in the person's folder.
TEST_F(SessionJournal, TheJournalIsListedAndSavedAsCsv) {
    ASSERT_TRUE(start());
    enter(u"りんご");
    enter(u"a,\"b\"");
    view.answers = {Answer::Yes};
    view.fileNames.push_back(u"record.csv");
    session->run(wordpour::form::Command::ShowJournal);
    ASSERT_EQ(view.shown.size(), 1u);
    const auto& list = view.shown[0].prompt;
    EXPECT_LT(list.find(u"A3"), list.find(u"A2"));  // the latest first
    const std::string csv = wordpour::testing::bytesOf("record.csv");
    ASSERT_TRUE(csv.starts_with("\xEF\xBB\xBF"));
    EXPECT_NE(csv.find(",book.xls,sheet1,A2,りんご,入力\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",book.xls,sheet1,A3,\"a,\"\"b\"\"\",入力\r\n"), std::string::npos) << csv;
    EXPECT_EQ(view.focus, wordpour::form::Focus::Enter);
}

// Two Wordpours at once, each with its own workbook, keep one journal:
// each finds only its own workbook's entries, and a restart offers back
// only what its workbook lost.
TEST_F(SessionJournal, TwoWordpoursAtOnceKeepOneJournalApart) {
    using wordpour::testing::SessionRun;
    std::ofstream("other.xls") << "stand-in";
    SessionRun other;
    other.view.journalAt = view.journalAt = std::filesystem::current_path() / "shared";
    ASSERT_TRUE(start());
    ASSERT_TRUE(other.start(u"other.xls"));
    for (int i = 0; i < 20; ++i) {
        view.typed = u"mine" + std::u16string(1, char16_t(u'a' + i));
        session->enterWord();
        other.enter(u"theirs");
        waitForEntries();
    }
    ASSERT_TRUE(session->settleJournal(5s));
    ASSERT_TRUE(other.session->settleJournal(5s));
    std::size_t mine = 0, theirs = 0;
    for (const Record& r : Journal(view.journalAt).read())
        ++(r.book == u"book.xls" ? mine : theirs);
    EXPECT_EQ(mine, 20u);
    EXPECT_EQ(theirs, 20u);
    // The other's workbook is closed unsaved; a restart of it offers its own 20.
    other.sheet.closeBook();
    other.newSession();
    other.view.answers = {Answer::No};
    other.view.shown.clear();
    ASSERT_TRUE(other.start(u"other.xls"));
    ASSERT_FALSE(other.view.shown.empty());
    EXPECT_EQ(other.view.shown[0].prompt.find(u"20件の入力"), 0u);
}

}  // namespace
