#pragma once
// Helpers for driving the screens the way a customer does.

#include "ui/layout.h"
#include "ui/listbox.h"

#include <QAccessible>
#include <QWidget>

namespace test {

// Chooses a list row as a click would: the list reports the new selection.
inline void choose(ui::ListBox* list, int row)
{
    list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

// The rectangle a control should have, in pixels at 96 dpi.
inline QRect pixels(int left, int top, int width, int height)
{
    return ui::TwipsRect{left, top, width, height}.pixels();
}

// The next control of the same screen in tab order, past the inner parts
// of lists and boxes.
inline QWidget* nextTabStop(QWidget* control)
{
    QWidget* w = control->nextInFocusChain();
    while (w != control && w->parentWidget() != control->parentWidget())
        w = w->nextInFocusChain();
    return w;
}

// What a screen reader announces as the control's name.
inline QString announced(QObject* control)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(control);
    return a ? a->text(QAccessible::Name).trimmed() : QString();
}

} // namespace test
