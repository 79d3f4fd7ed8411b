#include "application.h"

#include "../catalogue/errors.h"
#include "screen.h"

#include <QGuiApplication>
#include <QPixmapCache>
#include <QStringList>
#include <exception>

namespace ui {

void identifyApplication()
{
    QGuiApplication::setApplicationName(ApplicationTitle);
    QGuiApplication::setDesktopFileName(QStringLiteral("plimbo-shop"));
}

void setUpProcess()
{
    // Qt's style keeps drawn buttons and frames in its pixmap cache, keyed by
    // the palette they were drawn with. Every screen opened afresh and every
    // colour the customer picks brings new palettes, and Qt 6.4 keeps every
    // key it was ever given, even after the pictures go: on a kiosk that runs
    // for weeks the memory creeps up. The shop's bevels are small and quick
    // to draw, so it draws them each time instead.
    QPixmapCache::setCacheLimit(0);
}

Application::Application(Platform& platform) : platform_(platform) {}

QString oneLine(const QString& message)
{
    QStringList parts;
    for (QString part : message.split(QLatin1Char('\n'))) {
        part = part.trimmed();
        if (part.isEmpty())
            continue;
        if (!QStringLiteral(".:!?").contains(part.back()))
            part += QLatin1Char('.');
        parts << part;
    }
    return parts.join(QLatin1Char(' '));
}

bool Application::run(const std::function<void()>& handler, int failureStatus)
{
    if (ended_)
        return false;
    QString report;
    try {
        handler();
        return true;
    } catch (const plimbo::PlimboError& e) {
        report = e.message();
    } catch (const std::exception& e) {
        report = QStringLiteral("Unexpected error: %1").arg(QString::fromLocal8Bit(e.what()));
    }
    // A handler nested in the one that failed has reported already.
    if (!ended_) {
        platform_.log(oneLine(report));
        platform_.messageBox(report);
        end(failureStatus);
    }
    return false;
}

void Application::end(int status)
{
    if (ended_)
        return;
    ended_ = true;
    status_ = status;
    for (ScreenSlot* slot : std::vector<ScreenSlot*>(slots_))
        slot->unload();
    platform_.exit(status);
}

} // namespace ui
