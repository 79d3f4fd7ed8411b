#include "typewidth.h"

#include "cart/invoicescreen.h"
#include "selection/categories.h"
#include "ui/fonts.h"
#include "ui/listbox.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>

namespace plimbo::prices {

namespace {

// The control of that name in a screen's table; none when the table has no
// such control (renamed or gone).
const ui::ControlSpec* find(const std::vector<ui::ControlSpec>& table, const QString& name)
{
    const auto at = std::find_if(table.begin(), table.end(), [&](const ui::ControlSpec& s) { return s.name == name; });
    return at == table.end() ? nullptr : &*at;
}

// A control that names no font has the screens' own: 8.25-point MS Sans Serif.
QFont fontOf(const ui::ControlSpec& control)
{
    return ui::fontFor(control.font.family ? control.font : ui::MsSansSerif(8.25), QFont());
}

const std::vector<ui::ControlSpec>& invoiceControls()
{
    static const std::vector<ui::ControlSpec> table = invoice::controlTable();
    return table;
}

} // namespace

TypeWidths::TypeWidths()
{
    // The customers' type lists and the invoice's first type cell (the
    // cart's rows are the first two, in their bold font).
    const SelectionDescription* screens[2] = {&selectionDescription(Category::Adult), &selectionDescription(Category::Child)};
    const ui::ControlSpec* lists[2] = {find(screens[0]->controls, screens[0]->typeList),
                                       find(screens[1]->controls, screens[1]->typeList)};
    const ui::ControlSpec* invoiceCell = find(invoiceControls(), QStringLiteral("txtType(0)"));
    if (!lists[0])
        missing_ << screens[0]->typeList;
    if (!lists[1])
        missing_ << screens[1]->typeList;
    if (!invoiceCell)
        missing_ << QStringLiteral("txtType(0)");
    if (!missing_.isEmpty())
        return;  // nothing is measured, and nothing said too wide

    // Measured in the fonts the shop's screens show, or their look-alikes.
    ui::registerLookAlikes();
    listFont_ = fontOf(*lists[0]);
    invoiceFont_ = fontOf(*invoiceCell);
    listMetrics_ = QFontMetrics(listFont_);
    invoiceMetrics_ = QFontMetrics(invoiceFont_);
    QStyle* style = QApplication::style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    // A list row's text sits inside the focus frame's margin on each side.
    const int rowMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
    // A brand's five types: when they do not all fit the list's height, its
    // scroll bar takes a strip of the width.
    ui::ListBox probe;
    probe.setFont(listFont_);
    probe.addItems({QStringLiteral("Running"), QString(), QString(), QString(), QString()});
    const int rows = PairCount * probe.sizeHintForRow(0);
    const int bar = style->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int k = 0; k < 2; ++k) {
        const QRect list = lists[k]->rect.pixels();
        const bool scrolls = rows > list.height() - 2 * frame;
        listRoom_[k] = list.width() - 2 * frame - 2 * rowMargin - (scrolls ? bar : 0);
    }
    // A line edit keeps two pixels beside its text, inside its frame.
    invoiceRoom_ = invoiceCell->rect.pixels().width() - 2 * frame - 2 * 2;
}

std::optional<QString> TypeWidths::warning(Category c, const QString& type) const
{
    if (!missing_.isEmpty())
        return std::nullopt;
    auto& said = said_[c == Category::Adult ? 0 : 1];
    if (const auto known = said.constFind(type); known != said.constEnd())
        return *known;
    if (said.size() > 10000)
        said.clear();
    QStringList seen;
    const QFontMetrics& listFont = listMetrics_;
    const QFontMetrics& invoiceFont = invoiceMetrics_;
    const int room = listRoom(c);
    if (listFont.horizontalAdvance(type) > room)
        seen << QStringLiteral("the type list shows \"%1\"").arg(listFont.elidedText(type, Qt::ElideRight, room));
    if (invoiceFont.horizontalAdvance(type) > invoiceRoom_) {
        QString shown = type;
        while (!shown.isEmpty() && invoiceFont.horizontalAdvance(shown) > invoiceRoom_)
            shown.chop(1);
        seen << QStringLiteral("the invoice shows \"%1\"").arg(shown);
    }
    std::optional<QString> warning;
    if (!seen.isEmpty())
        warning = QStringLiteral("\"%1\" is too wide for customers' screens: %2.").arg(type, seen.join(QStringLiteral(" and ")));
    said.insert(type, warning);
    return warning;
}

} // namespace plimbo::prices
