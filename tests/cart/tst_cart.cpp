// The two-line cart and the shop's money format.

#include "cart/cart.h"
#include "cart/money.h"
#include "pricefiles.h"
#include "printing.h"

#include <QtTest>

using namespace plimbo;

using test::pendingLine;

class TestCart : public QObject {
    Q_OBJECT
private slots:
    void moneyFormat_data()
    {
        QTest::addColumn<qint64>("amount");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << qint64(0) << "$.00";
        QTest::newRow("5") << qint64(5) << "$5.00";
        QTest::newRow("65") << qint64(65) << "$65.00";
        QTest::newRow("999") << qint64(999) << "$999.00";
        QTest::newRow("1000") << qint64(1000) << "$1,000.00";
        QTest::newRow("1300") << qint64(1300) << "$1,300.00";
        QTest::newRow("32767") << qint64(32767) << "$32,767.00";
        QTest::newRow("40000") << qint64(40000) << "$40,000.00";
        QTest::newRow("65534") << qint64(65534) << "$65,534.00";
        QTest::newRow("1234567") << qint64(1234567) << "$1,234,567.00";
        QTest::newRow("-5") << qint64(-5) << "-$5.00";
        QTest::newRow("-1300") << qint64(-1300) << "-$1,300.00";
        QTest::newRow("-32768") << qint64(-32768) << "-$32,768.00";
    }
    void moneyFormat()
    {
        QFETCH(qint64, amount);
        QFETCH(QString, text);
        QCOMPARE(formatMoney(amount), text);
    }

    void startsEmpty()
    {
        const Cart cart;
        for (Category c : {Category::Adult, Category::Child}) {
            QVERIFY(!cart.present(c));
            QCOMPARE(cart.line(c).Cost, 0);
            QCOMPARE(cart.line(c).UnitPrice, 0);
            QCOMPARE(cart.line(c).Brand, QString());
        }
    }

    void addReplacesTheLineAndKeepsTheOther()
    {
        Cart cart;
        cart.AddLine(Category::Adult, pendingLine("Nike    ", "Runner", "9", 2, 80));
        cart.AddLine(Category::Child, pendingLine("Reebok  ", "Velcro", "5 ", 1, 27));
        cart.AddLine(Category::Adult, pendingLine("Etonic  ", "Golf", "10 1/2", 3, 85));

        const CartLine& a = cart.AdultLine;
        QVERIFY(cart.GotAdult);
        QCOMPARE(a.Brand, QStringLiteral("Etonic  "));
        QCOMPARE(a.Type, QStringLiteral("Golf"));
        QCOMPARE(a.Size, QStringLiteral("10 1/2"));
        QCOMPARE(a.Qty, 3);
        QCOMPARE(a.Cost, 255);
        QCOMPARE(a.UnitPrice, 85);  // the unit price belongs to the line just added

        const CartLine& c = cart.ChildLine;
        QVERIFY(cart.GotChild);
        QCOMPARE(c.Size, QStringLiteral("5 "));
        QCOMPARE(c.Cost, 27);
        QCOMPARE(cart.sumOfCosts(), 255 + 27);
    }

    void withdrawnLineNoLongerCounts()
    {
        Cart cart;
        cart.AddLine(Category::Adult, pendingLine("Nike    ", "Runner", "9", 2, 80));
        cart.AddLine(Category::Child, pendingLine("Nike    ", "Runner", "3", 1, 45));
        cart.WithdrawLine(Category::Adult);
        QVERIFY(!cart.GotAdult);
        QVERIFY(cart.GotChild);
        QCOMPARE(cart.sumOfCosts(), 45);
        // The rest of the line stays until the next add.
        QCOMPARE(cart.AdultLine.Brand, QStringLiteral("Nike    "));
    }

    void resetEmptiesBothLines()
    {
        Cart cart;
        cart.AddLine(Category::Adult, pendingLine("Nike    ", "Runner", "9", 2, 80));
        cart.AddLine(Category::Child, pendingLine("Nike    ", "Runner", "3", 1, 45));
        cart.ResetCart();
        QVERIFY(!cart.GotAdult && !cart.GotChild);
        QCOMPARE(cart.sumOfCosts(), 0);
        QCOMPARE(cart.AdultLine.UnitPrice, 0);
        QCOMPARE(cart.ChildLine.UnitPrice, 0);
        QCOMPARE(cart.ChildLine.Qty, 1);  // texts and quantities keep their values
    }

    // The cart says it changed when a line goes in, or when a line that was
    // there comes out; taking out what is not there changes nothing.
    void saysWhenItChanges_data()
    {
        QTest::addColumn<bool>("adultThere");
        QTest::addColumn<bool>("childThere");
        QTest::addColumn<QString>("act");
        QTest::addColumn<int>("changes");
        QTest::newRow("add to an empty cart") << false << false << "add adult" << 1;
        QTest::newRow("add over a line") << true << false << "add adult" << 1;
        QTest::newRow("withdraw a line that is there") << true << true << "withdraw adult" << 1;
        QTest::newRow("withdraw a line that is not there") << false << true << "withdraw adult" << 0;
        QTest::newRow("reset a cart with a line") << false << true << "reset" << 1;
        QTest::newRow("reset an empty cart") << false << false << "reset" << 0;
    }
    void saysWhenItChanges()
    {
        QFETCH(bool, adultThere);
        QFETCH(bool, childThere);
        QFETCH(QString, act);
        QFETCH(int, changes);
        Cart cart;
        if (adultThere)
            cart.AddLine(Category::Adult, pendingLine("Nike    ", "Runner", "9", 2, 80));
        if (childThere)
            cart.AddLine(Category::Child, pendingLine("Nike    ", "Runner", "3", 1, 45));
        QSignalSpy changed(&cart, &Cart::changed);
        if (act == QLatin1String("add adult"))
            cart.AddLine(Category::Adult, pendingLine("Etonic  ", "Golf", "10", 1, 85));
        else if (act == QLatin1String("withdraw adult"))
            cart.WithdrawLine(Category::Adult);
        else
            cart.ResetCart();
        QCOMPARE(changed.count(), changes);
    }

    void totalOfTwoLargeLinesFits()
    {
        Cart cart;
        cart.AddLine(Category::Adult, pendingLine("Nike    ", "Runner", "9", 327, 100));
        cart.AddLine(Category::Child, pendingLine("Nike    ", "Runner", "3", 32767, 1));
        QCOMPARE(cart.sumOfCosts(), 32700 + 32767);
    }
};

QTEST_GUILESS_MAIN(TestCart)
#include "tst_cart.moc"
