#include "app/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStringListModel>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWindow>

#include <algorithm>

#include "app/qt/command_button.h"
#include "app/qt/dialogs/file_dialog.h"
#include "app/qt/dialogs/input_box.h"
#include "app/qt/dialogs/message_box.h"
#include "app/qt/find_list.h"
#include "app/qt/fonts.h"
#include "app/qt/program_icon.h"
#include "app/qt/qt_text.h"

namespace wordpour::app {

Form1Window::Form1Window(link::WorkbookLink::Attach attach, link::WorkbookLink::Launch launch) {
    setWindowTitle(toQt(link::kProgramTitle));
    setWindowIcon(programIcon());
    setFont(defaultFont());
    logic_ = std::make_unique<Form1>(static_cast<FormView&>(*this), std::move(attach),
                                     std::move(launch));
    createControls();
    createMenus();
    resize(px(3720), px(2745) + menuBar()->sizeHint().height());  // the client area's size
    waiting_.setSingleShot(true);
    waiting_.setInterval(kShowWaitingAfterMs);
    connect(&waiting_, &QTimer::timeout, this, [this] { showWaiting(true); });
}

namespace {

// Sets or clears a window's stay-on-top hint. A shown window keeps its place
// and focus: the window system is told directly, where changing the widget's
// flags would hide it.
void keepOnTop(QWidget& window, bool onTop) {
    const Qt::WindowFlags flags = onTop ? window.windowFlags() | Qt::WindowStaysOnTopHint
                                        : window.windowFlags() & ~Qt::WindowStaysOnTopHint;
    window.overrideWindowFlags(flags);
    if (QWindow* handle = window.windowHandle()) handle->setFlags(flags);
}

// 525 twips, unless the box's style needs more to show its font uncut.
int comboHeight(const QComboBox& box) {
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = true;
    const QSize needed = box.style()->sizeFromContents(QStyle::CT_ComboBox, &option,
                                                       QSize(0, box.fontMetrics().height()), &box);
    return std::max(px(525), needed.height());
}

}  // namespace

Form1Window::~Form1Window() {
    disconnect(leavingTheBox_);  // the controls go before the application's signal does
    logic_.reset();              // while the window it speaks to still exists
    findList_.reset();
}

void Form1Window::createControls() {
    // An ordinary, resizable frame, which may be made smaller than its
    // client area: the controls keep their places.
    auto* client = new QWidget(this);
    setCentralWidget(client);

    Combo1 = new QComboBox(client);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    words_ = new QStringListModel(Combo1);
    Combo1->setModel(words_);
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
    Combo1->resize(px(3495), comboHeight(*Combo1));
    Combo1->installEventFilter(this);  // it passes shortcut overrides on unfiltered
    Combo1->lineEdit()->installEventFilter(this);
    // Typing (not picking) updates the type-to-find list; leaving the box
    // closes it.
    findList_ = std::make_unique<FindList>(
        Combo1, [this](int row) { logic_->Match_Click(static_cast<std::size_t>(row)); });
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, [this] { logic_->Combo1_Change(); });
    leavingTheBox_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (now != Combo1 && now != Combo1->lineEdit()) findList_->hide();
        });

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

void Form1Window::createMenus() {
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
    edit->addSeparator();
    undo_ = createItem(edit, "Undo", QStringLiteral("元に戻す(&U)"), Qt::CTRL | Qt::Key_Z,
                       &Form1::Undo_Click);
    undo_->setEnabled(false);  // nothing written yet

    QMenu* display = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    display->setObjectName(QStringLiteral("Display"));
    createItem(display, "Position", QStringLiteral("入力を開始するｾﾙの位置(&P)"),
               Qt::CTRL | Qt::Key_P, &Form1::Position_Click);
    display->addSeparator();
    createItem(display, "List", QStringLiteral("現在のﾘｽﾄを表示(&L)"), Qt::CTRL | Qt::Key_L,
               &Form1::List_Click);
    display->addSeparator();
    onTop_ = createItem(display, "AlwaysOnTop", QStringLiteral("常に手前に表示(&T)"), {},
                        &Form1::AlwaysOnTop_Click);
    onTop_->setCheckable(true);

    QMenu* help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    createItem(help, "Version", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&I)"), Qt::Key_F1,
               &Form1::Version_Click);
}

QAction* Form1Window::createItem(QMenu* menu, const char* name, const QString& caption,
                                 const QKeySequence& shortcut, void (Form1::*handler)()) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setShortcut(shortcut);
    connect(item, &QAction::triggered, this, [this, handler] { (logic_.get()->*handler)(); });
    shortcutItems_ << item;
    return item;
}

