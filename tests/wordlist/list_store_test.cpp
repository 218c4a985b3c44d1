// Saving and loading "List" on real files: a full disk, a file-size limit,
// a read-only disk, and a reader racing a writer never see half a list.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <variant>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <csignal>
#endif

#include "base/whole_file.h"
#include "wordlist/code_page.h"
#include "wordlist/list_store.h"

namespace {

namespace fs = std::filesystem;
using wordpour::wordlist::Entries;
using wordpour::wordlist::loadListFile;
using wordpour::wordlist::saveListFile;

class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        path_ = fs::temp_directory_path() / ("wordpour-store-" + std::to_string(random()));
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

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

using Kind = wordpour::wordlist::ListFileProblem::Kind;
using wordpour::base::FileCause;

// A problem as the store reports it, to compare: what failed, and why.
struct Said {
    Kind kind;
    FileCause cause = FileCause::Other;
    bool operator==(const Said&) const = default;
};
void PrintTo(const Said& said, std::ostream* out) {
    *out << "kind " << static_cast<int>(said.kind) << " cause " << static_cast<int>(said.cause);
}
std::optional<Said> said(const std::optional<wordpour::wordlist::ListFileProblem>& problem) {
    if (!problem) return std::nullopt;
    return Said{.kind = problem->kind, .cause = problem->error.cause};
}

TEST(ListStore, SaveReplacesTheWholeFileAndLoadReadsItBack) {
    TempFolder folder;
    const fs::path list = folder.path() / "List";
    writeBytes(list, "old\r\n");
    const Entries words = {u"東京", u"", u"～①髙ﾘｽﾄ"};
    ASSERT_EQ(said(saveListFile(list, words)), std::nullopt);
    EXPECT_EQ(bytesOf(list), "\x93\x8C\x8B\x9E\r\n\r\n\x81\x60\x87\x40\xFB\xFC\xD8\xBD\xC4\r\n");
    auto loaded = loadListFile(list);
    ASSERT_TRUE(std::holds_alternative<Entries>(loaded));
    EXPECT_EQ(std::get<Entries>(loaded), words);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"List"});

    // Three characters whose code page 932 bytes are also the UTF-8 of
    // "ああ": saved, they would load back as other words.
    const std::u16string ambiguous =
        wordpour::wordlist::decodeCp932("\xE3\x81\x82\xE3\x81\x82").value();
    const std::string before = bytesOf(list);
    EXPECT_EQ(said(saveListFile(list, {ambiguous})), Said{.kind = Kind::Ambiguous});
    EXPECT_EQ(bytesOf(list), before);
}

TEST(ListStore, AReaderRacingSavesSeesAWholeOldOrAWholeNewList) {
    TempFolder folder;
    const fs::path list = folder.path() / "List";
    const Entries first(3000, u"いちばん目の単語");
    const Entries second(1000, u"second word");
    ASSERT_FALSE(saveListFile(list, first));
    std::atomic<bool> saving{true};
    std::atomic<int> failedSaves{0};
    std::thread writer([&] {
        for (int i = 0; i < 150; ++i)
            failedSaves += saveListFile(list, i % 2 ? first : second) ? 1 : 0;
        saving = false;
    });
    int reads = 0;
    while (saving || reads == 0) {
        auto loaded = loadListFile(list);
        const bool whole =
            std::holds_alternative<Entries>(loaded) &&
            (std::get<Entries>(loaded) == first || std::get<Entries>(loaded) == second);
        if (!whole) {
            saving = false;
            writer.join();
            FAIL() << "read half a list, or none";
        }
        ++reads;
    }
    writer.join();
    EXPECT_EQ(failedSaves, 0);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"List"});
    std::printf("%d whole reads during 150 saves\n", reads);
}

#ifndef _WIN32

// A list whose saved file is exactly `bytes` long: ASCII words of eight
// bytes a line, the last one cut to fit (at least two bytes in all).
Entries listOfBytes(std::size_t bytes) {
    Entries entries;
    while (bytes >= 12) {
        entries.push_back(u"abcdefgh");
        bytes -= 10;
    }
    if (bytes >= 2) entries.push_back(std::u16string(bytes - 2, u'z'));
    return entries;
}

// A small tmpfs of the test's own: a real file system that fills up.
class SmallDisk : public ::testing::Test {
protected:
    static constexpr std::size_t kPage = 4096;
    static constexpr std::size_t kPages = 16;

    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root (CI runs as root)";
        const std::string options = "size=" + std::to_string(kPage * kPages);
        if (mount("tmpfs", folder_.path().c_str(), "tmpfs", 0, options.c_str()) != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) umount2(folder_.path().c_str(), MNT_DETACH);
    }

    fs::path at(const char* name) const { return folder_.path() / name; }
    std::size_t freeBytes() const {
        struct statvfs info {};
        statvfs(folder_.path().c_str(), &info);
        return info.f_bavail * info.f_frsize;
    }
    // Fills the disk until exactly `pages` pages are free.
    void leaveFree(std::size_t pages) {
        const std::size_t fill = freeBytes() - pages * kPage;
        writeBytes(at("filler"), std::string(fill, 'f'));
        ASSERT_EQ(freeBytes(), pages * kPage);
    }

    TempFolder folder_;
    bool mounted_ = false;
};

