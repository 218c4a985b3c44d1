// The main window over the in-memory spreadsheet, under the offscreen
// platform, with the dialogs answered in advance.
#include <fstream>
#include <memory>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/dialogs/file_dialog.h"
#include "app/dialogs/message_box.h"
#include "app/main_window.h"
#include "tests/link/excel/fake_spreadsheet.h"

using wordpour::app::FileDialog;
using wordpour::app::Form1;
using wordpour::app::MessageBox;
using wordpour::testing::FakeSpreadsheet;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString book_;
    FakeSpreadsheet sheet_;
    std::unique_ptr<Form1> form_;

    QComboBox* combo() { return form_->findChild<QComboBox*>(QStringLiteral("Combo1")); }
    QPushButton* enter() { return form_->findChild<QPushButton*>(QStringLiteral("Command4")); }
    QLineEdit* cellName() { return form_->cellPosition().form().text1(); }

    // Starts the window as the program does, on the fake spreadsheet.
    bool startWith(const QString& chosenFile) {
        form_ = std::make_unique<Form1>([this] { return sheet_.attach(); });
        FileDialog::setNextFileName(chosenFile);
        if (!form_->Form_Initialize()) return false;
        form_->show();
        QApplication::setActiveWindow(form_.get());
        return QTest::qWaitForWindowActive(form_.get());
    }

    void type(const QString& word) {
        combo()->lineEdit()->clear();
        // Key events that carry the text, as an input method delivers kana.
        for (const QChar ch : word)
            QTest::sendKeyEvent(QTest::Click, combo()->lineEdit(), Qt::Key_unknown, QString(ch),
                                Qt::NoModifier);
    }

private slots:
    void init() {
        book_ = dir_.path() + QStringLiteral("/book.xls");
        std::ofstream(book_.toStdString()) << "stand-in";
        sheet_ = FakeSpreadsheet();
        MessageBox::takeShown();
    }
    void cleanup() { form_.reset(); }

    void startUpRunsTheStepsInOrderAndFocusesTheWordBox() {
        QVERIFY(startWith(book_));
        const std::vector<std::u16string> expected = {
            u"attach",     u"workbooks",   u"open " + book_.toStdU16String(),
            u"worksheets", u"item sheet1", u"range A1"};
        QCOMPARE(sheet_.calls, expected);
        QVERIFY(!sheet_.visible);  // visibility is left to the first entry
        QCOMPARE(QApplication::focusWidget(), combo());
        QVERIFY(!cellName()->window()->isVisible());
        QVERIFY(MessageBox::takeShown().empty());
    }

    void enterWritesTheTypedWordOneRowDownAndFocusesEnter() {
        QVERIFY(startWith(book_));
        sheet_.calls.clear();
        type(QStringLiteral("りんご"));
        QTest::mouseClick(enter(), Qt::LeftButton);
        type(QStringLiteral("=1+1"));
        QTest::mouseClick(enter(), Qt::LeftButton);
        const std::vector<std::u16string> expected = {u"range A2", u"value りんご", u"visible 1",
                                                      u"range A3", u"value =1+1",   u"visible 1"};
        QCOMPARE(sheet_.calls, expected);
        QCOMPARE(cellName()->text(), QStringLiteral("A3"));
        QCOMPARE(QApplication::focusWidget(), enter());
        // With the focus on 入力, Enter and Space write the next word.
        QTest::keyClick(enter(), Qt::Key_Space);
        QTest::keyClick(enter(), Qt::Key_Return);
        QTest::keyClick(enter(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(sheet_.cells[u"A4"], u"=1+1");
        QCOMPARE(sheet_.cells[u"A5"], u"=1+1");
        QCOMPARE(cellName()->text(), QStringLiteral("A6"));
    }

    void enterInTheWordBoxDoesNothing() {
        QVERIFY(startWith(book_));
        sheet_.calls.clear();
        type(QStringLiteral("typed"));
        QTest::keyClick(combo()->lineEdit(), Qt::Key_Return);
        QTest::keyClick(combo()->lineEdit(), Qt::Key_Enter);
        QVERIFY(sheet_.calls.empty());
        QCOMPARE(combo()->count(), 0);
        QCOMPARE(combo()->currentText(), QStringLiteral("typed"));
    }

    void aWrongNameShowsItsMessageAndTheProgramGoesOn() {
        QVERIFY(startWith(book_));
        sheet_.calls.clear();
        cellName()->setText(QStringLiteral("a1"));
        MessageBox::setNextAnswer(1);
        QTest::mouseClick(enter(), Qt::LeftButton);
        const auto shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), std::size_t(1));
        QCOMPARE(shown[0].prompt, QStringLiteral("セルの名前が間違っています。"));
        QCOMPARE(shown[0].title, QStringLiteral("セル名の異常"));
        QCOMPARE(shown[0].buttons, 0);
        QVERIFY(sheet_.calls.empty());
        QCOMPARE(cellName()->text(), QStringLiteral("a1"));
        // Mended, the entry goes on once the name is right.
        cellName()->setText(QStringLiteral("B5"));
        QTest::mouseClick(enter(), Qt::LeftButton);
        QCOMPARE(cellName()->text(), QStringLiteral("B6"));
    }

    void aFailedWriteKeepsTheNameAndSaysWhy() {
        QVERIFY(startWith(book_));
        sheet_.failures[u"value"] = wordpour::excel::Failure::Disconnected;
        MessageBox::setNextAnswer(1);
        QTest::mouseClick(enter(), Qt::LeftButton);
        const auto shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), std::size_t(1));
        QVERIFY(shown[0].prompt.contains(QStringLiteral("セル「A2」に書き込めません")));
        QCOMPARE(cellName()->text(), QStringLiteral("A1"));
        QCOMPARE(QApplication::focusWidget(), enter());
    }

    void startUpFailuresShowTheirMessageAndNoWindow() {
        struct Case {
            QString file;
            std::u16string failAt;
            QString says;
        };
        const Case cases[] = {
            {QString(), u"", QStringLiteral("ブックが選ばれなかった")},
            {book_, u"attach", QStringLiteral("表計算ソフトに接続できません")},
            {book_, u"open", QStringLiteral("を開けません")},
            {book_, u"item", QStringLiteral("「sheet1」がありません")},
        };
        for (const Case& c : cases) {
            sheet_ = FakeSpreadsheet();
            if (!c.failAt.empty())
                sheet_.failures[c.failAt] =
                    c.failAt == u"attach" ? wordpour::excel::Failure::NotRunning
                    : c.failAt == u"open" ? wordpour::excel::Failure::Open
                                          : wordpour::excel::Failure::NoSheet;
            MessageBox::setNextAnswer(1);
            QVERIFY(!startWith(c.file));
            QVERIFY(!form_->isVisible());
            const auto shown = MessageBox::takeShown();
            QCOMPARE(shown.size(), std::size_t(1));
            QVERIFY2(shown[0].prompt.contains(c.says), qPrintable(shown[0].prompt));
            QCOMPARE(shown[0].title, QStringLiteral("ワードポア！"));
        }
    }

    void theWorkbookFilterIsOneXlsFilter() {
        QCOMPARE(FileDialog::toQtFilter(QString::fromStdU16String(wordpour::app::kBookFilter)),
                 QStringLiteral("ｴｸｾﾙ ﾌﾞｯｸ (*.xls)"));
        QCOMPARE(FileDialog::toQtFilter(QStringLiteral("Text|*.txt;*.csv")),
                 QStringLiteral("Text (*.txt *.csv)"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
