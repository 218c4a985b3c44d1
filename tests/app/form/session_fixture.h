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
    explicit SessionRun(bool startable = true) {
        // Each run keeps a journal of its own: another run's entries are
        // no workbook's lost ones here.
        static int runs = 0;
        view.journalAt = fs::current_path() / ("journal-run-" + std::to_string(++runs));
        link::spreadsheet::Backend backend{.applicationName = u"LibreOffice Calc",
                                           .attachRunning = [this] { return sheet.attach(); },
                                           .startApplication = {}};
        if (startable) backend.startApplication = [this] { sheet.startApplication(); };
        session = std::make_unique<form::EntrySession>(view, std::move(backend));
    }
    bool start(std::u16string file = u"book.xls") {
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
};

// A temporary current directory with a stand-in workbook "book.xls", and
// the run most tests use.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = fs::current_path();
        dir_ = fs::temp_directory_path() /
               ("wordpour-session-" + std::to_string(std::random_device()()));
        fs::create_directory(dir_);
        fs::current_path(dir_);
        std::ofstream("book.xls") << "stand-in";
    }
    void TearDown() override {
        form.reset();
        fs::current_path(home_);
        fs::remove_all(dir_);
    }

    bool start(std::u16string file = u"book.xls") {
        view.fileNames.push_back(std::move(file));
        form = std::make_unique<form::EntrySession>(
            view, link::spreadsheet::Backend{u"LibreOffice Calc", [this] { return sheet.attach(); },
                                [this] { sheet.startApplication(); }});
        return form->start();
    }
    void waitForEntries() {
        view.runPosted([this] { return form->entryUnderWay(); });
    }
    void enter(std::u16string word) {
        view.typed = std::move(word);
        form->enterWord();
        waitForEntries();
    }
    void add(const Words& words) {
        for (const auto& word : words) {
            view.replies.push_back(word);
            form->addWord();
        }
    }

    fs::path home_, dir_;
    MemoryView view;
    FakeSpreadsheet sheet;
    std::unique_ptr<form::EntrySession> form;
};

}  // namespace wordpour::testing
