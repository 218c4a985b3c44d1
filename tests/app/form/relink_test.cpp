// Linking again: after the application ended or the workbook was closed,
// the next entry attaches to the application running now, asks before
// starting it or opening the workbook again, and writes the word once; or
// says why not, the word and the cell name left as they were.
#include "app/form/wording.h"
#include "tests/app/form/session_fixture.h"

namespace {

using wordpour::form::Answer;
using wordpour::testing::SessionTest;
namespace wording = wordpour::form::wording;

class SessionRelink : public SessionTest {};

TEST_F(SessionRelink, TheNextEntryLinksAgainAfterAsking) {
    struct Case {
        const char* what;
        bool crash, restarted;        // the application ended; the person started it again
        std::deque<Answer> answers;   // to the questions, in turn
        std::vector<std::u16string> asked;  // the messages shown, by their first words
        bool written;
    };
    const Case cases[] = {
        {"crashed, started again, reopened", true, true, {Answer::Yes}, {u"ブック「book.xls」が閉じられています"}, true},
        {"crashed, not started: Yes starts it", true, false, {Answer::Yes, Answer::Yes},
         {u"LibreOffice Calc が起動していません", u"ブック「book.xls」が閉じられています"}, true},
        {"crashed, not started: No", true, false, {Answer::No},
         {u"LibreOffice Calc が起動していません", u"ブック「book.xls」に接続し直していない"}, false},
        {"closed by the person: Yes", false, true, {Answer::Yes}, {u"ブック「book.xls」が閉じられています"}, true},
        {"closed by the person: No (the default)", false, true, {Answer::No},
         {u"ブック「book.xls」が閉じられています", u"ブック「book.xls」に接続し直していない"}, false},
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
            if (c.restarted) sheet.launch();
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

}  // namespace
