// The main window's logic over an in-memory window and spreadsheet, with
// real files in a temporary current directory.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "tests/app/memory_view.h"
#include "tests/link/excel/fake_spreadsheet.h"

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

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = fs::current_path();
        dir_ =
            fs::temp_directory_path() / ("wordpour-form-" + std::to_string(std::random_device()()));
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
        form = std::make_unique<app::Form1>(
            view, [this] { return sheet.attach(); }, [this] { sheet.launch(); });
        return form->Form_Initialize();
    }
    void waitForEntries() {
        view.runPosted([this] { return form->entryUnderWay(); });
    }
    void enter(std::u16string word) {
        view.typed = std::move(word);
        form->Command4_Click();
        waitForEntries();
    }

    fs::path home_, dir_;
    MemoryView view;
    FakeSpreadsheet sheet;
    std::unique_ptr<app::Form1> form;
};

}  // namespace wordpour::testing
