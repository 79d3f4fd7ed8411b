// The shop owner's price-list checker: each verdict, and the summary.

#include "catalogue/pricecheck.h"
#include "pricefiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace plimbo;
using test::record;

namespace {

const QByteArray Nike = record("Adult", "Nike    ", {{"Air", 90}, {"Court", 80}, {"Trail", 70}, {"Walk", 60}, {"Run", 50}});

} // namespace

class TestPriceCheck : public QObject {
    Q_OBJECT
private slots:
    void verdicts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("verdict");
        QTest::addColumn<QString>("says");
        QTest::newRow("clean") << test::canonicalFile() << int(PriceCheck::Clean)
                               << "10 records: 10 accepted (5 adult, 5 children's), 0 skipped; 0 warnings.";
        QTest::newRow("accepted as n-th") << test::canonicalFile() << int(PriceCheck::Clean)
                                          << "Record 7: accepted as children's record 2, brand \"Reebok  \".";
        QTest::newRow("price 0 is a note") << test::canonicalFile() << int(PriceCheck::Clean)
                                           << "    note: price 0, so not offered: \"Trail\".";
        QTest::newRow("odd category") << (Nike + QByteArray(Nike).replace("\"Adult\"", "\"adult \""))
                                      << int(PriceCheck::Warnings)
                                      << "Record 2: skipped: the category \"adult \" is not exactly \"Adult\" or "
                                         "\"Child\" (letter case and blanks count).";
        QTest::newRow("sixth record") << (test::canonicalFile() + Nike) << int(PriceCheck::Warnings)
                                      << "Record 11: skipped: the adult list already has five records; only the "
                                         "first five count.";
        QTest::newRow("unknown brand") << QByteArray(Nike).replace("Nike    ", "Nike") << int(PriceCheck::Warnings)
                                       << "    warning: the brand \"Nike\" is not one of the five known brands";
        QTest::newRow("brand twice") << (Nike + Nike) << int(PriceCheck::Warnings)
                                     << "    warning: the brand \"Nike    \" is listed twice in the adult records";
        QTest::newRow("brand twice, fewer types later")
            << (Nike + record("Adult", "Nike    ", {{"Air", 0}, {"Flex", 85}, {"Trail", 0}, {"Walk", 0}, {"Dash", 55}}))
            << int(PriceCheck::Warnings)
            << "    warning: the brand \"Nike    \" is listed twice in the adult records: the shop shows this "
               "record's 2 priced types first, then \"Trail\", \"Walk\", \"Run\" left with their prices by an "
               "earlier record, since this record prices fewer types.";
        QTest::newRow("brand twice, as many types later")
            << (Nike + Nike) << int(PriceCheck::Warnings)
            << "listed twice in the adult records: its types and prices are replaced by this record's.";
        QTest::newRow("negative price") << QByteArray(Nike).replace(",80,", ",-80,") << int(PriceCheck::Warnings)
                                        << "    warning: \"Court\" has the negative price -80.";
        QTest::newRow("one warning") << (Nike + Nike) << int(PriceCheck::Warnings)
                                     << "2 records: 2 accepted (2 adult, 0 children's), 0 skipped; 1 warning.";
        // "Cañón" as a spreadsheet saves it (UTF-8), and as the shop's code page holds it.
        QTest::newRow("UTF-8 for Windows-1252")
            << QByteArray(Nike).replace("\"Court\"", "\"Ca\xC3\xB1\xC3\xB3n\"") << int(PriceCheck::Warnings)
            << "    warning: \"Ca\u00C3\u00B1\u00C3\u00B3n\" is \"Ca\u00F1\u00F3n\" saved as UTF-8, not Windows-1252";
        QTest::newRow("Windows-1252 as it should be")
            << QByteArray(Nike).replace("\"Court\"", "\"Ca\xF1\xF3n\"") << int(PriceCheck::Clean) << "; 0 warnings.";
        QTest::newRow("refused") << QByteArray(Nike).replace(",80,", ",8.5,") << int(PriceCheck::Refused)
                                 << "Record 1, field Price 2 (line 1): found \u201C8.5\u201D; a price must be a whole "
                                    "number, without a fraction.";
    }
    void verdicts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, verdict);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const PriceCheck check = checkPriceFile(test::writePriceFile(dir, bytes));
        QCOMPARE(int(check.verdict), verdict);
        const QString all = check.lines.join(QLatin1Char('\n'));
        QVERIFY2(all.contains(says), qPrintable(all));
    }

    void missingFileIsRefused()
    {
        QTemporaryDir dir;
        const PriceCheck check = checkPriceFile(dir.filePath(QStringLiteral("PlimboPrice.txt")));
        QCOMPARE(check.verdict, PriceCheck::Refused);
        QVERIFY(check.lines.join(QLatin1Char('\n')).contains(QLatin1String("could not be opened")));
    }
};

QTEST_GUILESS_MAIN(TestPriceCheck)
#include "tst_pricecheck.moc"
