#pragma once
// Money as the shop shows it: whole currency units in the pattern
// "$##,###.00" — a dollar sign, the digits grouped by commas (none at all for
// 0), a point and two zeros; a minus sign in front for negative amounts.
//   65 -> "$65.00", 1300 -> "$1,300.00", 0 -> "$.00", -5 -> "-$5.00"

#include <QString>
#include <cstdint>

namespace plimbo {

QString formatMoney(std::int64_t amount);

} // namespace plimbo
