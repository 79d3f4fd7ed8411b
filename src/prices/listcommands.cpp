#include "listcommands.h"

#include "csv.h"
#include "safesave.h"
#include "catalogue/errors.h"
#include "catalogue/pricefile.h"

#include <QDir>
#include <QFileInfo>

namespace plimbo::prices {

namespace {

const QString CsvFilter = QStringLiteral("Spreadsheet (CSV) files (*.csv);;All files (*)");
const QString ListFilter = QStringLiteral("Price lists (*.txt);;All files (*)");

} // namespace

ListCommands::ListCommands(Desk& desk, EditorDocument& document, QObject* parent)
    : QObject(parent), desk_(desk), document_(document)
{
}

QString ListCommands::shownName() const
{
    return document_.path().isEmpty() ? QStringLiteral("New price list") : QFileInfo(document_.path()).fileName();
}

bool ListCommands::maybeSave()
{
    if (!document_.modified())
        return true;
    switch (desk_.askToSave(shownName())) {
    case Desk::Answer::Save:
        return save();
    case Desk::Answer::Discard:
        return true;
    case Desk::Answer::Cancel:
        break;
    }
    return false;
}

bool ListCommands::openFile(const QString& path)
{
    if (!maybeSave())
        return false;
    try {
        const PriceList list = PriceList::open(path);
        document_.load(list, QFileInfo(path).absoluteFilePath());
        if (list.refusal)
            desk_.message(list.refusal->message +
                          QStringLiteral("\n\nThe records before it are shown. Repair them and save: the rest, which "
                                         "cannot be read, is dropped only when you say so."));
        return true;
    } catch (const PriceFileError& e) {
        desk_.message(e.message());
        return false;
    }
}

bool ListCommands::openChosen()
{
    const QString path = desk_.fileToOpen(QStringLiteral("Open a price list"), ListFilter, driveAFolder());
    return !path.isEmpty() && openFile(path);
}

bool ListCommands::newList()
{
    if (!maybeSave())
        return false;
    document_.load(PriceList::fresh(), QString());
    return true;
}

bool ListCommands::save()
{
    return document_.path().isEmpty() ? saveAs() : saveTo(document_.path());
}

bool ListCommands::saveAs()
{
    const QString suggested = document_.path().isEmpty() ? priceFilePath() : document_.path();
    const QString path = desk_.fileToSave(QStringLiteral("Save the price list"), ListFilter, suggested);
    return !path.isEmpty() && saveTo(path);
}

bool ListCommands::saveTo(const QString& path)
{
    PriceList list = document_.list();
    const QString file = savedFileFor(path);
    const auto unreadable = unreadableBackupOf(path);
    Backup backup = Backup::KeepOld;
    // What cannot be read stays in the file it came from, or in its backup.
    const bool here = !document_.path().isEmpty() && savedFileFor(document_.path()) == file;
    if (list.refusal) {
        const QString kept = here ? QStringLiteral("The list as it is on the disk, its unreadable rest included, is "
                                                   "kept as %1%2.")
                                        .arg(backupPathFor(file), unreadable ? QStringLiteral(", in place of the one "
                                                                                              "there")
                                                                             : QString())
                                  : QStringLiteral("%1 stays as it is.").arg(document_.path());
        if (!desk_.confirm(QStringLiteral("The rest of the list, from record %1 on (%2 bytes), cannot be read. "
                                          "Drop it and save the records shown? %3")
                               .arg(QString::number(list.refusal->record), QString::number(list.refusal->restBytes), kept)))
            return false;
        list.refusal.reset();
    }
    // A backup that holds what could not be read is replaced only when the
    // owner says so (the question above said so when it is this list's).
    if (unreadable && !(document_.list().refusal && here) &&
        !desk_.confirm(QStringLiteral("%1 holds a list whose rest could not be read, kept when that rest was "
                                      "dropped. Replace it with a backup of the list now in %2?")
                           .arg(*unreadable, file)))
        backup = Backup::None;
    if (const auto error = savePriceList(path, list, backup)) {
        desk_.message(QStringLiteral("The price list was not saved.\n") + *error);
        return false;
    }
    try {
        document_.saved(PriceList::open(path), QFileInfo(path).absoluteFilePath());
    } catch (const PriceFileError& e) {
        desk_.message(e.message());
        return false;
    }
    QString done = file == QFileInfo(path).absoluteFilePath()
                       ? QStringLiteral("Saved %1.").arg(file)
                       : QStringLiteral("Saved %1, where %2 leads.").arg(file, QFileInfo(path).absoluteFilePath());
    if (backup == Backup::None)
        done += QStringLiteral(" %1 is kept as it was.").arg(*unreadable);
    emit said(done);
    return true;
}

bool ListCommands::importSpreadsheet()
{
    const QString path = desk_.fileToOpen(QStringLiteral("Import a spreadsheet"), CsvFilter, driveAFolder());
    if (path.isEmpty())
        return false;
    const QString name = QFileInfo(path).fileName();
    const CsvImport read = importCsvFile(path);
    if (!read.readable) {
        desk_.message(QStringLiteral("Nothing was imported: ") + read.problems.join(QLatin1Char('\n')));
        return false;
    }
    if (!read.problems.isEmpty()) {
        desk_.message(QStringLiteral("Nothing was imported: %1 of %2 cannot be placed in the price list.\n\n%3")
                          .arg(read.problems.size() == 1 ? QStringLiteral("one thing")
                                                         : QStringLiteral("%1 things").arg(read.problems.size()),
                               name, read.problems.join(QLatin1Char('\n'))));
        return false;
    }
    PriceList after = document_.list();
    after.replaceAll(read.records);
    after.refusal.reset();
    if (after.bytes() == document_.list().bytes() && !document_.list().refusal) {
        desk_.message(QStringLiteral("%1 holds the list as it stands: nothing changed.").arg(name));
        return false;
    }
    document_.change(after, QStringLiteral("Import %1").arg(name));
    desk_.message(QStringLiteral("Imported %1 rows from %2, read as %3 text. Save to keep them.")
                      .arg(QString::number(read.records.size()), name, read.encoding));
    return true;
}

bool ListCommands::exportSpreadsheet()
{
    const QString base = document_.path().isEmpty() ? priceFilePath() : document_.path();
    const QFileInfo info(base);
    const QString path = desk_.fileToSave(QStringLiteral("Export a spreadsheet"), CsvFilter,
                                          info.dir().filePath(info.completeBaseName() + QStringLiteral(".csv")));
    if (path.isEmpty())
        return false;
    const CsvExport sheet = exportCsv(document_.list());
    if (const auto error = writeSafely(path, sheet.bytes)) {
        desk_.message(QStringLiteral("Nothing was exported.\n") + *error);
        return false;
    }
    desk_.message(exportedWords(sheet, path));
    return true;
}

bool ListCommands::changePrices()
{
    QList<std::pair<Category, QString>> brands;
    for (const Category c : {Category::Adult, Category::Child})
        for (const std::size_t record : document_.rowsOf(c))
            if (const QString& b = document_.list().entries[record].values.brand; knownBrandPosition(b))
                brands.append({c, b});
    const auto change = desk_.priceChange(brands);
    if (!change)
        return false;
    auto result = prices::changePrices(document_.list(), *change);
    if (const auto* refused = std::get_if<QStringList>(&result)) {
        desk_.message(QStringLiteral("No price was changed: a price must stay from 1 to 32,767 dollars.\n\n") +
                      refused->join(QLatin1Char('\n')));
        return false;
    }
    const PriceList& after = std::get<PriceList>(result);
    if (after.bytes() == document_.list().bytes())
        return false;
    document_.change(after, QStringLiteral("Change prices"));
    return true;
}

bool ListCommands::repair(std::size_t record, int field)
{
    if (record >= document_.list().entries.size())
        return false;
    PriceRecord r = document_.list().entries[record].values;
    QString step;
    if (field == 0) {
        const auto meant = categoryMeant(r.category);
        if (!meant || !desk_.confirm(QStringLiteral("Record %1's category \"%2\" is \"%3\" written otherwise, so the "
                                                    "shop passes the record over. Make it \"%3\"?")
                                         .arg(QString::number(record + 1), r.category, categoryText(*meant))))
            return false;
        r.category = categoryText(*meant);
        step = QStringLiteral("Category \"%1\" of record %2").arg(r.category, QString::number(record + 1));
    } else if (field >= 2 && field % 2 == 0) {
        QString& type = r.type[(field - 2) / 2];
        const auto meant = utf8TakenForWindows1252(type);
        if (!meant)
            return false;
        // Refused as the same text typed would be.
        if (const auto why = textRefusal(*meant)) {
            desk_.message(QStringLiteral("\"%1\" is \"%2\" saved as UTF-8, but the price list cannot hold \"%2\". %3")
                              .arg(type, *meant, *why));
            return false;
        }
        if (!desk_.confirm(QStringLiteral("\"%1\" is \"%2\" saved as UTF-8. Put \"%2\" in its place?").arg(type, *meant)))
            return false;
        type = *meant;
        step = QStringLiteral("Repair \"%1\"").arg(*meant);
    } else {
        return false;
    }
    PriceList after = document_.list();
    after.setValues(record, r);
    document_.change(after, step);
    return true;
}

} // namespace plimbo::prices
