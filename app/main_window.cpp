#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

#include "app/command_button.h"
#include "app/dialogs/file_dialog.h"
#include "app/dialogs/input_box.h"
#include "app/dialogs/message_box.h"
#include "app/fonts.h"
#include "app/program_icon.h"
#include "app/qt_text.h"
#include "wordlist/list_store.h"

namespace wordpour::app {

Form1::Form1(link::WorkbookLink::Attach attach)
    : link_(std::move(attach)), linkThread_([this](link::LinkThread::Task done) {
          QMetaObject::invokeMethod(this, std::move(done), Qt::QueuedConnection);
      }) {
    setWindowTitle(toQt(link::kProgramTitle));
    setWindowIcon(programIcon());
    setFont(defaultFont());
    createControls();
    createMenus();
    waiting_.setSingleShot(true);
    waiting_.setInterval(kShowWaitingAfterMs);
    connect(&waiting_, &QTimer::timeout, this, [this] { showWaiting(true); });
}

Form1::~Form1() {
    // The spreadsheet's objects go on the thread that took them. With an
    // entry still unanswered the program ends without destroying anything.
    if (!linkThread_.busy()) linkThread_.runAndWait([this] { link_.release(); });
}

void Form1::createControls() {
    auto* client = new QWidget(this);
    // An ordinary, resizable frame; the controls keep their places.
    client->setMinimumSize(px(3720), px(2745));
    setCentralWidget(client);

    Combo1 = new QComboBox(client);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    // No inline completion, and the focus leaving the box must not swap the
    // typed text for an entry that matches it but for case: an empty
    // case-sensitive completer gives both.
    auto* exactOnly = new QCompleter(QStringList(), Combo1);
    exactOnly->setCaseSensitivity(Qt::CaseSensitive);
    Combo1->lineEdit()->setCompleter(exactOnly);
    // Any length: a word too long for a cell is refused with a message, not
    // cut silently, and a long entry picked from the list stays whole.
    Combo1->lineEdit()->setMaxLength(kUnlimitedText);
    Combo1->setFont(gothicFont(20.25, true));
    Combo1->move(px(120), 0);
    Combo1->resize(px(3495), Combo1->sizeHint().height());
    Combo1->installEventFilter(this);  // it passes shortcut overrides on unfiltered
    Combo1->lineEdit()->installEventFilter(this);

    // Tab order follows the names (Combo1, then Command1 on), not the screen.
    Command1 = createButton("Command1", QStringLiteral("リスト追加"), 120, 1320, 1095,
                            &Form1::Command1_Click);
    Command2 = createButton("Command2", QStringLiteral("リスト削除"), 120, 2040, 1095,
                            &Form1::Command2_Click);
    Command3 = createButton("Command3", QStringLiteral("リスト開く"), 2520, 1320, 1095,
                            &Form1::Command3_Click);
    Command4 =
        createButton("Command4", QStringLiteral("入力"), 120, 600, 2295, &Form1::Command4_Click);
    Command5 = createButton("Command5", QStringLiteral("リスト保存"), 2520, 2040, 1095,
                            &Form1::Command5_Click);
    Command6 = createButton("Command6", QStringLiteral("セル位置"), 1320, 1320, 1095,
                            &Form1::Command6_Click);
    Command7 = createButton("Command7", QStringLiteral("リスト表示"), 1320, 2040, 1095,
                            &Form1::Command7_Click);
    Command8 = createButton("Command8", QStringLiteral("ファイル選択"), 2520, 600, 1095,
                            &Form1::Command8_Click);
    QWidget* order[] = {Combo1,   Command1, Command2, Command3, Command4,
                        Command5, Command6, Command7, Command8};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void Form1::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("File"));
    createItem(file, "Find", QStringLiteral("ｴｸｾﾙのﾌｧｲﾙを指定(&F)"), Qt::CTRL | Qt::Key_F,
               &Form1::Find_Click);
    file->addSeparator();
    createItem(file, "Open", QStringLiteral("保存しているﾘｽﾄを開く(&O)"), Qt::CTRL | Qt::Key_O,
               &Form1::Open_Click);
    createItem(file, "Save", QStringLiteral("現在のﾘｽﾄを保存(&S)"), Qt::CTRL | Qt::Key_S,
               &Form1::Save_Click);
    file->addSeparator();
    createItem(file, "Quit", QStringLiteral("終了(&Q)"), Qt::CTRL | Qt::Key_Q, &Form1::Quit_Click);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->setObjectName(QStringLiteral("Edit"));
    createItem(edit, "Add", QStringLiteral("単語をﾘｽﾄに追加(&A)"), Qt::CTRL | Qt::Key_A,
               &Form1::Add_Click);
    createItem(edit, "Delete", QStringLiteral("単語をﾘｽﾄから削除(&D)"), Qt::CTRL | Qt::Key_D,
               &Form1::Delete_Click);

