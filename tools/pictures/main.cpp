// Draws the shop's pictures and writes them as the files the shop carries
// in src/ui/pictures/: raw 24-bit RGB rows (.rgb), which the shop shows
// without decoding, and a PNG of each for people to look at; once at the
// designed size and once at twice that (NAME@2x) for large kiosk screens.
//
//   plimbo_pictures <output folder>

#include "draw.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: plimbo_pictures <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    auto save = [&](const QPixmap& pixmap, const char* name) {
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB888);
        const QString base = out.filePath(QLatin1String(name) +
                                          (pixmap.devicePixelRatio() > 1 ? QStringLiteral("@2x") : QString()));
        ok &= image.save(base + QStringLiteral(".png"));
        QFile raw(base + QStringLiteral(".rgb"));
        ok &= raw.open(QIODevice::WriteOnly);
        for (int y = 0; y < image.height(); ++y)
            ok &= raw.write(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 3) ==
                  image.width() * 3;
        std::printf("%s.rgb\n", qPrintable(base));
    };
    for (int scale : {1, 2}) {
        for (const char* brand : {"Addidas", "Reebok", "Nike", "Converse"})
            save(pictures::brandBadge(QLatin1String(brand), scale), brand);
        save(pictures::cardPicture(pictures::Card::MasterCard, scale), "MasterCard");
        save(pictures::cardPicture(pictures::Card::Visa, scale), "Visa");
        save(pictures::cardPicture(pictures::Card::Discover, scale), "Discover");
    }
    return ok ? 0 : 1;
}