TEST_F(SmallDisk, ASaveThatDoesNotFitKeepsTheOldListByteForByte) {
    struct Case {
        const char* what;
        std::size_t freePages;
        Entries words;
        bool fits;
    };
    const Case cases[] = {
        {"one entry on a full disk", 0, {u"東京"}, false},
        {"three words on a full disk", 0, {u"東京", u"大阪", u"名古屋"}, false},
        {"a few hundred bytes on a full disk", 0, listOfBytes(300), false},
        {"a few hundred bytes in one free page", 1, listOfBytes(300), true},
        {"exactly the free space", 2, listOfBytes(2 * kPage), true},
        {"one byte past the free space", 2, listOfBytes(2 * kPage + 1), false},
        {"1,000 words, 8,000 bytes, in 4 KiB", 1, Entries(1000, u"abcdef"), false},
        {"more than the whole disk", 16, listOfBytes(20 * kPage), false},
    };
    const std::string old = "old\r\nlist\r\n\x93\x8C\r\n";  // 12 bytes, one page
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(at("filler"));
        writeBytes(at("List"), old);
        leaveFree(std::min(c.freePages, kPages - 1));
        const auto problem = saveListFile(at("List"), c.words);
        if (c.fits) {
            EXPECT_EQ(said(problem), std::nullopt);
            auto loaded = loadListFile(at("List"));
            ASSERT_TRUE(std::holds_alternative<Entries>(loaded));
            EXPECT_EQ(std::get<Entries>(loaded), c.words);
        } else {
            EXPECT_EQ(said(problem), (Said{.kind = Kind::NotSaved, .cause = FileCause::NoSpace}));
            EXPECT_EQ(bytesOf(at("List")), old);
        }
        EXPECT_EQ(namesIn(folder_.path()), (std::vector<std::string>{"List", "filler"}));
    }
}

TEST_F(SmallDisk, AReadOnlyDiskKeepsTheOldListAndSaysSo) {
    writeBytes(at("List"), "old\r\n");
    ASSERT_EQ(mount("tmpfs", folder_.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
    const auto problem = saveListFile(at("List"), {u"新しい"});
    EXPECT_EQ(said(problem),
              (Said{.kind = Kind::NotSaved, .cause = FileCause::ReadOnlyFileSystem}));
    EXPECT_EQ(bytesOf(at("List")), "old\r\n");
}

TEST(ListStoreLimit, AFileSizeLimitKeepsTheOldListAndSaysTooLarge) {
    TempFolder folder;
    const fs::path list = folder.path() / "List";
    const std::string old = "old\r\n";
    // Past the limit a write fails with EFBIG once SIGXFSZ is ignored, as
    // the program ignores it.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    struct Case {
        std::size_t bytes;
        bool fits;
    };
    for (const Case c :
         {Case{500, true}, Case{1000, true}, Case{1001, false}, Case{100000, false}}) {
        SCOPED_TRACE(c.bytes);
        writeBytes(list, old);
        rlimit limit = saved;
        limit.rlim_cur = 1000;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const auto problem = saveListFile(list, listOfBytes(c.bytes));
        setrlimit(RLIMIT_FSIZE, &saved);
        if (c.fits) {
            EXPECT_EQ(said(problem), std::nullopt);
            EXPECT_EQ(fs::file_size(list), c.bytes);
        } else {
            EXPECT_EQ(said(problem), (Said{.kind = Kind::NotSaved, .cause = FileCause::TooLarge}));
            EXPECT_EQ(bytesOf(list), old);
        }
        EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"List"});
    }
    std::signal(SIGXFSZ, previous);
}

// A "List" that is no plain file: refused at once, by load and by save,
// with its cause; nothing waits, nothing is replaced.
TEST(ListStoreKinds, WhatIsNotAPlainFileIsRefusedAtOnce) {
    struct Case {
        const char* why;
        std::function<void(const fs::path& list)> make;
        FileCause cause;
    };
    const Case cases[] = {
        {"a named pipe nobody writes to", [](const fs::path& list) { mkfifo(list.c_str(), 0600); },
         FileCause::NotRegular},
        {"a device that never ends",
         [](const fs::path& list) { fs::create_symlink("/dev/zero", list); },
         FileCause::NotRegular},
        {"links in a circle",
         [](const fs::path& list) {
             fs::create_symlink("List2", list);
             fs::create_symlink("List", list.parent_path() / "List2");
         },
         FileCause::LinkLoop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TempFolder folder;
        const fs::path list = folder.path() / "List";
        c.make(list);
        const auto type = fs::symlink_status(list).type();
        auto loaded = loadListFile(list);
        ASSERT_TRUE(std::holds_alternative<wordpour::wordlist::ListFileProblem>(loaded));
        EXPECT_EQ(said(std::get<wordpour::wordlist::ListFileProblem>(loaded)),
                  (Said{.kind = Kind::Unreadable, .cause = c.cause}));
        EXPECT_EQ(said(saveListFile(list, {u"新しい"})),
                  (Said{.kind = Kind::NotSaved, .cause = c.cause}));
        EXPECT_EQ(fs::symlink_status(list).type(), type);  // still what it was
    }
}

TEST(ListStoreKinds, AListThatIsALinkStaysOneAndItsFileIsReplaced) {
    TempFolder folder;
    fs::create_directory(folder.path() / "shared");
    const fs::path shared = folder.path() / "shared" / "words";
    writeBytes(shared, "old\r\n");
    const fs::path list = folder.path() / "List";
    fs::create_symlink("shared/words", list);
    ASSERT_EQ(said(saveListFile(list, {u"東京"})), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(list));
    EXPECT_EQ(bytesOf(shared), "\x93\x8C\x8B\x9E\r\n");
    EXPECT_EQ(namesIn(folder.path() / "shared"), std::vector<std::string>{"words"});
    // A link whose file is not there yet: the file is made where it leads.
    fs::remove(shared);
    ASSERT_EQ(said(saveListFile(list, {u"大阪"})), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(list));
    EXPECT_EQ(bytesOf(shared), "\x91\xE5\x8D\xE3\r\n");
}

#endif

}  // namespace
