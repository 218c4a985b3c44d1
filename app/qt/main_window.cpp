#include "app/qt/main_window.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWindow>

#include <algorithm>

#include "app/qt/command_button.h"
#include "app/qt/dialogs/companions_dialog.h"
#include "app/qt/dialogs/file_dialog.h"
#include "app/qt/dialogs/input_box.h"
#include "app/qt/dialogs/message_box.h"
#include "app/qt/find_list.h"
#include "app/qt/fonts.h"
#include "app/qt/place.h"
#include "app/qt/program_icon.h"
#include "app/qt/qt_text.h"
#include "app/qt/reading_tracker.h"
#include "app/qt/settings_file.h"
#include "app/qt/waiting_window.h"
#include "app/qt/word_box_model.h"

namespace wordpour::qt {

using form::Command;

namespace {

QKeySequence keyFor(form::Shortcut shortcut) {
    switch (shortcut.kind) {
        case form::Shortcut::Kind::CtrlLetter:
            return QKeySequence(Qt::CTRL | static_cast<Qt::Key>(shortcut.key));
        case form::Shortcut::Kind::FunctionKey:
            return QKeySequence(static_cast<Qt::Key>(Qt::Key_F1 + shortcut.key - 1));
        case form::Shortcut::Kind::None:
            break;
    }
    return {};
}

// Sets or clears a window's stay-on-top hint. A shown window keeps its place
// and focus: the window system is told directly, where changing the widget's
// flags would hide it.
void keepOnTop(QWidget& window, bool onTop) {
    const Qt::WindowFlags flags = onTop ? window.windowFlags() | Qt::WindowStaysOnTopHint
                                        : window.windowFlags() & ~Qt::WindowStaysOnTopHint;
    window.overrideWindowFlags(flags);
    if (QWindow* handle = window.windowHandle()) handle->setFlags(flags);
}

// The table's height, unless the box's style needs more to show its font uncut.
int comboHeight(const QComboBox& box) {
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = true;
    const QSize needed = box.style()->sizeFromContents(QStyle::CT_ComboBox, &option,
                                                       QSize(0, box.fontMetrics().height()), &box);
    return std::max(px(form::kWordBox.rect.height), needed.height());
}

}  // namespace

MainWindow::MainWindow(link::spreadsheet::Backend backend)
    : cellPosition_([this](std::u16string name) { session_->setCellName(std::move(name)); }) {
    setWindowTitle(toQt(form::kMainWindow.title));
    setWindowIcon(programIcon());
    setFont(defaultFont());
    session_ = std::make_unique<form::EntrySession>(static_cast<form::SessionView&>(*this),
                                                    std::move(backend));
    createControls();
    createMenus();
    // The client area's size.
    resize(px(form::kMainWindow.width),
           px(form::kMainWindow.height) + menuBar()->sizeHint().height());
    waiting_.setSingleShot(true);
    waiting_.setInterval(form::kShowWaitingAfterMs);
    connect(&waiting_, &QTimer::timeout, this, [this] { showWaiting(true); });
}

MainWindow::~MainWindow() {
    disconnect(leavingTheBox_);  // the controls go before the application's signal does
    findList_->hide();           // its rows are the session's to word
    words_->forget();            // and so are the word box's
    session_.reset();            // while the window it speaks to still exists
    findList_.reset();
}

void MainWindow::createControls() {
    // An ordinary, resizable frame, which may be made smaller than its
    // client area: the controls keep their places.
    auto* client = new QWidget(this);
    setCentralWidget(client);

    wordBox_ = place(new QComboBox(client), form::kWordBox);
    wordBox_->setEditable(true);
    wordBox_->setInsertPolicy(QComboBox::NoInsert);
    words_ = new WordBoxModel(wordBox_);
    wordBox_->setModel(words_);
    // No inline completion, and the focus leaving the box must not swap the
    // typed text for an entry that matches it but for case: an empty
    // case-sensitive completer gives both.
    auto* exactOnly = new QCompleter(QStringList(), wordBox_);
    exactOnly->setCaseSensitivity(Qt::CaseSensitive);
    wordBox_->lineEdit()->setCompleter(exactOnly);
    // Any length: a word too long for a cell is refused with a message, not
    // cut silently, and a long entry picked from the list stays whole.
    wordBox_->lineEdit()->setMaxLength(kUnlimitedText);
    // The text field inside is what has the focus: a screen reader names it.
    wordBox_->lineEdit()->setAccessibleName(toQt(form::kWordBox.spokenName));
    wordBox_->view()->setAccessibleName(toQt(form::kWordBoxListName));
    wordBox_->resize(wordBox_->width(), comboHeight(*wordBox_));
    wordBox_->installEventFilter(this);  // it passes shortcut overrides on unfiltered
    wordBox_->lineEdit()->installEventFilter(this);
    // Typing (not picking) updates the type-to-find list; leaving the box
    // closes it.
    findList_ = std::make_unique<FindList>(
        wordBox_, [this](int row) { session_->pickMatch(static_cast<std::size_t>(row)); },
        [this](int row) { session_->enterMatch(static_cast<std::size_t>(row)); });
    // Its window is made now, not at the first letter typed, which would
    // otherwise wait for it.
    (void)findList_->winId();
    connect(wordBox_->lineEdit(), &QLineEdit::textEdited, this, [this] { session_->wordTyped(); });
    // So is composing in an input method, before anything is converted.
    readings_ =
        new ReadingTracker(wordBox_->lineEdit(), wordBox_, [this] { session_->wordTyped(); });
    leavingTheBox_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (now != wordBox_ && now != wordBox_->lineEdit()) findList_->hide();
        });

    // Tab order follows the table, not the screen.
    QWidget* previous = wordBox_;
    for (const form::ButtonDef& def : form::kButtons) {
        auto* button = new CommandButton(toQt(def.caption), client);
        button->setObjectName(nameOf(def.name));
        button->setGeometry(twipsRect(def.rect));
        connect(button, &QPushButton::clicked, this,
                [this, command = def.command] { session_->run(command); });
        button->installEventFilter(this);
        buttons_[def.command] = button;
        setTabOrder(previous, button);
        previous = button;
    }
}

