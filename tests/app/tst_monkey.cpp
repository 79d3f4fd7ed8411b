// A seeded monkey: random clicks, list choices, typing, spin steps, menu
// items, window closes and re-opens on the real screens, with the dialogs
// answered at random. After every event the shop's promises are checked; a
// failure prints the seed and the events that led to it.
//
//   PLIMBO_MONKEY_SEED=n PLIMBO_MONKEY_EVENTS=n tst_monkey
//
// PLIMBO_MONKEY_RSS_EVERY=n prints the resident set size every n events, for
// the soak run (bench/soak.sh).

#include "app/startup.h"
#include "cart/invoicescreen.h"
#include "cart/money.h"
#include "menu/menuscreen.h"
#include "pricefiles.h"
#include "selection/selectionscreen.h"
#include "ui/listbox.h"
#include "ui/spincontrol.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QToolButton>
#include <QtTest>
#include <deque>
#include <map>
#include <malloc.h>
#include <memory>

using namespace plimbo;

namespace {

const QStringList Passwords{"Kip", "kip", "", "Kip ", "KIP", "password"};
const QStringList Typed{"1", "2", "10", "0", "-3", "2.5", "abc", "", " 4 ", "32767", "40000", "999", "7", "1e3", "%1"};

class MonkeyPlatform final : public ui::Platform {
public:
    MonkeyPlatform(QRandomGenerator& rng, QStringList& log) : rng_(rng), log_(log) {}

    void messageBox(const QString& text) override { messages << text; }
    QString inputBox(const QString&) override
    {
        const QString answer = Passwords[rng_.bounded(Passwords.size())];
        log_ << QStringLiteral("  password answered \"%1\"").arg(answer);
        return answer;
    }
    std::optional<QColor> pickColour(const QColor&) override
    {
        if (rng_.bounded(2)) {
            log_ << QStringLiteral("  colour picker cancelled");
            return std::nullopt;
        }
        const QColor c = QColor::fromRgb(rng_.generate() & 0xFFFFFF);
        log_ << QStringLiteral("  colour picked %1").arg(c.name());
        return c;
    }
    void exit(int status) override { exits.push_back(status); }
    void log(const QString&) override {}

    QStringList messages;
    std::deque<int> exits;

private:
    QRandomGenerator& rng_;
    QStringList& log_;
};

// One run of the shop, from the real start-up routine.
struct Run {
    Run(const QString& path, QRandomGenerator& rng, QStringList& log) : platform(rng, log), shop(platform)
    {
        startUp(shop, path);
    }
    MonkeyPlatform platform;
    Shop shop;
};

// The resident set size of this process, in KiB.
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

template <typename T>
QList<T*> usable(QWidget* screen)
{
    QList<T*> out;
    for (T* w : screen->findChildren<T*>())
        if (w->isVisible() && w->isEnabled())
            out << w;
    return out;
}

} // namespace

