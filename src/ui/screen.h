#pragma once
// Screens and their lifecycle. There is one object per screen for the run,
// reached through its ScreenSlot: loading creates it on first use and runs
// its Form_Load, loading a loaded screen does nothing, showing is modeless,
// without owner, and brings it to the front. Closing the window unloads it;
// the next load starts afresh.

#include "application.h"
#include "layout.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

class Application;

class Screen : public QMainWindow {
    Q_OBJECT
public:
    // `client` is the client area's size in twips; the menu bar sits above it.
    Screen(Application& app, const QString& name, const QString& caption, TwipsSize client);

    // Runs once, when the screen is loaded.
    virtual void Form_Load() {}

    Application& app() const { return app_; }
    QWidget* client() const { return client_; }
    const Controls& controls() const { return controls_; }

    // Lays out the screen's controls from its control table.
    void build(std::span<const ControlSpec> table);
    // Puts every control back as the table opens it, as a fresh load would.
    void restoreOpeningState();
    // A menu item named `name`: on the menu bar itself when `under` is null.
    QAction* addMenuItem(QMenu* under, const QString& name, const QString& caption);
    // A menu on the menu bar, holding items of its own.
    QMenu* addMenu(const QString& name, const QString& caption);

    // Runs `handler` for `signal`, through the application's error report.
    template <typename Sender, typename Signal>
    QMetaObject::Connection on(Sender* sender, Signal signal, std::function<void()> handler);

    void setBackground(const QColor& colour);
    QColor background() const;

    // Where the client area (below the menu bar) sits on the desktop, in
    // twips from the screen's top-left corner. Screens without one are placed
    // by the window manager.
    void placeClientAt(int leftTwips, int topTwips);
    // Applies that place; before the window is first shown.
    void applyPlacement();

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void runGuarded(const std::function<void()>& handler);

    Application& app_;
    QWidget* client_;
    Controls controls_;
    std::vector<ControlSpec> table_;
    std::optional<QPoint> clientPlace_;
};

template <typename Sender, typename Signal>
QMetaObject::Connection Screen::on(Sender* sender, Signal signal, std::function<void()> handler)
{
    return QObject::connect(sender, signal, this, [this, handler = std::move(handler)] { runGuarded(handler); });
}

class ScreenSlot {
public:
    using Factory = std::function<std::unique_ptr<Screen>()>;

    explicit ScreenSlot(Application& app);
    ScreenSlot(const ScreenSlot&) = delete;
    ScreenSlot& operator=(const ScreenSlot&) = delete;
    ~ScreenSlot();

    void setFactory(Factory factory) { factory_ = std::move(factory); }

    // Creates the screen and runs its Form_Load, unless it is loaded already.
    Screen* load();
    // Loads the screen, shows it modeless and brings it to the front.
    Screen* show();
    // Closes the screen's window; it is loaded afresh next time.
    void unload();

    bool loaded() const { return !screen_.isNull(); }
    Screen* screen() const { return screen_.data(); }
    template <typename T>
    T* as() const { return static_cast<T*>(screen_.data()); }

private:
    void forget();

    Application& app_;
    Factory factory_;
    QPointer<Screen> screen_;
};

} // namespace ui
