#include "commandline.h"

#include "buildinfo.h"

#include <algorithm>
#include <array>

namespace plimbo {

namespace {

// Qt's own options, as QGuiApplication, QApplication and the X11 platform
// read them: those that take a value and those that stand alone.
constexpr std::array QtOptionsWithValue{"platform", "platformpluginpath", "platformtheme", "plugin",
                                        "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                        "display", "geometry", "name", "title", "style", "stylesheet"};
constexpr std::array QtFlags{"reverse", "widgetcount", "nograb", "dograb", "sync", "qmljsdebugger"};

template <std::size_t N>
bool among(const std::array<const char*, N>& names, const QString& name)
{
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return name == QLatin1String(n); });
}

} // namespace

CommandLine readCommandLine(const QStringList& arguments)
{
    CommandLine result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return {CommandLine::Help, {}};
        if (argument == QLatin1String("--version"))
            return {CommandLine::Version, {}};
        // Qt takes its options with one dash or two, and some as -option=value.
        QString name = argument;
        if (name.startsWith(QLatin1String("--")))
            name.remove(0, 1);
        if (!name.startsWith(QLatin1Char('-')) || name.size() < 2)
            return {CommandLine::Wrong, argument};
        name.remove(0, 1);
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        const bool valueAttached = equals >= 0;
        if (valueAttached)
            name.truncate(equals);
        if (among(QtOptionsWithValue, name)) {
            if (!valueAttached && ++i >= arguments.size())
                return {CommandLine::Wrong, argument};
        } else if (!among(QtFlags, name)) {
            return {CommandLine::Wrong, argument};
        }
    }
    return result;
}

QString helpText(const QString& program)
{
    using namespace exitstatus;
    return QStringLiteral(
               "Usage: %1 [--help] [--version]\n"
               "The Plimbo Shop: customers look up the prices of athletic shoes and put an order together.\n"
               "\n"
               "When it starts, the shop reads its price list A:PlimboPrice.txt: the file PlimboPrice.txt\n"
               "in the folder named by the environment variable PLIMBO_DRIVE_A, or in the current folder.\n"
               "\n"
               "  -h, --help     print this help and end\n"
               "      --version  print the version and end\n"
               "Qt's own options (-platform, -display, -style, ...) are passed on to Qt.\n"
               "\n"
               "Exit status:\n"
               "  %2  a customer finished (\"Clear - Exit\" or Exit), or the last window closed\n"
               "  %3  an error ended the shop after it had shown it, or the display went away\n"
               "  %4  no display could be opened, or the command line was wrong\n"
               "  %5  the price list could not be read\n")
        .arg(program)
        .arg(Finished)
        .arg(Failed)
        .arg(NoDisplay)
        .arg(PriceListRefused);
}

QString versionText(const QString& program)
{
    return QStringLiteral("%1 %2\n").arg(program, QLatin1String(build::Version));
}

} // namespace plimbo
