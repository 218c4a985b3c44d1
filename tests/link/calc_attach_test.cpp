// Attaching to an office a person opened the usual way, without --accept,
// and starting one when none runs, against real headless LibreOffices with
// profiles of their own.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <com/sun/star/frame/Desktop.hpp>

#include "link/spreadsheet/calc/office_process.h"
#include "link/spreadsheet/calc/uno_connection.h"
#include "link/workbook_link.h"
#include "tests/support/entry_steps.h"
#include "tests/support/test_office.h"

namespace {

using wordpour::link::StartupError;
using wordpour::link::WorkbookLink;
using wordpour::link::spreadsheet::Failure;
using wordpour::link::spreadsheet::calc::attachRunning;
using wordpour::link::spreadsheet::calc::findOffice;
using wordpour::link::spreadsheet::calc::officeProcesses;
using wordpour::link::spreadsheet::calc::officeProgram;
using wordpour::link::spreadsheet::calc::pipeSocketPath;
using wordpour::link::spreadsheet::calc::socketAnswers;
using wordpour::link::spreadsheet::calc::startApplication;
using wordpour::testing::enterWord;
using wordpour::testing::MemoryBox;
using wordpour::testing::pipeFor;
using wordpour::testing::TempDir;
using wordpour::testing::TestOffice;
using wordpour::testing::u16;

bool listens(const std::string& pipe) {
    return socketAnswers(pipeSocketPath(u16(pipe)));
}

class CalcAttach : public ::testing::Test {
protected:
    // An office that listens from the start makes the workbooks.
    static void SetUpTestSuite() {
        maker_ = new TestOffice(pipeFor("maker"));
        dir_ = new TempDir();
    }
    static void TearDownTestSuite() {
        delete maker_;
        delete dir_;
    }
    void TearDown() override {
        unsetenv("WORDPOUR_PIPE");
        unsetenv("WORDPOUR_OFFICE_ARGS");
    }

    std::string book(const char* name) {
        const std::string path = dir_->path() + "/" + name;
        maker_->createWorkbook(path, {u"sheet1"});
        return path;
    }

