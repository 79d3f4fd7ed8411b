// Both selection screens, driven as a customer drives them. Shared behaviour
// runs from one table of both categories; the differences are tested alone.

#include "cart/invoicescreen.h"
#include "heard.h"
#include "printing.h"
#include "screens.h"
#include "selection/selectionscreen.h"
#include "shopfixture.h"
#include "ui/listbox.h"
#include "ui/spincontrol.h"

#include <QAccessible>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

using namespace plimbo;
using test::choose;
using test::record;

Q_DECLARE_METATYPE(plimbo::Category)

namespace {

struct Selection : test::ShopFixture {
    explicit Selection(Category c, const QByteArray& priceList = test::canonicalFile())
        : ShopFixture(priceList), category(c)
    {
        shop.selection(c).show();
    }
    SelectionScreen* s() const { return slot().as<SelectionScreen>(); }
    ui::ScreenSlot& slot() const { return const_cast<plimbo::Shop&>(shop).selection(category); }
    QPushButton* button(const char* name) const { return s()->button(name); }
    QLabel* lblPrice() const { return s()->controls().get<QLabel>(QStringLiteral("lblPrice")); }

    // Chooses brand, type and size rows and a quantity, and presses Find Price.
    void price(int brand, int type, int size, const QString& quantity)
    {
        choose(s()->brandList(), brand);
        choose(s()->typeList(), type);
        choose(s()->sizeList(), size);
        s()->txtQuantity()->setText(quantity);
        QTest::mouseClick(button("cmdFindPrice"), Qt::LeftButton);
    }

    Category category;
};

void bothCategories()
{
    QTest::addColumn<Category>("category");
    QTest::newRow("adult") << Category::Adult;
    QTest::newRow("child") << Category::Child;
}

} // namespace

