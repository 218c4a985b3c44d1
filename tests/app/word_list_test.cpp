// The word-list commands with real files in a temporary current directory
// and real widgets (offscreen), the dialogs answered in advance.
#include <unistd.h>

#include <functional>
#include <string_view>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/qt/dialogs/input_box.h"
#include "tests/app/form_fixture.h"

using wordpour::app::InputBox;
using wordpour::app::MessageBox;
using wordpour::link::Answer;

namespace {

constexpr auto kYes = Answer::Yes;
constexpr auto kNo = Answer::No;

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

class WordListTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<wordpour::testing::FormFixture> f_;
    std::unique_ptr<QTemporaryDir> cwd_;
    QString home_ = QDir::currentPath();

    QStringList items() {
        QStringList list;
        for (int i = 0; i < f_->combo()->count(); ++i) list << f_->combo()->itemText(i);
        return list;
    }
    void fill(const QStringList& words) { f_->combo()->addItems(words); }
    QWidget* focus() { return QApplication::focusWidget(); }

    // Clicks a button with the next message box answered `answer`; returns
    // the boxes shown.
    std::vector<MessageBox::Shown> click(int button, Answer answer) {
        MessageBox::setNextAnswer(answer);
        QTest::mouseClick(f_->button(button), Qt::LeftButton);
        return MessageBox::takeShown();
    }
    // Answers the confirmation Yes, then OK on a message that follows.
    std::vector<MessageBox::Shown> clickYes(int button) {
        MessageBox::setNextAnswer(kYes);
        MessageBox::setNextAnswer(Answer::Ok);
        QTest::mouseClick(f_->button(button), Qt::LeftButton);
        return MessageBox::takeShown();
    }

private slots:
    void init() {
        cwd_ = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(cwd_->path());
        f_ = std::make_unique<wordpour::testing::FormFixture>();
        QVERIFY(f_->start());
    }
    void cleanup() {
        f_.reset();
        QDir::setCurrent(home_);
        cwd_.reset();
    }

    void confirmationsHaveTheirTextsAndNoChangesNothing() {
        struct Case {
            int button;
            QString prompt;
            QString title;
        };
        const Case cases[] = {
            {3, QStringLiteral("ﾘｽﾄをﾛｰﾄﾞします。\rよろしいですか？"), QStringLiteral("ﾘｽﾄを開く")},
            {5, QStringLiteral("現在のﾘｽﾄを保存します。\rよろしいですか？"),
             QStringLiteral("ﾘｽﾄの保存")},
        };
        writeBytes(QStringLiteral("List"), "x\r\n");
        fill({QStringLiteral("a")});
        for (const Case& c : cases) {
            const auto shown = click(c.button, kNo);
            QCOMPARE(shown.size(), std::size_t(1));
            QCOMPARE(shown[0].prompt, c.prompt);
            QCOMPARE(shown[0].buttons, 20);
            QCOMPARE(shown[0].title, c.title);
            QCOMPARE(items(), QStringList{QStringLiteral("a")});
            QCOMPARE(bytesOf(QStringLiteral("List")), QByteArray("x\r\n"));
            QCOMPARE(focus(), f_->button(c.button));  // not moved from the clicked button
        }
    }

    void saveWritesEveryEntryAndLoadAppendsThem() {
        fill({QStringLiteral("りんご"), QString(), QStringLiteral("～①髙ﾘｽﾄ\\")});
        QVERIFY(clickYes(5).size() == 1);
        QCOMPARE(
            bytesOf(QStringLiteral("List")),
            QByteArray(
                "\x82\xE8\x82\xF1\x82\xB2\r\n\r\n\x81\x60\x87\x40\xFB\xFC\xD8\xBD\xC4\x5C\r\n"));
        QCOMPARE(focus(), f_->button(4));

        f_->combo()->clear();
        fill({QStringLiteral("前")});
        f_->combo()->setEditText(QStringLiteral("typed"));
        QVERIFY(clickYes(3).size() == 1);
        QVERIFY(clickYes(3).size() == 1);
        QCOMPARE(items(), (QStringList{QStringLiteral("前"), QStringLiteral("りんご"), QString(),
                                       QStringLiteral("～①髙ﾘｽﾄ\\"), QStringLiteral("りんご"),
                                       QString(), QStringLiteral("～①髙ﾘｽﾄ\\")}));
        QCOMPARE(focus(), f_->button(3));  // the click's focus: load never moves it
        QCOMPARE(f_->combo()->currentText(), QStringLiteral("typed"));
    }