    static TestOffice* maker_;
    static TempDir* dir_;
};
TestOffice* CalcAttach::maker_ = nullptr;
TempDir* CalcAttach::dir_ = nullptr;

TEST_F(CalcAttach, AnOfficeOpenedWithoutAcceptIsAskedToListenAndNothingElseStarts) {
    const std::string path = book("opened.xls");
    TestOffice person(pipeFor("person"), TestOffice::Listen::WhenAsked);
    setenv("WORDPOUR_PIPE", person.pipe().c_str(), 1);
    setenv("WORDPOUR_OFFICE_ARGS", ("-env:UserInstallation=" + person.profileUrl()).c_str(), 1);
    ASSERT_FALSE(listens(person.pipe()));
    const auto before = officeProcesses(person.profileUrl());
    ASSERT_EQ(before.size(), 1u);

    WorkbookLink link(wordpour::testing::programBackend(true));
    ASSERT_FALSE(link.start(u16(path), u"A1"));
    MemoryBox name(u"A1");
    EXPECT_EQ(enterWord(link, name, u"東京"), std::nullopt);

    EXPECT_TRUE(listens(person.pipe()));
    EXPECT_EQ(officeProcesses(person.profileUrl()), before);  // the same office, no other
    person.connectWhenListening();
    EXPECT_EQ(person.cell(path, u"sheet1", u"A2").text, u"東京");
    // Nothing else opened: the workbook is its only document.
    EXPECT_EQ(person.countOpen(path), 1);
    EXPECT_EQ(person.documentCount(), 1);
    link.release();
}

TEST_F(CalcAttach, AnOfficeOfAnotherProfileIsNamedAndNoSecondOneStarts) {
    // Wordpour told of no profile: the user's default one, where none runs
    // (a home of the test's own), while the suite's office runs with its own.
    TempDir home;
    const char* realHome = std::getenv("HOME");
    const std::string savedHome = realHome != nullptr ? realHome : "";
    setenv("HOME", home.path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    setenv("WORDPOUR_PIPE", pipeFor("other").c_str(), 1);
    const std::string path = book("other.xls");
    WorkbookLink link(wordpour::testing::programBackend(true));
    if (const auto failed = link.start(u16(path), u"A1"); !failed) {
        ADD_FAILURE() << "started";
    } else {
        const StartupError& error = *failed;
        EXPECT_EQ(error.kind, wordpour::link::StartupError::Kind::Spreadsheet);  // no question
        ASSERT_TRUE(error.cause);
        EXPECT_EQ(error.cause->failure(), Failure::OtherProfile);
        // The profile in use, for the person to name or to end.
        EXPECT_EQ(wordpour::testing::utf8(error.cause->subject()), maker_->profileUrl());
    }
    EXPECT_FALSE(listens(pipeFor("other")));
    setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(CalcAttach, WithNoOfficeRunningNothingStartsUntilAsked) {
    const std::string path = book("later.xls");
    TempDir profile;
    const std::string url = "file://" + profile.path() + "/user";
    setenv("WORDPOUR_PIPE", pipeFor("nobody").c_str(), 1);
    setenv("WORDPOUR_OFFICE_ARGS",
           ("-env:UserInstallation=" + url + " --headless --invisible --norestore").c_str(), 1);

    // Attaching finds no office: it says one could be started, and starts none.
    try {
        attachRunning();
        ADD_FAILURE() << "attached to nothing";
    } catch (const wordpour::link::spreadsheet::Error& error) {
        EXPECT_EQ(error.failure(), Failure::NotStarted);
    }
    WorkbookLink link(wordpour::testing::programBackend(true));
    if (const auto failed = link.start(u16(path), u"A1"); !failed) {
        ADD_FAILURE() << "started without an office";
    } else {
        const StartupError& error = *failed;
        EXPECT_EQ(error.kind, wordpour::link::StartupError::Kind::StartApplication);
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_TRUE(officeProcesses(url).empty());
    EXPECT_FALSE(findOffice(url).running());

    // Yes: one office starts, listening, and the entry goes in.
    ASSERT_FALSE(link.startApplication());
    const auto started = officeProcesses(url);
    EXPECT_EQ(started.size(), 1u);
    EXPECT_TRUE(listens(pipeFor("nobody")));
    ASSERT_FALSE(link.start(u16(path), u"C3"));
    MemoryBox name(u"C3");
    EXPECT_EQ(enterWord(link, name, u"りんご"), std::nullopt);
    EXPECT_EQ(name.text(), u"C4");
    link.release();

    // The office started here is ended here, by its process id.
    try {
        css::frame::Desktop::create(
            wordpour::link::spreadsheet::calc::connect(u16(pipeFor("nobody"))))
            ->terminate();
    } catch (const css::uno::Exception&) {
        // The bridge goes down as the office ends.
    }
    for (int i = 0; i < 100 && !officeProcesses(url).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (pid_t pid : officeProcesses(url)) ::kill(pid, SIGKILL);
}

TEST_F(CalcAttach, AnOfficeThatCannotBeStartedIsReportedNotWaitedFor) {
    TempDir profile;
    setenv("WORDPOUR_PIPE", pipeFor("broken").c_str(), 1);
    // An option the office refuses: it says so and ends.
    setenv(
        "WORDPOUR_OFFICE_ARGS",
        ("-env:UserInstallation=file://" + profile.path() + " --headless --no-such-option").c_str(),
        1);
    try {
        startApplication();
        ADD_FAILURE() << "reported a start";
    } catch (const wordpour::link::spreadsheet::Error& error) {
        EXPECT_EQ(error.failure(), Failure::EndedEarly);
        EXPECT_GT(error.number(), 0);  // its exit status, which the message gives
    }
    EXPECT_TRUE(officeProcesses("file://" + profile.path()).empty());
}

// Where the office's program is found: on PATH, or in the office's usual
// folder when PATH lacks it; nowhere, and the office is not installed.
TEST(OfficeProgram, OnThePathInItsUsualFolderOrNotInstalled) {
    TempDir dir;
    const std::string bin = dir.path() + "/bin";
    std::filesystem::create_directory(bin);
    const std::string program = bin + "/soffice";
    { std::ofstream(program) << "#!/bin/sh\n"; }
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    EXPECT_EQ(officeProgram("/nowhere:" + bin, "/nowhere/either"), program);
    EXPECT_EQ(officeProgram("/nowhere", bin), program);
    EXPECT_EQ(officeProgram("", "/nowhere/either"), std::nullopt);
}

}  // namespace
