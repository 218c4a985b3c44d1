#include "app/qt/find_list.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>

#include "app/form/layout.h"
#include "app/form/wording.h"
#include "app/qt/fonts.h"
#include "app/qt/qt_text.h"

namespace wordpour::qt {

void FoundRows::setRows(form::FoundRows rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int FoundRows::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.count);
}

QVariant FoundRows::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return toQt(form::wording::findRow(rows_.row(static_cast<std::size_t>(index.row()))));
}

FindList::FindList(QWidget* box, std::function<void(int row)> picked,
                   std::function<void(int row)> entered)
    : QListView(nullptr), box_(box), picked_(std::move(picked)), entered_(std::move(entered)) {
    setObjectName(QStringLiteral("FindList"));
    // A window of its own that never takes the focus: typing stays in the box.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFont(gothicFont(form::kFindListFont));
    setUniformItemSizes(true);  // 32,767 rows lay out at once
    // A row wider than the box is cut with "…": a scroll bar across would
    // hide the rows it covers.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setModel(&words_);
    setAccessibleName(toQt(form::kFindListName));
    // The focus stays in the word box: its description says which entry is
    // highlighted, so that a screen reader reading the box reads it too.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& now) {
                describe(now.isValid() ? now.data().toString() : QString());
            });
    connect(this, &QListView::clicked, this, [this](const QModelIndex& at) { picked_(at.row()); });
}

void FindList::showWords(form::FoundRows rows) {
    const int shown = std::min<int>(static_cast<int>(rows.count), form::kFindListRows);
    words_.setRows(std::move(rows));
    setCurrentIndex(words_.index(0));
    const int height = shown * sizeHintForRow(0) + 2 * frameWidth();
    setGeometry(QRect(box_->mapToGlobal(QPoint(0, box_->height())), QSize(box_->width(), height)));
    show();
    raise();
}

void FindList::hideEvent(QHideEvent* event) {
    describe({});
    // The rows speak of the session's matches, which go on changing.
    words_.setRows({});
    QListView::hideEvent(event);
}

void FindList::describe(const QString& entry) {
    box_->setAccessibleDescription(entry);
    if (auto* combo = qobject_cast<QComboBox*>(box_); combo && combo->lineEdit())
        combo->lineEdit()->setAccessibleDescription(entry);
}

bool FindList::handleKey(const QKeyEvent& key) {
    if (!isVisible()) return false;
    const int row = currentIndex().row();
    switch (key.key()) {
        case Qt::Key_Down:
            setCurrentIndex(words_.index(std::min(row + 1, words_.rowCount() - 1)));
            return true;
        case Qt::Key_Up:
            setCurrentIndex(words_.index(std::max(row - 1, 0)));
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (key.modifiers() & Qt::ShiftModifier)
                picked_(row);
            else
                entered_(row);
            return true;
        case Qt::Key_Escape:
            hide();
            return true;
    }
    return false;
}

}  // namespace wordpour::qt
