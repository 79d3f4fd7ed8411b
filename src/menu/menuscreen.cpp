#include "menuscreen.h"

#include "../cart/shop.h"
#include "../ui/pictures.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <array>

namespace plimbo {

namespace {

using ui::Align;
using ui::ComicSans;
using ui::Kind;

const QColor Red{255, 0, 0};
const QColor Yellow = menu::Highlight;
const QColor Blue = menu::WindowColour;

const std::array<ui::ControlSpec, 15>& controlTable()
{
    // name, kind, caption, {left, top, width, height}, font, tab, align, visible, enabled,
    // readOnly, background, foreground, accessible name
    static const std::array<ui::ControlSpec, 15> table{{
        {"lblMenu01", Kind::Label, QStringLiteral("\"The Plimbo Shop\""), {3480, 1440, 4815, 615},
         ComicSans(24, true, true), 0, Align::Centre, true, true, false, Blue, Red},
        {"optChild", Kind::Option, QStringLiteral("Children's Plimbos"), {2520, 3360, 6615, 735}, ComicSans(18), 1,
         Align::Left, true, true, false, Yellow},
        {"optAdult", Kind::Option, QStringLiteral("Adult Plimbos"), {2520, 2520, 6615, 735}, ComicSans(18), 2,
         Align::Left, true, true, false, Yellow},
        {"cmdMenu", Kind::Button, QStringLiteral("Enter"), {5160, 4200, 1095, 840}, ComicSans(14.25), 3},
        {"txtMenu", Kind::TextArea, menu::Instructions, {2040, 5160, 7575, 1095}, ComicSans(14.25), 4,
         Align::Centre, true, true, false, Blue, Red, QStringLiteral("Instructions")},
        {"lblSecure", Kind::Label, QStringLiteral("* Secure Credit Card Shooping Environment *"),
         {4560, 2160, 4215, 375}, ComicSans(9.75), 5, Align::Left, true, true, false, Blue},
        {"picMC", Kind::Picture, {}, {3720, 6360, 1575, 1335}, {}, 6, Align::Left, true, true, false, {}, {},
         QStringLiteral("MasterCard accepted")},
        {"picVisa", Kind::Picture, {}, {5760, 6360, 1575, 1335}, {}, 7, Align::Left, true, true, false, {}, {},
         QStringLiteral("Visa accepted")},
        {"lblAccept", Kind::Label, QStringLiteral("We Accept:"), {2280, 6480, 1215, 255}, ComicSans(9.75), 8,
         Align::Left, true, true, false, Blue, Red},
        {"picDiscover", Kind::Picture, {}, {7680, 6360, 1575, 1128}, {}, 9, Align::Left, true, true, false, {}, {},
         QStringLiteral("Discover accepted")},
        {"picReebok", Kind::Picture, {}, {9600, 2040, 1575, 1215}, {}, 10, Align::Left, true, true, false, {}, {},
         QStringLiteral("Reebok")},
        {"picConverse", Kind::Picture, {}, {8880, 240, 1575, 1215}, {}, 11, Align::Left, true, true, false, {}, {},
         QStringLiteral("Converse")},
        {"picNike", Kind::Picture, {}, {1560, 120, 1455, 1215}, {}, 12, Align::Left, true, true, false, Blue, {},
         QStringLiteral("Nike")},
        {"picAddidas", Kind::Picture, {}, {480, 1680, 1575, 1335}, {}, 13, Align::Left, true, true, false, Blue, {},
         QStringLiteral("Addidas")},
        // Announced as the date and time it shows.
        {"lblDateandTime", Kind::Label, {}, {4920, 120, 1815, 255}, {}, 14},
    }};
    return table;
}

} // namespace

QString clockText(const QDateTime& when, const QLocale& locale)
{
    // The locale's long time format carries the seconds, and in many locales
    // a time zone too, which the clock leaves out.
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));  // compiled once, not every tick
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(zone).remove(QLatin1Char('t'));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat.trimmed());
}