class TestSelection : public QObject {
    Q_OBJECT
private slots:
    void openingState_data() { bothCategories(); }
    void openingState()
    {
        QFETCH(Category, category);
        Selection t(category);
        const bool adult = category == Category::Adult;
        SelectionScreen* s = t.s();
        QCOMPARE(s->objectName(), adult ? QStringLiteral("frmAdult") : QStringLiteral("frmChild"));
        QCOMPARE(s->windowTitle(), adult ? QStringLiteral("Adult Plimbo Selection")
                                         : QStringLiteral("Children's Plimbo Selection"));
        QCOMPARE(s->client()->size(), adult ? QSize(564, 352) : QSize(568, 369));
        QCOMPARE(s->controls().get<QLabel>(QStringLiteral("lblTitle"))->text(),
                 adult ? QStringLiteral("Adult Plimbos") : QStringLiteral("Children's Plimbos"));

        QCOMPARE(s->brandList()->objectName(), adult ? QStringLiteral("lstAdultBrand") : QStringLiteral("lstChildBrand"));
        QCOMPARE(s->brandList()->rows(), (QStringList{"Addidas ", "Reebok  ", "Nike    ", "Etonic  ", "Converse"}));
        const QStringList types = adult ? QStringList{"Hoops", "Low", "High", "Walker", "Skate"}
                                        : QStringList{"Low", "High", "Velcro", "School", "Skate"};
        QCOMPARE(s->typeList()->rows(), types);
        const QStringList sizes =
            adult ? QStringList{"7", "7 1/2", "8", "8 1/2", "9", "9 1/2", "10", "10 1/2", "11", "11 1/2", "12",
                                "12 1/2", "13", "13 1/2"}
                  : QStringList{"1", "1  1/2", "2", "2  1/2", "3", "3  1/2", "4", "4  1/2", "5 ", "5  1/2", "6",
                                "6 1/2", "7", "7 1/2"};
        QCOMPARE(s->sizeList()->rows(), sizes);
        QCOMPARE(s->sizeText()[14], QString());
        for (ui::ListBox* list : {s->brandList(), s->typeList(), s->sizeList()})
            QCOMPARE(list->ListIndex(), -1);

        QVERIFY(s->brandList()->isEnabled());
        QCOMPARE(s->typeList()->isEnabled(), !adult);
        QCOMPARE(s->sizeList()->isEnabled(), !adult);
        QCOMPARE(s->txtQuantity()->text(), QStringLiteral("1"));
        QVERIFY(!s->upDown()->isEnabled());
        QVERIFY(t.button("cmdFindPrice")->isEnabled());
        QVERIFY(!t.button("cmdReset")->isEnabled());
        QVERIFY(!t.button("cmdCart")->isEnabled());
        QCOMPARE(t.button("cmdCart")->text(), QStringLiteral(" Add To Shopping Cart"));
        QVERIFY(s->txtPrice()->isHidden());
        QCOMPARE(s->txtPrice()->isEnabled(), !adult);
        QVERIFY(t.lblPrice()->isHidden());
        auto* directions = s->controls().get<QTextEdit>(adult ? QStringLiteral("txtAdultDirections")
                                                               : QStringLiteral("txtChildDirections"));
        QCOMPARE(directions->toPlainText(),
                 QStringLiteral("Please select a Brand name, Type, and Size from the boxes above, and click on Find "
                                "Price.  \nThank you for your patronage!\n"));

        // Screen readers hear each list and box by its label.
        QCOMPARE(test::announced(s->brandList()), QStringLiteral("Brand"));
        QCOMPARE(test::announced(s->sizeList()), QStringLiteral("Size"));
        QCOMPARE(test::announced(s->txtQuantity()), QStringLiteral("Quantity"));
        QCOMPARE(test::announced(t.button("cmdCart")), QStringLiteral("Add To Shopping Cart"));

        QCOMPARE(s->txtQuantity()->geometry(),
                 adult ? test::pixels(4320, 1440, 615, 495) : test::pixels(3960, 1560, 375, 495));
        QCOMPARE(s->upDown()->geometry(), adult ? test::pixels(4936, 1440, 240, 495) : test::pixels(4336, 1560, 240, 495));
        // First in tab order: the brand list on the adult screen, Reset on the children's.
        QWidget* first = adult ? static_cast<QWidget*>(s->brandList()) : t.button("cmdReset");
        QWidget* second = adult ? static_cast<QWidget*>(s->controls().get<QTextEdit>(QStringLiteral("txtAdultDirections")))
                                : t.button("cmdCart");
        QCOMPARE(test::nextTabStop(first), second);
    }

    void brandChoiceFillsTheTypes_data()
    {
        QTest::addColumn<Category>("category");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("types");
        QTest::newRow("adult Nike") << Category::Adult << 2 << QStringList{"Runner", "Hoops", "Trail", "Walker", "Cross"};
        QTest::newRow("adult Reebok, one type at 0") << Category::Adult << 1
                                                     << QStringList{"Runner", "Aerobic", "Walker", "Cross", ""};
        QTest::newRow("child Etonic, two at 0") << Category::Child << 3
                                                << QStringList{"Runner", "Soccer", "School", "", ""};
    }
    void brandChoiceFillsTheTypes()
    {
        QFETCH(Category, category);
        QFETCH(int, row);
        QFETCH(QStringList, types);
        Selection t(category);
        choose(t.s()->typeList(), 0);
        choose(t.s()->brandList(), row);
        QCOMPARE(t.s()->typeList()->rows(), types);
        QVERIFY(t.s()->typeList()->isEnabled());
        QCOMPARE(t.s()->typeList()->ListIndex(), -1);  // an earlier type choice goes with the old rows
    }

