#include "invoicescreen.h"

#include "money.h"
#include "shop.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

namespace plimbo {

namespace {

using ui::Align;
using ui::ComicSans;
using ui::Kind;
using ui::MsSansSerif;

const QColor Red{255, 0, 0};
const QColor Blue{128, 128, 255};

// The ruled table: rows of cells under column headings, one text box per
// column and row.
constexpr int RowTop = 2280;
constexpr int RowPitch = 600;
constexpr int CellHeight = 285;

struct Column {
    const char* cells;      // control array name
    const char* heading;    // heading label's name
    QString caption;        // heading text
    int headingLeft, headingWidth;
    int cellLeft, cellWidth;
    Align align;
    QString initial;        // a cell's text before the invoice is filled
    bool enabled;
    int cellHeight = CellHeight;
};

const std::vector<Column>& columns()
{
    const QString blank = QStringLiteral(" ");
    static const std::vector<Column> table{
        // cells, heading, caption, heading left/width, cell left/width, alignment, initial, enabled
        {"txtQty", "lblQTY", QStringLiteral("Qty"), 480, 375, 480, 375, Align::Centre, blank, false},
        {"txtAC", "lblAC", QStringLiteral("Adult/Child"), 960, 1455, 1200, 975, Align::Left, blank, false},
        {"txtBrand", "lblBrand", QStringLiteral("Brand"), 2760, 1215, 2520, 1455, Align::Left, blank, false},
        {"txtType", "lblType", QStringLiteral("Type"), 4320, 1215, 4320, 1455, Align::Left, {}, false, 315},
        {"txtSize", "Label1", QStringLiteral("Size"), 5760, 855, 6000, 855, Align::Centre, blank, true},
        {"txtUnitPrice", "lblUnitPrice", QStringLiteral("Unit Price"), 6960, 1215, 7080, 975, Align::Right, {}, false},
        {"txtCost", "lblCost", QStringLiteral("Cost"), 8160, 1215, 8400, 975, Align::Right, blank, false},
    };
    return table;
}

// Grid lines: the rules under each row, the column dividers, and the frame.
struct Rule {
    int x1, y1, x2, y2;
};

std::vector<Rule> rules()
{
    std::vector<Rule> out;
    for (int y = 2040; y <= 5640; y += RowPitch)
        out.push_back({360, y, 9480, y});
    for (int x : {960, 2400, 4200, 5880, 6960, 8160})
        out.push_back({x, 2040, x, 5640});
    out.push_back({360, 2040, 360, 8160});
    out.push_back({9480, 2040, 9480, 8160});
    out.push_back({360, 8160, 9480, 8160});
    out.push_back({360, 2040, 9480, 2040});  // top of the frame, along the first rule
    return out;
}

std::vector<ui::ControlSpec> controlTable()
{
    std::vector<ui::ControlSpec> t{
        {"lblMenu01", Kind::Label, QStringLiteral("\"The Plimbo Shop\""), {2400, 120, 4815, 615},
         ComicSans(24, true, true), -1, Align::Centre, true, true, false, Blue, Red},
        {"lblCustInvoice", Kind::Label, invoice::Caption, {3600, 840, 2415, 375}, MsSansSerif(13.5), -1,
         Align::Left, true, false},
    };
    for (const Column& c : columns())
        t.push_back({c.heading, Kind::Label, c.caption, {c.headingLeft, 1680, c.headingWidth, 255}, {}, -1,
                     c.heading == QLatin1String("lblQTY") ? Align::Left : Align::Centre});
    for (const Column& c : columns()) {
        for (int r = 0; r < invoice::Rows; ++r) {
            ui::ControlSpec cell{QStringLiteral("%1(%2)").arg(QLatin1String(c.cells)).arg(r), Kind::TextBox,
                                 c.initial, {c.cellLeft, RowTop + RowPitch * r, c.cellWidth, c.cellHeight},
                                 r < 2 ? MsSansSerif(8.25, true) : ui::FontSpec{}, -1, c.align, true, c.enabled};
            cell.accessibleName = QStringLiteral("%1, row %2").arg(c.caption).arg(r + 1);
            t.push_back(cell);
        }
    }
    int n = 0;
    for (const Rule& rule : rules())
        t.push_back({QStringLiteral("Line%1").arg(++n), Kind::Line, {},
                     {rule.x1, rule.y1, rule.x2 - rule.x1, rule.y2 - rule.y1}});
    t.push_back({"lblThanks", Kind::Label, {}, {840, 5880, 4335, 855}, ComicSans(24, true), -1, Align::Left, true,
                 false});
    t.push_back({"lblTotal", Kind::Label, QStringLiteral("Your Total Cost"), {5400, 6120, 2055, 375},
                 ComicSans(9.75), -1, Align::Centre});
    t.push_back({"txtTotal", Kind::TextBox, {}, {7560, 6000, 1815, 495}, MsSansSerif(12, true), -1, Align::Centre,
                 true, false, false, {}, {}, QStringLiteral("Total")});
    t.push_back({"cmdSeeOther", Kind::Button, invoice::SeeChildren, {480, 7560, 2895, 615}, {}, 0});
    t.push_back({"cmdClear", Kind::Button, invoice::ClearExit, {3360, 7560, 2775, 615}, {}, 1});
    t.push_back({"cmdAccept", Kind::Button, invoice::Accept, {5880, 7560, 3615, 615}, {}, 2});
    return t;
}

} // namespace

InvoiceScreen::InvoiceScreen(Shop& shop) : Screen(shop.app, QStringLiteral("frmInvoice"), invoice::Caption, {9780, 8595}),
                                           shop_(shop)
{
    build(controlTable());
    const std::array<std::pair<Column*, const char*>, 7> arrays{{{&txtQty, "txtQty"},
                                                                 {&txtAC, "txtAC"},
                                                                 {&txtBrand, "txtBrand"},
                                                                 {&txtType, "txtType"},
                                                                 {&txtSize, "txtSize"},
                                                                 {&txtUnitPrice, "txtUnitPrice"},
                                                                 {&txtCost, "txtCost"}}};
    for (auto [column, name] : arrays)
        for (int r = 0; r < invoice::Rows; ++r)
            (*column)[static_cast<std::size_t>(r)] =
                controls().get<QLineEdit>(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(r));

    on(button("cmdAccept"), &QPushButton::clicked, [this] { cmdAccept_Click(); });
    on(button("cmdClear"), &QPushButton::clicked, [this] { cmdClear_Click(); });
    on(button("cmdSeeOther"), &QPushButton::clicked, [this] { cmdSeeOther_Click(); });
    // While loaded, the invoice hears from the cart whenever it changes.
    const auto listening = on(&shop.cart, &Cart::changed, [this] { refill(); });
    connect(this, &Screen::unloaded, this, [listening] { QObject::disconnect(listening); });
}

QLineEdit* InvoiceScreen::txtTotal() const { return controls().get<QLineEdit>(QStringLiteral("txtTotal")); }
QPushButton* InvoiceScreen::button(const char* name) const
{
    return controls().get<QPushButton>(QLatin1String(name));
}

void InvoiceScreen::fillRow(int row, Category category, bool unitPriceAsMoney)
{
    const CartLine& line = shop_.cart.line(category);
    const auto r = static_cast<std::size_t>(row);
    txtQty[r]->setText(QString::number(line.Qty.value()));
    txtAC[r]->setText(categoryText(category));
    txtBrand[r]->setText(line.Brand);
    txtType[r]->setText(line.Type);
    txtSize[r]->setText(line.Size);
    txtUnitPrice[r]->setText(unitPriceAsMoney ? formatMoney(line.UnitPrice.value())
                                              : QString::number(line.UnitPrice.value()));
    // The row's cost is worked out afresh from its unit price and quantity,
    // wider than the shop's 16-bit numbers.
    txtCost[r]->setText(QString::number(qint64{line.UnitPrice.value()} * line.Qty.value()));
    for (const Column* column : {&txtQty, &txtAC, &txtBrand, &txtType, &txtSize, &txtUnitPrice, &txtCost})
        (*column)[r]->setCursorPosition(0);
}

void InvoiceScreen::Form_Load()
{
    shop_.cart.TotalCost = shop_.cart.sumOfCosts();
    txtTotal()->setText(formatMoney(shop_.cart.TotalCost));

    const bool adult = shop_.cart.GotAdult;
    const bool child = shop_.cart.GotChild;
    QPushButton* seeOther = button("cmdSeeOther");
    if (adult && !child) {
        fillRow(0, Category::Adult, false);
        seeOther->setText(invoice::SeeChildren);
        seeOther->setEnabled(true);
    } else if (adult && child) {
        fillRow(0, Category::Adult, false);
        fillRow(1, Category::Child, false);
        seeOther->setText(QString());
        seeOther->setEnabled(false);
    } else if (child) {
        fillRow(0, Category::Child, true);
        seeOther->setText(invoice::SeeAdult);
        seeOther->setEnabled(true);
    }
    // Neither line present: only the total is filled.
}

void InvoiceScreen::refill()
{
    restoreOpeningState();
    Form_Load();
}

void InvoiceScreen::cmdAccept_Click()
{
    controls().get<QLabel>(QStringLiteral("lblThanks"))->setText(invoice::Thanks);
    QPushButton* accept = button("cmdAccept");
    accept->setText(QString());
    accept->setEnabled(false);
    QPushButton* seeOther = button("cmdSeeOther");
    seeOther->setEnabled(false);
    seeOther->setText(QString());
    QPushButton* clear = button("cmdClear");
    QFont bold = clear->font();
    bold.setBold(true);
    clear->setFont(bold);
}

void InvoiceScreen::cmdClear_Click()
{
    shop_.app.end(0);
}

void InvoiceScreen::cmdSeeOther_Click()
{
    const QString caption = button("cmdSeeOther")->text();
    if (caption == invoice::SeeChildren)
        shop_.frmChild.show();
    else if (caption == invoice::SeeAdult)
        shop_.frmAdult.show();
    shop_.frmInvoice.unload();
}

} // namespace plimbo
