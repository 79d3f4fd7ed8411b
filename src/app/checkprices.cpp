// plimbo-check-prices FILE: tells the shop owner what the shop will make of a
// price list, record by record. Exit status 0 when every record is accepted
// cleanly, 1 when there are warnings, 2 when the shop would refuse the file.

#include "../catalogue/pricecheck.h"
#include "buildinfo.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

const char* const Usage =
    "Usage: plimbo-check-prices FILE\n"
    "Reads a Plimbo Shop price list the way the shop does and says, record by record,\n"
    "what the shop will make of it.\n"
    "\n"
    "  -h, --help     print this help and end\n"
    "      --version  print the version and end\n"
    "\n"
    "Exit status: 0 when every record is accepted cleanly, 1 when there are warnings,\n"
    "2 when the shop would refuse the file (or the command line is wrong).\n";

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream out(stdout);
    if (args.size() == 2 && (args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h"))) {
        out << Usage;
        return 0;
    }
    if (args.size() == 2 && args[1] == QLatin1String("--version")) {
        out << "plimbo-check-prices " << plimbo::build::Version << '\n';
        return 0;
    }
    if (args.size() != 2 || args[1].startsWith(QLatin1Char('-'))) {
        QTextStream(stderr) << Usage;
        return plimbo::PriceCheck::Refused;
    }
    const plimbo::PriceCheck check = plimbo::checkPriceFile(args[1]);
    for (const QString& line : check.lines)
        out << line << '\n';
    return check.verdict;
}
