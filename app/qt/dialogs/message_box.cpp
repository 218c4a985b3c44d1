#include "app/qt/dialogs/message_box.h"

#include <algorithm>

#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStringListModel>
#include <QVBoxLayout>

#include "app/qt/qt_text.h"
#include "app/qt/settings_file.h"

namespace wordpour::qt {

std::deque<form::Answer> MessageBox::s_nextAnswers;
std::vector<MessageBox::Shown> MessageBox::s_shown;

namespace {

using form::Answer;
using form::Buttons;
using form::Icon;

QMessageBox::Icon iconFor(Icon icon) {
    switch (icon) {
        case Icon::Hand:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsFor(Buttons buttons) {
    switch (buttons) {
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::OkOnly:
            break;
    }
    return QMessageBox::Ok;
}

Answer answerFor(int pressed) {
    switch (pressed) {
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Ok;
    }
}

// A text of thousands of lines would run off the screen in a message box:
// show it a line a row in a list that scrolls, within the screen. A list
// lays out only the rows in sight (uniform sizes): 32,767 words show at
// once, where a text view would lay out every line first. Ctrl+C copies
// the rows selected.
constexpr int kMaxLinesInABox = 30;

Answer showScrolling(QWidget* parent, const QString& text, const QString& title) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n'))) lines.removeLast();
    auto* model = new QStringListModel(lines, &dialog);
    auto* view = new QListView(&dialog);
    view->setModel(model);
    view->setUniformItemSizes(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setAccessibleName(title);
    auto* copy = new QShortcut(QKeySequence::Copy, view);
    QObject::connect(copy, &QShortcut::activated, view, [view, model] {
        QModelIndexList rows = view->selectionModel()->selectedRows();
        std::sort(rows.begin(), rows.end());
        QStringList picked;
        for (const QModelIndex& row : rows) picked << model->data(row).toString();
        QGuiApplication::clipboard()->setText(picked.join(QLatin1Char('\n')));
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(view);
    layout->addWidget(buttons);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    dialog.resize(std::min(480, screen.width() * 4 / 5), screen.height() * 3 / 5);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
    dialog.exec();
    return Answer::Ok;
}

// A message box as wide as its title needs: the window manager cuts a title
// wider than the window ("現… !"), and the box's own sizing counts the title
// in the dialog's font, not in the title bar's, and without the bar's
// buttons.
class TitledBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);  // sizes the box to its text
        const int needed = widthForTitle(*this, windowTitle());
        if (width() < needed) setFixedWidth(needed);
    }
};

}  // namespace

int widthForTitle(const QWidget& window, const QString& title) {
    // Title bars draw in a bold font up to a quarter larger than the
    // dialog's, beside an icon and three buttons.
    QFont bar = window.font();
    bar.setBold(true);
    bar.setPointSizeF(bar.pointSizeF() * 1.25);
    constexpr int kIconAndButtons = 160;
    return QFontMetrics(bar).horizontalAdvance(title) + kIconAndButtons;
}

Answer MessageBox::show(QWidget* parent, const QString& prompt, form::Style style,
                        const QString& title) {
    s_shown.push_back({prompt, style.value(), title});
    if (!s_nextAnswers.empty()) {
        const form::Answer answer = s_nextAnswers.front();
        s_nextAnswers.pop_front();
        return answer;
    }

    QString shownText = prompt;
    shownText.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (style.buttons == Buttons::OkOnly && shownText.count(QLatin1Char('\n')) > kMaxLinesInABox)
        return showScrolling(parent, shownText, title);
    const auto standard = buttonsFor(style.buttons);
    TitledBox box(iconFor(style.icon), title, shownText, standard, parent);
    // The default button is the one the values say: the first (Yes for
    // Yes/No) unless the second is named.
    const bool yesNo = standard.testFlag(QMessageBox::Yes);
    if (style.defaultButton == form::DefaultButton::Second)
        box.setDefaultButton(yesNo ? QMessageBox::No : QMessageBox::Cancel);
    else
        box.setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
    return answerFor(box.exec());
}

void MessageBox::setNextAnswer(form::Answer answer) {
    s_nextAnswers.push_back(answer);
}

std::vector<MessageBox::Shown> MessageBox::takeShown() {
    s_nextAnswers.clear();
    return std::exchange(s_shown, {});
}

void showOnce(QWidget* parent, const form::Message& notice, const QString& key,
              const QString& signature) {
    const auto remembered = settingsFile();
    if (remembered->value(key).toString() == signature) return;
    MessageBox::show(parent, toQt(notice.prompt), notice.style, toQt(notice.title));
    remembered->setValue(key, signature);
}

}  // namespace wordpour::qt
