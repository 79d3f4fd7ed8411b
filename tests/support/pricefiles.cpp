#include "pricefiles.h"

#include "catalogue/pricefile.h"

#include <QBuffer>
#include <QFile>

namespace test {

QByteArray record(const char* category, const char* brand, std::initializer_list<Pair> pairs)
{
    QByteArray out = QByteArray("\"") + category + "\",\"" + brand + "\"";
    for (const auto& [type, price] : pairs)
        out += QByteArray(",\"") + type + "\"," + QByteArray::number(price);
    return out + "\r\n";
}

QByteArray canonicalFile()
{
    return record("Adult", "Addidas ", {{"Runner", 65}, {"Court", 55}, {"Trail", 70}, {"Walker", 45}, {"Cross", 60}}) +
           record("Adult", "Reebok  ", {{"Runner", 62}, {"Aerobic", 40}, {"Trail", 0}, {"Walker", 48}, {"Cross", 58}}) +
           record("Adult", "Nike    ", {{"Runner", 80}, {"Hoops", 95}, {"Trail", 75}, {"Walker", 52}, {"Cross", 68}}) +
           record("Adult", "Etonic  ", {{"Runner", 55}, {"Golf", 85}, {"Trail", 50}, {"Walker", 45}, {"Bowler", 40}}) +
           record("Adult", "Converse", {{"Hoops", 50}, {"Low", 38}, {"High", 42}, {"Walker", 0}, {"Skate", 47}}) +
           record("Child", "Addidas ", {{"Runner", 35}, {"Soccer", 40}, {"Velcro", 28}, {"School", 30}, {"Sandal", 22}}) +
           record("Child", "Reebok  ", {{"Runner", 32}, {"Aerobic", 30}, {"Velcro", 27}, {"School", 29}, {"Sandal", 20}}) +
           record("Child", "Nike    ", {{"Runner", 45}, {"Hoops", 48}, {"Velcro", 33}, {"School", 36}, {"Sandal", 25}}) +
           record("Child", "Etonic  ", {{"Runner", 30}, {"Soccer", 34}, {"Velcro", 0}, {"School", 26}, {"Sandal", 0}}) +
           record("Child", "Converse", {{"Low", 28}, {"High", 31}, {"Velcro", 26}, {"School", 0}, {"Skate", 33}});
}

QString writePriceFile(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("PlimboPrice.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test price list %s", qPrintable(path));
    return path;
}

plimbo::Catalogue readCatalogue(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    plimbo::Catalogue c;
    plimbo::loadPriceFile(buffer, QStringLiteral("/shop/PlimboPrice.txt"), c);
    return c;
}

plimbo::PendingLine pendingLine(const char* brand, const char* type, const char* size, int qty, int unit, int cost)
{
    plimbo::PendingLine p;
    p.LineBrand = QLatin1String(brand);
    p.LineType = QLatin1String(type);
    p.LineSize = QLatin1String(size);
    p.LineQuantity = qty;
    p.LineUnitPrice = unit;
    p.LineCost = cost >= 0 ? qint64{cost} : qint64{qty} * unit;
    return p;
}

} // namespace test
