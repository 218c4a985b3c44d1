// The word-list commands of the main window's logic with real files: what
// they write, what they refuse, and what they leave as it was.
#include <functional>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "tests/app/form1_fixture.h"

namespace {

using wordpour::app::Focus;
using wordpour::app::Form1;
using wordpour::link::Answer;
using wordpour::testing::bytesOf;
using wordpour::testing::Form1Test;
using wordpour::testing::Words;
using wordpour::testing::writeBytes;
namespace fs = std::filesystem;

bool contains(const std::u16string& text, std::u16string_view part) {
    return text.find(part) != std::u16string::npos;
}

TEST_F(Form1Test, SaveWritesEveryEntryInCodePage932AndLoadAppendsThemKeepingTheText) {
    ASSERT_TRUE(start());
    // Nothing to save: no List is made.
    view.answers = {Answer::Yes};
    form->Command5_Click();
    EXPECT_FALSE(fs::exists("List"));
    EXPECT_EQ(view.focus, Focus::Enter);

    view.items = {u"りんご", u"", u"～①髙ﾘｽﾄ\\"};
    view.answers = {Answer::Yes};
    form->Command5_Click();
    EXPECT_EQ(bytesOf("List"),
              "\x82\xE8\x82\xF1\x82\xB2\r\n\r\n\x81\x60\x87\x40\xFB\xFC\xD8\xBD\xC4\x5C\r\n");

    view.items = {u"前"};
    view.typed = u"typed";
    view.answers = {Answer::Yes, Answer::Yes};
    form->Command3_Click();
    form->Command3_Click();
    EXPECT_EQ(view.items,
              (Words{u"前", u"りんご", u"", u"～①髙ﾘｽﾄ\\", u"りんご", u"", u"～①髙ﾘｽﾄ\\"}));
    EXPECT_EQ(view.typed, u"typed");
}

TEST_F(Form1Test, FileFaultsAreReportedAndChangeNothing) {
    struct Case {
        const char* why;
        void (Form1::*handler)();
        std::function<void()> prepare;
        std::u16string says;
    };
    const Case cases[] = {
        {"no List yet", &Form1::Command3_Click, [] {}, u"がありません"},
        {"List is a folder", &Form1::Command3_Click, [] { fs::create_directory("List"); },
         u"フォルダー"},
        {"not code page 932", &Form1::Command3_Click,
         [] { writeBytes("List", "ok\r\n\x85\x40\r\n"); }, u"シフトJIS"},
        {"List is a folder at save", &Form1::Command5_Click, [] { fs::create_directory("List"); },
         u"保存できません"},
        {"an entry code page 932 cannot hold", &Form1::Command5_Click,
         [this] {
             writeBytes("List", "old\r\n");
             view.items.push_back(u"絵文字😀");
         },
         u"単語「絵文字😀」（2番目）"},
    };
    ASSERT_TRUE(start());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        fs::remove_all("List");
        view.items = {u"既存"};
        view.shown.clear();
        c.prepare();
        const Words before = view.items;
        const std::string file = fs::is_regular_file("List") ? bytesOf("List") : "<none>";
        view.answers = {Answer::Yes, Answer::Ok};
        (form.get()->*c.handler)();
        ASSERT_EQ(view.shown.size(), 2u);
        EXPECT_TRUE(contains(view.shown[1].prompt, c.says));
        EXPECT_EQ(view.items, before);
        EXPECT_EQ(fs::is_regular_file("List") ? bytesOf("List") : "<none>", file);
        EXPECT_FALSE(view.quitAsked);
    }
}

#ifndef _WIN32
TEST_F(Form1Test, AReadOnlyFolderKeepsTheOldList) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    ASSERT_TRUE(start());
    writeBytes("List", "old\r\n");
    chmod(".", 0500);
    view.items = {u"new"};
    view.answers = {Answer::Yes, Answer::Ok};
    form->Command5_Click();
    chmod(".", 0700);
    EXPECT_EQ(view.shown.size(), 2u);
    EXPECT_EQ(bytesOf("List"), "old\r\n");
}
#endif