MenuScreen::MenuScreen(Shop& shop)
    : Screen(shop.app, QStringLiteral("frmMenu"), menu::Caption, {11790, 7740}),
      shop_(shop),
      tmrMenu_(new QTimer(this)),
      dlgColor_(new ui::ColourDialog(shop.app.platform(), QStringLiteral("dlgColor"), menu::WindowColour, this))
{
    setBackground(menu::WindowColour);
    build(controlTable());

    const auto& c = controls();
    const qreal ratio = devicePixelRatioF();
    c.get<QLabel>("picMC")->setPixmap(ui::picture(QStringLiteral("MasterCard"), ratio));
    for (const char* name : {"Visa", "Discover", "Reebok", "Converse", "Nike", "Addidas"})
        c.get<QLabel>(QStringLiteral("pic") + QLatin1String(name))->setPixmap(ui::picture(QLatin1String(name), ratio));

    QAction* exit = addMenuItem(nullptr, QStringLiteral("mnuExit"), QStringLiteral("E&xit "));
    addMenuItem(nullptr, QStringLiteral("mnuHelp"), QStringLiteral("&Help"));
    QMenu* preferences = addMenu(QStringLiteral("mnuPreferences"), QStringLiteral("&Preferences"));
    QAction* colours = addMenuItem(preferences, QStringLiteral("mnuColors"), QStringLiteral("Colors"));
    mnuDateOn_ = addMenuItem(preferences, QStringLiteral("mnuDateOn"), QStringLiteral("Date and Time - ON"));
    mnuDateOff_ = addMenuItem(preferences, QStringLiteral("mnuDateOff"), QStringLiteral("Date and Time - OFF"));
    for (QAction* a : {mnuDateOn_, mnuDateOff_})
        a->setCheckable(true);
    mnuDateOn_->setChecked(true);

    tmrMenu_->setObjectName(QStringLiteral("tmrMenu"));
    tmrMenu_->setInterval(menu::ClockInterval);

    on(c.get<QPushButton>("cmdMenu"), &QPushButton::clicked, [this] { cmdMenu_Click(); });
    on(tmrMenu_, &QTimer::timeout, [this] { tmrMenu_Timer(); });
    on(mnuDateOn_, &QAction::triggered, [this] { mnuDateOn_Click(); });
    on(mnuDateOff_, &QAction::triggered, [this] { mnuDateOff_Click(); });
    on(colours, &QAction::triggered, [this] { mnuColors_Click(); });
    on(exit, &QAction::triggered, [this] { mnuExit_Click(); });
    tmrMenu_->start();
}

void MenuScreen::Form_Load()
{
    shop_.cart.ResetCart();
}

void MenuScreen::cmdMenu_Click()
{
    const auto& c = controls();
    if (c.get<QRadioButton>("optAdult")->isChecked())
        shop_.frmAdult.show();
    else if (c.get<QRadioButton>("optChild")->isChecked())
        shop_.frmChild.show();
    else
        ui::setBackground(c.get<QWidget>("txtMenu"), menu::Highlight);
}

void MenuScreen::tmrMenu_Timer()
{
    controls().get<QLabel>("lblDateandTime")->setText(clockText(QDateTime::currentDateTime()));
}

void MenuScreen::mnuDateOff_Click()
{
    mnuDateOff_->setChecked(true);
    mnuDateOn_->setChecked(false);
    tmrMenu_->stop();
    controls().get<QLabel>("lblDateandTime")->setVisible(false);
}

void MenuScreen::mnuDateOn_Click()
{
    mnuDateOn_->setChecked(true);
    mnuDateOff_->setChecked(false);
    tmrMenu_->start();
    controls().get<QLabel>("lblDateandTime")->setVisible(true);
}

void MenuScreen::mnuColors_Click()
{
    dlgColor_->ShowColor();
    setBackground(dlgColor_->Color);
}

void MenuScreen::mnuExit_Click()
{
    ui::Platform& platform = shop_.app.platform();
    const QString answer = platform.inputBox(menu::PasswordPrompt);
    if (answer == menu::Password) {
        platform.messageBox(menu::Farewell);
        shop_.frmMenu.unload();
    } else {
        platform.messageBox(menu::WrongPassword);
    }
}

} // namespace plimbo
