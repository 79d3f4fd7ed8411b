#include "pricelist.h"

#include "catalogue/errors.h"
#include "catalogue/pricefile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace plimbo::prices {

namespace {

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

QByteArray firstLineEnd(const QByteArray& bytes)
{
    const qsizetype at = bytes.indexOf('\n');
    const qsizetype cr = bytes.indexOf('\r');
    if (cr >= 0 && (at < 0 || cr < at))
        return cr + 1 < bytes.size() && bytes[cr + 1] == '\n' ? QByteArray("\r\n") : QByteArray("\r");
    return at >= 0 ? QByteArray("\n") : QByteArray("\r\n");
}

bool sameValues(const PriceRecord& a, const PriceRecord& b)
{
    return !firstDifference(a, b);
}

// Floor division, for changes that take prices down.
qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

} // namespace

PriceList PriceList::fromBytes(const QByteArray& bytes, const QString& shownPath)
{
    PriceList list;
    list.lineEnd = firstLineEnd(bytes);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    PriceFileReader reader(buffer, shownPath);
    qint64 end = 0;  // where the last record read ends
    try {
        while (auto record = reader.next()) {
            const qint64 start = reader.recordStart();
            if (list.entries.empty())
                list.prefix = bytes.left(start);
            else
                list.entries.back().gap = bytes.mid(end, start - end);
            end = reader.offset();
            list.entries.push_back({*record, bytes.mid(start, end - start), {}});
        }
        if (list.entries.empty())
            list.prefix = bytes;
        else
            list.entries.back().gap = bytes.mid(end);
    } catch (const PriceFileError& e) {
        const qint64 start = reader.recordStart();
        if (list.entries.empty())
            list.prefix = bytes.left(start);
        else
            list.entries.back().gap = bytes.mid(end, start - end);
        list.refusal = Refusal{e.message(), reader.recordNumber(), bytes.size() - start};
    }
    return list;
}

PriceList PriceList::open(const QString& path, const QString& shownAs)
{
    QFile file;
    const QString shown = QFileInfo(shownAs.isEmpty() ? path : shownAs).absoluteFilePath();
    openPriceFile(path, file, shown);
    const QByteArray bytes = file.read(MaxListBytes + 1);
    if (bytes.size() <= MaxListBytes && file.error() == QFileDevice::NoError)
        return fromBytes(bytes, shown);
    if (file.error() != QFileDevice::NoError)
        throw PriceFileError(QStringLiteral("The price list %1 could not be read.\nFile: %2\n%3")
                                 .arg(QLatin1String(PriceFileName), shown, file.errorString()));
    // Far too large: the shop's own message when it fails early on, as a
    // picture or any other file that is not a list does.
    PriceList list = fromBytes(bytes.left(64 * 1024), shown);
    if (!list.refusal || list.refusal->record > 1 || list.entries.size() > 0) {
        list.entries.clear();
        list.prefix.clear();
        list.refusal = Refusal{QStringLiteral("The price list %1 could not be read.\nFile: %2\nIt holds %3, "
                                              "far more than a price list: the editor opens lists of up to %4.")
                                   .arg(QLatin1String(PriceFileName), shown,
                                        QLocale::c().formattedDataSize(file.size()),
                                        QLocale::c().formattedDataSize(MaxListBytes)),
                               1, file.size()};
    }
    return list;
}

PriceList PriceList::fresh()
{
    PriceList list;
    for (const Category c : {Category::Adult, Category::Child})
        for (const QString& brand : KnownBrand()) {
            PriceRecord r;
            r.category = categoryText(c);
            r.brand = brand;
            list.entries.push_back({r, {}, {}});
        }
    return list;
}

QByteArray PriceList::bytes() const
{
    QByteArray out = prefix;
    bool ended = true;  // the record before has ended its line
    for (const ListedRecord& e : entries) {
        // A record after one that ended the file without a line end starts a
        // line of its own. (A comma after a record's last field lets the
        // next record follow on the same line, as the shop reads it.)
        if (!ended)
            out += lineEnd;
        const QByteArray& bytes = e.raw.isEmpty() ? shopForm(e.values) + lineEnd : e.raw;
        out += bytes;
        out += e.gap;
        ended = isLineEnd(bytes.back()) || bytes.back() == ',' || e.gap.contains('\n') || e.gap.contains('\r');
    }
    return out;
}

QList<PriceRecord> PriceList::records() const
{
    QList<PriceRecord> out;
    out.reserve(static_cast<qsizetype>(entries.size()));
    for (const ListedRecord& e : entries)
        out.append(e.values);
    return out;
}

std::vector<RecordFate> PriceList::fates() const
{
    Catalogue catalogue;
    std::vector<RecordFate> out;
    out.reserve(entries.size());
    for (const ListedRecord& e : entries)
        out.push_back(catalogue.accept(e.values));
    return out;
}

std::optional<QString> PriceList::unwritable() const
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].raw.isEmpty())
            continue;  // written back as read
        const PriceRecord& r = entries[i].values;
        for (int field = 0; field < 2 + 2 * PairCount; ++field) {
            if (field > 1 && field % 2 == 1)
                continue;  // a price always can be
            const QString& text = field == 0 ? r.category : field == 1 ? r.brand : r.type[(field - 2) / 2];
            if (const auto why = textRefusal(text, field))
                return QStringLiteral("Record %1, %2: %3").arg(QString::number(i + 1), fieldName(field), *why);
        }
    }
    return std::nullopt;
}

