#pragma once
// Draws the pictures the shop shows: brand badges and payment-card pictures,
// at the sizes its screens were designed for. They are badges with names,
// not the makers' logos. The shop carries them as PNG files made from this
// code (tools/pictures), so it does not draw them each time it starts.

#include <QPixmap>
#include <QString>

namespace pictures {

inline constexpr QSize BrandSize{100, 80};

// A badge for one of the brands the shop sells, drawn at `scale` times its
// size (2 for large kiosk screens) with that device pixel ratio.
QPixmap brandBadge(const QString& brand, int scale = 1);

enum class Card { MasterCard, Visa, Discover };
QSize cardSize(Card card);
// A payment-card picture, for the cards the shop accepts.
QPixmap cardPicture(Card card, int scale = 1);

} // namespace pictures
