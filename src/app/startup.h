#pragma once
// The composition root: which screen each of the shop's slots makes, the
// start-up routine, and the run of the whole shop.

#include "../cart/shop.h"

#include <functional>

namespace plimbo {

// Gives each of the shop's screen slots the screen it makes.
void composeScreens(Shop& shop);

// The start-up routine: reads the price list from drive A into the catalogue
// and shows the main menu. A price list that cannot be read is reported and
// the application ends with exitstatus::PriceListRefused before any screen
// is shown.
void startUp(Shop& shop);
// The same, from a price list at `path`.
void startUp(Shop& shop, const QString& path);

// Runs the shop in an existing application object: fonts, the start-up
// routine, then the event loop. `started` runs once the main menu shows.
// Returns the exit status.
int runShop(const std::function<void(Shop&)>& started = {});

} // namespace plimbo
