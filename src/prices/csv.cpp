#include "csv.h"

#include "catalogue/pricecheck.h"
#include "catalogue/pricefile.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace plimbo::prices {

namespace {

constexpr int Columns = 2 + 2 * PairCount;  // the record's fields; the shop's note follows
constexpr int NoteColumn = Columns;

QString header(int column)
{
    return column == NoteColumn ? NoteHeader : fieldName(column);
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

bool asciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// What spreadsheets put between thousands: a point, a comma, a blank (also
// the ones that do not break), an apostrophe.
bool thousandsMark(QChar c)
{
    return c == QLatin1Char('.') || c == QLatin1Char(',') || c == QLatin1Char(' ') || c == QChar(0x00A0) ||
           c == QChar(0x202F) || c == QLatin1Char('\'');
}

// The digits of a whole number as a spreadsheet writes it: "65", "65.00",
// "65,00", a thousand as "1.000", "1,000", "1 000" or "1.000,00". None for
// anything else: a fraction that is not zero ("65.5"), digits grouped other
// than by threes ("1.00.0").
std::optional<QString> wholeDigits(QString text)
{
    // A fraction of one or two zeros; three digits after a mark are thousands.
    QChar point;
    const qsizetype last = std::max(text.lastIndexOf(QLatin1Char('.')), text.lastIndexOf(QLatin1Char(',')));
    if (last >= 0) {
        const QString fraction = text.mid(last + 1);
        if (!fraction.isEmpty() && fraction.size() <= 2 && std::all_of(fraction.begin(), fraction.end(), asciiDigit)) {
            if (fraction.count(QLatin1Char('0')) != fraction.size())
                return std::nullopt;
            point = text[last];
            text.truncate(last);
        }
    }
    QString digits;
    QChar mark;      // the one thousands mark, once seen
    int group = 0;   // digits since the last mark
    for (const QChar c : text) {
        if (asciiDigit(c)) {
            digits += c;
            ++group;
            continue;
        }
        if (!thousandsMark(c) || c == point || (!mark.isNull() && c != mark) || group < 1 || group > 3 ||
            (!mark.isNull() && group != 3))
            return std::nullopt;
        mark = c;
        group = 0;
    }
    if (digits.isEmpty() || (!mark.isNull() && group != 3))
        return std::nullopt;
    return digits;
}

// A price as a spreadsheet writes a whole number of dollars. A row taken as
// written may hold a negative price, as the file may.
std::variant<int, QString> readCsvPrice(const QString& cell, bool asWritten)
{
    const QString text = cell.trimmed();
    const bool negative = asWritten && text.startsWith(QLatin1Char('-'));
    const auto digits = wholeDigits(negative ? text.mid(1) : text);
    if (negative && digits && digits->size() <= 5 && digits->toInt() <= -Int16::Min)
        return -digits->toInt();
    return readPriceCell(digits.value_or(text));
}

// Windows-1252 leaves five bytes without a character; decoding keeps them
// as these.
bool undefinedInWindows1252(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0x81 || u == 0x8D || u == 0x8F || u == 0x90 || u == 0x9D;
}

// What a row without the shop's note must be: a record the shop takes into
// its category as it stands, its brand one the shop knows and listed once
// there, no price below 0. Every row is given, in order, noted or not, so
// that the counts are the shop's.
class PlainRows {
public:
    QList<std::pair<int, QString>> problems(const PriceRecord& r, RecordFate fate)
    {
        QList<std::pair<int, QString>> out;
        if (fate == RecordFate::SkippedCategory) {
            out.append({0, QStringLiteral("the category is \"%1\" or \"%2\".")
                               .arg(categoryText(Category::Adult), categoryText(Category::Child))});
        } else if (fate == RecordFate::SkippedSurplus) {
            out.append({0, QStringLiteral("the %1 list already has %2 rows, all the shop takes.")
                               .arg(r.category, QString::number(RecordsPerCategory))});
        } else {
            QSet<QString>& seen = brands_[fate == RecordFate::AcceptedAdult ? 0 : 1];
            if (!knownBrandPosition(r.brand))
                out.append({1, QStringLiteral("the brand is not one the shop knows (%1).").arg(knownBrandsInWords())});
            else if (seen.contains(r.brand))
                out.append({1, QStringLiteral("the %1 list already has this brand; the shop takes each brand once.")
                                   .arg(r.category)});
            seen.insert(r.brand);
        }
        for (int j = 0; j < PairCount; ++j)
            if (r.price[j].value() < 0)
                out.append({3 + 2 * j, QStringLiteral("a price is not below 0.")});
        return out;
    }

private:
    std::array<QSet<QString>, 2> brands_;
};

// The shop's note on a record: why it is passed over, or what else the
// shop makes of it.
QString noteOn(int record, const QList<PriceFinding>& findings)
{
    QStringList said;
    for (const PriceFinding& f : findings)
        if (f.record == record)
            said << (f.skipped ? QStringLiteral("Passed over: ") : QString()) + f.text;
    return said.join(QLatin1Char(' '));
}

} // namespace

CsvExport exportCsv(const PriceList& list)
{
    const QChar comma = QLatin1Char(',');
    QStringList heads;
    for (int c = 0; c <= NoteColumn; ++c)
        heads << header(c);
    QString out = heads.join(comma) + QStringLiteral("\r\n");
    const std::vector<RecordFate> fates = list.fates();
    const QList<PriceFinding> findings = list.check().findings;
    PlainRows plain;
    CsvExport result;
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        const PriceRecord& r = list.entries[i].values;
        // A row the importer would refuse travels as the file holds it.
        const bool noted = !plain.problems(r, fates[i]).isEmpty();
        QStringList cells{csvField(r.category, comma), csvField(noted ? r.brand : r.brand.trimmed(), comma)};
        for (int j = 0; j < PairCount; ++j)
            cells << csvField(r.type[j], comma) << QString::number(r.price[j].value());
        cells << csvField(noted ? noteOn(static_cast<int>(i) + 1, findings) : QString(), comma);
        result.noted += noted ? 1 : 0;
        ++result.rows;
        out += cells.join(comma) + QStringLiteral("\r\n");
    }
    result.bytes = QByteArray("\xEF\xBB\xBF") + out.toUtf8();
    return result;
}

