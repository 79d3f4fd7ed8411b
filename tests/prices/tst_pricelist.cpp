// The editor's rules: the byte-exact round trip, what a cell refuses,
// Change prices, and spreadsheets both ways.

#include "catalogue/pricefile.h"
#include "prices/csv.h"
#include "prices/pricelist.h"
#include "prices/safesave.h"

#include "catalogue/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace plimbo;
using namespace plimbo::prices;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray Sample = readAll(QStringLiteral(PLIMBO_SAMPLE_DIR "/PlimboPrice.txt"));
const QByteArray Header = "Category;Brand;Type 1;Price 1;Type 2;Price 2;Type 3;Price 3;Type 4;Price 4;Type 5;Price 5\r\n";

} // namespace

class TestPriceList : public QObject {
    Q_OBJECT
private slots:
    // Every list in the sample and the fuzz corpus, opened and saved
    // unchanged, gives back its bytes; a refused one, the bytes before its
    // fault, and the rest is counted.
    void theRoundTripIsByteExact()
    {
        QStringList files{QStringLiteral(PLIMBO_SAMPLE_DIR "/PlimboPrice.txt")};
        for (const char* folder : {"/corpus", "/regressions"})
            for (const QFileInfo& f : QDir(QStringLiteral(PLIMBO_FUZZ_DIR) + QLatin1String(folder)).entryInfoList(QDir::Files))
                if (f.fileName() != QLatin1String("README"))
                    files << f.filePath();
        int read = 0, refused = 0;
        for (const QString& path : files) {
            const QByteArray bytes = readAll(path);
            const PriceList list = PriceList::fromBytes(bytes, path);
            if (list.refusal) {
                ++refused;
                QVERIFY2(bytes.startsWith(list.bytes()) && list.bytes().size() + list.refusal->restBytes == bytes.size(),
                         qPrintable(path));
            } else {
                ++read;
                QVERIFY2(list.bytes() == bytes, qPrintable(path));
            }
        }
        qInfo("%d lists the shop reads came back byte for byte; %d refused lists kept the bytes before the fault",
              read, refused);
        QVERIFY(read > 0 && refused > 0);
    }

    // A changed record is written in the shop's form with the file's line
    // ends; its neighbours keep their odd spacing.
    void aChangedRecordIsWrittenInTheShopsForm()
    {
        const QByteArray odd = "\"Adult\" , \"Nike    \",\"Running\", 80,\"\",0,\"\",0,\"\",0,\"\",0\n"
                               "\"Child\",\"Nike    \",\"Running\",45,\"\",0,\"\",0,\"\",0,\"\",0\n\n";
        PriceList list = PriceList::fromBytes(odd, QString());
        PriceRecord r = list.entries[1].values;
        r.price[0] = 46;
        list.setValues(1, r);
        QCOMPARE(list.bytes(), QByteArray("\"Adult\" , \"Nike    \",\"Running\", 80,\"\",0,\"\",0,\"\",0,\"\",0\n"
                                          "\"Child\",\"Nike    \",\"Running\",46,\"\",0,\"\",0,\"\",0,\"\",0\n\n"));
        // A new list has CR LF, its brands padded and no types.
        const QByteArray fresh = PriceList::fresh().bytes();
        QVERIFY(fresh.startsWith("\"Adult\",\"Addidas \",\"\",0,\"\",0,\"\",0,\"\",0,\"\",0\r\n"));
        QCOMPARE(fresh.count("\r\n"), 10);
        // A record added after a last line without its line end starts a line of its own.
        PriceList cut = PriceList::fromBytes(odd.left(odd.indexOf('\n')), QString());
        cut.insert(1, r);
        QCOMPARE(PriceList::fromBytes(cut.bytes(), QString()).entries.size(), std::size_t(2));
    }

