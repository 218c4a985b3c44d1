// The entry session against a real headless LibreOffice: a frozen office
// never holds the window, and a lost workbook is linked again with its
// entries offered back.
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/form/entry_session.h"
#include "tests/app/form/memory_view.h"
#include "tests/support/entry_steps.h"
#include "tests/support/test_office.h"

namespace {

using wordpour::testing::pipeFor;
using wordpour::testing::TempDir;
using wordpour::testing::TestOffice;
using wordpour::testing::u16;
using wordpour::testing::utf8;

TEST(CalcFrozenOffice, AStartUpTheOfficeDoesNotAnswerCanBeGivenUp) {
    TestOffice frozen(pipeFor("startup"));
    TempDir dir;
    const std::string path = dir.path() + "/startup.xls";
    frozen.createWorkbook(path, {u"Sheet1"});
    setenv("WORDPOUR_PIPE", frozen.pipe().c_str(), 1);

    wordpour::testing::MemoryView view;
    view.giveUpAfter = std::chrono::milliseconds(1500);  // 中止, once the window shows
    auto session =
        std::make_unique<wordpour::form::EntrySession>(view, wordpour::testing::programBackend());
    view.fileNames.push_back(u16(path));
    frozen.stop();
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(session->start());
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(3));
    ASSERT_EQ(view.waitedWith.size(), 1u);
    EXPECT_TRUE(view.shown.empty());
    EXPECT_TRUE(session->entryUnderWay());  // the program would end at once
    frozen.resume();
    view.runPosted([&] { return session->entryUnderWay(); }, std::chrono::seconds(60));
    session.reset();
}

TEST(CalcFrozenOffice, QuitEndsWithinASecondWhileTheOfficeDoesNotAnswer) {
    TestOffice frozen(pipeFor("quit"));
    TempDir dir;
    const std::string path = dir.path() + "/quit.xls";
    frozen.createWorkbook(path, {u"Sheet1"});
    setenv("WORDPOUR_PIPE", frozen.pipe().c_str(), 1);

    wordpour::testing::MemoryView view;
    auto session =
        std::make_unique<wordpour::form::EntrySession>(view, wordpour::testing::programBackend());
    view.fileNames.push_back(u16(path));
    ASSERT_TRUE(session->start());
    frozen.stop();
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(session->release(std::chrono::milliseconds(800)));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1));
    // Thawed, the release the office was given ends, and so can the session.
    frozen.resume();
    session.reset();
}

// The office killed with two entries unsaved and started again by the
// person, or the workbook closed unsaved: the next entry links again, asks
// to open the workbook, offers back what it lost, and writes each word once.
TEST(CalcRelink, AfterACrashOrAnUnsavedCloseTheLostEntriesComeBackOnce) {
    TestOffice office(pipeFor("relink"));
    TempDir dir;
    const std::string path = dir.path() + "/relink.xls";
    office.createWorkbook(path, {u"Sheet1"});
    setenv("WORDPOUR_PIPE", office.pipe().c_str(), 1);

    wordpour::testing::MemoryView view;
    view.journalAt = dir.path() + "/journal";
    wordpour::form::EntrySession session(view, wordpour::testing::programBackend());
    view.fileNames.push_back(u16(path));
    ASSERT_TRUE(session.start());
    const auto enter = [&](std::u16string word) {
        view.typed = std::move(word);
        session.enterWord();
        view.runPosted([&] { return session.entryUnderWay(); }, std::chrono::seconds(90));
    };
    const auto column = [&](int rows) {
        std::string cells;
        for (int row = 2; row <= rows + 1; ++row)
            cells += utf8(office.cell(path, u"Sheet1", u"A" + u16(std::to_string(row))).text) + " ";
        return cells;
    };
    enter(u"一");
    enter(u"二");

    struct Step {
        const char* what;
        void (*loss)(TestOffice&, const std::string&);
        const char16_t* word;
        const char* cells;
    };
    const Step steps[] = {
        {"killed and started again, its lock left beside the file",
         [](TestOffice& o, const std::string&) {
             o.kill();
             o.restart();
         },
         u"三", "一 二 三 "},
        {"closed unsaved by the person", [](TestOffice& o, const std::string& p) { o.close(p); },
         u"四", "一 二 三 四 "},
    };
    int rows = 3;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.loss(office, path);
        view.shown.clear();
        view.answers = {wordpour::form::Answer::Yes, wordpour::form::Answer::Yes};
        enter(step.word);
        ASSERT_EQ(view.shown.size(), 2u) << utf8(view.shown.back().prompt);
        EXPECT_NE(utf8(view.shown[0].prompt).find("閉じられています"), std::string::npos);
        EXPECT_NE(utf8(view.shown[1].prompt).find("件の入力がブックに残っていません"),
                  std::string::npos);
        EXPECT_EQ(column(rows + 1), std::string(step.cells) + " ");
        EXPECT_EQ(office.countOpen(path), 1);
        ++rows;
    }
}

}  // namespace
