// How long a customer waits: for each step of a typical order, the time from
// the moment the input event is delivered to the widget until the window it
// affects has finished painting (its paint events handled and the backing
// store flushed to the platform). The real shop on the sample price list,
// the real Qt message box, every step repeated and re-created.
//
//   latency_bench [REPEATS [STEP]]     (PLIMBO_DRIVE_A names the price list's folder)
//
// Prints one row a step: platform step median_ms p99_ms max_ms. Under
//   valgrind --tool=callgrind --collect-atstart=no latency_bench 20 STEP
// callgrind counts only the measured part of the step (input to painted).

#include "app/startup.h"
#include "cart/invoicescreen.h"
#include "catalogue/pricefile.h"
#include "menu/menuscreen.h"
#include "selection/selectionscreen.h"
#include "ui/fonts.h"
#include "ui/listbox.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

using namespace plimbo;

namespace {

QElapsedTimer clock_;

// Waits for the first paint of a window that `isTarget` accepts, and notes
// the time once that paint pass has returned to the event loop: by then
// every widget of the pass has painted and Qt has flushed the backing store.
class PaintWatch : public QObject {
public:
    std::function<bool(QWidget*)> isTarget;
    qint64 finished = -1;
    std::function<void(QWidget*)> afterwards;  // e.g. answer a message box
    int paints = 0;                            // every paint event, watched or not

    void arm(std::function<bool(QWidget*)> target)
    {
        isTarget = std::move(target);
        finished = -1;
        seen_ = false;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        if (event->type() == QEvent::Paint && !seen_ && isTarget && watched->isWidgetType()) {
            QWidget* window = static_cast<QWidget*>(watched)->window();
            if (isTarget(window)) {
                seen_ = true;
                QTimer::singleShot(0, this, [this, window] {
                    finished = clock_.nsecsElapsed();
                    if (afterwards)
                        afterwards(window);
                });
            }
        }
        return false;
    }

private:
    bool seen_ = false;
};

PaintWatch* watch;

// The shop's own message box, answered as soon as it has been painted. Until
// the shop has started, a message (the price list refused) is only printed;
// while a step is being set up, a message is not shown but noted, and the
// step fails with it.
class AnsweringPlatform final : public ui::Platform {
public:
    bool started = false;
    bool measuring = false;
    QString unexpected;

    void messageBox(const QString& text) override
    {
        if (!started) {
            std::fprintf(stderr, "%s\n", qPrintable(text));
            return;
        }
        if (!measuring) {
            unexpected = text;
            return;
        }
        watch->afterwards = [](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w))
                box->accept();
        };
        real_.messageBox(text);
        watch->afterwards = nullptr;
    }
    QString inputBox(const QString&) override { return {}; }
    std::optional<QColor> pickColour(const QColor&) override { return std::nullopt; }
    void exit(int) override {}
    void log(const QString& line) override { std::fprintf(stderr, "%s\n", qPrintable(line)); }

private:
    ui::QtPlatform real_;
};

// Lets everything the set-up of a step started finish: until a few rounds
// of the event loop pass without painting anything.
void settle()
{
    for (int quiet = 0, round = 0; quiet < 3 && round < 200; ++round) {
        const int before = watch->paints;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        QThread::usleep(500);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        quiet = watch->paints == before ? quiet + 1 : 0;
    }
}

// A list row clicked where the customer sees it. A list that can scroll
// hands a press to Qt's flick gesture, which gives it back to the widget on
// top at that point of the screen; the offscreen platform cannot raise a
// window, so any shop window covering the list is hidden first.
void clickRow(ui::ListBox* list, int row)
{
    list->scrollToItem(list->item(row));
    const QPoint at = list->visualItemRect(list->item(row)).center();
    for (int covering = 0; covering < 4; ++covering) {
        QWidget* top = QApplication::widgetAt(list->viewport()->mapToGlobal(at));
        if (!top || top->window() == list->window())
            break;
        top->window()->hide();
        settle();
    }
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
}

// Closes whatever dialog a step left waiting, so that the step ends.
void closeDialogs()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
            dialog->reject();
}

