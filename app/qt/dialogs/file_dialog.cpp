#include "app/qt/dialogs/file_dialog.h"

#include <QFileDialog>
#include <QStringList>

namespace wordpour::app {

std::optional<QString> FileDialog::s_nextFileName;

QString FileDialog::toQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString description = parts[i];
        // Qt reads the patterns from the last parentheses: add them only
        // where the description does not already show them.
        if (description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
            filters << description;
        else
            filters << description + QLatin1String(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QLatin1String(";;"));
}

QString FileDialog::getOpenFileName(QWidget* parent, const QString& filter) {
    if (s_nextFileName) return std::exchange(s_nextFileName, std::nullopt).value();
    return QFileDialog::getOpenFileName(parent, QString(), QString(), toQtFilter(filter));
}

void FileDialog::setNextFileName(const QString& fileName) {
    s_nextFileName = fileName;
}

}  // namespace wordpour::app