void MainWindow::createMenus() {
    std::vector<QMenu*> menus;
    menuBar()->setAccessibleName(QStringLiteral("メニュー バー"));
    for (const form::MenuDef& def : form::kMenus) {
        menus.push_back(menuBar()->addMenu(toQt(def.caption)));
        menus.back()->setObjectName(nameOf(def.name));
        menus.back()->setAccessibleName(toQt(form::plainCaption(def.caption)));
    }
    for (const form::MenuItemDef& def : form::kMenuItems) {
        QMenu* menu = menus.at(form::indexOf(def.menu));
        if (def.separator()) {
            menu->addSeparator();
            continue;
        }
        QAction* item = menu->addAction(toQt(def.caption));
        item->setObjectName(nameOf(def.name));
        item->setShortcut(keyFor(def.shortcut));
        item->setCheckable(def.checkable);
        item->setEnabled(!def.startsDisabled);
        connect(item, &QAction::triggered, this,
                [this, command = *def.command] { session_->run(command); });
        items_[*def.command] = item;
    }
}

void MainWindow::setFocus(form::Focus focus) {
    switch (focus) {
        case form::Focus::WordBox:
            wordBox_->setFocus();
            break;
        case form::Focus::Enter:
            button(Command::Enter)->setFocus();
            break;
    }
}

form::Answer MainWindow::messageBox(const form::Message& message) {
    return MessageBox::show(this, toQt(message.prompt), message.style, toQt(message.title));
}

std::optional<std::u16string> MainWindow::inputBox(std::u16string_view prompt,
                                                   std::u16string_view title,
                                                   std::u16string_view defaultText) {
    const auto reply = InputBox::getText(this, toQt(prompt), toQt(title), toQt(defaultText));
    if (!reply) return std::nullopt;
    return fromQt(*reply);
}

