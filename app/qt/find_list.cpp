#include "app/qt/find_list.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScreen>

#include "app/form/layout.h"
#include "app/qt/fonts.h"
#include "app/qt/qt_text.h"

namespace wordpour::app {

namespace {
constexpr int kRowsShown = 8;
}

FindList::FindList(QWidget* box, std::function<void(int row)> picked)
    : QListView(nullptr), box_(box), picked_(std::move(picked)) {
    setObjectName(QStringLiteral("FindList"));
    // A window of its own that never takes the focus: typing stays in the box.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFont(gothicFont(12, false));
    setUniformItemSizes(true);  // 32,767 rows lay out at once
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

void FindList::showWords(const std::vector<std::u16string>& words) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(words.size()));
    for (const auto& word : words) list << toQt(word);
    words_.setStringList(list);
    setCurrentIndex(words_.index(0));
    const int rows = std::min<int>(static_cast<int>(words.size()), kRowsShown);
    const int height = rows * sizeHintForRow(0) + 2 * frameWidth();
    setGeometry(QRect(box_->mapToGlobal(QPoint(0, box_->height())), QSize(box_->width(), height)));
    show();
    raise();
}

void FindList::hideEvent(QHideEvent* event) {
    describe({});
    QListView::hideEvent(event);
}

void FindList::describe(const QString& entry) {
    box_->setAccessibleDescription(entry);
    if (auto* combo = qobject_cast<QComboBox*>(box_); combo && combo->lineEdit())
        combo->lineEdit()->setAccessibleDescription(entry);
}

bool FindList::handleKey(int key) {
    if (!isVisible()) return false;
    const int row = currentIndex().row();
    switch (key) {
        case Qt::Key_Down:
            setCurrentIndex(words_.index(std::min(row + 1, words_.rowCount() - 1)));
            return true;
        case Qt::Key_Up:
            setCurrentIndex(words_.index(std::max(row - 1, 0)));
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            picked_(row);
            return true;
        case Qt::Key_Escape:
            hide();
            return true;
    }
    return false;
}

}  // namespace wordpour::app
