// The shop's real start-up on the sample price list, ending as soon as the
// main menu has been painted once. Measured against startup_bare.

#include "app/startup.h"
#include "firstpaint.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    ui::setUpProcess();  // as the program does
    return plimbo::runShop([](plimbo::Shop& shop) { new QuitAfterFirstPaint(shop.frmMenu.screen()); });
}
