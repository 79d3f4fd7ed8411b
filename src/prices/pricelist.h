#pragma once
// The price list as the owner edits it: the records in file order, each with
// the bytes it was read from, so that what the owner did not change goes
// back to the disk exactly as it came. Reads with the shop's own reader and
// judges with the shop's own catalogue; no widgets.

#include "catalogue/catalogue.h"
#include "catalogue/pricecheck.h"
#include "buildinfo.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

namespace plimbo::prices {

// The largest file taken as a price list. Ten records fill about a kilobyte;
// what is larger than this is not a list the owner keeps by hand.
inline constexpr qint64 MaxListBytes = build::MaxListBytes;
// The highest price the file can hold, and the lowest a shoe is sold at.
inline constexpr int MaxPrice = 32767;
// What a price of 0 shows.
inline const QString NotSold = QStringLiteral("not sold");

// One record as the file holds it.
struct ListedRecord {
    PriceRecord values;
    QByteArray raw;   // its bytes as read, line end included; empty once changed, or new
    QByteArray gap;   // the blank lines and blanks after it, as read
};

// A list the shop refuses: its message, and where the unreadable rest begins.
struct Refusal {
    QString message;
    int record = 0;       // the record the shop stops at
    qint64 restBytes = 0; // from that record to the end of the file
};

class PriceList {
public:
    // Reads a list from its bytes. Never raises: a list the shop refuses
    // comes back with the records before the fault and the refusal.
    static PriceList fromBytes(const QByteArray& bytes, const QString& shownPath);
    // Reads the file at `path`, refusing what is not a plain file or is far
    // larger than a price list. Raises PriceFileError when it cannot be opened.
    // Messages name the file as `shownAs` when it is given.
    static PriceList open(const QString& path, const QString& shownAs = {});
    // A new list: each category's five known brands in the shop's order, no types.
    static PriceList fresh();

    // The bytes a save writes: unchanged records as read, changed and new
    // ones in the shop's own form. The unreadable rest of a refused list is
    // never written.
    QByteArray bytes() const;
    QList<PriceRecord> records() const;
    // Why a record cannot be written to the file ("Record 3, Type 2: ..."):
    // a text the file cannot hold. None when every record can be.
    std::optional<QString> unwritable() const;
    // What the shop does with each record, in file order.
    std::vector<RecordFate> fates() const;
    PriceCheck check() const { return checkPriceRecords(records()); }

    // Replaces a record's values; it is then written in the shop's form.
    void setValues(std::size_t index, const PriceRecord& values);
    // Puts the records of `values` in place of the list's, keeping the bytes
    // of each record that stays as it was at its place.
    void replaceAll(const QList<PriceRecord>& values);
    void insert(std::size_t index, const PriceRecord& values);
    void remove(std::size_t index);

    QByteArray prefix;                 // blank lines before the first record
    std::vector<ListedRecord> entries;
    QByteArray lineEnd = "\r\n";       // the file's own; CR LF for a new list
    std::optional<Refusal> refusal;
};

// A record written as the shop's own form, without its line end:
// "Adult","Nike    ","Running",80,... Its texts must be ones the file can
// hold (see unwritable()).
QByteArray shopForm(const PriceRecord& record);

// Field `field` (0..11, as fieldName() names them) of a record as text: the
// category, the brand or a type name as it is, a price as its number.
QString fieldText(const PriceRecord& record, int field);

// The first field in which two records differ; none when they are the same.
std::optional<int> firstDifference(const PriceRecord& a, const PriceRecord& b);

// Why a text cannot be written to the list as field `field` of a record (the
// category, the brand or a type name), in the owner's words; none when it can.
std::optional<QString> textRefusal(const QString& text, int field = 2);

// The category a record's text was meant to be when only its letter case or
// the blanks around it are wrong: "adult" is "Adult". None for any other text.
std::optional<Category> categoryMeant(const QString& text);
// A price as typed in a cell: the whole number, or why it is refused.
// Empty and "not sold" mean 0.
std::variant<int, QString> readPriceCell(const QString& text);

// The known brand `text` stands for, compared without blanks or letter case:
// "nike" is "Nike    ". None for any other text.
std::optional<QString> knownBrandFor(const QString& text);

// Edit > Change prices: a percentage or a dollar amount, in hundredths
// (+12.5 % is 1250, -$2.50 is -250), for the whole list, one category or one
// brand of a category.
struct PriceChange {
    enum Kind { Percent, Dollars } kind = Percent;
    qint64 hundredths = 0;
    std::optional<Category> category;  // none: both
    std::optional<QString> brand;      // as the file holds it; none: every brand
};
// The list with every price in reach changed, rounded to whole dollars with
// halves up; a price of 0 stays 0. Refused as a whole, with every price that
// would fall below 1 or pass 32,767, before anything changes.
std::variant<PriceList, QStringList> changePrices(const PriceList& list, const PriceChange& change);

} // namespace plimbo::prices
