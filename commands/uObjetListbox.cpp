#include "commands/uObjetListbox.h"

#include <algorithm>

#include <QCollator>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// Keys in the user's locale order, letter case folded first so that "open" and "Open" are one key
// whatever the collation backend does with case.
int CompareKeys(const QString& a, const QString& b) {
    static const QCollator collator;
    return collator.compare(a.toCaseFolded(), b.toCaseFolded());
}

bool IsNavigationKey(int key) {
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Delete:
        return true;
    default:
        return false;
    }
}

} // namespace

const TSortIndex& SortAlpha() {
    static const TSortIndex index{QStringLiteral("alpha"), QStringLiteral("in alphabetical order"),
                                  QStringLiteral("alphabetically sorted")};
    return index;
}

const TSortIndex& SortShortcut() {
    static const TSortIndex index{QStringLiteral("shortcut"), QStringLiteral("by shortcut"),
                                  QStringLiteral("sorted by shortcuts")};
    return index;
}

const TSortIndex& SortSwitch() {
    static const TSortIndex index{QStringLiteral("switch"), QStringLiteral("by switch"),
                                  QStringLiteral("sorted by switches")};
    return index;
}

TAbstractListObjet::TAbstractListObjet(const QString& displayText, const QString& alphaKey)
    : FDisplayText(displayText), FAlphaKey(alphaKey) {}

QString TAbstractListObjet::GetSortKey(const TSortIndex& index) const {
    return index.Key == SortAlpha().Key ? FAlphaKey : QString();
}

TObjetListBox::TObjetListBox(QWidget* parent) : QListWidget(parent), FSortIndex(SortAlpha()) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

TObjetListBox::~TObjetListBox() {
    Clear();
}

std::pair<int, bool> TObjetListBox::FindKey(const QString& key) const {
    const auto it = std::lower_bound(
        FEntries.begin(), FEntries.end(), key,
        [](const TEntry& entry, const QString& k) { return CompareKeys(entry.Key, k) < 0; });
    const bool found = it != FEntries.end() && CompareKeys(it->Key, key) == 0;
    return {int(it - FEntries.begin()), found};
}

void TObjetListBox::InsertRow(int row, TEntry entry) {
    // The selection model moves the selection of the rows below, so selected items stay selected.
    insertItem(row, entry.Objet->DisplayText());
    FEntries.insert(FEntries.begin() + row, std::move(entry));
}

int TObjetListBox::AddObjet(std::unique_ptr<TAbstractListObjet> objet, bool select) {
    if (!objet)
        return -1;
    const QString key = objet->GetSortKey(FSortIndex);
    const auto [row, found] = FindKey(key);
    if (found) {
        // The row keeps its text; the object it stood for goes.
        if (FActive == FEntries[row].Objet.get())
            FActive = nullptr;
        FEntries[row].Objet = std::move(objet);
    } else {
        InsertRow(row, {key, std::move(objet)});
        if (select)
            item(row)->setSelected(true);
    }
    if (count() == 1)
        setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    UpdateCounts();
    return row;
}

void TObjetListBox::Resort() {
    if (FEntries.empty())
        return;
    const int selected = SelectedIndex();
    const TAbstractListObjet* remembered = selected >= 0 ? Objet(selected) : nullptr;
    std::vector<TEntry> old = std::move(FEntries);
    FEntries.clear();
    clear();
    for (TEntry& entry : old) {
        entry.Key = entry.Objet->GetSortKey(FSortIndex);
        auto [row, found] = FindKey(entry.Key);
        // Two objects with one key in the new order both stay, the later one after the first.
        InsertRow(found ? row + 1 : row, std::move(entry));
    }
    int newRow = -1;
    for (int i = 0; i < int(FEntries.size()); ++i)
        if (FEntries[i].Objet.get() == remembered)
            newRow = i;
    Select(newRow);
}

void TObjetListBox::Select(int index) {
    if (index < -1 || index >= count())
        return;
    if (index == -1) {
        clearSelection();
        setCurrentRow(-1, QItemSelectionModel::Clear);
    } else {
        setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
    UpdateActive();
    UpdateCounts();
}

void TObjetListBox::Clear() {
    FActive = nullptr;
    clear();
    FEntries.clear();
}

void TObjetListBox::UpdateCounts() {
    const int total = count();
    const int selectedCount = SelectedCount();
    if (total != FLastCount || selectedCount != FLastSelCount) {
        FLastCount = total;
        FLastSelCount = selectedCount;
        setToolTip(selectedCount < 2
                       ? QStringLiteral("one item seleteced on %1").arg(total)
                       : QStringLiteral("%1 items selected on %2").arg(selectedCount).arg(total));
    }
    if (OnCountsChange)
        OnCountsChange(selectedCount, total);
}

void TObjetListBox::UpdateActive() {
    const int selected = SelectedIndex();
    if (selected < 0) {
        clearSelection();
        if (FActive) {
            FActive = nullptr;
            if (OnActiveChange)
                OnActiveChange(nullptr);
        }
        return;
    }
    TAbstractListObjet* objet = Objet(selected);
    if (objet != FActive && OnActiveChange) {
        FActive = objet;
        OnActiveChange(objet);
    }
}

TAbstractListObjet* TObjetListBox::Objet(int index) const {
    if (index < 0 || index >= int(FEntries.size()))
        return nullptr;
    return FEntries[index].Objet.get();
}

int TObjetListBox::SelectedIndex() const {
    const int current = currentRow();
    if (current >= 0 && item(current)->isSelected())
        return current;
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected())
            return i;
    return -1;
}

int TObjetListBox::SelectedCount() const {
    return int(selectedItems().size());
}

QStringList TObjetListBox::Keys() const {
    QStringList keys;
    for (const TEntry& entry : FEntries)
        keys.append(entry.Key);
    return keys;
}

void TObjetListBox::DeleteSelected() {
    std::vector<int> rows;
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected())
            rows.push_back(i);
    if (rows.empty())
        return;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (FActive == FEntries[*it].Objet.get()) {
            // Whoever follows the active object must not keep it once it is destroyed.
            FActive = nullptr;
            if (OnActiveChange)
                OnActiveChange(nullptr);
        }
        delete takeItem(*it);
        FEntries.erase(FEntries.begin() + *it);
    }
    if (count() > 0)
        setCurrentRow(std::max(rows.front() - 1, 0), QItemSelectionModel::ClearAndSelect);
}

void TObjetListBox::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    UpdateCounts();
    UpdateActive();
}

void TObjetListBox::keyReleaseEvent(QKeyEvent* event) {
    QListWidget::keyReleaseEvent(event);
    if (event->isAutoRepeat() || !IsNavigationKey(event->key()) ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return;
    if (event->key() == Qt::Key_Delete && !(event->modifiers() & Qt::ShiftModifier) && KeyDelete)
        DeleteSelected();
    UpdateCounts();
    UpdateActive();
}
