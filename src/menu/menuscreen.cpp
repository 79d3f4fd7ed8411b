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
    // rect: {left, top, width, height} in twips; tab: the tab index.
    static const std::array<ui::ControlSpec, 15> table{{
        {.name = "lblMenu01", .kind = Kind::Label, .caption = QStringLiteral("\"The Plimbo Shop\""),
         .rect = {3480, 1440, 4815, 615}, .font = ComicSans(24, true, true), .tab = 0, .align = Align::Centre,
         .background = Blue, .foreground = Red},
        {.name = "optChild", .kind = Kind::Option, .caption = QStringLiteral("Children's Plimbos"),
         .rect = {2520, 3360, 6615, 735}, .font = ComicSans(18), .tab = 1, .background = Yellow},
        {.name = "optAdult", .kind = Kind::Option, .caption = QStringLiteral("Adult Plimbos"),
         .rect = {2520, 2520, 6615, 735}, .font = ComicSans(18), .tab = 2, .background = Yellow},
        {.name = "cmdMenu", .kind = Kind::Button, .caption = QStringLiteral("Enter"), .rect = {5160, 4200, 1095, 840},
         .font = ComicSans(14.25), .tab = 3},
        {.name = "txtMenu", .kind = Kind::TextArea, .caption = menu::Instructions, .rect = {2040, 5160, 7575, 1095},
         .font = ComicSans(14.25), .tab = 4, .align = Align::Centre, .background = Blue, .foreground = Red,
         .accessibleName = QStringLiteral("Instructions")},
        {.name = "lblSecure", .kind = Kind::Label, .caption = QStringLiteral("* Secure Credit Card Shooping Environment *"),
         .rect = {4560, 2160, 4215, 375}, .font = ComicSans(9.75), .tab = 5, .background = Blue},
        {.name = "picMC", .kind = Kind::Picture, .rect = {3720, 6360, 1575, 1335}, .tab = 6,
         .accessibleName = QStringLiteral("MasterCard accepted")},
        {.name = "picVisa", .kind = Kind::Picture, .rect = {5760, 6360, 1575, 1335}, .tab = 7,
         .accessibleName = QStringLiteral("Visa accepted")},
        {.name = "lblAccept", .kind = Kind::Label, .caption = QStringLiteral("We Accept:"),
         .rect = {2280, 6480, 1215, 255}, .font = ComicSans(9.75), .tab = 8, .background = Blue, .foreground = Red},
        {.name = "picDiscover", .kind = Kind::Picture, .rect = {7680, 6360, 1575, 1128}, .tab = 9,
         .accessibleName = QStringLiteral("Discover accepted")},
        {.name = "picReebok", .kind = Kind::Picture, .rect = {9600, 2040, 1575, 1215}, .tab = 10,
         .accessibleName = QStringLiteral("Reebok")},
        {.name = "picConverse", .kind = Kind::Picture, .rect = {8880, 240, 1575, 1215}, .tab = 11,
         .accessibleName = QStringLiteral("Converse")},
        {.name = "picNike", .kind = Kind::Picture, .rect = {1560, 120, 1455, 1215}, .tab = 12, .background = Blue,
         .accessibleName = QStringLiteral("Nike")},
        {.name = "picAddidas", .kind = Kind::Picture, .rect = {480, 1680, 1575, 1335}, .tab = 13, .background = Blue,
         .accessibleName = QStringLiteral("Addidas")},
        // Announced as the date and time it shows.
        {.name = "lblDateandTime", .kind = Kind::Label, .rect = {4920, 120, 1815, 255}, .tab = 14},
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
