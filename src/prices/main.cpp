// plimbo-prices: the shop owner's price-list editor, and its command-line
// side for an office that keeps its prices in a spreadsheet.
//
//   plimbo-prices [FILE]                         the editor window
//   plimbo-prices --export LIST -o SPREADSHEET   the list as CSV
//   plimbo-prices --import SPREADSHEET -o LIST   a CSV as the list, saved safely

#include "csv.h"
#include "desk.h"
#include "editorwindow.h"
#include "safesave.h"
#include "buildinfo.h"
#include "catalogue/errors.h"
#include "catalogue/pricefile.h"
#include "ui/display.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

const char* const Usage =
    "Usage: plimbo-prices [FILE]\n"
    "       plimbo-prices --export LIST -o SPREADSHEET.csv\n"
    "       plimbo-prices --import SPREADSHEET.csv -o LIST\n"
    "Edits a Plimbo Shop price list (A:PlimboPrice.txt in the drive-A folder, $PLIMBO_DRIVE_A,\n"
    "unless FILE is named), or moves it to and from a spreadsheet file (CSV: written in UTF-8,\n"
    "read in UTF-8 or Windows-1252).\n"
    "\n"
    "  --export LIST -o FILE  write the list as a spreadsheet file\n"
    "  --import FILE -o LIST  put the spreadsheet's rows in the list (the old list kept as .bak)\n"
    "  -h, --help             print this help and end\n"
    "      --version          print the version and end\n"
    "\n"
    "Exit status: 0 when written, 2 when refused (the reasons on standard error).\n";

using namespace plimbo::prices;

constexpr int Written = 0;
constexpr int Refused = 2;

int refuse(const QString& why)
{
    QTextStream(stderr) << "plimbo-prices: " << why << '\n';
    return Refused;
}

int exportList(const QString& list, const QString& csv)
{
    try {
        const PriceList read = PriceList::open(list);
        if (read.refusal)
            return refuse(read.refusal->message + QStringLiteral("\nNothing was exported."));
        const CsvExport sheet = exportCsv(read);
        if (const auto error = writeSafely(csv, sheet.bytes))
            return refuse(*error);
        QTextStream(stdout) << exportedWords(sheet, csv) << '\n';
        return Written;
    } catch (const plimbo::PriceFileError& e) {
        return refuse(e.message());
    }
}

int importList(const QString& csv, const QString& list)
{
    const CsvImport read = importCsvFile(csv);
    if (!read.problems.isEmpty())
        return refuse(read.problems.join(QLatin1Char('\n')) + QStringLiteral("\nNothing was imported."));
    // The list there gives its line ends, and its records that stay as they
    // were keep their bytes. One the shop refuses is kept whole as its backup.
    PriceList target;
    if (QFileInfo::exists(list)) {
        try {
            target = PriceList::open(list);
        } catch (const plimbo::PriceFileError&) {
            target = {};
        }
    }
    const auto unreadable = unreadableBackupOf(list);
    if (target.refusal && unreadable)
        return refuse(QStringLiteral("%1 cannot be read whole, and its backup %2 holds a list that could not be read "
                                     "whole either: move %2 away to keep it. Nothing was imported.")
                          .arg(list, *unreadable));
    QString kept;
    if (target.refusal)
        kept = QStringLiteral("The list there could not be read from record %1 on; it is kept whole as %2.\n")
                   .arg(QString::number(target.refusal->record), backupPathFor(savedFileFor(list)));
    else if (unreadable)
        kept = QStringLiteral("%1, a list that could not be read whole, is kept as it was; no new backup was made.\n")
                   .arg(*unreadable);
    target.refusal.reset();
    target.replaceAll(read.records);
    if (const auto error = savePriceList(list, target, unreadable ? Backup::None : Backup::KeepOld))
        return refuse(*error);
    QTextStream(stdout) << "Imported " << read.records.size() << " rows from " << csv << " (read as " << read.encoding
                        << " text) into " << list << '\n'
                        << kept;
    return Written;
}

} // namespace

int main(int argc, char* argv[])
{
    const QStringList args = [&] {
        QStringList a;
        for (int i = 1; i < argc; ++i)
            a << QString::fromLocal8Bit(argv[i]);
        return a;
    }();
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        QTextStream(stdout) << Usage;
        return 0;
    }
    if (args.size() == 1 && args[0] == QLatin1String("--version")) {
        QTextStream(stdout) << "plimbo-prices " << plimbo::build::Version << '\n';
        return 0;
    }
    if (!args.isEmpty() && (args[0] == QLatin1String("--export") || args[0] == QLatin1String("--import"))) {
        if (args.size() != 4 || args[2] != QLatin1String("-o")) {
            QTextStream(stderr) << Usage;
            return Refused;
        }
        QCoreApplication app(argc, argv);
        return args[0] == QLatin1String("--export") ? exportList(args[1], args[3]) : importList(args[1], args[3]);
    }
    if (args.size() > 1 || (args.size() == 1 && args[0].startsWith(QLatin1Char('-')))) {
        QTextStream(stderr) << Usage;
        return Refused;
    }

    ui::holdBackWhileOpeningTheDisplay("plimbo-prices: there is no display to show the price list on. Run it on a "
                                       "desktop, or use --export and --import.\n");
    QApplication app(argc, argv);
    ui::displayOpened();
    QApplication::setApplicationName(QStringLiteral("plimbo-prices"));
    QApplication::setApplicationDisplayName(EditorTitle);
    QApplication::setDesktopFileName(QStringLiteral("plimbo-prices"));
    ui::registerLookAlikes();
    QtDesk desk;
    EditorWindow window(desk);
    desk.setWindow(&window);
    const QString path = args.isEmpty() ? plimbo::priceFilePath() : args[0];
    window.show();
    if (QFileInfo::exists(path) || !args.isEmpty())
        window.commands().openFile(path);
    return QApplication::exec();
}
