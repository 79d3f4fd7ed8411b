#include "announce.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QWidget>

namespace ui {

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

void announce(QWidget* from, const QString& text)
{
    QAccessibleAnnouncementEvent event(from, text);
    QAccessible::updateAccessibility(&event);
}

#else

namespace {

// A window's notice: no widget and nothing on the screen, only what a
// screen reader is told. One a window, holding the latest text.
class Notice final : public QObject {
public:
    using QObject::QObject;
    QString text;
};

class NoticeAccessible final : public QAccessibleObject {
public:
    explicit NoticeAccessible(Notice* notice) : QAccessibleObject(notice) {}

    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(object()->parent()); }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<Notice*>(object())->text : QString();
    }
    QRect rect() const override
    {
        const QAccessibleInterface* window = parent();
        return window ? window->rect() : QRect();
    }
};

} // namespace

void announce(QWidget* from, const QString& text)
{
    QWidget* window = from->window();
    const QString name = QStringLiteral("notice");
    auto* notice = static_cast<Notice*>(window->findChild<QObject*>(name, Qt::FindDirectChildrenOnly));
    if (!notice) {
        notice = new Notice(window);
        notice->setObjectName(name);
        QAccessible::registerAccessibleInterface(new NoticeAccessible(notice));
    }
    notice->text = text;
    QAccessibleEvent shown(QAccessible::queryAccessibleInterface(notice), QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

#endif

} // namespace ui
