#pragma once
// The price list as a spreadsheet: CSV in UTF-8, a header row (Category,
// Brand, Type 1, Price 1, ... Type 5, Price 5) and one row a record, brands
// without their blanks.

#include "pricelist.h"

namespace plimbo::prices {

// The list as a spreadsheet file: UTF-8 with a byte-order mark (so that
// spreadsheets take the accents as they are), commas, CR LF.
QByteArray exportCsv(const PriceList& list);

struct CsvImport {
    QList<PriceRecord> records;  // every row placed, in order; empty when any could not be
    QStringList problems;        // one line for every row that cannot be placed
};

// Reads a spreadsheet file: UTF-8 with or without a byte-order mark, commas
// or semicolons, quotes where the spreadsheet put them. Rows are numbered as
// the spreadsheet numbers them, the header being row 1.
CsvImport importCsv(const QByteArray& bytes);

} // namespace plimbo::prices
