#pragma once
// The shop's price list, "A:PlimboPrice.txt": records of 12 comma-separated
// fields (category, brand, then five type/price pairs), texts in double
// quotes, prices as whole numbers, in the Windows-1252 code page.
//
// The reader streams: it holds one record at a time, whatever the file's size.

#include "catalogue.h"

#include <QFile>
#include <QIODevice>
#include <QString>
#include <functional>
#include <optional>

namespace plimbo {

// How the file is named to people, whatever folder stands for drive A.
inline constexpr auto PriceFileName = "A:PlimboPrice.txt";

// The folder that stands for drive A: $PLIMBO_DRIVE_A when set, else the
// current directory.
QString driveAFolder();
// The real path of "A:PlimboPrice.txt".
QString priceFilePath();

// The name of field `index` (0..11) of a record, as shown in error messages:
// "Category", "Brand", "Type 1", "Price 1", ... "Price 5".
QString fieldName(int index);

// Decodes bytes of the Windows-1252 code page.
QString decodeWindows1252(const char* data, qsizetype size);
// The bytes of `text` in the Windows-1252 code page; none when it holds a
// character the code page does not have.
std::optional<QByteArray> encodeWindows1252(const QString& text);

class PriceFileReader {
public:
    // Longest text field accepted, in characters.
    static constexpr int MaxTextLength = 1000;

    PriceFileReader(QIODevice& device, QString realPath);

    // The next record, or none at the end of the file. Raises PriceFileError
    // on anything that cannot be read as the 12 fields of a record.
    std::optional<PriceRecord> next();

    // 1 for the first record; the record last returned or being read.
    int recordNumber() const { return record_; }
    // Where in the file the record last returned or being read starts, and
    // how far the reader has come: byte offsets from the file's start. The
    // record returned last ends at offset(), its line end included.
    qint64 recordStart() const { return recordStart_; }
    qint64 offset() const { return base_ + pos_; }

private:
    // The next byte (0..255) without taking it; -1 at the end of the file.
    int peek()
    {
        return pos_ < buffer_.size() ? static_cast<unsigned char>(buffer_[pos_]) : refill();
    }
    // Takes the next byte, counting lines.
    int get()
    {
        const int c = peek();
        if (c >= 0) {
            ++pos_;
            if (c == '\n' || (c == '\r' && peek() != '\n'))
                ++line_;
        }
        return c;
    }
    int refill();
    void fill();
    void skipBlanks();
    bool atLineEnd();
    void skipBlankLines();
    // The rest of a field up to the next comma or line end; at most the
    // first ShownLength bytes are kept, and `cut` tells whether more followed.
    QByteArray readRest(bool& cut);
    QString readText(int field);
    Int16 readNumber(int field);
    void endField(int field);
    [[noreturn]] void fail(int field, const QString& what) const;

    QIODevice& device_;
    QString realPath_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    qint64 base_ = 0;        // bytes of the file before buffer_
    qint64 recordStart_ = 0;
    bool eof_ = false;
    int record_ = 0;
    int line_ = 1;
    int recordLine_ = 1;     // where the record being read starts
    int shortAt_ = -1;       // the field that follows a line end inside the record
};

// Called for each record read, with what the store did with it.
using RecordObserver = std::function<void(int recordNumber, const PriceRecord&, RecordFate)>;

// Opens the file at `realPath` for reading without waiting on it, only when
// it is a plain file. Returns why not, as a sentence without its full stop
// ("It is a named pipe (FIFO), not a file", or the system's reason); none
// when the file is open.
std::optional<QString> openPlainFile(const QString& realPath, QFile& file);

// Opens the file at `realPath` for reading without waiting on it; only a
// plain file is opened (a named pipe or a device is refused). Raises
// PriceFileError, naming the file, when it cannot be opened.
// Messages name the file as `shownPath` when it is given.
void openPriceFile(const QString& realPath, QFile& file, const QString& shownPath = {});

// Reads the whole file at `realPath` into `catalogue`. Raises PriceFileError
// when the file cannot be opened or read.
void loadPriceFile(const QString& realPath, Catalogue& catalogue, const RecordObserver& observe = {});

// The same, from an open device (used by tests and the fuzzer).
void loadPriceFile(QIODevice& device, const QString& realPath, Catalogue& catalogue,
                   const RecordObserver& observe = {});

} // namespace plimbo
