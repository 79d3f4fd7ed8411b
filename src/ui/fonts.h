#pragma once
// Fonts by the names the shop's screens were designed with. Where those are
// not installed, free look-alikes stand in for them.

#include "layout.h"

#include <QFont>

namespace ui {

// Registers the look-alikes and makes 8.25-point "MS Sans Serif" the font of
// controls that name none, as the screens were designed. Call once after the
// application object exists.
void installShopFonts();
// Only the look-alikes, for a program that keeps its own font.
void registerLookAlikes();

QFont fontFor(const FontSpec& entry, const QFont& base);

// The installed family that shows `designed`: itself when installed, else
// its first installed look-alike.
QString installedFamily(const QString& designed);

} // namespace ui
