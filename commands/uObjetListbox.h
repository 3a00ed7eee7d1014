#pragma once
// TObjetListBox: a multi-selection list box whose items each carry an entry object
// (TAbstractListObjet) and are kept in the order of their sort keys.
//
// Beside the visible items the box keeps, row for row, the sort key of each item. Keys are
// compared without regard to letter case, in the user's locale order; an entry whose key is
// already present replaces the object of that row (the old object is destroyed, the row's text
// stays) instead of adding a second row. The sort order (TSortIndex) decides which key an object
// gives; Resort puts every row at the place of its key in the current order.
//
// The box reports the number of items and of selected items through its hint and OnCountsChange,
// and the object of the selected item through OnActiveChange. The box owns its entry objects.
// GUI thread only.
#include <functional>
#include <memory>
#include <vector>

#include <QListWidget>
#include <QString>

// A sort order: only Key takes part in decisions; Label and Description are for display.
struct TSortIndex {
    QString Key;
    QString Label;
    QString Description;
};

const TSortIndex& SortAlpha();
const TSortIndex& SortShortcut();
const TSortIndex& SortSwitch();

// An entry of the list box: a display text and an alphabetical key.
class TAbstractListObjet {
public:
    TAbstractListObjet(const QString& displayText, const QString& alphaKey);
    virtual ~TAbstractListObjet() = default;

    const QString& DisplayText() const { return FDisplayText; }
    const QString& AlphaKey() const { return FAlphaKey; }
    // The key of the entry in the given order: the alphabetical key for "alpha", else empty.
    virtual QString GetSortKey(const TSortIndex& index) const;

private:
    QString FDisplayText;
    QString FAlphaKey;
};

using TCountsChangeEvent = std::function<void(int iselcount, int icount)>;
using TActiveChangeEvent = std::function<void(TAbstractListObjet* actif)>;

class TObjetListBox : public QListWidget {
public:
    explicit TObjetListBox(QWidget* parent = nullptr);
    ~TObjetListBox() override;

    // Adds the object (the box takes it) at the place of its key; selects it when select is set.
    // Returns the row of the key.
    int AddObjet(std::unique_ptr<TAbstractListObjet> objet, bool select);
    // Puts every item at the place of its key in the current sort order, keeping the selection.
    void Resort();
    // -1 clears the selection; a row from 0 to the last selects that row alone; others are
    // ignored. Then UpdateActive and UpdateCounts.
    void Select(int index);
    // Destroys the entries and empties items and keys; nothing is selected.
    void Clear();
    void UpdateCounts();
    void UpdateActive();

    // The object of a row, or none.
    TAbstractListObjet* Objet(int index) const;
    // The selected row: the current row when it is selected, else the first selected row, or -1.
    int SelectedIndex() const;
    int SelectedCount() const;
    TAbstractListObjet* Active() const { return FActive; }
    // The sort keys, row for row.
    QStringList Keys() const;

    const TSortIndex& SortIndex() const { return FSortIndex; }
    void SetSortIndex(const TSortIndex& index) { FSortIndex = index; }

    bool SelectionnerOuverts = false;
    // The Delete key (without Shift) removes the selected items.
    bool KeyDelete = false;
    TCountsChangeEvent OnCountsChange;
    TActiveChangeEvent OnActiveChange;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    struct TEntry {
        QString Key;
        std::unique_ptr<TAbstractListObjet> Objet;
    };

    // The row where key is or would go, and whether it is there already.
    std::pair<int, bool> FindKey(const QString& key) const;
    void InsertRow(int row, TEntry entry);
    void DeleteSelected();

    std::vector<TEntry> FEntries;
    TSortIndex FSortIndex;
    TAbstractListObjet* FActive = nullptr;
    int FLastCount = -1;
    int FLastSelCount = -1;
};
