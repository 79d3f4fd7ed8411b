// Find Price without the screens: the checks in their order, the quantity
// the customer typed, and the unit price of the brand the row shows.

#include "pricefiles.h"
#include "printing.h"
#include "selection/pricelookup.h"

#include <QtTest>

using namespace plimbo;
using test::record;

namespace {

SizeTable sizes()
{
    SizeTable t;
    for (int i = 0; i < SizeRows; ++i)
        t[i] = QStringLiteral("S%1").arg(i);
    return t;
}

} // namespace

class TestPriceLookup : public QObject {
    Q_OBJECT
private slots:
    void checksComeInOrder_data()
    {
        QTest::addColumn<int>("brand");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << -1 << -1 << -1 << messages::SelectBrand;
        QTest::newRow("type and size, no brand") << -1 << 0 << 0 << messages::SelectBrand;
        QTest::newRow("brand only") << 0 << -1 << -1 << messages::SelectType;
        QTest::newRow("brand and size") << 0 << -1 << 3 << messages::SelectType;
        QTest::newRow("brand and type") << 0 << 1 << -1 << messages::SelectSize;
    }
    void checksComeInOrder()
    {
        QFETCH(int, brand);
        QFETCH(int, type);
        QFETCH(int, size);
        QFETCH(QString, message);
        const Catalogue c = test::readCatalogue(test::canonicalFile());
        const PriceResult r = findPrice(c.Adult, sizes(), {brand, c.Adult.Brand[std::max(brand, 0)], type, size, "1"});
        QVERIFY(!r.priced);
        QVERIFY(r.selectionMissing);
        QCOMPARE(r.message, message);
    }

    void pricesTheQuantity()
    {
        const Catalogue c = test::readCatalogue(test::canonicalFile());
        const PriceResult r = findPrice(c.Adult, sizes(), {0, "Addidas ", 0, 5, "3"});
        QVERIFY(r.priced);
        QCOMPARE(r.line.LineUnitPrice, 65);
        QCOMPARE(r.line.LineCost, 195);
        QCOMPARE(r.line.LineQuantity, 3);
        QCOMPARE(r.line.LineBrand, QStringLiteral("Addidas "));
        QCOMPARE(r.line.LineType, QStringLiteral("Runner"));
        QCOMPARE(r.line.LineSize, QStringLiteral("S5"));
    }

    void pricesComeFromTheBrandTheRowShows()
    {
        // Brands out of order: the first row shows Nike and is priced as Nike.
        const Catalogue c = test::readCatalogue(record("Adult", "Nike    ", {{"Air", 90}, {"B", 1}, {"C", 1}, {"D", 1}, {"E", 1}}) +
                                 record("Adult", "Addidas ", {{"Sam", 40}, {"B", 2}, {"C", 2}, {"D", 2}, {"E", 2}}));
        const PriceResult r = findPrice(c.Adult, sizes(), {0, "Nike    ", 0, 0, "1"});
        QVERIFY(r.priced);
        QCOMPARE(r.line.LineUnitPrice, 90);
        QCOMPARE(r.line.LineType, QStringLiteral("Air"));
        QCOMPARE(r.line.LineBrand, QStringLiteral("Nike    "));
    }

    void typeNameIsTheOneTheCustomerSaw()
    {
        // Reebok has no adult Trail, so its third row is Walker, not the
        // category list's third name.
        const Catalogue c = test::readCatalogue(test::canonicalFile());
        const PriceResult r = findPrice(c.Adult, sizes(), {1, "Reebok  ", 2, 0, "1"});
        QVERIFY(r.priced);
        QCOMPARE(r.line.LineType, QStringLiteral("Walker"));
        QCOMPARE(r.line.LineUnitPrice, 48);
    }

    void anEmptyTypeRowIsNoType_data()
    {
        QTest::addColumn<int>("brand");
        QTest::addColumn<QString>("brandText");
        QTest::addColumn<int>("type");
        QTest::newRow("past a brand's types") << 1 << "Reebok  " << 4;
        QTest::newRow("unknown brand") << 0 << "Nike" << 0;
    }
    void anEmptyTypeRowIsNoType()
    {
        QFETCH(int, brand);
        QFETCH(QString, brandText);
        QFETCH(int, type);
        const Catalogue c = test::readCatalogue(test::canonicalFile());
        const PriceResult r = findPrice(c.Adult, sizes(), {brand, brandText, type, 0, "1"});
        QVERIFY(!r.priced);
        QCOMPARE(r.message, messages::SelectType);
    }

    void quantities_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("unitPrice");
        QTest::addColumn<QString>("message");  // empty: priced
        QTest::addColumn<int>("quantity");
        const QString bad = messages::BadQuantity;
        const QString large = messages::QuantityTooLarge;
        QTest::newRow("1") << "1" << 65 << "" << 1;
        QTest::newRow("blanks around") << "  4 " << 65 << "" << 4;
        QTest::newRow("leading zeros") << "007" << 65 << "" << 7;
        QTest::newRow("empty") << "" << 65 << bad << 0;
        QTest::newRow("blanks only") << "   " << 65 << bad << 0;
        QTest::newRow("letters") << "two" << 65 << bad << 0;
        QTest::newRow("fraction") << "2.5" << 65 << bad << 0;
        QTest::newRow("zero") << "0" << 65 << bad << 0;
        QTest::newRow("negative") << "-3" << 65 << bad << 0;
        QTest::newRow("plus sign") << "+3" << 65 << bad << 0;
        QTest::newRow("inner blank") << "1 2" << 65 << bad << 0;
        QTest::newRow("exponent") << "1e3" << 65 << bad << 0;
        QTest::newRow("hex") << "0x10" << 65 << bad << 0;
        QTest::newRow("cost at the limit") << "504" << 65 << "" << 504;  // 32760
        QTest::newRow("cost past the limit") << "505" << 65 << large << 0;
        QTest::newRow("quantity past 32767") << "32768" << 1 << large << 0;
        QTest::newRow("very long number") << QString(400, QLatin1Char('9')) << 1 << large << 0;
        QTest::newRow("32767 at 1") << "32767" << 1 << "" << 32767;
        // Many digits do not make a non-number too large: it is still not a whole number.
        QTest::newRow("many digits, then a letter") << "99999x" << 1 << bad << 0;
        QTest::newRow("large fraction") << "40000.5" << 1 << bad << 0;
        QTest::newRow("large exponent") << "1e9" << 1 << bad << 0;
        QTest::newRow("large, inner blank") << " 70000 7" << 1 << bad << 0;
        QTest::newRow("long number, then a point") << QString(400, QLatin1Char('9')) + "." << 1 << bad << 0;
    }
    void quantities()
    {
        QFETCH(QString, typed);
        QFETCH(int, unitPrice);
        QFETCH(QString, message);
        QFETCH(int, quantity);
        const Catalogue c =
            test::readCatalogue(record("Adult", "Addidas ", {{"A", unitPrice}, {"B", 1}, {"C", 1}, {"D", 1}, {"E", 1}}));
        const PriceResult r = findPrice(c.Adult, sizes(), {0, "Addidas ", 0, 0, typed});
        QCOMPARE(r.message, message);
        QCOMPARE(r.priced, message.isEmpty());
        QVERIFY(!r.selectionMissing);
        if (r.priced) {
            QCOMPARE(r.line.LineQuantity, quantity);
            QCOMPARE(r.line.LineCost, quantity * unitPrice);
        }
    }
};

QTEST_GUILESS_MAIN(TestPriceLookup)
#include "tst_pricelookup.moc"
