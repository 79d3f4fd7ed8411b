#pragma once
// The cart: one line for adult shoes and one for children's, each present or
// absent by its own flag. Adding a line for a category replaces what that
// line held; nothing accumulates. It lives for the whole run and is never
// saved. It says when it has really changed, so that an open invoice can
// show the order as it now stands.

#include "../catalogue/catalogue.h"
#include "../catalogue/int16.h"
#include "pendingline.h"

#include <QObject>
#include <QString>
#include <cstdint>

namespace plimbo {

struct CartLine {
    Int16 Cost;
    Int16 UnitPrice;
    QString Brand;
    QString Type;
    QString Size;
    Int16 Qty;
};

class Cart : public QObject {
    Q_OBJECT
public:
    CartLine AdultLine;
    CartLine ChildLine;
    bool GotAdult = false;
    bool GotChild = false;
    // Sum of the two lines' costs, written by the invoice when it loads. Two
    // 16-bit costs can add up past 16 bits, so it is held wider.
    std::int32_t TotalCost = 0;

    CartLine& line(Category c) { return c == Category::Adult ? AdultLine : ChildLine; }
    const CartLine& line(Category c) const { return c == Category::Adult ? AdultLine : ChildLine; }
    bool present(Category c) const { return c == Category::Adult ? GotAdult : GotChild; }

    // Empties the cart: both lines absent, their costs and unit prices 0.
    // Changes the cart when a line was there.
    void ResetCart();
    void SetUnitPrice(Category c, Int16 price);
    // Puts a priced choice into the category's line and marks it present.
    void AddLine(Category c, const PendingLine& pending);
    // Takes the category's line out of the order; it no longer counts in a
    // total. Changes the cart only when the line was there.
    void WithdrawLine(Category c);
    // The sum of both lines' costs.
    std::int32_t sumOfCosts() const;

signals:
    // A line was added, or a line that was there was taken out.
    void changed();

private:
    bool& flag(Category c) { return c == Category::Adult ? GotAdult : GotChild; }
};

} // namespace plimbo
