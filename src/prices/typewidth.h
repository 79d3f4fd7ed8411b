#pragma once
// Whether customers see a type name whole: in the selection screen's type
// list and in the invoice's type column, each measured with its own font
// and width as the shop's control tables lay them out.

#include "catalogue/catalogue.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace plimbo::prices {

class TypeWidths {
public:
    TypeWidths();

    // What customers will see of a type name that does not fit, in the
    // owner's words; none when it fits both.
    std::optional<QString> warning(Category c, const QString& type) const;

    // The controls of the shop's screens that could not be found to measure
    // by (renamed or gone); while there are any, no name is said too wide.
    const QStringList& missing() const { return missing_; }

    // Room for text, in pixels at 96 dpi.
    int listRoom(Category c) const { return listRoom_[c == Category::Adult ? 0 : 1]; }
    int invoiceRoom() const { return invoiceRoom_; }

private:
    QFont listFont_;
    QFont invoiceFont_;
    QFontMetrics listMetrics_{QFont()};
    QFontMetrics invoiceMetrics_{QFont()};
    // What was said of each name, as the table asks again at every paint.
    mutable QHash<QString, std::optional<QString>> said_[2];
    int listRoom_[2] = {};
    int invoiceRoom_ = 0;
    QStringList missing_;
};

} // namespace plimbo::prices