std::u16string MainWindow::openFileName(std::u16string_view filter) {
    return fromQt(FileDialog::getOpenFileName(this, toQt(filter)));
}

std::u16string MainWindow::saveFileName(std::u16string_view filter, std::u16string_view suggested) {
    return fromQt(FileDialog::getSaveFileName(this, toQt(filter), toQt(suggested)));
}

void MainWindow::showCellPosition() {
    cellPosition_.open();
}

void MainWindow::showCellName(const std::u16string& name) {
    cellPosition_.showName(name);
}

void MainWindow::showAbout() {
    // One about box for the whole run, shown again by every call.
    if (!about_) {
        about_ = std::make_unique<AboutBox>();
        keepOnTop(*about_, session_->alwaysOnTop());
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::showMatches(form::FoundRows rows) {
    findList_->showWords(std::move(rows));
}

void MainWindow::hideMatches() {
    findList_->hide();
}

void MainWindow::selectWord(std::size_t index) {
    wordBox_->setCurrentIndex(static_cast<int>(index));
}

void MainWindow::setUndoEnabled(bool enabled) {
    menuItem(Command::Undo)->setEnabled(enabled);
}

void MainWindow::setChecked(Command command, bool checked) {
    menuItem(command)->setChecked(checked);
}

namespace {
QString settingKey(std::string_view key) {
    return QStringLiteral("Session/") +
           QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
}
}  // namespace

bool MainWindow::setting(std::string_view key, bool otherwise) {
    return settingsFile()->value(settingKey(key), otherwise).toBool();
}

namespace {
// Writes the settings out; QSettings says only that it failed: opening the
// file for writing, as it would, tells why.
std::optional<form::SessionView::SettingNotKept> synced(QSettings& settings) {
    settings.sync();
    if (settings.status() == QSettings::NoError) return std::nullopt;
    const std::filesystem::path file = settings.fileName().toStdString();
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    const int cause = fd < 0 ? errno : EIO;
    if (fd >= 0) ::close(fd);
    return form::SessionView::SettingNotKept{file, base::systemError(cause)};
}
}  // namespace

std::optional<form::SessionView::SettingNotKept> MainWindow::storeSetting(std::string_view key,
                                                                          bool value) {
    auto settings = settingsFile();
    settings->setValue(settingKey(key), value);
    return synced(*settings);
}

std::optional<std::u16string> MainWindow::textSetting(std::string_view key) {
    const QVariant value = settingsFile()->value(settingKey(key));
    if (!value.isValid()) return std::nullopt;
    return fromQt(value.toString());
}

std::optional<form::SessionView::SettingNotKept> MainWindow::storeTextSetting(
    std::string_view key, const std::u16string& value) {
    auto settings = settingsFile();
    settings->setValue(settingKey(key), toQt(value));
    return synced(*settings);
}

std::optional<form::Companions> MainWindow::editCompanions(const form::Companions& now) {
    return CompanionsDialog::edit(this, now);
}

void MainWindow::takeFocusBack() {
    // The office's window maps a moment after it was shown, and the window
    // manager gives it the keyboard then: look every 100 ms for two seconds,
    // and take the keyboard back whenever it went.
    auto* watch = new QTimer(this);
    auto ticks = std::make_shared<int>(0);
    connect(watch, &QTimer::timeout, this, [this, watch, ticks] {
        if (!isActiveWindow() && QApplication::activeWindow() == nullptr) {
            raise();
            activateWindow();
            button(Command::Enter)->setFocus();
        }
        if (++*ticks == 20) watch->deleteLater();
    });
    watch->start(100);
}

void MainWindow::setAlwaysOnTop(bool onTop) {
    menuItem(Command::AlwaysOnTop)->setChecked(onTop);
    keepOnTop(*this, onTop);
    keepOnTop(cellPosition_, onTop);
    if (about_) keepOnTop(*about_, onTop);
}

void MainWindow::quit() {
    QApplication::quit();
}

bool MainWindow::waitForStart(const std::function<bool()>& finished, std::u16string_view waiting) {
    QEventLoop loop;
    bool aborted = false;
    WaitingWindow window(toQt(waiting), [&] {
        aborted = true;
        loop.quit();
    });
    QTimer show, check;
    show.setSingleShot(true);
    connect(&show, &QTimer::timeout, &window, [&window] {
        window.show();
        window.raise();
        window.activateWindow();
    });
    // What the link's thread posts arrives through this loop.
    connect(&check, &QTimer::timeout, &loop, [&] {
        if (finished()) loop.quit();
    });
    show.start(form::kShowStartWaitingAfterMs);
    check.start(5);
    loop.exec();
    return !aborted;
}

void MainWindow::setWaiting(bool waiting) {
    if (waiting) {
        waiting_.start();
    } else {
        waiting_.stop();
        showWaiting(false);
    }
}

void MainWindow::showWaiting(bool waiting) {
    button(Command::Enter)->setText(toQt(waiting ? form::kWaitingCaption : form::kEnterCaption));
    if (waiting)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void MainWindow::post(std::function<void()> task) {
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void MainWindow::appendWords(const std::vector<std::u16string>& all, std::size_t) {
    // Keep the entry shown and the typed text as they were: a new list
    // would select nothing, or Qt the first entry of one that was empty.
    const QString typed = wordBox_->currentText();
    const int current = wordBox_->currentIndex();
    // The box's model shows the session's entries: a load of 32,767 words
    // is one change, not 32,767, and no copy.
    words_->show(all);
    wordBox_->setCurrentIndex(current);
    wordBox_->setEditText(typed);
}

void MainWindow::removeWord(std::size_t index) {
    wordBox_->removeItem(static_cast<int>(index));
}

std::u16string MainWindow::typedWord() const {
    return fromQt(wordBox_->currentText());
}

int MainWindow::shownEntry() const {
    return wordBox_->currentIndex();
}

std::u16string MainWindow::composingWord() const {
    return fromQt(readings_->composingText());
}

std::optional<std::u16string> MainWindow::typedReading() const {
    if (auto reading = readings_->reading()) return fromQt(*reading);
    return std::nullopt;
}

std::optional<std::u16string> MainWindow::inputBoxReading() const {
    if (auto reading = InputBox::lastReading()) return fromQt(*reading);
    return std::nullopt;
}

bool MainWindow::startsWord(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const bool onButton = std::any_of(buttons_.begin(), buttons_.end(),
                                      [watched](const auto& b) { return b.second == watched; });
    if (!onButton) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    // Space presses the button, and Ctrl or Alt with a letter are the menus'.
    if (text.isEmpty() || !text.at(0).isPrint() || text.at(0).isSpace() ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    wordBox_->setFocus();
    wordBox_->setCurrentIndex(-1);
    wordBox_->setEditText(QString());
    QKeyEvent again(key->type(), key->key(), key->modifiers(), text);
    QApplication::sendEvent(wordBox_->lineEdit(), &again);
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program, the hidden dialog with it.
    event->accept();
    QApplication::quit();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool inWordBox = watched == wordBox_ || watched == wordBox_->lineEdit();
    if (inWordBox && event->type() == QEvent::KeyPress) {
        // The type-to-find list, while shown, takes Down, Up, Enter and
        // Escape, before the combo box would move in its own list.
        if (findList_->handleKey(*static_cast<QKeyEvent*>(event))) return true;
    }
    if (startsWord(watched, event)) return true;
    if (watched == wordBox_->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // No button is the default: Enter in the word box does nothing at
        // all, so what the user typed stays as typed.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    if (inWordBox && event->type() == QEvent::ShortcutOverride) {
        // A text field claims Ctrl+A, Ctrl+D and the like for itself: leave
        // the menu's shortcuts to the menu, whichever control has the focus.
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const auto& [command, item] : items_) {
            if (!item->shortcut().isEmpty() && item->shortcut() == pressed) {
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace wordpour::qt
