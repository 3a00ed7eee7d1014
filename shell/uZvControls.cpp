#include "shell/uZvControls.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

TZvToolButton::TZvToolButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] {
        if (FGroupIndex != 0)
            setChecked(!isChecked()); // the owner sets the down state when the action runs
        else if (FAction && FAction->isCheckable())
            setChecked(FAction->isChecked());
        if (FAction && FAction->isEnabled())
            FAction->trigger();
    });
}

void TZvToolButton::SetAction(QAction* action) {
    if (FChanged)
        disconnect(FChanged);
    FAction = action;
    if (action)
        FChanged = connect(action, &QAction::changed, this, [this] { Sync(); });
    Sync();
}

void TZvToolButton::SetShowCaption(bool show) {
    FShowCaption = show;
    Sync();
}

void TZvToolButton::SetGroupIndex(int index) {
    FGroupIndex = index;
    Sync();
}

void TZvToolButton::SetDown(bool down) {
    if (down && FGroupIndex != 0 && parentWidget()) {
        // The class has no meta-object of its own, so the toolkit's cast would take any tool
        // button (a tool bar's extension button among them) for one of ours.
        for (auto* child : parentWidget()->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
            if (auto* other = dynamic_cast<TZvToolButton*>(child);
                other && other != this && other->FGroupIndex == FGroupIndex)
                other->setChecked(false);
    }
    setChecked(down);
}

void TZvToolButton::Sync() {
    if (!FAction) {
        setEnabled(false);
        return;
    }
    const bool hasIcon = !FAction->icon().isNull();
    setIcon(FAction->icon());
    setText(FAction->text());
    setToolButtonStyle(!hasIcon       ? Qt::ToolButtonTextOnly
                       : FShowCaption ? Qt::ToolButtonTextBesideIcon
                                      : Qt::ToolButtonIconOnly);
    setToolTip(FAction->toolTip());
    setStatusTip(FAction->statusTip());
    setEnabled(FAction->isEnabled());
    setVisible(FAction->isVisible());
    if (FGroupIndex != 0) {
        setCheckable(true);
    } else {
        setCheckable(FAction->isCheckable());
        setChecked(FAction->isCheckable() && FAction->isChecked());
    }
}

QAction* AddActionItem(QMenu* menu, QAction* action, const QString& caption) {
    if (!action)
        return nullptr;
    if (caption.isEmpty()) {
        menu->addAction(action);
        return action;
    }
    auto* item = new QAction(menu);
    const auto sync = [item, action, caption] {
        const QString keys = action->shortcut().toString(QKeySequence::NativeText);
        item->setText(keys.isEmpty() ? caption : caption + QLatin1Char('\t') + keys);
        item->setEnabled(action->isEnabled());
        item->setVisible(action->isVisible());
        item->setCheckable(action->isCheckable());
        item->setChecked(action->isChecked());
        item->setIcon(action->icon());
        item->setToolTip(action->toolTip());
        item->setStatusTip(action->statusTip());
    };
    sync();
    QObject::connect(action, &QAction::changed, item, sync);
    QObject::connect(item, &QAction::triggered, action, [action] {
        if (action->isEnabled())
            action->trigger();
    });
    menu->addAction(item);
    return item;
}

void SetLabelTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}
