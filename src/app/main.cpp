// The Plimbo Shop: reads the shop's price list and opens the main menu.

#include "../catalogue/shop.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Plimbo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Plimbo Shop"));
    QApplication::setDesktopFileName(QStringLiteral("plimbo-shop"));
    return plimbo::runShop();
}
