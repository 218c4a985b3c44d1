// Where the type-to-find list of the window under test shows a word.
#pragma once

#include <string>

#include <QApplication>
#include <QListView>

namespace wordpour::bench {

inline QListView* findList() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("FindList")) return qobject_cast<QListView*>(w);
    return nullptr;
}

// The row of the find list that shows `written`, or -1.
inline int rowOf(const std::u16string& written) {
    QListView* list = findList();
    if (!list || !list->isVisible()) return -1;
    const QString word = QString::fromStdU16String(written);
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        const QString shown = list->model()->index(row, 0).data().toString();
        if (shown == word || shown.startsWith(word + QStringLiteral("（"))) return row;
    }
    return -1;
}

}  // namespace wordpour::bench
