#pragma once
// The pictures the shop carries: brand badges and payment-card pictures,
// drawn by this project (tools/pictures) and built into the program as raw
// 24-bit rows, so showing them costs no image decoding at start.

#include <QPixmap>
#include <QString>

namespace ui {

// A picture by name: "Addidas", "Reebok", "Nike", "Converse" (100 x 80),
// "MasterCard" (102 x 99), "Visa" (102 x 85) or "Discover" (102 x 80), in
// logical pixels. On a screen of device pixel ratio above 1 it is the copy
// drawn at twice the size, so it stays sharp when the shop is scaled up.
// A null pixmap for any other name.
QPixmap picture(const QString& name, qreal devicePixelRatio = 1);

} // namespace ui
