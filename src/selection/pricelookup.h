#pragma once
// Find Price, without widgets: checks the customer's choice on a selection
// screen and prices it from the catalogue.

#include "../cart/pendingline.h"
#include "../catalogue/catalogue.h"

#include <QString>

namespace plimbo {

inline constexpr int SizeSlots = 15;   // slots 0..14; the size list shows 0..13
inline constexpr int SizeRows = 14;
using SizeTable = SlotTable<QString, SizeSlots>;

namespace messages {
inline const QString SelectBrand = QStringLiteral("You must select a Brand");
inline const QString SelectType = QStringLiteral("You must select a Type");
inline const QString SelectSize = QStringLiteral("You must select a Size");
inline const QString BadQuantity = QStringLiteral("The quantity must be a whole number of pairs, 1 or more.");
inline const QString QuantityTooLarge =
    QStringLiteral("That quantity is too large to price. Please choose fewer pairs.");
} // namespace messages

// What the screen holds when Find Price is pressed. Rows are -1 when nothing
// is selected.
struct PriceChoice {
    int brandRow = -1;
    QString brandText;     // the text of the selected brand row
    int typeRow = -1;
    int sizeRow = -1;
    QString quantityText;
};

struct PriceResult {
    bool priced = false;
    bool selectionMissing = true;  // a brand, type or size is still to be chosen
    QString message;       // why it could not be priced; empty when priced
    PendingLine line;      // the priced line, when priced
};

// Reads a quantity as the customer typed it: blanks around it are ignored and
// it must be a whole number of at least 1. Returns the number, 0 when it is
// not such a number, or -1 when it is too large for the shop's numbers.
int readQuantity(const QString& text);

// Prices the choice from one category's section of the catalogue. The unit
// price and type name come from the brand that the chosen row shows.
PriceResult findPrice(const CategorySection& section, const SizeTable& sizeText, const PriceChoice& choice);

} // namespace plimbo
