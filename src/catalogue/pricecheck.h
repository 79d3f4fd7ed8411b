#pragma once
// What the shop will make of a price list, record by record, in plain words:
// for the shop owner who edits the list by hand and wants to know before the
// disk goes into the kiosk. It reads the list with the shop's own reader and
// catalogue, so it can never disagree with them.

#include "catalogue.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace plimbo {

// One thing the checker says about one field of a record: what the owner
// sees beside that field in the price-list editor.
struct PriceFinding {
    int record = 0;      // 1 for the first record
    int field = 0;       // 0..11, as fieldName() names them; Category for a skipped record
    QString text;
    bool skipped = false;  // the shop passes the whole record over
};

struct PriceCheck {
    enum Verdict { Clean = 0, Warnings = 1, Refused = 2 };

    QStringList lines;   // one or more lines a record, then the summary
    Verdict verdict = Clean;
    int accepted = 0;
    int skipped = 0;
    int warnings = 0;
    QList<PriceFinding> findings;  // the skips and warnings, field by field
};

PriceCheck checkPriceFile(const QString& path);

// The check one record at a time, in the list's order: each record is filed
// as the shop files it and judged against the records before it.
class PriceChecker {
public:
    // Files the next record and checks it; what the shop did with it.
    RecordFate add(const PriceRecord& record);
    // What the check would find in `record` were it the next one; nothing is filed.
    QList<PriceFinding> findingsFor(const PriceRecord& record) const;
    // The check of the records added so far, without its summary.
    const PriceCheck& soFar() const { return out_; }
    // The same with its verdict and summary line.
    PriceCheck result() const;

private:
    QString listedTwice(Category c, const PriceRecord& r) const;
    void skip(const QString& line);
    void warn(int field, const QString& text);

    PriceCheck out_;
    Catalogue catalogue_;  // as the shop holds it after each record
    std::array<int, 2> counts_{};
    std::array<QSet<QString>, 2> brands_;
    int record_ = 0;
};

// The same for records already read (the editor's list as it stands).
PriceCheck checkPriceRecords(const QList<PriceRecord>& records);

// A text the shop read from the list that is really UTF-8, as a spreadsheet
// saves it, taken byte for byte as Windows-1252 ("CaÃ±Ã³n"): the text it
// was meant to be ("Cañón"). None for any other text.
std::optional<QString> utf8TakenForWindows1252(const QString& text);

} // namespace plimbo
