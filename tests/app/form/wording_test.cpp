// Every message the program can show, worded from each outcome: each has
// its row in the README's table of messages, none is empty, and each has
// its box's title.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/form/wording.h"
#include "tests/support/utf8.h"

namespace {

using namespace wordpour;
using form::Message;
using spreadsheet::Failure;

// Every outcome the core reports, worded.
std::vector<Message> everyMessage() {
    std::vector<Message> all;
    const std::u16string app = u"LibreOffice Calc";
    using Kind = link::StartupError::Kind;
    for (Kind kind : {Kind::NoBook, Kind::BookMissing, Kind::OfferStart, Kind::CannotStart})
        all.push_back(form::wording::startupFailure(
            link::StartupError(kind, u"/b/x.xls", spreadsheet::Error(Failure::NotRunning, u"d")),
            app));
    const Failure atStartup[] = {Failure::NotRunning,   Failure::NotStarted,   Failure::ForeignPipe,
                                 Failure::Open,         Failure::ReadOnly,     Failure::NotTheFile,
                                 Failure::NoSheet,      Failure::NotWorksheet, Failure::Busy,
                                 Failure::Disconnected, Failure::BadPipeName,  Failure::PipeIsLink,
                                 Failure::PipeIsFile,   Failure::PipeIsFolder};
    for (Failure failure : atStartup)
        all.push_back(form::wording::startupFailure(
            link::StartupError(Kind::Spreadsheet, u"/b/x.xls", spreadsheet::Error(failure, u"d")),
            app));
    using Refusal = link::EntryRefusal::Kind;
    for (Refusal kind : {Refusal::WordTooLong, Refusal::BrokenWord, Refusal::WrongCellName,
                         Refusal::CellNameTooLong})
        all.push_back(form::wording::entryRefused({kind, 40000}));
    for (Failure failure : {Failure::Range, Failure::Value, Failure::SheetGone, Failure::Busy,
                            Failure::Visible, Failure::Disconnected}) {
        all.push_back(form::wording::entryFailed(spreadsheet::Error(failure, u"d"), u"A2"));
        all.push_back(form::wording::undoFailed(spreadsheet::Error(failure, u"d"), u"A2"));
    }
    all.push_back(form::wording::undoOverwrite(u"A2"));
    all.push_back(form::wording::confirmLoad());
    all.push_back(form::wording::confirmSave());
    all.push_back(form::wording::nothingToSave());
    all.push_back(form::wording::listFullOnAdd());
    all.push_back(form::wording::listFullOnLoad(32000, 800));
    using File = wordlist::ListFileProblem::Kind;
    for (File kind : {File::NotFound, File::IsFolder, File::Unreadable, File::NotText,
                      File::Unencodable, File::Ambiguous, File::NotSaved})
        all.push_back(form::wording::listFileProblem({kind, "/w/List", {}, 0}, {u"😀"}, u"t"));
    all.push_back(form::wording::wordList({}));
    return all;
}

// The parts of a prompt's first sentence that are the same whatever the
// outcome carries: what lies outside 「…」, （…） and numbers.
std::vector<std::u16string> fixedParts(const std::u16string& prompt) {
    std::u16string first = prompt.substr(0, prompt.find_first_of(u"\r\n"));
    first = first.substr(0, first.find(u'。') + 1);
    std::vector<std::u16string> parts(1);
    int depth = 0;
    for (char16_t c : first) {
        if (c == u'「' || c == u'（') ++depth;
        const bool variable = depth > 0 || (c >= u'0' && c <= u'9');
        if (c == u'」' || c == u'）') --depth;
        if (variable) {
            if (!parts.back().empty()) parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    std::erase_if(parts, [](const std::u16string& part) { return part.size() < 2; });
    return parts;
}

std::string utf8(const std::u16string& text) {
    return wordpour::testing::toUtf8(text);
}

TEST(Wording, EveryMessageHasItsTitleAndItsRowInTheReadme) {
    std::ifstream readme(WORDPOUR_SOURCE_DIR "/README.md");
    if (!readme) GTEST_SKIP() << "the README is not reachable from here";
    std::stringstream whole;
    whole << readme.rdbuf();
    const std::string text = whole.str();
    const std::string table = text.substr(text.find("## What the messages mean"));
    for (const Message& message : everyMessage()) {
        SCOPED_TRACE(utf8(message.prompt));
        EXPECT_FALSE(message.prompt.empty());
        EXPECT_FALSE(message.title.empty());
        for (const std::u16string& part : fixedParts(message.prompt))
            EXPECT_NE(table.find(utf8(part)), std::string::npos) << utf8(part);
    }
}

}  // namespace
