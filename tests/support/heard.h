#pragma once
// What the shop tells a screen reader beyond the focus: the texts of
// announcements (Qt 6.8 and later) and of notification objects that show
// (before it), in order, as an installed update handler sees them. While one
// exists, accessibility is on, as with a screen reader running.

#include <QAccessible>
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
};

} // namespace test
