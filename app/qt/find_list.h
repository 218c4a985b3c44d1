// The type-to-find list: a list under the word box that shows the entries
// matching what is typed, without taking the keyboard focus from the box.
#pragma once

#include <functional>
#include <vector>

#include <QAbstractListModel>
#include <QListView>

#include "app/form/message.h"

class QKeyEvent;

namespace wordpour::qt {

// The rows found, each worded only when it is drawn or read: a letter
// typed into a long list finds thousands.
class FoundRows final : public QAbstractListModel {
    Q_OBJECT

public:
    void setRows(form::FoundRows rows);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    form::FoundRows rows_;
};

class FindList final : public QListView {
    Q_OBJECT

public:
    // `picked` receives the row clicked or chosen with Shift+Enter, `entered`
    // the row chosen with Enter, to be entered at once.
    FindList(QWidget* box, std::function<void(int row)> picked,
             std::function<void(int row)> entered);

    // Shows `rows` under the box, each word with its reading, the first
    // highlighted.
    void showWords(form::FoundRows rows);
    // Down and Up move the highlight; Enter enters the highlighted word,
    // Shift+Enter only puts it into the box; Escape closes. Returns whether
    // the key was the list's.
    bool handleKey(const QKeyEvent& key);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    // The highlighted entry, as the word box's description.
    void describe(const QString& entry);

    QWidget* box_;
    FoundRows words_;
    std::function<void(int)> picked_;
    std::function<void(int)> entered_;
};

}  // namespace wordpour::qt
