// The Qt main window over the in-memory spreadsheet, under the offscreen
// platform, with the dialogs answered in advance: what Qt itself does (keys,
// focus, shortcuts in the combo box, geometry, the modeless windows). What
// the window decides is tested without a toolkit.
#include <future>

#include <QAction>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListView>
#include <QSettings>

#include "app/find/reading_dictionary.h"
#include "app/qt/dialogs/input_box.h"
#include "tests/app/qt/window_fixture.h"

using wordpour::form::Answer;
using wordpour::qt::FileDialog;
using wordpour::qt::MessageBox;
using wordpour::testing::FakeSpreadsheet;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<wordpour::testing::WindowFixture> f_;

private slots:
    void init() { f_ = std::make_unique<wordpour::testing::WindowFixture>(); }
    void cleanup() { f_.reset(); }

    void startUpRunsTheStepsInOrderAndFocusesTheWordBox() {
        QVERIFY(f_->start());
        const std::vector<std::u16string> expected = {
            u"attach",     u"workbooks",   u"open " + f_->book().toStdU16String(),
            u"worksheets", u"item sheet1", u"range A1"};
        QCOMPARE(f_->sheet.calls, expected);
        QVERIFY(!f_->sheet.visible);  // visibility is left to the first entry
        QCOMPARE(QApplication::focusWidget(), f_->combo());
        QVERIFY(!f_->cellName()->window()->isVisible());
        QVERIFY(MessageBox::takeShown().empty());
    }

    void enterWritesTheTypedWordOneRowDownAndFocusesEnter() {
        QVERIFY(f_->start());
        f_->sheet.calls.clear();
        f_->type(QStringLiteral("りんご"));
        QTest::mouseClick(f_->button(wordpour::form::Command::Enter), Qt::LeftButton);
        QVERIFY(f_->entriesDone());
        f_->type(QStringLiteral("=1+1"));
        QTest::mouseClick(f_->button(wordpour::form::Command::Enter), Qt::LeftButton);
        QVERIFY(f_->entriesDone());
        const std::vector<std::u16string> expected = {u"range A2", u"value りんご", u"visible 1",
                                                      u"range A3", u"value =1+1",   u"visible 1"};
        QCOMPARE(f_->sheet.calls, expected);
        QCOMPARE(f_->cellName()->text(), QStringLiteral("A3"));
        QCOMPARE(QApplication::focusWidget(), f_->button(wordpour::form::Command::Enter));
        // With the focus on 入力, Enter and Space write the next word.
        QTest::keyClick(f_->button(wordpour::form::Command::Enter), Qt::Key_Space);
        QVERIFY(f_->entriesDone());
        QTest::keyClick(f_->button(wordpour::form::Command::Enter), Qt::Key_Return);
        QVERIFY(f_->entriesDone());
        QTest::keyClick(f_->button(wordpour::form::Command::Enter), Qt::Key_Enter,
                        Qt::KeypadModifier);
        QVERIFY(f_->entriesDone());
        QCOMPARE(f_->sheet.cells[u"A4"], u"=1+1");
        QCOMPARE(f_->sheet.cells[u"A5"], u"=1+1");
        QCOMPARE(f_->cellName()->text(), QStringLiteral("A6"));
    }

    // Where a file stands in the settings folder's place, the face says so:
    // the session words it (tested there), so the choice is never lost unsaid.
    void aSettingThatCannotBeWrittenSaysWhichFileAndWhy() {
        QTemporaryDir config;
        std::ofstream((config.path() + QStringLiteral("/wordpour")).toStdString()) << "a file";
        const QString before = QSettings(QSettings::IniFormat, QSettings::UserScope,
                                         QStringLiteral("x"), QStringLiteral("x"))
                                   .fileName()
                                   .section(QLatin1Char('/'), 0, -3);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
        QVERIFY(f_->start());
        MessageBox::takeShown();
        MessageBox::setNextAnswer(wordpour::form::Answer::Ok);
        f_->form->session().run(wordpour::form::Command::ConfirmOverwrite);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, before);
        const auto shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), std::size_t{1});
        const QString& prompt = shown[0].prompt;
        QVERIFY(prompt.contains(config.path() + QStringLiteral("/wordpour/wordpour.ini")));
        QVERIFY(prompt.contains(QStringLiteral("フォルダーのあるべき場所にファイルがあります")));
        QVERIFY(!f_->form->session().confirmsOverwrite());
    }

    void enterInTheWordBoxDoesNothing() {
        QVERIFY(f_->start());
        f_->sheet.calls.clear();
        f_->type(QStringLiteral("typed"));
        QTest::keyClick(f_->combo()->lineEdit(), Qt::Key_Return);
        QTest::keyClick(f_->combo()->lineEdit(), Qt::Key_Enter);
        QVERIFY(f_->sheet.calls.empty());
        QCOMPARE(f_->combo()->count(), 0);
        QCOMPARE(f_->combo()->currentText(), QStringLiteral("typed"));
    }

    void aSpreadsheetThatDoesNotAnswerLeavesTheWindowWorking() {
        QVERIFY(f_->start());
        std::promise<void> answer;
        std::shared_future<void> answered = answer.get_future().share();
        f_->sheet.beforeCall = [answered](const std::u16string& call) {
            if (call.starts_with(u"value")) answered.wait();
        };
        f_->sheet.calls.clear();
        f_->type(QStringLiteral("遅い"));
        QTest::mouseClick(f_->button(wordpour::form::Command::Enter), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(f_->button(wordpour::form::Command::Enter)->text(),
                                  QStringLiteral("応答待ち…"), 1000);
        QCOMPARE(QApplication::focusWidget(), f_->button(wordpour::form::Command::Enter));
        // A second press starts no second entry.
        QTest::keyClick(f_->button(wordpour::form::Command::Enter), Qt::Key_Return);
        // The word list, the about box and the cell-position dialog still work.
        wordpour::qt::InputBox::setNextReply(QStringLiteral("追加"));
        QTest::mouseClick(f_->button(wordpour::form::Command::Add), Qt::LeftButton);
        QCOMPARE(f_->combo()->itemText(0), QStringLiteral("追加"));
        MessageBox::setNextAnswer(Answer::Ok);
        QTest::mouseClick(f_->button(wordpour::form::Command::ShowList), Qt::LeftButton);
        QCOMPARE(MessageBox::takeShown().at(0).prompt, QStringLiteral("追加\n"));
        f_->form->session().showAbout();
        QVERIFY(f_->form->aboutBox()->isVisible());
        QCOMPARE(f_->cellName()->text(), QStringLiteral("A1"));
        QVERIFY(f_->form->session().entryUnderWay());

        answer.set_value();
        QVERIFY(f_->entriesDone());
        const std::vector<std::u16string> once = {u"range A2", u"value 遅い", u"visible 1"};
        QCOMPARE(f_->sheet.calls, once);
        QCOMPARE(f_->cellName()->text(), QStringLiteral("A2"));
        QCOMPARE(f_->button(wordpour::form::Command::Enter)->text(), QStringLiteral("入力"));
    }

    void overlongWordsAndNamesAreKeptWhole() {
        QVERIFY(f_->start());
        // Pasted, not cut at the box's edge: the logic refuses them whole.
        f_->combo()->lineEdit()->setText(QString(100000, QLatin1Char('x')));
        QCOMPARE(f_->combo()->currentText().size(), 100000);
        f_->setCellName(QString(40000, QLatin1Char('A')));
        QCOMPARE(f_->cellName()->text().size(), 40000);
        MessageBox::setNextAnswer(Answer::Ok);
        QTest::mouseClick(f_->button(wordpour::form::Command::Enter), Qt::LeftButton);
        QVERIFY(f_->entriesDone());
        QCOMPARE(MessageBox::takeShown().size(), std::size_t(1));
        QCOMPARE(QApplication::focusWidget(), f_->button(wordpour::form::Command::Enter));
    }

    void aStartUpFailureShowsItsMessageAndNoWindow() {
        f_->sheet.failures[u"attach"] = wordpour::link::spreadsheet::Failure::NotRunning;
        MessageBox::setNextAnswer(Answer::Ok);
        QVERIFY(!f_->start());
        QVERIFY(!f_->form->isVisible());
        const auto shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), std::size_t(1));
        QCOMPARE(shown[0].buttons, 16);
        QCOMPARE(shown[0].title, QStringLiteral("ワードポア！"));
    }

    void tabVisitsTheControlsInNameOrder() {
        QVERIFY(f_->start());
        QCOMPARE(f_->form->centralWidget()->size(), QSize(248, 183));
        QCOMPARE(f_->button(wordpour::form::Command::Enter)->geometry(), QRect(8, 40, 153, 41));
        QStringList visited;
        for (int i = 0; i < 9; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, (QStringList{"addButton", "deleteButton", "loadButton", "enterButton",
                                       "saveButton", "cellPositionButton", "showListButton",
                                       "chooseWorkbookButton", "wordBox"}));
    }

    void menuItemsAndShortcutsRunTheirButtonsHandlers() {
        // Each row: the item, its shortcut, and what its button's handler
        // shows or changes; the shortcut is pressed in the word box.
        struct Case {
            const char* item;
            QKeySequence shortcut;
            QString dialogTitle;  // the box it shows, if any
            int itemsAfter;       // the word list afterwards, from {"a"} selected
            QString focusAfter;   // empty: not moved
        };
        const Case cases[] = {
            {"loadItem", QKeySequence(Qt::CTRL | Qt::Key_O), QStringLiteral("ﾘｽﾄを開く"), 1, ""},
            {"saveItem", QKeySequence(Qt::CTRL | Qt::Key_S), QStringLiteral("ﾘｽﾄの保存"), 1, ""},
            {"addItem", QKeySequence(Qt::CTRL | Qt::Key_A), QString(), 2, "enterButton"},
            {"deleteItem", QKeySequence(Qt::CTRL | Qt::Key_D), QString(), 0, "enterButton"},
            {"showListItem", QKeySequence(Qt::CTRL | Qt::Key_L), QStringLiteral("現在のリスト項目"),
             1, "enterButton"},
            {"chooseWorkbookItem", QKeySequence(Qt::CTRL | Qt::Key_F), QString(), 1, "enterButton"},
            {"cellPositionItem", QKeySequence(Qt::CTRL | Qt::Key_P), QString(), 1, "cellNameBox"},
        };
        for (const Case& c : cases) {
            for (bool byShortcut : {false, true}) {
                qInfo("%s %s", c.item, byShortcut ? "shortcut" : "menu");
                // A fresh window whose list holds "a", shown in the box.
                f_ = std::make_unique<wordpour::testing::WindowFixture>();
                QVERIFY(f_->start());
                wordpour::qt::InputBox::setNextReply(QStringLiteral("a"));
                f_->form->session().addWord();
                auto* item = f_->form->findChild<QAction*>(QLatin1String(c.item));
                QVERIFY(item);
                QCOMPARE(item->shortcut(), c.shortcut);
                QApplication::setActiveWindow(f_->form.get());
                QVERIFY(QTest::qWaitForWindowActive(f_->form.get()));
                f_->combo()->setCurrentIndex(0);
                f_->combo()->setFocus();
                wordpour::qt::InputBox::setNextReply(QStringLiteral("b"));
                wordpour::qt::FileDialog::setNextFileName(f_->book());
                MessageBox::setNextAnswer(Answer::No);  // No to a confirmation, OK otherwise
                if (byShortcut)
                    QTest::keyClick(f_->combo()->lineEdit(), c.shortcut[0].key(),
                                    c.shortcut[0].keyboardModifiers());
                else
                    item->trigger();
                const auto shown = MessageBox::takeShown();
                QCOMPARE(shown.size(), std::size_t(c.dialogTitle.isEmpty() ? 0 : 1));
                if (!c.dialogTitle.isEmpty()) QCOMPARE(shown[0].title, c.dialogTitle);
                QCOMPARE(f_->combo()->count(), c.itemsAfter);
                // The dialog's window becomes active on its own time.
                const auto focusName = [] {
                    QWidget* w = QApplication::focusWidget();
                    return w ? w->objectName() : QString();
                };
                QTRY_COMPARE(focusName(),
                             c.focusAfter.isEmpty() ? QStringLiteral("wordBox") : c.focusAfter);
                f_->form->cellPositionDialog().hide();
            }
        }
    }

    void leavingTheWordBoxKeepsTheTypedText() {
        QVERIFY(f_->start());
        f_->combo()->addItem(QStringLiteral("ABC"));
        f_->type(QStringLiteral("abc"));
        QTest::keyClick(f_->combo()->lineEdit(), Qt::Key_Tab);
        QCOMPARE(f_->combo()->currentText(), QStringLiteral("abc"));
        f_->sheet.calls.clear();
        QTest::mouseClick(f_->button(wordpour::form::Command::Enter), Qt::LeftButton);
        QVERIFY(f_->entriesDone());
        QCOMPARE(f_->sheet.cells[u"A2"], u"abc");
    }

    void theCellPositionDialogSetsWhereEntryGoesOn() {
        QVERIFY(f_->start());
        auto& dialog = f_->form->cellPositionDialog();
        QLineEdit* text = f_->cellName();
        QTest::mouseClick(f_->button(wordpour::form::Command::CellPosition), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), text);
        QCOMPARE(text->selectedText(), QStringLiteral("A1"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("セル位置"));

        QTest::keyClicks(text, "B5");  // replaces the selected name
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("setButton")),
                          Qt::LeftButton);  // 指定
        QVERIFY(!dialog.isVisible());
        QTest::mouseClick(f_->button(wordpour::form::Command::Enter), Qt::LeftButton);
        QVERIFY(f_->entriesDone());
        QVERIFY(f_->sheet.cells.count(u"B6"));
        QCOMPARE(text->text(), QStringLiteral("B6"));

        // Opened again while shown: in front, the whole name selected again;
        // an entry meanwhile shows the new name at once.
        f_->form->session().showCellPosition();
        text->deselect();
        f_->form->session().showCellPosition();
        QCOMPARE(text->selectedText(), QStringLiteral("B6"));
        f_->form->session().enterWord();
        QVERIFY(f_->entriesDone());
        QVERIFY(dialog.isVisible());
        QCOMPARE(text->text(), QStringLiteral("B7"));

        // The close box hides it like 指定: the name is kept, nothing is overwritten.
        dialog.close();
        QVERIFY(!dialog.isVisible());
        f_->form->session().enterWord();
        QVERIFY(f_->entriesDone());
        QCOMPARE(text->text(), QStringLiteral("B8"));
    }

    void thereIsOneAboutBoxAndOkHidesIt() {
        QVERIFY(f_->start());
        auto* version = f_->form->findChild<QAction*>(QStringLiteral("aboutItem"));
        QCOMPARE(version->shortcut(), QKeySequence(Qt::Key_F1));
        version->trigger();
        wordpour::qt::AboutBox* about = f_->form->aboutBox();
        QVERIFY(about && about->isVisible());
        QCOMPARE(about->windowTitle(), QStringLiteral("バージョン情報"));
        const auto* picture = about->findChild<QLabel*>(QStringLiteral("picture"));
        QCOMPARE(picture->pixmap().size(), QSize(65, 65));
        version->trigger();
        QCOMPARE(f_->form->aboutBox(), about);
        QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("okButton")),
                          Qt::LeftButton);
        QVERIFY(!about->isVisible());
        QTest::keyClick(f_->combo()->lineEdit(), Qt::Key_F1);
        QCOMPARE(f_->form->aboutBox(), about);
        QVERIFY(about->isVisible());
        int shown = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            shown += qobject_cast<wordpour::qt::AboutBox*>(w) && w->isVisible() ? 1 : 0;
        QCOMPARE(shown, 1);
    }

    void ctrlZInTheWordBoxTakesTheLastEntryBack() {
        QVERIFY(f_->start());
        auto* undo = f_->form->findChild<QAction*>(QStringLiteral("undoItem"));
        QVERIFY(undo && !undo->isEnabled());
        f_->type(QStringLiteral("取り消す"));
        QTest::mouseClick(f_->button(wordpour::form::Command::Enter), Qt::LeftButton);
        QVERIFY(f_->entriesDone());
        QVERIFY(undo->isEnabled());
        f_->combo()->setFocus();
        QTest::keyClick(f_->combo()->lineEdit(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(f_->entriesDone());
        QCOMPARE(f_->sheet.contents.count(u"A2"), std::size_t(1));
        QVERIFY(f_->sheet.contents[u"A2"] == wordpour::link::spreadsheet::CellContent{});
        QCOMPARE(f_->cellName()->text(), QStringLiteral("A1"));
        QVERIFY(!undo->isEnabled());
        QCOMPARE(f_->combo()->currentText(),
                 QStringLiteral("取り消す"));  // the box's own undo did not run
    }

    static QListView* findList() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("FindList")) return qobject_cast<QListView*>(w);
        return nullptr;
    }

    void typingFindsByWritingOrReadingAndOneKeyEnters() {
        QVERIFY(f_->start());
        for (const char16_t* word : {u"東京都", u"大阪府", u"京都府"}) {
            wordpour::qt::InputBox::setNextReply(QString::fromStdU16String(word));
            f_->form->session().addWord();
        }
        f_->form->session().settleReadings();
        const bool read = wordpour::find::openReadingDictionary() != nullptr;
        f_->combo()->setFocus();
        QListView* list = findList();
        QVERIFY(list);
        f_->type(QStringLiteral("京"));
        QVERIFY(list->isVisible());
        QCOMPARE(list->model()->rowCount(), 2);
        // The beginning first; each row with its reading.
        QCOMPARE(list->model()->index(0, 0).data().toString(),
                 read ? QStringLiteral("京都府（きょうとふ）") : QStringLiteral("京都府"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f_->combo()));  // typing stays
        QTest::keyClick(f_->combo(), Qt::Key_Down);  // where the focus is: the box itself
        QTest::keyClick(f_->combo(), Qt::Key_Return, Qt::ShiftModifier);
        QVERIFY(!list->isVisible());
        QCOMPARE(f_->combo()->currentText(), QStringLiteral("東京都"));
        QCOMPARE(f_->combo()->currentIndex(), 0);
        QVERIFY(f_->sheet.cells.empty());  // Shift+Enter picks and writes nothing
        // Escape closes the list and keeps what was typed.
        f_->type(QStringLiteral("府"));
        QVERIFY(list->isVisible());
        QTest::keyClick(f_->combo()->lineEdit(), Qt::Key_Escape);
        QVERIFY(!list->isVisible());
        QCOMPARE(f_->combo()->currentText(), QStringLiteral("府"));
        if (!read) QSKIP("no reading dictionary: MeCab with IPAdic is not installed");
        // Romaji finds by the reading, and Enter enters the highlighted word.
        f_->type(QStringLiteral("oosaka"));
        QVERIFY(list->isVisible());
        QTest::keyClick(f_->combo(), Qt::Key_Return);
        QVERIFY(f_->entriesDone());
        QCOMPARE(f_->sheet.cells[u"A2"], u"大阪府");
        QCOMPARE(QApplication::focusWidget(),
                 static_cast<QWidget*>(f_->button(wordpour::form::Command::Enter)));
        // Letters typed on 入力 begin a new word in the box.
        for (const QChar letter : QStringLiteral("kyo"))  // each to where the focus is
            QTest::keyClicks(QApplication::focusWidget(), QString(letter));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f_->combo()));
        QCOMPARE(f_->combo()->currentText(), QStringLiteral("kyo"));
        QCOMPARE(list->model()->index(0, 0).data().toString(),
                 QStringLiteral("京都府（きょうとふ）"));
        QTest::keyClick(f_->combo(), Qt::Key_Return);
        QVERIFY(f_->entriesDone());
        QCOMPARE(f_->sheet.cells[u"A3"], u"京都府");
    }

    void whatTheInputMethodComposesFindsAndItsKanaBecomeTheReading() {
        if (!wordpour::find::openReadingDictionary()) QSKIP("no reading dictionary");
        QVERIFY(f_->start());
        wordpour::qt::InputBox::setNextReply(QStringLiteral("日本"));
        f_->form->session().addWord();
        f_->form->session().settleReadings();
        f_->combo()->setFocus();
        QLineEdit* field = f_->combo()->lineEdit();
        // As the platform delivers them: to the widget with the focus.
        auto compose = [](const QString& preedit, const QString& commit = {}) {
            QInputMethodEvent event(preedit, {});
            if (!commit.isEmpty()) event.setCommitString(commit);
            QApplication::sendEvent(QApplication::focusObject(), &event);
        };
        // The dictionary reads 日本 にっぽん: the kana being composed find it.
        compose(QStringLiteral("にっぽ"));
        QListView* list = findList();
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("日本（にっぽん）"));
        // The person reads it にほん: converted and entered, that reading stays.
        field->clear();
        compose(QStringLiteral("にほん"));
        compose(QStringLiteral("日本"));
        compose({}, QStringLiteral("日本"));
        QCOMPARE(field->text(), QStringLiteral("日本"));
        QTest::mouseClick(f_->button(wordpour::form::Command::Enter), Qt::LeftButton);
        QVERIFY(f_->entriesDone());
        f_->type(QStringLiteral("nihon"));
        QVERIFY(list->isVisible());
        QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("日本（にほん）"));
    }

    void aFilterBecomesQtsDescriptionAndPatterns() {
        QCOMPARE(FileDialog::toQtFilter(QStringLiteral("Text|*.txt;*.csv|Book (*.a;*.b)|*.a;*.b")),
                 QStringLiteral("Text (*.txt *.csv);;Book (*.a *.b)"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
