// The Plimbo Shop: reads the shop's price list and opens the main menu.

#include "buildinfo.h"
#include "commandline.h"
#include "startup.h"
#include "ui/display.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

QStringList argumentsOf(int argc, char* argv[])
{
    QStringList out;
    for (int i = 1; i < argc; ++i)
        out << QString::fromLocal8Bit(argv[i]);
    return out;
}

} // namespace

int main(int argc, char* argv[])
{
    const QString program = QStringLiteral("plimbo");
    const plimbo::CommandLine commandLine = plimbo::readCommandLine(argumentsOf(argc, argv));
    switch (commandLine.action) {
    case plimbo::CommandLine::Help:
        std::fputs(qPrintable(plimbo::helpText(program)), stdout);
        return plimbo::exitstatus::Finished;
    case plimbo::CommandLine::Version:
        std::fputs(qPrintable(plimbo::versionText(program)), stdout);
        return plimbo::exitstatus::Finished;
    case plimbo::CommandLine::Wrong:
        std::fprintf(stderr, "plimbo: the shop takes no argument \"%s\"; try plimbo --help\n",
                     qPrintable(commandLine.wrong));
        return plimbo::exitstatus::BadCommandLine;
    case plimbo::CommandLine::Run:
        break;
    }

    ui::holdBackWhileOpeningTheDisplay("plimbo: there is no display to show the shop on. Run it on the kiosk's "
                                       "desktop, or start it with scripts/run.sh, which serves it to a web browser.\n");
    QApplication application(argc, argv);
    ui::displayOpened();
    ui::setUpProcess();
    return plimbo::runShop();
}
