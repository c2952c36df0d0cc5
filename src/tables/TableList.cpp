#include "TableList.h"

#include "TableListing.h"

namespace dravena {

namespace {

constexpr int SubFolderRole = Qt::UserRole;

// Orders entries the way the list shows them: letter case ignored; tables of one name by the
// sub-folder they lie in, the folder's own first.
class TableListItem final : public QListWidgetItem {
public:
    explicit TableListItem(const QString& text) : QListWidgetItem(text) {}
    bool operator<(const QListWidgetItem& other) const override {
        if (listedBefore(text(), other.text()) || listedBefore(other.text(), text()))
            return listedBefore(text(), other.text());
        return listedBefore(data(SubFolderRole).toString(), other.data(SubFolderRole).toString());
    }
};

} // namespace

TableList::TableList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(true);
}

void TableList::addEntry(const QString& name, const QString& subFolder) {
    auto* entry = new TableListItem(name);
    entry->setData(SubFolderRole, subFolder);
    addItem(entry);
}

QString TableList::entry(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

QString TableList::entrySubFolder(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->data(SubFolderRole).toString() : QString();
}

void TableList::removeEntry(int index) {
    delete takeItem(index);
}

void TableList::setCurrentIndex(int index) {
    selectionModel()->setCurrentIndex(model()->index(index, 0), QItemSelectionModel::NoUpdate);
}

bool TableList::isEntrySelected(int index) const {
    const QListWidgetItem* it = item(index);
    return it != nullptr && it->isSelected();
}

int TableList::selectedCount() const {
    return static_cast<int>(selectedItems().size());
}

void TableList::setEntrySelected(int index, bool selected) {
    if (QListWidgetItem* it = item(index))
        it->setSelected(selected);
}

bool IsInList(const TableList& list, const QString& name) {
    const QString wanted = name.toLower();
    bool found = false;
    for (int i = 0; i < list.entryCount(); ++i)
        if (list.entry(i).toLower() == wanted)
            found = true;
    return found;
}

void RemoveFromList(TableList& list, const QString& name) {
    for (int i = 0; i < list.entryCount(); ++i) {
        if (list.entry(i) == name) {
            list.removeEntry(i);
            return;
        }
    }
}

} // namespace dravena
