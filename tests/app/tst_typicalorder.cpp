// A whole order, as a customer makes it: started by the real start-up
// routine, driven by mouse clicks and key presses on the real controls, the
// dialogs answered through the seam, and the invoice read at the end.

#include "cart/invoicescreen.h"
#include "menu/menuscreen.h"
#include "selection/selectionscreen.h"
#include "heard.h"
#include "shopfixture.h"
#include "ui/listbox.h"
#include "ui/spincontrol.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointingDevice>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QScroller>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using namespace plimbo;

namespace {

void clickRow(ui::ListBox* list, int row)
{
    list->scrollToItem(list->item(row));  // as the wheel or the scroll bar would
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

// A tap of a finger on a touch screen: down and up at one point of `w`
// (its middle unless given), as touch events only.
QPointingDevice* finger();

void tap(QWidget* w, QPoint at = {})
{
    if (at.isNull())
        at = w->rect().center();
    QTest::touchEvent(w->window(), finger()).press(0, w->mapTo(w->window(), at), w->window());
    QTest::touchEvent(w->window(), finger()).release(0, w->mapTo(w->window(), at), w->window());
}

QPointingDevice* finger()
{
    static QPointingDevice* const device = QTest::createTouchDevice();
    return device;
}

// A finger swiping up `distance` pixels over a list, in small moves.
void swipeUp(ui::ListBox* list, int distance)
{
    QWidget* window = list->window();
    QPoint at = list->viewport()->mapTo(window, list->viewport()->rect().center() + QPoint(0, distance / 2));
    QTest::touchEvent(window, finger()).press(0, at, window);
    for (int moved = 0; moved < distance; moved += 5) {
        at.ry() -= 5;
        QTest::qWait(10);
        QTest::touchEvent(window, finger()).move(0, at, window);
    }
    QTest::touchEvent(window, finger()).release(0, at, window);
}

bool inSight(ui::ListBox* list, int row)
{
    const QRect r = list->visualItemRect(list->item(row));
    return r.top() >= 0 && r.bottom() < list->viewport()->height();
}

// Taps a list's row; a row out of sight is first brought into it by a swipe.
// False when a swipe never settles or the row never comes into sight.
[[nodiscard]] bool tapRow(ui::ListBox* list, int row)
{
    for (int swipes = 0; !inSight(list, row) && swipes < 5; ++swipes) {
        swipeUp(list, list->viewport()->height() / 2);
        if (!QTest::qWaitFor([&] { return QScroller::scroller(list->viewport())->state() == QScroller::Inactive; }))
            return false;
    }
    if (!inSight(list, row))
        return false;
    tap(list->viewport(), list->visualItemRect(list->item(row)).center());
    return true;
}

// Keyboard alone: every key goes to the widget that has the focus.
QString focusName()
{
    QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QStringLiteral("(nothing)");
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1)
{
    for (int i = 0; i < times; ++i)
        if (QWidget* w = QApplication::focusWidget())
            QTest::keyClick(w, Qt::Key(key), modifiers);
}

// Presses Tab until `name` has the focus; false when it never comes.
bool tabTo(const QString& name)
{
    for (int i = 0; i < 24 && focusName() != name; ++i) {
        press(Qt::Key_Tab);
    }
    return focusName() == name;
}

// The controls a screen reader would find nameless on `window`: anything
// shown that a customer can use or read, by its accessible interface.
QStringList nameless(QWidget* window)
{
    QStringList out;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* a) {
        for (int i = 0; i < a->childCount(); ++i) {
            QAccessibleInterface* c = a->child(i);
            if (!c || c->state().invisible)
                continue;
            walk(c);
            const QAccessible::Role role = c->role();
            if (role == QAccessible::Client || role == QAccessible::Grouping || role == QAccessible::Pane ||
                role == QAccessible::MenuBar || role == QAccessible::Border ||
                role == QAccessible::ScrollBar || role == QAccessible::Separator)
                continue;
            // A disabled control with nothing on it offers nothing to read.
            const bool offers = !c->state().disabled || !c->text(QAccessible::Value).trimmed().isEmpty();
            if (offers && c->text(QAccessible::Name).trimmed().isEmpty()) {
                QObject* o = c->object();
                out << QStringLiteral("%1 (role %2) in %3")
                           .arg(o ? o->objectName() : QStringLiteral("a part"))
                           .arg(int(role))
                           .arg(a->object() ? a->object()->objectName() : QString());
            }
        }
    };
    walk(QAccessible::queryAccessibleInterface(window));
    return out;
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

    // The same order on a touch screen, by taps alone: no mouse, no keys.
    // Also run with QT_SCALE_FACTOR=2, as a large touch kiosk runs it.
    void theSameOrderByTouchAlone()
    {
        test::ShopFixture t;
        auto& shop = t.shop;
        auto* menu = shop.frmMenu.as<MenuScreen>();
        QVERIFY(QTest::qWaitForWindowExposed(menu));

        tap(menu->controls().get<QRadioButton>(QStringLiteral("optAdult")));
        QVERIFY(menu->controls().get<QRadioButton>(QStringLiteral("optAdult"))->isChecked());
        tap(menu->controls().get<QPushButton>(QStringLiteral("cmdMenu")));
        auto* adult = shop.frmAdult.as<SelectionScreen>();
        QVERIFY(adult && QTest::qWaitForWindowExposed(adult));

        QVERIFY(tapRow(adult->brandList(), 2));
        QCOMPARE(adult->brandList()->selectedText(), QStringLiteral("Nike    "));
        QVERIFY(tapRow(adult->typeList(), 1));
        QCOMPARE(adult->typeList()->selectedText(), QStringLiteral("Hoops"));
        QVERIFY(tapRow(adult->sizeList(), 7));
        QCOMPARE(adult->sizeList()->selectedText(), QStringLiteral("10 1/2"));
        auto* up = adult->upDown()->findChild<QToolButton*>(QStringLiteral("up"));
        auto* down = adult->upDown()->findChild<QToolButton*>(QStringLiteral("down"));
        tap(up);
        tap(up);
        tap(up);
        tap(down);
        QCOMPARE(adult->txtQuantity()->text(), QStringLiteral("3"));
        tap(adult->button("cmdFindPrice"));
        QCOMPARE(adult->txtPrice()->text(), QStringLiteral("$285.00"));
        tap(adult->button("cmdCart"));

        auto* invoice = shop.frmInvoice.as<InvoiceScreen>();
        QVERIFY(invoice && QTest::qWaitForWindowExposed(invoice));
        QCOMPARE(invoice->txtTotal()->text(), QStringLiteral("$285.00"));
        tap(invoice->button("cmdSeeOther"));
        auto* child = shop.frmChild.as<SelectionScreen>();
        QVERIFY(child && QTest::qWaitForWindowExposed(child));

        QVERIFY(tapRow(child->brandList(), 0));
        QCOMPARE(child->brandList()->selectedText(), QStringLiteral("Addidas "));
        QVERIFY(tapRow(child->typeList(), 1));
        QVERIFY(tapRow(child->sizeList(), 8));
        QCOMPARE(child->sizeList()->selectedText(), QStringLiteral("5 "));
        tap(child->upDown()->findChild<QToolButton*>(QStringLiteral("up")));
        tap(child->upDown()->findChild<QToolButton*>(QStringLiteral("up")));
        QCOMPARE(child->txtQuantity()->text(), QStringLiteral("3"));
        QCOMPARE(child->typeList()->selectedText(), QStringLiteral("Soccer"));
        QCOMPARE(child->brandList()->selectedText(), QStringLiteral("Addidas "));
        tap(child->button("cmdFindPrice"));
        QCOMPARE(t.platform.messages, QStringList());
        QCOMPARE(child->txtPrice()->text(), QStringLiteral("$120.00"));
        tap(child->button("cmdCart"));

        invoice = shop.frmInvoice.as<InvoiceScreen>();
        QVERIFY(invoice && QTest::qWaitForWindowExposed(invoice));
        QCOMPARE(invoice->txtTotal()->text(), QStringLiteral("$405.00"));
        QCOMPARE(invoice->txtType[1]->text(), QStringLiteral("Soccer"));
        tap(invoice->button("cmdAccept"));
        QCOMPARE(invoice->controls().get<QLabel>(QStringLiteral("lblThanks"))->text(), invoice::Thanks);
        QVERIFY(t.platform.messages.isEmpty());
    }

    // A swipe over a list scrolls it and chooses nothing, on each list that
    // has rows out of sight.
    void aSwipeScrollsAndChoosesNothing_data()
    {
        QTest::addColumn<bool>("adult");
        QTest::addColumn<QString>("list");
        QTest::newRow("adult sizes") << true << "lstAdultSize";
        QTest::newRow("children's sizes") << false << "lstChildSize";
        QTest::newRow("children's brands") << false << "lstChildBrand";
    }
    void aSwipeScrollsAndChoosesNothing()
    {
        QFETCH(bool, adult);
        QFETCH(QString, list);
        test::ShopFixture t;
        ui::ScreenSlot& slot = adult ? t.shop.frmAdult : t.shop.frmChild;
        slot.show();
        QVERIFY(QTest::qWaitForWindowExposed(slot.screen()));
        auto* rows = slot.screen()->controls().get<ui::ListBox>(list);
        rows->setEnabled(true);
        QSignalSpy chosen(rows, &ui::ListBox::Click);
        swipeUp(rows, rows->viewport()->height() / 2);
        QTRY_VERIFY(rows->verticalScrollBar()->value() > 0);
        QCOMPARE(rows->ListIndex(), -1);
        QCOMPARE(chosen.count(), 0);
    }

    void theSameOrderByKeyboardAlone()
    {
        test::ShopFixture t;
        auto& shop = t.shop;
        test::Heard heard;
        auto expectFocus = [](const QString& name) { return tabTo(name) ? QString() : name + " never took the focus"; };
        QVERIFY(QTest::qWaitForWindowActive(shop.frmMenu.screen()));

        // The menu: the two options are one tab stop; the arrow keys move
        // between them and Space chooses. Then Enter on Enter.
        QCOMPARE(expectFocus("optChild"), QString());
        press(Qt::Key_Up);
        QCOMPARE(focusName(), QStringLiteral("optAdult"));
        press(Qt::Key_Space);
        QVERIFY(shop.frmMenu.screen()->findChild<QRadioButton*>(QStringLiteral("optAdult"))->isChecked());
        QCOMPARE(expectFocus("cmdMenu"), QString());
        press(Qt::Key_Return);
        auto* adult = shop.frmAdult.as<SelectionScreen>();
        QVERIFY(adult && QTest::qWaitForWindowActive(adult));

        // Nike, Hoops, 10 1/2, three pairs by the arrow keys. A list that
        // takes the focus marks its first row; Down moves on from there.
        QCOMPARE(focusName(), QStringLiteral("lstAdultBrand"));
        press(Qt::Key_Down, Qt::NoModifier, 2);
        QCOMPARE(adult->brandList()->selectedText(), QStringLiteral("Nike    "));
        QCOMPARE(expectFocus("lstAdultType"), QString());
        press(Qt::Key_Down);
        QCOMPARE(expectFocus("lstAdultSize"), QString());
        press(Qt::Key_Down, Qt::NoModifier, 7);
        QCOMPARE(expectFocus("txtQuantity"), QString());
        press(Qt::Key_Up, Qt::NoModifier, 2);
        QCOMPARE(expectFocus("cmdFindPrice"), QString());
        press(Qt::Key_Return);
        QCOMPARE(adult->txtPrice()->text(), QStringLiteral("$285.00"));
        QCOMPARE(expectFocus("cmdCart"), QString());
        press(Qt::Key_Space);

        // The invoice comes up in front with See Children's Plimbos first.
        auto* invoice = shop.frmInvoice.as<InvoiceScreen>();
        QVERIFY(invoice && QTest::qWaitForWindowActive(invoice));
        QCOMPARE(focusName(), QStringLiteral("cmdSeeOther"));
        QTRY_COMPARE(heard.texts.size(), 2);  // the bill, as the invoice comes to the front
        press(Qt::Key_Return);
        auto* child = shop.frmChild.as<SelectionScreen>();
        QVERIFY(child && QTest::qWaitForWindowActive(child));

        // Addidas (the marked first row, chosen by Space), Soccer, 5, two
        // pairs typed and one more by the Up key.
        QCOMPARE(expectFocus("lstChildBrand"), QString());
        press(Qt::Key_Space);
        QCOMPARE(expectFocus("lstChildType"), QString());
        press(Qt::Key_Down);
        QCOMPARE(expectFocus("lstChildSize"), QString());
        press(Qt::Key_Down, Qt::NoModifier, 8);
        QCOMPARE(expectFocus("txtQuantity"), QString());
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_2);
        press(Qt::Key_Up);
        QCOMPARE(expectFocus("cmdFindPrice"), QString());
        press(Qt::Key_Space);
        QCOMPARE(child->txtPrice()->text(), QStringLiteral("$120.00"));
        QCOMPARE(expectFocus("cmdCart"), QString());
        press(Qt::Key_Return);

        invoice = shop.frmInvoice.as<InvoiceScreen>();
        QVERIFY(invoice && QTest::qWaitForWindowActive(invoice));
        QTRY_COMPARE(heard.texts.size(), 4);
        QCOMPARE(invoice->txtTotal()->text(), QStringLiteral("$405.00"));
        QCOMPARE(invoice->txtBrand[0]->text(), QStringLiteral("Nike    "));
        QCOMPARE(invoice->txtType[1]->text(), QStringLiteral("Soccer"));
        QCOMPARE(expectFocus("cmdAccept"), QString());
        press(Qt::Key_Space);
        QCOMPARE(invoice->button("cmdAccept")->text(), QString());
        QCOMPARE(expectFocus("cmdClear"), QString());
        press(Qt::Key_Return);
        QVERIFY(shop.app.ended());
        QCOMPARE(t.platform.exits, std::deque<int>{0});
        QVERIFY(t.platform.messages.isEmpty());
        // What a customer who cannot see the screen heard besides the focus.
        QCOMPARE(heard.texts,
                 (QStringList{"Price $285.00",
                              "Qty 3, Adult, Brand Nike, Type Hoops, Size 10 1/2, Unit Price 95, Cost 285. "
                              "Your Total Cost $285.00",
                              "Price $120.00",
                              "Qty 3, Adult, Brand Nike, Type Hoops, Size 10 1/2, Unit Price 95, Cost 285. "
                              "Qty 3, Child, Brand Addidas, Type Soccer, Size 5, Unit Price 40, Cost 120. "
                              "Your Total Cost $405.00",
                              "Thank You!"}));
    }

