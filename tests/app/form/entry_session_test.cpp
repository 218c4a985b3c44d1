// The main window's logic over an in-memory window and spreadsheet, with
// real files in a temporary current directory: no toolkit, so the same
// tests run on Linux and, cross-built, under Wine.
#include <functional>
#include <future>

#include "tests/app/form/session_fixture.h"

namespace {

using wordpour::form::Answer;
using wordpour::form::EntrySession;
using wordpour::form::Focus;
using wordpour::testing::bytesOf;
using wordpour::testing::FakeSpreadsheet;
using wordpour::testing::MemoryView;
using wordpour::testing::SessionTest;
using wordpour::testing::Words;
using wordpour::testing::writeBytes;

TEST_F(SessionTest, StartUpLinksTheWorkbookAndFocusesTheWordBoxOrSaysWhyNot) {
    using wordpour::link::spreadsheet::Failure;
    struct Case {
        const char* why;
        std::u16string file;
        std::u16string failAt;  // empty: nothing fails
        Failure failure;
        std::u16string says;  // empty: no message
    };
    const Case cases[] = {
        {"a workbook with a sheet1 links", u"book.xls", u"", {}, u""},
        {"Cancel in the dialog ends",
         u"",
         u"",
         {},
         u"ブックが選ばれなかったので、ワードポア！を終了します。"},
        {"a file that is not there", u"missing.xls", u"", {}, u"が見つかりません"},
        {"no application to attach to", u"book.xls", u"attach", Failure::NotRunning,
         u"表計算ソフトに接続できません"},
        {"the application cannot open it", u"book.xls", u"open", Failure::Open, u"を開けません"},
        {"no sheet1", u"book.xls", u"item", Failure::NoSheet, u"「sheet1」がありません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        wordpour::testing::SessionRun run;
        if (!c.failAt.empty()) run.sheet.failures[c.failAt] = c.failure;
        EXPECT_EQ(run.start(c.file), c.says.empty());
        if (c.says.empty()) {
            EXPECT_TRUE(run.view.shown.empty());
            EXPECT_EQ(run.view.focus, Focus::WordBox);
            const Words steps = {u"attach",     u"workbooks",   u"open book.xls",
                                 u"worksheets", u"item sheet1", u"range A1"};
            EXPECT_EQ(run.sheet.calls, steps);
            EXPECT_FALSE(run.sheet.visible);  // visibility is left to the first entry
        } else {
            ASSERT_EQ(run.view.shown.size(), 1u);
            EXPECT_NE(run.view.shown[0].prompt.find(c.says), std::u16string::npos);
            EXPECT_EQ(run.view.shown[0].style, wordpour::form::kCritical);
            EXPECT_EQ(run.view.shown[0].title, u"ワードポア！");
        }
    }
}

TEST_F(SessionTest, WithNoSpreadsheetRunningOnlyYesStartsOneAndLinksTheWorkbook) {
    using wordpour::link::spreadsheet::Failure;
    struct Case {
        const char* why;
        Answer answer;
        bool startFails;
        bool started;
        Words calls;
        std::u16string lastSays;  // the last message, after the question
    };
    const Case cases[] = {
        {"No ends at once", Answer::No, false, false, {}, u""},
        {"Escape is No", Answer::Cancel, false, false, {}, u""},
        {"Yes starts and links",
         Answer::Yes,
         false,
         true,
         {u"start application", u"attach", u"workbooks", u"open book.xls", u"worksheets",
          u"item sheet1", u"range A1"},
         u""},
        {"Yes, but it cannot start",
         Answer::Yes,
         true,
         false,
         {},
         u"LibreOffice Calc を起動できません。\nワードポア！を終了します。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        wordpour::testing::SessionRun run;
        run.sheet.failures[u"attach"] = Failure::NotStarted;
        if (c.startFails) run.sheet.failures[u"start application"] = Failure::NotRunning;
        run.view.answers = {c.answer};
        EXPECT_EQ(run.start(), c.started);
        ASSERT_GE(run.view.shown.size(), 1u);
        EXPECT_EQ(run.view.shown[0].prompt,
                  u"LibreOffice Calc が起動していません。\n"
                  u"LibreOffice Calc を起動して、ワードポア！から使えるようにしますか？\n\n"
                  u"「いいえ」を選ぶと、ワードポア！を終了します。");
        EXPECT_EQ(run.view.shown[0].style, wordpour::form::kStartQuestion);
        EXPECT_EQ(run.view.shown[0].title, u"ワードポア！");
        EXPECT_EQ(run.sheet.calls, c.calls);
        if (c.lastSays.empty()) {
            EXPECT_EQ(run.view.shown.size(), 1u);
        } else {
            ASSERT_EQ(run.view.shown.size(), 2u);
            EXPECT_EQ(run.view.shown[1].prompt, c.lastSays);
            EXPECT_EQ(run.view.shown[1].style, wordpour::form::kCritical);
        }
        EXPECT_EQ(run.view.focus == Focus::WordBox, c.started);
    }
    // Without a way to start one (Excel), the message says so and asks nothing.
    wordpour::testing::SessionRun excel(/*startable=*/false);
    excel.sheet.failures[u"attach"] = Failure::NotStarted;
    EXPECT_FALSE(excel.start());
    ASSERT_EQ(excel.view.shown.size(), 1u);
    EXPECT_EQ(excel.view.shown[0].style, wordpour::form::kCritical);
    EXPECT_NE(excel.view.shown[0].prompt.find(u"表計算ソフトに接続できません"),
              std::u16string::npos);
}

TEST_F(SessionTest, AStartUpThatWaitsSaysForWhatAndCanBeGivenUp) {
    // Each step of the start-up waits with the application's name.
    const std::u16string waiting =
        u"LibreOffice Calc の応答を待っています…\n「中止」を押すと、ワードポア！を終了します。";
    ASSERT_TRUE(start());
    EXPECT_EQ(view.waitedWith, Words{waiting});

    // An application that does not answer: 中止 ends the start-up at once,
    // with no message, and the attach is left under way.
    wordpour::testing::SessionRun run;
    std::promise<void> answer;
    std::shared_future<void> answered = answer.get_future().share();
    run.sheet.beforeCall = [answered](const std::u16string& call) {
        if (call == u"attach") answered.wait();
    };
    run.view.giveUpAfter = std::chrono::milliseconds(50);
    EXPECT_FALSE(run.start());
    EXPECT_TRUE(run.view.shown.empty());
    EXPECT_TRUE(run.session->entryUnderWay());
    answer.set_value();
    run.waitForEntries();
}

TEST_F(SessionTest, TheFileDialogShowsTheXlsFilterFirstAndCancelKeepsAnEmptyPath) {
    ASSERT_TRUE(start());
    view.focus.reset();
    session->chooseWorkbook();  // no file chosen: Cancel
    ASSERT_EQ(view.filters.size(), 2u);
    for (const auto& filter : view.filters)
        EXPECT_EQ(filter,
                  u"ｴｸｾﾙ ﾌﾞｯｸ (*.xls)|*.xls|ｴｸｾﾙ ﾌﾞｯｸ (*.xlsx;*.xlsm)|*.xlsx;*.xlsm|"
                  u"OpenDocument 表計算 (*.ods)|*.ods|すべてのファイル (*.*)|*.*");
    EXPECT_EQ(session->chosenBook(), u"");
    EXPECT_EQ(view.focus, Focus::Enter);
    // Entries go on into the workbook linked at start-up.
    enter(u"そのまま");
    EXPECT_EQ(sheet.cells[u"A2"], u"そのまま");
}

TEST_F(SessionTest, AlwaysOnTopTogglesForTheRunAndMovesNothing) {
    ASSERT_TRUE(start());
    view.focus.reset();
    for (const bool expected : {true, false, true}) {
        session->toggleAlwaysOnTop();
        EXPECT_EQ(view.onTop, expected);
        EXPECT_EQ(session->alwaysOnTop(), expected);
    }
    EXPECT_FALSE(view.focus.has_value());
    EXPECT_TRUE(view.shown.empty());
    // A new window of the next run starts without it: nothing is stored.
    wordpour::testing::SessionRun next;
    EXPECT_FALSE(next.session->alwaysOnTop());
}

TEST_F(SessionTest, EachCommandLeavesTheFocusWhereTheTableSays) {
    ASSERT_TRUE(start());
    writeBytes("List", "x\r\n");
    struct Case {
        const char* what;
        std::function<void()> prepare;
        void (EntrySession::*handler)();
        std::optional<Focus> focus;  // nothing: not moved
    };
    const Case cases[] = {
        {"add", [&] { view.replies.push_back(u"w"); }, &EntrySession::addWord, Focus::Enter},
        {"add, Cancel", [] {}, &EntrySession::addWord, Focus::Enter},
        {"delete", [] {}, &EntrySession::deleteWord, Focus::Enter},
        {"load, Yes", [&] { view.answers.push_back(Answer::Yes); }, &EntrySession::loadList,
         std::nullopt},
        {"load, No", [&] { view.answers.push_back(Answer::No); }, &EntrySession::loadList,
         std::nullopt},
        {"save, Yes", [&] { view.answers.push_back(Answer::Yes); }, &EntrySession::saveList,
         Focus::Enter},
        {"save, No", [&] { view.answers.push_back(Answer::No); }, &EntrySession::saveList,
         std::nullopt},
        {"cell position", [] {}, &EntrySession::showCellPosition, std::nullopt},
        {"display", [] {}, &EntrySession::showList, Focus::Enter},
        {"file selection", [&] { view.fileNames.push_back(u"other.xls"); },
         &EntrySession::chooseWorkbook, Focus::Enter},
        {"version", [] {}, &EntrySession::showAbout, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        view.focus.reset();
        c.prepare();
        (session.get()->*c.handler)();
        EXPECT_EQ(view.focus, c.focus);
    }
    EXPECT_EQ(session->chosenBook(), u"other.xls");  // remembered, nothing opened again
    EXPECT_EQ(std::count(sheet.calls.begin(), sheet.calls.end(), u"open book.xls"), 1);
    EXPECT_EQ(view.cellPositionShown, 1);
    EXPECT_EQ(view.aboutShown, 1);
}

TEST_F(SessionTest, ConfirmationsAskWithTheirTextsAndNoChangesNothing) {
    ASSERT_TRUE(start());
    writeBytes("List", "x\r\n");
    add({u"a"});
    struct Case {
        void (EntrySession::*handler)();
        std::u16string prompt, title;
    };
    for (const Case& c :
         {Case{&EntrySession::loadList, u"ﾘｽﾄをﾛｰﾄﾞします。\rよろしいですか？", u"ﾘｽﾄを開く"},
          Case{&EntrySession::saveList, u"現在のﾘｽﾄを保存します。\rよろしいですか？",
               u"ﾘｽﾄの保存"}}) {
        view.shown.clear();
        view.answers = {Answer::No};
        (session.get()->*c.handler)();
        ASSERT_EQ(view.shown.size(), 1u);
        EXPECT_EQ(view.shown[0].prompt, c.prompt);
        EXPECT_EQ(view.shown[0].style.value(), 20);
        EXPECT_EQ(view.shown[0].title, c.title);
        EXPECT_EQ(view.items, Words{u"a"});
        EXPECT_EQ(bytesOf("List"), "x\r\n");
    }
}

TEST_F(SessionTest, TheWordListCommands) {
    ASSERT_TRUE(start());
    // Add: the reply at the end, unchanged; Cancel adds nothing.
    view.replies = {u"b", std::u16string(), std::nullopt, u"b"};
    for (int i = 0; i < 4; ++i) session->addWord();
    EXPECT_EQ(view.items, (Words{u"b", u"", u"b"}));
    EXPECT_EQ(view.asked[0], u"ﾘｽﾄに追加する単語を入力してください。|ﾘｽﾄに追加|");
    // Delete: exactly the entry shown, not its twin; nothing for typed text.
    view.pick(2);
    session->deleteWord();
    EXPECT_EQ(view.items, (Words{u"b", u""}));
    view.typed = u"b ";
    view.current = 0;
    session->deleteWord();
    EXPECT_EQ(view.items, (Words{u"b", u""}));
    // Display: each entry and LF; an empty list says so.
    session->showList();
    EXPECT_EQ(view.shown.back().prompt, u"b\n\n");
    EXPECT_EQ(view.shown.back().title, u"現在のリスト項目");
    EXPECT_EQ(view.shown.back().style.value(), 0);
    view.pick(0);
    session->deleteWord();
    view.pick(0);
    session->deleteWord();
    session->showList();
    EXPECT_EQ(view.shown.back().prompt, u"登録されている項目はありません。");
}

TEST_F(SessionTest, SaveAndLoadKeepTheirPromises) {
    ASSERT_TRUE(start());
    // An empty list writes nothing: the old List keeps its words.
    writeBytes("List", "keep\r\n");
    view.answers = {Answer::Yes};
    session->saveList();
    EXPECT_EQ(bytesOf("List"), "keep\r\n");
    // Save, then load twice: appended after what is there, every time.
    add({u"りんご", u"", u"～①"});
    view.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    session->saveList();
    EXPECT_EQ(bytesOf("List"), "\x82\xE8\x82\xF1\x82\xB2\r\n\r\n\x81\x60\x87\x40\r\n");
    session->loadList();
    EXPECT_EQ(view.items.size(), 6u);
    // The cap: a load that would pass 32,767 entries adds none of them.
    std::string many;
    for (int i = 0; i < 32766 - 6; ++i) many += "w\r\n";
    writeBytes("List", many);
    view.answers = {Answer::Yes};
    session->loadList();
    ASSERT_EQ(session->words().size(), 32766u);
    writeBytes("List", "x\r\ny\r\n");
    view.answers = {Answer::Yes, Answer::Ok};
    session->loadList();
    EXPECT_EQ(view.items.size(), 32766u);
    EXPECT_NE(view.shown.back().prompt.find(u"読み込みません"), std::u16string::npos);
    view.replies = {u"last", u"one too many"};
    session->addWord();
    session->addWord();
    EXPECT_EQ(view.items.size(), 32767u);
    EXPECT_EQ(view.items.back(), u"last");
}

TEST_F(SessionTest, EntriesGoOneRowDownOneAtATime) {
    ASSERT_TRUE(start());
    sheet.calls.clear();
    enter(u"りんご");
    enter(u"=1+1");
    const Words written = {u"range A2", u"value りんご", u"visible 1",
                           u"range A3", u"value =1+1",   u"visible 1"};
    EXPECT_EQ(sheet.calls, written);
    EXPECT_EQ(sheet.cells[u"A2"], u"りんご");
    EXPECT_EQ(sheet.cells[u"A3"], u"=1+1");
    EXPECT_EQ(session->cellName(), u"A3");
    EXPECT_EQ(view.focus, Focus::Enter);
    EXPECT_FALSE(view.waiting);
    // The first entry showed the hidden spreadsheet: the keyboard is taken
    // back from it once; the second found it shown.
    EXPECT_EQ(view.focusTakenBack, 1);

    // A press while the spreadsheet has not answered starts nothing.
    std::promise<void> answer;
    std::shared_future<void> answered = answer.get_future().share();
    sheet.beforeCall = [answered](const std::u16string& call) {
        if (call.starts_with(u"value")) answered.wait();
    };
    view.typed = u"遅い";
    session->enterWord();
    EXPECT_TRUE(view.waiting);
    session->enterWord();
    // Meanwhile the word list, the about box and the cell-position dialog work.
    view.replies = {u"追加"};
    session->addWord();
    session->showList();
    EXPECT_EQ(view.shown.back().prompt, u"追加\n");
    session->showAbout();
    session->showCellPosition();
    EXPECT_EQ(view.aboutShown, 1);
    EXPECT_EQ(session->cellName(), u"A3");
    EXPECT_TRUE(session->entryUnderWay());
    answer.set_value();
    waitForEntries();
    sheet.beforeCall = nullptr;
    EXPECT_EQ(std::count(sheet.calls.begin(), sheet.calls.end(), u"value 遅い"), 1);
    EXPECT_EQ(session->cellName(), u"A4");
    EXPECT_FALSE(view.waiting);
}

TEST_F(SessionTest, ANameSetWhileAnEntryIsUnderWayStands) {
    ASSERT_TRUE(start());
    std::promise<void> answer;
    std::shared_future<void> answered = answer.get_future().share();
    sheet.beforeCall = [answered](const std::u16string& call) {
        if (call.starts_with(u"value")) answered.wait();
    };
    view.typed = u"遅い";
    session->enterWord();
    session->setCellName(u"C9");  // typed into the cell-position dialog meanwhile
    answer.set_value();
    waitForEntries();
    sheet.beforeCall = nullptr;
    EXPECT_EQ(sheet.cells[u"A2"], u"遅い");
    EXPECT_EQ(session->cellName(), u"C9");
    enter(u"次");
    EXPECT_EQ(sheet.cells[u"C10"], u"次");
    EXPECT_EQ(session->cellName(), u"C10");
    EXPECT_EQ(view.cellName, u"C10");
}

TEST_F(SessionTest, RefusedAndFailedEntriesSayWhyWriteNothingAndKeepTheName) {
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
        if (!c.failAt.empty())
            sheet.failures[c.failAt] = wordpour::link::spreadsheet::Failure::Disconnected;
        view.shown.clear();
        session->setCellName(c.name);
        enter(c.word);
        ASSERT_EQ(view.shown.size(), 1u);
        EXPECT_NE(view.shown[0].prompt.find(c.says), std::u16string::npos);
        if (!c.title.empty()) {
            EXPECT_EQ(view.shown[0].title, c.title);
        }
        if (c.failAt.empty()) {
            EXPECT_TRUE(sheet.calls.empty());
        }
        EXPECT_EQ(session->cellName(), c.name);
        EXPECT_EQ(view.focus, Focus::Enter);
        EXPECT_FALSE(view.quitAsked);
    }
    // An empty name counts as A1.
    session->setCellName(u"");
    enter(u"x");
    EXPECT_EQ(session->cellName(), u"A2");
    EXPECT_EQ(view.cellName, u"A2");
    // Mended, the entry goes on from the name.
    sheet.failures.clear();
    session->setCellName(u"B5");
    enter(u"x");
    EXPECT_EQ(session->cellName(), u"B6");
}

}  // namespace
