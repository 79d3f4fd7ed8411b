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

QWidget* create(const ControlSpec& entry, QWidget* parent, QLineEdit* lastTextBox)
{
    switch (entry.kind) {
    case Kind::Label: {
        auto* label = new QLabel(parent);
        label->setAlignment(horizontal(entry.align) | Qt::AlignTop);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case Kind::Button: {
        auto* button = new QPushButton(parent);
        // Enter presses a button while it has the focus, as Space does.
        button->setAutoDefault(true);
        return button;
    }
    case Kind::Option:
        return new OptionButton(parent);
    case Kind::TextBox: {
        auto* box = new QLineEdit(parent);
        box->setAlignment(horizontal(entry.align) | Qt::AlignVCenter);
        box->setReadOnly(entry.readOnly);
        return box;
    }
    case Kind::TextArea: {
        auto* area = new TextArea(horizontal(entry.align), parent);
        area->setReadOnly(entry.readOnly);
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
        line->setFrameShape(entry.rect.width == 0 ? QFrame::VLine : QFrame::HLine);
        line->setFrameShadow(QFrame::Plain);
        line->setLineWidth(1);
        line->setFocusPolicy(Qt::NoFocus);
        return line;
    }
    }
    return nullptr;
}

QRect geometryOf(const ControlSpec& entry)
{
    QRect r = entry.rect.pixels();
    if (entry.kind == Kind::Line) {
        // A line has no thickness in twips; give it one pixel.
        if (r.width() == 0)
            r.setWidth(1);
        if (r.height() == 0)
            r.setHeight(1);
    }
    return r;
}

} // namespace

void applyOpeningState(QWidget* w, const ControlSpec& entry)
{
    // The font first: text set before it would be laid out twice.
    // A font with nothing set inherits the screen's, as a control that names none.
    w->setFont(entry.font.family ? fontFor(entry.font, w->parentWidget()->font()) : QFont());
    switch (entry.kind) {
    case Kind::Label:
        static_cast<QLabel*>(w)->setText(entry.caption);
        break;
    case Kind::Button:
    case Kind::Option:
        static_cast<QAbstractButton*>(w)->setText(entry.caption);
        break;
    case Kind::TextBox: {
        auto* box = static_cast<QLineEdit*>(w);
        box->setText(entry.caption);
        box->setCursorPosition(0);
        break;
    }
    case Kind::TextArea:
        static_cast<TextArea*>(w)->setText(entry.caption);
        break;
    case Kind::List:
    case Kind::Picture:
    case Kind::Spin:
    case Kind::Line:
        break;
    }
    w->setEnabled(entry.enabled);
    if (w->isVisibleTo(w->parentWidget()) != entry.visible)
        w->setVisible(entry.visible);
}

Controls buildControls(QWidget* parent, std::span<const ControlSpec> table)
{
    Controls controls;
    std::vector<std::pair<int, QWidget*>> tabbed;
    QLineEdit* lastTextBox = nullptr;

    for (const ControlSpec& entry : table) {
        QWidget* w = create(entry, parent, lastTextBox);
        if (auto* box = qobject_cast<QLineEdit*>(w))
            lastTextBox = box;
        w->setObjectName(entry.name);
        w->setGeometry(geometryOf(entry));
        // Buttons, options and labels are announced by their captions as
        // they stand at the time; only controls without one are named here.
        if (!entry.accessibleName.isEmpty())
            w->setAccessibleName(entry.accessibleName);
        if (!entry.description.isEmpty())
            w->setAccessibleDescription(entry.description);
        if (entry.background)
            setBackground(w, *entry.background);
        if (entry.foreground) {
            QPalette p = w->palette();
            p.setColor(QPalette::WindowText, *entry.foreground);
            p.setColor(QPalette::Text, *entry.foreground);
            p.setColor(QPalette::ButtonText, *entry.foreground);
            w->setPalette(p);
        }
        applyOpeningState(w, entry);
        // Labels, pictures and lines keep their tab index but take no focus.
        // A control with no tab index is no tab stop; a click still reaches it.
        if (entry.tab < 0 && (w->focusPolicy() & Qt::TabFocus))
            w->setFocusPolicy(Qt::ClickFocus);
        else if (entry.tab >= 0 && w->focusPolicy() != Qt::NoFocus)
            tabbed.emplace_back(entry.tab, w);
        controls.add(entry.name, w);
    }

    std::stable_sort(tabbed.begin(), tabbed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabbed.size(); ++i)
        QWidget::setTabOrder(tabbed[i - 1].second, tabbed[i].second);
    return controls;
}

namespace {
// The role a control fills its background with: Base for text boxes (a
// several-line box fills its inner area), Button for buttons and options,
// Window for labels, pictures and windows. Only that role is set, so the
// controls on a coloured window, and an option's circle, keep the toolkit's.
QPalette::ColorRole backgroundRole(const QWidget* widget)
{
    return qobject_cast<const TextArea*>(widget) ? QPalette::Base : widget->backgroundRole();
}
} // namespace

void setBackground(QWidget* widget, const QColor& colour)
{
    QPalette p = widget->palette();
    p.setColor(backgroundRole(widget), colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

QColor backgroundOf(const QWidget* widget)
{
    return widget->palette().color(backgroundRole(widget));
}

} // namespace ui