    void savingAnEmptyListWritesNothing() {
        QVERIFY(clickYes(5).size() == 1);
        QVERIFY(!QFileInfo::exists(QStringLiteral("List")));
        QCOMPARE(focus(), f_->button(4));
        writeBytes(QStringLiteral("List"), "keep\r\n");
        QVERIFY(clickYes(5).size() == 1);
        QCOMPARE(bytesOf(QStringLiteral("List")), QByteArray("keep\r\n"));
    }

    void fileFaultsAreReportedAndChangeNothing() {
        struct Case {
            const char* why;
            int button;
            std::function<void()> prepare;
            QString says;
        };
        const Case cases[] = {
            {"no List yet", 3, [] {}, QStringLiteral("がありません")},
            {"List is a folder", 3, [] { QDir().mkdir(QStringLiteral("List")); },
             QStringLiteral("フォルダー")},
            {"not code page 932", 3,
             [] { writeBytes(QStringLiteral("List"), "ok\r\n\x85\x40\r\n"); },
             QStringLiteral("シフトJIS")},
            {"List is a folder at save", 5, [] { QDir().mkdir(QStringLiteral("List")); },
             QStringLiteral("保存できません")},
            {"an entry code page 932 cannot hold", 5,
             [this] {
                 writeBytes(QStringLiteral("List"), "old\r\n");
                 f_->combo()->addItem(QStringLiteral("絵文字😀"));
             },
             QStringLiteral("単語「絵文字😀」（2番目）")},
        };
        for (const Case& c : cases) {
            qInfo("%s", c.why);
            cleanup();
            init();
            fill({QStringLiteral("既存")});
            c.prepare();
            const QStringList before = items();
            const QByteArray file = bytesOf(QStringLiteral("List"));
            const auto shown = clickYes(c.button);
            QCOMPARE(shown.size(), std::size_t(2));
            QVERIFY2(shown[1].prompt.contains(c.says), qPrintable(shown[1].prompt));
            QCOMPARE(items(), before);
            QCOMPARE(bytesOf(QStringLiteral("List")), file);
            QVERIFY(f_->form->isVisible());
        }
    }

