// The three Qt windows to the letter: every control's place and font, the
// titles and icons, the menus, the keys that press nothing, and the
// picture file, each against its table.
#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>
#include <QtEndian>

#include "app/qt/about.h"
#include "app/qt/dialogs/input_box.h"
#include "tests/app/form_fixture.h"

using wordpour::app::InputBox;
using wordpour::app::MessageBox;
using wordpour::link::Answer;

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
    std::unique_ptr<wordpour::testing::FormFixture> f_;

    QWidget* window(const QString& name) {
        if (name == QLatin1String("Form1")) return f_->form.get();
        if (name == QLatin1String("Form2")) return &f_->form->cellPosition().form();
        if (!f_->form->about()) f_->form->logic().Version_Click();
        return f_->form->about();
    }

private slots:
    void init() {
        f_ = std::make_unique<wordpour::testing::FormFixture>();
        QVERIFY(f_->start());
    }
    void cleanup() { f_.reset(); }

    void controlsStandAtTheirTwipsInTheirFonts_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");  // relative to the parent: Frame1's labels to Frame1
        QTest::addColumn<qreal>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("underline");
        struct Row {
            const char* form;
            const char* control;
            const char* text;
            QRect twips;
            Font font;
        };
        const Font plain{9, false, false};
        const Row rows[] = {
            {"Form1", "Command1", "リスト追加", {120, 1320, 1095, 615}, plain},
            {"Form1", "Command2", "リスト削除", {120, 2040, 1095, 615}, plain},
            {"Form1", "Command3", "リスト開く", {2520, 1320, 1095, 615}, plain},
            {"Form1", "Command4", "入力", {120, 600, 2295, 615}, plain},
            {"Form1", "Command5", "リスト保存", {2520, 2040, 1095, 615}, plain},
            {"Form1", "Command6", "セル位置", {1320, 1320, 1095, 615}, plain},
            {"Form1", "Command7", "リスト表示", {1320, 2040, 1095, 615}, plain},
            {"Form1", "Command8", "ファイル選択", {2520, 600, 1095, 615}, plain},
            {"Form2",
             "Label1",
             "入力を開始する位置を指定してください。",
             {120, 120, 1575, 375},
             plain},
            {"Form2", "Text1", "A1", {120, 600, 855, 495}, {20.25, true, false}},
            {"Form2", "Command1", "指定", {1080, 600, 735, 495}, {9, true, false}},
            {"Form3", "Frame1", "Word ! Pour ! version 1.0", {120, 120, 4335, 2295}, plain},
            {"Form3", "Label4", "バージョン１．０", {2760, 360, 1215, 255}, plain},
            {"Form3", "Label3", "ワードポア！", {240, 240, 2415, 375}, {12, true, true}},
            {"Form3", "Label2", "E-Mail Address : ", {1200, 1320, 1455, 255}, plain},
            {"Form3", "Label5", "© 2026", {1200, 720, 1335, 255}, plain},
            {"Form3", "Label6", "Wordpour Project", {1680, 960, 1695, 255}, {9, true, true}},
            {"Form3", "Label1", "質問は README.md へ", {1680, 1560, 2535, 255}, {9, true, true}},
            {"Form3", "Label7", "URL ：", {120, 1680, 735, 255}, plain},
            {"Form3",
             "Label8",
             "同梱の README.md（使い方）",
             {240, 1920, 3975, 255},
             {9, true, true}},
            {"Form3", "Command1", "OK", {120, 2520, 4335, 255}, plain},
        };
        for (const Row& r : rows) {
            QTest::addRow("%s.%s", r.form, r.control)
                << QString::fromLatin1(r.form) << QString::fromLatin1(r.control)
                << QString::fromUtf8(r.text) << r.twips << r.font.points << r.font.bold
                << r.font.underline;
        }
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
            window(QStringLiteral("Form3"))->findChild<QLabel*>(QStringLiteral("Picture2"));
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
        QTest::newRow("Form1") << "Form1" << QStringLiteral("ワードポア！") << QSize(248, 183);
        QTest::newRow("Form2") << "Form2" << QStringLiteral("セル位置") << QSize(127, 77);
        QTest::newRow("Form3") << "Form3" << QStringLiteral("バージョン情報") << QSize(304, 187);
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
        // Each menu: its caption, then its items; "-" is a separator.
        const QList<QStringList> expected = {
            {"ﾌｧｲﾙ(&F)", "ｴｸｾﾙのﾌｧｲﾙを指定(&F)|Ctrl+F", "-", "保存しているﾘｽﾄを開く(&O)|Ctrl+O",
             "現在のﾘｽﾄを保存(&S)|Ctrl+S", "-", "終了(&Q)|Ctrl+Q"},
            {"編集(&E)", "単語をﾘｽﾄに追加(&A)|Ctrl+A", "単語をﾘｽﾄから削除(&D)|Ctrl+D", "-",
             "元に戻す(&U)|Ctrl+Z"},
            // Beyond the specified items: the last separator and item.
            {"表示(&V)", "入力を開始するｾﾙの位置(&P)|Ctrl+P", "-", "現在のﾘｽﾄを表示(&L)|Ctrl+L",
             "-", "常に手前に表示(&T)|"},
            {"ﾍﾙﾌﾟ(&H)", "ﾊﾞｰｼﾞｮﾝ情報(&I)|F1"},
        };
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
        auto* item = f_->form->findChild<QAction*>(QStringLiteral("AlwaysOnTop"));
        QVERIFY(item && item->isCheckable() && !item->isChecked());
        QWidget* form2 = window(QStringLiteral("Form2"));
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
        QVERIFY(window(QStringLiteral("Form3"))->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void enterAndEscapePressNothingInTheDialogs() {
        f_->form->logic().Command6_Click();
        wordpour::app::Form2& form2 = f_->form->cellPosition().form();
        QVERIFY(QTest::qWaitForWindowActive(&form2));
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(form2.text1(), static_cast<Qt::Key>(key));
            QVERIFY(form2.isVisible());
            QCOMPARE(form2.text1()->text(), QStringLiteral("A1"));
        }
        f_->form->logic().Version_Click();
        wordpour::app::Form3* about = f_->form->about();
        QVERIFY(QTest::qWaitForWindowActive(about));
        QTest::keyClick(about, Qt::Key_Escape);
        QVERIFY(about->isVisible());
        // Enter on a label-only window with the focus on OK presses OK, as
        // on any focused button; Enter elsewhere presses nothing.
        about->findChild<QWidget*>(QStringLiteral("Frame1"))->setFocus();
        QTest::keyClick(about, Qt::Key_Return);
        QVERIFY(about->isVisible());
    }

    void theAboutBoxLeavesTheMainWindowAsItWas() {
        f_->combo()->setFocus();
        QVERIFY(QTest::qWaitFor([this] { return f_->combo()->hasFocus(); }));
        f_->form->findChild<QAction*>(QStringLiteral("Version"))->trigger();
        QVERIFY(f_->form->about()->isVisible());
        // The main window's own focus stays in the word box.
        QCOMPARE(f_->form->focusWidget(), static_cast<QWidget*>(f_->combo()));
        // 入力 still writes while the about box is open.
        f_->type(QStringLiteral("開いたまま"));
        QTest::mouseClick(f_->button(4), Qt::LeftButton);
        QVERIFY(f_->entriesDone());
        QCOMPARE(f_->sheet.cells[u"A2"], u"開いたまま");
        QVERIFY(f_->form->about()->isVisible());
    }

    void theAddBoxAsksWithItsPromptTitleAndAnEmptyDefault() {
        InputBox::takeAsked();
        InputBox::setNextReply(std::nullopt);
        QTest::mouseClick(f_->button(1), Qt::LeftButton);
        const auto asked = InputBox::takeAsked();
        QCOMPARE(asked.size(), std::size_t(1));
        QCOMPARE(asked[0].prompt, QStringLiteral("ﾘｽﾄに追加する単語を入力してください。"));
        QCOMPARE(asked[0].title, QStringLiteral("ﾘｽﾄに追加"));
        QCOMPARE(asked[0].defaultText, QString());
    }

    void theCellPositionDialogExistsBeforeTheSpreadsheetIsAttached() {
        wordpour::testing::FormFixture fresh;
        bool createdAtAttach = false;
        fresh.sheet.beforeCall = [&](const std::u16string& call) {
            // The window's thread waits for the start-up meanwhile.
            if (call == u"attach") createdAtAttach = fresh.form->cellPosition().created();
        };
        QVERIFY(fresh.start());
        QVERIFY(createdAtAttach);
        QVERIFY(!fresh.form->cellPosition().form().isVisible());
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
                f_->form->findChild<QAction*>(QStringLiteral("Quit"))->trigger();
            else
                f_->form->close();
        });
        QTimer::singleShot(5000, [] { QApplication::exit(99); });  // never ended
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
