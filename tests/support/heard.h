#pragma once
// What the shop tells a screen reader beyond the focus: the texts of
// announcements (Qt 6.8 and later) and of notification objects that show
// (before it), as an installed update handler sees them, and the description
// of a window as it comes to the front, which a screen reader says with it;
// in order. While one exists, accessibility is on, as with a screen reader
// running.

#include <QAccessible>
#include <QMetaObject>
#include <QStringList>

namespace test {

class Heard {
public:
    Heard();
    ~Heard();
    Heard(const Heard&) = delete;
    Heard& operator=(const Heard&) = delete;

    QStringList texts;

private:
    static void handle(QAccessibleEvent* event);
    QAccessible::UpdateHandler previous_;
    QMetaObject::Connection fronted_;
};

} // namespace test
