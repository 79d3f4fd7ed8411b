#include "shop.h"

#include "../cart/invoicescreen.h"
#include "../menu/menuscreen.h"
#include "../selection/selectionscreen.h"
#include "../ui/fonts.h"
#include "pricefile.h"

#include <QApplication>

#include <QCoreApplication>
#include <QEvent>

namespace plimbo {

Shop::Shop(ui::Platform& platform) : app(platform)
{
    frmMenu.setFactory([this] { return std::make_unique<MenuScreen>(*this); });
    frmAdult.setFactory([this] { return std::make_unique<SelectionScreen>(*this, Category::Adult); });
    frmChild.setFactory([this] { return std::make_unique<SelectionScreen>(*this, Category::Child); });
    frmInvoice.setFactory([this] { return std::make_unique<InvoiceScreen>(*this); });
}

Shop::~Shop()
{
    // Screens closed during the run delete themselves from the event loop;
    // let those still waiting go before the shop they point at.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Shop::cartChanged()
{
    if (auto* invoice = frmInvoice.as<InvoiceScreen>())
        invoice->refill();
}

void startUp(Shop& shop)
{
    startUp(shop, priceFilePath());
}

void startUp(Shop& shop, const QString& path)
{
    shop.app.run([&] {
        loadPriceFile(path, shop.catalogue);
        shop.frmMenu.show();
    });
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
