#include "app/qt/word_box_model.h"

#include "app/qt/qt_text.h"

namespace wordpour::qt {

void WordBoxModel::show(const std::vector<std::u16string>& all) {
    beginResetModel();
    words_ = &all;
    rows_ = all.size();
    endResetModel();
}

void WordBoxModel::forget() {
    beginResetModel();
    words_ = nullptr;
    rows_ = 0;
    endResetModel();
}

int WordBoxModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_);
}

QVariant WordBoxModel::data(const QModelIndex& index, int role) const {
    if ((role != Qt::DisplayRole && role != Qt::EditRole) || !index.isValid() || !words_) return {};
    // Between the session's change and its word here, a row past the end
    // shows nothing.
    const auto row = static_cast<std::size_t>(index.row());
    if (row >= rows_ || row >= words_->size()) return {};
    return toQt((*words_)[row]);
}

bool WordBoxModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count < 1 || row + count > rowCount()) return false;
    beginRemoveRows(parent, row, row + count - 1);
    rows_ -= static_cast<std::size_t>(count);
    endRemoveRows();
    return true;
}

}  // namespace wordpour::qt
