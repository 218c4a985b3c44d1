// The three Qt windows to the letter: every control's place and font, the
// titles and icons, the menus, the keys that press nothing, and the
// picture file, each against its table.
#include <future>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtEndian>

#include "app/form/commands.h"
#include "app/qt/about_box.h"
#include "app/qt/dialogs/input_box.h"
#include "tests/app/qt/window_fixture.h"

using wordpour::form::Answer;
using wordpour::qt::InputBox;
using wordpour::qt::MessageBox;

namespace {

struct Font {
    qreal points;
    bool bold;
    bool underline;
};

int px(int twips) {
    return twips / 15;
}

}  // namespace

class WindowsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<wordpour::testing::WindowFixture> f_;

    QWidget* window(const QString& name) {
        if (name == QLatin1String("main")) return f_->form.get();
        if (name == QLatin1String("cellPosition")) return &f_->form->cellPositionDialog();
        if (!f_->form->aboutBox()) f_->form->session().showAbout();
        return f_->form->aboutBox();
    }

private slots:
    void init() {
        f_ = std::make_unique<wordpour::testing::WindowFixture>();
        QVERIFY(f_->start());
    }
    void cleanup() { f_.reset(); }

    // Every control of the three windows, as the tables give it: the face
    // must draw each at its twips in its font with its text.
    void controlsStandAtTheirTwipsInTheirFonts_data() {
        using namespace wordpour::form;
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");  // relative to the parent: the frame's labels to it
        QTest::addColumn<qreal>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("underline");
        const auto row = [](const char* form, std::string_view name, std::u16string_view text,
                            TwipsRect r, FontStyle font) {
            const QString control = QString::fromLatin1(name.data(), qsizetype(name.size()));
            QTest::addRow("%s.%s", form, qPrintable(control))
                << QString::fromLatin1(form) << control
                << QString::fromStdU16String(std::u16string(text))
                << QRect(r.left, r.top, r.width, r.height) << font.points << font.bold
                << font.underline;
        };
        for (const ButtonDef& b : kButtons) row("main", b.name, b.caption, b.rect, kPlainFont);
        for (const ControlDef* c : {&kCellPrompt, &kCellNameBox, &kSetButton})
            row("cellPosition", c->name, c->text, c->rect, c->font);
        for (const ControlDef* c : {&kAboutFrame, &kAboutOk})
            row("about", c->name, c->text, c->rect, c->font);
        for (const ControlDef& c : kAboutLabels) row("about", c.name, c.text, c.rect, c.font);
    }
    void controlsStandAtTheirTwipsInTheirFonts() {
        QFETCH(QString, form);
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        QFETCH(qreal, points);
        QFETCH(bool, bold);
        QFETCH(bool, underline);
        QWidget* w = window(form)->findChild<QWidget*>(control);
        QVERIFY(w);
        QCOMPARE(w->geometry(),
                 QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
        QString shown;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) shown = button->text();
        if (auto* label = qobject_cast<QLabel*>(w)) shown = label->text();
        if (auto* edit = qobject_cast<QLineEdit*>(w)) shown = edit->text();
        if (auto* frame = qobject_cast<QGroupBox*>(w)) shown = frame->title();
        QCOMPARE(shown, text);
        QCOMPARE(w->font().families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(w->font().pointSizeF(), points);
        QCOMPARE(w->font().bold(), bold);
        QCOMPARE(w->font().underline(), underline);
    }

    // The dialog of the columns written with each word, from its table:
    // each row's controls at their twips with the names a screen reader
    // says; a column after なし is disabled, a text box open for a fixed
    // text only; OK hands the session what was set, and the menu item
    // shows it with its check mark.
    void theCompanionsDialogSetsTheColumns() {
        using namespace wordpour::form;
        const auto q = [](std::u16string_view text) {
            return QString::fromStdU16String(std::u16string(text));
        };
        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), q(kCompanionsDialog.title));
            std::vector<QComboBox*> kinds;
            std::vector<QLineEdit*> texts;
            for (const CompanionRowDef& row : kCompanionRows) {
                auto* kind = dialog->findChild<QComboBox*>(QLatin1String(row.kind.name.data()));
                auto* text = dialog->findChild<QLineEdit*>(QLatin1String(row.text.name.data()));
                QVERIFY(kind && text);
                QCOMPARE(kind->accessibleName(), q(row.kind.spokenName));
                QCOMPARE(text->accessibleName(), q(row.text.spokenName));
                QCOMPARE(text->geometry(),
                         QRect(px(row.text.rect.left), px(row.text.rect.top),
                               px(row.text.rect.width), px(row.text.rect.height)));
                QCOMPARE(kind->count(), static_cast<int>(std::size(kCompanionKinds)));
                kinds.push_back(kind);
                texts.push_back(text);
            }
            QVERIFY(kinds[0]->isEnabled() && !kinds[1]->isEnabled() && !texts[0]->isEnabled());
            kinds[0]->setCurrentIndex(1);  // 日時
            QVERIFY(kinds[1]->isEnabled() && !texts[0]->isEnabled() && !kinds[2]->isEnabled());
            kinds[1]->setCurrentIndex(5);  // 固定の文字
            QVERIFY(texts[1]->isEnabled());
            texts[1]->setText(QStringLiteral("山田"));
            auto* number = dialog->findChild<QLineEdit*>(QLatin1String(kNextNumberBox.name.data()));
            QVERIFY(number);
            QCOMPARE(number->accessibleName(), q(kNextNumberBox.spokenName));
            number->setText(QStringLiteral("7"));
            dialog->findChild<QPushButton*>(QLatin1String(kCompanionsOk.name.data()))->click();
            answered = true;
        });
        f_->form->session().run(Command::Companions);
        QVERIFY(answered);
        const Companions& set = f_->form->session().companions();
        QCOMPARE(set.columns[0].kind, CompanionKind::DateTime);
        QCOMPARE(set.columns[1].kind, CompanionKind::FixedText);
        QCOMPARE(set.columns[1].text, std::u16string(u"山田"));
        QCOMPARE(set.nextNumber, 7L);
        QCOMPARE(set.width(), std::size_t{2});
        QVERIFY(f_->form->findChild<QAction*>(QStringLiteral("companionsItem"))->isChecked());
    }

    void theWordBoxAndThePicture() {
        QComboBox* combo = f_->combo();
        QCOMPARE(combo->pos(), QPoint(8, 0));
        QCOMPARE(combo->width(), 233);
        // 525 twips, or what the style needs to show its font uncut.
        QVERIFY2(combo->height() >= 35, qPrintable(QString::number(combo->height())));
        QVERIFY(combo->lineEdit()->height() >= combo->fontMetrics().height());
        QCOMPARE(combo->font().families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(combo->font().pointSizeF(), 20.25);
        QVERIFY(combo->font().bold());

        auto* picture =
            window(QStringLiteral("about"))->findChild<QLabel*>(QStringLiteral("picture"));
        QCOMPARE(picture->geometry(), QRect(8, 40, 65, 65));
        QCOMPARE(picture->pixmap().size(), QSize(65, 65));  // natural size
        QVERIFY(!picture->hasScaledContents());
    }

    void thePictureIsThe65By65BitmapAsStored() {
        QFile file(QStringLiteral(":/wordpour/about.bmp"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bmp = file.readAll();
        const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bmp.constData() + at); };
        const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bmp.constData() + at); };
        QCOMPARE(bmp.size(), 5498);
        QCOMPARE(bmp.left(2), QByteArray("BM"));
        QCOMPARE(u32(2), 5498u);                  // the size the header gives
        QCOMPARE(u32(18), 65u);                   // width
        QCOMPARE(u32(22), 65u);                   // height
        QCOMPARE(u16(26), 1u);                    // planes
        QCOMPARE(u16(28), 8u);                    // bits per pixel
        QCOMPARE(u32(30), 0u);                    // uncompressed
        QCOMPARE(u32(38), 3780u);                 // pixels per metre, across
        QCOMPARE(u32(42), 3780u);                 // and down
        QVERIFY(u32(46) == 0 || u32(46) == 256);  // a palette of 256 colours
    }

    void windowsHaveTheirTitlesClientAreasAndIcons_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("client");
        QTest::newRow("main") << "main" << QStringLiteral("ワードポア！") << QSize(248, 183);
        QTest::newRow("cellPosition")
            << "cellPosition" << QStringLiteral("セル位置") << QSize(127, 77);
        QTest::newRow("about") << "about" << QStringLiteral("バージョン情報") << QSize(304, 187);
    }
    void windowsHaveTheirTitlesClientAreasAndIcons() {
        QFETCH(QString, form);
        QFETCH(QString, title);
        QFETCH(QSize, client);
        QWidget* w = window(form);
        QCOMPARE(w->windowTitle(), title);
        auto* main = qobject_cast<QMainWindow*>(w);
        QCOMPARE(main ? main->centralWidget()->size() : w->size(), client);
        // An ordinary frame that may be made smaller than its client area
        // (the main window keeps room for its menu bar).
        QVERIFY(w->minimumSize().width() < client.width() / 4);
        QVERIFY(w->minimumSize().height() < client.height() / 4);
        const QList<QSize> sizes = w->windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(16, 16)));
        QVERIFY(sizes.contains(QSize(32, 32)));
    }

    void menusHaveTheirCaptionsKeysOrderAndSeparators() {
        // Each menu as the tables give it: its caption, then its items; "-"
        // is a separator.
        using namespace wordpour::form;
        QList<QStringList> expected;
        for (const MenuDef& menu : kMenus)
            expected << QStringList{QString::fromStdU16String(std::u16string(menu.caption))};
        for (const MenuItemDef& item : kMenuItems) {
            expected[static_cast<qsizetype>(indexOf(item.menu))]
                << (item.separator()
                        ? QStringLiteral("-")
                        : QString::fromStdU16String(std::u16string(item.caption) + u"|" +
                                                    shortcutText(item.shortcut)));
        }
        QList<QStringList> shown;
        for (QAction* bar : f_->form->menuBar()->actions()) {
            QStringList menu{bar->text()};
            for (QAction* item : bar->menu()->actions()) {
                menu << (item->isSeparator()
                             ? QStringLiteral("-")
                             : item->text() + QLatin1Char('|') + item->shortcut().toString());
            }
            shown << menu;
        }
        QCOMPARE(shown, expected);
    }

    void alwaysOnTopKeepsEveryWindowAboveOthers() {
        auto* item = f_->form->findChild<QAction*>(QStringLiteral("alwaysOnTopItem"));
        QVERIFY(item && item->isCheckable() && !item->isChecked());
        QWidget* form2 = window(QStringLiteral("cellPosition"));
        for (const bool on : {true, false, true}) {
            item->trigger();
            QCOMPARE(item->isChecked(), on);
            for (QWidget* w : {static_cast<QWidget*>(f_->form.get()), form2}) {
                QCOMPARE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint), on);
                if (w->windowHandle())
                    QCOMPARE(w->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), on);
            }
            QVERIFY(f_->form->isVisible());  // kept shown, not hidden by new flags
        }
        // The about box made later stays on top too.
        QVERIFY(window(QStringLiteral("about"))->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void enterAndEscapePressNothingInTheDialogs() {
        f_->form->session().showCellPosition();
        wordpour::qt::CellPositionDialog& form2 = f_->form->cellPositionDialog();
        QVERIFY(QTest::qWaitForWindowActive(&form2));
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(form2.nameBox(), static_cast<Qt::Key>(key));
            QVERIFY(form2.isVisible());
            QCOMPARE(form2.nameBox()->text(), QStringLiteral("A1"));
        }
        f_->form->session().showAbout();
        wordpour::qt::AboutBox* about = f_->form->aboutBox();
        QVERIFY(QTest::qWaitForWindowActive(about));
        QTest::keyClick(about, Qt::Key_Escape);
        QVERIFY(about->isVisible());
        // Enter on a label-only window with the focus on OK presses OK, as
        // on any focused button; Enter elsewhere presses nothing.
        about->findChild<QWidget*>(QStringLiteral("aboutFrame"))->setFocus();
        QTest::keyClick(about, Qt::Key_Return);
        QVERIFY(about->isVisible());
    }

    void theAboutBoxLeavesTheMainWindowAsItWas() {
        f_->combo()->setFocus();
        QVERIFY(QTest::qWaitFor([this] { return f_->combo()->hasFocus(); }));
        f_->form->findChild<QAction*>(QStringLiteral("aboutItem"))->trigger();
        QVERIFY(f_->form->aboutBox()->isVisible());
        // The main window's own focus stays in the word box.
        QCOMPARE(f_->form->focusWidget(), static_cast<QWidget*>(f_->combo()));
        // 入力 still writes while the about box is open.
        f_->type(QStringLiteral("開いたまま"));
        QTest::mouseClick(f_->button(wordpour::form::Command::Enter), Qt::LeftButton);
        QVERIFY(f_->entriesDone());
        QCOMPARE(f_->sheet.cells[u"A2"], u"開いたまま");
        QVERIFY(f_->form->aboutBox()->isVisible());
    }

    void theAddBoxAsksWithItsPromptTitleAndAnEmptyDefault() {
        InputBox::takeAsked();
        InputBox::setNextReply(std::nullopt);
        QTest::mouseClick(f_->button(wordpour::form::Command::Add), Qt::LeftButton);
        const auto asked = InputBox::takeAsked();
        QCOMPARE(asked.size(), std::size_t(1));
        QCOMPARE(asked[0].prompt, QStringLiteral("ﾘｽﾄに追加する単語を入力してください。"));
        QCOMPARE(asked[0].title, QStringLiteral("ﾘｽﾄに追加"));
        QCOMPARE(asked[0].defaultText, QString());
    }

    void theStartUpWaitsInASmallWindowThatCanBeGivenUp() {
        using namespace wordpour::form;
        wordpour::testing::WindowFixture fresh;
        std::promise<void> answer;
        std::shared_future<void> answered = answer.get_future().share();
        fresh.sheet.beforeCall = [answered](const std::u16string& call) {
            if (call == u"attach") answered.wait();
        };
        QString title, text;
        QRect textAt, abortAt;
        QTimer::singleShot(kShowStartWaitingAfterMs + 300, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() != QLatin1String("waitingWindow") || !w->isVisible()) continue;
                title = w->windowTitle();
                auto* label = w->findChild<QLabel*>(QStringLiteral("waitingText"));
                auto* abort = w->findChild<QPushButton*>(QStringLiteral("abortButton"));
                text = label->text() + QLatin1Char('|') + abort->text();
                textAt = label->geometry();
                abortAt = abort->geometry();
                QTest::mouseClick(abort, Qt::LeftButton);
            }
        });
        QVERIFY(!fresh.start());
        QCOMPARE(title, QStringLiteral("ワードポア！"));
        QCOMPARE(text, QStringLiteral("LibreOffice Calc の応答を待っています…\n"
                                      "「中止」を押すと、ワードポア！を終了します。|中止"));
        const auto px = [](TwipsRect r) {
            return QRect(r.left / 15, r.top / 15, r.width / 15, r.height / 15);
        };
        QCOMPARE(textAt, px(kWaitingText.rect));
        QCOMPARE(abortAt, px(kAbortButton.rect));
        QVERIFY(fresh.form->session().entryUnderWay());
        QVERIFY(MessageBox::takeShown().empty());
        answer.set_value();
        QVERIFY(QTest::qWaitFor([&] { return !fresh.form->session().entryUnderWay(); }, 5000));
    }

    void quitAndClosingTheMainWindowEndTheProgram_data() {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("終了 in the menu") << true;
        QTest::newRow("the close box") << false;
    }
    void quitAndClosingTheMainWindowEndTheProgram() {
        QFETCH(bool, byMenu);
        QTimer::singleShot(0, this, [this, byMenu] {
            if (byMenu)
                f_->form->findChild<QAction*>(QStringLiteral("quitItem"))->trigger();
            else
                f_->form->close();
        });
        QTimer::singleShot(5000, [] { QApplication::exit(99); });  // never ended
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
