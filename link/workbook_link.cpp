#include "link/workbook_link.h"

#include <filesystem>
#include <system_error>

#include "wordlist/unicode.h"

namespace wordpour::link {

namespace {

using excel::Failure;

// ASCII as text; any other byte shows as "?".
std::u16string toText(std::string_view ascii) {
    std::u16string text;
    for (char c : ascii) text += static_cast<unsigned char>(c) < 0x80 ? char16_t(c) : u'?';
    return text;
}

std::u16string bracketed(std::u16string_view text) {
    return u"「" + std::u16string(text) + u"」";
}

std::u16string withDetail(std::u16string prompt, const excel::Error& error) {
    if (error.detail().empty()) return prompt;
    // Not running: the detail says how to start an office that listens.
    if (error.failure() == Failure::NotRunning || error.failure() == Failure::NotStarted)
        return prompt + u"\n\n" + error.detail();
    return prompt + u"\n\n（詳細: " + error.detail() + u"）";
}

Message startupMessage(const excel::Error& error, std::u16string_view book) {
    std::u16string prompt;
    switch (error.failure()) {
        case Failure::NotRunning:
        case Failure::NotStarted:
            prompt = u"表計算ソフトに接続できません。起動していないか、接続を受け付けていません。";
            break;
        case Failure::Open:
            prompt = u"ブック" + bracketed(book) + u"を開けません。";
            break;
        case Failure::ForeignPipe:
            prompt =
                u"表計算ソフトとの接続口（名前付きパイプ）がほかのユーザーのものなので、"
                u"接続しません。ブックのパスも単語も送っていません。";
            break;
        case Failure::Busy:
            prompt = u"表計算ソフトが応答しないため、ブック" + bracketed(book) +
                     u"を準備できません。セルを編集中なら、編集を終えてから起動し直してください。";
            break;
        case Failure::NotTheFile:
            prompt = u"表計算ソフトがブック" + bracketed(book) +
                     u"そのものではなく、ファイルに結び付いていない文書（「コピーを開く」で開いた"
                     u"コピーなど）を開きました。書き込んだ単語をこのブックに保存できないため、"
                     u"使えません。";
            break;
        case Failure::ReadOnly:
            prompt =
                u"ブック" + bracketed(book) +
                u"は読み取り専用でしか開けません。書き込んだ単語を保存できないため、使えません。"
                u"\nほかで使用中か、異常終了した LibreOffice のロックファイル（.~lock.…#）が"
                u"ブックと同じフォルダーに残っています。";
            break;
        case Failure::NoSheet:
            prompt = u"ブック" + bracketed(book) + u"にワークシート" + bracketed(text::kSheetName) +
                     u"がありません。";
            break;
        case Failure::NotWorksheet:
            prompt = u"ブック" + bracketed(book) + u"の" + bracketed(text::kSheetName) +
                     u"はワークシートではありません。";
            break;
        default:
            prompt = u"ブック" + bracketed(book) + u"の準備中に表計算ソフトとの接続が切れました。";
            break;
    }
    return {withDetail(prompt + u"\nワードポア！を終了します。", error), kCritical, kProgramTitle};
}

static_assert(cells::kMaxLetters == 1261 && cells::kNameLengthLimit == 32767,
              "the overflow message names these limits");

// Said of every entry that wrote nothing.
constexpr std::u16string_view kNothingWritten = u"\n何も書き込まず、セル位置もそのままです。";

Message entryMessage(const excel::Error& error, std::u16string_view cell) {
    const std::u16string kNothingMoved =
        std::u16string(kNothingWritten) + u"単語のリストは残っています。";
    std::u16string prompt;
    switch (error.failure()) {
        case Failure::Range:
            prompt = u"セル" + bracketed(cell) +
                     u"に書き込めません。ワークシートがこのセルの名前を受け付けません。";
            prompt += kNothingMoved;
            break;
        case Failure::Value:
            prompt =
                u"セル" + bracketed(cell) + u"に書き込めません。表計算ソフトが値を受け付けません。";
            prompt += kNothingMoved;
            break;
        case Failure::SheetGone:
            prompt = u"セル" + bracketed(cell) + u"に書き込めません。起動時に選んだワークシート" +
                     bracketed(text::kSheetName) +
                     u"が削除されたか、名前が変わりました。ほかのシートには書き込みません。";
            prompt += kNothingMoved;
            break;
        case Failure::Busy:
            prompt = u"セル" + bracketed(cell) +
                     u"に書き込めません。表計算ソフトが10秒待っても応答しません（セルを編集中"
                     u"など）。編集を終えてから、もう一度「入力」を押してください。";
            prompt += kNothingMoved;
            break;
        case Failure::Visible:
            prompt = u"セル" + bracketed(cell) +
                     u"に書き込みましたが、表計算ソフトのウィンドウを表示できません。";
            break;
        default:
            prompt = u"セル" + bracketed(cell) +
                     u"に書き込めません。表計算ソフトかブックが閉じられた可能性があります"
                     u"（ブックの開き直しや、編集モードの切り替えでも閉じられます）。";
            prompt += kNothingMoved;
            break;
    }
    return {withDetail(std::move(prompt), error), kExclamation, kProgramTitle};
}

Message undoMessage(const excel::Error& error, std::u16string_view cell) {
    std::u16string prompt = u"セル" + bracketed(cell) + u"を元に戻せません。";
    switch (error.failure()) {
        case Failure::SheetGone:
            prompt += u"起動時に選んだワークシート" + bracketed(text::kSheetName) +
                      u"が削除されたか、名前が変わりました。";
            break;
        case Failure::Busy:
            prompt += u"表計算ソフトが10秒待っても応答しません（セルを編集中など）。";
            break;
        case Failure::Range:
        case Failure::Value:
            prompt += u"表計算ソフトが受け付けません。";
            break;
        default:
            prompt += u"表計算ソフトかブックが閉じられた可能性があります。";
            break;
    }
    prompt += u"\nセルもセル位置もそのままです。";
    return {withDetail(std::move(prompt), error), kExclamation, kProgramTitle};
}

std::u16string decimal(std::size_t n) {
    return toText(std::to_string(n));
}

// A word the cell could not hold whole, or that is not text at all, is
// refused before anything is sent: cut, it would be written wrong, and half
// a surrogate pair breaks the office's connection for good.
std::optional<Message> wordProblem(std::u16string_view word) {
    if (word.size() > kMaxWordLength) {
        return Message{u"単語が長すぎます（" + decimal(word.size()) + u"文字）。セルに入るのは" +
                           decimal(kMaxWordLength) + u"文字までです。" +
                           std::u16string(kNothingWritten),
                       kExclamation, kProgramTitle};
    }
    const std::size_t bad = wordlist::firstUnpairedSurrogate(word);
    if (bad != std::u16string_view::npos) {
        return Message{u"単語の" + decimal(bad + 1) +
                           u"文字目が文字として正しくありません（対になっていないサロゲート。"
                           u"絵文字などを途中で切り取ると残ります）。" +
                           std::u16string(kNothingWritten),
                       kExclamation, kProgramTitle};
    }
    return std::nullopt;
}

bool fileExists(std::u16string_view path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(std::filesystem::path(path), ignored);
}

}  // namespace

void WorkbookLink::start(std::u16string bookPath, std::u16string_view startingCell) {
    BookPath = std::move(bookPath);
    if (BookPath.empty()) {
        throw StartupError(
            {u"ブックが選ばれなかったので、ワードポア！を終了します。", kCritical, kProgramTitle});
    }
    if (!fileExists(BookPath)) {
        throw StartupError(
            {u"ブック" + bracketed(BookPath) + u"が見つかりません。\nワードポア！を終了します。",
             kCritical, kProgramTitle});
    }
    try {
        XlApp = attach_();
        // The collections are temporaries: released once their item is stored.
        XlBook = XlApp->workbooks()->open(BookPath);
        XlSheet = XlBook->worksheets()->item(text::kSheetName);
        XlRange = XlSheet->range(startingCell);
    } catch (const excel::Error& error) {
        if (error.failure() == Failure::NotStarted && launch_) {
            throw StartupError({std::u16string(text::kStartOffice), kStartQuestion, kProgramTitle},
                               /*offersStart=*/true);
        }
        throw StartupError(startupMessage(error, BookPath));
    } catch (const std::exception& error) {
        // Nothing the application does may crash the program.
        throw StartupError(
            startupMessage(excel::Error(Failure::Disconnected, toText(error.what())), BookPath));
    }
}

void WorkbookLink::startApplication() {
    try {
        if (!launch_) throw excel::Error(Failure::NotRunning, u"");
        launch_();
    } catch (const excel::Error& error) {
        throw StartupError(
            {withDetail(u"LibreOffice Calc を起動できません。\nワードポア！を終了します。",
                        excel::Error(Failure::Disconnected, error.detail())),
             kCritical, kProgramTitle});
    }
}

void WorkbookLink::release() {
    XlRange.reset();
    XlSheet.reset();
    XlBook.reset();
    XlApp.reset();
}

std::variant<Entry, Message> WorkbookLink::prepareEntry(cells::CellNameBox& cellName,
                                                        std::u16string_view word) {
    if (auto problem = wordProblem(word)) return *std::move(problem);
    auto next = cells::nextRowName(Module1::GetCellName(cellName));
    switch (next.problem) {
        case cells::NameProblem::None:
            break;
        case cells::NameProblem::WrongCharacter:
            return Message{text::kWrongCellName, kOkOnly, text::kCellNameTitle};
        case cells::NameProblem::Overflow:
            return Message{
                u"セルの名前が長すぎます。列の文字は1261文字まで、名前全体は"
                u"32766文字までです。" +
                    std::u16string(kNothingWritten),
                kExclamation, text::kCellNameTitle};
    }
    return Entry{std::move(next.name), std::u16string(word)};
}

EntryResult WorkbookLink::write(const Entry& entry) {
    EntryResult result;
    try {
        if (!XlSheet) throw excel::Error(Failure::Disconnected, {});
        // The range held before is released once the word is in: its release
        // then travels to the application after the entry, not within it.
        auto range = XlSheet->range(entry.cell);
        // Read just before writing, so that the entry can be taken back.
        result.before = range->content();
        range->setValue(entry.word);
        result.written = true;
        XlRange = std::move(range);
        XlApp->setVisible(true);
    } catch (const excel::Error& error) {
        // Once the word is in, only the showing failed, whatever the cause.
        result.message = entryMessage(
            result.written ? excel::Error(Failure::Visible, error.detail()) : error, entry.cell);
    } catch (const std::exception& error) {
        // Nothing the application does may end the program.
        result.message =
            entryMessage(excel::Error(Failure::Disconnected, toText(error.what())), entry.cell);
    }
    return result;
}

UndoResult WorkbookLink::undo(const Entry& entry, const excel::CellContent& before,
                              bool overwrite) {
    UndoResult result;
    try {
        if (!XlSheet) throw excel::Error(Failure::Disconnected, {});
        auto range = XlSheet->range(entry.cell);
        if (!overwrite && !range->holds(entry.word)) {
            result.changedSince = true;
            return result;
        }
        range->setContent(before);
        result.restored = true;
        XlRange = std::move(range);
    } catch (const excel::Error& error) {
        result.message = undoMessage(error, entry.cell);
    } catch (const std::exception& error) {
        result.message =
            undoMessage(excel::Error(Failure::Disconnected, toText(error.what())), entry.cell);
    }
    return result;
}

void WorkbookLink::finishEntry(cells::CellNameBox& cellName, const Entry& entry,
                               const EntryResult& result) {
    if (result.written) cellName.setText(entry.cell);
}

std::optional<Message> WorkbookLink::enterWord(cells::CellNameBox& cellName,
                                               std::u16string_view word) {
    auto prepared = prepareEntry(cellName, word);
    if (auto* problem = std::get_if<Message>(&prepared)) return *problem;
    const Entry& entry = std::get<Entry>(prepared);
    EntryResult result = write(entry);
    finishEntry(cellName, entry, result);
    return result.message;
}

}  // namespace wordpour::link
