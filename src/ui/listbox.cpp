#include "listbox.h"

#include <QAccessible>
#include <QSignalBlocker>

namespace ui {

ListBox::ListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemSelectionChanged, this, &ListBox::Click);
}

int ListBox::ListIndex() const
{
    const auto selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ListBox::setListIndex(int row)
{
    const QSignalBlocker blocker(this);
    if (row < 0) {
        clearSelection();
        setCurrentRow(-1, QItemSelectionModel::NoUpdate);
    } else {
        setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    viewport()->update();
}

QString ListBox::selectedText() const
{
    const int row = ListIndex();
    return row < 0 ? QString() : item(row)->text();
}

void ListBox::AddItem(const QString& text)
{
    const QSignalBlocker blocker(this);
    addItem(text);
}

void ListBox::Clear()
{
    const QSignalBlocker blocker(this);
    clear();
    // Qt 6.4 keeps a screen reader's view of the rows taken out and hands it
    // back, nameless, for the rows added in their place (the type list is
    // emptied and refilled at every brand choice): let Qt build the list's
    // view afresh.
    if (QAccessibleInterface* view = QAccessible::queryAccessibleInterface(this))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(view));
}

QStringList ListBox::rows() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << item(i)->text();
    return out;
}

} // namespace ui
