#pragma once
// The main menu, "The Plimbo Shop": the first and central window. The
// customer picks adult or children's shoes and presses Enter; the window
// also shows the shop's pictures and a clock, and offers the colour and clock
// preferences and an exit that asks for the password.

#include "../ui/colourdialog.h"
#include "../ui/screen.h"

#include <QDateTime>
#include <QLocale>

class QAction;
class QLabel;
class QRadioButton;
class QTimer;

namespace plimbo {

struct Shop;

namespace menu {
inline const QString Caption = QStringLiteral("The Plimbo Shop");
inline const QString Instructions = QStringLiteral(
    "Please click Adult Plimbos or Children's Plimbos, then click ENTER to see our plimbo varieties.   Thank You!\r\n");
inline const QString Password = QStringLiteral("Kip");
inline const QString PasswordPrompt = QStringLiteral("To exit the program, enter a Password");
inline const QString Farewell = QStringLiteral("Thank you for choosing The Plimbo Shop!");
inline const QString WrongPassword = QStringLiteral("The password is: Kip     Get it right next time!");
inline const QColor WindowColour{128, 128, 255};
inline const QColor Highlight{255, 255, 0};
inline constexpr int ClockInterval = 1000;
} // namespace menu

// The clock's text: the locale's short date, a blank, and the time with seconds.
QString clockText(const QDateTime& when, const QLocale& locale = QLocale::system());

class MenuScreen : public ui::Screen {
    Q_OBJECT
public:
    explicit MenuScreen(Shop& shop);

    void Form_Load() override;

    void cmdMenu_Click();
    void tmrMenu_Timer();
    void mnuDateOn_Click();
    void mnuDateOff_Click();
    void mnuColors_Click();
    void mnuExit_Click();

    QTimer* timer() const { return tmrMenu_; }
    ui::ColourDialog* colourDialog() const { return dlgColor_; }

private:
    Shop& shop_;
    QTimer* tmrMenu_;
    ui::ColourDialog* dlgColor_;
    QAction* mnuDateOn_;
    QAction* mnuDateOff_;
};

} // namespace plimbo
