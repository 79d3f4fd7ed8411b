#pragma once
// Screens are laid out from control tables: each control's name, kind,
// caption, rectangle in twips, font, tab order and opening state, as data.
// Twips are 1/1440 inch: 15 to a logical pixel at 96 dpi; Qt scales logical
// pixels with the screen's device pixel ratio.

#include <QColor>
#include <QHash>
#include <QRect>
#include <QString>
#include <optional>
#include <span>
#include <stdexcept>

class QWidget;

namespace ui {

inline constexpr int TwipsPerPixel = 15;
constexpr int px(int twips) { return (twips + TwipsPerPixel / 2) / TwipsPerPixel; }

struct TwipsSize {
    int width = 0;
    int height = 0;
};

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    QRect pixels() const { return {px(left), px(top), px(width), px(height)}; }
};

struct FontSpec {
    const char* family = nullptr;  // nullptr: the toolkit's default font
    double points = 0;
    bool bold = false;
    bool italic = false;
};

inline constexpr FontSpec ComicSans(double points, bool bold = false, bool italic = false)
{
    return {"Comic Sans MS", points, bold, italic};
}
inline constexpr FontSpec MsSansSerif(double points, bool bold = false)
{
    return {"MS Sans Serif", points, bold, false};
}

enum class Kind {
    Label,
    Button,
    Option,      // option (radio) button
    TextBox,     // single line
    TextArea,    // several lines
    List,        // single-choice list box
    Picture,
    Spin,        // up-down arrows bound to the text box before it in the table
    Line,        // a straight line: width or height 0
};

enum class Align { Left, Centre, Right };

struct ControlSpec {
    QString name;
    Kind kind;
    QString caption = {};
    TwipsRect rect = {};
    FontSpec font = {};
    int tab = -1;                   // tab index; -1 for none
    Align align = Align::Left;
    bool visible = true;
    bool enabled = true;
    bool readOnly = false;
    std::optional<QColor> background = {};
    std::optional<QColor> foreground = {};
    QString accessibleName = {};    // none: the caption as it stands, for controls that have one
    QString description = {};       // what a screen reader tells beyond the name
};

// The widgets of one screen, by control name.
class Controls {
public:
    void add(const QString& name, QWidget* widget) { widgets_.insert(name, widget); }

    template <typename T>
    T* get(const QString& name) const
    {
        auto* w = qobject_cast<T*>(widgets_.value(name));
        if (!w)
            throw std::logic_error("no control " + name.toStdString() + " of that kind");
        return w;
    }

private:
    QHash<QString, QWidget*> widgets_;
};

// Creates the controls of a table on `parent`, in table order, and chains
// their tab order by tab index.
Controls buildControls(QWidget* parent, std::span<const ControlSpec> table);

// Puts a control back as its table entry opens it: caption or text, font,
// enabled and visible.
void applyOpeningState(QWidget* control, const ControlSpec& entry);

// A control's own background colour.
void setBackground(QWidget* widget, const QColor& colour);
QColor backgroundOf(const QWidget* widget);

} // namespace ui
