#include "pricefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plimbo {

QString driveAFolder()
{
    const QString folder = qEnvironmentVariable("PLIMBO_DRIVE_A");
    return folder.isEmpty() ? QDir::currentPath() : folder;
}

QString priceFilePath()
{
    return QDir(driveAFolder()).absoluteFilePath(QStringLiteral("PlimboPrice.txt"));
}

QString fieldName(int index)
{
    if (index == 0)
        return QStringLiteral("Category");
    if (index == 1)
        return QStringLiteral("Brand");
    const int pair = (index - 2) / 2 + 1;
    return (index % 2 == 0 ? QStringLiteral("Type %1") : QStringLiteral("Price %1")).arg(pair);
}

namespace {
// 0x80..0x9F differ from Latin-1; 0 marks the five unassigned codes,
// which keep their Latin-1 meaning as Windows itself does.
constexpr char16_t high[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
} // namespace

std::optional<QByteArray> encodeWindows1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        int byte = (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) ? u : -1;
        for (int i = 0; byte < 0 && i < 32; ++i)
            if ((high[i] != 0 && high[i] == u) || (high[i] == 0 && u == 0x80 + i))
                byte = 0x80 + i;
        if (byte < 0)
            return std::nullopt;
        out.append(static_cast<char>(byte));
    }
    return out;
}

QString decodeWindows1252(const char* data, qsizetype size)
{
    QString out(size, Qt::Uninitialized);
    QChar* o = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        char16_t c = byte;
        if (byte >= 0x80 && byte <= 0x9F && high[byte - 0x80] != 0)
            c = high[byte - 0x80];
        o[i] = QChar(c);
    }
    return out;
}

namespace {

constexpr int FieldCount = 12;
constexpr qsizetype ChunkSize = 64 * 1024;
constexpr qsizetype ShownLength = 40;   // how much of a bad field a message quotes

bool isTextField(int field) { return field < 2 || field % 2 == 0; }

// A bad field as the message quotes it: at most ShownLength characters.
QString shown(const QByteArray& raw, bool cut)
{
    QString s = decodeWindows1252(raw.constData(), raw.size());
    return QStringLiteral("\u201C%1%2\u201D").arg(s, cut ? QStringLiteral("...") : QString());
}

} // namespace

PriceFileReader::PriceFileReader(QIODevice& device, QString realPath)
    : device_(device), realPath_(std::move(realPath))
{
}

void PriceFileReader::fill()
{
    if (pos_ < buffer_.size() || eof_)
        return;
    base_ += buffer_.size();
    buffer_.resize(ChunkSize);
    const qint64 n = device_.read(buffer_.data(), ChunkSize);
    if (n < 0)
        throw PriceFileError(QStringLiteral("The price list %1 could not be read.\nFile: %2\n%3")
                                 .arg(QLatin1String(PriceFileName), realPath_, device_.errorString()));
    buffer_.resize(n);
    pos_ = 0;
    eof_ = (n == 0);
}

int PriceFileReader::refill()
{
    fill();
    return pos_ < buffer_.size() ? static_cast<unsigned char>(buffer_[pos_]) : -1;
}

void PriceFileReader::skipBlanks()
{
    while (peek() == ' ' || peek() == '\t')
        get();
}

bool PriceFileReader::atLineEnd()
{
    return peek() == '\r' || peek() == '\n';
}

void PriceFileReader::skipBlankLines()
{
    for (;;) {
        skipBlanks();
        if (!atLineEnd())
            return;
        get();
    }
}

