// The word box's entries as its drop-down shows them: kept as the core's
// text and made into Qt's only when drawn or read, so that a load of
// 32,767 words copies them once instead of converting each.
#pragma once

#include <string>
#include <vector>

#include <QAbstractListModel>

namespace wordpour::qt {

class WordBoxModel final : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    // Appends `words` in one change, as one reset of the model.
    void append(const std::vector<std::u16string>& words);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // What the combo box itself does to its model: insert and set an item,
    // remove one.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

private:
    std::vector<std::u16string> words_;
};

}  // namespace wordpour::qt