QString exportedWords(const CsvExport& sheet, const QString& path)
{
    QString words = QStringLiteral("Exported %1 records to %2.").arg(QString::number(sheet.rows), path);
    if (sheet.noted > 0)
        words += QStringLiteral(" %1 the shop passes over or reads with a warning: the column \"%2\" says why, and such "
                                "rows are imported back exactly as they are written.")
                     .arg(sheet.noted == 1 ? QStringLiteral("One of them") : QStringLiteral("%1 of them").arg(sheet.noted),
                          NoteHeader);
    return words;
}

CsvImport importCsv(const QByteArray& bytes)
{
    CsvImport result;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    result.encoding = QStringLiteral("UTF-8");
    if (utf8.hasError()) {
        if (bytes.startsWith("\xEF\xBB\xBF")) {
            result.problems << QStringLiteral("The file is marked as UTF-8 text but is not: save it again from the "
                                              "spreadsheet as \"CSV UTF-8\".");
            return result;
        }
        // What a spreadsheet saves as plain "CSV" on a Western Windows.
        text = decodeWindows1252(bytes.constData(), bytes.size());
        result.encoding = QStringLiteral("Windows-1252");
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QString firstLine = text.left(text.indexOf(QLatin1Char('\n')));
    const QChar separator = firstLine.count(QLatin1Char(';')) > firstLine.count(QLatin1Char(','))
                                ? QLatin1Char(';') : QLatin1Char(',');
    const std::vector<Row> rows = splitRows(text, separator);

    // The header names the columns, in any order; the note's may be missing.
    std::array<int, NoteColumn + 1> at{};
    at.fill(-1);
    if (rows.empty() || rows.front().number != 1) {
        result.problems << QStringLiteral("Row 1: the header row is missing; it names the columns Category, Brand, "
                                          "Type 1, Price 1, ... Type 5, Price 5.");
        return result;
    }
    const QStringList& heads = rows.front().cells;
    for (int c = 0; c <= NoteColumn; ++c) {
        for (qsizetype k = 0; k < heads.size(); ++k)
            if (heads[k].trimmed().compare(header(c), Qt::CaseInsensitive) == 0)
                at[static_cast<std::size_t>(c)] = static_cast<int>(k);
        if (at[static_cast<std::size_t>(c)] < 0 && c != NoteColumn)
            result.problems << QStringLiteral("Row 1: no column is headed \"%1\".").arg(header(c));
    }
    if (!result.problems.isEmpty())
        return result;

    QList<PriceRecord> records;
    Catalogue catalogue;
    PlainRows plain;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const Row& row = rows[i];
        auto cell = [&](int c) { return row.cells.value(at[static_cast<std::size_t>(c)]); };
        auto problem = [&](int c, const QString& why) {
            result.problems << QStringLiteral("Row %1, %2: \"%3\": %4")
                                   .arg(QString::number(row.number), header(c), cell(c), why);
        };
        const qsizetype before = result.problems.size();
        const bool noted = !cell(NoteColumn).trimmed().isEmpty();
        PriceRecord r;
        r.category = noted ? cell(0) : cell(0).trimmed();
        r.brand = noted ? cell(1) : knownBrandFor(cell(1)).value_or(cell(1).trimmed());
        for (int c = 0; c < Columns; ++c) {
            const QString value = cell(c);
            // The category and brand of a row not taken as written are looked at as such below.
            const bool text = c < 2 ? noted : c % 2 == 0;
            if (const auto odd = std::find_if(value.begin(), value.end(), undefinedInWindows1252); odd != value.end())
                problem(c, QStringLiteral("the byte %1 (hex) is no character in Windows-1252, and the file is not "
                                          "UTF-8 text either: save it from the spreadsheet as \"CSV UTF-8\".")
                               .arg(QString::number(odd->unicode(), 16).toUpper()));
            else if (const auto why = text ? textRefusal(value, c) : std::nullopt)
                problem(c, *why);
        }
        for (int j = 0; j < PairCount; ++j) {
            r.type[j] = cell(2 + 2 * j);
            const auto price = readCsvPrice(cell(3 + 2 * j), noted);
            if (const QString* why = std::get_if<QString>(&price))
                problem(3 + 2 * j, *why);
            else
                r.price[j] = Int16(std::get<int>(price));
        }
        for (const auto& [field, why] : plain.problems(r, catalogue.accept(r)))
            if (!noted)
                problem(field, why);
        if (result.problems.size() == before)
            records.append(r);
    }
    if (result.problems.isEmpty())
        result.records = records;
    return result;
}

CsvImport importCsvFile(const QString& path)
{
    QFile file;
    std::optional<QString> why = openPlainFile(path, file);
    QByteArray bytes;
    if (!why) {
        bytes = file.read(MaxListBytes + 1);
        if (file.error() != QFileDevice::NoError)
            why = file.errorString();
        else if (bytes.size() > MaxListBytes)
            why = QStringLiteral("it holds more than %1, far more than a price list's spreadsheet")
                      .arg(QLocale::c().formattedDataSize(MaxListBytes));
    }
    if (!why)
        return importCsv(bytes);
    CsvImport result;
    result.readable = false;
    result.problems << QStringLiteral("%1 could not be read: %2.").arg(QFileInfo(path).absoluteFilePath(), *why);
    return result;
}

} // namespace plimbo::prices
