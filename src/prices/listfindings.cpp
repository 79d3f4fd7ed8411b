#include "listfindings.h"

#include "catalogue/pricefile.h"

namespace plimbo::prices {

namespace {

// A record as the file holds it, its pairs that say nothing left out:
// "adult", "Reebok  ", "Tennis" 70, "Trail" not sold
QString contents(const PriceRecord& r)
{
    QStringList parts{QStringLiteral("\"%1\"").arg(r.category), QStringLiteral("\"%1\"").arg(r.brand)};
    for (int j = 0; j < PairCount; ++j)
        if (!r.type[j].isEmpty() || r.price[j].value() != 0)
            parts << QStringLiteral("\"%1\" %2").arg(r.type[j], r.price[j].value() == 0 ? NotSold
                                                                                       : QString::number(r.price[j].value()));
    return parts.join(QStringLiteral(", "));
}

QString counted(qsizetype n, const QString& one, const QString& many)
{
    return n == 1 ? one : many.arg(n);
}

} // namespace

ListFindings describeList(const EditorDocument& document, const WidthWarning& tooWide)
{
    ListFindings out;
    const PriceList& list = document.list();
    const std::vector<RecordFate>& fates = document.fates();
    const std::vector<std::size_t> rows[2] = {document.rowsOf(Category::Adult), document.rowsOf(Category::Child)};
    const auto where = [&](std::size_t record, int field) {
        const Category c = fates[record] == RecordFate::AcceptedAdult ? Category::Adult : Category::Child;
        const auto& taken = rows[c == Category::Adult ? 0 : 1];
        const auto row = std::find(taken.begin(), taken.end(), record) - taken.begin() + 1;
        return QStringLiteral("%1 row %2, %3: ").arg(categoryName(c), QString::number(row), fieldName(field));
    };

    for (const PriceFinding& f : document.check().findings) {
        const auto record = static_cast<std::size_t>(f.record - 1);
        const PriceRecord& r = list.entries[record].values;
        if (!f.skipped) {
            out.warnings.push_back({where(record, f.field) + f.text, record, f.field});
            continue;
        }
        QString line = QStringLiteral("Record %1 (%2): %3").arg(QString::number(f.record), contents(r), f.text);
        if (const auto meant = categoryMeant(r.category))
            line += QStringLiteral(" Enter makes it \"%1\".").arg(categoryText(*meant));
        out.skipped.push_back({line, record, 0});
    }
    for (const auto& taken : rows)
        for (const std::size_t record : taken) {
            const PriceRecord& r = list.entries[record].values;
            for (int pair = 0; pair < PairCount; ++pair)
                if (r.price[pair].value() != 0)
                    if (const auto wide = tooWide(fates[record] == RecordFate::AcceptedAdult ? Category::Adult : Category::Child,
                                                  r.type[pair]))
                        out.warnings.push_back({where(record, 2 + 2 * pair) + *wide, record, 2 + 2 * pair});
        }

    if (list.refusal)
        out.verdict = QStringLiteral("The shop refuses this list and will not start with it. Records from %1 on could "
                                     "not be read; they are not shown:\n%2")
                          .arg(QString::number(list.refusal->record), list.refusal->message);
    else if (out.skipped.empty() && out.warnings.empty())
        out.verdict = QStringLiteral("The shop will read this list as shown");
    else
        out.verdict = QStringLiteral("The shop will not read this list as shown: %1 passed over, %2 to look at (listed below).")
                          .arg(counted(qsizetype(out.skipped.size()), QStringLiteral("1 record"), QStringLiteral("%1 records")),
                               counted(qsizetype(out.warnings.size()), QStringLiteral("1 thing"), QStringLiteral("%1 things")));
    return out;
}

} // namespace plimbo::prices
