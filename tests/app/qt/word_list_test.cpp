// What the Qt word box adds to the word-list commands: where the focus goes,
// what the combo box selects and shows. What the commands write and refuse
// is the window logic's, tested without a toolkit.
#include <functional>
#include <string_view>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/qt/dialogs/input_box.h"
#include "tests/app/qt/window_fixture.h"

using wordpour::form::Answer;
using wordpour::qt::InputBox;
using wordpour::qt::MessageBox;

namespace {

constexpr auto kYes = Answer::Yes;
constexpr auto kNo = Answer::No;

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

class WordListTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<wordpour::testing::WindowFixture> f_;
    std::unique_ptr<QTemporaryDir> cwd_;
    QString home_ = QDir::currentPath();

    QStringList items() {
        QStringList list;
        for (int i = 0; i < f_->combo()->count(); ++i) list << f_->combo()->itemText(i);
        return list;
    }
    // Adds the words through the add command, as a person does.
    void fill(const QStringList& words) {
        for (const QString& word : words) {
            wordpour::qt::InputBox::setNextReply(word);
            f_->form->session().addWord();
        }
    }
    QWidget* focus() { return QApplication::focusWidget(); }

    // Clicks a button with the next message box answered `answer`; returns
    // the boxes shown.
    std::vector<MessageBox::Shown> click(wordpour::form::Command button, Answer answer) {
        MessageBox::setNextAnswer(answer);
        QTest::mouseClick(f_->button(button), Qt::LeftButton);
        return MessageBox::takeShown();
    }
    // Answers the confirmation Yes, then OK on a message that follows.
    std::vector<MessageBox::Shown> clickYes(wordpour::form::Command button) {
        MessageBox::setNextAnswer(kYes);
        MessageBox::setNextAnswer(Answer::Ok);
        QTest::mouseClick(f_->button(button), Qt::LeftButton);
        return MessageBox::takeShown();
    }

private slots:
    void init() {
        cwd_ = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(cwd_->path());
        f_ = std::make_unique<wordpour::testing::WindowFixture>();
        QVERIFY(f_->start());
    }
    void cleanup() {
        f_.reset();
        QDir::setCurrent(home_);
        cwd_.reset();
    }

    void confirmationsLeaveTheFocusOnTheClickedButton() {
        writeBytes(QStringLiteral("List"), "x\r\n");
        fill({QStringLiteral("a")});
        for (auto button : {wordpour::form::Command::Load, wordpour::form::Command::Save}) {
            const auto shown = click(button, kNo);
            QCOMPARE(shown.size(), std::size_t(1));
            QCOMPARE(shown[0].buttons, 20);
            QCOMPARE(focus(), f_->button(button));
        }
        QVERIFY(clickYes(wordpour::form::Command::Load).size() == 1);
        QCOMPARE(focus(), f_->button(wordpour::form::Command::Load));  // load never moves it
        QVERIFY(clickYes(wordpour::form::Command::Save).size() == 1);
        QCOMPARE(focus(), f_->button(wordpour::form::Command::Enter));
    }

    void aLongEntryIsShownWhole() {
        QStringList one{QString(1000000, QChar(u'長'))};
        fill(one);
        f_->combo()->setCurrentIndex(0);
        QCOMPARE(f_->combo()->currentText().size(), 1000000);
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
            f_ = std::make_unique<wordpour::testing::WindowFixture>();
            QVERIFY(f_->start());
            f_->type(QStringLiteral("x"));
            c.grow();
            QTest::mouseClick(
                f_->button(std::string_view(c.what) == "add" ? wordpour::form::Command::Add
                                                             : wordpour::form::Command::Load),
                Qt::LeftButton);
            MessageBox::takeShown();
            QCOMPARE(items(), QStringList{QStringLiteral("x")});
            QCOMPARE(f_->combo()->currentIndex(), -1);
            QCOMPARE(f_->combo()->currentText(), QStringLiteral("x"));
            QTest::mouseClick(f_->button(wordpour::form::Command::Delete), Qt::LeftButton);
            QCOMPARE(items(), QStringList{QStringLiteral("x")});
        }
    }

    void deleteRemovesExactlyTheSelectedEntry() {
        fill({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")});
        // From the middle, then the last of two alike: the box shows the
        // session's entries, each where it now is.
        for (const auto& [index, left] :
             {std::pair{1,
                        QStringList{QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("a")}},
              std::pair{2, QStringList{QStringLiteral("a"), QStringLiteral("c")}}}) {
            f_->combo()->setCurrentIndex(index);
            QTest::mouseClick(f_->button(wordpour::form::Command::Delete), Qt::LeftButton);
            QCOMPARE(items(), left);
        }
        QCOMPARE(focus(), f_->button(wordpour::form::Command::Enter));
        // Typed text that is no entry: nothing is selected, nothing removed.
        f_->type(QStringLiteral("zzz"));
        QTest::mouseClick(f_->button(wordpour::form::Command::Delete), Qt::LeftButton);
        QCOMPARE(items().size(), 2);
        QCOMPARE(focus(), f_->button(wordpour::form::Command::Enter));
        QVERIFY(MessageBox::takeShown().empty());
    }
};

QTEST_MAIN(WordListTest)
#include "word_list_test.moc"
