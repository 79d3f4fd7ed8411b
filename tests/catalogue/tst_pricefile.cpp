// The price-list reader: the canonical form and its friendly variants read,
// everything else is refused with a message naming the file, record and field.

#include "catalogue/errors.h"
#include "catalogue/pricefile.h"
#include "pricefiles.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

using namespace plimbo;
using test::record;

namespace {

const QByteArray Addidas =
    record("Adult", "Addidas ", {{"Runner", 65}, {"Court", 55}, {"Trail", 70}, {"Walker", 45}, {"Cross", 60}});

using test::readCatalogue;

QString errorFor(const QByteArray& bytes)
{
    try {
        readCatalogue(bytes);
    } catch (const PriceFileError& e) {
        return e.message();
    }
    return {};
}

} // namespace

class TestPriceFile : public QObject {
    Q_OBJECT
private slots:
    void readsTheCanonicalFile()
    {
        const Catalogue c = readCatalogue(test::canonicalFile());
        QCOMPARE(c.Adult.Count, 5);
        QCOMPARE(c.Child.Count, 5);
        const QStringList brands{"Addidas ", "Reebok  ", "Nike    ", "Etonic  ", "Converse"};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(c.Adult.Brand[i], brands[i]);
            QCOMPARE(c.Child.Brand[i], brands[i]);
        }
        QCOMPARE(c.Adult.Brand[5], QString());
        // Reebok's adult Trail is priced 0, so its later types move up one slot.
        QCOMPARE(c.Adult.BrandType[1][2], QStringLiteral("Walker"));
        QCOMPARE(c.Adult.BrandPrice[1][2], 48);
        QCOMPARE(c.Adult.BrandType[1][4], QString());
    }

    void adultTypesComeFromTheLastAdultRecord()
    {
        // The adult list must not show the children's types that follow it.
        const Catalogue c = readCatalogue(test::canonicalFile());
        const QStringList adult{"Hoops", "Low", "High", "Walker", "Skate"};
        const QStringList child{"Low", "High", "Velcro", "School", "Skate"};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(c.Adult.Type[i], adult[i]);
            QCOMPARE(c.Child.Type[i], child[i]);
        }
    }

    void friendlyVariantsRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray lf = Addidas;
        lf.replace("\r\n", "\n");
        QByteArray noFinalBreak = Addidas;
        noFinalBreak.chop(2);
        QByteArray acrossLines = Addidas;
        acrossLines.replace(",\"Court\"", "\r\n\"Court\"");
        QByteArray blanks = Addidas;
        blanks.replace(",", " ,  ");
        QTest::newRow("LF line ends") << lf;
        QTest::newRow("no break after the last record") << noFinalBreak;
        QTest::newRow("blank lines after the last record") << (Addidas + "\r\n\r\n  \r\n");
        QTest::newRow("blank lines between records") << (Addidas + "\r\n\n" + Addidas);
        QTest::newRow("fields across line ends") << acrossLines;
        QTest::newRow("blanks around fields") << blanks;
        QTest::newRow("CR line ends") << QByteArray(Addidas).replace("\r\n", "\r");
    }
    void friendlyVariantsRead()
    {
        QFETCH(QByteArray, bytes);
        const Catalogue c = readCatalogue(bytes);
        QVERIFY(c.Adult.Count >= 1);
        QCOMPARE(c.Adult.Brand[0], QStringLiteral("Addidas "));
        QCOMPARE(c.Adult.BrandType[0][1], QStringLiteral("Court"));
        QCOMPARE(c.Adult.BrandPrice[0][4], 60);
    }

    void textsKeepTheirBlanksAndCodePage()
    {
        const Catalogue c = readCatalogue(record("Adult", "Nike    ",
                                             {{" Air \xE9t\xE9 ", 90}, {"\x80 Deal", -5}, {"C", 32767}, {"D", -32768},
                                              {"E", 0}}));
        QCOMPARE(c.Adult.Brand[0], QStringLiteral("Nike    "));
        QCOMPARE(c.Adult.BrandType[2][0], QString::fromUtf8(" Air \u00E9t\u00E9 "));
        QCOMPARE(c.Adult.BrandType[2][1], QString::fromUtf8("\u20AC Deal"));
        QCOMPARE(c.Adult.BrandPrice[2][1], -5);  // a negative price is a price, not "not offered"
        QCOMPARE(c.Adult.BrandPrice[2][2], 32767);
        QCOMPARE(c.Adult.BrandPrice[2][3], -32768);
        QCOMPARE(c.Adult.BrandPrice[2][4], 0);
    }

    void emptyFileGivesEmptyCatalogue_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("blank lines only") << QByteArray("\r\n  \r\n\n");
    }
    void emptyFileGivesEmptyCatalogue()
    {
        QFETCH(QByteArray, bytes);
        const Catalogue c = readCatalogue(bytes);
        QCOMPARE(c.Adult.Count, 0);
        QCOMPARE(c.Child.Count, 0);
        QCOMPARE(c.Adult.Brand[0], QString());
        QCOMPARE(c.Adult.Type[0], QString());
    }

    void manyRecordsStreamThrough()
    {
        // A long list (people paste lists together): the first five of each
        // category count, and every record is seen once.
        QByteArray bytes;
        const int records = 20000;
        for (int i = 0; i < records; ++i)
            bytes += record(i % 2 ? "Child" : "Adult", "Nike    ",
                            {{"A", i % 100}, {"B", 1}, {"C", 2}, {"D", 3}, {"E", 4}});
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        Catalogue c;
        int seen = 0, surplus = 0;
        loadPriceFile(buffer, QStringLiteral("big.txt"), c, [&](int n, const PriceRecord&, RecordFate fate) {
            QCOMPARE(n, ++seen);
            surplus += fate == RecordFate::SkippedSurplus;
        });
        QCOMPARE(seen, records);
        QCOMPARE(surplus, records - 10);
        QCOMPARE(c.Adult.Count, 5);
        QCOMPARE(c.Child.Count, 5);
        QCOMPARE(c.Adult.BrandPrice[2][0], 8);  // the fifth adult record is record 9
    }

    // A field that runs on and on (64 MB of digits) is refused once it
    // is too long to be anything, not at the end of the file.
    void aRunawayFieldIsRefusedAtOnce_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::newRow("as the category") << QByteArray();
        QTest::newRow("as a price") << QByteArray("\"Adult\",\"Nike    \",\"Running\",");
    }
    void aRunawayFieldIsRefusedAtOnce()
    {
        QFETCH(QByteArray, before);
        class Digits final : public QIODevice {
        public:
            QByteArray before;
            qint64 given = 0;
            qint64 readData(char* data, qint64 most) override
            {
                const qint64 n = std::min<qint64>(most, (qint64(1) << 26) - given);
                for (qint64 i = 0; i < n; ++i, ++given)
                    data[i] = given < before.size() ? before[given] : '0';
                return n;
            }
            qint64 writeData(const char*, qint64) override { return -1; }
        } digits;
        digits.before = before;
        digits.open(QIODevice::ReadOnly);
        Catalogue c;
        QVERIFY_THROWS_EXCEPTION(PriceFileError, loadPriceFile(digits, QStringLiteral("digits"), c));
        QVERIFY2(digits.given <= 1024 * 1024, qPrintable(QString::number(digits.given)));
    }

    void departuresAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("what");

        QByteArray cut = Addidas;
        cut.chop(5);  // ",60\r\n"
        // A short record is told by where it starts and how many fields it has, whatever follows it.
        const QByteArray four("\"Adult\",\"Nike    \",\"A\",1\r\n");
        const QString fourOfTwelve("Record 1 (line 1) has only 4 of its 12 fields: Type 2 is the first one missing.");
        QTest::newRow("cut short") << cut << "Record 1 (line 1)" << "only 11 of its 12 fields: Price 5 is the first";
        QTest::newRow("cut short after a comma") << QByteArray("\"Adult\",") << "Record 1 (line 1)"
                                                 << "only 1 of its 12 fields: Brand";
        QTest::newRow("short line, then the end") << four << "" << fourOfTwelve;
        QTest::newRow("short line, then a blank line") << four + "\r\n" << "" << fourOfTwelve;
        QTest::newRow("short line, then the next record")
            << four + Addidas << fourOfTwelve << "it fails at Price 2 (line 2): found the text";
        QTest::newRow("short second record") << Addidas + "\n" + four << "" << "Record 2 (line 3) has only 4";
        QTest::newRow("short over two lines") << QByteArray("\"Adult\"\n\"Nike    \",\"A\",1\n\n") << ""
                                              << "Record 1 (line 1) has only 4 of its 12 fields: Type 2";
        QTest::newRow("text for a price") << QByteArray(Addidas).replace(",55,", ",\"55\",")
                                          << "Record 1, field Price 2" << "found the text";
        QTest::newRow("word for a price") << QByteArray(Addidas).replace(",55,", ",cheap,")
                                          << "Record 1, field Price 2" << "where a whole number belongs";
        QTest::newRow("fraction") << QByteArray(Addidas).replace(",70,", ",70.5,") << "Record 1, field Price 3"
                                  << "without a fraction";
        QTest::newRow("above 32767") << QByteArray(Addidas).replace(",45,", ",32768,") << "Record 1, field Price 4"
                                     << "outside the whole numbers from -32768 to 32767";
        QTest::newRow("below -32768") << QByteArray(Addidas).replace(",45,", ",-32769,")
                                      << "Record 1, field Price 4" << "outside";
        QTest::newRow("huge number") << QByteArray(Addidas).replace(",45,", ",99999999999999999999999,")
                                     << "Record 1, field Price 4" << "outside";
        QTest::newRow("unquoted text") << QByteArray(Addidas).replace("\"Adult\"", "Adult")
                                       << "Record 1, field Category" << "without double quotes";
        QTest::newRow("unterminated text") << QByteArray("\"Adult\",\"Addidas \r\n\"A\",1\r\n")
                                           << "Record 1, field Brand" << "no closing double quote before the end of the line";
        QTest::newRow("unterminated at end of file") << QByteArray("\"Adult\",\"Addi")
                                                     << "Record 1, field Brand" << "before the end of the file";
        QTest::newRow("empty type") << QByteArray(Addidas).replace("\"Court\"", "") << "Record 1, field Type 2"
                                    << "field is empty, where a text in double quotes belongs";
        QTest::newRow("long unquoted text") << (QByteArray(60, 'z') + ",\"Addidas \"") << "Record 1, field Category"
                                            << QString(40, QLatin1Char('z')) + "...\u201D, a text without double quotes";
        QTest::newRow("empty price") << QByteArray(Addidas).replace(",55,", ",,") << "Record 1, field Price 2"
                                     << "field is empty";
        QTest::newRow("junk after a text") << QByteArray(Addidas).replace("\"Court\"", "\"Court\"x")
                                           << "Record 1, field Type 2" << "after the field";
        QTest::newRow("second record bad") << (Addidas + QByteArray(Addidas).replace(",60\r", ",6O\r"))
                                           << "Record 2, field Price 5 (line 2)" << "where a whole number belongs";
        QTest::newRow("endless text") << (QByteArray("\"Adult\",\"") + QByteArray(5000, 'x') + "\"")
                                      << "Record 1, field Brand" << "longer than 1000 characters";
    }
    void departuresAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, where);
        QFETCH(QString, what);
        const QString message = errorFor(bytes);
        QVERIFY2(message.contains(QLatin1String("A:PlimboPrice.txt")), qPrintable(message));
        QVERIFY2(message.contains(QLatin1String("/shop/PlimboPrice.txt")), qPrintable(message));
        QVERIFY2(message.contains(where), qPrintable(message));
        QVERIFY2(message.contains(what), qPrintable(message));
    }

    void percentSignsInTheFileAreQuotedAsTheyAre()
    {
        const QString message = errorFor(QByteArray(Addidas).replace(",55,", ",%1%2,"));
        QVERIFY2(message.contains(QStringLiteral("\u201C%1%2\u201D")), qPrintable(message));
        QVERIFY2(message.contains(QLatin1String("Record 1, field Price 2")), qPrintable(message));
    }

    // The fuzzer's seeds and every input that ever broke the reader.
    void seedAndRegressionInputs_data()
    {
        QTest::addColumn<QString>("path");
        for (const char* folder : {"corpus", "regressions"}) {
            const QDir dir(QStringLiteral(PLIMBO_FUZZ_DIR "/") + QLatin1String(folder));
            for (const QFileInfo& f : dir.entryInfoList(QDir::Files))
                if (f.fileName() != QLatin1String("README"))
                    QTest::newRow(qPrintable(QLatin1String(folder) + '/' + f.fileName())) << f.filePath();
        }
    }
    void seedAndRegressionInputs()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        try {
            const Catalogue c = readCatalogue(bytes);
            QVERIFY(c.Adult.Count >= 0 && c.Adult.Count <= 5);
            QVERIFY(c.Child.Count >= 0 && c.Child.Count <= 5);
        } catch (const PriceFileError& e) {
            QVERIFY2(e.message().contains(QLatin1String("Record ")) || bytes.isEmpty(), qPrintable(e.message()));
        }
    }

    void missingFileNamesTheFileAndTheReason()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("PlimboPrice.txt"));
        Catalogue c;
        try {
            loadPriceFile(path, c);
            QFAIL("a missing file was read");
        } catch (const PriceFileError& e) {
            QVERIFY(e.message().contains(QLatin1String("A:PlimboPrice.txt")));
            QVERIFY(e.message().contains(path));
            QVERIFY2(e.message().contains(QLatin1String("No such file")), qPrintable(e.message()));
        }
    }

    void driveAIsTheConfiguredFolder()
    {
        qputenv("PLIMBO_DRIVE_A", "/media/shop-disk");
        QCOMPARE(priceFilePath(), QStringLiteral("/media/shop-disk/PlimboPrice.txt"));
        qunsetenv("PLIMBO_DRIVE_A");
        QCOMPARE(priceFilePath(), QDir::current().absoluteFilePath(QStringLiteral("PlimboPrice.txt")));
    }
};

QTEST_GUILESS_MAIN(TestPriceFile)
#include "tst_pricefile.moc"
