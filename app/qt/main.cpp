#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <chrono>
#include <cstdlib>
#ifndef _WIN32
#include <csignal>
#endif

#include "app/qt/accessible_roles.h"
#include "app/qt/input_method.h"
#include "app/qt/main_window.h"
#include "app/qt/program_icon.h"

namespace {
constexpr std::chrono::milliseconds kReleaseLimit{800};
}  // namespace

int main(int argc, char** argv) {
#ifndef _WIN32
    // A file-size limit makes a save fail with a message, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication application(argc, argv);
    wordpour::app::installAccessibleRoles();
    QApplication::setApplicationName(QStringLiteral("wordpour"));
    // No application display name: Qt would append it to every window's
    // title ("セル位置 — ワードポア！"), and each window has a title of its own.
    QApplication::setWindowIcon(wordpour::app::programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("wordpour"));

    // Qt's own buttons ("はい", "いいえ", "キャンセル") in Japanese, like the rest.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // Japanese that cannot be typed is said once, before anything else.
    wordpour::app::adviseOnInputMethod(nullptr);

    wordpour::app::MainWindow window({wordpour::spreadsheet::applicationName(),
                                      &wordpour::spreadsheet::attachRunning,
                                      &wordpour::spreadsheet::startApplication});
    if (!window.session().start()) {
        // Given up on a spreadsheet that did not answer: end without waiting for it.
        if (window.session().entryUnderWay()) std::_Exit(1);
        return 1;
    }
    window.show();
    const int status = QApplication::exec();
    // Quit ends the program within a second, always: the window goes at
    // once, and a spreadsheet that does not answer (or has not answered an
    // entry) is left without waiting for an answer that may never come.
    window.hide();
    if (!window.session().release(kReleaseLimit)) std::_Exit(status);
    return status;
}
