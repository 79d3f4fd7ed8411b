// The Plimbo Shop: reads the shop's price list and opens the main menu.

#include "../catalogue/shop.h"

#include <QApplication>
#include <QByteArrayList>
#include <cstdio>
#include <cstdlib>

namespace {

// What Qt says while it opens the display is held back: if no display can be
// opened, Qt gives up with a fatal message and an abort; the shop says so in
// one line instead and ends with status 2.
QByteArrayList heldBack;

void whileOpeningTheDisplay(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtFatalMsg) {
        heldBack << message.toLocal8Bit();
        return;
    }
    std::fputs("plimbo: there is no display to show the shop on. Run it on the kiosk's desktop, or start it "
               "with scripts/run.sh, which serves it to a web browser.\n",
               stderr);
    std::_Exit(2);
}

} // namespace

int main(int argc, char* argv[])
{
    const QtMessageHandler usual = qInstallMessageHandler(whileOpeningTheDisplay);
    QApplication application(argc, argv);
    qInstallMessageHandler(usual);
    for (const QByteArray& message : heldBack)
        std::fprintf(stderr, "%s\n", message.constData());
    return plimbo::runShop();
}
