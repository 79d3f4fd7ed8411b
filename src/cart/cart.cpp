#include "cart.h"

namespace plimbo {

void Cart::ResetCart()
{
    const bool hadLines = GotAdult || GotChild;
    GotChild = false;
    GotAdult = false;
    AdultLine.Cost = 0;
    ChildLine.Cost = 0;
    AdultLine.UnitPrice = 0;
    ChildLine.UnitPrice = 0;
    if (hadLines)
        emit changed();
}

void Cart::SetUnitPrice(Category c, Int16 price)
{
    line(c).UnitPrice = price;
}

void Cart::AddLine(Category c, const PendingLine& pending)
{
    CartLine& l = line(c);
    l.Brand = pending.LineBrand;
    l.Type = pending.LineType;
    l.Size = pending.LineSize;
    l.Qty = pending.LineQuantity;
    l.Cost = pending.LineCost;
    // The unit price goes with the rest of the line, so that unit price,
    // quantity and cost always describe the same shoe.
    SetUnitPrice(c, pending.LineUnitPrice);
    flag(c) = true;
    emit changed();
}

void Cart::WithdrawLine(Category c)
{
    const bool wasThere = present(c);
    flag(c) = false;
    line(c).Cost = 0;
    if (wasThere)
        emit changed();
}

std::int32_t Cart::sumOfCosts() const
{
    return std::int32_t{ChildLine.Cost.value()} + AdultLine.Cost.value();
}

} // namespace plimbo