QPushButton* Form1Window::createButton(const char* name, const QString& caption, int left, int top,
                                       int width, void (Form1::*handler)()) {
    auto* button = new CommandButton(caption, centralWidget());
    button->setObjectName(QLatin1String(name));
    button->setGeometry(twipsRect(left, top, width, 615));
    connect(button, &QPushButton::clicked, this, [this, handler] { (logic_.get()->*handler)(); });
    return button;
}

void Form1Window::setFocus(Focus focus) {
    switch (focus) {
        case Focus::WordBox:
            Combo1->setFocus();
            break;
        case Focus::Enter:
            Command4->setFocus();
            break;
        case Focus::CellName:
            cellPosition_.form().text1()->setFocus();
            break;
    }
}

link::Answer Form1Window::messageBox(const link::Message& message) {
    return MessageBox::show(this, toQt(message.prompt), message.style, toQt(message.title));
}

std::optional<std::u16string> Form1Window::inputBox(std::u16string_view prompt,
                                                    std::u16string_view title,
                                                    std::u16string_view defaultText) {
    const auto reply = InputBox::getText(this, toQt(prompt), toQt(title), toQt(defaultText));
    if (!reply) return std::nullopt;
    return fromQt(*reply);
}

std::u16string Form1Window::openFileName(std::u16string_view filter) {
    return fromQt(FileDialog::getOpenFileName(this, toQt(filter)));
}

void Form1Window::showCellPosition() {
    cellPosition_.open();
}

void Form1Window::showAbout() {
    // One about box for the whole run, shown again by every call.
    if (!about_) {
        about_ = std::make_unique<Form3>();
        keepOnTop(*about_, logic_->alwaysOnTop());
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void Form1Window::showMatches(const std::vector<std::u16string>& words) {
    findList_->showWords(words);
}

void Form1Window::hideMatches() {
    findList_->hide();
}

void Form1Window::select(std::size_t index) {
    Combo1->setCurrentIndex(static_cast<int>(index));
}

void Form1Window::setUndoEnabled(bool enabled) {
    undo_->setEnabled(enabled);
}

void Form1Window::setAlwaysOnTop(bool onTop) {
    onTop_->setChecked(onTop);
    keepOnTop(*this, onTop);
    keepOnTop(cellPosition_.form(), onTop);
    if (about_) keepOnTop(*about_, onTop);
}

void Form1Window::quit() {
    QApplication::quit();
}

void Form1Window::setWaiting(bool waiting) {
    if (waiting) {
        waiting_.start();
    } else {
        waiting_.stop();
        showWaiting(false);
    }
}

void Form1Window::showWaiting(bool waiting) {
    Command4->setText(waiting ? toQt(kWaitingCaption) : QStringLiteral("入力"));
    if (waiting)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void Form1Window::post(std::function<void()> task) {
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

std::size_t Form1Window::count() const {
    return static_cast<std::size_t>(Combo1->count());
}

std::u16string Form1Window::item(std::size_t index) const {
    return fromQt(Combo1->itemText(static_cast<int>(index)));
}

void Form1Window::append(const std::vector<std::u16string>& items) {
    // The whole list is handed to the box's model in one step: a load of
    // 32,767 words is one change, not 32,767.
    QStringList list = words_->stringList();
    list.reserve(list.size() + static_cast<qsizetype>(items.size()));
    for (const auto& item : items) list << toQt(item);
    // Keep the entry shown and the typed text as they were: a new list
    // would select nothing, or Qt the first entry of one that was empty.
    const QString typed = Combo1->currentText();
    const int current = Combo1->currentIndex();
    words_->setStringList(list);
    Combo1->setCurrentIndex(current);
    Combo1->setEditText(typed);
}

void Form1Window::remove(std::size_t index) {
    Combo1->removeItem(static_cast<int>(index));
}

std::u16string Form1Window::text() const {
    return fromQt(Combo1->currentText());
}

int Form1Window::currentIndex() const {
    return Combo1->currentIndex();
}

void Form1Window::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program, the hidden dialog with it.
    event->accept();
    QApplication::quit();
}

bool Form1Window::eventFilter(QObject* watched, QEvent* event) {
    const bool inWordBox = watched == Combo1 || watched == Combo1->lineEdit();
    if (inWordBox && event->type() == QEvent::KeyPress) {
        // The type-to-find list, while shown, takes Down, Up, Enter and
        // Escape, before the combo box would move in its own list.
        if (findList_->handleKey(static_cast<QKeyEvent*>(event)->key())) return true;
    }
    if (watched == Combo1->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // No button is the default: Enter in the word box does nothing at
        // all, so what the user typed stays as typed.
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
