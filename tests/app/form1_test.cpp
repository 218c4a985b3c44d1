// The main window's logic over an in-memory window and spreadsheet, with
// real files in a temporary current directory: no toolkit, so the same
// tests run on Linux and, cross-built, under Wine.
#include <functional>
#include <future>

#include "tests/app/form1_fixture.h"

namespace {

using wordpour::app::Focus;
using wordpour::app::Form1;
using wordpour::link::Answer;
using wordpour::testing::bytesOf;
using wordpour::testing::FakeSpreadsheet;
using wordpour::testing::Form1Test;
using wordpour::testing::MemoryView;
using wordpour::testing::Words;
using wordpour::testing::writeBytes;

TEST_F(Form1Test, StartUpLinksTheWorkbookAndFocusesTheWordBoxOrSaysWhyNot) {
    struct Case {
        std::u16string file;
        std::u16string failAt;  // empty: nothing fails
        std::u16string says;    // empty: no message
    };
    const Case cases[] = {
        {u"book.xls", u"", u""},
        {u"", u"", u"ブックが選ばれなかったので、ワードポア！を終了します。"},
        {u"missing.xls", u"", u"が見つかりません"},
        {u"book.xls", u"attach", u"表計算ソフトに接続できません"},
        {u"book.xls", u"open", u"を開けません"},
        {u"book.xls", u"item", u"「sheet1」がありません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.failAt.begin(), c.failAt.end()));
        form.reset();
        view.shown.clear();
        view.focus.reset();
        sheet = FakeSpreadsheet();
        if (!c.failAt.empty())
            sheet.failures[c.failAt] = c.failAt == u"attach" ? wordpour::excel::Failure::NotRunning
                                       : c.failAt == u"open" ? wordpour::excel::Failure::Open
                                                             : wordpour::excel::Failure::NoSheet;
        EXPECT_EQ(start(c.file), c.says.empty());
        if (c.says.empty()) {
            EXPECT_TRUE(view.shown.empty());
            EXPECT_EQ(view.focus, Focus::WordBox);
            const Words steps = {u"attach",     u"workbooks",   u"open book.xls",
                                 u"worksheets", u"item sheet1", u"range A1"};
            EXPECT_EQ(sheet.calls, steps);
            EXPECT_FALSE(sheet.visible);  // visibility is left to the first entry
        } else {
            ASSERT_EQ(view.shown.size(), 1u);
            EXPECT_NE(view.shown[0].prompt.find(c.says), std::u16string::npos);
            EXPECT_EQ(view.shown[0].style, wordpour::link::kCritical);
            EXPECT_EQ(view.shown[0].title, u"ワードポア！");
        }
    }
}

TEST_F(Form1Test, WithNoSpreadsheetRunningOnlyYesStartsOneAndLinksTheWorkbook) {
    using wordpour::excel::Failure;
    struct Case {
        const char* name;
        Answer answer;
        bool launchFails;
        bool started;
        Words calls;
        std::u16string lastSays;  // the last message, after the question
    };
    const Case cases[] = {
        {"no ends at once", Answer::No, false, false, {}, u""},
        {"escape is no", Answer::Cancel, false, false, {}, u""},
        {"yes starts and links",
         Answer::Yes,
         false,
         true,
         {u"launch", u"attach", u"workbooks", u"open book.xls", u"worksheets", u"item sheet1",
          u"range A1"},
         u""},
        {"yes, but it cannot start",
         Answer::Yes,
         true,
         false,
         {},
         u"LibreOffice Calc を起動できません。\nワードポア！を終了します。\n\n（詳細: fake "
         u"failure）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        view.shown.clear();
        view.focus.reset();
        sheet = FakeSpreadsheet();
        sheet.failures[u"attach"] = Failure::NotStarted;
        if (c.launchFails) sheet.failures[u"launch"] = Failure::NotRunning;
        view.answers = {c.answer};
        EXPECT_EQ(start(), c.started);
        ASSERT_GE(view.shown.size(), 1u);
        EXPECT_EQ(view.shown[0].prompt,
                  u"LibreOffice Calc が起動していません。\n"
                  u"LibreOffice Calc を起動して、ワードポア！から使えるようにしますか？\n\n"
                  u"「いいえ」を選ぶと、ワードポア！を終了します。");
        EXPECT_EQ(view.shown[0].style, wordpour::link::kStartQuestion);
        EXPECT_EQ(view.shown[0].title, u"ワードポア！");
        EXPECT_EQ(sheet.calls, c.calls);
        if (c.lastSays.empty()) {
            EXPECT_EQ(view.shown.size(), 1u);
        } else {
            ASSERT_EQ(view.shown.size(), 2u);
            EXPECT_EQ(view.shown[1].prompt, c.lastSays);
            EXPECT_EQ(view.shown[1].style, wordpour::link::kCritical);
        }
        EXPECT_EQ(view.focus == Focus::WordBox, c.started);
    }
    // Without a way to start one (Excel), the message says so and asks nothing.
    form = std::make_unique<Form1>(view, [this] { return sheet.attach(); });
    view.shown.clear();
    view.fileNames.push_back(u"book.xls");
    sheet = FakeSpreadsheet();
    sheet.failures[u"attach"] = Failure::NotStarted;
    EXPECT_FALSE(form->Form_Initialize());
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_EQ(view.shown[0].style, wordpour::link::kCritical);
    EXPECT_NE(view.shown[0].prompt.find(u"表計算ソフトに接続できません"), std::u16string::npos);
}

TEST_F(Form1Test, TheFileDialogShowsOneXlsFilterAndCancelKeepsAnEmptyPath) {
    ASSERT_TRUE(start());
    view.focus.reset();
    form->Command8_Click();  // no file chosen: Cancel
    ASSERT_EQ(view.filters.size(), 2u);
    for (const auto& filter : view.filters) EXPECT_EQ(filter, u"ｴｸｾﾙ ﾌﾞｯｸ (*.xls)|*.xls");
    EXPECT_EQ(form->bookPath(), u"");
    EXPECT_EQ(view.focus, Focus::Enter);
    // Entries go on into the workbook linked at start-up.
    enter(u"そのまま");
    EXPECT_EQ(sheet.cells[u"A2"], u"そのまま");
}

TEST_F(Form1Test, AlwaysOnTopTogglesForTheRunAndMovesNothing) {
    ASSERT_TRUE(start());
    view.focus.reset();
    for (const bool expected : {true, false, true}) {
        form->AlwaysOnTop_Click();
        EXPECT_EQ(view.onTop, expected);
        EXPECT_EQ(form->alwaysOnTop(), expected);
    }
    EXPECT_FALSE(view.focus.has_value());
    EXPECT_TRUE(view.shown.empty());
    // A new window of the next run starts without it: nothing is stored.
    MemoryView next;
    Form1 another(next, [this] { return sheet.attach(); });
    EXPECT_FALSE(another.alwaysOnTop());
}

TEST_F(Form1Test, EachCommandLeavesTheFocusWhereTheTableSays) {
    ASSERT_TRUE(start());
    writeBytes("List", "x\r\n");
    struct Case {
        const char* what;
        std::function<void()> prepare;
        void (Form1::*handler)();
        std::optional<Focus> focus;  // nothing: not moved
    };
    const Case cases[] = {
        {"add", [&] { view.replies.push_back(u"w"); }, &Form1::Command1_Click, Focus::Enter},
        {"add, Cancel", [] {}, &Form1::Command1_Click, Focus::Enter},
        {"delete", [] {}, &Form1::Command2_Click, Focus::Enter},
        {"load, Yes", [&] { view.answers.push_back(Answer::Yes); }, &Form1::Command3_Click,
         std::nullopt},
        {"load, No", [&] { view.answers.push_back(Answer::No); }, &Form1::Command3_Click,
         std::nullopt},
        {"save, Yes", [&] { view.answers.push_back(Answer::Yes); }, &Form1::Command5_Click,
         Focus::Enter},
        {"save, No", [&] { view.answers.push_back(Answer::No); }, &Form1::Command5_Click,
         std::nullopt},
        {"cell position", [] {}, &Form1::Command6_Click, std::nullopt},
        {"display", [] {}, &Form1::Command7_Click, Focus::Enter},
        {"file selection", [&] { view.fileNames.push_back(u"other.xls"); }, &Form1::Command8_Click,
         Focus::Enter},
        {"version", [] {}, &Form1::Version_Click, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        view.focus.reset();
        c.prepare();
        (form.get()->*c.handler)();
        EXPECT_EQ(view.focus, c.focus);
    }
    EXPECT_EQ(form->bookPath(), u"other.xls");  // remembered, nothing opened again
    EXPECT_EQ(std::count(sheet.calls.begin(), sheet.calls.end(), u"open book.xls"), 1);
    EXPECT_EQ(view.cellPositionShown, 1);
    EXPECT_EQ(view.aboutShown, 1);
}

TEST_F(Form1Test, ConfirmationsAskWithTheirTextsAndNoChangesNothing) {
    ASSERT_TRUE(start());
    writeBytes("List", "x\r\n");
    view.items = {u"a"};
    struct Case {
        void (Form1::*handler)();
        std::u16string prompt, title;
    };
    for (const Case& c :
         {Case{&Form1::Command3_Click, u"ﾘｽﾄをﾛｰﾄﾞします。\rよろしいですか？", u"ﾘｽﾄを開く"},
          Case{&Form1::Command5_Click, u"現在のﾘｽﾄを保存します。\rよろしいですか？",
               u"ﾘｽﾄの保存"}}) {
        view.shown.clear();
        view.answers = {Answer::No};
        (form.get()->*c.handler)();
        ASSERT_EQ(view.shown.size(), 1u);
        EXPECT_EQ(view.shown[0].prompt, c.prompt);
        EXPECT_EQ(view.shown[0].style.value(), 20);
        EXPECT_EQ(view.shown[0].title, c.title);
        EXPECT_EQ(view.items, Words{u"a"});
        EXPECT_EQ(bytesOf("List"), "x\r\n");
    }
}

TEST_F(Form1Test, TheWordListCommands) {
    ASSERT_TRUE(start());
    // Add: the reply at the end, unchanged; Cancel adds nothing.
    view.replies = {u"b", std::u16string(), std::nullopt, u"b"};
    for (int i = 0; i < 4; ++i) form->Command1_Click();
    EXPECT_EQ(view.items, (Words{u"b", u"", u"b"}));
    EXPECT_EQ(view.asked[0], u"ﾘｽﾄに追加する単語を入力してください。|ﾘｽﾄに追加|");
    // Delete: exactly the entry shown, not its twin; nothing for typed text.
    view.pick(2);
    form->Command2_Click();
    EXPECT_EQ(view.items, (Words{u"b", u""}));
    view.typed = u"b ";
    view.current = 0;
    form->Command2_Click();
    EXPECT_EQ(view.items, (Words{u"b", u""}));
    // Display: each entry and LF; an empty list says so.
    form->Command7_Click();
    EXPECT_EQ(view.shown.back().prompt, u"b\n\n");
    EXPECT_EQ(view.shown.back().title, u"現在のリスト項目");
    EXPECT_EQ(view.shown.back().style.value(), 0);
    view.items.clear();
    form->Command7_Click();
    EXPECT_EQ(view.shown.back().prompt, u"登録されている項目はありません。");
}

TEST_F(Form1Test, SaveAndLoadKeepTheirPromises) {
    ASSERT_TRUE(start());
    // An empty list writes nothing: the old List keeps its words.
    writeBytes("List", "keep\r\n");
    view.answers = {Answer::Yes};
    form->Command5_Click();
    EXPECT_EQ(bytesOf("List"), "keep\r\n");
    // Save, then load twice: appended after what is there, every time.
    view.items = {u"りんご", u"", u"～①"};
    view.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    form->Command5_Click();
    EXPECT_EQ(bytesOf("List"), "\x82\xE8\x82\xF1\x82\xB2\r\n\r\n\x81\x60\x87\x40\r\n");
    form->Command3_Click();
    EXPECT_EQ(view.items.size(), 6u);
    // The cap: a load that would pass 32,767 entries adds none of them.
    view.items.assign(32766, u"w");
    view.answers = {Answer::Yes, Answer::Ok};
    form->Command3_Click();
    EXPECT_EQ(view.items.size(), 32766u);
    EXPECT_NE(view.shown.back().prompt.find(u"読み込みません"), std::u16string::npos);
    view.replies = {u"last", u"one too many"};
    form->Command1_Click();
    form->Command1_Click();
    EXPECT_EQ(view.items.size(), 32767u);
    EXPECT_EQ(view.items.back(), u"last");
}

TEST_F(Form1Test, EntriesGoOneRowDownOneAtATime) {
    ASSERT_TRUE(start());
    sheet.calls.clear();
    enter(u"りんご");
    enter(u"=1+1");
    const Words written = {u"range A2", u"value りんご", u"visible 1",
                           u"range A3", u"value =1+1",   u"visible 1"};
    EXPECT_EQ(sheet.calls, written);
    EXPECT_EQ(sheet.cells[u"A2"], u"りんご");
    EXPECT_EQ(sheet.cells[u"A3"], u"=1+1");
    EXPECT_EQ(view.cellBox.text(), u"A3");
    EXPECT_EQ(view.focus, Focus::Enter);
    EXPECT_FALSE(view.waiting);

    // A press while the spreadsheet has not answered starts nothing.
    std::promise<void> answer;
    std::shared_future<void> answered = answer.get_future().share();
    sheet.beforeCall = [answered](const std::u16string& call) {
        if (call.starts_with(u"value")) answered.wait();
    };
    view.typed = u"遅い";
    form->Command4_Click();
    EXPECT_TRUE(view.waiting);
    form->Command4_Click();
    // Meanwhile the word list, the about box and the cell-position dialog work.
    view.replies = {u"追加"};
    form->Command1_Click();
    form->Command7_Click();
    EXPECT_EQ(view.shown.back().prompt, u"追加\n");
    form->Version_Click();
    form->Command6_Click();
    EXPECT_EQ(view.aboutShown, 1);
    EXPECT_EQ(view.cellBox.text(), u"A3");
    EXPECT_TRUE(form->entryUnderWay());
    answer.set_value();
    waitForEntries();
    sheet.beforeCall = nullptr;
    EXPECT_EQ(std::count(sheet.calls.begin(), sheet.calls.end(), u"value 遅い"), 1);
    EXPECT_EQ(view.cellBox.text(), u"A4");
    EXPECT_FALSE(view.waiting);
}

TEST_F(Form1Test, RefusedAndFailedEntriesSayWhyWriteNothingAndKeepTheName) {
    struct Case {
        const char* what;
        std::u16string name, word;
        std::u16string failAt;  // the call that fails, if any
        std::u16string says, title;
    };
    const Case cases[] = {
        {"a wrong name", u"a1", u"x", u"", u"セルの名前が間違っています。", u"セル名の異常"},
        {"a failed write", u"A1", u"x", u"value", u"セル「A2」に書き込めません", u""},
        {"a word too long", u"A1", std::u16string(100000, u'x'), u"", u"100000文字", u""},
        {"a word too long, its limit", u"A1", std::u16string(100000, u'x'), u"", u"32767文字まで",
         u""},
        {"a name too long", std::u16string(40000, u'A'), u"短い", u"", u"セルの名前が長すぎます",
         u""},
    };
    ASSERT_TRUE(start());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sheet.calls.clear();
        sheet.failures.clear();
        if (!c.failAt.empty()) sheet.failures[c.failAt] = wordpour::excel::Failure::Disconnected;
        view.shown.clear();
        view.cellBox.setText(c.name);
        enter(c.word);
        ASSERT_EQ(view.shown.size(), 1u);
        EXPECT_NE(view.shown[0].prompt.find(c.says), std::u16string::npos);
        if (!c.title.empty()) {
            EXPECT_EQ(view.shown[0].title, c.title);
        }
        if (c.failAt.empty()) {
            EXPECT_TRUE(sheet.calls.empty());
        }
        EXPECT_EQ(view.cellBox.text(), c.name);
        EXPECT_EQ(view.focus, Focus::Enter);
        EXPECT_FALSE(view.quitAsked);
    }
    // Mended, the entry goes on from the name.
    sheet.failures.clear();
    view.cellBox.setText(u"B5");
    enter(u"x");
    EXPECT_EQ(view.cellBox.text(), u"B6");
}

}  // namespace
