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

QString knownBrandList()
{
    QStringList names;
    for (const QString& b : KnownBrand())
        names << quoted(b);
    return names.join(QStringLiteral(", "));
}

QString categoryWords(Category c)
{
    return categoryName(c).toLower();
}

class Checker {
public:
    Checker(PriceCheck& out, const Catalogue& catalogue) : out_(out), catalogue_(catalogue) {}

    void record(int n, const PriceRecord& r, RecordFate fate)
    {
        record_ = n;
        const QString head = QStringLiteral("Record %1: ").arg(n);
        switch (fate) {
        case RecordFate::SkippedCategory:
            skip(head + QStringLiteral("skipped: the category %1 is not exactly \"Adult\" or \"Child\" "
                                       "(letter case and blanks count).")
                            .arg(quoted(r.category)));
            return;
        case RecordFate::SkippedSurplus:
            skip(head + QStringLiteral("skipped: the %1 list already has five records; only the first five count.")
                            .arg(categoryWords(categoryOf(r.category).value_or(Category::Child))));
            return;
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
            warn(1, QStringLiteral("the brand %1 is not one of the five known brands (%2): it is shown as a brand, "
                                "but with no types or prices.")
                     .arg(quoted(r.brand), knownBrandList()));
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
    }

private:
    // The shop packs a brand's priced types into the first slots and leaves
    // the slots past them as an earlier record of that brand left them.
    QString listedTwice(Category c, const PriceRecord& r) const
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

    void skip(const QString& line)
    {
        ++out_.skipped;
        ++out_.warnings;
        out_.lines << line;
        out_.findings.append({.record = record_, .field = 0,
                              .text = line.mid(line.indexOf(QLatin1String("skipped: ")) + 9), .skipped = true});
    }
    void warn(int field, const QString& text)
    {
        ++out_.warnings;
        out_.lines << QStringLiteral("    warning: ") + text;
        out_.findings.append({.record = record_, .field = field, .text = text});
    }

    PriceCheck& out_;
    const Catalogue& catalogue_;  // as the shop holds it after each record
    std::array<int, 2> counts_{};
    std::array<QSet<QString>, 2> brands_;
    int record_ = 0;
};

void summarise(PriceCheck& out, const Catalogue& catalogue)
{
    out.verdict = out.warnings > 0 ? PriceCheck::Warnings : PriceCheck::Clean;
    const auto counted = [](int n, const char* one, const char* many) {
        return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
    };
    out.lines << QStringLiteral("%1: %2 accepted (%3 adult, %4 children's), %5 skipped; %6.")
                     .arg(counted(out.accepted + out.skipped, "record", "records"), QString::number(out.accepted),
                          QString::number(catalogue.Adult.Count.value()), QString::number(catalogue.Child.Count.value()),
                          QString::number(out.skipped), counted(out.warnings, "warning", "warnings"));
}

} // namespace

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
    PriceCheck out;
    Catalogue catalogue;
    Checker checker(out, catalogue);
    try {
        loadPriceFile(path, catalogue,
                      [&](int n, const PriceRecord& r, RecordFate fate) { checker.record(n, r, fate); });
    } catch (const PriceFileError& e) {
        out.lines << e.message();
        out.lines << QStringLiteral("The shop would refuse this price list and not start.");
        out.verdict = PriceCheck::Refused;
        return out;
    }
    summarise(out, catalogue);
    return out;
}

PriceCheck checkPriceRecords(const QList<PriceRecord>& records)
{
    PriceCheck out;
    Catalogue catalogue;
    Checker checker(out, catalogue);
    int n = 0;
    for (const PriceRecord& r : records) {
        const RecordFate fate = catalogue.accept(r);
        checker.record(++n, r, fate);
    }
    summarise(out, catalogue);
    return out;
}

} // namespace plimbo
