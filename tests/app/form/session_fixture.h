// The entry session over an in-memory view and spreadsheet, with real files
// in a temporary current directory.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/form/entry_session.h"
#include "tests/app/form/memory_view.h"
#include "tests/link/spreadsheet/fake_spreadsheet.h"

namespace wordpour::testing {

namespace fs = std::filesystem;
using Words = std::vector<std::u16string>;

inline void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<none>";
}

// One run of the program: a view, a spreadsheet and the session over them.
struct SessionRun {
    MemoryView view;
    FakeSpreadsheet sheet;
    std::unique_ptr<form::EntrySession> session;

    // The backend: the in-memory spreadsheet, which can be started, or,
    // `startable` false, one that cannot (as Excel).
    explicit SessionRun(bool startable = true) : startable_(startable) { newSession(); }
    // The program run again over the same view and spreadsheet: the
    // session before it is gone, and start() starts this one.
    void newSession() {
        session.reset();
        link::spreadsheet::Backend backend{.applicationName = u"LibreOffice Calc",
                                           .attachRunning = [this] { return sheet.attach(); },
                                           .startApplication = {}};
        if (startable_) backend.startApplication = [this] { sheet.startApplication(); };
        session = std::make_unique<form::EntrySession>(view, std::move(backend));
    }
    bool start(std::u16string file = u"book.xls") {
        // Each run keeps a journal of its own, in the current folder:
        // another run's entries are no workbook's lost ones here.
        static int runs = 0;
        if (view.journalAt.empty())
            view.journalAt = fs::current_path() / ("journal-run-" + std::to_string(++runs));
        view.fileNames.push_back(std::move(file));
        return session->start();
    }
    void waitForEntries() {
        view.runPosted([this] { return session->entryUnderWay(); });
    }
    void enter(std::u16string word) {
        view.typed = std::move(word);
        session->enterWord();
        waitForEntries();
    }
    // Puts `words` into the list as the add command does, one by one.
    void add(const Words& words) {
        for (const auto& word : words) {
            view.replies.push_back(word);
            session->addWord();
        }
    }

private:
    bool startable_;
};

// A run in a temporary current folder with a stand-in workbook "book.xls".
class SessionTest : public ::testing::Test, public SessionRun {
protected:
    void SetUp() override {
        home_ = fs::current_path();
        dir_ = fs::temp_directory_path() /
               ("wordpour-session-" + std::to_string(std::random_device()()));
        fs::create_directory(dir_);
        fs::current_path(dir_);
        std::ofstream("book.xls") << "stand-in";
        // A test may set up again: its journal then goes in the new folder.
        view.journalAt.clear();
        if (!session) newSession();
    }
    void TearDown() override {
        session.reset();
        fs::current_path(home_);
        fs::remove_all(dir_);
    }

    fs::path home_, dir_;
};

}  // namespace wordpour::testing
