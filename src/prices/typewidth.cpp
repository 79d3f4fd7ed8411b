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

const ui::ControlSpec& find(const std::vector<ui::ControlSpec>& table, const QString& name)
{
    return *std::find_if(table.begin(), table.end(), [&](const ui::ControlSpec& s) { return s.name == name; });
}

// A control that names no font has the screens' own: 8.25-point MS Sans Serif.
QFont fontOf(const ui::ControlSpec& control)
{
    return ui::fontFor(control.font.family ? control.font : ui::MsSansSerif(8.25), QFont());
}

const ui::ControlSpec& invoiceTypeCell()
{
    // The cart's rows are the first two, in their bold font.
    static const std::vector<ui::ControlSpec> table = invoice::controlTable();
    return find(table, QStringLiteral("txtType(0)"));
}

} // namespace

TypeWidths::TypeWidths()
{
    // Measured in the fonts the shop's screens show, or their look-alikes.
    ui::registerLookAlikes();
    listFont_ = fontOf(find(selectionDescription(Category::Adult).controls, QStringLiteral("lstAdultType")));
    invoiceFont_ = fontOf(invoiceTypeCell());
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
    const int rows = 5 * probe.sizeHintForRow(0);
    const int bar = style->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (const Category c : {Category::Adult, Category::Child}) {
        const SelectionDescription& d = selectionDescription(c);
        const QRect list = find(d.controls, d.typeList).rect.pixels();
        const bool scrolls = rows > list.height() - 2 * frame;
        listRoom_[c == Category::Adult ? 0 : 1] = list.width() - 2 * frame - 2 * rowMargin - (scrolls ? bar : 0);
    }
    // A line edit keeps two pixels beside its text, inside its frame.
    invoiceRoom_ = invoiceTypeCell().rect.pixels().width() - 2 * frame - 2 * 2;
}

std::optional<QString> TypeWidths::warning(Category c, const QString& type) const
{
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
