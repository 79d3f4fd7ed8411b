#include "fonts.h"

#include <QApplication>
#include <QStringList>

namespace ui {

void installShopFonts()
{
    QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"),
                               {QStringLiteral("Comic Neue"), QStringLiteral("Comic Sans"),
                                QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans")});
    QApplication::setFont(fontFor(MsSansSerif(8.25), QApplication::font()));
}

QFont fontFor(const FontSpec& entry, const QFont& base)
{
    if (!entry.family)
        return base;
    QFont font(QString::fromLatin1(entry.family));
    font.setPointSizeF(entry.points);
    font.setBold(entry.bold);
    font.setItalic(entry.italic);
    return font;
}

} // namespace ui
