#pragma once
// One run of the shop: the catalogue read at start, the cart, and the one
// object of each screen. Every screen reaches the others, the catalogue and
// the cart through it. Which screen each slot makes is decided where the
// program is put together (app/startup).

#include "../catalogue/catalogue.h"
#include "../catalogue/int16.h"
#include "../ui/application.h"
#include "../ui/screen.h"
#include "cart.h"

namespace plimbo {

struct Shop {
    explicit Shop(ui::Platform& platform) : app(platform) {}
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
};

} // namespace plimbo