void PriceFileReader::fail(int field, const QString& what) const
{
    const QString header = QStringLiteral("The price list %1 could not be read.\nFile: %2\n")
                               .arg(QLatin1String(PriceFileName), realPath_);
    if (shortAt_ < 0 || field < shortAt_) {
        // One pass, so a "%" in the path or the file's text stays as it is.
        throw PriceFileError(header + QStringLiteral("Record %1, field %2 (line %3): %4")
                                          .arg(QString::number(record_), fieldName(field),
                                               QString::number(line_), what));
    }
    // A record whose line ended early, or whose file did, is short whatever
    // stands after it (nothing, a blank line, the next record): the owner
    // wrote too few fields, so that is what the message says first.
    QString message = header + QStringLiteral("Record %1 (line %2) has only %3 of its %4 fields: "
                                              "%5 is the first one missing.")
                                   .arg(QString::number(record_), QString::number(recordLine_),
                                        QString::number(shortAt_), QString::number(FieldCount),
                                        fieldName(shortAt_));
    if (field > shortAt_)
        message += QStringLiteral("\nRead as going on over the line end, it fails at %1 (line %2): %3")
                       .arg(fieldName(field), QString::number(line_), what);
    throw PriceFileError(message);
}

std::optional<PriceRecord> PriceFileReader::next()
{
    // Blank lines between records and after the last one are passed over.
    skipBlankLines();
    if (peek() < 0)
        return std::nullopt;

    ++record_;
    recordLine_ = line_;
    recordStart_ = offset();
    shortAt_ = -1;
    PriceRecord r;
    for (int field = 0; field < FieldCount; ++field) {
        skipBlanks();
        // A record may go on over a line end; a field that cannot be read
        // there, or the file's end, means the record was short.
        if (peek() < 0) {
            shortAt_ = field;
            fail(field, QString());
        }
        if (field == 0)
            r.category = readText(field);
        else if (field == 1)
            r.brand = readText(field);
        else if (isTextField(field))
            r.type[(field - 2) / 2] = readText(field);
        else
            r.price[(field - 3) / 2] = readNumber(field);
        endField(field);
    }
    return r;
}

QByteArray PriceFileReader::readRest(bool& cut)
{
    // A field cut short is refused whatever follows it, so the rest is not
    // read: a picture, or a gigabyte without a comma, is refused at once.
    QByteArray raw;
    while (peek() >= 0 && peek() != ',' && !atLineEnd()) {
        if (raw.size() == ShownLength) {
            cut = true;
            break;
        }
        raw.append(static_cast<char>(get()));
    }
    return raw;
}

QString PriceFileReader::readText(int field)
{
    if (peek() != '"') {
        bool cut = false;
        const QByteArray raw = readRest(cut);
        if (raw.trimmed().isEmpty())
            fail(field, QStringLiteral("the field is empty, where a text in double quotes belongs."));
        fail(field, QStringLiteral("found %1, a text without double quotes around it.").arg(shown(raw.trimmed(), cut)));
    }
    get(); // opening quote
    QByteArray raw;
    for (;;) {
        // Take the plain bytes of the text in one go, as far as the buffer holds them.
        const qsizetype from = pos_;
        qsizetype to = from;
        while (to < buffer_.size() && buffer_[to] != '"' && buffer_[to] != '\r' && buffer_[to] != '\n')
            ++to;
        if (to > from) {
            if (raw.size() + (to - from) > MaxTextLength)
                fail(field, QStringLiteral("the text is longer than %1 characters.").arg(MaxTextLength));
            if (raw.isEmpty() && to < buffer_.size() && buffer_[to] == '"') {
                // The whole text lies in the buffer: decode it from there.
                pos_ = to + 1;
                return decodeWindows1252(buffer_.constData() + from, to - from);
            }
            raw.append(buffer_.constData() + from, to - from);
            pos_ = to;
        }
        const int c = peek();
        if (c < 0 || c == '\r' || c == '\n') {
            const QByteArray start = raw.left(ShownLength);
            fail(field, QStringLiteral("the text %1 has no closing double quote before the end of the %2.")
                            .arg(shown('"' + start, raw.size() > ShownLength),
                                 c < 0 ? QStringLiteral("file") : QStringLiteral("line")));
        }
        get();
        if (c == '"')
            break;
        if (raw.size() >= MaxTextLength)
            fail(field, QStringLiteral("the text is longer than %1 characters.").arg(MaxTextLength));
        raw.append(static_cast<char>(c));
    }
    return decodeWindows1252(raw.constData(), raw.size());
}