    // A screen reader holds on to the type list: after brand choice upon
    // brand choice it is the same list, and it hears each row by its text.
    void typeListStaysTheSameForAScreenReader_data() { bothCategories(); }
    void typeListStaysTheSameForAScreenReader()
    {
        QFETCH(Category, category);
        Selection t(category);
        ui::ListBox* types = t.s()->typeList();
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(types);
        QVERIFY(list);
        const QAccessible::Id id = QAccessible::uniqueId(list);
        for (int brand : {2, 1, 4, 3, 0, 2}) {
            choose(t.s()->brandList(), brand);
            QCOMPARE(QAccessible::uniqueId(QAccessible::queryAccessibleInterface(types)), id);
            QStringList heard;
            for (int i = 0; i < list->childCount(); ++i)
                heard << list->child(i)->text(QAccessible::Name);
            QCOMPARE(heard, types->rows());
        }
    }

    void brandsWithoutTypes_data() { bothCategories(); }
    void brandsWithoutTypes()
    {
        QFETCH(Category, category);
        const char* cat = category == Category::Adult ? "Adult" : "Child";
        // An unknown brand text, a brand with no prices, then empty rows.
        Selection t(category, record(cat, "Nike", {{"A", 1}, {"B", 1}, {"C", 1}, {"D", 1}, {"E", 1}}) +
                                  record(cat, "Reebok  ", {{"A", 0}, {"B", 0}, {"C", 0}, {"D", 0}, {"E", 0}}));
        QCOMPARE(t.s()->brandList()->rows(), (QStringList{"Nike", "Reebok  ", "", "", ""}));
        for (int row : {0, 4}) {
            choose(t.s()->brandList(), row);
            QCOMPARE(t.s()->typeList()->count(), 0);
            QVERIFY(t.s()->typeList()->isEnabled());
        }
        choose(t.s()->brandList(), 1);
        QCOMPARE(t.s()->typeList()->rows(), (QStringList{"", "", "", "", ""}));
        // Choosing one of those empty rows is no type.
        choose(t.s()->typeList(), 0);
        choose(t.s()->sizeList(), 0);
        QTest::mouseClick(t.button("cmdFindPrice"), Qt::LeftButton);
        QCOMPARE(t.platform.messages, QStringList{"You must select a Type"});
        QVERIFY(t.s()->txtPrice()->isHidden());
    }

    void typeChoiceEnablesSizesAndSpin_data() { bothCategories(); }
    void typeChoiceEnablesSizesAndSpin()
    {
        QFETCH(Category, category);
        Selection t(category);
        choose(t.s()->brandList(), 0);
        choose(t.s()->typeList(), 1);
        QVERIFY(t.s()->sizeList()->isEnabled());
        QVERIFY(t.s()->upDown()->isEnabled());
    }

    void spinSteps_data()
    {
        QTest::addColumn<Category>("category");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("presses");   // u = up arrow, d = down arrow, U/D = keys
        QTest::addColumn<QString>("shown");
        for (Category c : {Category::Adult, Category::Child}) {
            const char* n = c == Category::Adult ? "adult" : "child";
            QTest::addRow("%s up", n) << c << "" << "u" << "2";
            QTest::addRow("%s down at 1", n) << c << "" << "d" << "1";
            QTest::addRow("%s up to 10 and past", n) << c << "" << "uuuuuuuuuuuu" << "10";
            QTest::addRow("%s keys", n) << c << "" << "UUD" << "2";
            QTest::addRow("%s from typed 7", n) << c << "7" << "u" << "8";
            QTest::addRow("%s from typed 10", n) << c << "10" << "u" << "10";
            QTest::addRow("%s from typed letters", n) << c << "abc" << "u" << "2";
            QTest::addRow("%s from typed 40", n) << c << "40" << "d" << "1";
        }
    }
    void spinSteps()
    {
        QFETCH(Category, category);
        QFETCH(QString, typed);
        QFETCH(QString, presses);
        QFETCH(QString, shown);
        Selection t(category);
        choose(t.s()->brandList(), 0);
        choose(t.s()->typeList(), 0);
        if (!typed.isEmpty())
            t.s()->txtQuantity()->setText(typed);
        auto* up = t.s()->upDown()->findChild<QToolButton*>(QStringLiteral("up"));
        auto* down = t.s()->upDown()->findChild<QToolButton*>(QStringLiteral("down"));
        for (QChar p : presses) {
            if (p == QLatin1Char('u'))
                QTest::mouseClick(up, Qt::LeftButton);
            else if (p == QLatin1Char('d'))
                QTest::mouseClick(down, Qt::LeftButton);
            else
                QTest::keyClick(t.s()->txtQuantity(), p == QLatin1Char('U') ? Qt::Key_Up : Qt::Key_Down);
        }
        QCOMPARE(t.s()->txtQuantity()->text(), shown);
    }

