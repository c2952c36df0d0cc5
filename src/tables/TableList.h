#pragma once

#include <QListWidget>

namespace dravena {

// A table list: entries kept sorted without regard to letter case, extended multi-selection,
// and a current entry that is set without touching the selection.
class TableList final : public QListWidget {
public:
    explicit TableList(QWidget* parent = nullptr);

    // Adds an entry at its sorted place. An entry of the Paradox list knows the sub-folder of the
    // Paradox folder its table lies in ("" for the folder itself); the list shows the name only.
    void addEntry(const QString& name, const QString& subFolder = {});
    QString entry(int index) const;
    QString entrySubFolder(int index) const;
    int entryCount() const { return count(); }
    void removeEntry(int index);

    // The current entry's index, -1 when there is none.
    int currentIndex() const { return currentRow(); }
    void setCurrentIndex(int index);

    bool isEntrySelected(int index) const;
    int selectedCount() const;
    void setEntrySelected(int index, bool selected);
};

// True when an entry of the list equals the name with letter case ignored (both lower-cased,
// then compared exactly).
bool IsInList(const TableList& list, const QString& name);

// Removes the entry whose text equals the name exactly (letter case significant).
void RemoveFromList(TableList& list, const QString& name);

} // namespace dravena
