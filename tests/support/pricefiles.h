#pragma once
// Price lists for tests, written the way the shop writes them.

#include "cart/cart.h"
#include "catalogue/catalogue.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <initializer_list>
#include <utility>

namespace test {

using Pair = std::pair<const char*, int>;

// One record in the canonical form, ending in CR LF.
QByteArray record(const char* category, const char* brand, std::initializer_list<Pair> pairs);

// Five adult records in known-brand order, then five children's records.
QByteArray canonicalFile();

// Writes `bytes` as PlimboPrice.txt in `dir` and returns its path.
QString writePriceFile(const QTemporaryDir& dir, const QByteArray& bytes);

// Reads a price list from memory into a new catalogue; the file is named
// "/shop/PlimboPrice.txt" in error messages.
plimbo::Catalogue readCatalogue(const QByteArray& bytes);

// A priced line as Find Price leaves it: cost = quantity x unit price unless given.
plimbo::PendingLine pendingLine(const char* brand, const char* type, const char* size, int qty, int unit,
                                int cost = -1);

} // namespace test
