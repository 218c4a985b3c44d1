// The journal: records read back exactly, a damaged or cut record skipped
// and never taking a whole one with it, the size bound by whole files, and
// several writers (processes, or killed in the middle of a write) never
// mixing or losing a complete record.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#ifndef _WIN32
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "journal/journal.h"
#include "journal/unsaved.h"

namespace {

namespace fs = std::filesystem;
using wordpour::journal::decode;
using wordpour::journal::encode;
using wordpour::journal::Journal;
using wordpour::journal::Record;
using Content = wordpour::cells::CellContent;

class TempFolder {
public:
    TempFolder() {
        path_ = fs::temp_directory_path() /
                ("wordpour-journal-" + std::to_string(std::random_device()()));
        fs::create_directory(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

Record numbered(int n, std::size_t wordLength = 8) {
    const std::string digits = std::to_string(n);
    std::u16string word = u"w";
    word.append(digits.begin(), digits.end());
    word.append(wordLength, u'x');
    std::u16string cell = u"A";
    cell += static_cast<char16_t>(u'0' + n % 10);
    return {Record::Kind::Entry,
            1'700'000'000'000 + n,
            u"/home/u/在庫 表.xls",
            u"sheet1",
            cell,
            word,
            {}};
}

// The number in a numbered record's word.
int numberOf(const Record& r) {
    return std::stoi(
        std::string(r.word.begin() + 1, r.word.begin() + static_cast<long>(r.word.find(u'x'))));
}

TEST(JournalRecord, ReadsBackExactlyWhateverTheWordsAndCellsHold) {
    const Record records[] = {
        {Record::Kind::Entry, 0, u"C:\\book.xls", u"sheet1", u"A2", u"りんご", {}},
        {Record::Kind::Undo,
         -1,
         u"/b\tx.xls",
         u"Sheet\n1",
         u"IV65536",
         u"a\\t\tb\r\nc😀",
         {Content::Kind::Text, u"前\tの", 0}},
        {Record::Kind::Entry, 1, u"", u"", u"B5", u"", {Content::Kind::Number, u"", 0.1 + 0.2}},
        {Record::Kind::Entry,
         2,
         u"b",
         u"s",
         u"C1",
         u"=1+1",
         {Content::Kind::Input, u"=SUM(A1:A9)", 0}},
        {Record::Kind::Entry, 3, u"b", u"s", u"C2", u"x", {Content::Kind::Number, u"", -1e300}},
    };
    std::string bytes;
    for (const Record& r : records) bytes += encode(r);
    const auto back = decode(bytes);
    ASSERT_EQ(back.size(), std::size(records));
    for (std::size_t i = 0; i < back.size(); ++i) EXPECT_EQ(back[i], records[i]) << i;

    // A row: the moment and a fixed text beside the word.
    Record row{Record::Kind::Entry, 4, u"b", u"s", u"D2", u"りんご", {}};
    row.beside.push_back({.value = {.kind = wordpour::cells::CellValue::Kind::DateTime,
                                    .text = {},
                                    .number = 0,
                                    .time = {2026, 12, 9, 18, 5, 7}},
                          .written = {Content::Kind::Number, u"", 46365.75355324074},
                          .before = {Content::Kind::Text, u"前\t", 0}});
    row.beside.push_back({.value = {.kind = wordpour::cells::CellValue::Kind::Text,
                                    .text = u"=ロット\n7",
                                    .number = 0,
                                    .time = {}},
                          .written = {Content::Kind::Text, u"=ロット\n7", 0},
                          .before = {}});
    const auto rows = decode(encode(row) + encode(records[0]));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], row);
    EXPECT_EQ(rows[1], records[0]);
}

TEST(JournalRecord, ACutOrDamagedLineCostsOnlyItself) {
    const std::string a = encode(numbered(1)), b = encode(numbered(2)), c = encode(numbered(3));
    std::string flipped = b;
    flipped[20] ^= 0x01;
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<int> kept;
    };
    std::vector<Case> cases = {
        {"whole", a + b + c, {1, 2, 3}},
        {"a byte changed in the middle record", a + flipped + c, {1, 3}},
        {"two lines run together", a + b.substr(0, 30) + c, {1}},
    };
    // Cut anywhere in the last record, SIGKILL's way: the others stay.
    for (std::size_t cut = 0; cut < c.size(); ++cut)
        cases.push_back({"cut", a + b + c.substr(0, cut), {1, 2}});
    for (const Case& test : cases) {
        std::vector<int> kept;
        for (const Record& r : decode(test.bytes)) kept.push_back(numberOf(r));
        EXPECT_EQ(kept, test.kept) << test.what;
    }
}

TEST(Journal, ARecordAfterACutOneIsKept) {
    TempFolder folder;
    Journal journal(folder.path());
    ASSERT_FALSE(journal.append(numbered(1)));
    {
        std::ofstream file(folder.path() / "journal-000001.log", std::ios::binary | std::ios::app);
        file << encode(numbered(2)).substr(0, 25);  // a writer killed mid-record
    }
    ASSERT_FALSE(journal.append(numbered(3)));
    std::vector<int> kept;
    for (const Record& r : journal.read()) kept.push_back(numberOf(r));
    EXPECT_EQ(kept, (std::vector<int>{1, 3}));
}

TEST(Journal, PastItsBoundTheOldestFilesGoWhole) {
    TempFolder folder;
    Journal journal(folder.path(), {.fileBytes = 400, .files = 3});
    for (int n = 0; n < 60; ++n) ASSERT_FALSE(journal.append(numbered(n)));
    std::size_t files = 0;
    for (const auto& item : fs::directory_iterator(folder.path()))
        files += item.path().extension() == ".log";
    EXPECT_EQ(files, 3u);
    const auto records = journal.read();
    ASSERT_FALSE(records.empty());
    // What is left runs without a gap up to the last record.
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(numberOf(records[i]), 60 - static_cast<int>(records.size() - i));
}

// Two running Wordpours append at once: every record arrives whole.
TEST(Journal, TwoWritersAtOnceMixNoRecords) {
    TempFolder folder;
    constexpr int kEach = 200;
    auto write = [&](int from) {
        Journal journal(folder.path(), {.fileBytes = 8192, .files = 1000});
        for (int n = from; n < from + kEach; ++n) journal.append(numbered(n, 300));
    };
#ifdef _WIN32
    std::thread first(write, 0), second(write, 1000);
    first.join();
    second.join();
#else
    pid_t children[2];
    for (int i = 0; i < 2; ++i)
        if ((children[i] = fork()) == 0) {
            write(i * 1000);
            _exit(0);
        }
    for (pid_t child : children) waitpid(child, nullptr, 0);
#endif
    std::vector<int> seen;
    for (const Record& r : Journal(folder.path()).read()) seen.push_back(numberOf(r));
    std::sort(seen.begin(), seen.end());
    std::vector<int> expected;
    for (int n = 0; n < kEach; ++n) expected.push_back(n);
    for (int n = 1000; n < 1000 + kEach; ++n) expected.push_back(n);
    EXPECT_EQ(seen, expected);
}

#ifndef _WIN32
// Wordpour killed (SIGKILL) while it appends large records: every record
// that reached the file whole reads back, and the next run appends after.
TEST(Journal, AWriterKilledMidWriteLosesNoWholeRecord) {
    TempFolder folder;
    // The journal's bytes: cheaper to watch than its records, which a
    // sanitizer build reads slowly when they are megabytes.
    const auto bytes = [&] {
        std::uintmax_t total = 0;
        for (const auto& file : std::filesystem::directory_iterator(folder.path()))
            total += file.file_size();
        return total;
    };
    for (int round = 0; round < 5; ++round) {
        const std::uintmax_t before = bytes();
        const pid_t child = fork();
        if (child == 0) {
            Journal journal(folder.path(), {.fileBytes = 1 << 24, .files = 4});
            for (int n = 0;; ++n) journal.append(numbered(round * 100000 + n, 200000));
        }
        // A busy machine (a sanitizer build, a compiler beside it) writes
        // slowly: the first record is waited for (the bytes of two mean the
        // first is whole), then the kill comes in the middle of a later one.
        for (int waited = 0; waited < 1000 && bytes() < before + 2 * 200000; ++waited)
            usleep(10000);
        usleep(5000 + 7000 * round);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    Journal journal(folder.path(), {.fileBytes = 1 << 24, .files = 4});
    ASSERT_FALSE(journal.append(numbered(999999, 200000)));
    const auto records = journal.read();
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(numberOf(records.back()), 999999);
    for (const Record& r : records) EXPECT_EQ(r, numbered(numberOf(r), 200000));
}

// A full disk: the append fails with its cause, and what was there stays.
TEST(Journal, AFullDiskSaysSoAndKeepsTheRecordsBefore) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root (CI runs as root)";
    TempFolder folder;
    if (mount("tmpfs", folder.path().c_str(), "tmpfs", 0, "size=16384") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    Journal journal(folder.path());
    EXPECT_FALSE(journal.append(numbered(1)));
    std::optional<wordpour::base::FileError> failed;
    for (int n = 2; n < 100 && !failed; ++n) failed = journal.append(numbered(n, 3000));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->cause, wordpour::base::FileCause::NoSpace);
    const auto records = journal.read();
    EXPECT_EQ(numberOf(records.front()), 1);
    umount2(folder.path().c_str(), MNT_DETACH);
}
#endif

// Which entries a workbook saved at 10:00 may have lost, as the clock
// went: on time, or set back an hour after the save. Entries made in the
// clock's new time count, though their times are older than the file.
TEST(JournalUnsaved, EntriesAfterTheClockWasSetBackStillCount) {
    constexpr std::int64_t kMinute = 60'000, kSaved = 600 * kMinute;  // 10:00
    const auto at = [](std::int64_t minute, std::u16string cell) {
        return Record{
            Record::Kind::Entry, minute * kMinute, u"b.xls", u"sheet1", std::move(cell), u"w", {}};
    };
    struct Case {
        const char* what;
        std::vector<Record> records;
        std::int64_t now;
        std::vector<std::u16string> unsaved;  // their cells
    };
    const Case cases[] = {
        {"on time", {at(590, u"A2"), at(605, u"A3")}, 610 * kMinute, {u"A3"}},
        {"set back after the save",
         {at(590, u"A2"), at(605, u"A3"), at(545, u"A4"), at(550, u"A5")},
         550 * kMinute,
         {u"A3", u"A4", u"A5"}},
        {"set back, no entry since the save before it",
         {at(590, u"A2"), at(545, u"A3")},
         546 * kMinute,
         {u"A3"}},
        {"two writers a moment out of order",
         {at(605, u"A2"), at(604, u"A3")},
         606 * kMinute,
         {u"A2", u"A3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::u16string> cells;
        for (const Record& r :
             wordpour::journal::unsavedEntries(c.records, u"b.xls", kSaved, c.now))
            cells.push_back(r.cell);
        EXPECT_EQ(cells, c.unsaved);
        EXPECT_EQ(wordpour::journal::readFrom(kSaved, c.now), c.now < kSaved ? 0 : kSaved);
    }
}

}  // namespace
