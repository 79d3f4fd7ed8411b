#include "pictures.h"

#include <QImage>
#include <QResource>

namespace ui {

namespace {

QSize sizeOf(const QString& name)
{
    if (name == QLatin1String("MasterCard"))
        return {102, 99};
    if (name == QLatin1String("Visa"))
        return {102, 85};
    if (name == QLatin1String("Discover"))
        return {102, 80};
    return {100, 80};
}

} // namespace

QPixmap picture(const QString& name)
{
    const QResource resource(QStringLiteral(":/pictures/") + name + QStringLiteral(".rgb"));
    const QByteArray rows = resource.uncompressedData();
    const QSize size = sizeOf(name);
    if (rows.size() != qsizetype{size.width()} * size.height() * 3)
        return {};
    const QImage image(reinterpret_cast<const uchar*>(rows.constData()), size.width(), size.height(),
                       size.width() * 3, QImage::Format_RGB888);
    return QPixmap::fromImage(image);  // copies the rows before they go
}

} // namespace ui
