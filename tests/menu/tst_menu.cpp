// The main menu: its layout, Enter, the clock, Colors and the password exit.

#include "menu/menuscreen.h"
#include "screens.h"
#include "selection/selectionscreen.h"
#include "shopfixture.h"
#include "ui/fonts.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace plimbo;

namespace {

struct Menu : test::ShopFixture {
    MenuScreen* menu() { return shop.frmMenu.as<MenuScreen>(); }
    template <typename T>
    T* control(const char* name) { return menu()->controls().get<T>(QLatin1String(name)); }
    QAction* action(const char* name) { return menu()->findChild<QAction*>(QLatin1String(name)); }
};

} // namespace

class TestMenu : public QObject {
    Q_OBJECT
private slots:
    // The fonts as the program has them: the design names with their look-alikes.
    void initTestCase() { ui::installShopFonts(); }

    void showsTheShopAtItsDesignedPlaces()
    {
        Menu m;
        QVERIFY(m.menu());
        QVERIFY(m.menu()->isVisible());
        QCOMPARE(m.menu()->windowTitle(), QStringLiteral("The Plimbo Shop"));
        QCOMPARE(m.menu()->client()->size(), QSize(786, 516));
        QCOMPARE(m.menu()->background(), QColor(128, 128, 255));

        QCOMPARE(m.control<QLabel>("lblMenu01")->text(), QStringLiteral("\"The Plimbo Shop\""));
        QCOMPARE(m.control<QLabel>("lblMenu01")->geometry(), test::pixels(3480, 1440, 4815, 615));
        // "Comic Sans MS", or where it is not installed its look-alike.
        const QString comic = m.control<QLabel>("lblMenu01")->font().family();
        QCOMPARE(comic, ui::installedFamily(QStringLiteral("Comic Sans MS")));
        QVERIFY2(comic == QLatin1String("Comic Sans MS") || QFont::substitutes(QStringLiteral("Comic Sans MS")).contains(comic, Qt::CaseInsensitive),
                 qPrintable(comic));
        QVERIFY(m.control<QLabel>("lblMenu01")->font().italic());
        QCOMPARE(m.control<QRadioButton>("optAdult")->geometry(), test::pixels(2520, 2520, 6615, 735));
        QCOMPARE(m.control<QRadioButton>("optChild")->text(), QStringLiteral("Children's Plimbos"));
        QVERIFY(!m.control<QRadioButton>("optAdult")->isChecked());
        QVERIFY(!m.control<QRadioButton>("optChild")->isChecked());
        QCOMPARE(m.control<QPushButton>("cmdMenu")->text(), QStringLiteral("Enter"));
        QCOMPARE(m.control<QTextEdit>("txtMenu")->toPlainText(),
                 QStringLiteral("Please click Adult Plimbos or Children's Plimbos, then click ENTER to see our "
                                "plimbo varieties.   Thank You!\n"));
        QCOMPARE(m.control<QLabel>("lblSecure")->text(),
                 QStringLiteral("* Secure Credit Card Shooping Environment *"));
        QCOMPARE(m.control<QLabel>("lblDateandTime")->text(), QString());
        for (const char* picture : {"picMC", "picVisa", "picDiscover", "picReebok", "picConverse", "picNike",
                                    "picAddidas"}) {
            QVERIFY2(!m.control<QLabel>(picture)->pixmap().isNull(), picture);
            QVERIFY2(!m.control<QLabel>(picture)->accessibleName().isEmpty(), picture);
        }
        QCOMPARE(m.control<QLabel>("picMC")->pixmap().size(), QSize(102, 99));
        QCOMPARE(m.control<QLabel>("picVisa")->pixmap().size(), QSize(102, 85));
        QCOMPARE(m.control<QLabel>("picNike")->pixmap().size(), QSize(100, 80));
        QCOMPARE(m.control<QTextEdit>("txtMenu")->accessibleName(), QStringLiteral("Instructions"));

        // Tab order: the two options, Enter, then the instructions.
        QCOMPARE(test::nextTabStop(m.control<QRadioButton>("optChild")), m.control<QRadioButton>("optAdult"));
        QCOMPARE(test::nextTabStop(m.control<QRadioButton>("optAdult")), m.control<QPushButton>("cmdMenu"));
    }

    void menuBarIsAsDesigned()
    {
        Menu m;
        const QList<QAction*> top = m.menu()->menuBar()->actions();
        QCOMPARE(top.size(), 3);
        QCOMPARE(top[0]->text(), QStringLiteral("E&xit "));
        QCOMPARE(top[1]->text(), QStringLiteral("&Help"));
        QCOMPARE(top[2]->text(), QStringLiteral("&Preferences"));
        QStringList items;
        for (QAction* a : top[2]->menu()->actions())
            items << a->objectName() + "=" + a->text();
        QCOMPARE(items, (QStringList{"mnuColors=Colors", "mnuDateOn=Date and Time - ON",
                                     "mnuDateOff=Date and Time - OFF"}));
        QVERIFY(m.action("mnuDateOn")->isChecked());
        QVERIFY(!m.action("mnuDateOff")->isChecked());
        QVERIFY(m.menu()->timer()->isActive());
        QCOMPARE(m.menu()->timer()->interval(), 1000);

        m.action("mnuHelp")->trigger();
        QVERIFY(m.platform.messages.isEmpty());
        QVERIFY(m.shop.frmMenu.loaded());
    }

