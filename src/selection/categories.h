#pragma once
// What sets the adult and the children's selection screens apart: names,
// caption, where the window and its controls sit, the size texts, and how
// the lists open and reset. One screen implementation reads it.

#include "../catalogue/catalogue.h"
#include "../ui/layout.h"
#include "pricelookup.h"

#include <array>
#include <vector>

namespace plimbo {

struct SelectionDescription {
    Category category;
    QString formName;             // "frmAdult"
    QString caption;              // "Adult Plimbo Selection"
    QString title;                // "Adult Plimbos", the heading inside the window
    ui::TwipsRect window;         // the client area on the desktop
    QString brandList;            // "lstAdultBrand"
    QString typeList;
    QString sizeList;
    std::array<QString, SizeRows> sizes;
    // The type and size lists can be used before a brand is chosen.
    bool listsOpenEnabled;
    // Once shown, the price box can be typed into (nothing reads it).
    bool priceBoxTakesTyping;
    // What Reset leaves in the type list: the category's type names, greyed
    // with the size list, or nothing until the next brand choice.
    enum class ResetTypes { CategoryTypesGreyed, Empty } resetTypes;
    std::vector<ui::ControlSpec> controls = {};  // made from the shared table
};

const SelectionDescription& selectionDescription(Category c);

// The text of the directions box on both screens.
extern const QString Directions;
// The caption of the add-to-cart button, with its leading blank.
extern const QString AddToCartCaption;

} // namespace plimbo
