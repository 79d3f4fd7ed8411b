#pragma once
// What the shop will make of a price list, record by record, in plain words:
// for the shop owner who edits the list by hand and wants to know before the
// disk goes into the kiosk. It reads the list with the shop's own reader and
// catalogue, so it can never disagree with them.

#include <QString>
#include <QStringList>
#include <optional>

namespace plimbo {

struct PriceCheck {
    enum Verdict { Clean = 0, Warnings = 1, Refused = 2 };

    QStringList lines;   // one or more lines a record, then the summary
    Verdict verdict = Clean;
    int accepted = 0;
    int skipped = 0;
    int warnings = 0;
};

PriceCheck checkPriceFile(const QString& path);

// A text the shop read from the list that is really UTF-8, as a spreadsheet
// saves it, taken byte for byte as Windows-1252 ("CaÃ±Ã³n"): the text it
// was meant to be ("Cañón"). None for any other text.
std::optional<QString> utf8TakenForWindows1252(const QString& text);

} // namespace plimbo