void PriceList::setValues(std::size_t index, const PriceRecord& values)
{
    ListedRecord& e = entries.at(index);
    if (sameValues(e.values, values))
        return;
    e.values = values;
    e.raw.clear();
}

void PriceList::replaceAll(const QList<PriceRecord>& values)
{
    std::vector<ListedRecord> out;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (at < entries.size() && sameValues(entries[at].values, values[i]))
            out.push_back(entries[at]);
        else
            out.push_back({values[i], {}, {}});
    }
    entries = std::move(out);
}

void PriceList::insert(std::size_t index, const PriceRecord& values)
{
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(std::min(index, entries.size())),
                   ListedRecord{values, {}, {}});
}

void PriceList::remove(std::size_t index)
{
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
}

QByteArray shopForm(const PriceRecord& record)
{
    const auto text = [](const QString& t) {
        return '"' + encodeWindows1252(t).value_or(QByteArray()) + '"';
    };
    QByteArray out = text(record.category) + ',' + text(record.brand);
    for (int j = 0; j < PairCount; ++j)
        out += ',' + text(record.type[j]) + ',' + QByteArray::number(record.price[j].value());
    return out;
}

std::optional<int> firstDifference(const PriceRecord& a, const PriceRecord& b)
{
    if (a.category != b.category)
        return 0;
    if (a.brand != b.brand)
        return 1;
    for (int j = 0; j < PairCount; ++j) {
        if (a.type[j] != b.type[j])
            return 2 + 2 * j;
        if (a.price[j].value() != b.price[j].value())
            return 3 + 2 * j;
    }
    return std::nullopt;
}

std::optional<QString> textRefusal(const QString& text, int field)
{
    const QString what = field == 0   ? QStringLiteral("A category")
                         : field == 1 ? QStringLiteral("A brand")
                                      : QStringLiteral("A type name");
    if (text.contains(QLatin1Char('"')))
        return QStringLiteral("%1 cannot hold a double quote (\"): the price list uses it to mark "
                              "where the name begins and ends. Use two single quotes ('') instead.").arg(what);
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        return QStringLiteral("%1 cannot hold a line break: each record of the price list is one line.").arg(what);
    if (text.size() > PriceFileReader::MaxTextLength)
        return QStringLiteral("%1 can be at most %2 characters long; this one has %3.")
            .arg(what, QString::number(PriceFileReader::MaxTextLength), QString::number(text.size()));
    if (!encodeWindows1252(text)) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QString one = text[i].isHighSurrogate() && i + 1 < text.size() ? text.mid(i, 2) : text.mid(i, 1);
            if (!encodeWindows1252(one))
                return QStringLiteral("The price list cannot hold the character \"%1\" (U+%2): it is written in "
                                      "Windows-1252, which has no such character.")
                    .arg(one, QStringLiteral("%1").arg(one.toUcs4().value(0), 4, 16, QLatin1Char('0')).toUpper());
        }
    }
    return std::nullopt;
}

std::variant<int, QString> readPriceCell(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.compare(NotSold, Qt::CaseInsensitive) == 0)
        return 0;
    bool digits = true;
    for (const QChar c : t)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!digits)
        return QStringLiteral("A price is a whole number of dollars from 0 to 32,767 (0: not sold); \"%1\" is not.")
            .arg(t);
    if (t.size() > 5 || t.toInt() > MaxPrice)
        return QStringLiteral("A price can be at most 32,767 dollars, the most the price list can hold; %1 is more.")
            .arg(t);
    return t.toInt();
}

std::optional<Category> categoryMeant(const QString& text)
{
    for (const Category c : {Category::Adult, Category::Child})
        if (text != categoryText(c) && text.trimmed().compare(categoryText(c), Qt::CaseInsensitive) == 0)
            return c;
    return std::nullopt;
}

std::optional<QString> knownBrandFor(const QString& text)
{
    for (const QString& b : KnownBrand())
        if (b.trimmed().compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return b;
    return std::nullopt;
}

std::variant<PriceList, QStringList> changePrices(const PriceList& list, const PriceChange& change)
{
    PriceList out = list;
    QStringList refused;
    const std::vector<RecordFate> fates = list.fates();
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        const RecordFate fate = fates[i];
        if (fate != RecordFate::AcceptedAdult && fate != RecordFate::AcceptedChild)
            continue;
        const Category c = fate == RecordFate::AcceptedAdult ? Category::Adult : Category::Child;
        PriceRecord r = list.entries[i].values;
        if ((change.category && *change.category != c) || (change.brand && *change.brand != r.brand))
            continue;
        for (int j = 0; j < PairCount; ++j) {
            const qint64 p = r.price[j].value();
            if (p <= 0)
                continue;  // not sold stays not sold
            const qint64 result = change.kind == PriceChange::Percent
                                      ? floorDiv(p * (10000 + change.hundredths) + 5000, 10000)
                                      : floorDiv(p * 100 + change.hundredths + 50, 100);
            if (result < 1 || result > MaxPrice)
                refused << QStringLiteral("%1 %2 \"%3\": %4 would become %5.")
                               .arg(categoryName(c), r.brand.trimmed(), r.type[j], QString::number(p),
                                    QString::number(result));
            else
                r.price[j] = Int16(static_cast<int>(result));
        }
        out.setValues(i, r);
    }
    if (!refused.isEmpty())
        return refused;
    return out;
}

} // namespace plimbo::prices