    QMenu* display = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    display->setObjectName(QStringLiteral("Display"));
    createItem(display, "Position", QStringLiteral("入力を開始するｾﾙの位置(&P)"),
               Qt::CTRL | Qt::Key_P, &Form1::Position_Click);
    display->addSeparator();
    createItem(display, "List", QStringLiteral("現在のﾘｽﾄを表示(&L)"), Qt::CTRL | Qt::Key_L,
               &Form1::List_Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    createItem(help, "Version", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&I)"), Qt::Key_F1,
               &Form1::Version_Click);
}

QAction* Form1::createItem(QMenu* menu, const char* name, const QString& caption,
                           const QKeySequence& shortcut, void (Form1::*handler)()) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setShortcut(shortcut);
    connect(item, &QAction::triggered, this, handler);
    shortcutItems_ << item;
    return item;
}

QPushButton* Form1::createButton(const char* name, const QString& caption, int left, int top,
                                 int width, void (Form1::*handler)()) {
    auto* button = new CommandButton(caption, centralWidget());
    button->setObjectName(QLatin1String(name));
    button->setGeometry(twipsRect(left, top, width, 615));
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

bool Form1::Form_Initialize() {
    const std::u16string path = fromQt(FileDialog::getOpenFileName(this, toQt(kBookFilter)));
    const std::u16string startingCell = Module1::GetCellName(cellPosition_);
    // On the link's thread, so that the spreadsheet's objects live there.
    std::optional<link::Message> failed;
    linkThread_.runAndWait([&] {
        try {
            link_.start(path, startingCell);
        } catch (const link::StartupError& error) {
            failed = error.message();
        }
    });
    if (failed) {
        showMessage(*failed);
        return false;
    }
    Combo1->setFocus();
    return true;
}

void Form1::Command4_Click() {
    // One entry at a time: a press while the spreadsheet has not answered
    // the last one is ignored, so no word is written twice or out of turn.
    if (linkThread_.busy()) return;
    auto prepared = link::WorkbookLink::prepareEntry(cellPosition_, fromQt(Combo1->currentText()));
    if (auto* problem = std::get_if<link::Message>(&prepared)) {
        showMessage(*problem);
        Command4->setFocus();
        return;
    }
    auto entry = std::make_shared<const link::Entry>(std::get<link::Entry>(std::move(prepared)));
    auto result = std::make_shared<link::EntryResult>();
    waiting_.start();
    linkThread_.run([this, entry, result] { *result = link_.write(*entry); },
                    [this, entry, result] { entryDone(*entry, *result); });
    Command4->setFocus();
}

void Form1::entryDone(const link::Entry& entry, const link::EntryResult& result) {
    waiting_.stop();
    showWaiting(false);
    link::WorkbookLink::finishEntry(cellPosition_, entry, result);
    if (result.message) {
        showMessage(*result.message);
        Command4->setFocus();
    }
}

void Form1::showWaiting(bool waiting) {
    Command4->setText(waiting ? toQt(kWaitingCaption) : QStringLiteral("入力"));
    if (waiting)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void Form1::Command1_Click() {
    const auto reply =
        InputBox::getText(this, QStringLiteral("ﾘｽﾄに追加する単語を入力してください。"),
                          QStringLiteral("ﾘｽﾄに追加"), QString());
    // Cancel adds nothing; OK with an empty text adds an empty entry.
    if (reply) {
        if (static_cast<std::size_t>(Combo1->count()) >= wordlist::kMaxEntries)
            showProblem(QStringLiteral("リストには%1項目までしか登録できないため、追加しません。")
                            .arg(wordlist::kMaxEntries),
                        QStringLiteral("ﾘｽﾄに追加"));
        else
            appendItems({*reply});
    }
    Command4->setFocus();
}

void Form1::Command2_Click() {
    const int index = selectedIndex();
    if (index >= 0) Combo1->removeItem(index);
    Command4->setFocus();
}

void Form1::Command3_Click() {
    const QString title = QStringLiteral("ﾘｽﾄを開く");
    if (!confirmed(QStringLiteral("ﾘｽﾄをﾛｰﾄﾞします。"), title)) return;
    auto loaded = wordlist::loadListFile(wordlist::kListFileName);
    if (auto* problem = std::get_if<std::u16string>(&loaded))
        return showProblem(toQt(*problem), title);
    const auto& words = std::get<wordlist::Entries>(loaded);
    // All or nothing: a load that would pass the cap adds none.
    if (Combo1->count() + words.size() > wordlist::kMaxEntries) {
        return showProblem(QStringLiteral("リストには%1項目までしか登録できません。"
                                          "いまの%2項目に「List」の%3項目を足すと超えるため、"
                                          "読み込みません。")
                               .arg(wordlist::kMaxEntries)
                               .arg(Combo1->count())
                               .arg(words.size()),
                           title);
    }
    QStringList items;
    items.reserve(static_cast<qsizetype>(words.size()));
    for (const auto& word : words) items << toQt(word);
    appendItems(items);
}

void Form1::appendItems(const QStringList& items) {
    // Adding and loading change neither the selection nor the typed text;
    // Qt would select the first entry of a list that was empty.
    const QString typed = Combo1->currentText();
    const int selected = Combo1->currentIndex();
    Combo1->addItems(items);
    Combo1->setCurrentIndex(selected);
    Combo1->setEditText(typed);
}

void Form1::Command5_Click() {
    const QString title = QStringLiteral("ﾘｽﾄの保存");
    if (!confirmed(QStringLiteral("現在のﾘｽﾄを保存します。"), title)) return;
    // An empty list writes nothing: an existing "List" keeps its words.
    if (Combo1->count() > 0) {
        if (auto problem = wordlist::saveListFile(wordlist::kListFileName, entries()))
            showProblem(toQt(*problem), title);
    }
    Command4->setFocus();
}

void Form1::Command6_Click() {
    cellPosition_.open();
}

void Form1::Command8_Click() {
    // Only remembers the choice: the workbook linked at start-up stays the
    // one written to. Cancel stores the empty name, as the dialog returns it.
    link_.setBookPath(fromQt(FileDialog::getOpenFileName(this, toQt(kBookFilter))));
    Command4->setFocus();
}

void Form1::Quit_Click() {
    // At once, no question: the list is not saved, the workbook stays open.
    QApplication::quit();
}

void Form1::Version_Click() {
    // One about box for the whole run, shown again by every call.
    if (!about_) about_ = std::make_unique<Form3>();
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void Form1::Command7_Click() {
    QString text;
    const int count = Combo1->count();
    for (int i = 0; i < count; ++i) text += Combo1->itemText(i) + QLatin1Char('\n');
    if (count == 0) text = QStringLiteral("登録されている項目はありません。");
    MessageBox::show(this, text, link::kOkOnly, QStringLiteral("現在のリスト項目"));
    Command4->setFocus();
}

bool Form1::confirmed(const QString& firstSentence, const QString& title) {
    const QString prompt = firstSentence + QLatin1Char('\r') + QStringLiteral("よろしいですか？");
    return MessageBox::show(this, prompt, link::kConfirmation, title) == link::Answer::Yes;
}

wordlist::Entries Form1::entries() const {
    wordlist::Entries words;
    words.reserve(static_cast<std::size_t>(Combo1->count()));
    for (int i = 0; i < Combo1->count(); ++i) words.push_back(fromQt(Combo1->itemText(i)));
    return words;
}

int Form1::selectedIndex() const {
    // Typing in the box deselects, as in a classic combo box: only an entry
    // whose text the box still shows is selected.
    const int index = Combo1->currentIndex();
    return index >= 0 && Combo1->itemText(index) == Combo1->currentText() ? index : -1;
}

void Form1::showProblem(const QString& prompt, const QString& title) {
    MessageBox::show(this, prompt, link::kExclamation, title);
}

void Form1::showMessage(const link::Message& message) {
    MessageBox::show(this, toQt(message.prompt), message.style, toQt(message.title));
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program, the hidden dialog with it.
    event->accept();
    QApplication::quit();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Combo1->lineEdit() && event->type() == QEvent::KeyPress) {
        // No button is the default: Enter in the word box does nothing at
        // all, so what the user typed stays as typed.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    const bool wordBox = watched == Combo1 || watched == Combo1->lineEdit();
    if (wordBox && event->type() == QEvent::ShortcutOverride) {
        // A text field claims Ctrl+A, Ctrl+D and the like for itself: leave
        // the menu's shortcuts to the menu, whichever control has the focus.
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (QAction* item : shortcutItems_) {
            if (item->shortcut() == pressed) {
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace wordpour::app