    void spinIsDeadUntilATypeIsChosen()
    {
        Selection t(Category::Adult);
        QTest::keyClick(t.s()->txtQuantity(), Qt::Key_Up);
        QCOMPARE(t.s()->txtQuantity()->text(), QStringLiteral("1"));
    }

    void findPriceAsksForWhatIsMissing_data()
    {
        QTest::addColumn<Category>("category");
        QTest::addColumn<int>("brand");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("message");
        for (Category c : {Category::Adult, Category::Child}) {
            const char* n = c == Category::Adult ? "adult" : "child";
            QTest::addRow("%s nothing", n) << c << -1 << -1 << -1 << "You must select a Brand";
            QTest::addRow("%s brand", n) << c << 0 << -1 << -1 << "You must select a Type";
            QTest::addRow("%s brand and type", n) << c << 0 << 2 << -1 << "You must select a Size";
        }
        QTest::newRow("child type and size first") << Category::Child << -1 << 1 << 3 << "You must select a Brand";
    }
    void findPriceAsksForWhatIsMissing()
    {
        QFETCH(Category, category);
        QFETCH(int, brand);
        QFETCH(int, type);
        QFETCH(int, size);
        QFETCH(QString, message);
        Selection t(category);
        test::Heard heard;
        if (brand >= 0)
            choose(t.s()->brandList(), brand);
        if (type >= 0)
            choose(t.s()->typeList(), type);
        if (size >= 0)
            choose(t.s()->sizeList(), size);
        QTest::mouseClick(t.button("cmdFindPrice"), Qt::LeftButton);
        QCOMPARE(t.platform.messages, QStringList{message});
        QCOMPARE(heard.texts, QStringList());  // no price to tell
        QCOMPARE(t.shop.SelectionMissing.value(), -1);
        QVERIFY(t.s()->txtPrice()->isHidden());
        QVERIFY(!t.button("cmdCart")->isEnabled());
        QVERIFY(!t.button("cmdReset")->isEnabled());
        QVERIFY(!t.shop.app.ended());
    }

    void findPriceShowsTheCost_data() { bothCategories(); }
    void findPriceShowsTheCost()
    {
        QFETCH(Category, category);
        Selection t(category);
        const bool adult = category == Category::Adult;
        // Adult Addidas Runner is 65; child Nike Soccer... Nike's second child type, Hoops, is 48.
        t.price(adult ? 0 : 2, adult ? 0 : 1, 4, QStringLiteral("3"));
        QVERIFY(t.platform.messages.isEmpty());
        QCOMPARE(t.s()->txtPrice()->text(), adult ? QStringLiteral("$195.00") : QStringLiteral("$144.00"));
        QVERIFY(!t.s()->txtPrice()->isHidden());
        QVERIFY(!t.lblPrice()->isHidden());
        QVERIFY(t.button("cmdReset")->isEnabled());
        QVERIFY(t.button("cmdCart")->isEnabled());
        QCOMPARE(t.shop.SelectionMissing.value(), 0);
        const PendingLine& p = t.s()->pendingLine();
        QCOMPARE(p.LineCost, adult ? 195 : 144);
        QCOMPARE(p.LineQuantity, 3);
        QCOMPARE(p.LineBrand, adult ? QStringLiteral("Addidas ") : QStringLiteral("Nike    "));
        QCOMPARE(p.LineType, adult ? QStringLiteral("Runner") : QStringLiteral("Hoops"));
        QCOMPARE(p.LineSize, adult ? QStringLiteral("9") : QStringLiteral("3"));
        // Pricing is not buying: the cart is untouched until the line is added.
        QCOMPARE(t.shop.cart.line(category).UnitPrice, 0);
        QVERIFY(!t.shop.cart.present(category));
    }

