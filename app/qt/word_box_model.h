// The word box's entries as its drop-down shows them: the session's own,
// shown where they are kept and made into Qt's text only when drawn or
// read, so that a load of 32,767 words neither copies nor converts them.
#pragma once

#include <string>
#include <vector>

#include <QAbstractListModel>

namespace wordpour::qt {

class WordBoxModel final : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    // Shows `all`, the session's entries, now longer: one change, one reset
    // of the model. `all` must outlive the model or be forgotten first.
    void show(const std::vector<std::u16string>& all);
    // Shows nothing from here on, as the session goes.
    void forget();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // What the combo box itself does to its model when an entry goes.
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

private:
    const std::vector<std::u16string>* words_ = nullptr;
    // The rows the views were told of; the entries are changed just before.
    std::size_t rows_ = 0;
};

}  // namespace wordpour::qt
