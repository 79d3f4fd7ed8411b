// The start-up routine as a whole: a good price list opens the menu with an
// empty cart; a bad one is reported and the shop ends without a screen.

#include "app/startup.h"
#include "menu/menuscreen.h"
#include "pricefiles.h"
#include "scriptedplatform.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <sys/stat.h>

using namespace plimbo;

namespace {
// What stands at A:PlimboPrice.txt: a file with these bytes, or no file at
// all, or something that is not a file and must not hold the shop.
enum class Put { Bytes, Nothing, Fifo, LinkToDevZero, Folder };
} // namespace

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
        QTest::addColumn<int>("put");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing") << int(Put::Nothing) << QByteArray() << "could not be opened";
        QTest::newRow("record cut short") << int(Put::Bytes) << QByteArray("\"Adult\",\"Nike    \",\"A\",1\r\n")
                                          << "Record 1 (line 1) has only 4 of its 12 fields: Type 2 is the first one missing.";
        QTest::newRow("price out of range")
            << int(Put::Bytes)
            << (test::canonicalFile() + test::record("Child", "Nike    ", {{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4},
                                                                           {"E", 99999}}))
            << "Record 11, field Price 5";
        QTest::newRow("a named pipe nobody writes to") << int(Put::Fifo) << QByteArray()
                                                       << "It is a named pipe (FIFO), not a file.";
        QTest::newRow("a link to /dev/zero") << int(Put::LinkToDevZero) << QByteArray()
                                             << "It is a character device, not a file.";
        QTest::newRow("a folder") << int(Put::Folder) << QByteArray() << "It is a folder, not a file.";
    }
    void unreadableListEndsTheShop()
    {
        QFETCH(int, put);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("PlimboPrice.txt"));
        switch (Put(put)) {
        case Put::Bytes:
            test::writePriceFile(dir, bytes);
            break;
        case Put::Nothing:
            break;
        case Put::Fifo:
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            break;
        case Put::LinkToDevZero:
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
            break;
        case Put::Folder:
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("PlimboPrice.txt")));
            break;
        }
        test::ScriptedPlatform platform;
        Shop shop(platform);
        startUp(shop, path);
        QCOMPARE(platform.messages.size(), 1);
        const QString message = platform.messages.first();
        QVERIFY2(message.contains(QLatin1String("A:PlimboPrice.txt")), qPrintable(message));
        QVERIFY2(message.contains(QDir::cleanPath(path)), qPrintable(message));
        QVERIFY2(message.contains(expected), qPrintable(message));
        // The log says the same, on one line, before the box waits for an answer.
        QCOMPARE(platform.logged, QStringList{ui::oneLine(message)});
        QVERIFY(!platform.logged.first().contains(QLatin1Char('\n')));
        QVERIFY(shop.app.ended());
        QCOMPARE(shop.app.exitStatus(), exitstatus::PriceListRefused);
        QCOMPARE(platform.exits, std::deque<int>{exitstatus::PriceListRefused});
        QVERIFY(!shop.frmMenu.loaded());
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
