#pragma once
// The catalogue store: the shop's price list as read at start, one section per
// category, each knowing up to five brands with up to five priced types.
//
// A brand's prices and type names are filed under its place in the fixed list
// of known brands; the brand names themselves are kept in price-file order.

#include "int16.h"
#include "slots.h"

#include <QString>
#include <optional>

namespace plimbo {

enum class Category { Adult, Child };

// "Adult" or "Child", the texts that head price-file records and mark invoice rows.
QString categoryText(Category c);
// The category a record's text names, compared exactly as the shop does
// ("adult" and " Adult" name none).
std::optional<Category> categoryOf(const QString& text);
// How the owner's screens and messages name a category: "Adult", "Children's".
QString categoryName(Category c);

inline constexpr int KnownBrandCount = 5;
inline constexpr int SlotCount = 6;   // slots 0..5; the price file fills 0..4
inline constexpr int PairCount = 5;   // type/price pairs in a record
inline constexpr int RecordsPerCategory = 5;  // the first five records of a category count

// The five brand texts the shop knows, each exactly 8 characters.
const SlotTable<QString, KnownBrandCount>& KnownBrand();

// The known-brand position (0..4) of a text, compared exactly; none otherwise.
std::optional<int> knownBrandPosition(const QString& text);
// The known brands as people write them: "Addidas, Reebok, Nike, Etonic and Converse".
QString knownBrandsInWords();

using TextSlots = SlotTable<QString, SlotCount>;
using PriceSlots = SlotTable<Int16, SlotCount>;

struct CategorySection {
    TextSlots Brand;                                   // AdultBrand / ChildBrand
    TextSlots Type;                                    // AdultType / ChildType
    SlotTable<PriceSlots, KnownBrandCount> BrandPrice; // AdultBrandPrice / ChildBrandPrice
    SlotTable<TextSlots, KnownBrandCount> BrandType;   // AdultBrandType / ChildBrandType
    Int16 Count;                                       // AdultCount / ChildCount
};

// One record of the price file: a category, a brand and five type/price pairs.
struct PriceRecord {
    QString category;
    QString brand;
    SlotTable<QString, SlotCount> type;
    SlotTable<Int16, SlotCount> price;
};

// What the store did with one record.
enum class RecordFate {
    AcceptedAdult,
    AcceptedChild,
    SkippedCategory,  // the category is neither "Adult" nor "Child"
    SkippedSurplus,   // the category already has five records
};

struct Catalogue {
    CategorySection Adult;
    CategorySection Child;

    CategorySection& section(Category c) { return c == Category::Adult ? Adult : Child; }
    const CategorySection& section(Category c) const { return c == Category::Adult ? Adult : Child; }

    // Files one record read from the price file, following the shop's rules:
    // the first five records of each category count, later ones and unknown
    // categories are passed over; a known brand's non-zero prices are packed
    // to the front of its tables.
    RecordFate accept(const PriceRecord& record);
};

} // namespace plimbo
