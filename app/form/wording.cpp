#include "app/form/wording.h"

#include "app/find/kana.h"
#include "app/find/search_key.h"
#include "journal/csv.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>

#include "app/form/commands.h"
#include "app/form/layout.h"
#include "base/unicode.h"
#include "cells/cell_name.h"

namespace wordpour::form::wording {

namespace {

using base::FileCause;
using link::spreadsheet::Failure;
using link::spreadsheet::Remedy;

std::u16string decimal(std::size_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string bracketed(std::u16string_view text) {
    return u"「" + std::u16string(text) + u"」";
}

// A word as a message shows it: whole up to kShownLength characters; a
// longer one cut there, never inside a surrogate pair, with its full length.
// A box holding megabytes of text would take the window half a minute.
constexpr std::size_t kShownLength = 1000;

}  // namespace

std::u16string shown(std::u16string_view word) {
    if (word.size() <= kShownLength) return std::u16string(word);
    std::size_t cut = kShownLength;
    if (word[cut - 1] >= 0xD800 && word[cut - 1] < 0xDC00) --cut;
    return std::u16string(word.substr(0, cut)) + u"…（全" + decimal(word.size()) + u"文字）";
}

namespace {

std::u16string title() {
    return std::u16string(kProgramTitle);
}

// When the application could not be reached: at start-up, which then ends
// the program, or while it runs, when the next command links again.
enum class When { Starting, Running };

// What the person does once the application runs.
std::u16string_view thenAgain(When when) {
    return when == When::Starting ? u"もう一度ワードポア！を起動してください"
                                  : u"もう一度同じ操作をしてください";
}

// What the user can do when the application cannot be reached.
std::u16string advice(const link::spreadsheet::Error& error, std::u16string_view application,
                      When when = When::Starting) {
    const std::u16string name(application);
    switch (error.remedy()) {
        case Remedy::StartListening:
            return name + u" を次のように起動してから、" + std::u16string(thenAgain(when)) +
                   u":\n"
                   u"soffice --accept=\"pipe,name=" +
                   error.subject() + u";urp;\"";
        case Remedy::StartApplication:
            return name + u" を起動してから、" + std::u16string(thenAgain(when)) + u"。";
        case Remedy::Install:
            if (error.subject().empty()) return name + u" がインストールされていません。";
            return name +
                   u" がインストールされていません。次のコマンドでインストールしてください:\n"
                   u"sudo apt-get install " +
                   error.subject();
        case Remedy::None:
            break;
    }
    return {};
}

// The prompt, then what the user can do about the failure, if anything.
// The backend's own words (often English) are never shown: diagnostic()
// gives them to whoever debugs.
std::u16string withAdvice(std::u16string prompt, const link::spreadsheet::Error& error,
                          std::u16string_view application = {}, When when = When::Starting) {
    if (error.remedy() == Remedy::None) return prompt;
    return prompt + u"\n\n" + advice(error, application, when);
}

std::u16string spreadsheetAtStartup(const link::spreadsheet::Error& error,
                                    std::u16string_view book) {
    switch (error.failure()) {
        case Failure::NotRunning:
        case Failure::NotStarted:
            return u"表計算ソフトに接続できません。起動していないか、接続を受け付けていません。";
        case Failure::Open:
            return u"ブック" + bracketed(book) + u"を開けません。";
        case Failure::ForeignPipe:
            return u"表計算ソフトとの接続口（名前付きパイプ）がほかのユーザーのものなので、"
                   u"接続しません。ブックのパスも単語も送っていません。\n（接続口" +
                   bracketed(error.subject()) + u"の持ち主: ユーザー番号 " +
                   decimal(static_cast<std::size_t>(std::max(error.number(), 0L))) + u"）";
        case Failure::OtherProfile:
            return u"LibreOffice がほかのプロファイル" + bracketed(error.subject()) +
                   u"で起動しているため、ワードポア！から使えません。その LibreOffice "
                   u"を終了してから"
                   u"起動し直すか、環境変数 WORDPOUR_OFFICE_ARGS に「-env:UserInstallation=" +
                   error.subject() + u"」を指定してワードポア！を起動してください。";
        case Failure::BadPipeName:
            return u"名前付きパイプの名前" + bracketed(error.subject()) +
                   u"（WORDPOUR_PIPE）は使えません。英数字と「_」「-」「.」だけで、"
                   u"ソケットのパスが107バイトに収まる名前にしてください。";
        case Failure::PipeIsLink:
        case Failure::PipeIsFile:
        case Failure::PipeIsFolder: {
            const std::u16string_view what =
                error.failure() == Failure::PipeIsLink   ? u"シンボリックリンク"
                : error.failure() == Failure::PipeIsFile ? u"ファイル"
                                                         : u"フォルダー";
            return u"表計算ソフトとの接続口（名前付きパイプ）の場所" + bracketed(error.subject()) +
                   u"に、ソケットではなくあなたの" + std::u16string(what) +
                   u"があるので、接続しません。それを取り除くか、別のパイプ（WORDPOUR_PIPE）を"
                   u"使ってください。";
        }
        case Failure::Busy:
            return u"表計算ソフトが応答しないため、ブック" + bracketed(book) +
                   u"を準備できません。セルを編集中なら、編集を終えてから起動し直してください。";
        case Failure::NotTheFile:
            return u"表計算ソフトがブック" + bracketed(book) +
                   u"そのものではなく、ファイルに結び付いていない文書（「コピーを開く」で開いた"
                   u"コピーなど）を開きました。書き込んだ単語をこのブックに保存できないため、"
                   u"使えません。" +
                   (error.subject().empty() ? u""
                                            : u"\n（開かれた文書: " + error.subject() + u"）");
        case Failure::ReadOnly:
            return u"ブック" + bracketed(book) +
                   u"は読み取り専用でしか開けません。書き込んだ単語を保存できないため、使えません。"
                   u"\nほかで使用中か、異常終了した LibreOffice のロックファイル（.~lock.…#）が"
                   u"ブックと同じフォルダーに残っています。";
        case Failure::NoSheet:
            return u"ブック" + bracketed(book) + u"にワークシート" + bracketed(link::kSheetName) +
                   u"がありません。";
        case Failure::NotWorksheet:
            return u"ブック" + bracketed(book) + u"の" + bracketed(link::kSheetName) +
                   u"はワークシートではありません。";
        case Failure::NotInstalled:
        case Failure::StartTimedOut:
        case Failure::EndedEarly:
            // The advice after it says what to do (install, start).
            return u"表計算ソフトを使えません。";
        case Failure::Range:
        case Failure::Value:
        case Failure::Protected:
        case Failure::SheetGone:
        case Failure::BeingEdited:
            return u"ブック" + bracketed(book) + u"のワークシート" + bracketed(link::kSheetName) +
                   u"を準備できません。";
        case Failure::Visible:
        case Failure::Disconnected:
            break;
    }
    return u"ブック" + bracketed(book) + u"の準備中に表計算ソフトとの接続が切れました。";
}

constexpr std::u16string_view kEnds = u"\nワードポア！を終了します。";
// Said of every entry that wrote nothing.
constexpr std::u16string_view kNothingWritten = u"\n何も書き込まず、セル位置もそのままです。";
constexpr std::u16string_view kListKept = u"単語のリストは残っています。";
constexpr std::u16string_view kCellNameTitle = u"セル名の異常";

static_assert(cells::kMaxLetters == 1261 && cells::kNameLengthLimit == 32767,
              "the overflow message names these limits");

// "ファイル「/home/…/List」".
std::u16string named(const std::filesystem::path& path) {
    std::u16string shown;
    try {
        shown = path.u16string();
    } catch (const std::exception&) {
        shown = u"List";  // a folder name that is not text in the system's encoding
    }
    return u"ファイル「" + shown + u"」";
}

// The cause in terms a user can act on.
std::u16string describe(const base::FileError& error) {
    switch (error.cause) {
        case FileCause::NoSpace:
            return u"ディスクの空き容量が足りません";
        case FileCause::PermissionDenied:
            return u"アクセスが拒否されました（権限がありません）";
        case FileCause::ReadOnlyFileSystem:
            return u"読み取り専用のディスクです";
        case FileCause::NotFound:
            return u"ファイルまたはフォルダーが見つかりません";
        case FileCause::IsFolder:
            return u"ファイルではなくフォルダーです";
        case FileCause::TooLarge:
            return u"ファイルが大きすぎます";
        case FileCause::NotRegular:
            return u"名前付きパイプやデバイスで、通常のファイルではありません";
        case FileCause::LinkLoop:
            return u"シンボリックリンクが循環しています";
        case FileCause::NotAFolder:
            return u"フォルダーのあるべき場所にファイルがあります";
        case FileCause::Other:
            break;
    }
    const std::string code = std::to_string(error.code);
    return u"システムのエラー " + std::u16string(code.begin(), code.end());
}

std::u16string because(const base::FileError& error) {
    return u"\n（" + describe(error) + u"）";
}

Message confirmation(std::u16string_view firstSentence, std::u16string_view boxTitle) {
    return {std::u16string(firstSentence) + u"\r" + u"よろしいですか？", kConfirmation,
            std::u16string(boxTitle)};
}

}  // namespace

namespace {

// Start-up's words; while the program runs, without its ending.
bool isOds(std::u16string_view path) {
    if (path.size() < 4) return false;
    std::u16string end(path.substr(path.size() - 4));
    for (char16_t& c : end)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return end == u".ods";
}

Message startupWords(const link::StartupError& error, std::u16string_view applicationName,
                     When when) {
    using Kind = link::StartupError::Kind;
    const std::u16string name(applicationName);
    const std::u16string ends(when == When::Starting ? kEnds : u"");
    switch (error.kind) {
        case Kind::NoBook:
            return {u"ブックが選ばれなかったので、ワードポア！を終了します。", kCritical, title()};
        case Kind::BookMissing:
            return {u"ブック" + bracketed(error.book) + u"が見つかりません。" + ends, kCritical,
                    title()};
        case Kind::StartApplication:
            return {relinkStartQuestion(name).prompt +
                        u"\n\n「いいえ」を選ぶと、ワードポア！を終了します。",
                    kStartQuestion, title()};
        case Kind::StartApplicationFailed: {
            std::u16string why;
            const Failure failure = error.cause ? error.cause->failure() : Failure::NotRunning;
            if (failure == Failure::NotInstalled) {
                why = u"\n" + advice(*error.cause, applicationName, when);
            } else if (failure == Failure::StartTimedOut) {
                why = u"\n起動しましたが、" +
                      decimal(static_cast<std::size_t>(error.cause->number())) +
                      u"秒待っても接続を受け付けません。";
            } else if (failure == Failure::EndedEarly) {
                why = u"\n接続を受け付ける前に終了しました（終了コード " +
                      decimal(static_cast<std::size_t>(error.cause->number())) + u"）。";
            }
            return {name + u" を起動できません。" + why + ends, kCritical, title()};
        }
        case Kind::Spreadsheet:
            break;
    }
    const link::spreadsheet::Error cause =
        error.cause ? *error.cause : link::spreadsheet::Error(Failure::Disconnected, {});
    std::u16string said = spreadsheetAtStartup(cause, error.book);
    // Excel opens today's workbooks, but not every version of it Calc's own.
    if (cause.failure() == Failure::Open && applicationName == u"Excel" && isOds(error.book))
        said +=
            u"\nOpenDocument 表計算（.ods）のブックは、Excel では開けないことがあります。"
            u"LibreOffice Calc などで「.xlsx」として保存してから、そのブックを選んでください。";
    return {withAdvice(said + ends, cause, applicationName, when), kCritical, title()};
}

}  // namespace

Message startupFailure(const link::StartupError& error, std::u16string_view applicationName) {
    return startupWords(error, applicationName, When::Starting);
}

std::u16string waitingFor(std::u16string_view applicationName) {
    return std::u16string(applicationName) +
           u" の応答を待っています…\n「中止」を押すと、ワードポア！を終了します。";
}

std::string diagnostic(const link::spreadsheet::Error& error) {
    return "wordpour: spreadsheet failure " + std::to_string(static_cast<int>(error.failure())) +
           ": " + base::encodeUtf8(error.detail());
}

void logDiagnostic(const std::optional<link::spreadsheet::Error>& error) {
    if (error && !error->detail().empty()) std::fprintf(stderr, "%s\n", diagnostic(*error).c_str());
}

Message entryRefused(const link::EntryRefusal& refusal) {
    using Kind = link::EntryRefusal::Kind;
    switch (refusal.kind) {
        case Kind::WordTooLong:
            return {u"単語が長すぎます（" + decimal(refusal.at) + u"文字）。セルに入るのは" +
                        decimal(link::kMaxWordLength) + u"文字までです。" +
                        std::u16string(kNothingWritten),
                    kExclamation, title()};
        case Kind::BrokenWord:
            return {u"単語の" + decimal(refusal.at + 1) +
                        u"文字目が文字として正しくありません（対になっていないサロゲート。"
                        u"絵文字などを途中で切り取ると残ります）。" +
                        std::u16string(kNothingWritten),
                    kExclamation, title()};
        case Kind::WrongCellName:
            return {u"セルの名前が間違っています。", kOkOnly, std::u16string(kCellNameTitle)};
        case Kind::CellNameTooLong:
            break;
    }
    return {u"セルの名前が長すぎます。列の文字は1261文字まで、名前全体は32766文字までです。" +
                std::u16string(kNothingWritten),
            kExclamation, std::u16string(kCellNameTitle)};
}

namespace {

// Why the sheet could not be reached, after a command's first sentence;
// `refused` says it for a sheet that turned the call away. For an entry
// (`toEntry`), what to do before pressing 入力 again follows.
std::u16string briefCause(const link::spreadsheet::Error& error, std::u16string_view refused,
                          bool toEntry) {
    const auto then = [toEntry](std::u16string_view hint) {
        return toEntry ? std::u16string(hint) : std::u16string();
    };
    switch (error.failure()) {
        case Failure::SheetGone:
            return u"起動時に選んだワークシート" + bracketed(link::kSheetName) +
                   u"が削除されました。" + then(u"ほかのシートには書き込みません。");
        case Failure::Busy:
            return u"表計算ソフトが10秒待っても応答しません（セルを編集中など）。" +
                   then(u"編集を終えてから、もう一度「入力」を押してください。");
        case Failure::BeingEdited:
            return u"表計算ソフトでこのセルを編集中です。" +
                   then(u"編集を確定すると、書き込んだ単語が消えてしまいます。") +
                   u"編集を確定するか取り消して（Enter か Esc）から、もう一度" +
                   (toEntry ? u"「入力」を押してください。" : u"試してください。");
        case Failure::Protected:
            return u"ワークシート" + bracketed(link::kSheetName) + u"が保護されています。" +
                   then(u"保護を解除してから、もう一度「入力」を押してください。");
        case Failure::Range:
        case Failure::Value:
            return std::u16string(refused);
        case Failure::Visible:
        case Failure::NotRunning:
        case Failure::NotStarted:
        case Failure::ForeignPipe:
        case Failure::BadPipeName:
        case Failure::PipeIsLink:
        case Failure::PipeIsFile:
        case Failure::PipeIsFolder:
        case Failure::NotInstalled:
        case Failure::OtherProfile:
        case Failure::StartTimedOut:
        case Failure::EndedEarly:
        case Failure::Open:
        case Failure::ReadOnly:
        case Failure::NotTheFile:
        case Failure::NoSheet:
        case Failure::NotWorksheet:
        case Failure::Disconnected:
            break;
    }
    return u"表計算ソフトかブックが閉じられた可能性があります" +
           (toEntry
                ? std::u16string(u"（ブックの開き直しや、編集モードの切り替えでも閉じられます）。")
                : std::u16string(u"。"));
}

}  // namespace

Message entryFailed(const link::spreadsheet::Error& error, std::u16string_view cell) {
    const std::u16string at = u"セル" + bracketed(cell);
    if (error.failure() == Failure::Visible)
        return {withAdvice(at + u"に書き込みましたが、表計算ソフトのウィンドウを表示できません。",
                           error),
                kExclamation, title()};
    const std::u16string why = briefCause(error,
                                          error.failure() == Failure::Range
                                              ? u"ワークシートがこのセルの名前を受け付けません。"
                                              : u"表計算ソフトが値を受け付けません。",
                                          true);
    return {withAdvice(at + u"に書き込めません。" + why + std::u16string(kNothingWritten) +
                           std::u16string(kListKept),
                       error),
            kExclamation, title()};
}

namespace {

// What a cell holds, as a question quotes it: on one line, cut after
// kPreviewLength characters (never inside a surrogate pair).
constexpr std::size_t kPreviewLength = 20;

std::u16string preview(const link::spreadsheet::CellContent& held, std::u16string_view shownText) {
    std::u16string text = shownText.empty() ? held.text : std::u16string(shownText);
    if (shownText.empty() && held.kind == link::spreadsheet::CellContent::Kind::Number) {
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, held.number).ptr;
        text.assign(digits, end);
    }
    std::replace_if(
        text.begin(), text.end(), [](char16_t c) { return c < u' '; }, u' ');
    if (text.size() <= kPreviewLength) return text;
    std::size_t cut = kPreviewLength;
    if (text[cut - 1] >= 0xD800 && text[cut - 1] < 0xDC00) --cut;
    return text.substr(0, cut) + u"…";
}

// A cell under a merge: what the person would not see.
std::u16string hiddenUnder(std::u16string_view cell, std::u16string_view merge) {
    return u"セル" + bracketed(cell) + u"は結合されたセル範囲" + bracketed(merge) +
           u"に隠れていて、書き込んでも見えません。";
}

// The menu item that goes past what a column holds, as a message names it.
std::u16string endOfColumnItem() {
    const MenuItemDef* item = menuItemFor(Command::EndOfColumn);
    return bracketed(plainCaption(kMenus[indexOf(item->menu)].caption)) + u"メニューの" +
           bracketed(plainCaption(item->caption)) + u"（" + shortcutText(item->shortcut) + u"）";
}

}  // namespace

Message overwriteQuestion(std::u16string_view cell, const link::spreadsheet::CellContent& held,
                          std::u16string_view shownText, std::u16string_view hiddenBy) {
    const bool empty = held.kind == link::spreadsheet::CellContent::Kind::Empty;
    std::u16string prompt;
    if (!hiddenBy.empty()) {
        prompt = hiddenUnder(cell, hiddenBy);
        if (!empty)
            prompt += u"\nそのセルには" + bracketed(preview(held, shownText)) + u"が入っています。";
        prompt += u"\n書き込みますか？";
    } else {
        prompt = u"セル" + bracketed(cell) + u"には" + bracketed(preview(held, shownText)) +
                 u"が入っています。上書きしますか？";
    }
    return {
        prompt + u"\n\n空いているセルから続けるには、" + endOfColumnItem() + u"を使ってください。",
        kQuestionDefaultNo, u"上書きの確認"};
}

Message rowOverwriteQuestion(const std::vector<std::u16string>& cells) {
    std::u16string named;
    for (const auto& cell : cells) named += (named.empty() ? u"" : u"、") + bracketed(cell);
    return {u"単語と同時に書くセルのうち、セル" + named +
                u"には内容が入っているか、結合されたセルに隠れています。上書きしますか？" +
                u"\n\n空いているセルから続けるには、" + endOfColumnItem() + u"を使ってください。",
            kQuestionDefaultNo, u"上書きの確認"};
}

Message hiddenCellRefused(std::u16string_view cell, std::u16string_view hiddenBy) {
    return {hiddenUnder(cell, hiddenBy) + std::u16string(kNothingWritten) + u"\n" +
                endOfColumnItem() + u"で、空いているセルから続けられます。",
            kExclamation, title()};
}

Message columnEndFailed(const link::spreadsheet::Error& error, std::u16string_view column) {
    return {withAdvice(u"列" + bracketed(column) + u"の最後のセルを調べられません。" +
                           briefCause(error, u"ワークシートにこの列がありません。", false) +
                           u"\nセル位置はそのままです。",
                       error),
            kExclamation, title()};
}

Message undoOverwrite(std::u16string_view cell) {
    return {u"セル" + bracketed(cell) +
                u"は入力の後で変更されています。\n元に戻して、いまの内容を上書きしますか？",
            kQuestionDefaultNo, u"元に戻す"};
}

Message undoCellDeleted(std::u16string_view cell, std::u16string_view word) {
    return {u"セル" + bracketed(cell) + u"に入力した" +
                bracketed(preview(link::spreadsheet::CellContent::written(word), {})) +
                u"は、その後セルが削除されたため、元に戻すものがありません。"
                u"\nこの入力を元に戻す対象から外し、セル位置を入力の前に戻しました。",
            kExclamation, u"元に戻す"};
}

Message undoFailed(const link::spreadsheet::Error& error, std::u16string_view cell) {
    return {withAdvice(u"セル" + bracketed(cell) + u"を元に戻せません。" +
                           briefCause(error, u"表計算ソフトが受け付けません。", false) +
                           u"\nセルもセル位置もそのままです。",
                       error),
            kExclamation, title()};
}

Message confirmLoad() {
    return confirmation(u"ﾘｽﾄをﾛｰﾄﾞします。", kLoadTitle);
}

Message confirmSave() {
    return confirmation(u"現在のﾘｽﾄを保存します。", kSaveTitle);
}

Message nothingToSave() {
    return {u"リストに単語がないので、保存しません。「List」は変更していません。", kExclamation,
            std::u16string(kSaveTitle)};
}

std::u16string findRow(const FoundRow& row) {
    // Kana words, half-width ones too, are read as written.
    if (row.reading.empty() || row.reading == find::toHiragana(find::nfkcCaseFold(row.word)))
        return row.word;
    return row.word + u"（" + row.reading + u"）";
}

std::u16string readingPrompt(std::u16string_view word) {
    return u"「" + shown(word) +
           u"」の読みを、ひらがな、カタカナかローマ字で入力してください。\n"
           u"空にすると、辞書の読みに戻ります。";
}

Message noWordToRead() {
    return {u"読みを変更する単語を、単語のボックスに入力するか一覧から選んでください。",
            kExclamation, std::u16string(kReadingTitle)};
}

Message readingRefused(std::u16string_view typed) {
    return {u"「" + shown(typed) +
                u"」は読みとして使えません。ひらがな、カタカナかローマ字で入力してください。"
                u"読みは変更していません。",
            kExclamation, std::u16string(kReadingTitle)};
}

Message listFullOnAdd() {
    return {u"リストには" + decimal(wordlist::kMaxEntries) +
                u"項目までしか登録できないため、追加しません。",
            kExclamation, std::u16string(kAddTitle)};
}

Message listFullOnLoad(std::size_t count, std::size_t adding) {
    return {u"リストには" + decimal(wordlist::kMaxEntries) + u"項目までしか登録できません。いまの" +
                decimal(count) + u"項目に「List」の" + decimal(adding) +
                u"項目を足すと超えるため、読み込みません。",
            kExclamation, std::u16string(kLoadTitle)};
}

Message listFileProblem(const wordlist::ListFileProblem& problem,
                        const std::vector<std::u16string>& words, std::u16string_view boxTitle) {
    using Kind = wordlist::ListFileProblem::Kind;
    const std::u16string file = named(problem.path);
    const std::u16string unchanged = u"\n" + file + u"は変更していません。";
    std::u16string prompt;
    switch (problem.kind) {
        case Kind::NotFound:
            prompt = file + u"がありません。先に「リスト保存」で保存してください。";
            break;
        case Kind::IsFolder:
            prompt = file + u"はフォルダーなので、リストを読めません。";
            break;
        case Kind::Unreadable:
            prompt = file + u"を読めません。" + because(problem.error);
            break;
        case Kind::NotText:
            prompt = file +
                     u"は、ワードポア！が読める文字コード（シフトJIS＝コードページ932、UTF-8、"
                     u"EUC-JP、バイト順マーク付きのUTF-16）のテキストではないので、読めません。";
            break;
        case Kind::Unencodable:
            prompt = u"単語「" +
                     (problem.index < words.size() ? shown(words[problem.index]) : u"") + u"」（" +
                     decimal(problem.index + 1) +
                     u"番目）はシフトJIS（コードページ932）で書けない文字を含むため、"
                     u"リストを保存しません。" +
                     unchanged;
            break;
        case Kind::Ambiguous:
            prompt =
                u"このリストをシフトJIS（コードページ932）で保存すると、読み込むときにUTF-8や"
                u"EUC-JPのテキストと区別できず別の単語になるため、保存しません。" +
                unchanged;
            break;
        case Kind::NotSaved:
            prompt =
                file + u"に保存できません。元のファイルはそのままです。" + because(problem.error);
            break;
    }
    return {std::move(prompt), kExclamation, std::u16string(boxTitle)};
}

Message notesNotSaved(const std::filesystem::path& file, const base::FileError& error) {
    return {u"単語の読みと入力回数を" + named(file) +
                u"に保存できません。単語は「List」に保存しました。" + because(error) +
                u"\n変更した読みと入力回数は、ワードポア！を終了するまで有効です。",
            kExclamation, std::u16string(kSaveTitle)};
}

Message notesCut(const std::filesystem::path& file, std::size_t lines) {
    return {named(file) + u"が長すぎるため、単語の読みと入力回数は先頭の" + decimal(lines) +
                u"行だけを読みました。単語はすべて読み込みました。",
            kExclamation, std::u16string(kLoadTitle)};
}

Message settingNotKept(Command item, const std::filesystem::path& file,
                       const base::FileError& error) {
    return {bracketed(plainCaption(menuItemFor(item)->caption)) + u"の選択を" + named(file) +
                u"に保存できません。" + because(error) +
                u"\nこの選択は、ワードポア！を終了するまで有効です。",
            kExclamation, title()};
}

Message relinkStartQuestion(std::u16string_view applicationName) {
    const std::u16string name(applicationName);
    return {name + u" が起動していません。\n" + name +
                u" を起動して、ワードポア！から使えるようにしますか？",
            kStartQuestion, title()};
}

Message bookClosedQuestion(std::u16string_view book) {
    return {u"ブック" + bracketed(book) + u"が閉じられています。開き直して入力しますか？",
            kQuestionDefaultNo, title()};
}

Message notRelinked(std::u16string_view book) {
    return {u"ブック" + bracketed(book) +
                u"に接続し直していないため、何もしていません。単語とセル位置はそのままです。",
            kExclamation, title()};
}

Message relinkFailed(const link::spreadsheet::Error& error, std::u16string_view book,
                     std::u16string_view applicationName) {
    // Start-up's words for the cause; the program goes on, and links again
    // on the next command.
    Message said = startupWords(
        link::StartupError(link::StartupError::Kind::Spreadsheet, std::u16string(book), error),
        applicationName, When::Running);
    said.prompt = u"ブック" + bracketed(book) + u"に接続し直せません。\n" + said.prompt +
                  u"\n単語とセル位置はそのままです。";
    return said;
}

Message relinkStartFailed(const link::StartupError& error, std::u16string_view applicationName) {
    Message said = startupWords(error, applicationName, When::Running);
    said.prompt += u"\n単語とセル位置はそのままです。";
    return said;
}

Message lostEntriesQuestion(const std::vector<link::Entry>& lost,
                            const std::vector<std::u16string>& changed) {
    // A short list: the first few, then how many more.
    constexpr std::size_t kListed = 8;
    std::u16string text =
        decimal(lost.size()) + u"件の入力がブックに残っていません。書き戻しますか？\n";
    for (std::size_t i = 0; i < lost.size() && i < kListed; ++i)
        text += u"\n" + lost[i].cell + u"：" +
                bracketed(preview(link::spreadsheet::CellContent::written(lost[i].word), {}));
    if (lost.size() > kListed) text += u"\n…ほか" + decimal(lost.size() - kListed) + u"件";
    if (!changed.empty()) {
        text += u"\n\n入力の後に内容が変わったセルは、そのままにします：";
        for (std::size_t i = 0; i < changed.size() && i < kListed; ++i)
            text += (i ? u"、" : u"") + changed[i];
        if (changed.size() > kListed) text += u"…";
    }
    text += u"\n\n「いいえ」を選んでも、入力の記録には残ります。";
    return {std::move(text), kStartQuestion, u"入力の書き戻し"};
}

Message journalList(const std::vector<journal::Record>& records) {
    if (records.empty())
        return {u"このブックへの入力の記録はまだありません。", kOkOnly, u"入力の記録"};
    // The latest, as many as a message box shows readably.
    constexpr std::size_t kShown = 20;
    std::u16string text =
        u"このブックへの入力の記録（" + decimal(records.size()) + u"件、新しいものから）：\n";
    for (std::size_t i = 0; i < records.size() && i < kShown; ++i) {
        const journal::Record& r = records[records.size() - 1 - i];
        text += u"\n" + journal::localTime(r.time) + u"　" + r.cell + u"　" +
                bracketed(preview(link::spreadsheet::CellContent::written(r.word), {})) +
                (r.kind == journal::Record::Kind::Undo ? u"（元に戻す）" : u"");
    }
    if (records.size() > kShown) text += u"\n…ほか" + decimal(records.size() - kShown) + u"件";
    text += u"\n\nすべてをCSVファイルに保存しますか？";
    return {std::move(text), kStartQuestion, u"入力の記録"};
}

Message csvNotSaved(const std::filesystem::path& file, const base::FileError& error) {
    return {u"入力の記録を" + named(file) + u"に保存できません。" + because(error), kExclamation,
            u"入力の記録"};
}

Message journalNotKept(const std::filesystem::path& folder, const base::FileError& error) {
    std::u16string shown;
    try {
        shown = folder.u16string();
    } catch (const std::exception&) {
        shown = u"wordpour";  // a path that is not text in the system's encoding
    }
    return {u"入力の記録をフォルダー「" + shown + u"」に書き込めません。" + because(error) +
                u"\n単語はこれまでどおりブックに書き込みます。このお知らせは、ワードポア！を終了す"
                u"るまで"
                u"もう出しません。",
            kExclamation, u"入力の記録"};
}

Message wordList(const std::vector<std::u16string>& words) {
    std::u16string text;
    for (const auto& word : words) text += shown(word) + u"\n";
    if (words.empty()) text = u"登録されている項目はありません。";
    return {std::move(text), kOkOnly, u"現在のリスト項目"};
}

Message inputMethodAdvice(const InputMethodGap& gap) {
    using Cause = InputMethodGap::Cause;
    using Remedy = InputMethodGap::Remedy;
    std::u16string why;
    switch (gap.cause) {
        case Cause::NotSetForQt:
            why = u"入力メソッド" + bracketed(gap.method) +
                  u"が Qt のプログラムには設定されていない（環境変数 QT_IM_MODULE がない）ため、";
            break;
        case Cause::NoQtModule:
            why = u"入力メソッド" + bracketed(gap.method) + u"には Qt 6 用のモジュールがないため、";
            break;
        case Cause::NoFcitxModule:
            why = u"fcitx5 の Qt 6 用モジュールがないため、";
            break;
    }
    constexpr std::u16string_view install =
        u"fcitx5-frontend-qt6 をインストールしてください（sudo apt install fcitx5-frontend-qt6）。";
    constexpr std::u16string_view setFcitx =
        u"QT_IM_MODULE=fcitx を設定するか、im-config で fcitx5 "
        u"を選び直してログインし直してください。";
    std::u16string what;
    switch (gap.remedy) {
        case Remedy::SetIbus:
            what =
                u"QT_IM_MODULE=ibus を設定するか、im-config で ibus を選び直してログインし直して"
                u"ください。";
            break;
        case Remedy::SetFcitx:
            what = setFcitx;
            break;
        case Remedy::InstallFcitxModule:
            what = install;
            break;
        case Remedy::InstallFcitxModuleAndSetFcitx:
            what = std::u16string(install) + u"\n" + std::u16string(setFcitx);
            break;
        case Remedy::UseIbusOrFcitx:
            what =
                u"ibus と ibus-mozc、または fcitx5 と fcitx5-mozc と fcitx5-frontend-qt6 を"
                u"インストールし、im-config でその入力メソッドを選んで、ログインし直してください。";
            break;
    }
    return {why + u"ワードポア！に日本語を入力できません。\n" + what +
                u"\n\n（このお知らせは、設定が変わるまで表示しません。）",
            Style{Buttons::OkOnly, Icon::Information}, title()};
}

Message nativeWaylandNotice() {
    return {
        u"Wayland のウィンドウとして動いているため、「常に手前に表示」でほかのウィンドウより"
        u"手前に出ることも、入力のあと表計算ソフトに移ったキーボードを取り戻すこともできません。\n"
        u"キーボードが移ったときは、ワードポア！のウィンドウをクリックしてください。\n"
        u"どちらも使うには、環境変数 QT_QPA_PLATFORM を設定せずに（XWayland で）起動してください。"
        u"\n\n（このお知らせは、次からは表示しません。）",
        Style{Buttons::OkOnly, Icon::Information}, title()};
}

}  // namespace wordpour::form::wording
