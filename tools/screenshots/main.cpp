// Renders every screen of the shop in a realistic state to PNG files, for
// the README and for anyone who wants to see the shop without running it.
//
//   plimbo_screenshots <price list folder> <output folder>
//
// Runs on Qt's offscreen platform at 96 dpi; nothing is shown on a display.
// With QT_SCALE_FACTOR=2 it renders the menu and the adult screen as a large
// kiosk screen shows them, into menu@2x.png and adult@2x.png.

#include "app/startup.h"
#include "cart/invoicescreen.h"
#include "catalogue/pricefile.h"
#include "menu/menuscreen.h"
#include "prices/editorwindow.h"
#include "selection/selectionscreen.h"
#include "ui/fonts.h"
#include "ui/listbox.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Nothing asks anything while the pictures are taken; a message would mean
// the price list or the script is wrong.
class SilentPlatform final : public ui::Platform {
public:
    void messageBox(const QString& text) override { messages << text; }
    QString inputBox(const QString&) override { return {}; }
    std::optional<QColor> pickColour(const QColor&) override { return std::nullopt; }
    void exit(int) override {}
    void log(const QString&) override {}
    QStringList messages;
};

bool save(QWidget* screen, const QDir& out, const QString& name);

// The price-list editor asks nothing either.
class SilentDesk final : public plimbo::prices::Desk {
public:
    void message(const QString& text) override { messages << text; }
    Answer askToSave(const QString&) override { return Answer::Cancel; }
    bool confirm(const QString&) override { return false; }
    QString fileToOpen(const QString&, const QString&, const QString&) override { return {}; }
    QString fileToSave(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<plimbo::prices::PriceChange> priceChange(const QList<std::pair<plimbo::Category, QString>>&) override
    {
        return std::nullopt;
    }
    QStringList messages;
};

// The editor on the sample list, then on a copy with what owners get wrong:
// a brand without its blanks, a spreadsheet's UTF-8, a name too wide for the
// customers' screens, a category in small letters; and a double quote typed.
bool editorShots(const QString& sample, const QDir& out)
{
    SilentDesk desk;
    plimbo::prices::EditorWindow editor(desk);
    // The editor keeps the desktop's own font, not the shop's.
    editor.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    editor.resize(1100, 760);
    editor.show();
    bool ok = editor.commands().openFile(sample);
    ok &= save(&editor, out, QStringLiteral("prices"));

    QTemporaryDir folder;
    QFile in(sample);
    QFile slips(folder.filePath(QStringLiteral("PlimboPrice.txt")));
    ok &= in.open(QIODevice::ReadOnly) && slips.open(QIODevice::WriteOnly);
    QByteArray bytes = in.readAll();
    bytes.replace("\"Nike    \",\"Running\",80", "\"Nike\",\"Running\",80");
    bytes.replace("\"Canvas Low\",38", "\"Canvas Low Waterproof\",38");
    bytes.replace("\"Soccer\",40", "\"Ca\xC3\xB1\xC3\xB3n\",40");
    bytes.append("\"adult\",\"Reebok  \",\"Tennis\",70,\"\",0,\"\",0,\"\",0,\"\",0\r\n");
    slips.write(bytes);
    slips.close();
    ok &= editor.commands().openFile(slips.fileName());
    auto* model = editor.model(plimbo::Category::Adult);
    editor.tblAdult->setCurrentIndex(model->index(0, 1));
    model->setData(model->index(0, 1), QStringLiteral("Running \"Pro\""));
    ok &= save(&editor, out, QStringLiteral("prices-warnings"));
    if (!desk.messages.isEmpty()) {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(desk.messages.join(QLatin1Char('\n'))));
        return false;
    }
    return ok;
}

void choose(ui::ListBox* list, int row)
{
    list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

bool save(QWidget* screen, const QDir& out, const QString& name)
{
    const QString scale = screen->devicePixelRatioF() > 1 ? QStringLiteral("@2x") : QString();
    const QString path = out.filePath(name + scale + QStringLiteral(".png"));
    if (!screen->grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

plimbo::SelectionScreen* price(plimbo::Shop& shop, plimbo::Category c, int brand, int type, int size,
                               const QString& qty)
{
    shop.selection(c).show();
    auto* s = shop.selection(c).as<plimbo::SelectionScreen>();
    choose(s->brandList(), brand);
    choose(s->typeList(), type);
    choose(s->sizeList(), size);
    s->txtQuantity()->setText(qty);
    s->cmdFindPrice_Click();
    return s;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_FONT_DPI", "96");
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: plimbo_screenshots <price list folder> <output folder>\n");
        return 2;
    }
    ui::installShopFonts();
    QDir out(args[2]);
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(args[2]));
        return 1;
    }

    SilentPlatform platform;
    plimbo::Shop shop(platform);
    plimbo::startUp(shop, QDir(args[1]).filePath(QStringLiteral("PlimboPrice.txt")));
    if (shop.app.ended()) {
        std::fprintf(stderr, "%s\n", qPrintable(platform.messages.join(QLatin1Char('\n'))));
        return 1;
    }

    bool ok = true;
    auto* menu = shop.frmMenu.as<plimbo::MenuScreen>();
    menu->controls().get<QLabel>(QStringLiteral("lblDateandTime"))
        ->setText(plimbo::clockText(QDateTime(QDate(2026, 12, 7), QTime(10, 30, 15)), QLocale(QLocale::English, QLocale::UnitedStates)));
    menu->controls().get<QRadioButton>(QStringLiteral("optAdult"))->setChecked(true);
    ok &= save(menu, out, QStringLiteral("menu"));

    auto* adult = price(shop, plimbo::Category::Adult, 2, 1, 7, QStringLiteral("3"));
    ok &= save(adult, out, QStringLiteral("adult"));
    if (adult->devicePixelRatioF() > 1)
        return ok ? 0 : 1;  // scaled up: the menu and the adult screen are enough to judge by

    auto* child = shop.frmChild.show();
    choose(static_cast<plimbo::SelectionScreen*>(child)->brandList(), 0);
    ok &= save(child, out, QStringLiteral("children"));

    adult->cmdCart_Click();
    shop.frmInvoice.as<plimbo::InvoiceScreen>()->cmdSeeOther_Click();
    auto* childScreen = price(shop, plimbo::Category::Child, 0, 1, 8, QStringLiteral("2"));
    childScreen->cmdCart_Click();
    auto* invoice = shop.frmInvoice.as<plimbo::InvoiceScreen>();
    ok &= save(invoice, out, QStringLiteral("invoice"));
    invoice->cmdAccept_Click();
    ok &= save(invoice, out, QStringLiteral("invoice-accepted"));

    if (!platform.messages.isEmpty()) {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(platform.messages.join(QLatin1Char('\n'))));
        return 1;
    }
    ok &= editorShots(QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("PlimboPrice.txt")), out);
    return ok ? 0 : 1;
}
