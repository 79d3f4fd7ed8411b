// The Plimbo Shop: reads the shop's price list and opens the main menu.

#include "buildinfo.h"
#include "commandline.h"
#include "startup.h"

#include <QApplication>
#include <QByteArrayList>
#include <cstdio>
#include <cstdlib>

namespace {

// What Qt says while it opens the display is held back, as Qt would print
// it. If Qt gives up (a fatal message, then an abort), the shop says in one
// line that there is no display when that is why, and ends with
// exitstatus::NoDisplay; for any other reason it prints everything Qt said
// and ends with exitstatus::Failed, which a kiosk starts again.
QByteArrayList heldBack;
bool cannotConnect = false;

void whileOpeningTheDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        if (context.category && qstrcmp(context.category, "qt.qpa.xcb") == 0 &&
            message.startsWith(QLatin1String("could not connect to display")))
            cannotConnect = true;
        heldBack << qFormatLogMessage(type, context, message).toLocal8Bit();
        return;
    }
    if (cannotConnect) {
        std::fputs("plimbo: there is no display to show the shop on. Run it on the kiosk's desktop, or start it "
                   "with scripts/run.sh, which serves it to a web browser.\n",
                   stderr);
        std::_Exit(plimbo::exitstatus::NoDisplay);
    }
    for (const QByteArray& held : heldBack)
        std::fprintf(stderr, "%s\n", held.constData());
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    std::_Exit(plimbo::exitstatus::Failed);
}

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

    const QtMessageHandler usual = qInstallMessageHandler(whileOpeningTheDisplay);
    QApplication application(argc, argv);
    qInstallMessageHandler(usual);
    for (const QByteArray& message : heldBack)
        std::fprintf(stderr, "%s\n", message.constData());
    ui::setUpProcess();
    return plimbo::runShop();
}
