#include "heard.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace test {

namespace {

Heard* current = nullptr;

// Qt tells the update handler only while the platform's accessibility is
// on, which a screen reader turns on; no public call does.
void setAccessibilityOn(bool on)
{
    if (QPlatformAccessibility* platform = QGuiApplicationPrivate::platformIntegration()->accessibility())
        platform->setActive(on);
}

} // namespace

Heard::Heard() : previous_(QAccessible::installUpdateHandler(&Heard::handle))
{
    current = this;
    setAccessibilityOn(true);
    fronted_ = QObject::connect(qApp, &QGuiApplication::focusWindowChanged, [this](QWindow* front) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            // No window in front (the last one closed) is no window of ours in front.
            QAccessibleInterface* a = front && window->windowHandle() == front
                                          ? QAccessible::queryAccessibleInterface(window)
                                          : nullptr;
            if (a && !a->text(QAccessible::Description).isEmpty())
                texts << a->text(QAccessible::Description);
        }
    });
}

Heard::~Heard()
{
    QObject::disconnect(fronted_);
    setAccessibilityOn(false);
    QAccessible::installUpdateHandler(previous_);
    current = nullptr;
}

void Heard::handle(QAccessibleEvent* event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (event->type() == QAccessible::Announcement) {
        current->texts << static_cast<QAccessibleAnnouncementEvent*>(event)->message();
        return;
    }
#endif
    if (event->type() != QAccessible::ObjectShow)
        return;
    QAccessibleInterface* shown = event->accessibleInterface();
    if (shown && shown->role() == QAccessible::Notification)
        current->texts << shown->text(QAccessible::Name);
}

} // namespace test
