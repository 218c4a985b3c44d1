// Starts the main window as the program does, on the in-memory spreadsheet,
// with the workbook dialog answered in advance.
#pragma once

#include <fstream>
#include <memory>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/qt/dialogs/file_dialog.h"
#include "app/qt/dialogs/message_box.h"
#include "app/qt/main_window.h"
#include "tests/link/spreadsheet/fake_spreadsheet.h"

namespace wordpour::testing {

class WindowFixture {
public:
    WindowFixture() : book_(dir_.path() + QStringLiteral("/book.xls")) {
        std::ofstream(book_.toStdString()) << "stand-in";
        qt::MessageBox::takeShown();
    }

    bool start(const QString& chosenFile) {
        form = std::make_unique<qt::MainWindow>(
            link::spreadsheet::Backend{.applicationName = u"LibreOffice Calc",
                                       .attachRunning = [this] { return sheet.attach(); },
                                       .startApplication = {}});
        qt::FileDialog::setNextFileName(chosenFile);
        if (!form->session().start()) return false;
        form->show();
        QApplication::setActiveWindow(form.get());
        return QTest::qWaitForWindowActive(form.get());
    }
    bool start() { return start(book_); }

    // Waits until the spreadsheet has answered every entry given: entries
    // complete on the link's thread.
    bool entriesDone() {
        return QTest::qWaitFor([this] { return !form->session().entryUnderWay(); }, 5000);
    }

    QComboBox* combo() { return form->wordBox(); }
    QPushButton* button(form::Command command) { return form->button(command); }
    QLineEdit* cellName() { return form->cellPositionDialog().nameBox(); }
    // Replaces the cell name as an edit by the person does.
    void setCellName(const QString& name) {
        cellName()->selectAll();
        cellName()->insert(name);
    }
    const QString& book() const { return book_; }

    // Types into the word box with key events that carry the text, as an
    // input method delivers kana.
    void type(const QString& word) {
        combo()->lineEdit()->clear();
        for (const QChar ch : word)
            QTest::sendKeyEvent(QTest::Click, combo()->lineEdit(), Qt::Key_unknown, QString(ch),
                                Qt::NoModifier);
    }

    FakeSpreadsheet sheet;
    std::unique_ptr<qt::MainWindow> form;

private:
    QTemporaryDir dir_;
    QString book_;
};

}  // namespace wordpour::testing
