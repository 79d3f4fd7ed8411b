#pragma once
// What the shop shows a customer in answer (a price, an invoice, a thank
// you) told to a screen reader as it appears, without moving the keyboard
// focus or changing anything on the screen.

#include <QString>

class QWidget;

namespace ui {

// Tells assistive technology `text`, said by `from`. On Qt 6.8 and later an
// announcement; before it, an object of its window that a screen reader
// hears as a notification when it shows (as Orca does).
void announce(QWidget* from, const QString& text);

} // namespace ui