    void badQuantityKeepsEverything_data()
    {
        QTest::addColumn<Category>("category");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString bad = messages::BadQuantity;
        const QString large = messages::QuantityTooLarge;
        for (Category c : {Category::Adult, Category::Child}) {
            const char* n = c == Category::Adult ? "adult" : "child";
            QTest::addRow("%s empty", n) << c << "" << bad;
            QTest::addRow("%s letters", n) << c << "lots" << bad;
            QTest::addRow("%s 2.5", n) << c << "2.5" << bad;
            QTest::addRow("%s 0", n) << c << "0" << bad;
            QTest::addRow("%s -3", n) << c << "-3" << bad;
            QTest::addRow("%s 40000", n) << c << "40000" << large;
            QTest::addRow("%s cost too large", n) << c << "1000" << large;
        }
    }
    void badQuantityKeepsEverything()
    {
        QFETCH(Category, category);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        Selection t(category);
        t.price(0, 0, 0, QStringLiteral("2"));
        const PendingLine before = t.s()->pendingLine();
        const QString shown = t.s()->txtPrice()->text();

        t.price(2, 1, 3, typed);
        QCOMPARE(t.platform.messages, QStringList{message});
        QCOMPARE(t.s()->txtPrice()->text(), shown);
        QCOMPARE(t.s()->pendingLine().LineCost, before.LineCost);
        QCOMPARE(t.s()->pendingLine().LineType, before.LineType);
        QCOMPARE(t.s()->txtQuantity()->text(), typed);  // what the customer typed stays to be fixed
        QVERIFY(t.button("cmdCart")->isEnabled());
        QVERIFY(!t.shop.app.ended());
        QVERIFY(t.platform.exits.empty());
    }

    void adultReset()
    {
        Selection t(Category::Adult);
        for (int pass = 0; pass < 2; ++pass) {
            t.price(2, 1, 5, QStringLiteral("4"));
            QTest::mouseClick(t.s()->button("cmdCart"), Qt::LeftButton);
            QVERIFY(t.shop.cart.GotAdult);
            for (int twice = 0; twice < 2; ++twice) {
                QTest::mouseClick(t.button("cmdReset"), Qt::LeftButton);
                SelectionScreen* s = t.s();
                QVERIFY(!t.shop.cart.GotAdult);
                QCOMPARE(t.shop.cart.AdultLine.Cost, 0);
                QVERIFY(!t.button("cmdCart")->isEnabled());
                QVERIFY(t.button("cmdReset")->isEnabled());
                QVERIFY(t.button("cmdFindPrice")->isEnabled());
                QCOMPARE(s->txtPrice()->text(), QString());
                QVERIFY(!s->txtPrice()->isHidden());
                QVERIFY(!t.lblPrice()->isHidden());
                QCOMPARE(s->txtQuantity()->text(), QStringLiteral("1"));
                QCOMPARE(s->brandList()->ListIndex(), -1);
                QCOMPARE(s->sizeList()->ListIndex(), -1);
                QCOMPARE(s->typeList()->ListIndex(), -1);
                QVERIFY(!s->sizeList()->isEnabled());
                QVERIFY(!s->typeList()->isEnabled());
                QCOMPARE(s->typeList()->rows(), (QStringList{"Hoops", "Low", "High", "Walker", "Skate"}));
                QCOMPARE(s->pendingLine().LineCost, 0);
                QCOMPARE(s->pendingLine().LineType, QStringLiteral("Hoops"));  // the rest stays
            }
        }
    }

