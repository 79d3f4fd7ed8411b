#pragma once
// The colour picker as a screen holds it: a dialog object with a current
// colour. Showing it lets the customer pick; a confirmed pick replaces the
// current colour, a cancel leaves it as it was.

#include "platform.h"

#include <QColor>
#include <QObject>

namespace ui {

class ColourDialog : public QObject {
    Q_OBJECT
public:
    ColourDialog(Platform& platform, const QString& name, QColor initial, QObject* parent)
        : QObject(parent), platform_(platform), Color(initial)
    {
        setObjectName(name);
    }

    // Opens the picker modally on the current colour.
    void ShowColor()
    {
        if (auto picked = platform_.pickColour(Color))
            Color = *picked;
    }

private:
    Platform& platform_;

public:
    QColor Color;
};

} // namespace ui
