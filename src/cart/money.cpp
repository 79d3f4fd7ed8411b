#include "money.h"

namespace plimbo {

QString formatMoney(std::int64_t amount)
{
    const bool negative = amount < 0;
    // Work in unsigned so that the most negative value has a magnitude too.
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(amount) : static_cast<std::uint64_t>(amount);

    QString digits;
    int inGroup = 0;
    while (magnitude > 0) {
        if (inGroup == 3) {
            digits.prepend(QLatin1Char(','));
            inGroup = 0;
        }
        digits.prepend(QLatin1Char(static_cast<char>('0' + magnitude % 10)));
        magnitude /= 10;
        ++inGroup;
    }
    return (negative ? QStringLiteral("-$") : QStringLiteral("$")) + digits + QStringLiteral(".00");
}

} // namespace plimbo