    // What is not a price list gets the shop's message at once: nothing is
    // read from a pipe or a device, and a huge file only as far as it takes.
    void whatIsNotAListIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("picture") << "picture" << "Record 1, field Category (line 1): found";
        QTest::newRow("1 GB of nothing") << "huge" << "Record 1, field Category (line 1): found";
        QTest::newRow("1 GB of records") << "records" << "far more than a price list";
        QTest::newRow("named pipe") << "fifo" << "It is a named pipe (FIFO), not a file.";
        QTest::newRow("device") << "device" << "It is a character device, not a file.";
    }
    void whatIsNotAListIsRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, says);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("PlimboPrice.txt"));
        QFile f(path);
        if (kind == QLatin1String("picture")) {
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("\x89PNG\r\n\x1a\n\0\0\0\rIHDR");
        } else if (kind == QLatin1String("huge") || kind == QLatin1String("records")) {
            QVERIFY(f.open(QIODevice::WriteOnly));
            if (kind == QLatin1String("records"))
                for (int i = 0; i < 1000; ++i)
                    f.write(Sample);
            QVERIFY(f.resize(qint64(1) << 30));  // sparse: no real gigabyte is written
        } else if (kind == QLatin1String("fifo")) {
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        } else {
            path = QStringLiteral("/dev/zero");
        }
        f.close();
        QString message;
        try {
            const PriceList list = PriceList::open(path);
            QVERIFY(list.refusal && list.entries.empty());
            message = list.refusal->message;
        } catch (const PriceFileError& e) {
            message = e.message();
        }
        QVERIFY2(message.contains(says) && message.contains(QLatin1String("A:PlimboPrice.txt")), qPrintable(message));
    }

    void cellsRefuseWhatTheFileCannotHold_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("says");
        QTest::newRow("double quote") << "Air \"Max\"" << "double quote";
        QTest::newRow("line break") << "Air\nMax" << "line break";
        QTest::newRow("outside Windows-1252") << "Zł" << "\"ł\" (U+0142)";
        QTest::newRow("too long") << QString(1001, QLatin1Char('x')) << "at most 1000";
        QTest::newRow("Windows-1252 beyond Latin-1") << "Café €" << "";
    }
    void cellsRefuseWhatTheFileCannotHold()
    {
        QFETCH(QString, type);
        QFETCH(QString, says);
        const auto why = textRefusal(type);
        QCOMPARE(why.has_value(), !says.isEmpty());
        if (why)
            QVERIFY2(why->contains(says), qPrintable(*why));
    }

    void pricesAreWholeDollarsTheFileHolds_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("price");  // -1: refused
        QTest::newRow("largest") << "32767" << 32767;
        QTest::newRow("past the largest") << "32768" << -1;
        QTest::newRow("many digits") << "0000000000065" << -1;
        QTest::newRow("negative") << "-5" << -1;
        QTest::newRow("fraction") << "12.50" << -1;
        QTest::newRow("empty is not sold") << "" << 0;
        QTest::newRow("not sold") << "not sold" << 0;
    }
    void pricesAreWholeDollarsTheFileHolds()
    {
        QFETCH(QString, typed);
        QFETCH(int, price);
        const auto read = readPriceCell(typed);
        QCOMPARE(std::holds_alternative<int>(read) ? std::get<int>(read) : -1, price);
    }

    void changePrices_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("hundredths");
        QTest::addColumn<int>("category");   // -1 both
        QTest::addColumn<QString>("brand");
        QTest::addColumn<QList<int>>("adultNike");  // Running, Basketball, then Child Nike Running
        QTest::addColumn<bool>("refused");
        const int pct = PriceChange::Percent, usd = PriceChange::Dollars;
        // 80 + 10 % = 88; 95 + 10 % = 104.5 -> 105 (halves up); 45 + 10 % = 49.5 -> 50.
        QTest::newRow("10 % on all") << pct << 1000 << -1 << "" << QList<int>{88, 105, 50} << false;
        QTest::newRow("-$2.50 on adult") << usd << -250 << 0 << "" << QList<int>{78, 93, 45} << false;  // 77.5 -> 78
        QTest::newRow("one brand only") << usd << 100 << 1 << "Nike    " << QList<int>{80, 95, 46} << false;
        QTest::newRow("below 1 refused") << pct << -9950 << -1 << "" << QList<int>{80, 95, 45} << true;
        QTest::newRow("past 32767 refused") << usd << 3270000 << -1 << "" << QList<int>{80, 95, 45} << true;
    }
    void changePrices()
    {
        QFETCH(int, kind);
        QFETCH(int, hundredths);
        QFETCH(int, category);
        QFETCH(QString, brand);
        QFETCH(QList<int>, adultNike);
        QFETCH(bool, refused);
        const PriceList list = PriceList::fromBytes(Sample, QString());
        PriceChange change{static_cast<PriceChange::Kind>(kind), hundredths, std::nullopt, std::nullopt};
        if (category >= 0)
            change.category = category == 0 ? Category::Adult : Category::Child;
        if (!brand.isEmpty())
            change.brand = brand;
        const auto result = prices::changePrices(list, change);
        QCOMPARE(std::holds_alternative<QStringList>(result), refused);
        const PriceList& after = refused ? list : std::get<PriceList>(result);
        QCOMPARE((QList<int>{after.entries[2].values.price[0].value(), after.entries[2].values.price[1].value(),
                             after.entries[7].values.price[0].value()}),
                 adultNike);
        QCOMPARE(after.entries[3].values.price[2].value(), 0);  // Etonic's Trail is not sold, and stays so
        if (refused)
            QVERIFY(std::get<QStringList>(result).join(QLatin1Char('\n')).contains(QLatin1String("Nike \"Running\": 80 would become")));
    }

    void spreadsheetsBothWays()
    {
        const PriceList sample = PriceList::fromBytes(Sample, QString());
        const QByteArray csv = exportCsv(sample).bytes;
        QVERIFY(csv.startsWith("\xEF\xBB\xBF" "Category,Brand,Type 1,Price 1,"));
        QVERIFY(csv.contains("\r\nAdult,Nike,Running,80,Basketball,95,"));
        const CsvImport back = importCsv(csv);
        QVERIFY2(back.problems.isEmpty(), qPrintable(back.problems.join(QLatin1Char('\n'))));
        PriceList again = sample;
        again.replaceAll(back.records);
        QCOMPARE(again.bytes(), Sample);

        // What the shop passes over or reads with a warning travels as the
        // file holds it: a brand without its blanks and a negative price, a
        // category in small letters, a sixth adult record.
        QByteArray odd = Sample;
        odd.replace("\"Nike    \",\"Running\",80", "\"Nike\",\"Running\",-80");
        odd += "\"adult\",\"Reebok  \",\"Tennis\",70,\"\",0,\"\",0,\"\",0,\"\",0\r\n"
               "\"Adult\",\"Reebok  \",\"Trail\",71,\"\",0,\"\",0,\"\",0,\"\",0\r\n";
        const PriceList noted = PriceList::fromBytes(odd, QString());
        const CsvExport sheet = exportCsv(noted);
        QCOMPARE(sheet.noted, 3);
        const CsvImport oddBack = importCsv(sheet.bytes);
        QVERIFY2(oddBack.problems.isEmpty(), qPrintable(oddBack.problems.join(QLatin1Char('\n'))));
        again = noted;
        again.replaceAll(oddBack.records);
        QCOMPARE(again.bytes(), odd);

        // As a spreadsheet in many countries saves it: semicolons, decimal
        // commas, quotes where it likes, accents in UTF-8 without a mark.
        const QByteArray semicolons =
            "Category;Brand;Type 1;Price 1;Type 2;Price 2;Type 3;Price 3;Type 4;Price 4;Type 5;Price 5\r\n"
            "Adult;Nike;\"Cañón; alto\";65,00;Été;70;;;;;;\r\n"
            "Child;converse;\"Über, Soft\";12;;0;;;;;;\r\n";
        const CsvImport read = importCsv(semicolons);
        QVERIFY2(read.problems.isEmpty(), qPrintable(read.problems.join(QLatin1Char('\n'))));
        QCOMPARE(read.records.size(), 2);
        QCOMPARE(read.records[0].type[0], QStringLiteral("Cañón; alto"));
        QCOMPARE(read.records[0].price[0].value(), 65);
        QCOMPARE(read.records[0].brand, QStringLiteral("Nike    "));
        QCOMPARE(read.records[1].type[0], QStringLiteral("Über, Soft"));
        PriceList written = PriceList::fresh();
        written.replaceAll({read.records[0]});
        QCOMPARE(written.bytes(), QByteArray("\"Adult\",\"Nike    \",\"Ca\xF1\xF3n; alto\",65,\"\xC9t\xE9\",70,\"\",0,\"\",0,\"\",0\r\n"));
    }

    void importReportsEveryRowItCannotPlace()
    {
        const QByteArray csv = "\xEF\xBB\xBF" "Category,Brand,Type 1,Price 1,Type 2,Price 2,Type 3,Price 3,Type 4,Price 4,Type 5,Price 5\n"
                               "Adult,Nike,\"Two\nlines\",10,,,,,,,,\n"  // row 2, over two lines
                               "Adult,Puma,Running,10,,,,,,,,\n"          // row 3
                               "adult,Nike,Running,abc,,,,,,,,\n"         // row 4
                               "Adult,Nike,Running,10,,,,,,,,\n";         // row 5: Nike again
        const CsvImport read = importCsv(csv);
        QVERIFY(read.records.isEmpty());
        const QString said = read.problems.join(QLatin1Char('\n'));
        for (const char* line : {"Row 2, Type 1: \"Two\nlines\": A type name cannot hold a line break",
                                 "Row 3, Brand: \"Puma\": the brand is not one the shop knows",
                                 "Row 4, Category: \"adult\"", "Row 4, Price 1: \"abc\"",
                                 "Row 5, Brand: \"Nike\": the Adult list already has this brand"})
            QVERIFY2(said.contains(QString::fromUtf8(line)), qPrintable(said));
        QCOMPARE(read.problems.size(), 5);
        QVERIFY(importCsv("Category;Brand\r\n").problems.first().startsWith(QLatin1String("Row 1: no column is headed \"Type 1\"")));
    }

    // What spreadsheets write, as the import reads it: a price in whole
    // dollars however it is written, text in UTF-8 or else Windows-1252.
    void importReadsWhatSpreadsheetsWrite_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QString>("type");  // Type 1 as read
        QTest::addColumn<int>("price");     // Price 1 as read; -1: refused
        QTest::addColumn<QString>("says");  // what was read as, or why refused
        QTest::newRow("65.00") << QByteArray("Adult;Nike;Run;65.00") << "Run" << 65 << "UTF-8";
        QTest::newRow("65,00") << QByteArray("Adult;Nike;Run;65,00") << "Run" << 65 << "UTF-8";
        QTest::newRow("1.000") << QByteArray("Adult;Nike;Run;1.000") << "Run" << 1000 << "UTF-8";
        QTest::newRow("1,000") << QByteArray("Adult;Nike;Run;1,000") << "Run" << 1000 << "UTF-8";
        QTest::newRow("1 000") << QByteArray("Adult;Nike;Run;1\xC2\xA0" "000") << "Run" << 1000 << "UTF-8";
        QTest::newRow("1.000,00") << QByteArray("Adult;Nike;Run;1.000,00") << "Run" << 1000 << "UTF-8";
        QTest::newRow("65.5") << QByteArray("Adult;Nike;Run;65.5") << "" << -1
                              << "Row 2, Price 1: \"65.5\": A price is a whole number of dollars";
        QTest::newRow("1.00.0") << QByteArray("Adult;Nike;Run;1.00.0") << "" << -1 << "Row 2, Price 1: \"1.00.0\"";
        QTest::newRow("Windows-1252") << QByteArray("Adult;Nike;Ca\xF1\xF3n;65") << "Cañón" << 65 << "Windows-1252";
        QTest::newRow("a byte Windows-1252 has no character for")
            << QByteArray("Adult;Nike;Ca\x81n;65") << "" << -1 << "Row 2, Type 1: \"Ca\u0081n\": the byte 81 (hex)";
    }
    void importReadsWhatSpreadsheetsWrite()
    {
        QFETCH(QByteArray, row);
        QFETCH(QString, type);
        QFETCH(int, price);
        QFETCH(QString, says);
        const CsvImport read = importCsv(Header + row + "\r\n");
        if (price < 0) {
            QVERIFY(read.records.isEmpty());
            QVERIFY2(read.problems.value(0).startsWith(says), qPrintable(read.problems.join(QLatin1Char('\n'))));
            return;
        }
        QVERIFY2(read.problems.isEmpty(), qPrintable(read.problems.join(QLatin1Char('\n'))));
        QCOMPARE(read.encoding, says);
        QCOMPARE(read.records.value(0).type[0], type);
        QCOMPARE(read.records.value(0).price[0].value(), price);
    }

    // A save writes the list where the shop reads it, keeping the file's
    // link, mode, group and backup, or leaves the old list whole and says why.
    void savingKeepsTheOldListWhole_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");  // empty: saved
        QTest::newRow("a type the file cannot hold")
            << "unwritable" << "Record 1, Type 1: The price list cannot hold the character \"Ł\"";
        QTest::newRow("a list that reads back otherwise")
            << "reads back" << "the shop reads record 1, Price 1, from the new file as \"67\", where the list shows \"66\".";
        QTest::newRow("through a link") << "link" << "";
        QTest::newRow("group-writable") << "group" << "";
        QTest::newRow("named .bak") << "bak" << "";
        QTest::newRow("an old list that cannot be read whole") << "unreadable" << "could not be read whole to keep it";
    }
    void savingKeepsTheOldListWhole()
    {
        QFETCH(QString, kind);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const QString path = dir.filePath(kind == QLatin1String("bak") ? QStringLiteral("Prices.bak") : QStringLiteral("PlimboPrice.txt"));
        QString file = path;  // the list itself
        if (kind == QLatin1String("link") || kind == QLatin1String("unreadable")) {
            // /proc/self/mem is a plain file that cannot be read from its start.
            file = kind == QLatin1String("link") ? dir.filePath(QStringLiteral("shared.txt")) : QStringLiteral("/proc/self/mem");
            QVERIFY(QFile::link(file, path));
        }
        if (kind != QLatin1String("unreadable"))
            write(file, Sample);
        if (kind == QLatin1String("group")) {
            QVERIFY(::chmod(QFile::encodeName(file).constData(), 0664) == 0);
            if (::geteuid() == 0)
                QVERIFY(::chown(QFile::encodeName(file).constData(), static_cast<uid_t>(-1), 100) == 0);
        }
        struct stat before {};
        ::stat(QFile::encodeName(file).constData(), &before);
        PriceList list = PriceList::fromBytes(Sample, path);
        PriceRecord r = list.entries[0].values;
        r.price[0] = 66;
        if (kind == QLatin1String("unwritable"))
            r.type[0] = QStringLiteral("Łódź");
        list.setValues(0, r);
        if (kind == QLatin1String("reads back")) {  // bytes that say other than the values shown
            r.price[0] = 67;
            list.entries[0].raw = shopForm(r) + "\r\n";
        }

        const auto error = savePriceList(path, list);
        QVERIFY2(says.isEmpty() == !error && error.value_or(QString()).contains(says),
                 qPrintable(error.value_or(QStringLiteral("saved"))));
        if (kind == QLatin1String("unreadable")) {
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{QStringLiteral("PlimboPrice.txt")});
            return;
        }
        QCOMPARE(readAll(file), error ? Sample : list.bytes());
        QCOMPARE(QFileInfo(path).isSymLink(), kind == QLatin1String("link"));
        QCOMPARE(readAll(backupPathFor(file)), kind == QLatin1String("unwritable") ? QByteArray() : Sample);
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral(".*")}, QDir::Hidden | QDir::Files), QStringList());  // no new file left
        struct stat after {};
        QVERIFY(::stat(QFile::encodeName(file).constData(), &after) == 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_gid, before.st_gid);
    }
};

QTEST_GUILESS_MAIN(TestPriceList)
#include "tst_pricelist.moc"
