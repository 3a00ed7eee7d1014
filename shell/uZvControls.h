#pragma once
// Controls bound to an action: a tool button that shows the action's caption (or icon), hint,
// enabled state and check mark and runs the action when clicked. A button given a group index
// belongs to a group of its siblings in which at most one is down; its down state is set by its
// owner (the page buttons show the page in front), not by the action, which may be an action
// without a value.
//
// Thread contract: widgets of the GUI thread.
#include <QColor>
#include <QPointer>
#include <QToolButton>

class QAction;

class TZvToolButton : public QToolButton {
public:
    explicit TZvToolButton(QWidget* parent = nullptr);

    QAction* Action() const { return FAction.data(); }
    void SetAction(QAction* action);
    // Whether the caption is shown beside the icon (or alone when there is no icon).
    void SetShowCaption(bool show);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int index);
    // Presses the button and releases the other buttons of its group.
    void SetDown(bool down);
    bool Down() const { return isChecked(); }

private:
    void Sync();

    QPointer<QAction> FAction;
    QMetaObject::Connection FChanged;
    int FGroupIndex = 0;
    bool FShowCaption = false;
};

class QLabel;
class QMenu;

// Gives the label its text colour.
void SetLabelTextColour(QLabel* label, const QColor& colour);

// Adds the action to the menu; with a caption of its own, through a menu item that shows that
// caption (and the action's shortcut text) and follows the action's state. Nothing for no action.
QAction* AddActionItem(QMenu* menu, QAction* action, const QString& caption = QString());
