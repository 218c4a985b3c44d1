// The modal file-open dialog. Tests preset the next file name instead of
// choosing one.
#pragma once

#include <optional>

#include <QString>

class QWidget;

namespace wordpour::qt {

class FileDialog {
public:
    // `filter` is written "description|pattern|description|pattern…".
    // Returns the chosen path, or an empty text when the user cancels.
    static QString getOpenFileName(QWidget* parent, const QString& filter);

    // The save dialog, with `suggested` as the file name.
    static QString getSaveFileName(QWidget* parent, const QString& filter,
                                   const QString& suggested);

    // The next getOpenFileName() or getSaveFileName() returns `fileName`
    // at once (empty: cancel).
    static void setNextFileName(const QString& fileName);

    // The filter in Qt's form: one "description (patterns)" per line.
    static QString toQtFilter(const QString& filter);

private:
    static std::optional<QString> s_nextFileName;
};

}  // namespace wordpour::qt
