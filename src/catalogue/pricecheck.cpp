#include "pricecheck.h"

#include "catalogue.h"
#include "errors.h"
#include "pricefile.h"

#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace plimbo {

namespace {

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString categoryWords(Category c)
{
    return categoryName(c).toLower();
}

} // namespace

RecordFate PriceChecker::add(const PriceRecord& r)
{
    const RecordFate fate = catalogue_.accept(r);
    record_ += 1;
    const QString head = QStringLiteral("Record %1: ").arg(record_);
    switch (fate) {
    case RecordFate::SkippedCategory:
        skip(head + QStringLiteral("skipped: the category %1 is not exactly %2 or %3 (letter case and blanks count).")
                        .arg(quoted(r.category), quoted(categoryText(Category::Adult)),
                             quoted(categoryText(Category::Child))));
        return fate;
    case RecordFate::SkippedSurplus:
        skip(head + QStringLiteral("skipped: the %1 list already has %2 records; only the first %2 count.")
                        .arg(categoryWords(categoryOf(r.category).value_or(Category::Child)),
                             countInWords(RecordsPerCategory)));
        return fate;
    case RecordFate::AcceptedAdult:
    case RecordFate::AcceptedChild:
        break;
    }

    const Category c = fate == RecordFate::AcceptedAdult ? Category::Adult : Category::Child;
    int& count = counts_[c == Category::Adult ? 0 : 1];
    ++count;
    ++out_.accepted;
    out_.lines << head + QStringLiteral("accepted as %1 record %2, brand %3.")
                             .arg(categoryWords(c), QString::number(count), quoted(r.brand));

    const bool known = knownBrandPosition(r.brand).has_value();
    if (!known)
        warn(1, QStringLiteral("the brand %1 is not one of the %2 known brands (%3): it is shown as a brand, "
                               "but with no types or prices.")
                    .arg(quoted(r.brand), countInWords(KnownBrandCount), knownBrandsInWords(BrandWords::AsInFile)));
    QSet<QString>& seen = brands_[c == Category::Adult ? 0 : 1];
    if (seen.contains(r.brand))
        warn(1, listedTwice(c, r));
    seen.insert(r.brand);

    for (int j = 0; j < PairCount; ++j)
        if (const QString& text = r.type[j]; const auto meant = utf8TakenForWindows1252(text))
            warn(2 + 2 * j, QStringLiteral("%1 is %2 saved as UTF-8, not Windows-1252: customers see %1. Save the list "
                                           "as Windows-1252 (\"ANSI\"), or type %2 again.")
                                .arg(quoted(text), quoted(*meant)));

    QStringList notOffered;
    for (int j = 0; j < PairCount; ++j) {
        const int price = r.price[j].value();
        if (price == 0)
            notOffered << quoted(r.type[j]);
        else if (price < 0)
            warn(3 + 2 * j, QStringLiteral("%1 has the negative price %2.").arg(quoted(r.type[j]), QString::number(price)));
    }
    if (known && !notOffered.isEmpty())
        out_.lines << QStringLiteral("    note: price 0, so not offered: %1.").arg(notOffered.join(QStringLiteral(", ")));
    return fate;
}

QList<PriceFinding> PriceChecker::findingsFor(const PriceRecord& record) const
{
    PriceChecker trial = *this;
    trial.out_ = {};  // what came before is not copied again
    trial.add(record);
    return trial.out_.findings;
}

// The shop packs a brand's priced types into the first slots and leaves
// the slots past them as an earlier record of that brand left them.
QString PriceChecker::listedTwice(Category c, const PriceRecord& r) const
{
    const QString head = QStringLiteral("the brand %1 is listed twice in the %2 records: ")
                             .arg(quoted(r.brand), categoryWords(c));
    const auto b = knownBrandPosition(r.brand);
    int priced = 0;
    for (int j = 0; j < PairCount; ++j)
        priced += r.price[j].value() != 0 ? 1 : 0;
    QStringList kept;
    if (b) {
        const TextSlots& types = catalogue_.section(c).BrandType[*b];
        for (int slot = priced; slot < PairCount; ++slot)
            if (!types[slot].isEmpty())
                kept << quoted(types[slot]);
    }
    if (kept.isEmpty())
        return head + QStringLiteral("its types and prices are replaced by this record's.");
    return head + QStringLiteral("the shop shows this record's %1 priced %2 first, then %3 left with their "
                                 "prices by an earlier record, since this record prices fewer types.")
                      .arg(QString::number(priced), QLatin1String(priced == 1 ? "type" : "types"),
                           kept.join(QStringLiteral(", ")));
}

void PriceChecker::skip(const QString& line)
{
    ++out_.skipped;
    ++out_.warnings;
    out_.lines << line;
    out_.findings.append({.record = record_, .field = 0,
                          .text = line.mid(line.indexOf(QLatin1String("skipped: ")) + 9), .skipped = true});
}

void PriceChecker::warn(int field, const QString& text)
{
    ++out_.warnings;
    out_.lines << QStringLiteral("    warning: ") + text;
    out_.findings.append({.record = record_, .field = field, .text = text});
}

PriceCheck PriceChecker::result() const
{
    PriceCheck out = out_;
    out.verdict = out.warnings > 0 ? PriceCheck::Warnings : PriceCheck::Clean;
    out.lines << QStringLiteral("%1: %2 accepted (%3 adult, %4 children's), %5 skipped; %6.")
                     .arg(counted(out.accepted + out.skipped, "record", "records"), QString::number(out.accepted),
                          QString::number(catalogue_.Adult.Count.value()), QString::number(catalogue_.Child.Count.value()),
                          QString::number(out.skipped), counted(out.warnings, "warning", "warnings"));
    return out;
}

std::optional<QString> utf8TakenForWindows1252(const QString& text)
{
    const auto bytes = encodeWindows1252(text);
    if (!bytes || std::all_of(bytes->begin(), bytes->end(), [](char b) { return (b & 0x80) == 0; }))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString meant = utf8.decode(*bytes);
    if (utf8.hasError())
        return std::nullopt;
    return meant;
}

PriceCheck checkPriceFile(const QString& path)
{
    PriceChecker checker;
    Catalogue catalogue;
    try {
        loadPriceFile(path, catalogue, [&](int, const PriceRecord& r, RecordFate) { checker.add(r); });
    } catch (const PriceFileError& e) {
        PriceCheck out = checker.soFar();
        out.lines << e.message();
        out.lines << QStringLiteral("The shop would refuse this price list and not start.");
        out.verdict = PriceCheck::Refused;
        return out;
    }
    return checker.result();
}

PriceCheck checkPriceRecords(const QList<PriceRecord>& records)
{
    PriceChecker checker;
    for (const PriceRecord& r : records)
        checker.add(r);
    return checker.result();
}

} // namespace plimbo