    void aReadOnlyFolderKeepsTheOldList() {
        if (geteuid() == 0) QSKIP("root writes into read-only folders");
        writeBytes(QStringLiteral("List"), "old\r\n");
        QFile::setPermissions(QStringLiteral("."), QFile::ReadOwner | QFile::ExeOwner);
        fill({QStringLiteral("new")});
        const auto shown = clickYes(5);
        QFile::setPermissions(QStringLiteral("."),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(shown.size(), std::size_t(2));
        QCOMPARE(bytesOf(QStringLiteral("List")), QByteArray("old\r\n"));
    }

    void addAppendsTheReplyAndCancelAddsNothing() {
        struct Case {
            std::optional<QString> reply;
            QStringList after;
        };
        const Case cases[] = {
            {QStringLiteral("word"), {QStringLiteral("a"), QStringLiteral("word")}},
            {QStringLiteral("a"), {QStringLiteral("a"), QStringLiteral("a")}},
            {QString(), {QStringLiteral("a"), QString()}},
            {std::nullopt, {QStringLiteral("a")}},
        };
        for (const Case& c : cases) {
            f_->combo()->clear();
            fill({QStringLiteral("a")});
            f_->type(QStringLiteral("typed"));
            InputBox::setNextReply(c.reply);
            QTest::mouseClick(f_->button(1), Qt::LeftButton);
            QCOMPARE(items(), c.after);
            QCOMPARE(focus(), f_->button(4));
            QCOMPARE(f_->combo()->currentText(), QStringLiteral("typed"));
        }
    }

    void theListHoldsAtMost32767Entries() {
        QStringList many;
        for (int i = 0; i < 32766; ++i) many << QString::number(i);
        fill(many);
        writeBytes(QStringLiteral("List"), "x\r\ny\r\n");
        QVERIFY(clickYes(3).size() == 2);  // 32766 + 2 would pass the cap: nothing added
        QCOMPARE(f_->combo()->count(), 32766);
        InputBox::setNextReply(QStringLiteral("last"));
        QTest::mouseClick(f_->button(1), Qt::LeftButton);
        QCOMPARE(f_->combo()->count(), 32767);
        InputBox::setNextReply(QStringLiteral("over"));
        MessageBox::setNextAnswer(Answer::Ok);
        QTest::mouseClick(f_->button(1), Qt::LeftButton);
        QCOMPARE(f_->combo()->count(), 32767);
        QVERIFY(MessageBox::takeShown().at(0).prompt.contains(QStringLiteral("32767")));
        QCOMPARE(focus(), f_->button(4));
    }

    void aLongEntryLoadsShowsSavesAndIsDeletedLikeAnyOther() {
        // One entry of a million characters, two bytes each in code page 932.
        const QByteArray longLine = QByteArray(1000000, '\0').replace('\0', "\x92\xB7");
        const QByteArray file = longLine + "\r\nshort\r\n";
        writeBytes(QStringLiteral("List"), file);
        QVERIFY(clickYes(3).size() == 1);
        QCOMPARE(items().size(), 2);
        QCOMPARE(items()[0], QString(1000000, QChar(u'長')));
        f_->combo()->setCurrentIndex(0);
        QCOMPARE(f_->combo()->currentText().size(), 1000000);  // shown whole
        QFile::remove(QStringLiteral("List"));
        QVERIFY(clickYes(5).size() == 1);
        QCOMPARE(bytesOf(QStringLiteral("List")), file);
        QTest::mouseClick(f_->button(2), Qt::LeftButton);
        QCOMPARE(items(), QStringList{QStringLiteral("short")});
    }

    void addingAndLoadingSelectNothingSoDeleteRemovesNothing() {
        writeBytes(QStringLiteral("List"), "x\r\n");
        struct Case {
            const char* what;
            std::function<void()> grow;
        };
        const Case cases[] = {
            {"add", [] { InputBox::setNextReply(QStringLiteral("x")); }},
            {"load", [] { MessageBox::setNextAnswer(kYes); }},
        };
        for (const Case& c : cases) {
            f_->combo()->clear();
            f_->type(QStringLiteral("x"));
            c.grow();
            QTest::mouseClick(f_->button(std::string_view(c.what) == "add" ? 1 : 3),
                              Qt::LeftButton);
            MessageBox::takeShown();
            QCOMPARE(items(), QStringList{QStringLiteral("x")});
            QCOMPARE(f_->combo()->currentIndex(), -1);
            QCOMPARE(f_->combo()->currentText(), QStringLiteral("x"));
            QTest::mouseClick(f_->button(2), Qt::LeftButton);
            QCOMPARE(items(), QStringList{QStringLiteral("x")});
        }
    }

    void deleteRemovesExactlyTheSelectedEntry() {
        fill({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("a")});
        f_->combo()->setCurrentIndex(2);
        QTest::mouseClick(f_->button(2), Qt::LeftButton);
        QCOMPARE(items(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(focus(), f_->button(4));
        // Typed text that is no entry: nothing is selected, nothing removed.
        f_->type(QStringLiteral("zzz"));
        QTest::mouseClick(f_->button(2), Qt::LeftButton);
        QCOMPARE(items().size(), 2);
        QCOMPARE(focus(), f_->button(4));
        QVERIFY(MessageBox::takeShown().empty());
    }

    void displayShowsEachEntryFollowedByLf() {
        struct Case {
            QStringList entries;
            QString text;
        };
        const Case cases[] = {
            {{}, QStringLiteral("登録されている項目はありません。")},
            {{QStringLiteral("一"), QStringLiteral("二")}, QStringLiteral("一\n二\n")},
            {{QString()}, QStringLiteral("\n")},
        };
        for (const Case& c : cases) {
            f_->combo()->clear();
            fill(c.entries);
            const auto shown = click(7, Answer::Ok);
            QCOMPARE(shown.size(), std::size_t(1));
            QCOMPARE(shown[0].prompt, c.text);
            QCOMPARE(shown[0].buttons, 0);
            QCOMPARE(shown[0].title, QStringLiteral("現在のリスト項目"));
            QCOMPARE(focus(), f_->button(4));
        }
    }
};

QTEST_MAIN(WordListTest)
#include "word_list_test.moc"