    // A screen reader finds a name for every control a customer can use or
    // read, on every screen, along the way of an order.
    void everyControlIsAnnounced()
    {
        test::ShopFixture t;
        auto& shop = t.shop;
        shop.frmMenu.as<MenuScreen>()->tmrMenu_Timer();
        QCOMPARE(nameless(shop.frmMenu.screen()), QStringList());
        for (Category c : {Category::Adult, Category::Child}) {
            shop.selection(c).show();
            auto* screen = shop.selection(c).as<SelectionScreen>();
            QCOMPARE(nameless(screen), QStringList());
            clickRow(screen->brandList(), 0);
            clickRow(screen->typeList(), 0);
            clickRow(screen->sizeList(), 0);
            click(screen->button("cmdFindPrice"));
            QCOMPARE(nameless(screen), QStringList());
            click(screen->button("cmdCart"));
        }
        auto* invoice = shop.frmInvoice.as<InvoiceScreen>();
        QCOMPARE(nameless(invoice), QStringList());
        click(invoice->button("cmdAccept"));
        QCOMPARE(nameless(invoice), QStringList());
    }

    // Every menu item is in reach of its access key.
    void accessKeys_data()
    {
        QTest::addColumn<bool>("onMenu");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("effect");
        QTest::newRow("Alt+X: the menu's exit") << true << int(Qt::Key_X) << "password asked";
        QTest::newRow("Alt+P: preferences") << true << int(Qt::Key_P) << "mnuPreferences open";
        QTest::newRow("Alt+E: a selection screen's exit") << false << int(Qt::Key_E) << "ended";
    }
    void accessKeys()
    {
        QFETCH(bool, onMenu);
        QFETCH(int, key);
        QFETCH(QString, effect);
        test::ShopFixture t;
        if (!onMenu)
            t.shop.frmAdult.show();
        QVERIFY(QTest::qWaitForWindowActive(onMenu ? t.shop.frmMenu.screen() : t.shop.frmAdult.screen()));
        t.platform.answers = {QStringLiteral("kip")};
        press(key, Qt::AltModifier);
        QString seen;
        if (!t.platform.prompts.isEmpty())
            seen = QStringLiteral("password asked");
        else if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
            seen = popup->objectName() + QStringLiteral(" open");
        else if (t.shop.app.ended())
            seen = QStringLiteral("ended");
        QCOMPARE(seen, effect);
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }
};

QTEST_MAIN(TestTypicalOrder)
#include "tst_typicalorder.moc"
