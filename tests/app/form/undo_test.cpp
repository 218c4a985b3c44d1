// Taking entries back in the main window's logic, over the in-memory
// spreadsheet: what the cells and the cell name get back, and when undo asks.
#include "tests/app/form/session_fixture.h"
#include "tests/support/utf8.h"

namespace {

using wordpour::form::Answer;
using wordpour::link::spreadsheet::CellContent;
using wordpour::testing::SessionTest;
using Kind = CellContent::Kind;

class SessionUndo : public SessionTest {
protected:
    void undo() {
        session->undo();
        waitForEntries();
    }
};

TEST_F(SessionUndo, EachCellGetsBackWhatItHeld) {
    struct Case {
        const char* what;
        CellContent before;
    };
    const Case cases[] = {
        {"an empty cell", {}},
        {"a text", {Kind::Text, u"前の言葉"}},
        {"a text that reads as a number", {Kind::Text, u"0123"}},
        {"a number", {Kind::Input, u"42"}},
        {"a formula", {Kind::Input, u"=SUM(B1:B9)"}},
    };
    ASSERT_TRUE(start());
    EXPECT_FALSE(view.undoEnabled);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        session->setCellName(u"A1");
        sheet.contents[u"A2"] = c.before;
        // What the cell held is written over once the person agrees.
        view.shown.clear();
        view.answers = {Answer::Yes};
        enter(u"新しい");
        ASSERT_EQ(session->cellName(), u"A2");
        EXPECT_EQ(view.shown.size(), c.before == CellContent{} ? 0u : 1u);
        EXPECT_TRUE(view.undoEnabled);
        view.shown.clear();
        undo();
        EXPECT_EQ(sheet.contents[u"A2"], c.before);
        EXPECT_EQ(session->cellName(), u"A1");
        EXPECT_FALSE(view.undoEnabled);
        EXPECT_TRUE(view.shown.empty());
    }
}

TEST_F(SessionUndo, ARunIsTakenBackInReverseBackToEachNameBefore) {
    ASSERT_TRUE(start());
    enter(u"一");                 // A2
    enter(u"二");                 // A3
    session->setCellName(u"C9");  // moved by hand
    enter(u"三");                 // C10
    const std::pair<std::u16string, std::u16string> steps[] = {
        {u"C10", u"C9"}, {u"A3", u"A2"}, {u"A2", u"A1"}};
    for (const auto& [cell, nameAfter] : steps) {
        EXPECT_EQ(sheet.contents.count(cell), 1u);
        undo();
        EXPECT_EQ(sheet.contents[cell], CellContent{});
        EXPECT_EQ(session->cellName(), nameAfter);
    }
    EXPECT_FALSE(session->canUndo());
    const auto calls = sheet.calls.size();
    undo();  // nothing left: nothing happens
    EXPECT_EQ(sheet.calls.size(), calls);
}

// Undo follows each entry's own cell where rows inserted or deleted moved
// it: the question names that cell, No keeps it and goes on to the entry
// before, and a deleted cell is said once and stepped past.
TEST_F(SessionUndo, EachEntryIsTakenBackWhereItsCellWentAndAskedAboutByThatName) {
    struct Case {
        const char* what;
        void (*change)(wordpour::testing::FakeSpreadsheet&);
        std::optional<Answer> answer;  // to the question; none: none asked
        const char16_t* says;          // in the first message
        CellContent p5After;
        const char16_t* nameAfter;
        bool undoLeft;
    };
    const CellContent typed{Kind::Text, u"手で直した"};
    const Case cases[] = {
        {"rows inserted, the cell typed over, Yes",
         [](auto& s) {
             s.insertRows(1, 3);
             s.contents[u"P5"] = {Kind::Text, u"手で直した"};
             s.contents[u"P2"] = {Kind::Text, u"other"};
         },
         Answer::Yes,
         u"セル「P5」は入力の後で変更されています",
         {},
         u"P1",
         true},
        {"rows inserted, the cell typed over, No",
         [](auto& s) {
             s.insertRows(1, 3);
             s.contents[u"P5"] = {Kind::Text, u"手で直した"};
             s.contents[u"P2"] = {Kind::Text, u"other"};
         },
         Answer::No, u"セル「P5」は入力の後で変更されています", typed, u"P2", true},
        {"the cell's row deleted",
         [](auto& s) { s.deleteRow(2); },
         {},
         u"セル「P2」に入力した「mv1」は、その後セルが削除された",
         {},
         u"P1",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wordpour::testing::SessionRun run;
        ASSERT_TRUE(run.start());
        run.session->setCellName(u"O10");
        run.enter(u"before");  // O11: the entry undo goes on to
        run.session->setCellName(u"P1");
        run.enter(u"mv1");  // P2
        c.change(run.sheet);
        run.view.shown.clear();
        if (c.answer) run.view.answers = {*c.answer};
        run.session->undo();
        run.waitForEntries();
        ASSERT_EQ(run.view.shown.size(), 1u);
        EXPECT_TRUE(run.view.shown[0].prompt.starts_with(c.says))
            << wordpour::testing::toUtf8(run.view.shown[0].prompt);
        if (c.answer) {
            EXPECT_EQ(run.view.shown[0].style, wordpour::form::kQuestionDefaultNo);
        }
        EXPECT_EQ(run.sheet.contents[u"P5"], c.p5After);
        // Nothing else was touched: what another cell now holds stays.
        if (c.answer) {
            EXPECT_EQ(run.sheet.contents[u"P2"], (CellContent{Kind::Text, u"other"}));
        }
        EXPECT_EQ(run.session->cellName(), c.nameAfter);
        EXPECT_EQ(run.session->canUndo(), c.undoLeft);
        // The next undo goes on to the entry before, without a question.
        run.view.shown.clear();
        run.session->undo();
        run.waitForEntries();
        EXPECT_TRUE(run.view.shown.empty());
        for (const auto& [cell, held] : run.sheet.contents) EXPECT_NE(held.text, u"before");
        EXPECT_EQ(run.session->cellName(), u"O10");
    }
}

// A word of this run's that rows moved is still its own: corrected without
// a question in its new cell.
TEST_F(SessionUndo, AMovedWordOfThisRunsIsStillItsOwn) {
    wordpour::testing::SessionRun run;
    ASSERT_TRUE(run.start());
    run.enter(u"一");            // A2
    run.sheet.insertRows(1, 1);  // now in A3
    run.session->setCellName(u"A2");
    run.enter(u"直し");
    EXPECT_TRUE(run.view.shown.empty());
    EXPECT_EQ(run.sheet.contents[u"A3"].text, u"直し");
}

TEST_F(SessionUndo, TheLast100EntriesCanBeTakenBackAndAFailureKeepsEverything) {
    ASSERT_TRUE(start());
    for (int i = 0; i < 105; ++i) enter(u"w");
    int undone = 0;
    while (session->canUndo()) {
        undo();
        ++undone;
    }
    EXPECT_EQ(undone, 100);
    EXPECT_EQ(session->cellName(), u"A6");  // entries 1-5 stay

    enter(u"x");  // A7
    sheet.failures[u"restore"] = wordpour::link::spreadsheet::Failure::Disconnected;
    undo();
    ASSERT_FALSE(view.shown.empty());
    EXPECT_NE(view.shown.back().prompt.find(u"「A7」を元に戻せません"), std::u16string::npos);
    EXPECT_EQ(session->cellName(), u"A7");
    EXPECT_TRUE(session->canUndo());
}

}  // namespace
