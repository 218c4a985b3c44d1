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

namespace journal = wordpour::journal;

namespace {

using namespace wordpour;
using form::Message;
using link::spreadsheet::Failure;

// What a backend says in its own words: never to be shown.
constexpr char16_t kRaw[] = u"Binary URP bridge already disposed at ./binaryurp/source/bridge.cxx";

// Every outcome the core reports, worded.
std::vector<Message> everyMessage() {
    std::vector<Message> all;
    const std::u16string app = u"LibreOffice Calc";
    using Kind = link::StartupError::Kind;
    for (Kind kind : {Kind::NoBook, Kind::BookMissing, Kind::StartApplication})
        all.push_back(form::wording::startupFailure(
            link::StartupError(kind, u"/b/x.xls",
                               link::spreadsheet::Error(Failure::NotRunning, kRaw)),
            app));
    for (Failure failure :
         {Failure::NotRunning, Failure::NotInstalled, Failure::StartTimedOut, Failure::EndedEarly})
        all.push_back(form::wording::startupFailure(
            link::StartupError(
                Kind::StartApplicationFailed, u"/b/x.xls",
                link::spreadsheet::Error(failure, kRaw, link::spreadsheet::Remedy::Install,
                                         u"libreoffice-calc", 90)),
            app));
    const Failure atStartup[] = {
        Failure::NotRunning, Failure::NotStarted,   Failure::ForeignPipe,  Failure::Open,
        Failure::ReadOnly,   Failure::NotTheFile,   Failure::NoSheet,      Failure::NotWorksheet,
        Failure::Busy,       Failure::Disconnected, Failure::BadPipeName,  Failure::PipeIsLink,
        Failure::PipeIsFile, Failure::PipeIsFolder, Failure::NotInstalled, Failure::OtherProfile,
        Failure::Range,      Failure::Protected};
    using link::spreadsheet::Remedy;
    for (Failure failure : atStartup)
        for (Remedy remedy :
             {Remedy::None, Remedy::StartListening, Remedy::StartApplication, Remedy::Install})
            all.push_back(form::wording::startupFailure(
                link::StartupError(
                    Kind::Spreadsheet, u"/b/x.xls",
                    link::spreadsheet::Error(failure, kRaw, remedy, u"/tmp/OSL_PIPE_0_x", 0)),
                app));
    using Refusal = link::EntryRefusal::Kind;
    for (Refusal kind : {Refusal::WordTooLong, Refusal::BrokenWord, Refusal::WrongCellName,
                         Refusal::CellNameTooLong})
        all.push_back(form::wording::entryRefused({kind, 40000}));
    for (Failure failure :
         {Failure::Range, Failure::Value, Failure::SheetGone, Failure::Busy, Failure::Visible,
          Failure::Disconnected, Failure::Protected, Failure::BeingEdited}) {
        all.push_back(form::wording::entryFailed(link::spreadsheet::Error(failure, kRaw), u"A2"));
        all.push_back(form::wording::undoFailed(link::spreadsheet::Error(failure, kRaw), u"A2"));
    }
    all.push_back(form::wording::undoOverwrite(u"A2"));
    all.push_back(form::wording::rowOverwriteQuestion({u"B2", u"C2"}));
    all.push_back(form::wording::startupFailure(
        link::StartupError(link::StartupError::Kind::Spreadsheet, u"/b/x.ODS",
                           link::spreadsheet::Error(Failure::Open, kRaw)),
        u"Excel"));
    all.push_back(form::wording::undoCellDeleted(u"E10", u"d1"));
    all.push_back(form::wording::hiddenCellRefused(u"A21", u"A20:A21"));
    all.push_back(form::wording::overwriteQuestion(u"A21", {}, {}, u"A20:A21"));
    using Held = link::spreadsheet::CellContent;
    for (const Held& held : {Held{Held::Kind::Text, u"りんご"}, Held{Held::Kind::Number, {}, 42.5},
                             Held{Held::Kind::Input, u"=SUM(B1:B9)"}})
        all.push_back(form::wording::overwriteQuestion(u"A2", held));
    for (Failure failure :
         {Failure::Range, Failure::SheetGone, Failure::Busy, Failure::Disconnected})
        all.push_back(
            form::wording::columnEndFailed(link::spreadsheet::Error(failure, kRaw), u"A"));
    all.push_back(form::wording::confirmLoad());
    all.push_back(form::wording::confirmSave());
    all.push_back(form::wording::nothingToSave());
    all.push_back(form::wording::listFullOnAdd());
    all.push_back(form::wording::listFullOnLoad(32000, 800));
    using File = wordlist::ListFileProblem::Kind;
    for (File kind : {File::NotFound, File::IsFolder, File::Unreadable, File::NotText,
                      File::Unencodable, File::Ambiguous, File::NotSaved})
        all.push_back(form::wording::listFileProblem({kind, "/w/List", {}, 0}, {u"😀"}, u"t"));
    all.push_back(
        form::wording::notesNotSaved("/w/List.wordpour", {base::FileCause::IsFolder, 21}));
    all.push_back(form::wording::notesCut("/w/List.wordpour", 32767));
    all.push_back(form::wording::wordList({}));
    all.push_back(form::wording::noWordToRead());
    all.push_back(form::wording::readingRefused(u"東京"));
    all.push_back(form::wording::relinkStartQuestion(app));
    all.push_back(form::wording::bookClosedQuestion(u"/b/x.xls"));
    all.push_back(form::wording::notRelinked(u"/b/x.xls"));
    all.push_back(form::wording::relinkFailed(link::spreadsheet::Error(Failure::ReadOnly, kRaw),
                                              u"/b/x.xls", app));
    all.push_back(form::wording::relinkStartFailed(
        link::StartupError(Kind::StartApplicationFailed, {},
                           link::spreadsheet::Error(Failure::StartTimedOut, kRaw, {}, {}, 90)),
        app));
    all.push_back(
        form::wording::lostEntriesQuestion({{u"A2", u"りんご"}, {u"A3", u"=1+1"}}, {u"A5"}));
    all.push_back(form::wording::journalList({}));
    all.push_back(form::wording::journalList(
        {{journal::Record::Kind::Entry, 0, u"/b/x.xls", u"sheet1", u"A2", u"りんご", {}}}));
    all.push_back(form::wording::csvNotSaved("/w/入力の記録.csv", {base::FileCause::NoSpace, 28}));
    all.push_back(form::wording::journalNotKept("/home/u/.local/share/wordpour",
                                                {base::FileCause::NoSpace, 28}));
    using Gap = form::wording::InputMethodGap;
    for (Gap::Cause cause :
         {Gap::Cause::NotSetForQt, Gap::Cause::NoQtModule, Gap::Cause::NoFcitxModule})
        all.push_back(
            form::wording::inputMethodAdvice({cause, u"uim", Gap::Remedy::UseIbusOrFcitx}));
    all.push_back(form::wording::nativeWaylandNotice());
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

// Three words of Latin letters in a row: an English sentence, not a name.
// A line that is a command to type ("sudo …", "soffice …") is code.
bool holdsEnglish(const std::u16string& whole) {
    std::u16string text;
    for (std::size_t start = 0; start < whole.size();) {
        std::size_t end = whole.find(u'\n', start);
        if (end == std::u16string::npos) end = whole.size();
        const std::u16string_view line(whole.data() + start, end - start);
        if (!line.starts_with(u"sudo ") && !line.starts_with(u"soffice ")) text += line;
        text += u'\n';
        start = end + 1;
    }
    int words = 0;
    bool inWord = false, afterSpace = true;
    for (char16_t c : text) {
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (letter) {
            if (!inWord) words = afterSpace ? words + 1 : 1;
            inWord = true;
            if (words >= 3) return true;
        } else {
            afterSpace = inWord && c == u' ';
            if (!afterSpace) words = 0;
            inWord = false;
        }
    }
    return false;
}

TEST(Wording, EveryMessageIsJapaneseAndNeverShowsTheBackendsOwnWords) {
    EXPECT_TRUE(holdsEnglish(u"the workbook was closed"));
    EXPECT_FALSE(holdsEnglish(u"LibreOffice Calc を起動できません。"));
    for (const Message& message : everyMessage()) {
        SCOPED_TRACE(utf8(message.prompt));
        EXPECT_FALSE(holdsEnglish(message.prompt));
        EXPECT_EQ(message.prompt.find(u"binaryurp"), std::u16string::npos);
    }
    EXPECT_EQ(form::wording::diagnostic(link::spreadsheet::Error(Failure::Disconnected, kRaw)),
              "wordpour: spreadsheet failure " + std::to_string(int(Failure::Disconnected)) + ": " +
                  utf8(kRaw));
}

// Each start-up failure says what happened, never a lost connection it
// was not.
TEST(Wording, StartUpFailuresSayTheirOwnCause) {
    const struct {
        link::spreadsheet::Error error;
        const char16_t* says;
    } rows[] = {
        {link::spreadsheet::Error(Failure::NotInstalled, kRaw, link::spreadsheet::Remedy::Install,
                                  u"libreoffice-calc"),
         u"sudo apt-get install libreoffice-calc"},
        {link::spreadsheet::Error(Failure::PipeIsFile, kRaw, link::spreadsheet::Remedy::None,
                                  u"/tmp/OSL_x"),
         u"「/tmp/OSL_x」"},
        {link::spreadsheet::Error(Failure::Protected, kRaw), u"準備できません"},
    };
    for (const auto& row : rows) {
        const auto said = form::wording::startupFailure(
            link::StartupError(link::StartupError::Kind::Spreadsheet, u"/b/x.xls", row.error),
            u"LibreOffice Calc");
        SCOPED_TRACE(utf8(said.prompt));
        EXPECT_NE(said.prompt.find(row.says), std::u16string::npos);
        EXPECT_EQ(said.prompt.find(u"接続が切れました"), std::u16string::npos);
    }
    // A .ods workbook Excel could not open is said as such; Calc's failure is not.
    for (const char16_t* application : {u"Excel", u"LibreOffice Calc"}) {
        const auto said = form::wording::startupFailure(
            link::StartupError(link::StartupError::Kind::Spreadsheet, u"/b/x.ods",
                               link::spreadsheet::Error(Failure::Open, kRaw)),
            application);
        EXPECT_EQ(said.prompt.find(u"（.ods）") != std::u16string::npos,
                  std::u16string_view(application) == u"Excel");
    }
}

// What an outcome carries (a cell, a position, a path, a pipe, a user
// number, a file's cause) is named where the person reads it.
TEST(Wording, OutcomesNameWhatTheyCarry) {
    using link::spreadsheet::Error;
    using link::spreadsheet::Remedy;
    using Start = link::StartupError;
    using Refusal = link::EntryRefusal;
    using File = wordlist::ListFileProblem;
    const std::u16string app = u"LibreOffice Calc";
    const auto starting = [&](Error error) {
        return form::wording::startupFailure(Start(Start::Kind::Spreadsheet, u"/b/x.xls", error),
                                             app);
    };
    const auto saving = [](base::FileCause cause) {
        return form::wording::listFileProblem({File::Kind::NotSaved, "/w/List", {cause, 1}, 0}, {},
                                              u"t");
    };
    const struct {
        Message said;
        std::vector<std::u16string> parts;
        std::u16string_view never = u"接続が切れました";  // a cause it is not
    } rows[] = {
        {starting(Error(Failure::NotRunning, kRaw, Remedy::StartListening, u"wp-pipe")),
         {u"表計算ソフトに接続できません", u"soffice --accept=\"pipe,name=wp-pipe;urp;\""}},
        {starting(Error(Failure::BadPipeName, kRaw, Remedy::None, u"bad name")),
         {u"「bad name」（WORDPOUR_PIPE）は使えません"}},
        {starting(Error(Failure::PipeIsLink, kRaw, Remedy::None, u"/tmp/OSL_l")),
         {u"「/tmp/OSL_l」に、ソケットではなくあなたのシンボリックリンクがある"}},
        {starting(Error(Failure::PipeIsFolder, kRaw, Remedy::None, u"/tmp/OSL_d")),
         {u"ソケットではなくあなたのフォルダーがある"}},
        {starting(Error(Failure::ForeignPipe, kRaw, Remedy::None, u"/tmp/OSL_f", 65534)),
         {u"ほかのユーザーのもの", u"「/tmp/OSL_f」の持ち主: ユーザー番号 65534"}},
        {starting(Error(Failure::OtherProfile, kRaw, Remedy::None, u"file:///p")),
         {u"ほかのプロファイル「file:///p」", u"-env:UserInstallation=file:///p"}},
        {starting(Error(Failure::NotTheFile, kRaw, Remedy::None, u"private:factory")),
         {u"「/b/x.xls」", u"ファイルに結び付いていない文書", u"private:factory"}},
        {starting(Error(Failure::ReadOnly, kRaw)), {u"「/b/x.xls」は読み取り専用"}},
        {starting(Error(Failure::NoSheet, kRaw)), {u"ワークシート「sheet1」がありません"}},
        {form::wording::startupFailure(Start(Start::Kind::BookMissing, u"/b/x.xls"), app),
         {u"「/b/x.xls」が見つかりません"}},
        {form::wording::entryRefused({Refusal::Kind::BrokenWord, 3}),
         {u"4文字目が文字として正しくありません", u"何も書き込まず"}},
        {form::wording::entryRefused({Refusal::Kind::WordTooLong, 32768}),
         {u"32768文字", u"セルに入るのは32767文字までです"}},
        {form::wording::entryFailed(Error(Failure::Range, kRaw), u"XFE2"), {u"に書き込めません"}},
        {form::wording::entryFailed(Error(Failure::BeingEdited, kRaw), u"M5"),
         {u"このセルを編集中です"}},
        {form::wording::entryFailed(Error(Failure::Protected, kRaw), u"F2"),
         {u"ワークシート「sheet1」が保護されています"}},
        {form::wording::entryFailed(Error(Failure::SheetGone, kRaw), u"A3"),
         {u"「sheet1」が削除されました"}},
        {form::wording::entryFailed(Error(Failure::Disconnected, kRaw), u"A3"),
         {u"閉じられた"},
         u"受け付けません"},
        {saving(base::FileCause::NoSpace),
         {u"ディスクの空き容量が足りません", u"元のファイルはそのままです"}},
        {saving(base::FileCause::ReadOnlyFileSystem), {u"読み取り専用のディスクです"}},
        {saving(base::FileCause::TooLarge), {u"ファイルが大きすぎます"}},
        {saving(base::FileCause::NotRegular), {u"名前付きパイプやデバイス"}},
        {saving(base::FileCause::LinkLoop), {u"シンボリックリンクが循環しています"}},
        {form::wording::listFileProblem({File::Kind::Ambiguous, "/w/List", {}, 0}, {u"縺"}, u"t"),
         {u"区別できず"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(utf8(row.said.prompt));
        for (const std::u16string& part : row.parts)
            EXPECT_NE(row.said.prompt.find(part), std::u16string::npos) << utf8(part);
        EXPECT_EQ(row.said.prompt.find(row.never), std::u16string::npos);
    }
}

// Linking again fails while the program goes on: the person starts the
// application and gives the command again, never Wordpour.
TEST(Wording, ARelinkThatFailedAsksForTheCommandAgainNotARestart) {
    using link::spreadsheet::Remedy;
    const std::u16string app = u"Excel";
    std::vector<Message> said;
    for (Remedy remedy : {Remedy::StartApplication, Remedy::StartListening})
        said.push_back(form::wording::relinkFailed(
            link::spreadsheet::Error(Failure::NotRunning, kRaw, remedy, u"pipe"), u"/b/x.xls",
            app));
    for (Failure failure : {Failure::NotInstalled, Failure::StartTimedOut})
        said.push_back(form::wording::relinkStartFailed(
            link::StartupError(
                link::StartupError::Kind::StartApplicationFailed, {},
                link::spreadsheet::Error(failure, kRaw, Remedy::Install, u"libreoffice-calc", 90)),
            app));
    for (const Message& message : said) {
        SCOPED_TRACE(utf8(message.prompt));
        EXPECT_EQ(message.prompt.find(u"ワードポア！を起動"), std::u16string::npos);
        EXPECT_EQ(message.prompt.find(u"終了します"), std::u16string::npos);
        EXPECT_NE(message.prompt.find(u"単語とセル位置はそのままです"), std::u16string::npos);
    }
    EXPECT_NE(said[0].prompt.find(u"Excel を起動してから、もう一度同じ操作をしてください。"),
              std::u16string::npos);
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
