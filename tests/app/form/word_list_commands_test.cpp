// The word-list commands of the main window's logic with real files: what
// they write, what they refuse, and what they leave as it was.
#include <functional>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "tests/app/form/session_fixture.h"

namespace {

using wordpour::form::Answer;
using wordpour::form::EntrySession;
using wordpour::form::Focus;
using wordpour::testing::bytesOf;
using wordpour::testing::SessionTest;
using wordpour::testing::Words;
using wordpour::testing::writeBytes;
namespace fs = std::filesystem;

bool contains(const std::u16string& text, std::u16string_view part) {
    return text.find(part) != std::u16string::npos;
}

TEST_F(SessionTest, SaveWritesEveryEntryInCodePage932AndLoadAppendsThemKeepingTheText) {
    ASSERT_TRUE(start());
    // Nothing to save: no List is made, and the user is told so.
    view.answers = {Answer::Yes};
    session->saveList();
    EXPECT_FALSE(fs::exists("List"));
    ASSERT_EQ(view.shown.size(), 2u);
    EXPECT_EQ(view.shown[1].prompt,
              u"リストに単語がないので、保存しません。「List」は変更していません。");
    EXPECT_EQ(view.shown[1].title, u"ﾘｽﾄの保存");
    EXPECT_EQ(view.focus, Focus::Enter);

    add({u"りんご", u"", u"～①髙ﾘｽﾄ\\"});
    view.answers = {Answer::Yes};
    session->saveList();
    EXPECT_EQ(bytesOf("List"),
              "\x82\xE8\x82\xF1\x82\xB2\r\n\r\n\x81\x60\x87\x40\xFB\xFC\xD8\xBD\xC4\x5C\r\n");

    // The next run loads it after its own words, twice.
    wordpour::testing::SessionRun next;
    ASSERT_TRUE(next.start());
    next.add({u"前"});
    next.view.typed = u"typed";
    next.view.answers = {Answer::Yes, Answer::Yes};
    next.session->loadList();
    next.session->loadList();
    const Words loaded = {u"前", u"りんご", u"", u"～①髙ﾘｽﾄ\\", u"りんご", u"", u"～①髙ﾘｽﾄ\\"};
    EXPECT_EQ(next.session->words(), loaded);
    EXPECT_EQ(next.view.items, loaded);
    EXPECT_EQ(next.view.typed, u"typed");
}

TEST_F(SessionTest, FileFaultsAreReportedAndChangeNothing) {
    struct Case {
        const char* why;
        void (EntrySession::*handler)();
        std::function<void(wordpour::testing::SessionRun&)> prepare;
        std::u16string says;
    };
    const Case cases[] = {
        {"no List yet", &EntrySession::loadList, [](auto&) {}, u"がありません"},
        {"List is a folder", &EntrySession::loadList, [](auto&) { fs::create_directory("List"); },
         u"フォルダー"},
        {"not code page 932", &EntrySession::loadList,
         [](auto&) { writeBytes("List", "ok\r\n\x85\x40\r\n"); }, u"シフトJIS"},
        {"List is a folder at save", &EntrySession::saveList,
         [](auto&) { fs::create_directory("List"); }, u"保存できません"},
        {"an entry code page 932 cannot hold", &EntrySession::saveList,
         [](auto& run) {
             writeBytes("List", "old\r\n");
             run.add({u"絵文字😀"});
         },
         u"単語「絵文字😀」（2番目）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        fs::remove_all("List");
        wordpour::testing::SessionRun run;
        ASSERT_TRUE(run.start());
        run.add({u"既存"});
        c.prepare(run);
        const Words before = run.session->words();
        const std::string file = fs::is_regular_file("List") ? bytesOf("List") : "<none>";
        run.view.answers = {Answer::Yes, Answer::Ok};
        (run.session.get()->*c.handler)();
        ASSERT_EQ(run.view.shown.size(), 2u);
        EXPECT_TRUE(contains(run.view.shown[1].prompt, c.says));
        EXPECT_EQ(run.session->words(), before);
        EXPECT_EQ(run.view.items, before);
        EXPECT_EQ(fs::is_regular_file("List") ? bytesOf("List") : "<none>", file);
        EXPECT_FALSE(run.view.quitAsked);
    }
}

#ifndef _WIN32
TEST_F(SessionTest, AReadOnlyFolderKeepsTheOldList) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    ASSERT_TRUE(start());
    writeBytes("List", "old\r\n");
    chmod(".", 0500);
    add({u"new"});
    view.answers = {Answer::Yes, Answer::Ok};
    session->saveList();
    chmod(".", 0700);
    EXPECT_EQ(view.shown.size(), 2u);
    EXPECT_EQ(bytesOf("List"), "old\r\n");
}
#endif

TEST_F(SessionTest, AddAppendsTheReplyAndCancelAddsNothing) {
    struct Case {
        const char* why;
        std::optional<std::u16string> reply;
        Words after;
    };
    const Case cases[] = {
        {"a new word at the end", u"word", {u"a", u"word"}},
        {"a twin is kept", u"a", {u"a", u"a"}},
        {"OK with nothing adds an empty entry", u"", {u"a", u""}},
        {"Cancel adds nothing", std::nullopt, {u"a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        wordpour::testing::SessionRun run;
        ASSERT_TRUE(run.start());
        run.add({u"a"});
        run.view.typed = u"typed";
        run.view.replies = {c.reply};
        run.view.focus.reset();
        run.session->addWord();
        EXPECT_EQ(run.session->words(), c.after);
        EXPECT_EQ(run.view.items, c.after);
        EXPECT_EQ(run.view.focus, Focus::Enter);
        EXPECT_EQ(run.view.typed, u"typed");
    }
}

TEST_F(SessionTest, TheListHoldsAtMost32767Entries) {
    ASSERT_TRUE(start());
    std::string many;
    for (int i = 0; i < 32766; ++i) many += "w\r\n";
    writeBytes("List", many);
    view.answers = {Answer::Yes};
    session->loadList();
    ASSERT_EQ(view.items.size(), 32766u);
    writeBytes("List", "x\r\ny\r\n");
    view.answers = {Answer::Yes, Answer::Ok};
    session->loadList();  // 32766 + 2 would pass the cap: nothing added
    EXPECT_EQ(view.items.size(), 32766u);
    view.replies = {u"last", u"over"};
    session->addWord();
    EXPECT_EQ(view.items.size(), 32767u);
    view.shown.clear();
    view.focus.reset();
    session->addWord();
    EXPECT_EQ(view.items.size(), 32767u);
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_TRUE(contains(view.shown[0].prompt, u"32767"));
    EXPECT_EQ(view.focus, Focus::Enter);
}

TEST_F(SessionTest, ALongEntryLoadsSavesAndIsDeletedLikeAnyOther) {
    ASSERT_TRUE(start());
    // One entry of a million characters, two bytes each in code page 932.
    std::string longLine;
    for (int i = 0; i < 1000000; ++i) longLine += "\x92\xB7";
    const std::string file = longLine + "\r\nshort\r\n";
    writeBytes("List", file);
    view.answers = {Answer::Yes};
    session->loadList();
    ASSERT_EQ(view.items.size(), 2u);
    EXPECT_EQ(view.items[0], std::u16string(1000000, u'長'));
    fs::remove("List");
    view.answers = {Answer::Yes};
    session->saveList();
    EXPECT_EQ(bytesOf("List"), file);
    view.pick(0);
    session->deleteWord();
    EXPECT_EQ(view.items, Words{u"short"});
}

TEST_F(SessionTest, DeleteRemovesExactlyTheSelectedEntryAndNothingForTypedText) {
    ASSERT_TRUE(start());
    add({u"a", u"b", u"a"});
    view.pick(2);
    session->deleteWord();
    EXPECT_EQ(view.items, (Words{u"a", u"b"}));
    EXPECT_EQ(view.focus, Focus::Enter);
    view.typed = u"zzz";
    view.current = -1;
    view.focus.reset();
    session->deleteWord();
    EXPECT_EQ(view.items.size(), 2u);
    EXPECT_EQ(view.focus, Focus::Enter);
    EXPECT_TRUE(view.shown.empty());
}

TEST_F(SessionTest, DisplayShowsEachEntryFollowedByLf) {
    struct Case {
        const char* why;
        Words entries;
        std::u16string text;
    };
    const Case cases[] = {
        {"an empty list says so", {}, u"登録されている項目はありません。"},
        {"each entry and LF", {u"一", u"二"}, u"一\n二\n"},
        {"an empty entry is a line", {u""}, u"\n"},
        {"a huge entry is cut in the display only, its length said",
         {std::u16string(200'000, u'長'), u"次"},
         std::u16string(1000, u'長') + u"…（全200000文字）\n次\n"},
        {"never inside a surrogate pair",
         {std::u16string(999, u'a') + u"😀" + std::u16string(5000, u'b')},
         std::u16string(999, u'a') + u"…（全6001文字）\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        wordpour::testing::SessionRun run;
        ASSERT_TRUE(run.start());
        run.add(c.entries);
        run.view.focus.reset();
        run.session->showList();
        ASSERT_EQ(run.view.shown.size(), 1u);
        EXPECT_EQ(run.view.shown[0].prompt, c.text);
        EXPECT_EQ(run.view.shown[0].style.value(), 0);
        EXPECT_EQ(run.view.shown[0].title, u"現在のリスト項目");
        EXPECT_EQ(run.view.focus, Focus::Enter);
    }
}

}  // namespace
