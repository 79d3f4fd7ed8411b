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

QPixmap picture(const QString& name, qreal devicePixelRatio)
{
    const int scale = devicePixelRatio > 1 ? 2 : 1;
    const QResource resource(QStringLiteral(":/pictures/") + name +
                             (scale > 1 ? QStringLiteral("@2x.rgb") : QStringLiteral(".rgb")));
    const QByteArray rows = resource.uncompressedData();
    const QSize size = sizeOf(name) * scale;
    if (rows.size() != qsizetype{size.width()} * size.height() * 3)
        return {};
    const QImage image(reinterpret_cast<const uchar*>(rows.constData()), size.width(), size.height(),
                       size.width() * 3, QImage::Format_RGB888);
    QPixmap pixmap = QPixmap::fromImage(image);  // copies the rows before they go
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

} // namespace ui
