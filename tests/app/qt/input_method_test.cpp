// The input-method advice: what the user is told for each setting, that
// the plugins Qt really has here are found, and that the advice comes once;
// and the platform chosen in a Wayland session.
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "app/qt/dialogs/message_box.h"
#include "app/qt/input_method.h"
#include "app/qt/platform_choice.h"

using wordpour::qt::adviseOnInputMethod;
using wordpour::qt::inputContextKeys;
using wordpour::qt::inputMethodGap;
using wordpour::qt::InputMethodSetting;
using wordpour::qt::MessageBox;

class InputMethodTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Before any QSettings: the remembered advice goes here.
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    }

    void adviceForEachSetting_data() {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("xModifiers");
        QTest::addColumn<bool>("fcitxPlugin");
        QTest::addColumn<QString>("says");  // empty: nothing to say

        QTest::newRow("ibus") << "ibus"
                              << "@im=ibus" << false << "";
        QTest::newRow("fcitx with its Qt 6 frontend") << "fcitx"
                                                      << "@im=fcitx" << true << "";
        QTest::newRow("nothing set up") << ""
                                        << "" << false << "";
        QTest::newRow("compose only") << "compose"
                                      << "" << false << "";
        QTest::newRow("X without an input method") << ""
                                                   << "@im=none" << false << "";
        QTest::newRow("uim") << "uim"
                             << "@im=uim" << false
                             << "入力メソッド「uim」には Qt 6 用のモジュールがないため、"
                                "ワードポア！に日本語を入力できません。\nibus と ibus-mozc、"
                                "または fcitx5 と fcitx5-mozc と fcitx5-frontend-qt6 を"
                                "インストールし";
        QTest::newRow("fcitx without its Qt 6 frontend")
            << "fcitx"
            << "@im=fcitx" << false
            << "fcitx5 の Qt 6 用モジュールがないため、ワードポア！に日本語を入力できません。\n"
               "fcitx5-frontend-qt6 をインストールしてください（sudo apt install "
               "fcitx5-frontend-qt6）。";
        QTest::newRow("fcitx5 named so")
            << "fcitx5"
            << "" << false << "fcitx5-frontend-qt6 をインストールしてください";
        QTest::newRow("ibus for X, nothing for Qt")
            << ""
            << "@im=ibus" << false
            << "入力メソッド「ibus」が Qt のプログラムには設定されていない（環境変数 QT_IM_MODULE "
               "がない）ため、ワードポア！に日本語を入力できません。\nQT_IM_MODULE=ibus を設定";
        QTest::newRow("fcitx for X, no frontend")
            << ""
            << "@im=fcitx" << false
            << "fcitx5-frontend-qt6 をインストールしてください（sudo apt install "
               "fcitx5-frontend-qt6）。\nQT_IM_MODULE=fcitx を設定";
        QTest::newRow("uim for X")
            << ""
            << "@im=uim" << false << "fcitx5-frontend-qt6 をインストールし、im-config";
        QTest::newRow("xim is not a Qt 6 module")
            << "xim"
            << "@im=kinput2" << false << "入力メソッド「xim」には Qt 6 用のモジュールがない";
    }
    void adviceForEachSetting() {
        QFETCH(QString, module);
        QFETCH(QString, xModifiers);
        QFETCH(bool, fcitxPlugin);
        QFETCH(QString, says);
        std::set<std::string> keys = {"compose", "ibus"};
        if (fcitxPlugin) keys.insert({"fcitx", "fcitx5"});
        const auto gap = inputMethodGap({module.toStdString(), xModifiers.toStdString()}, keys);
        if (says.isEmpty()) {
            QVERIFY(!gap);
        } else {
            QVERIFY(gap);
            const QString advice =
                QString::fromStdU16String(wordpour::form::wording::inputMethodAdvice(*gap).prompt);
            QVERIFY2(advice.contains(says), qPrintable(advice));
            QVERIFY(advice.endsWith("（このお知らせは、設定が変わるまで表示しません。）"));
        }
    }

    // In a Wayland session with XWayland, the X platform; the person's
    // own choice stands.
    void platformChoice_data() {
        QTest::addColumn<QString>("qpa");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("X session") << ""
                                   << ""
                                   << ":0"
                                   << "";
        QTest::newRow("Wayland with XWayland") << ""
                                               << "wayland-0"
                                               << ":0"
                                               << "xcb";
        QTest::newRow("Wayland alone") << ""
                                       << "wayland-0"
                                       << ""
                                       << "";
        QTest::newRow("the person's choice") << "wayland"
                                             << "wayland-0"
                                             << ":0"
                                             << "";
    }
    void platformChoice() {
        QFETCH(QString, qpa);
        QFETCH(QString, wayland);
        QFETCH(QString, display);
        QFETCH(QString, chosen);
        QCOMPARE(QString::fromStdString(wordpour::qt::chosenPlatform(
                     {qpa.toStdString(), wayland.toStdString(), display.toStdString()})),
                 chosen);
    }

    // The plugins Qt has on this machine: ibus and compose come with Qt's
    // GUI library, fcitx with fcitx5-frontend-qt6 (installed for the tests).
    void thePluginsInstalledHereAreFound() {
        const auto keys = inputContextKeys();
        QVERIFY(keys.contains("ibus"));
        QVERIFY(keys.contains("compose"));
        QVERIFY(keys.contains("fcitx"));
        QVERIFY(!keys.contains("uim"));
        // The ibus plugin really loads.
        QVERIFY(!inputMethodGap({"ibus", "@im=ibus"}, keys));
    }

    void theAdviceComesOnceForTheSameSetting() {
        qputenv("QT_IM_MODULE", "uim");
        qputenv("XMODIFIERS", "@im=uim");
        MessageBox::takeShown();
        for (int i = 0; i < 3; ++i) {
            MessageBox::setNextAnswer(wordpour::form::Answer::Ok);
            adviseOnInputMethod(nullptr);
        }
        auto shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), std::size_t(1));
        QCOMPARE(shown[0].title, QStringLiteral("ワードポア！"));
        QVERIFY(shown[0].prompt.contains("uim"));
        // Another setting that also cannot type Japanese: said again, once.
        qputenv("QT_IM_MODULE", "fcitx5-not-here");
        for (int i = 0; i < 2; ++i) {
            MessageBox::setNextAnswer(wordpour::form::Answer::Ok);
            adviseOnInputMethod(nullptr);
        }
        QCOMPARE(MessageBox::takeShown().size(), std::size_t(1));
        // One that works says nothing.
        qputenv("QT_IM_MODULE", "ibus");
        qputenv("XMODIFIERS", "@im=ibus");
        adviseOnInputMethod(nullptr);
        QCOMPARE(MessageBox::takeShown().size(), std::size_t(0));
    }

private:
    QTemporaryDir config_;
};

QTEST_MAIN(InputMethodTest)
#include "input_method_test.moc"