    void childReset()
    {
        Selection t(Category::Child);
        t.price(1, 2, 8, QStringLiteral("2"));
        for (int twice = 0; twice < 2; ++twice) {
            QTest::mouseClick(t.button("cmdReset"), Qt::LeftButton);
            SelectionScreen* s = t.s();
            QVERIFY(!t.shop.cart.GotChild);
            QVERIFY(!t.button("cmdCart")->isEnabled());
            QCOMPARE(s->txtPrice()->text(), QString());
            QVERIFY(!s->txtPrice()->isHidden());
            QCOMPARE(s->txtQuantity()->text(), QStringLiteral("1"));
            QCOMPARE(s->brandList()->ListIndex(), -1);
            QCOMPARE(s->sizeList()->ListIndex(), -1);
            QCOMPARE(s->typeList()->count(), 0);
            QVERIFY(s->typeList()->isEnabled());
            QVERIFY(s->sizeList()->isEnabled());
            QCOMPARE(s->pendingLine().LineCost, 0);
        }
        QTest::mouseClick(t.button("cmdFindPrice"), Qt::LeftButton);
        QCOMPARE(t.platform.messages, QStringList{"You must select a Brand"});
    }

    void exitEndsTheApplication_data() { bothCategories(); }
    void exitEndsTheApplication()
    {
        QFETCH(Category, category);
        Selection t(category);
        t.s()->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
        QVERIFY(t.shop.app.ended());
        QCOMPARE(t.platform.exits, std::deque<int>{0});
        QVERIFY(t.platform.prompts.isEmpty());  // no password here
        QVERIFY(!t.shop.frmMenu.loaded());
        QVERIFY(!t.slot().loaded());
    }

    void reopeningKeepsTheScreenClosingStartsAfresh_data() { bothCategories(); }
    void reopeningKeepsTheScreenClosingStartsAfresh()
    {
        QFETCH(Category, category);
        Selection t(category);
        t.price(0, 0, 2, QStringLiteral("2"));
        SelectionScreen* first = t.s();
        t.slot().show();
        QCOMPARE(t.s(), first);
        QCOMPARE(first->brandList()->ListIndex(), 0);
        QCOMPARE(first->brandList()->count(), 5);
        QVERIFY(!first->txtPrice()->isHidden());

        first->close();
        QVERIFY(!t.slot().loaded());
        t.slot().show();
        QCOMPARE(t.s()->brandList()->ListIndex(), -1);
        QCOMPARE(t.s()->brandList()->count(), 5);
        QVERIFY(t.s()->txtPrice()->isHidden());
        QCOMPARE(t.s()->pendingLine().LineCost, 0);
    }

    void screensShareNoState()
    {
        Selection t(Category::Adult);
        t.price(0, 0, 0, QStringLiteral("2"));
        t.shop.frmChild.show();
        auto* child = t.shop.frmChild.as<SelectionScreen>();
        QVERIFY(child->txtPrice()->isHidden());
        QCOMPARE(child->pendingLine().LineCost, 0);
        QCOMPARE(child->sizeText()[0], QStringLiteral("1"));
        QCOMPARE(t.s()->sizeText()[0], QStringLiteral("7"));
    }

    void typingIntoTheChildPriceBoxChangesNothing()
    {
        Selection t(Category::Child);
        t.price(0, 0, 8, QStringLiteral("1"));
        QTest::keyClicks(t.s()->txtPrice(), QStringLiteral("999"));
        QVERIFY(t.s()->txtPrice()->text().endsWith(QLatin1String("999")));
        QTest::mouseClick(t.button("cmdCart"), Qt::LeftButton);
        QCOMPARE(t.shop.cart.ChildLine.Cost, 35);
        QCOMPARE(t.shop.cart.ChildLine.Size, QStringLiteral("5 "));
    }
};

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
