// The catalogue store's filing rules, and the checked numbers and slot
// tables it is built from.

#include "catalogue/catalogue.h"
#include "catalogue/errors.h"
#include "printing.h"

#include <QtTest>

using namespace plimbo;

namespace {

PriceRecord rec(const char* category, const char* brand, std::array<std::pair<const char*, int>, 5> pairs)
{
    PriceRecord r;
    r.category = QLatin1String(category);
    r.brand = QLatin1String(brand);
    for (int j = 0; j < 5; ++j) {
        r.type[j] = QLatin1String(pairs[static_cast<std::size_t>(j)].first);
        r.price[j] = pairs[static_cast<std::size_t>(j)].second;
    }
    return r;
}

QStringList texts(const TextSlots& t)
{
    QStringList out;
    for (int i = 0; i < SlotCount; ++i)
        out << t[i];
    return out;
}

QList<int> prices(const PriceSlots& t)
{
    QList<int> out;
    for (int i = 0; i < SlotCount; ++i)
        out << t[i].value();
    return out;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void knownBrandsMatchExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::newRow("Addidas") << "Addidas " << 0;
        QTest::newRow("Converse") << "Converse" << 4;
        QTest::newRow("Nike padded") << "Nike    " << 2;
        QTest::newRow("Nike unpadded") << "Nike" << -1;
        QTest::newRow("lower case") << "nike    " << -1;
        QTest::newRow("extra blank") << "Converse " << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void knownBrandsMatchExactly()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QCOMPARE(knownBrandPosition(text).value_or(-1), position);
    }

    void nonZeroPricesArePackedWithTheirTypes()
    {
        Catalogue c;
        QCOMPARE(c.accept(rec("Adult", "Reebok  ", {{{"A", 60}, {"B", 0}, {"C", 45}, {"D", 0}, {"E", 70}}})),
                 RecordFate::AcceptedAdult);
        QCOMPARE(prices(c.Adult.BrandPrice[1]), (QList<int>{60, 45, 70, 0, 0, 0}));
        QCOMPARE(texts(c.Adult.BrandType[1]), (QStringList{"A", "C", "E", "", "", ""}));
        // The category's list keeps every type in its slot, priced or not.
        QCOMPARE(texts(c.Adult.Type), (QStringList{"A", "B", "C", "D", "E", ""}));
    }

    void aRepeatedBrandOverwritesOnlyItsFirstSlots()
    {
        Catalogue c;
        c.accept(rec("Child", "Nike    ", {{{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4}, {"E", 5}}}));
        c.accept(rec("Child", "Nike    ", {{{"V", 0}, {"W", 0}, {"X", 50}, {"Y", 0}, {"Z", -7}}}));
        QCOMPARE(c.Child.Count, 2);
        QCOMPARE(texts(c.Child.Brand), (QStringList{"Nike    ", "Nike    ", "", "", "", ""}));
        QCOMPARE(prices(c.Child.BrandPrice[2]), (QList<int>{50, -7, 3, 4, 5, 0}));
        QCOMPARE(texts(c.Child.BrandType[2]), (QStringList{"X", "Z", "C", "D", "E", ""}));
    }

    void unknownBrandsAndZeroPricesGetARowOnly()
    {
        Catalogue c;
        c.accept(rec("Adult", "Nike", {{{"A", 10}, {"B", 20}, {"C", 30}, {"D", 40}, {"E", 50}}}));
        c.accept(rec("Adult", "Etonic  ", {{{"A", 0}, {"B", 0}, {"C", 0}, {"D", 0}, {"E", 0}}}));
        QCOMPARE(c.Adult.Count, 2);
        QCOMPARE(c.Adult.Brand[0], QStringLiteral("Nike"));
        for (int b = 0; b < KnownBrandCount; ++b)
            QCOMPARE(prices(c.Adult.BrandPrice[b]), (QList<int>{0, 0, 0, 0, 0, 0}));
        QCOMPARE(texts(c.Adult.BrandType[3]), (QStringList{"", "", "", "", "", ""}));
    }

