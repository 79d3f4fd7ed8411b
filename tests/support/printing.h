#pragma once
// Lets Qt Test print the shop's numbers when a comparison fails.

#include "catalogue/int16.h"

#include <QTest>

namespace plimbo {
inline char* toString(const Int16& v)
{
    return QTest::toString(static_cast<int>(v.value()));
}
} // namespace plimbo
