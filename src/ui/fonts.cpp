#include "fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHash>
#include <QStringList>
#include <algorithm>

namespace ui {

void installShopFonts()
{
    registerLookAlikes();
    QApplication::setFont(fontFor(MsSansSerif(8.25), QApplication::font()));
}

void registerLookAlikes()
{
    QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"),
                               {QStringLiteral("Comic Neue"), QStringLiteral("Comic Sans"),
                                QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans")});
}

QString installedFamily(const QString& designed)
{
    // Asked for by the designed name, Qt looks for that family, misses it,
    // and works out fallbacks for it from fontconfig before it turns to the
    // look-alikes: the largest part of the shop's start-up. Named directly,
    // the look-alike is found at once. Worked out once a family.
    static QHash<QString, QString> installed;
    auto known = installed.constFind(designed);
    if (known != installed.constEnd())
        return *known;
    // The installed families as they stand, without fontconfig's aliases
    // (hasFamily works each name out through fontconfig's rules, a tenth of
    // the start-up for the five names looked at).
    static const QStringList families = QFontDatabase::families();
    auto installedAs = [](const QString& f) {
        const auto found = std::find_if(families.begin(), families.end(),
                                        [&](const QString& g) { return g.compare(f, Qt::CaseInsensitive) == 0; });
        return found != families.end() ? *found : QString();
    };
    QString family = installedAs(designed);
    // Qt keeps look-alikes in lower case; the family is named as installed.
    const QStringList lookAlikes = QFont::substitutes(designed);
    for (auto it = lookAlikes.begin(); family.isEmpty() && it != lookAlikes.end(); ++it)
        family = installedAs(*it);
    if (family.isEmpty())
        family = designed;
    installed.insert(designed, family);
    return family;
}

QFont fontFor(const FontSpec& entry, const QFont& base)
{
    if (!entry.family)
        return base;
    QFont font(installedFamily(QString::fromLatin1(entry.family)));
    font.setPointSizeF(entry.points);
    font.setBold(entry.bold);
    font.setItalic(entry.italic);
    return font;
}

} // namespace ui
