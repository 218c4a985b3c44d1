#include "app/qt/word_box_model.h"

#include "app/qt/qt_text.h"

namespace wordpour::qt {

void WordBoxModel::append(const std::vector<std::u16string>& words) {
    beginResetModel();
    words_.insert(words_.end(), words.begin(), words.end());
    endResetModel();
}

int WordBoxModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(words_.size());
}

QVariant WordBoxModel::data(const QModelIndex& index, int role) const {
    if ((role != Qt::DisplayRole && role != Qt::EditRole) || !index.isValid() ||
        index.row() >= rowCount())
        return {};
    return toQt(words_[static_cast<std::size_t>(index.row())]);
}

bool WordBoxModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if ((role != Qt::DisplayRole && role != Qt::EditRole) || !index.isValid() ||
        index.row() >= rowCount())
        return false;
    words_[static_cast<std::size_t>(index.row())] = fromQt(value.toString());
    emit dataChanged(index, index, {role});
    return true;
}

bool WordBoxModel::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || row > rowCount() || count < 1) return false;
    beginInsertRows(parent, row, row + count - 1);
    words_.insert(words_.begin() + row, static_cast<std::size_t>(count), std::u16string());
    endInsertRows();
    return true;
}

bool WordBoxModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count < 1 || row + count > rowCount()) return false;
    beginRemoveRows(parent, row, row + count - 1);
    words_.erase(words_.begin() + row, words_.begin() + row + count);
    endRemoveRows();
    return true;
}

}  // namespace wordpour::qt
