#include "categories.h"

namespace plimbo {

const QString Directions = QStringLiteral(
    "Please select a Brand name, Type, and Size from the boxes above, and click on Find Price.  \r\n"
    "Thank you for your patronage!\r\n");
const QString AddToCartCaption = QStringLiteral(" Add To Shopping Cart");

namespace {

using ui::Align;
using ui::ComicSans;
using ui::Kind;
using ui::TwipsRect;

struct Place {
    TwipsRect rect;
    int tab;
};

// One control of both screens: "*" in the name stands for "Adult" or "Child".
struct Row {
    const char* name;
    Kind kind;
    QString caption = {};
    ui::FontSpec font = {};
    Align align = Align::Left;
    QString accessibleName = {};
    Place adult;
    Place child;
};

const QString Title = QStringLiteral("*");  // replaced by the category's title

const std::vector<Row>& sharedTable()
{
    // adult, child: where the control sits on that screen, {left, top, width, height} in twips, and its tab index.
    static const std::vector<Row> rows{
        {.name = "lblTitle", .kind = Kind::Label, .caption = Title, .font = ComicSans(12),
         .adult = {{3240, 240, 1935, 495}, 1}, .child = {{2760, 120, 2535, 375}, 13}},
        {.name = "lblBrand", .kind = Kind::Label, .caption = QStringLiteral("Brand"), .font = ComicSans(9.75),
         .adult = {{480, 1080, 615, 255}, 3}, .child = {{120, 1200, 615, 255}, 12}},
        {.name = "lblType", .kind = Kind::Label, .caption = QStringLiteral("Type"), .font = ComicSans(9.75),
         .adult = {{2040, 1080, 855, 375}, 10}, .child = {{1680, 1200, 855, 375}, 9}},
        {.name = "lblSize", .kind = Kind::Label, .caption = QStringLiteral("Size"), .font = ComicSans(9.75),
         .adult = {{3240, 1080, 615, 375}, 4}, .child = {{2880, 1200, 615, 375}, 11}},
        {.name = "lblQuantity", .kind = Kind::Label, .caption = QStringLiteral("Quantity"), .font = ComicSans(9.75),
         .adult = {{4320, 1080, 975, 375}, 12}, .child = {{3960, 1200, 975, 375}, 8}},
        {.name = "lblPrice", .kind = Kind::Label, .caption = QStringLiteral("Price"), .font = ComicSans(9.75),
         .adult = {{7320, 1080, 615, 375}, 5}, .child = {{6960, 1200, 615, 375}, 10}},
        {.name = "lst*Brand", .kind = Kind::List, .accessibleName = QStringLiteral("Brand"),
         .adult = {{360, 1440, 855, 1035}, 0}, .child = {{0, 1560, 855, 1035}, 7}},
        {.name = "lst*Type", .kind = Kind::List, .accessibleName = QStringLiteral("Type"),
         .adult = {{1560, 1440, 1335, 1035}, 9}, .child = {{1200, 1560, 1335, 1035}, 3}},
        {.name = "lst*Size", .kind = Kind::List, .accessibleName = QStringLiteral("Size"),
         .adult = {{3120, 1440, 855, 1620}, 8}, .child = {{2760, 1560, 855, 1620}, 4}},
        {.name = "txtQuantity", .kind = Kind::TextBox, .caption = QStringLiteral("1"), .font = ComicSans(12),
         .align = Align::Centre, .accessibleName = QStringLiteral("Quantity"),
         .adult = {{4320, 1440, 615, 495}, 11}, .child = {{3960, 1560, 375, 495}, 2}},
        {.name = "UpDown1", .kind = Kind::Spin, .accessibleName = QStringLiteral("Quantity up or down"),
         .adult = {{4936, 1440, 240, 495}, 14}, .child = {{4336, 1560, 240, 495}, 14}},
        {.name = "cmdFindPrice", .kind = Kind::Button, .caption = QStringLiteral("Find Price"),
         .adult = {{5760, 1440, 1095, 615}, 7}, .child = {{5280, 1560, 1095, 615}, 5}},
        {.name = "txtPrice", .kind = Kind::TextBox, .font = ui::MsSansSerif(12), .align = Align::Centre,
         .accessibleName = QStringLiteral("Price"),
         .adult = {{7080, 1440, 1335, 495}, 6}, .child = {{6720, 1560, 1335, 495}, 6}},
        {.name = "cmdReset", .kind = Kind::Button, .caption = QStringLiteral("Reset"),
         .adult = {{4320, 3000, 2775, 375}, 15}, .child = {{3960, 3120, 2775, 375}, 0}},
        {.name = "cmdCart", .kind = Kind::Button, .caption = AddToCartCaption,
         .adult = {{4320, 3600, 2775, 375}, 13}, .child = {{3960, 3720, 2775, 375}, 1}},
        {.name = "txt*Directions", .kind = Kind::TextArea, .caption = Directions, .font = ComicSans(9.75),
         .accessibleName = QStringLiteral("Directions"),
         .adult = {{0, 4560, 8415, 735}, 2}, .child = {{0, 4800, 8535, 735}, 15}},
    };
    return rows;
}

QString nameFor(const char* pattern, Category c)
{
    return QString::fromLatin1(pattern).replace(QLatin1Char('*'), categoryText(c));
}

std::vector<ui::ControlSpec> controlsFor(const SelectionDescription& d)
{
    std::vector<ui::ControlSpec> out;
    for (const Row& row : sharedTable()) {
        const Place& place = d.category == Category::Adult ? row.adult : row.child;
        out.push_back({.name = nameFor(row.name, d.category),
                       .kind = row.kind,
                       .caption = row.caption == Title ? d.title : row.caption,
                       .rect = place.rect,
                       .font = row.font,
                       .tab = place.tab,
                       .align = row.align,
                       .accessibleName = row.accessibleName});
    }
    auto find = [&out](const QString& name) -> ui::ControlSpec& {
        return *std::find_if(out.begin(), out.end(), [&](const ui::ControlSpec& s) { return s.name == name; });
    };
    // Opening states.
    find(QStringLiteral("lblPrice")).visible = false;
    find(QStringLiteral("txtPrice")).visible = false;
    find(QStringLiteral("txtPrice")).enabled = d.priceBoxTakesTyping;
    find(QStringLiteral("cmdReset")).enabled = false;
    find(QStringLiteral("cmdCart")).enabled = false;
    find(QStringLiteral("UpDown1")).enabled = false;
    find(d.typeList).enabled = d.listsOpenEnabled;
    find(d.sizeList).enabled = d.listsOpenEnabled;
    return out;
}

} // namespace

const SelectionDescription& selectionDescription(Category c)
{
    using ResetTypes = SelectionDescription::ResetTypes;
    static const std::array<SelectionDescription, 2> screens = [] {
        std::array<SelectionDescription, 2> d{{
            {.category = Category::Adult,
             .formName = QStringLiteral("frmAdult"),
             .caption = QStringLiteral("Adult Plimbo Selection"),
             .title = QStringLiteral("Adult Plimbos"),
             .window = {1950, 1770, 8460, 5280},
             .brandList = QStringLiteral("lstAdultBrand"),
             .typeList = QStringLiteral("lstAdultType"),
             .sizeList = QStringLiteral("lstAdultSize"),
             .sizes = {"7", "7 1/2", "8", "8 1/2", "9", "9 1/2", "10", "10 1/2", "11", "11 1/2", "12", "12 1/2", "13",
                       "13 1/2"},
             .listsOpenEnabled = false,
             .priceBoxTakesTyping = false,
             .resetTypes = ResetTypes::CategoryTypesGreyed},
            // The children's sizes are exactly as the shop labels them: two
            // blanks before the halves up to 5 1/2, and "5" with a trailing blank.
            {.category = Category::Child,
             .formName = QStringLiteral("frmChild"),
             .caption = QStringLiteral("Children's Plimbo Selection"),
             .title = QStringLiteral("Children's Plimbos"),
             .window = {1920, 1590, 8520, 5535},
             .brandList = QStringLiteral("lstChildBrand"),
             .typeList = QStringLiteral("lstChildType"),
             .sizeList = QStringLiteral("lstChildSize"),
             .sizes = {"1", "1  1/2", "2", "2  1/2", "3", "3  1/2", "4", "4  1/2", "5 ", "5  1/2", "6", "6 1/2", "7",
                       "7 1/2"},
             .listsOpenEnabled = true,
             .priceBoxTakesTyping = true,
             .resetTypes = ResetTypes::Empty},
        }};
        for (SelectionDescription& screen : d)
            screen.controls = controlsFor(screen);
        return d;
    }();
    return screens[c == Category::Adult ? 0 : 1];
}

} // namespace plimbo
