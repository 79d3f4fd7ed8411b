#include "invoicescreen.h"

#include "money.h"
#include "shop.h"
#include "../ui/announce.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
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
    Align align = Align::Left;
    QString initial = {};   // a cell's text before the invoice is filled
    bool enabled = false;   // only the sizes can be reached
    int cellHeight = CellHeight;
    bool saidAlone = false; // read out without its heading
};

const std::vector<Column>& columns()
{
    const QString blank = QStringLiteral(" ");
    static const std::vector<Column> table{
        {.cells = "txtQty", .heading = "lblQTY", .caption = QStringLiteral("Qty"), .headingLeft = 480,
         .headingWidth = 375, .cellLeft = 480, .cellWidth = 375, .align = Align::Centre, .initial = blank},
        {.cells = "txtAC", .heading = "lblAC", .caption = QStringLiteral("Adult/Child"), .headingLeft = 960,
         .headingWidth = 1455, .cellLeft = 1200, .cellWidth = 975, .initial = blank, .saidAlone = true},
        {.cells = "txtBrand", .heading = "lblBrand", .caption = QStringLiteral("Brand"), .headingLeft = 2760,
         .headingWidth = 1215, .cellLeft = 2520, .cellWidth = 1455, .initial = blank},
        {.cells = "txtType", .heading = "lblType", .caption = QStringLiteral("Type"), .headingLeft = 4320,
         .headingWidth = 1215, .cellLeft = 4320, .cellWidth = 1455, .cellHeight = 315},
        {.cells = "txtSize", .heading = "Label1", .caption = QStringLiteral("Size"), .headingLeft = 5760,
         .headingWidth = 855, .cellLeft = 6000, .cellWidth = 855, .align = Align::Centre, .initial = blank,
         .enabled = true},
        {.cells = "txtUnitPrice", .heading = "lblUnitPrice", .caption = QStringLiteral("Unit Price"),
         .headingLeft = 6960, .headingWidth = 1215, .cellLeft = 7080, .cellWidth = 975, .align = Align::Right},
        {.cells = "txtCost", .heading = "lblCost", .caption = QStringLiteral("Cost"), .headingLeft = 8160,
         .headingWidth = 1215, .cellLeft = 8400, .cellWidth = 975, .align = Align::Right, .initial = blank},
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

} // namespace

std::vector<ui::ControlSpec> invoice::controlTable()
{
    std::vector<ui::ControlSpec> t{
        {.name = "lblMenu01", .kind = Kind::Label, .caption = QStringLiteral("\"The Plimbo Shop\""),
         .rect = {2400, 120, 4815, 615}, .font = ComicSans(24, true, true), .align = Align::Centre,
         .background = Blue, .foreground = Red},
        {.name = "lblCustInvoice", .kind = Kind::Label, .caption = invoice::Caption, .rect = {3600, 840, 2415, 375},
         .font = MsSansSerif(13.5), .enabled = false},
    };
    for (const Column& c : columns())
        t.push_back({.name = c.heading, .kind = Kind::Label, .caption = c.caption,
                     .rect = {c.headingLeft, 1680, c.headingWidth, 255},
                     .align = c.heading == QLatin1String("lblQTY") ? Align::Left : Align::Centre});
    for (const Column& c : columns()) {
        for (int r = 0; r < invoice::Rows; ++r)
            t.push_back({.name = QStringLiteral("%1(%2)").arg(QLatin1String(c.cells)).arg(r),
                         .kind = Kind::TextBox,
                         .caption = c.initial,
                         .rect = {c.cellLeft, RowTop + RowPitch * r, c.cellWidth, c.cellHeight},
                         .font = r < 2 ? MsSansSerif(8.25, true) : ui::FontSpec{},
                         .align = c.align,
                         .enabled = c.enabled,
                         .accessibleName = QStringLiteral("%1, row %2").arg(c.caption).arg(r + 1)});
    }
    int n = 0;
    for (const Rule& rule : rules())
        t.push_back({.name = QStringLiteral("Line%1").arg(++n), .kind = Kind::Line,
                     .rect = {rule.x1, rule.y1, rule.x2 - rule.x1, rule.y2 - rule.y1}});
    const ui::ControlSpec foot[] = {
        {.name = "lblThanks", .kind = Kind::Label, .rect = {840, 5880, 4335, 855}, .font = ComicSans(24, true),
         .enabled = false},
        {.name = "lblTotal", .kind = Kind::Label, .caption = QStringLiteral("Your Total Cost"),
         .rect = {5400, 6120, 2055, 375}, .font = ComicSans(9.75), .align = Align::Centre},
        {.name = "txtTotal", .kind = Kind::TextBox, .rect = {7560, 6000, 1815, 495}, .font = MsSansSerif(12, true),
         .align = Align::Centre, .enabled = false, .accessibleName = QStringLiteral("Total")},
        {.name = "cmdSeeOther", .kind = Kind::Button, .caption = invoice::SeeChildren, .rect = {480, 7560, 2895, 615},
         .tab = 0},
        {.name = "cmdClear", .kind = Kind::Button, .caption = invoice::ClearExit, .rect = {3360, 7560, 2775, 615},
         .tab = 1},
        {.name = "cmdAccept", .kind = Kind::Button, .caption = invoice::Accept, .rect = {5880, 7560, 3615, 615},
         .tab = 2},
    };
    t.insert(t.end(), std::begin(foot), std::end(foot));
    return t;
}


InvoiceScreen::InvoiceScreen(Shop& shop) : Screen(shop.app, QStringLiteral("frmInvoice"), invoice::Caption, {9780, 8595}),
                                           shop_(shop),
                                           billNotice_(new QTimer(this))
{
    build(invoice::controlTable());
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
    // Filling the invoice tells a screen reader of every one of its cells,
    // more at once than Orca keeps while it catches up (it passes over what
    // appears meanwhile); a changed bill is told once that has settled.
    billNotice_->setSingleShot(true);
    billNotice_->setInterval(invoice::BillNoticeDelayMs);
    connect(billNotice_, &QTimer::timeout, this, [this] { ui::announce(txtTotal(), bill()); });

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

    // The bill is the window's description, which a screen reader says with
    // the window's name each time it comes to the front, whatever else it
    // is catching up with: the customer hears it on every opening.
    setAccessibleDescription(bill());
}

void InvoiceScreen::changeEvent(QEvent* event)
{
    Screen::changeEvent(event);
    // Coming to the front, the invoice is read with its bill: a changed
    // bill waiting to be told is told then, once.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        billNotice_->stop();
}

QString InvoiceScreen::bill() const
{
    QStringList said;
    for (int r = 0; r < invoice::Rows; ++r) {
        const auto row = static_cast<std::size_t>(r);
        if (txtAC[row]->text().trimmed().isEmpty())
            continue;
        QStringList cells;
        const std::array<const Column*, 7> shown{&txtQty, &txtAC, &txtBrand, &txtType, &txtSize, &txtUnitPrice, &txtCost};
        for (std::size_t c = 0; c < shown.size(); ++c) {
            const auto& heading = columns()[c];
            const QString text = (*shown[c])[row]->text().trimmed();
            cells << (heading.saidAlone ? text : heading.caption + QLatin1Char(' ') + text);
        }
        said << cells.join(QStringLiteral(", "));
    }
    said << QStringLiteral("Your Total Cost ") + txtTotal()->text();
    return said.join(QStringLiteral(". "));
}

void InvoiceScreen::refill()
{
    restoreOpeningState();
    Form_Load();
    billNotice_->start();
}

void InvoiceScreen::cmdAccept_Click()
{
    auto* thanks = controls().get<QLabel>(QStringLiteral("lblThanks"));
    thanks->setText(invoice::Thanks);
    ui::announce(thanks, invoice::Thanks);
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
