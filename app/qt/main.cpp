#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#ifndef _WIN32
#include <csignal>
#endif

#include "app/form/program_run.h"
#include "app/qt/accessible_roles.h"
#include "app/qt/input_method.h"
#include "app/qt/main_window.h"
#include "app/qt/platform_choice.h"
#include "app/qt/program_icon.h"
#include "link/spreadsheet/chosen_backend.h"

int main(int argc, char** argv) {
#ifndef _WIN32
    // A file-size limit makes a save fail with a message, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    wordpour::qt::choosePlatform();
    QApplication application(argc, argv);
    wordpour::qt::installAccessibleRoles();
    QApplication::setApplicationName(QStringLiteral("wordpour"));
    // No application display name: Qt would append it to every window's
    // title ("セル位置 — ワードポア！"), and each window has a title of its own.
    QApplication::setWindowIcon(wordpour::qt::programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("wordpour"));

    // Qt's own buttons ("はい", "いいえ", "キャンセル") in Japanese, like the rest.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // Japanese that cannot be typed is said once, before anything else.
    wordpour::qt::adviseOnInputMethod(nullptr);
    wordpour::qt::adviseOnWayland(nullptr);

    wordpour::qt::MainWindow window(wordpour::link::spreadsheet::chosenBackend());
    return wordpour::form::runProgram(window.session(), {.show = [&] { window.show(); },
                                                         .run = [] { return QApplication::exec(); },
                                                         .hide = [&] { window.hide(); }});
}
