// What the shop makes of its command line: --help and --version answer, Qt's
// own options are left for Qt, anything else is wrong.

#include "app/commandline.h"

#include <QtTest>

using namespace plimbo;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("wrong");
        const int run = CommandLine::Run, help = CommandLine::Help, version = CommandLine::Version,
                  wrong = CommandLine::Wrong;
        QTest::newRow("nothing") << QStringList{} << run << "";
        QTest::newRow("--help") << QStringList{"--help"} << help << "";
        QTest::newRow("-h") << QStringList{"-h"} << help << "";
        QTest::newRow("--version") << QStringList{"--version"} << version << "";
        QTest::newRow("Qt's platform") << QStringList{"-platform", "offscreen"} << run << "";
        QTest::newRow("Qt's option with two dashes and =") << QStringList{"--style=fusion"} << run << "";
        QTest::newRow("Qt's flag") << QStringList{"-reverse"} << run << "";
        QTest::newRow("a Qt option's value is not read as an option")
            << QStringList{"-display", "-h"} << run << "";
        QTest::newRow("Qt's option without its value") << QStringList{"-platform"} << wrong << "-platform";
        QTest::newRow("after Qt's options") << QStringList{"-platform", "xcb", "--version"} << version << "";
        QTest::newRow("an unknown option") << QStringList{"--kiosk"} << wrong << "--kiosk";
        QTest::newRow("a file") << QStringList{"PlimboPrice.txt"} << wrong << "PlimboPrice.txt";
        QTest::newRow("a lone dash") << QStringList{"-"} << wrong << "-";
        QTest::newRow("wrong before help") << QStringList{"-x", "--help"} << wrong << "-x";
    }
    void read()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, wrong);
        const CommandLine c = readCommandLine(arguments);
        QCOMPARE(int(c.action), action);
        QCOMPARE(c.wrong, wrong);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
