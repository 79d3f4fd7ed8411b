// The shop as a real X server and window manager show it: the titles they
// carry, the colours they paint and where they place the windows. Run by
// scripts/xserver.sh on a private Xvfb with a window manager, on Qt's xcb
// platform, through the same runShop() as the program itself.

#include "app/startup.h"
#include "menu/menuscreen.h"
#include "ui/platform.h"
#include "programs.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace plimbo;

namespace {

// Runs the real shop, with `script` inside its event loop, then ends it.
int withShop(const std::function<void(Shop&)>& script)
{
    return runShop([&](Shop& shop) {
        QTimer::singleShot(0, qApp, [&] {
            script(shop);
            shop.app.end(0);
        });
    });
}

// Runs `act` on the next modal dialog once the X server shows it.
void whenModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, qApp, [act = std::move(act)] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || !QTest::qWaitForWindowExposed(dialog)) {
            qWarning("no modal dialog came up");
            return;
        }
        act(dialog);
    });
}

QString run(const QString& program, const QStringList& arguments)
{
    const test::Ran ran = test::runProgram(program, arguments, 10000);
    if (ran.status != 0)
        qWarning("%s did not run: status %d, %s", qPrintable(program), ran.status, ran.err.constData());
    return QString::fromUtf8(ran.out);
}

// The window's title as the X server holds it for the window manager:
// _NET_WM_NAME, and WM_NAME when the two differ.
QString xTitle(QWidget* window)
{
    const QString out = run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()),
                                                      QStringLiteral("-notype"), QStringLiteral("_NET_WM_NAME"),
                                                      QStringLiteral("WM_NAME")});
    QString net, plain;
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        const auto m = QRegularExpression(QStringLiteral("^(\\w+) = \"(.*)\"$")).match(line);
        if (m.hasMatch())
            (m.captured(1) == QLatin1String("_NET_WM_NAME") ? net : plain) = m.captured(2).replace("\\\"", "\"");
    }
    return net == plain ? net : net + QStringLiteral(" / WM_NAME ") + plain;
}

// Where the X server has the window's own area (inside any frame).
QPoint xPosition(QWidget* window)
{
    const QString out = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window->winId())});
    auto number = [&](const char* label) {
        const auto m = QRegularExpression(QLatin1String(label) + QStringLiteral(":\\s+(-?\\d+)")).match(out);
        return m.hasMatch() ? m.captured(1).toInt() : -9999;
    };
    return {number("Absolute upper-left X"), number("Absolute upper-left Y")};
}

bool windowManagerRuns()
{
    return run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
        .contains(QLatin1String("window id"));
}

// The colours the X server holds for a window, read back as an image. The
// window paints now, and the read-back comes after the painting on the same
// connection to the server.
QImage painted(QWidget* window)
{
    window->repaint();
    return window->screen()->grabWindow(window->winId()).toImage();
}

QColor pixelAt(const QImage& image, QWidget* window, QWidget* control, QPoint at)
{
    return image.pixelColor(control->mapTo(window, at));
}

QPoint indicatorCentre(QRadioButton* option)
{
    QStyleOptionButton o;
    o.initFrom(option);
    return option->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &o, option).center();
}

} // namespace

