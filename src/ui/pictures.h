#pragma once
// The pictures the shop shows: brand badges and payment-card pictures, drawn
// by the shop itself at the sizes its screens were designed for. They are
// badges with names, not the makers' logos.

#include <QPixmap>
#include <QString>

namespace ui::pictures {

inline constexpr QSize BrandSize{100, 80};

// A badge for one of the brands the shop sells.
QPixmap brandBadge(const QString& brand);

enum class Card { MasterCard, Visa, Discover };
QSize cardSize(Card card);
// A payment-card picture, for the cards the shop accepts.
QPixmap cardPicture(Card card);

} // namespace ui::pictures
