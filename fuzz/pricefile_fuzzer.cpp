// Feeds any bytes to the real price-list reader and catalogue store. Every
// input must end in a filled catalogue or the reader's clear error: any other
// exception, a crash, a hang or a sanitizer report is a finding. The same
// bytes go through the price-list editor's load and save: saved unchanged,
// a list gives back its bytes (a refused one, the bytes before its fault),
// and every record written afresh in the shop's form reads back the same.

#include "catalogue/errors.h"
#include "catalogue/pricefile.h"
#include "prices/pricelist.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

namespace {

void require(bool holds)
{
    if (!holds)
        std::abort();
}

void checkSection(const plimbo::CategorySection& s)
{
    const int count = s.Count.value();
    require(count >= 0 && count <= 5);
    for (int slot = count; slot < plimbo::SlotCount; ++slot)
        require(s.Brand[slot].isEmpty());
    require(s.Type[5].isEmpty());
    for (int b = 0; b < plimbo::KnownBrandCount; ++b) {
        require(s.BrandPrice[b][5] == 0);
        require(s.BrandType[b][5].isEmpty());
    }
}

void checkEditorRoundTrip(const QByteArray& bytes)
{
    plimbo::prices::PriceList list = plimbo::prices::PriceList::fromBytes(bytes, QStringLiteral("/fuzz/PlimboPrice.txt"));
    const QByteArray saved = list.bytes();
    if (list.refusal)
        require(bytes.startsWith(saved) && saved.size() + list.refusal->restBytes == bytes.size());
    else
        require(saved == bytes);
    // Every record changed: each is written in the shop's form.
    const QList<plimbo::PriceRecord> before = list.records();
    for (auto& e : list.entries)
        e.raw.clear();
    const plimbo::prices::PriceList again = plimbo::prices::PriceList::fromBytes(list.bytes(), QString());
    require(!again.refusal && again.entries.size() == list.entries.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        require(plimbo::prices::shopForm(again.records()[i]) == plimbo::prices::shopForm(before[i]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkEditorRoundTrip(bytes);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    plimbo::Catalogue catalogue;
    try {
        plimbo::loadPriceFile(buffer, QStringLiteral("/fuzz/PlimboPrice.txt"), catalogue);
    } catch (const plimbo::PriceFileError& e) {
        // A refusal must say where and what.
        require(e.message().contains(QLatin1String("A:PlimboPrice.txt")));
        require(e.message().contains(QLatin1String("/fuzz/PlimboPrice.txt")));
        return 0;
    }
    checkSection(catalogue.Adult);
    checkSection(catalogue.Child);
    return 0;
}
