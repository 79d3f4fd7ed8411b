#include "layout.h"

#include "fonts.h"
#include "listbox.h"
#include "spincontrol.h"
#include "textarea.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <vector>

namespace ui {

namespace {

Qt::Alignment horizontal(Align a)
{
    switch (a) {
    case Align::Centre: return Qt::AlignHCenter;
    case Align::Right: return Qt::AlignRight;
    case Align::Left: break;
    }
    return Qt::AlignLeft;
}

// An option button that answers a click anywhere on it, not only on its
// circle and caption: on a kiosk the whole coloured bar is the target.
class OptionButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

QWidget* create(const ControlSpec& spec, QWidget* parent, QLineEdit* lastTextBox)
{
    switch (spec.kind) {
    case Kind::Label: {
        auto* label = new QLabel(spec.caption, parent);
        label->setAlignment(horizontal(spec.align) | Qt::AlignTop);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case Kind::Button: {
        auto* button = new QPushButton(spec.caption, parent);
        button->setAutoDefault(false);
        return button;
    }
    case Kind::Option:
        return new OptionButton(spec.caption, parent);
    case Kind::TextBox: {
        auto* box = new QLineEdit(spec.caption, parent);
        box->setAlignment(horizontal(spec.align) | Qt::AlignVCenter);
        box->setReadOnly(spec.readOnly);
        box->setCursorPosition(0);
        return box;
    }
    case Kind::TextArea: {
        auto* area = new TextArea(horizontal(spec.align), parent);
        area->setText(spec.caption);
        area->setReadOnly(spec.readOnly);
        return area;
    }
    case Kind::List:
        return new ListBox(parent);
    case Kind::Picture: {
        auto* picture = new QLabel(parent);
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return picture;
    }
    case Kind::Spin: {
        auto* spin = new SpinControl(parent);
        spin->setBuddy(lastTextBox);
        return spin;
    }
    case Kind::Line: {
        auto* line = new QFrame(parent);
        line->setFrameShape(spec.rect.width == 0 ? QFrame::VLine : QFrame::HLine);
        line->setFrameShadow(QFrame::Plain);
        line->setLineWidth(1);
        line->setFocusPolicy(Qt::NoFocus);
        return line;
    }
    }
    return nullptr;
}

QRect geometryOf(const ControlSpec& spec)
{
    QRect r = spec.rect.pixels();
    if (spec.kind == Kind::Line) {
        // A line has no thickness in twips; give it one pixel.
        if (r.width() == 0)
            r.setWidth(1);
        if (r.height() == 0)
            r.setHeight(1);
    }
    return r;
}

} // namespace

Controls buildControls(QWidget* parent, std::span<const ControlSpec> table)
{
    Controls controls;
    std::vector<std::pair<int, QWidget*>> tabbed;
    QLineEdit* lastTextBox = nullptr;

    for (const ControlSpec& spec : table) {
        QWidget* w = create(spec, parent, lastTextBox);
        if (auto* box = qobject_cast<QLineEdit*>(w))
            lastTextBox = box;
        w->setObjectName(spec.name);
        w->setGeometry(geometryOf(spec));
        if (spec.font.family)
            w->setFont(fontFor(spec.font, parent->font()));
        w->setAccessibleName(spec.accessibleName.isEmpty() ? spec.caption.trimmed() : spec.accessibleName);
        if (!spec.description.isEmpty())
            w->setAccessibleDescription(spec.description);
        if (spec.background)
            setBackground(w, *spec.background);
        if (spec.foreground) {
            QPalette p = w->palette();
            p.setColor(QPalette::WindowText, *spec.foreground);
            p.setColor(QPalette::Text, *spec.foreground);
            p.setColor(QPalette::ButtonText, *spec.foreground);
            w->setPalette(p);
        }
        w->setEnabled(spec.enabled);
        if (!spec.visible)
            w->setVisible(false);
        // Labels, pictures and lines keep their tab index but take no focus.
        if (spec.tab >= 0 && w->focusPolicy() != Qt::NoFocus)
            tabbed.emplace_back(spec.tab, w);
        controls.add(spec.name, w);
    }

    std::stable_sort(tabbed.begin(), tabbed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabbed.size(); ++i)
        QWidget::setTabOrder(tabbed[i - 1].second, tabbed[i].second);
    return controls;
}

void setBackground(QWidget* widget, const QColor& colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Button, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

QColor backgroundOf(const QWidget* widget)
{
    // Text boxes paint their background in the Base role, other controls in Window.
    const bool textBox = qobject_cast<const QLineEdit*>(widget) || qobject_cast<const TextArea*>(widget);
    return widget->palette().color(textBox ? QPalette::Base : QPalette::Window);
}

} // namespace ui
