#include "draw.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace pictures {

namespace {

struct Palette {
    QColor top, bottom, text;
};

Palette brandPalette(const QString& brand)
{
    if (brand.startsWith(QLatin1String("Addidas")))
        return {QColor(20, 60, 160), QColor(10, 30, 90), Qt::white};
    if (brand.startsWith(QLatin1String("Reebok")))
        return {QColor(220, 40, 40), QColor(140, 10, 20), Qt::white};
    if (brand.startsWith(QLatin1String("Nike")))
        return {QColor(255, 140, 0), QColor(200, 80, 0), Qt::black};
    if (brand.startsWith(QLatin1String("Converse")))
        return {QColor(40, 40, 40), QColor(0, 0, 0), Qt::white};
    return {QColor(0, 140, 90), QColor(0, 80, 50), Qt::white};
}

QPixmap canvas(QSize size, int scale)
{
    // Drawn in the design's pixels; the painter scales to the canvas.
    QPixmap pixmap(size * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(QColor(128, 128, 255));  // the main menu's blue, which the pictures sit on
    return pixmap;
}

void fitText(QPainter& p, const QRectF& box, const QString& text, int maxPoints, bool bold = true)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(bold);
    for (int pt = maxPoints; pt > 5; --pt) {
        font.setPixelSize(pt);
        if (QFontMetricsF(font).horizontalAdvance(text) <= box.width())
            break;
    }
    p.setFont(font);
    p.drawText(box, Qt::AlignCenter, text);
}

} // namespace

QPixmap brandBadge(const QString& brand, int scale)
{
    QPixmap pixmap = canvas(BrandSize, scale);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const Palette colours = brandPalette(brand);
    const QRectF frame(2, 2, BrandSize.width() - 4, BrandSize.height() - 4);
    QLinearGradient fill(frame.topLeft(), frame.bottomLeft());
    fill.setColorAt(0, colours.top);
    fill.setColorAt(1, colours.bottom);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(fill);
    p.drawRoundedRect(frame, 12, 12);

    // A running shoe's outline: sole, heel and toe, in the badge's text colour.
    QPainterPath shoe;
    shoe.moveTo(18, 58);
    shoe.lineTo(82, 58);
    shoe.quadTo(86, 50, 74, 46);
    shoe.lineTo(56, 40);
    shoe.lineTo(46, 30);
    shoe.lineTo(28, 32);
    shoe.quadTo(20, 40, 18, 58);
    p.setPen(QPen(colours.text, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shoe);
    p.drawLine(QPointF(18, 62), QPointF(84, 62));

    p.setPen(colours.text);
    fitText(p, QRectF(6, 6, BrandSize.width() - 12, 22), brand.trimmed(), 16);
    return pixmap;
}

QSize cardSize(Card card)
{
    switch (card) {
    case Card::MasterCard: return {102, 99};
    case Card::Visa: return {102, 85};
    case Card::Discover: return {102, 80};
    }
    return {102, 80};
}

QPixmap cardPicture(Card card, int scale)
{
    const QSize size = cardSize(card);
    QPixmap pixmap = canvas(size, scale);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    // A card lying in the middle of the picture, with its chip and number.
    const QRectF body(3, (size.height() - 64) / 2.0, size.width() - 6, 64);
    QColor base, stripe;
    QString name;
    switch (card) {
    case Card::MasterCard:
        base = QColor(30, 30, 60), stripe = QColor(240, 160, 0), name = QStringLiteral("MASTER");
        break;
    case Card::Visa:
        base = QColor(20, 50, 150), stripe = QColor(250, 200, 40), name = QStringLiteral("VISA");
        break;
    case Card::Discover:
        base = QColor(245, 245, 245), stripe = QColor(235, 110, 20), name = QStringLiteral("DISCOVER");
        break;
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(base);
    p.drawRoundedRect(body, 7, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(stripe);
    p.drawRect(QRectF(body.left() + 1, body.top() + 40, body.width() - 2, 6));
    p.setBrush(QColor(210, 180, 90));
    p.drawRoundedRect(QRectF(body.left() + 8, body.top() + 10, 16, 12), 2, 2);

    p.setPen(card == Card::Discover ? Qt::black : Qt::white);
    fitText(p, QRectF(body.left() + 28, body.top() + 6, body.width() - 32, 22), name, 16);
    fitText(p, QRectF(body.left() + 6, body.top() + 48, body.width() - 12, 14),
            QStringLiteral("0000 0000 0000 0000"), 9, false);
    return pixmap;
}

} // namespace pictures