class TestMonkey : public QObject {
    Q_OBJECT
private slots:
    void randomEvents()
    {
        const quint32 seed = qEnvironmentVariableIsSet("PLIMBO_MONKEY_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("PLIMBO_MONKEY_SEED"))
                                 : 20261207u;
        const int events = qEnvironmentVariableIsSet("PLIMBO_MONKEY_EVENTS")
                               ? qEnvironmentVariableIntValue("PLIMBO_MONKEY_EVENTS")
                               : 20000;
        const int rssEvery = qEnvironmentVariableIntValue("PLIMBO_MONKEY_RSS_EVERY");
        QRandomGenerator rng(seed);
        QTemporaryDir dir;
        const QString path = test::writePriceFile(dir, test::canonicalFile());
        const QStringList allowed{messages::SelectBrand, messages::SelectType,   messages::SelectSize,
                                  messages::BadQuantity, messages::QuantityTooLarge, menu::Farewell,
                                  menu::WrongPassword};

        QStringList log;
        auto run = std::make_unique<Run>(path, rng, log);
        std::map<const QObject*, bool> typedIntoPrice;  // children's price box typed into since last priced
        int restarts = 0;
        std::map<QString, int> done;  // what the monkey did, for the closing line

        auto fail = [&](const QString& why) {
            const QStringList tail = log.mid(std::max<qsizetype>(0, log.size() - 60));
            QFAIL(qPrintable(QStringLiteral("%1\nseed %2; the events that led there (last %3):\n%4")
                                 .arg(why, QString::number(seed), QString::number(tail.size()), tail.join('\n'))));
        };

        for (int n = 0; n < events; ++n) {
            Shop& shop = run->shop;
            QList<ui::Screen*> loaded;
            for (ui::ScreenSlot* slot : {&shop.frmMenu, &shop.frmAdult, &shop.frmChild, &shop.frmInvoice})
                if (slot->loaded())
                    loaded << slot->screen();
            ui::Screen* screen = loaded[rng.bounded(loaded.size())];
            const bool invoiceWasLoaded = shop.frmInvoice.loaded();
            const qsizetype messagesBefore = run->platform.messages.size();
            const QString where = screen->objectName();

            switch (rng.bounded(9)) {
            case 0:
            case 1: {  // a button
                const auto buttons = usable<QPushButton>(screen);
                if (buttons.isEmpty())
                    break;
                QPushButton* b = buttons[rng.bounded(buttons.size())];
                log << QStringLiteral("%1: click %2").arg(where, b->objectName());
                QTest::mouseClick(b, Qt::LeftButton);
                if (b->objectName() == QLatin1String("cmdFindPrice") &&
                    run->platform.messages.size() == messagesBefore)
                    typedIntoPrice.erase(screen);
                if (b->objectName() == QLatin1String("cmdReset"))
                    typedIntoPrice.erase(screen);
                break;
            }
            case 2: {  // a list row or an option
                const auto lists = usable<ui::ListBox>(screen);
                const auto options = usable<QRadioButton>(screen);
                if (!options.isEmpty() && (lists.isEmpty() || rng.bounded(2))) {
                    QRadioButton* o = options[rng.bounded(options.size())];
                    log << QStringLiteral("%1: choose %2").arg(where, o->objectName());
                    QTest::mouseClick(o, Qt::LeftButton);
                } else if (!lists.isEmpty()) {
                    ui::ListBox* l = lists[rng.bounded(lists.size())];
                    if (l->count() == 0)
                        break;
                    const int row = rng.bounded(l->count());
                    log << QStringLiteral("%1: choose row %2 of %3").arg(where).arg(row).arg(l->objectName());
                    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
                }
                break;
            }
            case 3: {  // typing
                const auto boxes = usable<QLineEdit>(screen);
                if (boxes.isEmpty())
                    break;
                QLineEdit* box = boxes[rng.bounded(boxes.size())];
                const QString text = Typed[rng.bounded(Typed.size())];
                log << QStringLiteral("%1: type \"%2\" into %3").arg(where, text, box->objectName());
                box->setFocus();
                box->selectAll();
                QTest::keyClick(box, Qt::Key_Delete);
                QTest::keyClicks(box, text);
                if (box->objectName() == QLatin1String("txtPrice"))
                    typedIntoPrice[screen] = true;
                break;
            }
            case 4: {  // the spin control
                auto* spin = screen->findChild<ui::SpinControl*>();
                if (!spin || !spin->isEnabled())
                    break;
                const bool up = rng.bounded(2);
                log << QStringLiteral("%1: spin %2").arg(where, up ? "up" : "down");
                if (rng.bounded(2))
                    QTest::mouseClick(spin->findChild<QToolButton*>(up ? "up" : "down"), Qt::LeftButton);
                else
                    QTest::keyClick(screen->findChild<QLineEdit*>(QStringLiteral("txtQuantity")),
                                    up ? Qt::Key_Up : Qt::Key_Down);
                break;
            }
            case 5: {  // a menu item
                QList<QAction*> items;
                for (QAction* a : screen->findChildren<QAction*>())
                    if (a->objectName().startsWith(QLatin1String("mnu")) && !a->menu())
                        items << a;
                if (items.isEmpty())
                    break;
                QAction* a = items[rng.bounded(items.size())];
                // Exit ends the shop; let it happen now and then, not every few events.
                if (a->objectName() == QLatin1String("mnuExit") && where != QLatin1String("frmMenu") &&
                    rng.bounded(60))
                    break;
                log << QStringLiteral("%1: menu %2").arg(where, a->objectName());
                a->trigger();
                break;
            }
            case 6:  // the window frame's close, now and then
                if (rng.bounded(12))
                    break;
                log << QStringLiteral("%1: close the window").arg(where);
                screen->close();
                break;
            default: {  // back to a screen through the menu
                if (!shop.frmMenu.loaded())
                    break;
                auto* menu = shop.frmMenu.as<MenuScreen>();
                const bool adult = rng.bounded(2);
                log << QStringLiteral("frmMenu: %1 and Enter").arg(adult ? "adult" : "children's");
                menu->controls().get<QRadioButton>(adult ? "optAdult" : "optChild")->setChecked(true);
                QTest::mouseClick(menu->controls().get<QPushButton>("cmdMenu"), Qt::LeftButton);
                break;
            }
            }
            // What the shop's event loop does between two customer actions:
            // posted events delivered, paints, closed screens deleted.
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (run->platform.messages.size() > messagesBefore)
                ++done[QStringLiteral("messages")];
            if (!invoiceWasLoaded && shop.frmInvoice.loaded())
                ++done[QStringLiteral("invoices")];

            // No error reached the error report, and every message is one the shop means.
            for (qsizetype m = messagesBefore; m < run->platform.messages.size(); ++m)
                if (!allowed.contains(run->platform.messages[m]))
                    fail(QStringLiteral("an error was reported: ") + run->platform.messages[m]);
            if (std::find(run->platform.exits.begin(), run->platform.exits.end(), 1) != run->platform.exits.end())
                fail(QStringLiteral("the shop ended with an error"));

            // The cart's present lines are whole.
            for (Category c : {Category::Adult, Category::Child}) {
                const CartLine& line = shop.cart.line(c);
                if (shop.cart.present(c) && qint64{line.UnitPrice.value()} * line.Qty.value() != line.Cost.value())
                    fail(QStringLiteral("%1 line: %2 x %3 is not %4")
                             .arg(categoryText(c))
                             .arg(line.UnitPrice.value())
                             .arg(line.Qty.value())
                             .arg(line.Cost.value()));
            }
            // An open invoice always bills the cart as it stands.
            if (auto* invoice = shop.frmInvoice.as<InvoiceScreen>()) {
                qint64 sum = 0;
                for (Category c : {Category::Adult, Category::Child})
                    if (shop.cart.present(c))
                        sum += shop.cart.line(c).Cost.value();
                const QString total = invoice->txtTotal()->text();
                if (total != formatMoney(sum))
                    fail(QStringLiteral("the invoice shows %1, the present lines cost %2").arg(total).arg(sum));
            }

            // The selection screens' lists and price boxes.
            for (Category c : {Category::Adult, Category::Child}) {
                auto* s = shop.selection(c).as<SelectionScreen>();
                if (!s)
                    continue;
                const int types = s->typeList()->count();
                if (s->brandList()->count() != 5 || (types != 5 && types != 0) || s->sizeList()->count() != 14)
                    fail(QStringLiteral("%1 lists hold %2, %3 and %4 rows")
                             .arg(s->objectName())
                             .arg(s->brandList()->count())
                             .arg(types)
                             .arg(s->sizeList()->count()));
                const QString shown = s->txtPrice()->text();
                const qint64 cost = s->pendingLine().LineCost.value();
                if (s->txtPrice()->isVisible() && !typedIntoPrice.count(s) &&
                    shown != formatMoney(cost) && !(shown.isEmpty() && cost == 0))
                    fail(QStringLiteral("%1 shows %2 for a line costing %3").arg(s->objectName(), shown).arg(cost));
            }

            // No screen exists twice.
            std::map<QString, int> windows;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName().startsWith(QLatin1String("frm")) && ++windows[w->objectName()] > 1)
                    fail(QStringLiteral("two %1 windows").arg(w->objectName()));

            if (QTest::currentTestFailed())
                return;

            // Only the last events are ever shown; a long run keeps no more.
            if (log.size() > 2000)
                log.remove(0, log.size() - 100);

            if (rssEvery > 0 && (n + 1) % rssEvery == 0) {
                // Measured alike each time: only the main menu open, and the
                // heap's free memory handed back, so that what is left is
                // what the shop still holds.
                for (ui::ScreenSlot* slot : {&shop.frmAdult, &shop.frmChild, &shop.frmInvoice})
                    slot->unload();
                if (!shop.frmMenu.loaded() && !shop.app.ended())
                    shop.frmMenu.show();
                QCoreApplication::processEvents();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                malloc_trim(0);
                qInfo("rss after %d events: %lld KiB", n + 1, residentKiB());
                log << QStringLiteral("-- rss sampled: only the menu open --");
            }

            // Ending the shop, or closing its last window, starts a fresh one.
            const bool anyLoaded = shop.frmMenu.loaded() || shop.frmAdult.loaded() || shop.frmChild.loaded() ||
                                   shop.frmInvoice.loaded();
            if (shop.app.ended() || !anyLoaded) {
                log << QStringLiteral("-- the shop ended; a fresh start --");
                run.reset();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                typedIntoPrice.clear();
                run = std::make_unique<Run>(path, rng, log);
                ++restarts;
            }
        }
        qInfo("seed %u: %d events, %d fresh starts, %d messages, %d invoices loaded", seed, events, restarts,
              done[QStringLiteral("messages")], done[QStringLiteral("invoices")]);
    }
};

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    ui::setUpProcess();  // as the program does, so that a long run's memory is the shop's
    TestMonkey test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_monkey.moc"
