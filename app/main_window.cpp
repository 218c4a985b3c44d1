#include "app/main_window.h"

#include <memory>
#include <variant>

#include "wordlist/list_store.h"

namespace wordpour::app {

namespace {

std::u16string decimal(std::size_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

Form1::Form1(FormView& view, link::WorkbookLink::Attach attach, link::WorkbookLink::Launch launch)
    : view_(view),
      link_(std::move(attach), std::move(launch)),
      linkThread_([&view](link::LinkThread::Task done) { view.post(std::move(done)); }) {}

Form1::~Form1() {
    // The spreadsheet's objects go on the thread that took them. With an
    // entry still unanswered the program ends without destroying anything.
    if (!linkThread_.busy()) linkThread_.runAndWait([this] { link_.release(); });
}

bool Form1::Form_Initialize() {
    const std::u16string path = view_.openFileName(kBookFilter);
    const std::u16string startingCell = Module1::GetCellName(view_.cellName());
    // On the link's thread, so that the spreadsheet's objects live there.
    // No spreadsheet application runs: the user is asked whether to start
    // one, and only Yes starts it.
    std::optional<link::StartupError> failed = startLink(path, startingCell, false);
    if (failed && failed->offersStart()) {
        if (view_.messageBox(failed->message()) != link::Answer::Yes) return false;
        failed = startLink(path, startingCell, true);
    }
    if (failed) {
        view_.messageBox(failed->message());
        return false;
    }
    view_.setFocus(Focus::WordBox);
    return true;
}

std::optional<link::StartupError> Form1::startLink(const std::u16string& path,
                                                   std::u16string_view startingCell,
                                                   bool startApplicationFirst) {
    std::optional<link::StartupError> failed;
    linkThread_.runAndWait([&] {
        try {
            if (startApplicationFirst) link_.startApplication();
            link_.start(path, startingCell);
        } catch (const link::StartupError& error) {
            failed = error;
        }
    });
    return failed;
}

void Form1::Command4_Click() {
    // One entry at a time: a press while the spreadsheet has not answered
    // the last one is ignored, so no word is written twice or out of turn.
    if (linkThread_.busy()) return;
    auto prepared = link::WorkbookLink::prepareEntry(view_.cellName(), view_.wordBox().text());
    if (auto* problem = std::get_if<link::Message>(&prepared)) {
        view_.messageBox(*problem);
        view_.setFocus(Focus::Enter);
        return;
    }
    auto entry = std::make_shared<const link::Entry>(std::get<link::Entry>(std::move(prepared)));
    auto result = std::make_shared<link::EntryResult>();
    std::u16string nameBefore = view_.cellName().text();
    view_.setWaiting(true);
    linkThread_.run([this, entry, result] { *result = link_.write(*entry); },
                    [this, entry, result, nameBefore = std::move(nameBefore)] {
                        entryDone(*entry, *result, nameBefore);
                    });
    view_.setFocus(Focus::Enter);
}

void Form1::entryDone(const link::Entry& entry, const link::EntryResult& result,
                      const std::u16string& nameBefore) {
    view_.setWaiting(false);
    link::WorkbookLink::finishEntry(view_.cellName(), entry, result);
    if (result.written) {
        undoable_.push_back({entry, result.before, nameBefore});
        if (undoable_.size() > kUndoDepth) undoable_.pop_front();
        view_.setUndoEnabled(true);
    }
    if (result.message) {
        view_.messageBox(*result.message);
        view_.setFocus(Focus::Enter);
    }
}

void Form1::Command1_Click() {
    const auto reply = view_.inputBox(u"ﾘｽﾄに追加する単語を入力してください。", u"ﾘｽﾄに追加", u"");
    // Cancel adds nothing; OK with an empty text adds an empty entry.
    if (reply) {
        if (view_.wordBox().count() >= wordlist::kMaxEntries)
            showProblem(u"リストには" + decimal(wordlist::kMaxEntries) +
                            u"項目までしか登録できないため、追加しません。",
                        u"ﾘｽﾄに追加");
        else
            appendWords({*reply});
    }
    view_.setFocus(Focus::Enter);
}

void Form1::Command2_Click() {
    const int index = selectedIndex();
    if (index >= 0) {
        view_.wordBox().remove(static_cast<std::size_t>(index));
        finder_.remove(static_cast<std::size_t>(index));
    }
    view_.setFocus(Focus::Enter);
}

void Form1::Command3_Click() {
    constexpr std::u16string_view title = u"ﾘｽﾄを開く";
    if (!confirmed(u"ﾘｽﾄをﾛｰﾄﾞします。", title)) return;
    auto loaded = wordlist::loadListFile(wordlist::kListFileName);
    if (auto* problem = std::get_if<std::u16string>(&loaded))
        return showProblem(std::move(*problem), title);
    auto& words = std::get<wordlist::Entries>(loaded);
    // All or nothing: a load that would pass the cap adds none.
    const std::size_t count = view_.wordBox().count();
    if (count + words.size() > wordlist::kMaxEntries) {
        return showProblem(u"リストには" + decimal(wordlist::kMaxEntries) +
                               u"項目までしか登録できません。いまの" + decimal(count) +
                               u"項目に「List」の" + decimal(words.size()) +
                               u"項目を足すと超えるため、読み込みません。",
                           title);
    }
    appendWords(std::move(words));
}

void Form1::Command5_Click() {
    constexpr std::u16string_view title = u"ﾘｽﾄの保存";
    if (!confirmed(u"現在のﾘｽﾄを保存します。", title)) return;
    // An empty list writes nothing: an existing "List" keeps its words.
    if (view_.wordBox().count() > 0) {
        if (auto problem = wordlist::saveListFile(wordlist::kListFileName, entries()))
            showProblem(std::move(*problem), title);
    }
    view_.setFocus(Focus::Enter);
}

void Form1::Command6_Click() {
    view_.showCellPosition();
}

void Form1::Command7_Click() {
    std::u16string text;
    const std::size_t count = view_.wordBox().count();
    for (std::size_t i = 0; i < count; ++i) text += view_.wordBox().item(i) + u"\n";
    if (count == 0) text = u"登録されている項目はありません。";
    view_.messageBox({std::move(text), link::kOkOnly, u"現在のリスト項目"});
    view_.setFocus(Focus::Enter);
}

void Form1::Command8_Click() {
    // Only remembers the choice: the workbook linked at start-up stays the
    // one written to. Cancel stores the empty name, as the dialog returns it.
    link_.setBookPath(view_.openFileName(kBookFilter));
    view_.setFocus(Focus::Enter);
}

void Form1::Quit_Click() {
    // At once, no question: the list is not saved, the workbook stays open.
    view_.quit();
}

void Form1::appendWords(std::vector<std::u16string> words) {
    view_.wordBox().append(words);
    finder_.append(std::move(words));
}

void Form1::Combo1_Change() {
    matches_ = finder_.matches(view_.wordBox().text());
    if (matches_.empty()) return view_.hideMatches();
    std::vector<std::u16string> words;
    words.reserve(matches_.size());
    for (std::size_t index : matches_) words.push_back(view_.wordBox().item(index));
    view_.showMatches(words);
}

void Form1::Match_Click(std::size_t row) {
    view_.hideMatches();
    if (row < matches_.size()) view_.wordBox().select(matches_[row]);
    matches_.clear();
}

void Form1::Undo_Click() {
    if (undoable_.empty() || linkThread_.busy()) return;
    undo(false);
}

void Form1::undo(bool overwrite) {
    auto last = std::make_shared<const Undoable>(undoable_.back());
    auto result = std::make_shared<link::UndoResult>();
    view_.setWaiting(true);
    linkThread_.run([this, last, result,
                     overwrite] { *result = link_.undo(last->entry, last->before, overwrite); },
                    [this, last, result] {
                        view_.setWaiting(false);
                        if (result->changedSince) {
                            // Typed over in the spreadsheet since: the user decides, and
                            // the safe answer, No, is the default.
                            const link::Answer answer = view_.messageBox(
                                {u"セル" + std::u16string(u"「") + last->entry.cell +
                                     u"」は入力の後で変更されています。\n元に戻して、いまの内容を"
                                     u"上書きしますか？",
                                 link::kQuestionDefaultNo, kUndoTitle});
                            if (answer == link::Answer::Yes) undo(true);
                            return;
                        }
                        if (result->message) view_.messageBox(*result->message);
                        if (!result->restored) return;
                        undoable_.pop_back();
                        view_.cellName().setText(last->nameBefore);
                        view_.setUndoEnabled(!undoable_.empty());
                    });
}

void Form1::AlwaysOnTop_Click() {
    alwaysOnTop_ = !alwaysOnTop_;
    view_.setAlwaysOnTop(alwaysOnTop_);
}

void Form1::Version_Click() {
    view_.showAbout();
}

bool Form1::confirmed(std::u16string_view firstSentence, std::u16string_view title) {
    const std::u16string prompt = std::u16string(firstSentence) + u"\r" + u"よろしいですか？";
    return view_.messageBox({prompt, link::kConfirmation, std::u16string(title)}) ==
           link::Answer::Yes;
}

void Form1::showProblem(std::u16string prompt, std::u16string_view title) {
    view_.messageBox({std::move(prompt), link::kExclamation, std::u16string(title)});
}

wordlist::Entries Form1::entries() const {
    wordlist::Entries words;
    const std::size_t count = view_.wordBox().count();
    words.reserve(count);
    for (std::size_t i = 0; i < count; ++i) words.push_back(view_.wordBox().item(i));
    return words;
}

int Form1::selectedIndex() const {
    // Typing in the box deselects, as in a classic combo box: only an entry
    // whose text the box still shows is selected.
    const WordBox& box = view_.wordBox();
    const int index = box.currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= box.count()) return -1;
    return box.item(static_cast<std::size_t>(index)) == box.text() ? index : -1;
}

}  // namespace wordpour::app
