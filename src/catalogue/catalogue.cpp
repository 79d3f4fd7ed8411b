#include "catalogue.h"

#include <QStringList>

namespace plimbo {

QString categoryText(Category c)
{
    return c == Category::Adult ? QStringLiteral("Adult") : QStringLiteral("Child");
}

std::optional<Category> categoryOf(const QString& text)
{
    for (const Category c : {Category::Adult, Category::Child})
        if (text == categoryText(c))
            return c;
    return std::nullopt;
}

QString categoryName(Category c)
{
    return c == Category::Adult ? QStringLiteral("Adult") : QStringLiteral("Children's");
}

const SlotTable<QString, KnownBrandCount>& KnownBrand()
{
    static const SlotTable<QString, KnownBrandCount> brands = [] {
        SlotTable<QString, KnownBrandCount> t;
        t[0] = QStringLiteral("Addidas ");
        t[1] = QStringLiteral("Reebok  ");
        t[2] = QStringLiteral("Nike    ");
        t[3] = QStringLiteral("Etonic  ");
        t[4] = QStringLiteral("Converse");
        return t;
    }();
    return brands;
}

std::optional<int> knownBrandPosition(const QString& text)
{
    for (int b = 0; b < KnownBrandCount; ++b) {
        if (KnownBrand()[b] == text)
            return b;
    }
    return std::nullopt;
}

QString knownBrandsInWords()
{
    QStringList names;
    for (const QString& b : KnownBrand())
        names << b.trimmed();
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

namespace {

// Moves the record's non-zero prices, with their type names, to the front of
// the brand's tables. Slots past the packed ones keep what they held.
void pack(CategorySection& section, int brand, const PriceRecord& record)
{
    Int16 k = 0;
    for (int j = 0; j < PairCount; ++j) {
        if (record.price[j] != 0) {
            section.BrandPrice[brand][k.value()] = record.price[j];
            section.BrandType[brand][k.value()] = record.type[j];
            k += 1;
        }
    }
}

void copyTypes(TextSlots& into, const PriceRecord& record)
{
    for (int j = 0; j < PairCount; ++j)
        into[j] = record.type[j];
}

} // namespace

RecordFate Catalogue::accept(const PriceRecord& record)
{
    const std::optional<Category> category = categoryOf(record.category);
    if (!category)
        return RecordFate::SkippedCategory;

    CategorySection& s = section(*category);
    if (s.Count >= RecordsPerCategory)
        return RecordFate::SkippedSurplus;

    s.Brand[s.Count.value()] = record.brand;
    // The category's type-name list is that of its last accepted record.
    copyTypes(s.Type, record);
    if (auto b = knownBrandPosition(record.brand))
        pack(s, *b, record);
    s.Count += 1;
    return *category == Category::Adult ? RecordFate::AcceptedAdult : RecordFate::AcceptedChild;
}

} // namespace plimbo
