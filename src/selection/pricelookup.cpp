#include "pricelookup.h"

#include <algorithm>

namespace plimbo {

int readQuantity(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0;
    // Only digits make a whole number, however many there are; only then
    // does its size matter.
    if (!std::all_of(t.begin(), t.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return 0;
    qint64 value = 0;
    for (QChar c : t) {
        value = value * 10 + (c.unicode() - '0');
        if (value > Int16::Max)
            return -1;
    }
    return value >= 1 ? static_cast<int>(value) : 0;
}

PriceResult findPrice(const CategorySection& section, const SizeTable& sizeText, const PriceChoice& choice)
{
    PriceResult result;
    if (choice.brandRow < 0) {
        result.message = messages::SelectBrand;
        return result;
    }

    // The type the customer sees in the chosen row belongs to the brand the
    // brand row names; an empty row (a brand offering fewer types) is no type.
    const auto brand = knownBrandPosition(choice.brandText);
    const QString typeName =
        (brand && choice.typeRow >= 0) ? section.BrandType[*brand][choice.typeRow] : QString();
    if (choice.typeRow < 0 || typeName.isEmpty()) {
        result.message = messages::SelectType;
        return result;
    }
    if (choice.sizeRow < 0) {
        result.message = messages::SelectSize;
        return result;
    }
    result.selectionMissing = false;

    const int quantity = readQuantity(choice.quantityText);
    if (quantity == 0) {
        result.message = messages::BadQuantity;
        return result;
    }
    const Int16 unitPrice = section.BrandPrice[*brand][choice.typeRow];
    const qint64 cost = qint64{quantity} * unitPrice.value();
    if (quantity < 0 || !Int16::fits(cost)) {
        result.message = messages::QuantityTooLarge;
        return result;
    }

    result.priced = true;
    result.line.LineUnitPrice = unitPrice;
    result.line.LineCost = cost;
    result.line.LineType = typeName;
    result.line.LineQuantity = quantity;
    result.line.LineSize = sizeText[choice.sizeRow];
    result.line.LineBrand = section.Brand[choice.brandRow];
    return result;
}

} // namespace plimbo
