#include "csv.h"

#include "catalogue/pricefile.h"

#include <QSet>
#include <QStringDecoder>
#include <array>

namespace plimbo::prices {

namespace {

constexpr int Columns = 2 + 2 * PairCount;

QString header(int column)
{
    return fieldName(column);
}

QString csvField(const QString& text, QChar separator)
{
    if (!text.contains(separator) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')) && text.trimmed() == text)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

struct Row {
    int number;            // as the spreadsheet numbers it
    QStringList cells;
};

// Splits the text into rows of cells. A quoted cell may hold separators,
// doubled quotes and line breaks; a row's number counts the rows before it,
// not the lines.
std::vector<Row> splitRows(const QString& text, QChar separator)
{
    std::vector<Row> rows;
    QStringList cells;
    QString cell;
    bool quoted = false, any = false;
    int number = 1;
    auto endRow = [&] {
        if (any || !cell.isEmpty() || !cells.isEmpty()) {
            cells << cell;
            rows.push_back({number, cells});
        }
        cells.clear();
        cell.clear();
        any = false;
        ++number;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            any = true;
        } else if (c == separator) {
            cells << cell;
            cell.clear();
            any = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            endRow();
        } else {
            cell += c;
        }
    }
    if (any || !cell.isEmpty() || !cells.isEmpty())
        endRow();
    return rows;
}

// A price as spreadsheets write a whole number: "65", "65.00" or "65,00".
std::variant<int, QString> readCsvPrice(QString text)
{
    text = text.trimmed();
    const qsizetype point = std::max(text.lastIndexOf(QLatin1Char('.')), text.lastIndexOf(QLatin1Char(',')));
    if (point > 0) {
        const QString fraction = text.mid(point + 1);
        if (!fraction.isEmpty() && fraction.count(QLatin1Char('0')) == fraction.size())
            text = text.left(point);
    }
    return readPriceCell(text);
}

} // namespace

QByteArray exportCsv(const PriceList& list)
{
    const QChar comma = QLatin1Char(',');
    QStringList heads;
    for (int c = 0; c < Columns; ++c)
        heads << header(c);
    QString out = heads.join(comma) + QStringLiteral("\r\n");
    for (const ListedRecord& e : list.entries) {
        const PriceRecord& r = e.values;
        QStringList cells{csvField(r.category, comma), csvField(r.brand.trimmed(), comma)};
        for (int j = 0; j < PairCount; ++j)
            cells << csvField(r.type[j], comma) << QString::number(r.price[j].value());
        out += cells.join(comma) + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

CsvImport importCsv(const QByteArray& bytes)
{
    CsvImport result;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        result.problems << QStringLiteral("The file is not UTF-8 text: save it from the spreadsheet as "
                                          "\"CSV UTF-8\".");
        return result;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QString firstLine = text.left(text.indexOf(QLatin1Char('\n')));
    const QChar separator = firstLine.count(QLatin1Char(';')) > firstLine.count(QLatin1Char(','))
                                ? QLatin1Char(';') : QLatin1Char(',');
    const std::vector<Row> rows = splitRows(text, separator);

    // The header names the columns, in any order.
    std::array<int, Columns> at{};
    at.fill(-1);
    if (rows.empty() || rows.front().number != 1) {
        result.problems << QStringLiteral("Row 1: the header row is missing; it names the columns Category, Brand, "
                                          "Type 1, Price 1, ... Type 5, Price 5.");
        return result;
    }
    const QStringList& heads = rows.front().cells;
    for (int c = 0; c < Columns; ++c) {
        for (qsizetype k = 0; k < heads.size(); ++k)
            if (heads[k].trimmed().compare(header(c), Qt::CaseInsensitive) == 0)
                at[static_cast<std::size_t>(c)] = static_cast<int>(k);
        if (at[static_cast<std::size_t>(c)] < 0)
            result.problems << QStringLiteral("Row 1: no column is headed \"%1\".").arg(header(c));
    }
    if (!result.problems.isEmpty())
        return result;

    QList<PriceRecord> records;
    std::array<int, 2> counts{};
    std::array<QSet<QString>, 2> brands;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const Row& row = rows[i];
        auto cell = [&](int c) { return row.cells.value(at[static_cast<std::size_t>(c)]); };
        auto problem = [&](int c, const QString& why) {
            result.problems << QStringLiteral("Row %1, %2: \"%3\": %4")
                                   .arg(QString::number(row.number), header(c), cell(c), why);
        };
        const qsizetype before = result.problems.size();
        PriceRecord r;
        r.category = cell(0).trimmed();
        const int k = r.category == QLatin1String("Adult") ? 0 : r.category == QLatin1String("Child") ? 1 : -1;
        if (k < 0)
            problem(0, QStringLiteral("the category is \"Adult\" or \"Child\"."));
        const auto brand = knownBrandFor(cell(1));
        if (!brand)
            problem(1, QStringLiteral("the brand is not one the shop knows (Addidas, Reebok, Nike, Etonic, Converse)."));
        else
            r.brand = *brand;
        for (int j = 0; j < PairCount; ++j) {
            r.type[j] = cell(2 + 2 * j);
            if (const auto why = typeRefusal(r.type[j]))
                problem(2 + 2 * j, *why);
            const auto price = readCsvPrice(cell(3 + 2 * j));
            if (const QString* why = std::get_if<QString>(&price))
                problem(3 + 2 * j, *why);
            else
                r.price[j] = Int16(std::get<int>(price));
        }
        if (k >= 0 && brand) {
            const auto kk = static_cast<std::size_t>(k);
            if (brands[kk].contains(*brand))
                problem(1, QStringLiteral("the %1 list already has this brand; the shop takes each brand once.")
                               .arg(r.category));
            else if (++counts[kk] > 5)
                problem(0, QStringLiteral("the %1 list already has five rows, all the shop takes.").arg(r.category));
            brands[kk].insert(*brand);
        }
        if (result.problems.size() == before)
            records.append(r);
    }
    if (result.problems.isEmpty())
        result.records = records;
    return result;
}

} // namespace plimbo::prices
