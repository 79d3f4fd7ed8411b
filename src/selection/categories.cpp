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
    QString caption;
    ui::FontSpec font;
    Align align;
    QString accessibleName;
    Place adult;
    Place child;
};

const QString Title = QStringLiteral("*");  // replaced by the category's title

const std::vector<Row>& sharedTable()
{
    // name, kind, caption, font, align, accessible name,
    //   adult {left, top, width, height} tab,  child {left, top, width, height} tab
    static const std::vector<Row> rows{
        {"lblTitle", Kind::Label, Title, ComicSans(12), Align::Left, {},
         {{3240, 240, 1935, 495}, 1}, {{2760, 120, 2535, 375}, 13}},
        {"lblBrand", Kind::Label, QStringLiteral("Brand"), ComicSans(9.75), Align::Left, {},
         {{480, 1080, 615, 255}, 3}, {{120, 1200, 615, 255}, 12}},
        {"lblType", Kind::Label, QStringLiteral("Type"), ComicSans(9.75), Align::Left, {},
         {{2040, 1080, 855, 375}, 10}, {{1680, 1200, 855, 375}, 9}},
        {"lblSize", Kind::Label, QStringLiteral("Size"), ComicSans(9.75), Align::Left, {},
         {{3240, 1080, 615, 375}, 4}, {{2880, 1200, 615, 375}, 11}},
        {"lblQuantity", Kind::Label, QStringLiteral("Quantity"), ComicSans(9.75), Align::Left, {},
         {{4320, 1080, 975, 375}, 12}, {{3960, 1200, 975, 375}, 8}},
        {"lblPrice", Kind::Label, QStringLiteral("Price"), ComicSans(9.75), Align::Left, {},
         {{7320, 1080, 615, 375}, 5}, {{6960, 1200, 615, 375}, 10}},
        {"lst*Brand", Kind::List, {}, {}, Align::Left, QStringLiteral("Brand"),
         {{360, 1440, 855, 1035}, 0}, {{0, 1560, 855, 1035}, 7}},
        {"lst*Type", Kind::List, {}, {}, Align::Left, QStringLiteral("Type"),
         {{1560, 1440, 1335, 1035}, 9}, {{1200, 1560, 1335, 1035}, 3}},
        {"lst*Size", Kind::List, {}, {}, Align::Left, QStringLiteral("Size"),
         {{3120, 1440, 855, 1620}, 8}, {{2760, 1560, 855, 1620}, 4}},
        {"txtQuantity", Kind::TextBox, QStringLiteral("1"), ComicSans(12), Align::Centre, QStringLiteral("Quantity"),
         {{4320, 1440, 615, 495}, 11}, {{3960, 1560, 375, 495}, 2}},
        {"UpDown1", Kind::Spin, {}, {}, Align::Left, QStringLiteral("Quantity up or down"),
         {{4936, 1440, 240, 495}, 14}, {{4336, 1560, 240, 495}, 14}},
        {"cmdFindPrice", Kind::Button, QStringLiteral("Find Price"), {}, Align::Left, {},
         {{5760, 1440, 1095, 615}, 7}, {{5280, 1560, 1095, 615}, 5}},
        {"txtPrice", Kind::TextBox, {}, ui::MsSansSerif(12), Align::Centre, QStringLiteral("Price"),
         {{7080, 1440, 1335, 495}, 6}, {{6720, 1560, 1335, 495}, 6}},
        {"cmdReset", Kind::Button, QStringLiteral("Reset"), {}, Align::Left, {},
         {{4320, 3000, 2775, 375}, 15}, {{3960, 3120, 2775, 375}, 0}},
        {"cmdCart", Kind::Button, AddToCartCaption, {}, Align::Left, {},
         {{4320, 3600, 2775, 375}, 13}, {{3960, 3720, 2775, 375}, 1}},
        {"txt*Directions", Kind::TextArea, Directions, ComicSans(9.75), Align::Left, QStringLiteral("Directions"),
         {{0, 4560, 8415, 735}, 2}, {{0, 4800, 8535, 735}, 15}},
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
        ui::ControlSpec entry{nameFor(row.name, d.category), row.kind, row.caption == Title ? d.title : row.caption,
                             place.rect, row.font, place.tab, row.align};
        entry.accessibleName = row.accessibleName;
        out.push_back(entry);
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
            {Category::Adult, QStringLiteral("frmAdult"), QStringLiteral("Adult Plimbo Selection"),
             QStringLiteral("Adult Plimbos"), {1950, 1770, 8460, 5280}, QStringLiteral("lstAdultBrand"),
             QStringLiteral("lstAdultType"), QStringLiteral("lstAdultSize"),
             {"7", "7 1/2", "8", "8 1/2", "9", "9 1/2", "10", "10 1/2", "11", "11 1/2", "12", "12 1/2", "13",
              "13 1/2"},
             false, false, ResetTypes::CategoryTypesGreyed, {}},
            // The children's sizes are exactly as the shop labels them: two
            // blanks before the halves up to 5 1/2, and "5" with a trailing blank.
            {Category::Child, QStringLiteral("frmChild"), QStringLiteral("Children's Plimbo Selection"),
             QStringLiteral("Children's Plimbos"), {1920, 1590, 8520, 5535}, QStringLiteral("lstChildBrand"),
             QStringLiteral("lstChildType"), QStringLiteral("lstChildSize"),
             {"1", "1  1/2", "2", "2  1/2", "3", "3  1/2", "4", "4  1/2", "5 ", "5  1/2", "6", "6 1/2", "7",
              "7 1/2"},
             true, true, ResetTypes::Empty, {}},
        }};
        for (SelectionDescription& screen : d)
            screen.controls = controlsFor(screen);
        return d;
    }();
    return screens[c == Category::Adult ? 0 : 1];
}

} // namespace plimbo
