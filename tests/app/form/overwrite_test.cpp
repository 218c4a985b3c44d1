// Never writing over by surprise, and going to the end of a column, in the
// entry session over the in-memory spreadsheet.
#include <algorithm>

#include "tests/app/form/session_fixture.h"
#include "tests/support/utf8.h"

namespace {

using wordpour::form::Answer;
using wordpour::form::Command;
using wordpour::form::kConfirmOverwriteKey;
using wordpour::form::kQuestionDefaultNo;
using wordpour::link::spreadsheet::CellContent;
using wordpour::link::spreadsheet::Failure;
using wordpour::testing::SessionRun;
using Kind = CellContent::Kind;

// Each case a run of its own, in the fixture's folder with its workbook.
class Overwrite : public wordpour::testing::SessionTest {};
class EndOfColumn : public wordpour::testing::SessionTest {};

std::size_t count(const std::vector<std::u16string>& calls, std::u16string_view call) {
    return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), call));
}

TEST_F(Overwrite, OnlyWhatThisRunDidNotWriteIsAskedAbout) {
    struct Case {
        const char* why;
        std::u16string held;           // the text in A2 before the run; empty: none
        bool wroteItFirst;             // this run wrote "前" into A2 first
        bool typedOverSince;           // then the person typed into A2 in the sheet
        bool confirm;                  // the check item
        std::optional<Answer> answer;  // the question's answer; none: no question
        std::u16string a2After;
        std::u16string nameAfter;
    };
    const std::u16string apple = u"りんご";
    const Case cases[] = {
        {"an empty cell costs no question", u"", false, false, true, {}, u"新", u"A2"},
        {"a cell this run wrote is corrected at once", u"", true, false, true, {}, u"新", u"A2"},
        {"No leaves the cell and the name", apple, false, false, true, Answer::No, u"りんご",
         u"A1"},
        {"Yes writes over it", apple, false, false, true, Answer::Yes, u"新", u"A2"},
        {"with the check item off, nothing is asked", apple, false, false, false, {}, u"新", u"A2"},
        {"this run's cell typed over in the sheet is the person's again", u"", true, true, true,
         Answer::No, u"手で", u"A1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        SessionRun run;
        run.view.settings[std::string(kConfirmOverwriteKey)] = c.confirm;
        if (!c.held.empty()) run.sheet.contents[u"A2"] = {Kind::Text, c.held};
        ASSERT_TRUE(run.start());
        EXPECT_EQ(run.view.checked[Command::ConfirmOverwrite], c.confirm);
        if (c.wroteItFirst) {
            run.enter(u"前");
            run.session->setCellName(u"A1");
        }
        if (c.typedOverSince) run.sheet.contents[u"A2"] = {Kind::Text, u"手で"};
        run.sheet.calls.clear();
        run.sheet.reads = 0;
        if (c.answer) run.view.answers = {*c.answer};
        run.enter(u"新");
        ASSERT_EQ(run.view.shown.size(), c.answer ? 1u : 0u);
        if (c.answer) {
            const auto& asked = run.view.shown[0];
            const std::u16string held = c.typedOverSince ? u"手で" : u"りんご";
            EXPECT_TRUE(asked.prompt.starts_with(u"セル「A2」には「" + held +
                                                 u"」が入っています。上書きしますか？"))
                << wordpour::testing::toUtf8(asked.prompt);
            // It names the way to the first empty cell.
            EXPECT_NE(asked.prompt.find(u"「列の最後へ移動」（Ctrl+E）"), std::u16string::npos);
            EXPECT_EQ(asked.style, kQuestionDefaultNo);
        }
        EXPECT_EQ(run.sheet.contents[u"A2"].text, c.a2After);
        EXPECT_EQ(run.session->cellName(), c.nameAfter);
        EXPECT_EQ(run.view.focus, wordpour::form::Focus::Enter);
        // One job and one read for the cell; a Yes costs one job more.
        const std::size_t jobs = c.answer == Answer::Yes ? 2 : 1;
        EXPECT_EQ(count(run.sheet.calls, u"range A2"), jobs);
        EXPECT_EQ(run.sheet.reads, static_cast<int>(jobs));
        EXPECT_EQ(count(run.sheet.calls, u"value 新"), c.a2After == u"新" ? 1u : 0u);
    }
}

// A cell a merge hides is asked about with the merge named, or, with the
// question off, refused: a word is never written where nobody sees it.
TEST_F(Overwrite, ACellHiddenUnderAMergeIsAskedAboutOrRefused) {
    struct Case {
        bool confirm;
        std::optional<Answer> answer;
        const char16_t* says;
        const char16_t* a2After;
    };
    const Case cases[] = {
        {true, Answer::No, u"セル「A2」は結合されたセル範囲「A1:A2」に隠れていて", u""},
        {true, Answer::Yes, u"セル「A2」は結合されたセル範囲「A1:A2」に隠れていて", u"新"},
        {false, {}, u"セル「A2」は結合されたセル範囲「A1:A2」に隠れていて", u""},
    };
    for (const Case& c : cases) {
        SessionRun run;
        run.view.settings[std::string(kConfirmOverwriteKey)] = c.confirm;
        run.sheet.merges[u"A2"] = u"A1:A2";
        run.sheet.shown[u"A2"] = u"隠れた文字";
        ASSERT_TRUE(run.start());
        if (c.answer) run.view.answers = {*c.answer};
        run.enter(u"新");
        ASSERT_EQ(run.view.shown.size(), 1u);
        const auto& said = run.view.shown[0];
        EXPECT_TRUE(said.prompt.starts_with(c.says)) << wordpour::testing::toUtf8(said.prompt);
        EXPECT_EQ(said.style, c.confirm ? kQuestionDefaultNo : wordpour::form::kExclamation);
        EXPECT_EQ(run.sheet.contents[u"A2"].text, c.a2After);
        EXPECT_EQ(run.session->cellName(), c.answer == Answer::Yes ? u"A2" : u"A1");
    }
}

TEST_F(Overwrite, UndoOfAConfirmedEntryGivesTheCellBackAndItIsAskedAboutAgain) {
    SessionRun run;
    run.sheet.contents[u"A2"] = {Kind::Text, u"りんご"};
    ASSERT_TRUE(run.start());
    run.view.answers = {Answer::Yes};
    run.enter(u"新");
    run.session->undo();
    run.waitForEntries();
    EXPECT_EQ(run.sheet.contents[u"A2"], (CellContent{Kind::Text, u"りんご"}));
    EXPECT_EQ(run.session->cellName(), u"A1");
    run.view.shown.clear();
    run.view.answers = {Answer::No};
    run.enter(u"新");
    EXPECT_EQ(run.view.shown.size(), 1u);
    EXPECT_EQ(run.sheet.contents[u"A2"].text, u"りんご");
}

TEST_F(Overwrite, TheCheckItemTurnsTheQuestionOffAndIsRememberedForTheNextRun) {
    SessionRun first;
    ASSERT_TRUE(first.start());
    EXPECT_TRUE(first.session->confirmsOverwrite());  // on by default
    first.session->run(Command::ConfirmOverwrite);
    EXPECT_FALSE(first.view.checked[Command::ConfirmOverwrite]);
    SessionRun next;
    next.view.settings = first.view.settings;
    next.sheet.contents[u"A2"] = {Kind::Text, u"りんご"};
    ASSERT_TRUE(next.start());
    EXPECT_FALSE(next.view.checked[Command::ConfirmOverwrite]);
    next.enter(u"新");
    EXPECT_TRUE(next.view.shown.empty());
    EXPECT_EQ(next.sheet.contents[u"A2"].text, u"新");
    next.session->run(Command::ConfirmOverwrite);
    EXPECT_TRUE(next.view.settings.at(std::string(kConfirmOverwriteKey)));

    // A settings file that cannot be written: said, with the file and why;
    // the choice holds for this run.
    next.view.settingNotKept = {{"/home/u/.config/wordpour/wordpour.ini",
                                 {wordpour::base::FileCause::PermissionDenied, 13}}};
    next.view.shown.clear();
    next.session->run(Command::ConfirmOverwrite);
    ASSERT_EQ(next.view.shown.size(), 1u);
    EXPECT_EQ(next.view.shown[0].prompt,
              u"「上書きの前に確認」の選択をファイル「/home/u/.config/wordpour/wordpour.ini」に"
              u"保存できません。\n（アクセスが拒否されました（権限がありません））"
              u"\nこの選択は、ワードポア！を終了するまで有効です。");
    EXPECT_FALSE(next.session->confirmsOverwrite());
}

TEST_F(EndOfColumn, TheNameGoesToTheLastFilledCellOfItsColumn) {
    struct Case {
        const char* why;
        std::vector<std::u16string> filled;
        std::u16string nameBefore;
        std::u16string nameAfter;
    };
    const Case cases[] = {
        {"an empty column gives its first row", {u"B9"}, u"A5", u"A1"},
        {"a column with a gap gives its last filled row",
         {u"A1", u"A2", u"A7", u"B20"},
         u"A1",
         u"A7"},
        {"a column filled to a row", {u"A1", u"A2", u"A3", u"A4", u"A5"}, u"A2", u"A5"},
        {"the column is the name's letters", {u"AB3", u"A40"}, u"AB1", u"AB3"},
        {"an empty name stands for A1", {u"A3"}, u"", u"A3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        SessionRun run;
        for (const auto& cell : c.filled) run.sheet.contents[cell] = {Kind::Text, u"済"};
        ASSERT_TRUE(run.start());
        run.session->setCellName(c.nameBefore);
        run.session->run(Command::EndOfColumn);
        run.waitForEntries();
        EXPECT_EQ(run.session->cellName(), c.nameAfter);
        EXPECT_EQ(run.view.cellName, c.nameAfter);
        EXPECT_TRUE(run.view.shown.empty());
        // The next entry goes below everything, without a question.
        run.enter(u"次");
        EXPECT_TRUE(run.view.shown.empty());
    }
}

TEST_F(EndOfColumn, AWrongNameOrAFailureSaysSoAndKeepsTheName) {
    struct Case {
        const char* why;
        std::u16string name;
        std::optional<Failure> failure;
        std::u16string says;
    };
    const Case cases[] = {
        {"a wrong name is refused before anything is sent",
         u"A-1",
         {},
         u"セルの名前が間違っています"},
        {"digits alone name no column", u"12", {}, u"セルの名前が間違っています"},
        {"a sheet deleted since", u"A4", Failure::SheetGone,
         u"列「A」の最後のセルを調べられません。起動時に選んだワークシート「sheet1」が削除されまし"
         u"た"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        SessionRun run;
        if (c.failure) run.sheet.failures[u"end"] = *c.failure;
        ASSERT_TRUE(run.start());
        run.session->setCellName(c.name);
        run.sheet.calls.clear();
        run.session->run(Command::EndOfColumn);
        run.waitForEntries();
        ASSERT_EQ(run.view.shown.size(), 1u);
        EXPECT_TRUE(run.view.shown[0].prompt.starts_with(c.says))
            << wordpour::testing::toUtf8(run.view.shown[0].prompt);
        EXPECT_EQ(run.session->cellName(), c.name);
        if (!c.failure) {
            EXPECT_TRUE(run.sheet.calls.empty());
        }
    }
}

}  // namespace