    void loadingTheMenuEmptiesTheCart()
    {
        Menu m;
        m.shop.cart.GotAdult = m.shop.cart.GotChild = true;
        m.shop.cart.AdultLine.Cost = 90;
        m.shop.cart.ChildLine.UnitPrice = 30;
        m.shop.frmMenu.unload();
        m.shop.frmMenu.show();
        QVERIFY(!m.shop.cart.GotAdult && !m.shop.cart.GotChild);
        QCOMPARE(m.shop.cart.AdultLine.Cost.value(), 0);
        QCOMPARE(m.shop.cart.ChildLine.UnitPrice.value(), 0);
    }

    void enterWithoutAChoiceHighlightsTheInstructions()
    {
        Menu m;
        auto* box = m.control<QTextEdit>("txtMenu");
        QCOMPARE(ui::backgroundOf(box), QColor(128, 128, 255));
        QTest::mouseClick(m.control<QPushButton>("cmdMenu"), Qt::LeftButton);
        QCOMPARE(ui::backgroundOf(box), QColor(255, 255, 0));
        QVERIFY(m.platform.messages.isEmpty());
        QVERIFY(!m.shop.frmAdult.loaded() && !m.shop.frmChild.loaded());

        // The Enter key presses the button while it has the focus.
        ui::setBackground(box, QColor(128, 128, 255));
        m.control<QPushButton>("cmdMenu")->setFocus();
        QTest::keyClick(m.control<QPushButton>("cmdMenu"), Qt::Key_Return);
        QCOMPARE(ui::backgroundOf(box), QColor(255, 255, 0));

        // Choosing afterwards opens the screen; the box stays yellow.
        m.control<QRadioButton>("optChild")->setChecked(true);
        m.menu()->cmdMenu_Click();
        QVERIFY(m.shop.frmChild.loaded());
        QVERIFY(m.shop.frmChild.screen()->isVisible());
        QCOMPARE(ui::backgroundOf(box), QColor(255, 255, 0));
    }

