#pragma once
// The shop for one run: the catalogue read at start, the cart, and the one
// object of each screen. Every screen reaches the others, the catalogue and
// the cart through it.

#include "../cart/cart.h"
#include "../ui/application.h"
#include "../ui/screen.h"
#include "catalogue.h"
#include "int16.h"

#include <functional>

namespace plimbo {

struct Shop {
    explicit Shop(ui::Platform& platform);
    ~Shop();
    Shop(const Shop&) = delete;
    Shop& operator=(const Shop&) = delete;

    ui::Application app;
    Catalogue catalogue;
    Cart cart;
    // Set by Find Price on either selection screen while it checks the
    // choice: -1 while a list has no selection, 0 once all three have.
    Int16 SelectionMissing;

    ui::ScreenSlot frmMenu{app};
    ui::ScreenSlot frmAdult{app};
    ui::ScreenSlot frmChild{app};
    ui::ScreenSlot frmInvoice{app};

    ui::ScreenSlot& selection(Category c) { return c == Category::Adult ? frmAdult : frmChild; }

    // A line was added to the cart or withdrawn from it: an invoice that is
    // open shows the cart as it now stands.
    void cartChanged();
};

// The start-up routine: reads the price list from drive A into the catalogue
// and shows the main menu. A price list that cannot be read is reported and
// the application ends with a non-zero status before any screen is shown.
void startUp(Shop& shop);
// The same, from a price list at `path`.
void startUp(Shop& shop, const QString& path);

// Runs the shop in an existing application object: fonts, the start-up
// routine, then the event loop. `started` runs once the main menu shows.
// Returns the exit status.
int runShop(const std::function<void(Shop&)>& started = {});

} // namespace plimbo
