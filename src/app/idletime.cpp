// plimbo-idle: how long nobody has touched the X display (no key, pointer or
// touch input), in whole milliseconds, as the X server's screen-saver
// extension counts it. The kiosk session reads it to start the shop afresh
// once a customer has walked away.
//
// Exit status 0 with the figure on standard output; 2 when no display can
// be opened; 1 when the display has no screen-saver extension.

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

#include <cstdio>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "plimbo-idle: no display to ask\n");
        return 2;
    }
    int eventBase = 0, errorBase = 0;
    XScreenSaverInfo* info = XScreenSaverQueryExtension(display, &eventBase, &errorBase) ? XScreenSaverAllocInfo() : nullptr;
    if (!info || !XScreenSaverQueryInfo(display, DefaultRootWindow(display), info)) {
        std::fprintf(stderr, "plimbo-idle: the display does not say how long it has been idle (no MIT-SCREEN-SAVER)\n");
        if (info)
            XFree(info);
        XCloseDisplay(display);
        return 1;
    }
    std::printf("%lu\n", info->idle);
    XFree(info);
    XCloseDisplay(display);
    return 0;
}
