// Add To Shopping Cart and the invoice: the case table of rows, totals,
// Accept, Clear - Exit and the see-other button.

#include "cart/invoicescreen.h"
#include "heard.h"
#include "printing.h"
#include "screens.h"
#include "selection/selectionscreen.h"
#include "shopfixture.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace plimbo;
using test::choose;

namespace {

struct Order : test::ShopFixture {
    SelectionScreen* open(Category c)
    {
        shop.selection(c).show();
        return shop.selection(c).as<SelectionScreen>();
    }
    SelectionScreen* price(Category c, int brand, int type, int size, const QString& qty)
    {
        SelectionScreen* s = open(c);
        choose(s->brandList(), brand);
        choose(s->typeList(), type);
        choose(s->sizeList(), size);
        s->txtQuantity()->setText(qty);
        QTest::mouseClick(s->button("cmdFindPrice"), Qt::LeftButton);
        return s;
    }
    void add(Category c) { QTest::mouseClick(open(c)->button("cmdCart"), Qt::LeftButton); }
    InvoiceScreen* invoice() { return shop.frmInvoice.as<InvoiceScreen>(); }

    // A line straight into the cart, for the invoice's own cases.
    void put(Category c, const char* brand, const char* type, const char* size, int qty, int unit, int cost)
    {
        shop.cart.AddLine(c, test::pendingLine(brand, type, size, qty, unit, cost));
    }

    QStringList row(int r)
    {
        const auto i = static_cast<std::size_t>(r);
        InvoiceScreen* v = invoice();
        return {v->txtQty[i]->text(),  v->txtAC[i]->text(),        v->txtBrand[i]->text(), v->txtType[i]->text(),
                v->txtSize[i]->text(), v->txtUnitPrice[i]->text(), v->txtCost[i]->text()};
    }
};

const QStringList EmptyRow{" ", " ", " ", "", " ", "", " "};

} // namespace

