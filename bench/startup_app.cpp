// The shop's real start-up on the sample price list, ending as soon as the
// main menu has been painted once. Measured against startup_bare.

#include "catalogue/shop.h"
#include "firstpaint.h"
#include "ui/fonts.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    ui::installShopFonts();
    ui::QtPlatform platform;
    plimbo::Shop shop(platform);
    plimbo::startUp(shop);
    if (shop.app.ended())
        return shop.app.exitStatus();
    new QuitAfterFirstPaint(shop.frmMenu.screen());
    return QApplication::exec();
}
