#include "listbox.h"

#include <QAccessible>
#include <QScroller>
#include <QSignalBlocker>

namespace ui {

ListBox::ListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemSelectionChanged, this, &ListBox::Click);
    // On a kiosk's touch screen a finger swipes a list to see rows out of
    // sight. Without this the swipe chose every row it crossed, and scrolled
    // nothing. Now a swipe (or a drag of the mouse) scrolls and chooses
    // nothing; a tap or a click chooses the row under it, once let go.
    QScroller::grabGesture(viewport(), QScroller::LeftMouseButtonGesture);
    QScrollerProperties kinetic = QScroller::scroller(viewport())->scrollerProperties();
    kinetic.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy,
                            QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff));
    kinetic.setScrollMetric(QScrollerProperties::HorizontalOvershootPolicy,
                            QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff));
    QScroller::scroller(viewport())->setScrollerProperties(kinetic);
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

void ListBox::ClearWithoutClick()
{
    const QSignalBlocker blocker(this);
    QListWidget::clear();
    // A screen reader's view of the list keeps a cell for each row it has
    // read. Qt drops those cells at a reset only while it knows an assistive
    // tool to be active; any other reader (an automation tool, or one that
    // comes later) is handed the old cells, nameless, for the new rows. So
    // the list tells its view of the reset itself: the cells go, the list's
    // own accessible object stays the one a screen reader holds.
    if (QAccessibleInterface* view = QAccessible::queryAccessibleInterface(this)) {
        if (QAccessibleTableInterface* table = view->tableInterface()) {
            QAccessibleTableModelChangeEvent reset(this, QAccessibleTableModelChangeEvent::ModelReset);
            table->modelChange(&reset);
        }
    }
}

QStringList ListBox::rows() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << item(i)->text();
    return out;
}

} // namespace ui
