#include "screen.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>

namespace ui {

Screen::Screen(Application& app, const QString& name, const QString& caption, TwipsSize client)
    : app_(app), client_(new QWidget(this))
{
    setObjectName(name);
    setWindowTitle(caption);
    setAccessibleName(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    client_->setObjectName(QStringLiteral("client"));
    client_->setFixedSize(px(client.width), px(client.height));
    setCentralWidget(client_);
}

void Screen::build(std::span<const ControlSpec> table)
{
    controls_ = buildControls(client_, table);
    table_.assign(table.begin(), table.end());
}

void Screen::restoreOpeningState()
{
    for (const ControlSpec& entry : table_)
        applyOpeningState(controls_.get<QWidget>(entry.name), entry);
}

QAction* Screen::addMenuItem(QMenu* under, const QString& name, const QString& caption)
{
    QAction* action = under ? under->addAction(caption) : menuBar()->addAction(caption);
    action->setObjectName(name);
    return action;
}

QMenu* Screen::addMenu(const QString& name, const QString& caption)
{
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

void Screen::setBackground(const QColor& colour)
{
    ui::setBackground(client_, colour);
}

QColor Screen::background() const
{
    return backgroundOf(client_);
}

void Screen::placeClientAt(int leftTwips, int topTwips)
{
    clientPlace_ = QPoint(px(leftTwips), px(topTwips));
}

void Screen::applyPlacement()
{
    if (!clientPlace_)
        return;
    // The window's geometry leaves out the frame the window manager adds
    // (move() would place the frame), and the menu bar sits above the client.
    ensurePolished();
    resize(sizeHint());
    if (layout())
        layout()->activate();
    setGeometry(QRect(*clientPlace_ - client_->mapTo(this, QPoint(0, 0)), size()));
}

void Screen::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit unloaded();
}

void Screen::runGuarded(const std::function<void()>& handler)
{
    app_.run(handler);
}

ScreenSlot::ScreenSlot(Application& app) : app_(app)
{
    app_.enrol(this);
}

ScreenSlot::~ScreenSlot()
{
    app_.leave(this);
    delete screen_.data();
}

Screen* ScreenSlot::load()
{
    if (screen_)
        return screen_;
    auto created = factory_();
    screen_ = created.release();
    QObject::connect(screen_, &Screen::unloaded, screen_, [this] { forget(); });
    screen_->Form_Load();
    return screen_;
}

Screen* ScreenSlot::show()
{
    Screen* s = load();
    if (!s->isVisible())
        s->applyPlacement();
    s->show();
    s->raise();
    s->activateWindow();
    return s;
}

void ScreenSlot::unload()
{
    if (Screen* s = screen_.data()) {
        forget();
        s->close();
    }
}

void ScreenSlot::forget()
{
    // The window deletes itself once control is back in the event loop; from
    // now on it counts as unloaded, and the next load creates a new one.
    screen_ = nullptr;
}

} // namespace ui
