#include "app/qt/accessible_roles.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QMenu>
#include <QSizeGrip>
#include <QSplitterHandle>

#include "app/qt/about_box.h"
#include "app/qt/cell_position_dialog.h"
#include "app/qt/waiting_window.h"

namespace wordpour::qt {

namespace {

// A checkable item of a menu: a check box, checked or not, pressed as the
// item is.
class CheckableMenuItem final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CheckableMenuItem(QAction* action, QMenu* menu) : action_(action), menu_(menu) {}

    bool isValid() const override { return action_ && menu_; }
    QObject* object() const override { return action_; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(menu_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return QString(action_->text()).remove(QLatin1Char('&'));
        if (t == QAccessible::Accelerator) return action_->shortcut().toString();
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QRect at = menu_->actionGeometry(action_);
        return at.translated(menu_->mapToGlobal(QPoint(0, 0)));
    }
    QAccessible::Role role() const override { return QAccessible::CheckBox; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.checkable = true;
        s.checked = action_->isChecked();
        s.focusable = true;
        s.focused = menu_->activeAction() == action_;
        s.disabled = !action_->isEnabled();
        s.invisible = !menu_->isVisible() || !action_->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString& name) override {
        if (name == toggleAction() && action_->isEnabled()) action_->trigger();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QAction> action_;
    QPointer<QMenu> menu_;
};

QAccessibleInterface* roles(const QString&, QObject* object) {
    if (auto* action = qobject_cast<QAction*>(object); action && action->isCheckable()) {
        for (QObject* owner : action->associatedObjects())
            if (auto* menu = qobject_cast<QMenu*>(owner))
                return new CheckableMenuItem(action, menu);
        return nullptr;
    }
    auto* widget = qobject_cast<QWidget*>(object);
    // Parts Qt gives no role the desktop knows (the file dialog has both):
    // a splitter's handle separates, a size grip is a drawn handle.
    if (qobject_cast<QSplitterHandle*>(object))
        return new QAccessibleWidget(widget, QAccessible::Separator);
    if (qobject_cast<QSizeGrip*>(object))
        return new QAccessibleWidget(widget, QAccessible::Graphic,
                                     QStringLiteral("サイズ変更のつまみ"));
    if (widget && widget->isWindow() &&
        (dynamic_cast<CellPositionDialog*>(widget) || dynamic_cast<AboutBox*>(widget) ||
         dynamic_cast<WaitingWindow*>(widget)))
        return new QAccessibleWidget(widget, QAccessible::Dialog);
    return nullptr;
}

}  // namespace

void installAccessibleRoles() {
    QAccessible::installFactory(roles);
}

}  // namespace wordpour::qt
