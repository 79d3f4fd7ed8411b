// The layer under every screen: the one error report, the screen lifecycle,
// the list box and the spin control.

#include "catalogue/errors.h"
#include "catalogue/int16.h"
#include "scriptedplatform.h"
#include "ui/application.h"
#include "ui/fonts.h"
#include "ui/layout.h"
#include "ui/listbox.h"
#include "ui/screen.h"
#include "ui/spincontrol.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using namespace ui;

namespace {

struct Counting : Screen {
    Counting(Application& app, int& loads) : Screen(app, QStringLiteral("frmTest"), QStringLiteral("Test"), {1500, 750}), loads_(loads) {}
    void Form_Load() override { ++loads_; }
    int& loads_;
};

} // namespace

class TestUi : public QObject {
    Q_OBJECT
private slots:
    void errorsAreReportedOnceAndEndTheShop_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("overflow") << 0 << "Overflow";
        QTest::newRow("subscript") << 1 << "Subscript out of range (slot 6)";
        QTest::newRow("anything else") << 2 << "Unexpected error: broken";
    }
    void errorsAreReportedOnceAndEndTheShop()
    {
        QFETCH(int, kind);
        QFETCH(QString, message);
        test::ScriptedPlatform platform;
        Application app(platform);
        int loads = 0;
        ScreenSlot slot(app);
        slot.setFactory([&] { return std::make_unique<Counting>(app, loads); });
        slot.show();
        const bool ok = app.run([&] {
            // A nested handler fails; the outer one must not report it again.
            app.run([&] {
                if (kind == 0)
                    plimbo::Int16(32767) + plimbo::Int16(1);
                if (kind == 1)
                    throw plimbo::SubscriptError(6);
                throw std::runtime_error("broken");
            });
        });
        QVERIFY(ok);  // the outer handler itself did not fail
        QCOMPARE(platform.messages, QStringList{message});
        QVERIFY(app.ended());
        QCOMPARE(app.exitStatus(), 1);
        QCOMPARE(platform.exits, std::deque<int>{1});
        QVERIFY(!slot.loaded());
        // Once ended, no handler runs.
        bool ranLater = false;
        QVERIFY(!app.run([&] { ranLater = true; }));
        QVERIFY(!ranLater);
    }

    void screensLoadOnceAndAfreshAfterClosing()
    {
        test::ScriptedPlatform platform;
        Application app(platform);
        int loads = 0;
        ScreenSlot slot(app);
        slot.setFactory([&] { return std::make_unique<Counting>(app, loads); });
        QVERIFY(!slot.loaded());
        Screen* first = slot.show();
        QVERIFY(first->isVisible());
        QCOMPARE(slot.show(), first);
        QCOMPARE(loads, 1);
        QCOMPARE(first->client()->size(), QSize(100, 50));
        first->close();
        QVERIFY(!slot.loaded());
        slot.load();
        QCOMPARE(loads, 2);
        QVERIFY(!slot.screen()->isVisible());  // loaded, not yet shown
    }

    void twipsToPixels_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("15") << 15 << 1;
        QTest::newRow("7") << 7 << 0;
        QTest::newRow("8") << 8 << 1;
        QTest::newRow("4936") << 4936 << 329;
        QTest::newRow("11790") << 11790 << 786;
    }
    void twipsToPixels()
    {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(px(twips), pixels);
    }

    void listBoxReportsOnlyTheCustomersChoices()
    {
        ListBox list;
        QSignalSpy clicks(&list, &ListBox::Click);
        for (const char* row : {"a", "b", "c"})
            list.AddItem(QLatin1String(row));
        QCOMPARE(list.ListIndex(), -1);
        QCOMPARE(list.selectedText(), QString());
        list.setCurrentRow(1, QItemSelectionModel::ClearAndSelect);  // as a click does
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(list.selectedText(), QStringLiteral("b"));
        list.setListIndex(-1);
        list.setListIndex(2);
        list.ClearWithoutClick();
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(list.ListIndex(), -1);
    }

    // A font the screens name by its design name is shown by that family
    // when installed, else by its first installed look-alike.
    void installedFamilies_data()
    {
        QTest::addColumn<QString>("designed");
        QTest::addColumn<QStringList>("lookAlikes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("installed") << "DejaVu Sans" << QStringList{"Liberation Sans"} << "DejaVu Sans";
        QTest::newRow("missing, a look-alike installed")
            << "Plimbo Missing Sans" << QStringList{"No Such Font", "Liberation Sans", "DejaVu Sans"}
            << "Liberation Sans";
        QTest::newRow("missing, no look-alike installed")
            << "Plimbo Missing Serif" << QStringList{"No Such Font"} << "Plimbo Missing Serif";
    }
    void installedFamilies()
    {
        QFETCH(QString, designed);
        QFETCH(QStringList, lookAlikes);
        QFETCH(QString, shown);
        QFont::insertSubstitutions(designed, lookAlikes);
        QCOMPARE(installedFamily(designed), shown);
        QCOMPARE(fontFor({qPrintable(designed), 12}, QFont()).family(), shown);
    }

    void spinControlReportsChanges()
    {
        QLineEdit box(QStringLiteral("1"));
        SpinControl spin;
        spin.setBuddy(&box);
        QSignalSpy changes(&spin, &SpinControl::Change);
        spin.stepDown();                 // already at 1
        QCOMPARE(changes.count(), 0);
        spin.stepUp();
        QCOMPARE(box.text(), QStringLiteral("2"));
        QCOMPARE(changes.count(), 1);
        box.setText(QStringLiteral("9"));
        spin.stepUp();
        QCOMPARE(spin.value(), 10);
        box.setText(QStringLiteral("nine"));
        spin.stepDown();                 // from its own last value
        QCOMPARE(box.text(), QStringLiteral("9"));
        QCOMPARE(changes.count(), 3);
    }
};

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