Int16 PriceFileReader::readNumber(int field)
{
    bool cut = false;
    QByteArray raw = readRest(cut).trimmed();
    if (raw.isEmpty())
        fail(field, QStringLiteral("the field is empty, where a whole number belongs."));

    const qsizetype digitsFrom = raw.startsWith('-') ? 1 : 0;
    bool digitsOnly = raw.size() > digitsFrom && !cut;
    for (qsizetype i = digitsFrom; i < raw.size(); ++i)
        digitsOnly = digitsOnly && raw[i] >= '0' && raw[i] <= '9';

    if (!digitsOnly) {
        const QString found = shown(raw, cut);
        if (raw.startsWith('"'))
            fail(field, QStringLiteral("found the text %1, where a whole number belongs.").arg(found));
        bool isNumber = false;
        raw.toDouble(&isNumber);
        if (isNumber && !cut)
            fail(field, QStringLiteral("found %1; a price must be a whole number, without a fraction.").arg(found));
        fail(field, QStringLiteral("found %1, where a whole number belongs.").arg(found));
    }

    qint64 value = 0;
    for (qsizetype i = digitsFrom; i < raw.size() && value <= Int16::Max + 1; ++i)
        value = value * 10 + (raw[i] - '0');
    if (digitsFrom == 1)
        value = -value;
    if (!Int16::fits(value))
        fail(field, QStringLiteral("found %1, outside the whole numbers from -32768 to 32767.").arg(shown(raw, cut)));
    return Int16(value);
}

void PriceFileReader::endField(int field)
{
    skipBlanks();
    const int c = peek();
    if (c < 0)
        return;
    if (c == ',') {
        get();
        return;
    }
    if (c == '\r' || c == '\n') {
        get();
        if (c == '\r' && peek() == '\n')
            get();
        shortAt_ = field + 1;
        return;
    }
    bool cut = false;
    const QByteArray raw = readRest(cut);
    fail(field, QStringLiteral("found %1 after the field, where a comma or the end of the line belongs.")
                    .arg(shown(raw, cut)));
}

void loadPriceFile(QIODevice& device, const QString& realPath, Catalogue& catalogue,
                   const RecordObserver& observe)
{
    catalogue.Adult.Count = 0;
    catalogue.Child.Count = 0;
    PriceFileReader reader(device, realPath);
    while (auto record = reader.next()) {
        const RecordFate fate = catalogue.accept(*record);
        if (observe)
            observe(reader.recordNumber(), *record, fate);
    }
}

namespace {

// What a path names when it is not a plain file.
QString kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe (FIFO)");
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    return QStringLiteral("something other than a file");
}

} // namespace

std::optional<QString> openPlainFile(const QString& realPath, QFile& file)
{
    const auto notAFile = [](mode_t mode) { return QStringLiteral("It is %1, not a file").arg(kindOf(mode)); };
    // Opened without waiting, and only a plain file is read: a named pipe
    // with nobody writing, or a link to a device such as /dev/zero, would
    // otherwise hold the reader for ever.
    const QByteArray native = QFile::encodeName(realPath);
    struct stat status {};
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (::stat(native.constData(), &status) == 0 && !S_ISREG(status.st_mode))
            return notAFile(status.st_mode);
        return QString::fromLocal8Bit(std::strerror(error));
    }
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const mode_t mode = status.st_mode;
        ::close(fd);
        return notAFile(mode);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    return std::nullopt;
}

void openPriceFile(const QString& realPath, QFile& file, const QString& shownPath)
{
    if (const auto why = openPlainFile(realPath, file))
        throw PriceFileError(QStringLiteral("The price list %1 could not be opened.\nFile: %2\n%3.")
                                 .arg(QLatin1String(PriceFileName),
                                      QFileInfo(shownPath.isEmpty() ? realPath : shownPath).absoluteFilePath(), *why));
}

void loadPriceFile(const QString& realPath, Catalogue& catalogue, const RecordObserver& observe)
{
    QFile file;
    openPriceFile(realPath, file);
    loadPriceFile(file, QFileInfo(realPath).absoluteFilePath(), catalogue, observe);
}

} // namespace plimbo
