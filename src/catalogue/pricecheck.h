#pragma once
// What the shop will make of a price list, record by record, in plain words:
// for the shop owner who edits the list by hand and wants to know before the
// disk goes into the kiosk. It reads the list with the shop's own reader and
// catalogue, so it can never disagree with them.

#include <QString>
#include <QStringList>

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

} // namespace plimbo
