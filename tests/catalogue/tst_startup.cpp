// The start-up routine as a whole: a good price list opens the menu with an
// empty cart; a bad one is reported and the shop ends without a screen.

#include "catalogue/shop.h"
#include "menu/menuscreen.h"
#include "pricefiles.h"
#include "scriptedplatform.h"

#include <QDir>
#include <QtTest>

using namespace plimbo;

class TestStartUp : public QObject {
    Q_OBJECT
private slots:
    void sampleListOpensTheMenu()
    {
        qputenv("PLIMBO_DRIVE_A", PLIMBO_SAMPLE_DIR);
        test::ScriptedPlatform platform;
        Shop shop(platform);
        startUp(shop);
        qunsetenv("PLIMBO_DRIVE_A");
        QVERIFY(platform.messages.isEmpty());
        QVERIFY(!shop.app.ended());
        QVERIFY(shop.frmMenu.loaded());
        QVERIFY(shop.frmMenu.screen()->isVisible());
        QVERIFY(!shop.frmAdult.loaded() && !shop.frmChild.loaded() && !shop.frmInvoice.loaded());
        QCOMPARE(shop.catalogue.Adult.Count.value(), 5);
        QCOMPARE(shop.catalogue.Child.Count.value(), 5);
        QVERIFY(!shop.cart.GotAdult && !shop.cart.GotChild);
    }

    void unreadableListEndsTheShop_data()
    {
        QTest::addColumn<QByteArray>("bytes");     // empty: no file at all
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing") << QByteArray() << "could not be opened";
        QTest::newRow("record cut short") << QByteArray("\"Adult\",\"Nike    \",\"A\",1\r\n")
                                          << "Record 1, field Type 2";
        QTest::newRow("price out of range")
            << (test::canonicalFile() + test::record("Child", "Nike    ", {{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4},
                                                                           {"E", 99999}}))
            << "Record 11, field Price 5";
    }
    void unreadableListEndsTheShop()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path =
            bytes.isEmpty() ? dir.filePath(QStringLiteral("PlimboPrice.txt")) : test::writePriceFile(dir, bytes);
        test::ScriptedPlatform platform;
        Shop shop(platform);
        startUp(shop, path);
        QCOMPARE(platform.messages.size(), 1);
        const QString message = platform.messages.first();
        QVERIFY2(message.contains(QLatin1String("A:PlimboPrice.txt")), qPrintable(message));
        QVERIFY2(message.contains(QDir::cleanPath(path)), qPrintable(message));
        QVERIFY2(message.contains(expected), qPrintable(message));
        QVERIFY(shop.app.ended());
        QCOMPARE(shop.app.exitStatus(), 1);
        QCOMPARE(platform.exits, std::deque<int>{1});
        QVERIFY(!shop.frmMenu.loaded());
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