    void recordsBeyondFivePerCategoryAndOddCategoriesAreSkipped()
    {
        Catalogue c;
        for (int i = 0; i < 5; ++i)
            QCOMPARE(c.accept(rec("Adult", "Addidas ", {{{"A", i + 1}, {"B", 1}, {"C", 1}, {"D", 1}, {"E", 1}}})),
                     RecordFate::AcceptedAdult);
        QCOMPARE(c.accept(rec("Adult", "Addidas ", {{{"Late", 99}, {"B", 1}, {"C", 1}, {"D", 1}, {"E", 1}}})),
                 RecordFate::SkippedSurplus);
        QCOMPARE(c.accept(rec("adult", "Addidas ", {{{"Odd", 98}, {"B", 1}, {"C", 1}, {"D", 1}, {"E", 1}}})),
                 RecordFate::SkippedCategory);
        QCOMPARE(c.accept(rec("Child ", "Addidas ", {{{"Odd", 97}, {"B", 1}, {"C", 1}, {"D", 1}, {"E", 1}}})),
                 RecordFate::SkippedCategory);
        QCOMPARE(c.Adult.Count, 5);
        QCOMPARE(c.Child.Count, 0);
        QCOMPARE(c.Adult.BrandPrice[0][0], 5);
        // Only accepted records name the category's types.
        QCOMPARE(c.Adult.Type[0], QStringLiteral("A"));
    }

    void categoriesCountSeparately()
    {
        Catalogue c;
        for (int i = 0; i < 4; ++i) {
            c.accept(rec("Child", "Converse", {{{"c", 1}, {"c", 1}, {"c", 1}, {"c", 1}, {"c", 1}}}));
            c.accept(rec("Adult", "Converse", {{{"a", 1}, {"a", 1}, {"a", 1}, {"a", 1}, {"a", 1}}}));
        }
        QCOMPARE(c.Adult.Count, 4);
        QCOMPARE(c.Child.Count, 4);
        QCOMPARE(c.Adult.Type[0], QStringLiteral("a"));
        QCOMPARE(c.Child.Type[0], QStringLiteral("c"));
    }

    void slotsOutsideTheTableAreRefused_data()
    {
        QTest::addColumn<int>("slot");
        QTest::newRow("-1") << -1;
        QTest::newRow("6") << 6;
        QTest::newRow("large") << 40000;
    }
    void slotsOutsideTheTableAreRefused()
    {
        QFETCH(int, slot);
        TextSlots t;
        QVERIFY_THROWS_EXCEPTION(SubscriptError, t[slot]);
        t[5] = QStringLiteral("last");
        QCOMPARE(t[5], QStringLiteral("last"));
    }

    void sixteenBitArithmeticIsChecked_data()
    {
        QTest::addColumn<qint64>("a");
        QTest::addColumn<qint64>("b");
        QTest::addColumn<char>("op");
        QTest::addColumn<bool>("overflows");
        QTest::newRow("max + 0") << qint64(32767) << qint64(0) << '+' << false;
        QTest::newRow("max + 1") << qint64(32767) << qint64(1) << '+' << true;
        QTest::newRow("min - 1") << qint64(-32768) << qint64(1) << '-' << true;
        QTest::newRow("min - 0") << qint64(-32768) << qint64(0) << '-' << false;
        QTest::newRow("181 * 181") << qint64(181) << qint64(181) << '*' << false;
        QTest::newRow("182 * 181") << qint64(182) << qint64(181) << '*' << true;
        QTest::newRow("-256 * 128") << qint64(-256) << qint64(128) << '*' << false;
        QTest::newRow("-min") << qint64(-32768) << qint64(0) << 'n' << true;
    }
    void sixteenBitArithmeticIsChecked()
    {
        QFETCH(qint64, a);
        QFETCH(qint64, b);
        QFETCH(char, op);
        QFETCH(bool, overflows);
        const Int16 x = a, y = b;
        auto run = [&] {
            switch (op) {
            case '+': return x + y;
            case '-': return x - y;
            case '*': return x * y;
            default: return -x;
            }
        };
        if (overflows) {
            QVERIFY_THROWS_EXCEPTION(OverflowError, run());
        } else {
            const qint64 expected = op == '+' ? a + b : op == '-' ? a - b : op == '*' ? a * b : -a;
            QCOMPARE(qint64{run().value()}, expected);
        }
    }

    void conversionIntoSixteenBitsIsChecked()
    {
        QVERIFY_THROWS_EXCEPTION(OverflowError, Int16(qint64(40000)));
        QVERIFY_THROWS_EXCEPTION(OverflowError, Int16(qint64(-32769)));
        QCOMPARE(Int16(qint64(-32768)).value(), -32768);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
