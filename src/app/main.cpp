// The Plimbo Shop: reads the shop's price list and opens the main menu.

#include "../catalogue/shop.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return plimbo::runShop();
}
