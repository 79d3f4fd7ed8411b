#pragma once
// The running shop as the screens see it: the dialog seam, the screens, the
// one place that reports an error nothing else handles, and the way out.

#include "buildinfo.h"
#include "platform.h"

#include <functional>
#include <vector>

namespace ui {

class ScreenSlot;

// Settings for the whole process, made once where the program starts,
// before the shop runs.
void setUpProcess();

// A message of several lines as one line of a log.
QString oneLine(const QString& message);

// Names the program to the desktop and ties its windows to its menu entry
// and icon. No display name is set: Qt would add it to every window title,
// and each screen is titled exactly by its caption.
void identifyApplication();

class Application {
public:
    explicit Application(Platform& platform);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    Platform& platform() const { return platform_; }

    // Runs one event handler to completion. An error it raises goes to the
    // log as one line and is shown in a message box titled "Plimbo" that
    // names it; then the application ends with `failureStatus`. This is the
    // only place that catches. Returns false when the handler failed, or
    // when the application has already ended (then nothing runs).
    bool run(const std::function<void()>& handler, int failureStatus = plimbo::exitstatus::Failed);

    // Ends the application at once: every screen closes and no handler runs
    // afterwards. Nothing is asked or saved.
    void end(int status = 0);

    bool ended() const { return ended_; }
    int exitStatus() const { return status_; }

private:
    friend class ScreenSlot;
    void enrol(ScreenSlot* slot) { slots_.push_back(slot); }
    void leave(ScreenSlot* slot) { std::erase(slots_, slot); }

    Platform& platform_;
    std::vector<ScreenSlot*> slots_;
    bool ended_ = false;
    int status_ = 0;
};

} // namespace ui
