#include "csv.h"

#include "safesave.h"
#include "catalogue/pricecheck.h"
#include "catalogue/pricefile.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <functional>

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

// The shop's note on a record, from what the check finds in it: every
// finding, when one is a reason the importer would refuse the record as it
// stands (the shop passes it over, or warns of its brand or a price, fields
// 1, 3, 5...); empty otherwise.
QString noteFor(const QList<PriceFinding>& findings)
{
    if (std::none_of(findings.begin(), findings.end(), [](const PriceFinding& f) { return f.skipped || f.field % 2 == 1; }))
        return {};
    QStringList said;
    for (const PriceFinding& f : findings)
        said << (f.skipped ? QStringLiteral("Passed over: ") : QString()) + f.text;
    return said.join(QLatin1Char(' '));
}

QString exportedWords(const CsvExport& sheet, const QString& path)
{
    QString words = QStringLiteral("Exported %1 to %2.").arg(counted(sheet.rows, "record", "records"), path);
    if (sheet.noted > 0)
        words += QStringLiteral(" %1 the shop passes over or reads with a warning: the column \"%2\" says why, and such "
                                "rows are imported back exactly as they are written.")
                     .arg(sheet.noted == 1 ? QStringLiteral("One of them") : QStringLiteral("%1 of them").arg(sheet.noted),
                          NoteHeader);
    return words;
}

// A row's cells as a record: as written, or as any row is read (blanks
// around the category and brand dropped, the brand as the shop spells it, no
// price below 0). What its cells cannot hold goes to `problems`, by column.
PriceRecord readRow(const std::function<QString(int)>& cell, bool asWritten, bool windows1252,
                    QList<std::pair<int, QString>>& problems)
{
    PriceRecord r;
    r.category = asWritten ? cell(0) : cell(0).trimmed();
    r.brand = asWritten ? cell(1) : knownBrandFor(cell(1)).value_or(cell(1).trimmed());
    for (int c = 0; c < Columns; ++c) {
        const QString value = cell(c);
        // The category and brand of a row not taken as written are looked at by the shop's rules.
        const bool text = c < 2 ? asWritten : c % 2 == 0;
        const auto odd = windows1252 ? std::find_if(value.begin(), value.end(), undefinedInWindows1252) : value.end();
        if (odd != value.end())
            problems.append({c, QStringLiteral("the byte %1 (hex) is no character in Windows-1252, and the file is not "
                                               "UTF-8 text either: save it from the spreadsheet as \"CSV UTF-8\".")
                                    .arg(QString::number(odd->unicode(), 16).toUpper())});
        else if (const auto why = text ? textRefusal(value, c) : std::nullopt)
            problems.append({c, *why});
    }
    for (int j = 0; j < PairCount; ++j) {
        r.type[j] = cell(2 + 2 * j);
        const auto price = readCsvPrice(cell(3 + 2 * j), asWritten);
        if (const QString* why = std::get_if<QString>(&price))
            problems.append({3 + 2 * j, *why});
        else
            r.price[j] = Int16(std::get<int>(price));
    }
    return r;
}

} // namespace

CsvExport exportCsv(const PriceList& list)
{
    const QChar comma = QLatin1Char(',');
    QStringList heads;
    for (int c = 0; c <= NoteColumn; ++c)
        heads << header(c);
    QString out = heads.join(comma) + QStringLiteral("\r\n");
    std::vector<QList<PriceFinding>> found(list.entries.size());
    for (const PriceFinding& f : list.check().findings)
        found[static_cast<std::size_t>(f.record - 1)].append(f);
    CsvExport result;
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
        const PriceRecord& r = list.entries[i].values;
        // A row the importer would refuse travels as the file holds it.
        const QString note = noteFor(found[i]);
        const bool noted = !note.isEmpty();
        QStringList cells{csvField(r.category, comma), csvField(noted ? r.brand : r.brand.trimmed(), comma)};
        for (int j = 0; j < PairCount; ++j)
            cells << csvField(r.type[j], comma) << QString::number(r.price[j].value());
        cells << csvField(note, comma);
        result.noted += noted ? 1 : 0;
        ++result.rows;
        out += cells.join(comma) + QStringLiteral("\r\n");
    }
    result.bytes = QByteArray("\xEF\xBB\xBF") + out.toUtf8();
    return result;
}

Exported exportCsvFile(const PriceList& list, const QString& path)
{
    if (list.refusal)
        return {false, list.refusal->message +
                           QStringLiteral("\nNothing was exported: the rest of the list, from record %1 on, cannot be "
                                          "read, and a spreadsheet without it would not be the list.")
                               .arg(list.refusal->record)};
    const CsvExport sheet = exportCsv(list);
    if (const auto error = writeSafely(path, sheet.bytes))
        return {false, QStringLiteral("Nothing was exported.\n") + *error};
    return {true, exportedWords(sheet, path)};
}

QString importedWords(const CsvImport& read, const QString& name)
{
    QString words = QStringLiteral("Imported %1 from %2, read as %3 text.")
                        .arg(counted(read.records.size(), "row", "rows"), name, read.encoding);
    if (read.asWritten.isEmpty())
        return words;
    QStringList rows;
    for (const int row : read.asWritten)
        rows << QString::number(row);
    const QString last = rows.takeLast();
    return words + QStringLiteral(" %1 %2 taken exactly as written, as the column \"%3\" says.")
                       .arg(rows.isEmpty() ? QStringLiteral("Row ") + last
                                           : QStringLiteral("Rows %1 and %2").arg(rows.join(QStringLiteral(", ")), last),
                            QLatin1String(rows.isEmpty() ? "is" : "are"), NoteHeader);
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
    PriceChecker checker;
    PlainRows plain;
    const bool windows1252 = result.encoding != QLatin1String("UTF-8");
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const Row& row = rows[i];
        auto cell = [&](int c) { return row.cells.value(at[static_cast<std::size_t>(c)]); };
        // A row with the shop's note is taken as written only when the note
        // is what the export says of the row as written; any other is read
        // as every row is.
        QList<std::pair<int, QString>> found;
        const QString note = cell(NoteColumn).trimmed();
        PriceRecord r;
        bool asWritten = false;
        if (!note.isEmpty()) {
            r = readRow(cell, true, windows1252, found);
            asWritten = found.isEmpty() && noteFor(checker.findingsFor(r)) == note;
        }
        if (!asWritten) {
            found.clear();
            r = readRow(cell, false, windows1252, found);
        }
        const auto rules = plain.problems(r, checker.add(r));
        if (asWritten)
            result.asWritten << row.number;
        else
            found += rules;
        for (const auto& [c, why] : found)
            result.problems << QStringLiteral("Row %1, %2: \"%3\": %4")
                                   .arg(QString::number(row.number), header(c), cell(c), why);
        if (found.isEmpty())
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
    why->replace(0, 1, why->left(1).toLower());  // in the middle of the sentence
    result.problems << QStringLiteral("%1 could not be read: %2.").arg(QFileInfo(path).absoluteFilePath(), *why);
    return result;
}

} // namespace plimbo::prices
