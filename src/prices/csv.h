#pragma once
// The price list as a spreadsheet: CSV, a header row (Category, Brand,
// Type 1, Price 1, ... Type 5, Price 5, Shop's note) and one row a record,
// brands without their blanks. A record the shop passes over, or one the
// importer would otherwise refuse (a brand the shop does not know, one
// listed twice, a negative price), carries the shop's note and travels
// exactly as the file holds it, so that an exported list imports back the
// same.

#include "pricelist.h"

namespace plimbo::prices {

// The header of the column that marks a row taken as written.
inline const QString NoteHeader = QStringLiteral("Shop's note");

struct CsvExport {
    QByteArray bytes;
    int rows = 0;
    int noted = 0;  // rows with the shop's note
};

// The list as a spreadsheet file: UTF-8 with a byte-order mark (so that
// spreadsheets take the accents as they are), commas, CR LF.
CsvExport exportCsv(const PriceList& list);

// What the owner is told of an export written to `path`.
QString exportedWords(const CsvExport& sheet, const QString& path);

struct CsvImport {
    QList<PriceRecord> records;  // every row placed, in order; empty when any could not be
    QStringList problems;        // one line for every row that cannot be placed
    QString encoding;            // what the text was read as: "UTF-8" or "Windows-1252"
    bool readable = true;        // false: the file itself could not be read (one problem says why)
};

// Reads a spreadsheet file: UTF-8 with or without a byte-order mark, else
// Windows-1252 (what spreadsheets save as plain "CSV" on Western Windows);
// commas or semicolons, quotes where the spreadsheet put them. Rows are
// numbered as the spreadsheet numbers them, the header being row 1. A row
// with the shop's note is taken as written; any other must be one the shop
// takes as it stands.
CsvImport importCsv(const QByteArray& bytes);

// The same from the file at `path`: only a plain file, and only as large as
// a price list's spreadsheet can be; a pipe or a device is refused at once.
CsvImport importCsvFile(const QString& path);

} // namespace plimbo::prices
