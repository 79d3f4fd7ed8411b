#pragma once
// A selection screen: the customer picks a brand, a type and a size from
// three lists and a quantity, Find Price prices the choice, and Add To
// Shopping Cart puts it into the cart. The adult and the children's screens
// are this one screen, each with its own description and state.

#include "../cart/cart.h"
#include "../ui/screen.h"
#include "categories.h"
#include "pricelookup.h"

class QLineEdit;
class QPushButton;
class QLabel;

namespace ui {
class ListBox;
class SpinControl;
} // namespace ui

namespace plimbo {

struct Shop;

class SelectionScreen : public ui::Screen {
    Q_OBJECT
public:
    SelectionScreen(Shop& shop, Category category);

    const PendingLine& pendingLine() const { return pending_; }
    const SizeTable& sizeText() const { return SizeText_; }

    // Fills the size table and the three lists from the catalogue.
    void Form_Load() override;

    // lstAdultBrand_Click / lstChildBrand_Click: the type list shows the
    // chosen brand's types.
    void lstBrand_Click();
    // lstAdultType_Click / lstChildType_Click: sizes and quantity can be set.
    void lstType_Click();
    void lstSize_Click();
    void UpDown1_Change();
    void cmdFindPrice_Click();
    void cmdCart_Click();
    void cmdReset_Click();
    void mnuExit_Click();

    ui::ListBox* brandList() const;
    ui::ListBox* typeList() const;
    ui::ListBox* sizeList() const;
    QLineEdit* txtQuantity() const;
    QLineEdit* txtPrice() const;
    ui::SpinControl* upDown() const;
    QPushButton* button(const char* name) const;

private:
    SelectionScreen(Shop& shop, const SelectionDescription& d);
    void fillTypes(const TextSlots& names);

    Shop& shop_;
    const SelectionDescription& d_;
    const CategorySection& section_;
    PendingLine pending_;
    SizeTable SizeText_;
};

} // namespace plimbo
