#pragma once
// What the shop will make of the list open in the editor, in the owner's
// words: the records it passes over, whole, and the things to look at, each
// with the cell it is about; and the verdict above the tables. No widgets.

#include "editordocument.h"

#include <functional>

namespace plimbo::prices {

// One line of the window's lists, and the cell it leads to.
struct FindingLine {
    QString text;
    std::size_t record;
    int field;  // 0..11, as fieldName() names them
};

struct ListFindings {
    std::vector<FindingLine> skipped;   // the records the shop passes over
    std::vector<FindingLine> warnings;  // things to look at, by table row and column
    QString verdict;
};

// What customers see of a type name too wide for their screens; none when it fits.
using WidthWarning = std::function<std::optional<QString>(Category, const QString&)>;

ListFindings describeList(const EditorDocument& document, const WidthWarning& tooWide);

} // namespace plimbo::prices