    void enterOpensTheChosenScreenOnce_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("adult");
        QTest::newRow("adult") << "optAdult" << true;
        QTest::newRow("children") << "optChild" << false;
    }
    void enterOpensTheChosenScreenOnce()
    {
        QFETCH(QString, option);
        QFETCH(bool, adult);
        Menu m;
        m.control<QRadioButton>(qPrintable(option))->setChecked(true);
        m.menu()->cmdMenu_Click();
        ui::ScreenSlot& chosen = adult ? m.shop.frmAdult : m.shop.frmChild;
        ui::ScreenSlot& other = adult ? m.shop.frmChild : m.shop.frmAdult;
        QVERIFY(chosen.loaded());
        QVERIFY(!other.loaded());
        auto* first = chosen.as<SelectionScreen>();
        test::choose(first->brandList(), 2);

        m.menu()->cmdMenu_Click();
        QCOMPARE(chosen.as<SelectionScreen>(), first);
        QCOMPARE(first->brandList()->count(), 5);       // not filled a second time
        QCOMPARE(first->brandList()->ListIndex(), 2);   // and as the customer left it
        QVERIFY(m.menu()->isVisible());
        QVERIFY(m.control<QRadioButton>(qPrintable(option))->isChecked());
    }

    // The pictures are the copies drawn for the screen's scale and reach it
    // pixel for pixel: sharp at 1x and, run again with QT_SCALE_FACTOR=2
    // (PLIMBO_EXPECT_RATIO=2), at twice the size on a large kiosk screen.
    void picturesAtTheScreensScale()
    {
        Menu m;
        const qreal ratio = m.menu()->devicePixelRatioF();
        if (qEnvironmentVariableIsSet("PLIMBO_EXPECT_RATIO"))
            QCOMPARE(ratio, qreal(qEnvironmentVariableIntValue("PLIMBO_EXPECT_RATIO")));
        const QImage shown = m.menu()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), m.menu()->size() * ratio);  // everything drawn at the scale, nothing stretched
        QCOMPARE(m.control<QPushButton>("cmdMenu")->geometry(), test::pixels(5160, 4200, 1095, 840));
        for (const char* name : {"picMC", "picVisa", "picDiscover", "picReebok", "picConverse", "picNike", "picAddidas"}) {
            auto* label = m.control<QLabel>(name);
            const QPixmap pixmap = label->pixmap();
            QCOMPARE(pixmap.devicePixelRatio(), ratio);
            const QRect visible = QRect(label->contentsRect().topLeft(), pixmap.deviceIndependentSize().toSize())
                                      .intersected(label->contentsRect());
            const QPoint at = label->mapTo(m.menu(), visible.topLeft()) * ratio;
            const QImage drawn = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(shown.copy(QRect(at, visible.size() * ratio)), drawn.copy(QRect(QPoint(), visible.size() * ratio)));
        }
    }

    void clockOffAndOn()
    {
        Menu m;
        auto* label = m.control<QLabel>("lblDateandTime");
        m.menu()->tmrMenu_Timer();
        const QString shown = label->text();
        QVERIFY(!shown.isEmpty());
        QCOMPARE(test::announced(label), shown);  // a screen reader hears the time shown

        for (int twice = 0; twice < 2; ++twice) {
            m.action("mnuDateOff")->trigger();
            QVERIFY(m.action("mnuDateOff")->isChecked());
            QVERIFY(!m.action("mnuDateOn")->isChecked());
            QVERIFY(!m.menu()->timer()->isActive());
            QVERIFY(label->isHidden());
        }
        for (int twice = 0; twice < 2; ++twice) {
            m.action("mnuDateOn")->trigger();
            QVERIFY(m.action("mnuDateOn")->isChecked());
            QVERIFY(!m.action("mnuDateOff")->isChecked());
            QVERIFY(m.menu()->timer()->isActive());
            QVERIFY(!label->isHidden());
            QCOMPARE(label->text(), shown);  // the last text again, until the next tick
        }
        QTRY_VERIFY_WITH_TIMEOUT(label->text() != shown, 2500);
    }

    void clockText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("en_US") << "en_US" << "12/7/26 3:04:05\u202FPM";
        QTest::newRow("de_DE") << "de_DE" << "07.12.26 15:04:05";
        QTest::newRow("en_GB") << "en_GB" << "07/12/2026 15:04:05";
    }
    void clockText()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        const QDateTime when(QDate(2026, 12, 7), QTime(15, 4, 5));
        QString got = plimbo::clockText(when, QLocale(locale));
        // Locale data differ on the blank before AM/PM; the rest must match.
        got.replace(QLatin1Char(' '), QChar(0x202F)).replace(QChar(0x202F), QLatin1Char(' '));
        QCOMPARE(got, QString(text).replace(QChar(0x202F), QLatin1Char(' ')));
    }

    void colours()
    {
        Menu m;
        const QColor blue(128, 128, 255);
        // Cancelled before any colour was confirmed: nothing visible changes.
        m.platform.colours.push_back(std::nullopt);
        m.action("mnuColors")->trigger();
        QCOMPARE(m.platform.pickerOpenedOn.value(0), blue);
        QCOMPARE(m.menu()->background(), blue);

        m.platform.colours.push_back(QColor(Qt::darkGreen));
        m.action("mnuColors")->trigger();
        QCOMPARE(m.menu()->background(), QColor(Qt::darkGreen));

        // A later cancel keeps the last confirmed colour; the picker opens on it.
        m.platform.colours.push_back(std::nullopt);
        m.action("mnuColors")->trigger();
        QCOMPARE(m.platform.pickerOpenedOn.value(2), QColor(Qt::darkGreen));
        QCOMPARE(m.menu()->background(), QColor(Qt::darkGreen));
        // Controls with colours of their own keep them.
        QCOMPARE(ui::backgroundOf(m.control<QLabel>("lblSecure")), blue);
        QVERIFY(m.platform.unexpected.isEmpty());
    }

    void passwordExit_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Kip") << "Kip" << true;
        QTest::newRow("lower case") << "kip" << false;
        QTest::newRow("upper case") << "KIP" << false;
        QTest::newRow("trailing blank") << "Kip " << false;
        QTest::newRow("leading blank") << " Kip" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("cancelled") << QString() << false;
    }
    void passwordExit()
    {
        QFETCH(QString, typed);
        QFETCH(bool, closes);
        Menu m;
        m.shop.frmAdult.show();  // an open selection screen stays open either way
        m.platform.answers.push_back(typed);
        m.action("mnuExit")->trigger();
        QCOMPARE(m.platform.prompts, QStringList{"To exit the program, enter a Password"});
        QCOMPARE(m.platform.messages,
                 QStringList{closes ? "Thank you for choosing The Plimbo Shop!"
                                    : "The password is: Kip     Get it right next time!"});
        QCOMPARE(m.shop.frmMenu.loaded(), !closes);
        QVERIFY(m.shop.frmAdult.loaded());
        QVERIFY(!m.shop.app.ended());
        QVERIFY(m.platform.exits.empty());
    }

    void closingTheMenuKeepsTheCartFlags()
    {
        Menu m;
        m.shop.frmAdult.show();
        m.shop.cart.GotAdult = true;
        m.menu()->close();
        QVERIFY(!m.shop.frmMenu.loaded());
        QVERIFY(m.shop.cart.GotAdult);
        QVERIFY(m.shop.frmAdult.loaded());
    }
};

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
