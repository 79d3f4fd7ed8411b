#pragma once
// Fonts by the names the shop's screens were designed with. Where those are
// not installed, free look-alikes stand in for them.

#include "layout.h"

#include <QFont>

namespace ui {

// Registers the look-alikes; call once after the application object exists.
void installFontSubstitutes();

QFont fontFor(const FontSpec& spec, const QFont& base);

} // namespace ui