struct Step {
    const char* name;
    std::function<void(int rep)> prepare;       // re-creates the state the step needs
    std::function<void(int rep)> act;           // delivers the customer's input
    std::function<bool(QWidget*)> painted;      // the window whose paint ends the step
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    ui::setUpProcess();  // as the program does
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    ui::identifyApplication();
    ui::installShopFonts();
    PaintWatch paintWatch;
    watch = &paintWatch;
    application.installEventFilter(&paintWatch);
    clock_.start();

    AnsweringPlatform platform;
    Shop shop(platform);
    startUp(shop);
    if (shop.app.ended())
        return 1;
    platform.started = true;
    settle();

    auto* menu = shop.frmMenu.as<MenuScreen>();
    auto adult = [&] { return shop.frmAdult.as<SelectionScreen>(); };
    auto child = [&] { return shop.frmChild.as<SelectionScreen>(); };
    auto invoice = [&] { return shop.frmInvoice.as<InvoiceScreen>(); };
    auto is = [](auto get) { return [get](QWidget* w) { return w == get(); }; };
    auto click = [](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); };
    auto unload = [&](ui::ScreenSlot& slot) {
        slot.unload();
        settle();
    };
    auto exposed = [](QWidget* w) {
        if (!QTest::qWaitForWindowExposed(w))
            std::fprintf(stderr, "%s never showed\n", qPrintable(w->objectName()));
    };
    auto showFresh = [&](ui::ScreenSlot& slot) {
        slot.show();
        exposed(slot.screen());
        settle();
    };
    // The adult screen open with Nike, Hoops and a size chosen, `qty` pairs.
    auto adultChosen = [&](const QString& qty) {
        if (!shop.frmAdult.loaded() || !adult()->isVisible())
            showFresh(shop.frmAdult);
        if (adult()->brandList()->ListIndex() != 2)
            clickRow(adult()->brandList(), 2);
        if (adult()->typeList()->ListIndex() != 1)
            clickRow(adult()->typeList(), 1);
        if (adult()->sizeList()->ListIndex() < 0)
            clickRow(adult()->sizeList(), 3);
        adult()->txtQuantity()->setText(qty);
    };
    auto adultPriced = [&](int rep) {
        adultChosen(QString::number(1 + rep % 3));
        adult()->cmdFindPrice_Click();
    };
    // The invoice up, with the adult line just added (and no children's line).
    auto invoiceWithAdultLine = [&](int rep) {
        adultPriced(rep);
        shop.cart.WithdrawLine(Category::Child);
        adult()->cmdCart_Click();
        exposed(invoice());
        settle();
    };
    menu->controls().get<QRadioButton>(QStringLiteral("optAdult"))->setChecked(true);

    const std::vector<Step> steps{
        {"enter_opens_adult_screen",
         [&](int) { unload(shop.frmAdult); },
         [&](int) { click(menu->controls().get<QPushButton>(QStringLiteral("cmdMenu"))); }, is(adult)},
        {"enter_reopens_adult_screen",
         [&](int) {
             if (!shop.frmAdult.loaded())
                 showFresh(shop.frmAdult);
             adult()->hide();
             settle();
         },
         [&](int) { click(menu->controls().get<QPushButton>(QStringLiteral("cmdMenu"))); }, is(adult)},
        {"brand_click_fills_types",
         [&](int) { adultChosen(QStringLiteral("1")); settle(); },
         [&](int) { clickRow(adult()->brandList(), adult()->brandList()->ListIndex() == 2 ? 0 : 2); }, is(adult)},
        {"type_click",
         [&](int) { adultChosen(QStringLiteral("1")); settle(); },
         [&](int) { clickRow(adult()->typeList(), adult()->typeList()->ListIndex() == 1 ? 0 : 1); }, is(adult)},
        {"size_click",
         [&](int) { adultChosen(QStringLiteral("1")); settle(); },
         [&](int) { clickRow(adult()->sizeList(), adult()->sizeList()->ListIndex() == 4 ? 5 : 4); }, is(adult)},
        {"up_arrow_on_quantity",
         [&](int) { adultChosen(QStringLiteral("1")); settle(); },
         [&](int) { QTest::keyClick(adult()->txtQuantity(), Qt::Key_Up); }, is(adult)},
        {"find_price_shows_price",
         [&](int rep) { adultChosen(QString::number(1 + rep % 3)); settle(); },
         [&](int) { click(adult()->button("cmdFindPrice")); }, is(adult)},
        {"find_price_bad_quantity_message",
         [&](int) { adultChosen(QStringLiteral("two")); settle(); },
         [&](int) { click(adult()->button("cmdFindPrice")); },
         [](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; }},
        {"add_to_cart_loads_invoice",
         [&](int rep) { unload(shop.frmInvoice); adultPriced(rep); settle(); },
         [&](int) { click(adult()->button("cmdCart")); }, is(invoice)},
        {"add_to_cart_refills_invoice",
         [&](int rep) {
             if (!shop.frmInvoice.loaded())
                 showFresh(shop.frmInvoice);
             adultPriced(rep);
             settle();
         },
         [&](int) { click(adult()->button("cmdCart")); }, is(invoice)},
        {"see_childrens_opens_screen",
         [&](int rep) {
             unload(shop.frmChild);
             invoiceWithAdultLine(rep);
         },
         [&](int) { click(invoice()->button("cmdSeeOther")); }, is(child)},
        {"accept",
         [&](int rep) {
             unload(shop.frmInvoice);
             invoiceWithAdultLine(rep);
         },
         [&](int) { click(invoice()->button("cmdAccept")); }, is(invoice)},
        {"reset",
         [&](int rep) { adultPriced(rep); settle(); },
         [&](int) { click(adult()->button("cmdReset")); }, is(adult)},
    };

    // Every part of a step has a limit: a step that goes wrong fails with its
    // name, even while a dialog waits for an answer nobody gives.
    constexpr int LimitMs = 5000;
    bool overdue = false;
    QTimer guard;
    guard.setSingleShot(true);
    guard.setInterval(LimitMs);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        overdue = true;
        closeDialogs();
    });
    auto within = [&](const char* step, const char* part, const std::function<void()>& run) {
        overdue = false;
        guard.start();
        run();
        guard.stop();
        if (overdue)
            std::fprintf(stderr, "%s: %s did not finish within %d ms\n", step, part, LimitMs);
        if (!platform.unexpected.isEmpty())
            std::fprintf(stderr, "%s: the shop said \"%s\" during the %s\n", step, qPrintable(platform.unexpected), part);
        return !overdue && platform.unexpected.isEmpty();
    };

    const QString platformName = QGuiApplication::platformName();
    for (const Step& step : steps) {
        if (!only.isEmpty() && only != QLatin1String(step.name))
            continue;
        std::vector<double> ms;
        for (int rep = 0; rep < repeats; ++rep) {
            if (!within(step.name, "set-up", [&] { step.prepare(rep); }))
                return 1;
            paintWatch.arm(step.painted);
            qint64 start = 0, finished = -1;
            const bool inTime = within(step.name, "step", [&] {
                platform.measuring = true;
                CALLGRIND_TOGGLE_COLLECT;
                start = clock_.nsecsElapsed();
                step.act(rep);
                while (paintWatch.finished < 0 && !overdue)
                    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
                finished = paintWatch.finished;
                CALLGRIND_TOGGLE_COLLECT;
                platform.measuring = false;
            });
            paintWatch.arm(nullptr);
            if (!inTime || finished < 0)
                return 1;
            ms.push_back(double(finished - start) / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        const double median = ms[ms.size() / 2];
        const double p99 = ms[std::min(ms.size() - 1, static_cast<std::size_t>(std::ceil(0.99 * double(ms.size()))) - 1)];
        std::printf("%s %s %.2f %.2f %.2f\n", qPrintable(platformName), step.name, median, p99, ms.back());
        std::fflush(stdout);
    }
    shop.app.end(0);
    return 0;
}
