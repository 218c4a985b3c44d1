#include "link/workbook_link.h"

#include <filesystem>
#include <system_error>

namespace wordpour::link {

namespace {

using excel::Failure;

std::u16string bracketed(std::u16string_view text) {
    return u"「" + std::u16string(text) + u"」";
}

std::u16string withDetail(std::u16string prompt, const excel::Error& error) {
    if (error.detail().empty()) return prompt;
    // Not running: the detail says how to start an office that listens.
    if (error.failure() == Failure::NotRunning) return prompt + u"\n\n" + error.detail();
    return prompt + u"\n\n（詳細: " + error.detail() + u"）";
}

Message startupMessage(const excel::Error& error, std::u16string_view book) {
    std::u16string prompt;
    switch (error.failure()) {
        case Failure::NotRunning:
            prompt = u"表計算ソフトに接続できません。起動していないか、接続を受け付けていません。";
            break;
        case Failure::Open:
            prompt = u"ブック" + bracketed(book) + u"を開けません。";
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

Message entryMessage(const excel::Error& error, std::u16string_view cell) {
    constexpr std::u16string_view kNothingMoved =
        u"\n何も書き込まず、セル位置もそのままです。単語のリストは残っています。";
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
        case Failure::Visible:
            prompt = u"セル" + bracketed(cell) +
                     u"に書き込みましたが、表計算ソフトのウィンドウを表示できません。";
            break;
        default:
            prompt = u"セル" + bracketed(cell) +
                     u"に書き込めません。表計算ソフトかブックが閉じられた可能性があります。";
            prompt += kNothingMoved;
            break;
    }
    return {withDetail(std::move(prompt), error), kExclamation, kProgramTitle};
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
        throw StartupError(startupMessage(error, BookPath));
    }
}

std::optional<Message> WorkbookLink::enterWord(cells::CellNameBox& cellName,
                                               std::u16string_view word) {
    std::u16string cell;
    try {
        auto next = Module1::AdvanceCellName(cellName, [&](const std::u16string& name) {
            cell = name;
            if (!XlSheet) throw excel::Error(Failure::Disconnected, {});
            XlRange = XlSheet->range(name);  // releases the range held before
            XlRange->setValue(word);
        });
        switch (next.problem) {
            case cells::NameProblem::None:
                break;
            case cells::NameProblem::WrongCharacter:
                return Message{text::kWrongCellName, kOkOnly, text::kCellNameTitle};
            case cells::NameProblem::Overflow:
                return Message{
                    u"セルの名前が長すぎます。列の文字は1261文字まで、名前全体は"
                    u"32766文字までです。\n何も書き込まず、セル位置もそのままです。",
                    kExclamation, text::kCellNameTitle};
        }
        XlApp->setVisible(true);
    } catch (const excel::Error& error) {
        return entryMessage(error, cell);
    }
    return std::nullopt;
}

}  // namespace wordpour::link
