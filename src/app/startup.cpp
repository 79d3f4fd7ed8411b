#include "startup.h"

#include "../cart/invoicescreen.h"
#include "../catalogue/pricefile.h"
#include "../menu/menuscreen.h"
#include "../selection/selectionscreen.h"
#include "../ui/fonts.h"
#include "buildinfo.h"

#include <QApplication>

namespace plimbo {

void composeScreens(Shop& shop)
{
    shop.frmMenu.setFactory([&shop] { return std::make_unique<MenuScreen>(shop); });
    shop.frmAdult.setFactory([&shop] { return std::make_unique<SelectionScreen>(shop, Category::Adult); });
    shop.frmChild.setFactory([&shop] { return std::make_unique<SelectionScreen>(shop, Category::Child); });
    shop.frmInvoice.setFactory([&shop] { return std::make_unique<InvoiceScreen>(shop); });
}

void startUp(Shop& shop)
{
    startUp(shop, priceFilePath());
}

void startUp(Shop& shop, const QString& path)
{
    composeScreens(shop);
    if (shop.app.run([&] { loadPriceFile(path, shop.catalogue); }, exitstatus::PriceListRefused))
        shop.app.run([&] { shop.frmMenu.show(); });
}

int runShop(const std::function<void(Shop&)>& started)
{
    ui::identifyApplication();
    ui::installShopFonts();
    ui::QtPlatform platform;
    Shop shop(platform);
    startUp(shop);
    if (shop.app.ended())
        return shop.app.exitStatus();
    if (started)
        started(shop);
    const int status = QApplication::exec();
    return shop.app.ended() ? shop.app.exitStatus() : status;
}

} // namespace plimbo
