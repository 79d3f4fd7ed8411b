#include "selectionscreen.h"

#include "../cart/money.h"
#include "../cart/shop.h"
#include "../ui/announce.h"
#include "../ui/listbox.h"
#include "../ui/spincontrol.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace plimbo {

SelectionScreen::SelectionScreen(Shop& shop, Category category)
    : SelectionScreen(shop, selectionDescription(category))
{
}

SelectionScreen::SelectionScreen(Shop& shop, const SelectionDescription& d)
    : Screen(shop.app, d.formName, d.caption, {d.window.width, d.window.height}),
      shop_(shop),
      d_(d),
      section_(shop.catalogue.section(d.category))
{
    placeClientAt(d_.window.left, d_.window.top);
    build(d_.controls);

    QAction* exit = addMenuItem(nullptr, QStringLiteral("mnuExit"), QStringLiteral("&Exit"));
    on(exit, &QAction::triggered, [this] { mnuExit_Click(); });
    on(brandList(), &ui::ListBox::Click, [this] { lstBrand_Click(); });
    on(typeList(), &ui::ListBox::Click, [this] { lstType_Click(); });
    on(sizeList(), &ui::ListBox::Click, [this] { lstSize_Click(); });
    on(upDown(), &ui::SpinControl::Change, [this] { UpDown1_Change(); });
    on(button("cmdFindPrice"), &QPushButton::clicked, [this] { cmdFindPrice_Click(); });
    on(button("cmdCart"), &QPushButton::clicked, [this] { cmdCart_Click(); });
    on(button("cmdReset"), &QPushButton::clicked, [this] { cmdReset_Click(); });
}

ui::ListBox* SelectionScreen::brandList() const { return controls().get<ui::ListBox>(d_.brandList); }
ui::ListBox* SelectionScreen::typeList() const { return controls().get<ui::ListBox>(d_.typeList); }
ui::ListBox* SelectionScreen::sizeList() const { return controls().get<ui::ListBox>(d_.sizeList); }
QLineEdit* SelectionScreen::txtQuantity() const { return controls().get<QLineEdit>(QStringLiteral("txtQuantity")); }
QLineEdit* SelectionScreen::txtPrice() const { return controls().get<QLineEdit>(QStringLiteral("txtPrice")); }
ui::SpinControl* SelectionScreen::upDown() const { return controls().get<ui::SpinControl>(QStringLiteral("UpDown1")); }
QPushButton* SelectionScreen::button(const char* name) const
{
    return controls().get<QPushButton>(QLatin1String(name));
}

void SelectionScreen::fillTypes(const TextSlots& names)
{
    typeList()->ClearWithoutClick();
    for (int slot = 0; slot < PairCount; ++slot)
        typeList()->AddItem(names[slot]);
}

void SelectionScreen::Form_Load()
{
    for (int slot = 0; slot < SizeRows; ++slot)
        SizeText_[slot] = d_.sizes[static_cast<std::size_t>(slot)];
    // Empty brand slots still make rows: the list always has five.
    for (int slot = 0; slot < PairCount; ++slot)
        brandList()->AddItem(section_.Brand[slot]);
    fillTypes(section_.Type);
    for (int slot = 0; slot < SizeRows; ++slot)
        sizeList()->AddItem(SizeText_[slot]);
}

void SelectionScreen::lstBrand_Click()
{
    typeList()->ClearWithoutClick();
    // A brand the shop does not know, or an empty row, has no types to show.
    if (const auto brand = knownBrandPosition(brandList()->selectedText()))
        fillTypes(section_.BrandType[*brand]);
    typeList()->setEnabled(true);
}

void SelectionScreen::lstType_Click()
{
    sizeList()->setEnabled(true);
    upDown()->setEnabled(true);
}

void SelectionScreen::lstSize_Click()
{
    button("cmdFindPrice")->setEnabled(true);
}

void SelectionScreen::UpDown1_Change()
{
    // The shown price and the pending line stay as they are until the next
    // Find Price.
    button("cmdFindPrice")->setEnabled(true);
}

void SelectionScreen::cmdFindPrice_Click()
{
    shop_.SelectionMissing = -1;
    const PriceChoice choice{brandList()->ListIndex(), brandList()->selectedText(), typeList()->ListIndex(),
                             sizeList()->ListIndex(), txtQuantity()->text()};
    const PriceResult result = findPrice(section_, SizeText_, choice);
    if (!result.selectionMissing)
        shop_.SelectionMissing = 0;
    if (!result.priced) {
        // Nothing changes: the customer fixes the choice and tries again.
        shop_.app.platform().messageBox(result.message);
        return;
    }
    pending_ = result.line;
    txtPrice()->setText(formatMoney(pending_.LineCost.value()));
    ui::announce(txtPrice(), QStringLiteral("Price ") + txtPrice()->text());
    txtPrice()->setVisible(true);
    controls().get<QLabel>(QStringLiteral("lblPrice"))->setVisible(true);
    button("cmdReset")->setEnabled(true);
    button("cmdCart")->setEnabled(true);
}

void SelectionScreen::cmdCart_Click()
{
    // The line priced last goes in, even if the lists or the quantity have
    // changed since.
    shop_.cart.AddLine(d_.category, pending_);
    button("cmdCart")->setEnabled(false);
    shop_.frmInvoice.show();
}

void SelectionScreen::cmdReset_Click()
{
    shop_.cart.WithdrawLine(d_.category);
    button("cmdFindPrice")->setEnabled(true);
    button("cmdCart")->setEnabled(false);
    txtPrice()->setText(QString());
    txtQuantity()->setText(QStringLiteral("1"));
    brandList()->setListIndex(-1);
    sizeList()->setListIndex(-1);
    typeList()->setListIndex(-1);
    pending_.LineCost = 0;
    switch (d_.resetTypes) {
    case SelectionDescription::ResetTypes::CategoryTypesGreyed:
        sizeList()->setEnabled(false);
        typeList()->setEnabled(false);
        fillTypes(section_.Type);
        break;
    case SelectionDescription::ResetTypes::Empty:
        // As a brand choice that finds no brand: no types until one is chosen.
        typeList()->ClearWithoutClick();
        break;
    }
}

void SelectionScreen::mnuExit_Click()
{
    shop_.app.end(0);
}

} // namespace plimbo
