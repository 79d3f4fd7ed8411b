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

QFont fontFor(const FontSpec& spec, const QFont& base)
{
    if (!spec.family)
        return base;
    QFont font(QString::fromLatin1(spec.family));
    font.setPointSizeF(spec.points);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    return font;
}

} // namespace ui
