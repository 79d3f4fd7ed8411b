// A whole order, as a customer makes it: started by the real start-up
// routine, driven by mouse clicks and key presses on the real controls, the
// dialogs answered through the seam, and the invoice read at the end.

#include "cart/invoicescreen.h"
#include "menu/menuscreen.h"
#include "selection/selectionscreen.h"
#include "shopfixture.h"
#include "ui/listbox.h"
#include "ui/spincontrol.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using namespace plimbo;

namespace {

void clickRow(ui::ListBox* list, int row)
{
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

void click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton);
}

void typeInto(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

} // namespace

class TestTypicalOrder : public QObject {
    Q_OBJECT
private slots:
    void anAdultAndAChildrensLine()
    {
        test::ShopFixture t;
        auto& shop = t.shop;

        // 1. The menu is open with an empty cart.
        auto* menu = shop.frmMenu.as<MenuScreen>();
        QVERIFY(menu && menu->isVisible());
        QVERIFY(!shop.cart.GotAdult && !shop.cart.GotChild);

        // 2. Adult Plimbos, Enter.
        click(menu->controls().get<QRadioButton>(QStringLiteral("optAdult")));
        click(menu->controls().get<QPushButton>(QStringLiteral("cmdMenu")));
        auto* adult = shop.frmAdult.as<SelectionScreen>();
        QVERIFY(adult && adult->isVisible());

        // 3. Nike, Hoops, size 10 1/2, spin up to 3. Find Price first without a size.
        clickRow(adult->brandList(), 2);
        clickRow(adult->typeList(), 1);
        click(adult->button("cmdFindPrice"));
        QCOMPARE(t.platform.messages, QStringList{"You must select a Size"});
        clickRow(adult->sizeList(), 7);
        auto* up = adult->upDown()->findChild<QToolButton*>(QStringLiteral("up"));
        click(up);
        click(up);
        QCOMPARE(adult->txtQuantity()->text(), QStringLiteral("3"));

        // 4. Find Price.
        click(adult->button("cmdFindPrice"));
        QCOMPARE(adult->txtPrice()->text(), QStringLiteral("$285.00"));
        QVERIFY(adult->button("cmdCart")->isEnabled());

        // 5. Add To Shopping Cart: the invoice opens in front with the adult row.
        click(adult->button("cmdCart"));
        auto* invoice = shop.frmInvoice.as<InvoiceScreen>();
        QVERIFY(invoice && invoice->isVisible());
        QCOMPARE(invoice->txtTotal()->text(), QStringLiteral("$285.00"));

        // 6. See Children's Plimbos; a typed quantity this time, a wrong one first.
        click(invoice->button("cmdSeeOther"));
        QVERIFY(!shop.frmInvoice.loaded());
        auto* child = shop.frmChild.as<SelectionScreen>();
        QVERIFY(child && child->isVisible());
        clickRow(child->brandList(), 0);
        clickRow(child->typeList(), 1);
        clickRow(child->sizeList(), 8);
        typeInto(child->txtQuantity(), QStringLiteral("two"));
        click(child->button("cmdFindPrice"));
        QCOMPARE(t.platform.messages.last(), messages::BadQuantity);
        QVERIFY(child->txtPrice()->isHidden());
        typeInto(child->txtQuantity(), QStringLiteral("2"));
        QTest::keyClick(child->txtQuantity(), Qt::Key_Up);
        QCOMPARE(child->txtQuantity()->text(), QStringLiteral("3"));
        click(child->button("cmdFindPrice"));
        QCOMPARE(child->txtPrice()->text(), QStringLiteral("$120.00"));
        click(child->button("cmdCart"));

        invoice = shop.frmInvoice.as<InvoiceScreen>();
        QVERIFY(invoice && invoice->isVisible());
        const QStringList adultRow{"3", "Adult", "Nike    ", "Hoops", "10 1/2", "95", "285"};
        const QStringList childRow{"3", "Child", "Addidas ", "Soccer", "5 ", "40", "120"};
        for (int r = 0; r < 2; ++r) {
            const auto i = static_cast<std::size_t>(r);
            const QStringList shown{invoice->txtQty[i]->text(),      invoice->txtAC[i]->text(),
                                    invoice->txtBrand[i]->text(),    invoice->txtType[i]->text(),
                                    invoice->txtSize[i]->text(),     invoice->txtUnitPrice[i]->text(),
                                    invoice->txtCost[i]->text()};
            QCOMPARE(shown, r == 0 ? adultRow : childRow);
        }
        QCOMPARE(invoice->txtTotal()->text(), QStringLiteral("$405.00"));
        QCOMPARE(invoice->button("cmdSeeOther")->text(), QString());

        // 7. Accept, then Clear - Exit ends the shop.
        click(invoice->button("cmdAccept"));
        QVERIFY(!invoice->button("cmdAccept")->isEnabled());
        click(invoice->button("cmdClear"));
        QVERIFY(shop.app.ended());
        QCOMPARE(t.platform.exits, std::deque<int>{0});
        QVERIFY(!shop.frmMenu.loaded());
        QCOMPARE(t.platform.messages.size(), 2);
        QVERIFY(t.platform.unexpected.isEmpty());
    }
};

QTEST_MAIN(TestTypicalOrder)
#include "tst_typicalorder.moc"
