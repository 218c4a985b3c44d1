// Taking entries back in the main window's logic, over the in-memory
// spreadsheet: what the cells and the cell name get back, and when undo asks.
#include "tests/app/form/session_fixture.h"

namespace {

using wordpour::form::Answer;
using wordpour::spreadsheet::CellContent;
using wordpour::testing::SessionTest;
using Kind = CellContent::Kind;

class SessionUndo : public SessionTest {
protected:
    void undo() {
        form->undo();
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
        form->setCellName(u"A1");
        sheet.contents[u"A2"] = c.before;
        // What the cell held is written over once the person agrees.
        view.shown.clear();
        view.answers = {Answer::Yes};
        enter(u"新しい");
        ASSERT_EQ(form->cellName(), u"A2");
        EXPECT_EQ(view.shown.size(), c.before == CellContent{} ? 0u : 1u);
        EXPECT_TRUE(view.undoEnabled);
        view.shown.clear();
        undo();
        EXPECT_EQ(sheet.contents[u"A2"], c.before);
        EXPECT_EQ(form->cellName(), u"A1");
        EXPECT_FALSE(view.undoEnabled);
        EXPECT_TRUE(view.shown.empty());
    }
}

TEST_F(SessionUndo, ARunIsTakenBackInReverseBackToEachNameBefore) {
    ASSERT_TRUE(start());
    enter(u"一");              // A2
    enter(u"二");              // A3
    form->setCellName(u"C9");  // moved by hand
    enter(u"三");              // C10
    const std::pair<std::u16string, std::u16string> steps[] = {
        {u"C10", u"C9"}, {u"A3", u"A2"}, {u"A2", u"A1"}};
    for (const auto& [cell, nameAfter] : steps) {
        EXPECT_EQ(sheet.contents.count(cell), 1u);
        undo();
        EXPECT_EQ(sheet.contents[cell], CellContent{});
        EXPECT_EQ(form->cellName(), nameAfter);
    }
    EXPECT_FALSE(form->canUndo());
    const auto calls = sheet.calls.size();
    undo();  // nothing left: nothing happens
    EXPECT_EQ(sheet.calls.size(), calls);
}

TEST_F(SessionUndo, ACellTypedOverSinceAsksWithNoAsTheDefault) {
    ASSERT_TRUE(start());
    enter(u"入力した");
    sheet.contents[u"A2"] = {Kind::Text, u"手で直した"};
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        view.shown.clear();
        view.answers = {answer};
        undo();
        ASSERT_EQ(view.shown.size(), 1u);
        EXPECT_NE(view.shown[0].prompt.find(u"「A2」は入力の後で変更されています"),
                  std::u16string::npos);
        EXPECT_EQ(view.shown[0].style, wordpour::form::kQuestionDefaultNo);
        EXPECT_EQ(view.shown[0].style.value(), 4 | 32 | 0x100);
        EXPECT_EQ(view.shown[0].title, u"元に戻す");
        if (answer == Answer::No) {
            EXPECT_EQ(sheet.contents[u"A2"], (CellContent{Kind::Text, u"手で直した"}));
            EXPECT_EQ(form->cellName(), u"A2");
            EXPECT_TRUE(form->canUndo());
        } else {
            EXPECT_EQ(sheet.contents[u"A2"], CellContent{});
            EXPECT_EQ(form->cellName(), u"A1");
            EXPECT_FALSE(form->canUndo());
        }
    }
}

TEST_F(SessionUndo, TheLast100EntriesCanBeTakenBackAndAFailureKeepsEverything) {
    ASSERT_TRUE(start());
    for (int i = 0; i < 105; ++i) enter(u"w");
    int undone = 0;
    while (form->canUndo()) {
        undo();
        ++undone;
    }
    EXPECT_EQ(undone, 100);
    EXPECT_EQ(form->cellName(), u"A6");  // entries 1-5 stay

    enter(u"x");  // A7
    sheet.failures[u"restore"] = wordpour::spreadsheet::Failure::Disconnected;
    undo();
    ASSERT_FALSE(view.shown.empty());
    EXPECT_NE(view.shown.back().prompt.find(u"「A7」を元に戻せません"), std::u16string::npos);
    EXPECT_EQ(form->cellName(), u"A7");
    EXPECT_TRUE(form->canUndo());
}

}  // namespace