class TestWindowSystem : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY2(windowManagerRuns(), "run under scripts/xserver.sh: no window manager");
    }

    void titlesAreExactlyTheCaptions()
    {
        QMap<QString, QString> shown;
        const int status = withShop([&](Shop& shop) {
            for (ui::ScreenSlot* slot : {&shop.frmMenu, &shop.frmAdult, &shop.frmChild, &shop.frmInvoice}) {
                ui::Screen* s = slot->show();
                if (QTest::qWaitForWindowExposed(s))
                    shown[s->objectName()] = xTitle(s);
            }
            whenModal([&](QWidget* box) {
                shown[QStringLiteral("message box")] = xTitle(box);
                box->close();
            });
            shop.app.platform().messageBox(QStringLiteral("You must select a Brand"));
            whenModal([&](QWidget* box) {
                shown[QStringLiteral("password box")] = xTitle(box);
                box->close();
            });
            shop.app.platform().inputBox(menu::PasswordPrompt);
        });
        QCOMPARE(status, 0);
        const QMap<QString, QString> expected{{"frmMenu", "The Plimbo Shop"},
                                              {"frmAdult", "Adult Plimbo Selection"},
                                              {"frmChild", "Children's Plimbo Selection"},
                                              {"frmInvoice", "Customer Invoice"},
                                              {"message box", "Plimbo"},
                                              {"password box", "Plimbo"}};
        QCOMPARE(shown, expected);
    }

    // Only the window's background takes the customer's colour; the Enter
    // button and the option circles keep the toolkit's, the options their
    // yellow and the instructions box its own blue.
    void onlyTheWindowTakesThePickedColour()
    {
        struct Sample {
            QColor window, enter, circle, box, option;
        };
        QList<Sample> samples;  // at opening, after a picked colour
        Sample reference;
        const QColor picked(20, 160, 60);
        const int status = withShop([&](Shop& shop) {
            auto* menu = shop.frmMenu.as<MenuScreen>();
            if (!QTest::qWaitForWindowExposed(menu))
                return;
            auto* enter = menu->controls().get<QPushButton>(QStringLiteral("cmdMenu"));
            auto* option = menu->controls().get<QRadioButton>(QStringLiteral("optAdult"));
            auto* box = menu->controls().get<QTextEdit>(QStringLiteral("txtMenu"));
            const QPoint bevel(enter->width() / 2, 6);  // above the caption
            auto sample = [&] {
                Sample taken;
                // The window manager takes a closed dialog's frame away in
                // its own time, and the X server fills what it uncovers with
                // the window's colour until the shop paints it again: wait
                // until the Enter button is painted over the window's colour
                // (a button that took the colour itself never is, and fails).
                (void)QTest::qWaitFor([&] {
                    const QImage image = painted(menu);
                    taken = Sample{pixelAt(image, menu, menu->client(), {10, 300}),
                                   pixelAt(image, menu, enter, bevel),
                                   pixelAt(image, menu, option, indicatorCentre(option)),
                                   pixelAt(image, menu, box->viewport(), {1, 1}),
                                   pixelAt(image, menu, option, {option->width() - 4, option->height() / 2})};
                    return taken.enter != taken.window;
                });
                samples << taken;
            };
            sample();
            whenModal([&](QWidget* dialog) {
                auto* colours = qobject_cast<QColorDialog*>(dialog);
                colours->setCurrentColor(picked);
                colours->accept();
            });
            menu->findChild<QAction*>(QStringLiteral("mnuColors"))->trigger();
            sample();

            // The same button and option on a window of the toolkit's own colours.
            QWidget plain;
            plain.resize(menu->client()->size());
            QPushButton button(enter->text(), &plain);
            button.setGeometry(enter->geometry());
            button.setFont(enter->font());
            QRadioButton circle(option->text(), &plain);
            circle.setGeometry(option->geometry());
            circle.setFont(option->font());
            plain.show();
            if (!QTest::qWaitForWindowExposed(&plain))
                return;
            const QImage image = painted(&plain);
            reference.enter = pixelAt(image, &plain, &button, bevel);
            reference.circle = pixelAt(image, &plain, &circle, indicatorCentre(&circle));
        });
        QCOMPARE(status, 0);
        QCOMPARE(samples.size(), 2);
        QVERIFY(reference.enter.isValid());
        QCOMPARE(samples[0].window, QColor(128, 128, 255));
        QCOMPARE(samples[1].window, picked);
        for (const Sample& s : samples) {
            QCOMPARE(s.enter, reference.enter);
            QCOMPARE(s.circle, reference.circle);
            QCOMPARE(s.box, QColor(128, 128, 255));
            QCOMPARE(s.option, QColor(255, 255, 0));
        }
    }

    // The selection screens' client areas, below their menu bars, sit where
    // the shop placed them, whatever frame the window manager adds.
    void selectionScreensSitWherePlaced()
    {
        const QMap<QString, QPoint> expected{{"frmAdult", {130, 118}},   // 1950, 1770 twips
                                             {"frmChild", {128, 106}}};  // 1920, 1590 twips
        QMap<QString, QPoint> at;
        const int status = withShop([&](Shop& shop) {
            for (ui::ScreenSlot* slot : {&shop.frmAdult, &shop.frmChild}) {
                ui::Screen* s = slot->show();
                if (!QTest::qWaitForWindowExposed(s))
                    return;
                // The window manager has the last word on the place: wait
                // until it agrees, or until it has had time enough.
                QPoint place;
                (void)QTest::qWaitFor([&] {
                    place = xPosition(s) + s->client()->mapTo(s, QPoint(0, 0));
                    return place == expected.value(s->objectName());
                });
                at[s->objectName()] = place;
            }
        });
        QCOMPARE(status, 0);
        QCOMPARE(at, expected);
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TestWindowSystem test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_windowsystem.moc"
