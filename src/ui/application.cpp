#include "application.h"

#include "../catalogue/errors.h"
#include "screen.h"

#include <QGuiApplication>
#include <exception>

namespace ui {

void identifyApplication()
{
    QGuiApplication::setApplicationName(ApplicationTitle);
    QGuiApplication::setDesktopFileName(QStringLiteral("plimbo-shop"));
}

bool Application::run(const std::function<void()>& handler)
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
        platform_.messageBox(report);
        end(1);
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
