#pragma once
// A selection screen's priced choice, set by Find Price and copied into the
// cart by Add To Shopping Cart.

#include "../catalogue/int16.h"

#include <QString>

namespace plimbo {

struct PendingLine {
    Int16 LineCost;
    QString LineBrand;
    QString LineType;
    QString LineSize;
    Int16 LineQuantity;
    Int16 LineUnitPrice;   // the unit price LineCost was worked out from
};

} // namespace plimbo
