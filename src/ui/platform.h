#pragma once
// The seam between the shop and the desktop: every modal dialog, and ending
// the application, goes through a Platform. The real one shows Qt dialogs;
// tests put in one that answers from a script, so no window ever blocks.

#include <QColor>
#include <QString>
#include <optional>

namespace ui {

// Every message box and input box carries the application title.
inline const QString ApplicationTitle = QStringLiteral("Plimbo");

class Platform {
public:
    virtual ~Platform() = default;

    // A modal message with a single OK button and no icon.
    virtual void messageBox(const QString& text) = 0;
    // A modal input box with an empty default answer; empty when cancelled.
    virtual QString inputBox(const QString& prompt) = 0;
    // The colour picker, opened on `current`; no colour when cancelled.
    virtual std::optional<QColor> pickColour(const QColor& current) = 0;
    // Stops the event loop with this exit status. The screens are already closed.
    virtual void exit(int status) = 0;
    // One line for whoever keeps the program's log: standard error, which a
    // kiosk's journal or session log keeps.
    virtual void log(const QString& line) = 0;
};

class QtPlatform final : public Platform {
public:
    void messageBox(const QString& text) override;
    QString inputBox(const QString& prompt) override;
    std::optional<QColor> pickColour(const QColor& current) override;
    void exit(int status) override;
    void log(const QString& line) override;
};

} // namespace ui
