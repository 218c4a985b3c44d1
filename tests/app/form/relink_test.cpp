// Linking again: after the application ended or the workbook was closed,
// the next entry attaches to the application running now, asks before
// starting it or opening the workbook again, and writes the word once; or
// says why not, the word and the cell name left as they were.
#include "app/form/wording.h"

#include <map>

#include "journal/journal.h"
#include "tests/app/form/session_fixture.h"

namespace {

using wordpour::form::Answer;
using wordpour::testing::SessionTest;
namespace wording = wordpour::form::wording;

class SessionRelink : public SessionTest {};

TEST_F(SessionRelink, TheNextEntryLinksAgainAfterAsking) {
    struct Case {
        const char* what;
        bool crash, restarted;              // the application ended; the person started it again
        std::deque<Answer> answers;         // to the questions, in turn
        std::vector<std::u16string> asked;  // the messages shown, by their first words
        bool written;
    };
    const Case cases[] = {
        {"crashed, started again, reopened",
         true,
         true,
         {Answer::Yes, Answer::No},
         {u"ブック「book.xls」が閉じられています", u"2件の入力"},
         true},
        {"crashed, not started: Yes starts it",
         true,
         false,
         {Answer::Yes, Answer::Yes, Answer::No},
         {u"LibreOffice Calc が起動していません", u"ブック「book.xls」が閉じられています",
          u"2件の入力"},
         true},
        {"crashed, not started: No",
         true,
         false,
         {Answer::No},
         {u"LibreOffice Calc が起動していません", u"ブック「book.xls」に接続し直していない"},
         false},
        {"closed by the person: Yes",
         false,
         true,
         {Answer::Yes, Answer::No},
         {u"ブック「book.xls」が閉じられています", u"2件の入力"},
         true},
        {"closed by the person: No (the default)",
         false,
         true,
         {Answer::No},
         {u"ブック「book.xls」が閉じられています", u"ブック「book.xls」に接続し直していない"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        sheet = {};
        ASSERT_TRUE(start());
        enter(u"a");
        enter(u"b");
        if (c.crash) {
            sheet.crash();
            if (c.restarted) sheet.startApplication();
        } else {
            sheet.closeBook();
        }
        view.shown.clear();
        view.answers.assign(c.answers.begin(), c.answers.end());
        enter(u"c");
        ASSERT_EQ(view.shown.size(), c.asked.size());
        for (std::size_t i = 0; i < c.asked.size(); ++i)
            EXPECT_TRUE(view.shown[i].prompt.starts_with(c.asked[i])) << i;
        if (c.written) {
            EXPECT_EQ(sheet.cells[u"A4"], u"c");
            EXPECT_EQ(std::count(sheet.calls.begin(), sheet.calls.end(), u"value c"), 1);
            EXPECT_EQ(view.cellName, u"A4");
        } else {
            EXPECT_FALSE(sheet.cells.count(u"A4"));
            EXPECT_EQ(view.cellName, u"A3");  // the name did not move
            EXPECT_EQ(view.typed, u"c");      // the word is still in the box
        }
    }
    // Opening again asks with いいえ as the default.
    EXPECT_EQ(wording::bookClosedQuestion(u"b.xls").style, wordpour::form::kQuestionDefaultNo);
}

// What the workbook lost is offered back, once linked again or at start-up:
// はい writes each entry once, in its order, each undoable, then the word
// given; a cell changed since is named and left alone; いいえ writes none.
TEST_F(SessionRelink, WhatTheWorkbookLostIsOfferedBackAndWrittenOnce) {
    struct Case {
        const char* what;
        bool restart;  // a new run at start-up instead of the next entry
        Answer writeBack;
        std::map<std::u16string, std::u16string> cells;  // afterwards
    };
    const Case cases[] = {
        {"linked again: はい",
         false,
         Answer::Yes,
         {{u"A2", u"a"}, {u"A3", u"b"}, {u"A4", u"c"}, {u"A5", u"d"}}},
        {"linked again: いいえ", false, Answer::No, {{u"A3", u"person's"}, {u"A5", u"d"}}},
        {"at start-up: はい",
         true,
         Answer::Yes,
         {{u"A2", u"a"}, {u"A3", u"person's"}, {u"A4", u"c"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        sheet = {};
        ASSERT_TRUE(start());
        for (const char16_t* word : {u"a", u"b", u"c"}) enter(word);
        sheet.closeBook();  // unsaved: the workbook lost all three
        // The person typed into A3 meanwhile, in the workbook opened again.
        if (!c.restart) {
            view.answers = {Answer::Yes, c.writeBack};
            sheet.bookOpen = false;
            session->toggleConfirmOverwrite();  // A3's new text is not asked about
            sheet.contents[u"A3"] = {wordpour::link::spreadsheet::CellContent::Kind::Text,
                                     u"person's", 0};
            sheet.cells[u"A3"] = u"person's";
            if (c.writeBack == Answer::Yes) {
                sheet.contents.erase(u"A3");
                sheet.cells.erase(u"A3");
            }
            view.shown.clear();
            enter(u"d");
        } else {
            ASSERT_TRUE(session->settleJournal(std::chrono::seconds(5)));
            newSession();
            sheet.contents[u"A3"] = {wordpour::link::spreadsheet::CellContent::Kind::Text,
                                     u"person's", 0};
            sheet.cells[u"A3"] = u"person's";
            view.shown.clear();
            view.answers = {c.writeBack};
            ASSERT_TRUE(start());
            waitForEntries();
            EXPECT_NE(view.shown.at(0).prompt.find(u"A3"), std::u16string::npos);  // named
        }
        EXPECT_EQ(sheet.cells, c.cells);
        for (const auto& [cell, word] : c.cells)
            EXPECT_LE(std::count(sheet.calls.begin(), sheet.calls.end(), u"value " + word), 2);
    }
    // Each one written back can be taken back like any entry.
    session->undo();
    waitForEntries();
    EXPECT_FALSE(sheet.cells.count(u"A4") && sheet.cells[u"A4"] == u"c");
}

// A journal record of a cell no sheet holds (a damaged or foreign journal)
// is skipped: the entries beside it are still offered back.
TEST_F(SessionRelink, RecordsThatCannotBeCheckedHideNoOtherLostEntry) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(session->settleJournal(std::chrono::seconds(5)));
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    using wordpour::journal::Record;
    std::vector<Record> records;
    for (const std::u16string& cell :
         {std::u16string(u"A1048577"), std::u16string(u"A0"), std::u16string(u"A1:A2"),
          std::u16string(5000, u'A') + u"1", std::u16string(u"XFD1"), std::u16string(u"B3")})
        records.push_back({Record::Kind::Entry, now, u"book.xls", u"sheet1", cell, u"lost", {}});
    ASSERT_FALSE(wordpour::journal::Journal(view.journalAt).append(records));
    newSession();
    sheet.pastTheEnd = {u"XFD1"};
    view.shown.clear();
    view.answers = {Answer::Yes};
    ASSERT_TRUE(start());
    waitForEntries();
    ASSERT_FALSE(view.shown.empty());
    EXPECT_EQ(view.shown[0].prompt.find(u"1件の入力"), 0u);
    EXPECT_EQ(sheet.cells, (std::map<std::u16string, std::u16string>{{u"B3", u"lost"}}));
}

// Saved under another name, the workbook takes its entries with it: what
// its new file lost is offered back there, and the old file is never
// written again.
TEST_F(SessionRelink, ASaveAsTakesTheEntriesAndTheRelinkToTheNewFile) {
    ASSERT_TRUE(start());
    enter(u"w1");
    enter(u"w2");
    std::ofstream("book2.xls") << "saved as";  // w1 and w2, as the person saved them
    sheet.savedAs = u"book2.xls";
    enter(u"w3");
    sheet.closeBook();  // book2 closed unsaved: it lost w3
    sheet.contents = {{u"A2", wordpour::link::spreadsheet::CellContent::written(u"w1")},
                      {u"A3", wordpour::link::spreadsheet::CellContent::written(u"w2")}};
    sheet.cells = {{u"A2", u"w1"}, {u"A3", u"w2"}};
    sheet.calls.clear();
    view.shown.clear();
    view.answers = {Answer::Yes, Answer::Yes};
    enter(u"w4");
    ASSERT_EQ(view.shown.size(), 2u);
    EXPECT_TRUE(view.shown[0].prompt.starts_with(u"ブック「book2.xls」が閉じられています"));
    EXPECT_TRUE(view.shown[1].prompt.starts_with(u"1件の入力"));
    EXPECT_EQ(std::count(sheet.calls.begin(), sheet.calls.end(), u"open book2.xls"), 1);
    EXPECT_EQ(std::count(sheet.calls.begin(), sheet.calls.end(), u"open book.xls"), 0);
    EXPECT_EQ(sheet.cells, (std::map<std::u16string, std::u16string>{
                               {u"A2", u"w1"}, {u"A3", u"w2"}, {u"A4", u"w3"}, {u"A5", u"w4"}}));
}

}  // namespace