TEST_F(Form1Test, AddAppendsTheReplyAndCancelAddsNothing) {
    struct Case {
        std::optional<std::u16string> reply;
        Words after;
    };
    const Case cases[] = {
        {u"word", {u"a", u"word"}},
        {u"a", {u"a", u"a"}},
        {u"", {u"a", u""}},
        {std::nullopt, {u"a"}},
    };
    ASSERT_TRUE(start());
    for (const Case& c : cases) {
        view.items = {u"a"};
        view.typed = u"typed";
        view.replies = {c.reply};
        view.focus.reset();
        form->Command1_Click();
        EXPECT_EQ(view.items, c.after);
        EXPECT_EQ(view.focus, Focus::Enter);
        EXPECT_EQ(view.typed, u"typed");
    }
}

TEST_F(Form1Test, TheListHoldsAtMost32767Entries) {
    ASSERT_TRUE(start());
    view.items.assign(32766, u"w");
    writeBytes("List", "x\r\ny\r\n");
    view.answers = {Answer::Yes, Answer::Ok};
    form->Command3_Click();  // 32766 + 2 would pass the cap: nothing added
    EXPECT_EQ(view.items.size(), 32766u);
    view.replies = {u"last", u"over"};
    form->Command1_Click();
    EXPECT_EQ(view.items.size(), 32767u);
    view.shown.clear();
    view.focus.reset();
    form->Command1_Click();
    EXPECT_EQ(view.items.size(), 32767u);
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_TRUE(contains(view.shown[0].prompt, u"32767"));
    EXPECT_EQ(view.focus, Focus::Enter);
}

TEST_F(Form1Test, ALongEntryLoadsSavesAndIsDeletedLikeAnyOther) {
    ASSERT_TRUE(start());
    // One entry of a million characters, two bytes each in code page 932.
    std::string longLine;
    for (int i = 0; i < 1000000; ++i) longLine += "\x92\xB7";
    const std::string file = longLine + "\r\nshort\r\n";
    writeBytes("List", file);
    view.answers = {Answer::Yes};
    form->Command3_Click();
    ASSERT_EQ(view.items.size(), 2u);
    EXPECT_EQ(view.items[0], std::u16string(1000000, u'長'));
    fs::remove("List");
    view.answers = {Answer::Yes};
    form->Command5_Click();
    EXPECT_EQ(bytesOf("List"), file);
    view.pick(0);
    form->Command2_Click();
    EXPECT_EQ(view.items, Words{u"short"});
}

TEST_F(Form1Test, DeleteRemovesExactlyTheSelectedEntryAndNothingForTypedText) {
    ASSERT_TRUE(start());
    view.items = {u"a", u"b", u"a"};
    view.pick(2);
    form->Command2_Click();
    EXPECT_EQ(view.items, (Words{u"a", u"b"}));
    EXPECT_EQ(view.focus, Focus::Enter);
    view.typed = u"zzz";
    view.current = -1;
    view.focus.reset();
    form->Command2_Click();
    EXPECT_EQ(view.items.size(), 2u);
    EXPECT_EQ(view.focus, Focus::Enter);
    EXPECT_TRUE(view.shown.empty());
}

TEST_F(Form1Test, DisplayShowsEachEntryFollowedByLf) {
    struct Case {
        Words entries;
        std::u16string text;
    };
    const Case cases[] = {
        {{}, u"登録されている項目はありません。"},
        {{u"一", u"二"}, u"一\n二\n"},
        {{u""}, u"\n"},
    };
    ASSERT_TRUE(start());
    for (const Case& c : cases) {
        view.items = c.entries;
        view.shown.clear();
        view.focus.reset();
        form->Command7_Click();
        ASSERT_EQ(view.shown.size(), 1u);
        EXPECT_EQ(view.shown[0].prompt, c.text);
        EXPECT_EQ(view.shown[0].style.value(), 0);
        EXPECT_EQ(view.shown[0].title, u"現在のリスト項目");
        EXPECT_EQ(view.focus, Focus::Enter);
    }
}

}  // namespace
