// The Plimbo Shop: reads the shop's price list and opens the main menu.

#include "../catalogue/shop.h"
#include "../ui/fonts.h"
#include "../ui/platform.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Plimbo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Plimbo Shop"));
    QApplication::setDesktopFileName(QStringLiteral("plimbo-shop"));
    ui::installShopFonts();

    ui::QtPlatform platform;
    plimbo::Shop shop(platform);
    plimbo::startUp(shop);
    if (shop.app.ended())
        return shop.app.exitStatus();
    const int status = QApplication::exec();
    return shop.app.ended() ? shop.app.exitStatus() : status;
}
