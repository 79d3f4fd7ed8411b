#pragma once
// Opening the display, for every program with windows. What Qt says while it
// opens the display is held back, as Qt would print it. If Qt gives up (a
// fatal message, then an abort), the program says in one line that there is
// no display when that is why, and ends with exitstatus::NoDisplay; for any
// other reason it prints everything Qt said and ends with
// exitstatus::Failed.

class QApplication;

namespace ui {

// Call just before the QApplication is made; `noDisplay` is the line said
// when no display can be opened.
void holdBackWhileOpeningTheDisplay(const char* noDisplay);
// Call just after: what was held back is printed, and Qt's messages go
// where they went before.
void displayOpened();

} // namespace ui