class TestInvoice : public QObject {
    Q_OBJECT
private slots:
    void layoutAsDesigned()
    {
        Order o;
        o.shop.frmInvoice.show();
        InvoiceScreen* v = o.invoice();
        QCOMPARE(v->windowTitle(), QStringLiteral("Customer Invoice"));
        QCOMPARE(v->client()->size(), QSize(652, 573));
        for (int r = 0; r < 6; ++r) {
            QCOMPARE(o.row(r), EmptyRow);
            const auto i = static_cast<std::size_t>(r);
            QCOMPARE(v->txtQty[i]->objectName(), QStringLiteral("txtQty(%1)").arg(r));
            QCOMPARE(v->txtQty[i]->geometry(), test::pixels(480, 2280 + 600 * r, 375, 285));
            QCOMPARE(v->txtType[i]->geometry(), test::pixels(4320, 2280 + 600 * r, 1455, 315));
            QVERIFY(v->txtSize[i]->isEnabled());
            QVERIFY(!v->txtCost[i]->isEnabled());
            QCOMPARE(v->txtUnitPrice[i]->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
            QCOMPARE(v->txtQty[i]->font().bold(), r < 2);
        }
        QStringList headings;
        for (const char* h : {"lblQTY", "lblAC", "lblBrand", "lblType", "Label1", "lblUnitPrice", "lblCost"})
            headings << v->controls().get<QLabel>(QLatin1String(h))->text();
        QCOMPARE(headings, (QStringList{"Qty", "Adult/Child", "Brand", "Type", "Size", "Unit Price", "Cost"}));
        for (int n = 1; n <= 17; ++n)
            QVERIFY(v->controls().get<QFrame>(QStringLiteral("Line%1").arg(n)));
        QCOMPARE(v->controls().get<QFrame>(QStringLiteral("Line8"))->geometry(), QRect(64, 136, 1, 240));
        QVERIFY(!v->controls().get<QLabel>(QStringLiteral("lblCustInvoice"))->isEnabled());
        QVERIFY(!v->controls().get<QLabel>(QStringLiteral("lblThanks"))->isEnabled());
        QVERIFY(!v->txtTotal()->isEnabled());
        QCOMPARE(v->button("cmdAccept")->text(), QStringLiteral("Accept "));
        QCOMPARE(v->button("cmdClear")->text(), QStringLiteral("Clear - Exit"));
        QCOMPARE(v->txtCost[3]->accessibleName(), QStringLiteral("Cost, row 4"));
    }

    void caseTable_data()
    {
        QTest::addColumn<bool>("adult");
        QTest::addColumn<bool>("child");
        QTest::addColumn<QStringList>("row0");
        QTest::addColumn<QStringList>("row1");
        QTest::addColumn<QString>("seeOther");
        QTest::addColumn<bool>("seeOtherEnabled");
        QTest::addColumn<QString>("total");
        const QStringList adultRow{"2", "Adult", "Nike    ", "Runner", "9 1/2", "45", "90"};
        QTest::newRow("adult only") << true << false << adultRow << EmptyRow << "See Children's Plimbos" << true
                                    << "$90.00";
        QTest::newRow("both") << true << true << adultRow
                              << QStringList{"1", "Child", "Etonic  ", "Velcro", "1  1/2", "30", "30"} << "" << false
                              << "$120.00";
        QTest::newRow("child only") << false << true
                                    << QStringList{"1", "Child", "Etonic  ", "Velcro", "1  1/2", "$30.00", "30"}
                                    << EmptyRow << "See Adult Plimbos" << true << "$30.00";
        QTest::newRow("neither") << false << false << EmptyRow << EmptyRow << "See Children's Plimbos" << true
                                 << "$.00";
    }
    void caseTable()
    {
        QFETCH(bool, adult);
        QFETCH(bool, child);
        QFETCH(QStringList, row0);
        QFETCH(QStringList, row1);
        QFETCH(QString, seeOther);
        QFETCH(bool, seeOtherEnabled);
        QFETCH(QString, total);
        Order o;
        if (adult)
            o.put(Category::Adult, "Nike    ", "Runner", "9 1/2", 2, 45, 90);
        if (child)
            o.put(Category::Child, "Etonic  ", "Velcro", "1  1/2", 1, 30, 30);
        o.shop.frmInvoice.show();
        QCOMPARE(o.row(0), row0);
        QCOMPARE(o.row(1), row1);
        for (int r = 2; r < 6; ++r)
            QCOMPARE(o.row(r), EmptyRow);
        QCOMPARE(o.invoice()->button("cmdSeeOther")->text(), seeOther);
        QCOMPARE(o.invoice()->button("cmdSeeOther")->isEnabled(), seeOtherEnabled);
        QCOMPARE(o.invoice()->txtTotal()->text(), total);
    }

    void totals_data()
    {
        QTest::addColumn<int>("adultCost");
        QTest::addColumn<int>("childCost");
        QTest::addColumn<QString>("total");
        QTest::newRow("1234") << 1000 << 234 << "$1,234.00";
        QTest::newRow("32767") << 32767 << 0 << "$32,767.00";
        QTest::newRow("0") << 0 << 0 << "$.00";
        QTest::newRow("past 16 bits") << 20000 << 20000 << "$40,000.00";
        QTest::newRow("largest") << 32767 << 32767 << "$65,534.00";
    }
    void totals()
    {
        QFETCH(int, adultCost);
        QFETCH(int, childCost);
        QFETCH(QString, total);
        Order o;
        o.put(Category::Adult, "Nike    ", "Runner", "9", 1, adultCost, adultCost);
        o.put(Category::Child, "Nike    ", "Runner", "3", 1, childCost, childCost);
        o.shop.frmInvoice.show();
        QCOMPARE(o.invoice()->txtTotal()->text(), total);
        QCOMPARE(o.shop.cart.TotalCost, adultCost + childCost);
        QVERIFY(!o.shop.app.ended());
    }

    void rowCostIsNotLimitedToSixteenBits()
    {
        Order o;
        o.put(Category::Adult, "Nike    ", "Runner", "9", 300, 200, 0);
        o.shop.frmInvoice.show();
        QCOMPARE(o.row(0).value(6), QStringLiteral("60000"));
    }

    void addPutsThePricedLineIntoTheCart()
    {
        Order o;
        SelectionScreen* s = o.price(Category::Adult, 2, 0, 4, QStringLiteral("2"));
        // Changes after Find Price do not reach the cart until the next Find Price.
        choose(s->brandList(), 4);
        s->txtQuantity()->setText(QStringLiteral("7"));
        o.add(Category::Adult);

        const CartLine& a = o.shop.cart.AdultLine;
        QVERIFY(o.shop.cart.GotAdult);
        QVERIFY(!o.shop.cart.GotChild);
        QCOMPARE(a.Brand, QStringLiteral("Nike    "));
        QCOMPARE(a.Type, QStringLiteral("Runner"));
        QCOMPARE(a.Size, QStringLiteral("9"));
        QCOMPARE(a.Qty, 2);
        QCOMPARE(a.UnitPrice, 80);
        QCOMPARE(a.Cost, 160);
        QVERIFY(!s->button("cmdCart")->isEnabled());
        QCOMPARE(s->txtPrice()->text(), QStringLiteral("$160.00"));

        QVERIFY(o.shop.frmInvoice.loaded());
        QVERIFY(o.invoice()->isVisible());
        QVERIFY(s->isVisible());
        QVERIFY(o.shop.frmMenu.screen()->isVisible());
        QCOMPARE(o.row(0), (QStringList{"2", "Adult", "Nike    ", "Runner", "9", "80", "160"}));

        // Enabled again by the next successful Find Price only.
        choose(s->typeList(), 1);
        QVERIFY(!s->button("cmdCart")->isEnabled());
        QTest::mouseClick(s->button("cmdFindPrice"), Qt::LeftButton);
        QVERIFY(s->button("cmdCart")->isEnabled());
    }

    // Whatever changes the cart while the invoice is open, the invoice shows
    // the cart as a fresh load would: rows, total, buttons and thanks. What
    // leaves the cart as it was leaves the invoice as it was.
    void theOpenInvoiceFollowsTheCart_data()
    {
        QTest::addColumn<int>("first");   // the category of the line in the cart at Accept
        QTest::addColumn<int>("change");
        QTest::addColumn<QStringList>("row0");
        QTest::addColumn<QStringList>("row1");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("seeOther");
        QTest::addColumn<bool>("filledAgain");
        QTest::addColumn<QString>("told");  // what a screen reader is told last, once the invoice has settled
        const int adult = int(Category::Adult);
        QTest::newRow("a second adult add, another quantity")
            << adult << 0 << QStringList{"3", "Adult", "Nike    ", "Hoops", "8 1/2", "95", "285"} << EmptyRow
            << "$285.00" << invoice::SeeChildren << true
            << "Qty 3, Adult, Brand Nike, Type Hoops, Size 8 1/2, Unit Price 95, Cost 285. Your Total Cost $285.00";
        QTest::newRow("accepted, then Reset on the adult screen")
            << adult << 1 << EmptyRow << EmptyRow << "$.00" << invoice::SeeChildren << true << "Your Total Cost $.00";
        QTest::newRow("a children's add while the invoice is open")
            << adult << 2 << QStringList{"1", "Adult", "Addidas ", "Runner", "7", "65", "65"}
            << QStringList{"2", "Child", "Addidas ", "Runner", "1", "35", "70"} << "$135.00" << QString() << true
            << "Qty 1, Adult, Brand Addidas, Type Runner, Size 7, Unit Price 65, Cost 65. "
               "Qty 2, Child, Brand Addidas, Type Runner, Size 1, Unit Price 35, Cost 70. Your Total Cost $135.00";
        QTest::newRow("accepted, then a Reset that withdraws nothing")
            << int(Category::Child) << 1 << QStringList{"1", "Child", "Addidas ", "Runner", "1", "$35.00", "35"}
            << EmptyRow << "$35.00" << QString() << false << invoice::Thanks;
    }
    void theOpenInvoiceFollowsTheCart()
    {
        QFETCH(int, first);
        QFETCH(int, change);
        QFETCH(QStringList, row0);
        QFETCH(QStringList, row1);
        QFETCH(QString, total);
        QFETCH(QString, seeOther);
        QFETCH(bool, filledAgain);
        QFETCH(QString, told);
        Order o;
        test::Heard heard;
        o.price(Category(first), 0, 0, 0, QStringLiteral("1"));
        o.add(Category(first));
        InvoiceScreen* v = o.invoice();
        QVERIFY(QTest::qWaitForWindowActive(v));
        QTRY_COMPARE(heard.texts.size(), 2);  // the price, then the bill
        QTest::mouseClick(v->button("cmdAccept"), Qt::LeftButton);
        QCOMPARE(heard.texts.last(), invoice::Thanks);
        switch (change) {
        case 0:
            o.price(Category::Adult, 2, 1, 3, QStringLiteral("3"));
            o.add(Category::Adult);
            break;
        case 1:
            QTest::mouseClick(o.open(Category::Adult)->button("cmdReset"), Qt::LeftButton);
            break;
        case 2:
            o.price(Category::Child, 0, 0, 0, QStringLiteral("2"));
            o.add(Category::Child);
            break;
        }
        QCOMPARE(o.invoice(), v);  // filled again, not loaded again
        QCOMPARE(o.row(0), row0);
        QCOMPARE(o.row(1), row1);
        QCOMPARE(v->txtTotal()->text(), total);
        QCOMPARE(v->button("cmdSeeOther")->text(), seeOther);
        QCOMPARE(v->button("cmdSeeOther")->isEnabled(), !seeOther.isEmpty());
        // Filled again, the invoice waits for Accept; otherwise it still thanks the customer.
        QCOMPARE(v->button("cmdAccept")->text(), filledAgain ? invoice::Accept : QString());
        QCOMPARE(v->button("cmdAccept")->isEnabled(), filledAgain);
        QCOMPARE(v->controls().get<QLabel>(QStringLiteral("lblThanks"))->text(),
                 filledAgain ? QString() : invoice::Thanks);
        QCOMPARE(v->button("cmdClear")->font().bold(), !filledAgain);
        QCOMPARE(o.shop.cart.TotalCost, o.shop.cart.sumOfCosts());
        // Told a moment later; on a slow machine (emulation) the moment may be longer.
        QTRY_COMPARE(heard.texts.last(), told);
        // And told once: a second telling, after its delay, would be heard too.
        QTest::qWait(2 * invoice::BillNoticeDelayMs);
        QCOMPARE(heard.texts.count(told), 1);
    }

    // A screen reader hears each cell by its column and row, and the buttons
    // and the thanks by the captions they show at the time.
    void screenReaderHearsWhatIsShown()
    {
        Order o;
        o.price(Category::Child, 0, 0, 0, QStringLiteral("1"));
        o.add(Category::Child);
        InvoiceScreen* v = o.invoice();
        QCOMPARE(test::announced(v->txtBrand[0]), QStringLiteral("Brand, row 1"));
        QCOMPARE(test::announced(v->txtUnitPrice[5]), QStringLiteral("Unit Price, row 6"));
        QCOMPARE(test::announced(v->txtTotal()), QStringLiteral("Total"));
        QCOMPARE(test::announced(v->button("cmdSeeOther")), invoice::SeeAdult);
        auto* thanks = v->controls().get<QLabel>(QStringLiteral("lblThanks"));
        QCOMPARE(test::announced(thanks), QString());
        QTest::mouseClick(v->button("cmdAccept"), Qt::LeftButton);
        QCOMPARE(test::announced(thanks), invoice::Thanks);
        QCOMPARE(test::announced(v->button("cmdAccept")), QString());
        QCOMPARE(test::announced(v->button("cmdClear")), invoice::ClearExit);
    }

    void aReturningScreenDoesNotRefillTheInvoice()
    {
        // Only a change of the cart fills the invoice again; a Find Price
        // that is not added leaves it alone.
        Order o;
        o.price(Category::Adult, 0, 0, 0, QStringLiteral("1"));
        o.add(Category::Adult);
        QTest::mouseClick(o.invoice()->button("cmdAccept"), Qt::LeftButton);
        o.price(Category::Adult, 2, 1, 3, QStringLiteral("3"));
        QCOMPARE(o.invoice()->button("cmdAccept")->text(), QString());
        QCOMPARE(o.invoice()->txtTotal()->text(), QStringLiteral("$65.00"));
    }

    void lookupAfterAddLeavesTheLineAlone()
    {
        Order o;
        o.price(Category::Adult, 0, 0, 0, QStringLiteral("2"));
        o.add(Category::Adult);
        o.price(Category::Adult, 2, 1, 0, QStringLiteral("1"));  // priced, not added
        o.invoice()->close();
        o.price(Category::Child, 0, 0, 0, QStringLiteral("1"));
        o.add(Category::Child);
        QCOMPARE(o.row(0), (QStringList{"2", "Adult", "Addidas ", "Runner", "7", "65", "130"}));
    }

    void accept()
    {
        Order o;
        o.price(Category::Adult, 0, 0, 0, QStringLiteral("1"));
        o.add(Category::Adult);
        InvoiceScreen* v = o.invoice();
        QTest::mouseClick(v->button("cmdAccept"), Qt::LeftButton);
        QCOMPARE(v->controls().get<QLabel>(QStringLiteral("lblThanks"))->text(), QStringLiteral("Thank You!"));
        QCOMPARE(v->button("cmdAccept")->text(), QString());
        QVERIFY(!v->button("cmdAccept")->isEnabled());
        QCOMPARE(v->button("cmdSeeOther")->text(), QString());
        QVERIFY(!v->button("cmdSeeOther")->isEnabled());
        QVERIFY(v->button("cmdClear")->font().bold());
        QVERIFY(v->button("cmdClear")->isEnabled());
        QVERIFY(o.shop.cart.GotAdult);  // accepting does not empty the cart
        QVERIFY(!o.shop.app.ended());

        QTest::mouseClick(v->button("cmdClear"), Qt::LeftButton);
        QVERIFY(o.shop.app.ended());
        QCOMPARE(o.platform.exits, std::deque<int>{0});
        for (ui::ScreenSlot* slot : {&o.shop.frmMenu, &o.shop.frmAdult, &o.shop.frmChild, &o.shop.frmInvoice})
            QVERIFY(!slot->loaded());
        QVERIFY(o.platform.prompts.isEmpty());
    }

    void seeOther_data()
    {
        QTest::addColumn<bool>("fromAdult");
        QTest::newRow("to the children's screen") << true;
        QTest::newRow("to the adult screen") << false;
    }
    void seeOther()
    {
        QFETCH(bool, fromAdult);
        const Category from = fromAdult ? Category::Adult : Category::Child;
        const Category to = fromAdult ? Category::Child : Category::Adult;
        Order o;
        o.price(from, 1, 0, 2, QStringLiteral("2"));
        o.add(from);
        QVERIFY(!o.shop.selection(to).loaded());
        QTest::mouseClick(o.invoice()->button("cmdSeeOther"), Qt::LeftButton);
        QVERIFY(!o.shop.frmInvoice.loaded());
        QVERIFY(o.shop.selection(to).loaded());
        QVERIFY(o.shop.selection(from).loaded());

        o.price(to, 2, 0, 1, QStringLiteral("1"));
        o.add(to);
        QVERIFY(o.shop.frmInvoice.loaded());
        QCOMPARE(o.row(0).value(1), QStringLiteral("Adult"));
        QCOMPARE(o.row(1).value(1), QStringLiteral("Child"));
        QCOMPARE(o.invoice()->button("cmdSeeOther")->text(), QString());
        QVERIFY(!o.invoice()->button("cmdSeeOther")->isEnabled());
    }

    void seeOtherBringsBackTheScreenAsLeft()
    {
        Order o;
        SelectionScreen* child = o.price(Category::Child, 3, 1, 8, QStringLiteral("2"));
        o.price(Category::Adult, 0, 0, 0, QStringLiteral("1"));
        o.add(Category::Adult);
        QTest::mouseClick(o.invoice()->button("cmdSeeOther"), Qt::LeftButton);
        QCOMPARE(o.shop.frmChild.as<SelectionScreen>(), child);
        QCOMPARE(child->brandList()->ListIndex(), 3);
        QCOMPARE(child->txtPrice()->text(), QStringLiteral("$68.00"));
    }

    void closedInvoiceLoadsAfresh()
    {
        Order o;
        o.price(Category::Adult, 0, 0, 0, QStringLiteral("1"));
        o.add(Category::Adult);
        QTest::mouseClick(o.invoice()->button("cmdAccept"), Qt::LeftButton);
        o.invoice()->close();
        QVERIFY(!o.shop.frmInvoice.loaded());
        o.price(Category::Child, 0, 0, 0, QStringLiteral("1"));
        o.add(Category::Child);
        QCOMPARE(o.invoice()->button("cmdAccept")->text(), QStringLiteral("Accept "));
        QCOMPARE(o.invoice()->controls().get<QLabel>(QStringLiteral("lblThanks"))->text(), QString());
        QCOMPARE(o.row(1).value(1), QStringLiteral("Child"));
    }

    void resetAfterAddWithdrawsTheLine()
    {
        Order o;
        o.price(Category::Adult, 0, 0, 0, QStringLiteral("2"));
        o.add(Category::Adult);
        o.invoice()->close();
        QTest::mouseClick(o.open(Category::Adult)->button("cmdReset"), Qt::LeftButton);
        o.price(Category::Child, 0, 0, 0, QStringLiteral("1"));
        o.add(Category::Child);
        QCOMPARE(o.invoice()->txtTotal()->text(), QStringLiteral("$35.00"));
        QCOMPARE(o.row(0).value(1), QStringLiteral("Child"));
        QCOMPARE(o.row(1), EmptyRow);
    }
};

QTEST_MAIN(TestInvoice)
#include "tst_invoice.moc"
