#include "app/qt/dialogs/file_dialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QStringList>

namespace wordpour::qt {

std::optional<QString> FileDialog::s_nextFileName;

QString FileDialog::toQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString shown = QLatin1Char('(') + parts[i + 1] + QLatin1Char(')');
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns, apart by spaces, from the last parentheses:
        // where the description shows them, they are shown so.
        QString description = parts[i];
        if (description.endsWith(shown)) description = description.chopped(shown.size()).trimmed();
        filters << description + QLatin1String(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QLatin1String(";;"));
}

namespace {

// Qt's own dialog leaves some of its parts without a name a screen reader
// could say; they are named here. The desktop's native dialog, which Qt uses
// wherever the desktop offers one (GNOME and KDE through their platform
// themes or the desktop portal), has none of these parts: nothing is found.
void nameUnnamedParts(QFileDialog& dialog) {
    const auto name = [&](const char* objectName, const char16_t* spoken) {
        if (auto* box = dialog.findChild<QComboBox*>(QLatin1String(objectName)))
            box->view()->setAccessibleName(QString::fromUtf16(spoken));
    };
    name("lookInCombo", u"場所の一覧");
    name("fileTypeCombo", u"ファイルの種類の一覧");
    // The frame around the list of files.
    if (auto* frame = dialog.findChild<QFrame*>(QStringLiteral("frame")))
        frame->setAccessibleName(QStringLiteral("ファイル"));
}

}  // namespace

QString FileDialog::getOpenFileName(QWidget* parent, const QString& filter) {
    if (s_nextFileName) return std::exchange(s_nextFileName, std::nullopt).value();
    // As QFileDialog::getOpenFileName does it, with names for the parts.
    QFileDialog dialog(parent, QString(), QString(), toQtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    nameUnnamedParts(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& filter,
                                    const QString& suggested) {
    if (s_nextFileName) return std::exchange(s_nextFileName, std::nullopt).value();
    QFileDialog dialog(parent, QString(), suggested, toQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    nameUnnamedParts(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

void FileDialog::setNextFileName(const QString& fileName) {
    s_nextFileName = fileName;
}

}  // namespace wordpour::qt
