#!/usr/bin/env python3
"""The browser view as a customer sees it, in a real browser: Debian's
Chromium, headless, driven through its DevTools protocol, looking at the
noVNC canvas pixel by pixel. The view's script runs in a terminal of its own
(a pseudo-terminal), as someone starts it and stops it with Ctrl+C.

    browser_view.py kiosk   SCRIPTS PROGRAM KIOSK SAMPLE   the kiosk in the browser, then Ctrl+C
    browser_view.py two     SCRIPTS PROGRAM KIOSK SAMPLE   two runs at once, each its own shop
    browser_view.py broken  SCRIPTS PROGRAM KIOSK SAMPLE   a part that fails is said, nothing is left
    browser_view.py refused SCRIPTS PROGRAM KIOSK SAMPLE   a refused price list: its message, answered in the browser
"""

import base64
import json
import os
import pty
import re
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

import websocket

# Where the shop's screens sit on the view's 800 x 600 display, in pixels.
OPTION_IN_MENU = (168, 168)          # "Adult Plimbos", from the menu's client area
ENTER_FROM_OPTION = (212, 140)       # the middle of Enter, from the option's corner
ADULT_CLIENT = (130, 118)            # the adult screen's client area, placed by the shop
ADULT_EMPTY_SPOT = (630, 368)        # the adult screen's own background, right of its buttons
ADULT_TITLE_SPOT = (300, 88)         # the adult screen's title bar, above its menu bar
MENU_BLUE = (128, 128, 255)
WINDOW_GREY = (239, 239, 239)


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def near(colour, expected, tolerance=24):
    """The viewer may send colours a little off (lossy encodings)."""
    return colour is not None and all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def wait_for(what, condition, seconds=30, page=None):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    if page:
        # What the browser showed instead, for whoever reads the failure.
        shot = os.path.join(tempfile.gettempdir(), "browser_view-%d.png" % os.getpid())
        with open(shot, "wb") as out:
            out.write(base64.b64decode(page.call("Page.captureScreenshot")["data"]))
        what += " (the page is in %s; at the adult screen's spot: %s)" % (shot, page.pixel(*ADULT_EMPTY_SPOT))
    fail("timed out waiting for " + what)


class Run:
    """The view's script in a terminal of its own."""

    def __init__(self, argv, env):
        # Every process the run starts carries this mark in its environment.
        self.mark = "PLIMBO_BROWSER_TEST_RUN=%d.%d" % (os.getpid(), time.monotonic_ns())
        env = dict(env, PLIMBO_BROWSER_TEST_RUN=self.mark.split("=", 1)[1])
        self.pid, self.terminal = pty.fork()
        if self.pid == 0:
            os.execvpe(argv[0], argv, env)
        self.output = b""
        self.status = None

    def _drain(self, seconds):
        ready, _, _ = select.select([self.terminal], [], [], seconds)
        if ready:
            try:
                self.output += os.read(self.terminal, 65536)
            except OSError:
                pass

    def text(self):
        return self.output.decode(errors="replace")

    def address(self, seconds=60):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            found = re.search(r"http://localhost:\d+/vnc\.html\S*", self.text())
            if found:
                return found.group(0)
            if self.finished():
                break
            self._drain(0.1)
        fail("no address printed; the view said:\n" + self.text())

    def finished(self):
        if self.status is None:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                self.status = os.waitstatus_to_exitcode(status)
        return self.status is not None

    def wait(self, seconds=30):
        deadline = time.monotonic() + seconds
        while not self.finished():
            if time.monotonic() > deadline:
                fail("the view did not end; it said:\n" + self.text())
            self._drain(0.1)
        self._drain(0)
        return self.status

    def control_c(self):
        """What a terminal does on Ctrl+C: SIGINT to its foreground processes."""
        os.write(self.terminal, b"\x03")

    def marks(self, pid):
        """Whether a process belongs to this run."""
        try:
            with open("/proc/%s/environ" % pid, "rb") as environ:
                return self.mark.encode() in environ.read().split(b"\0")
        except OSError:
            return False

    def processes(self):
        """The processes of this run still running: {pid: command}."""
        found = {}
        for pid in filter(str.isdigit, os.listdir("/proc")):
            if not self.marks(pid):
                continue
            try:
                with open("/proc/%s/stat" % pid) as stat:
                    fields = stat.read()
            except OSError:
                continue
            if fields.rsplit(")", 1)[1].split()[0] != "Z":
                found[pid] = fields[fields.index("(") + 1:fields.rindex(")")]
        return found

    def left_behind(self):
        return " ".join("%s %s" % item for item in self.processes().items())

    def kill(self):
        """Whatever happened, nothing of this run outlives the test."""
        for pid in self.processes():
            try:
                os.kill(int(pid), signal.SIGKILL)
            except OSError:
                pass
        if not self.finished():
            self.wait(10)


class Chromium:
    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="plimbo-chromium-")
        self.log = open(os.path.join(self.profile, "chromium.log"), "w")
        self.process = subprocess.Popen(
            ["chromium", "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--remote-allow-origins=*", "--user-data-dir=" + self.profile, "--remote-debugging-port=0",
             # Every page draws as if it were the one in front: a page in the
             # background must not look unchanged only because it is not drawn.
             "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
             "--disable-backgrounding-occluded-windows",
             "--window-size=1000,700", "about:blank"],
            stdout=self.log, stderr=self.log)
        active = os.path.join(self.profile, "DevToolsActivePort")
        wait_for("Chromium's DevTools port", lambda: os.path.exists(active) and open(active).read().strip())
        self.port = int(open(active).read().split()[0])

    def open(self, url):
        request = urllib.request.Request("http://127.0.0.1:%d/json/new?%s" % (self.port, urllib.parse.quote(url, safe="")),
                                         method="PUT")
        with urllib.request.urlopen(request, timeout=30) as answer:
            return Page(json.load(answer)["webSocketDebuggerUrl"])

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        shutil.rmtree(self.profile, ignore_errors=True)


class Page:
    def __init__(self, debugger_url):
        self.socket = websocket.create_connection(debugger_url, timeout=60)
        self.calls = 0
        self.call("Emulation.setFocusEmulationEnabled", enabled=True)

    def call(self, method, **params):
        self.calls += 1
        self.socket.send(json.dumps({"id": self.calls, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.calls:
                if "error" in message:
                    fail("%s: %s" % (method, message["error"]))
                return message["result"]

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True)
        if "exceptionDetails" in result:
            fail("in the page: %s" % result["exceptionDetails"])
        return result["result"].get("value")

    # The remote screen: the viewer's canvas holds it at the display's own size.
    CANVAS = "document.querySelector('#noVNC_container canvas')"

    def screen(self):
        return self.evaluate("""(() => {
            const c = %s;
            if (!c || c.width < 100) return null;
            const r = c.getBoundingClientRect();
            return {width: c.width, height: c.height, left: r.left, top: r.top, shownWidth: r.width,
                    shownHeight: r.height, innerWidth: innerWidth, innerHeight: innerHeight,
                    scrollWidth: document.documentElement.scrollWidth,
                    scrollHeight: document.documentElement.scrollHeight};
        })()""" % self.CANVAS)

    def pixel(self, x, y):
        return self.evaluate("""(() => {
            const c = %s;
            if (!c) return null;
            const d = c.getContext('2d').getImageData(%d, %d, 1, 1).data;
            return [d[0], d[1], d[2]];
        })()""" % (self.CANVAS, x, y))

    def first_yellow_bar(self):
        """The top-left corner of the menu's first yellow option bar."""
        return self.evaluate("""(() => {
            const c = %s;
            if (!c || c.width < 100) return null;
            const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
            const yellow = (x, y) => { const i = 4 * (y * c.width + x);
                                       return d[i] > 200 && d[i + 1] > 200 && d[i + 2] < 90; };
            for (let y = 0; y < c.height; y++) {
                let count = 0, first = -1;
                for (let x = 0; x < c.width; x++)
                    if (yellow(x, y)) { count++; if (first < 0) first = x; }
                if (count > 300) return [first, y];
            }
            return null;
        })()""" % self.CANVAS)

    def click(self, x, y):
        """A click at a point of the remote screen, where the page shows it."""
        s = self.screen()
        px = s["left"] + (x + 0.5) * s["shownWidth"] / s["width"]
        py = s["top"] + (y + 0.5) * s["shownHeight"] / s["height"]
        self.call("Input.dispatchMouseEvent", type="mouseMoved", x=px, y=py)
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=px, y=py, button="left", clickCount=1)

    def shows_menu(self):
        return self.first_yellow_bar()

    def grey_area(self):
        """Where the window grey shows, [left, top, right, bottom], if in more than a few pixels."""
        return self.evaluate("""(() => {
            const c = %s;
            if (!c || c.width < 100) return null;
            const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
            let n = 0, l = c.width, t = c.height, r = -1, b = -1;
            for (let y = 0; y < c.height; y++)
                for (let x = 0; x < c.width; x++) {
                    const i = 4 * (y * c.width + x);
                    if (Math.abs(d[i] - %d) < 8 && Math.abs(d[i + 1] - %d) < 8 && Math.abs(d[i + 2] - %d) < 8) {
                        n++; l = Math.min(l, x); t = Math.min(t, y); r = Math.max(r, x); b = Math.max(b, y);
                    }
                }
            return n > 2000 ? [l, t, r, b] : null;
        })()""" % ((self.CANVAS,) + WINDOW_GREY))


    def region(self, x, y, width, height):
        """The pixels of part of the remote screen, as one comparable string."""
        return self.evaluate("""(() => {
            const c = %s;
            return c ? Array.from(c.getContext('2d').getImageData(%d, %d, %d, %d).data).join(',') : null;
        })()""" % (self.CANVAS, x, y, width, height))

    def open_adult_screen(self):
        self.call("Page.bringToFront")
        bar = wait_for("the main menu in the browser", self.shows_menu)
        # Enter only once the option shows it was chosen (its mark and focus
        # frame): on a loaded machine the viewer may still be settling when
        # the first click is sent, and Enter with no option chosen opens nothing.
        option = (bar[0], bar[1], 120, 34)
        before = self.region(*option)
        for _ in range(3):
            self.click(bar[0] + 40, bar[1] + 20)
            deadline = time.monotonic() + 3
            while self.region(*option) == before and time.monotonic() < deadline:
                time.sleep(0.05)
            if self.region(*option) != before:
                break
        else:
            fail("three clicks on Adult Plimbos changed nothing in the browser")
        self.click(bar[0] + ENTER_FROM_OPTION[0], bar[1] + ENTER_FROM_OPTION[1])

    def shows_adult_screen(self):
        return near(self.pixel(*ADULT_EMPTY_SPOT), WINDOW_GREY, 10)


def start(scripts, program, kiosk, sample, extra_env=None, stale_display=False):
    env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"):
        env.pop(name, None)
    env["PLIMBO_DRIVE_A"] = sample
    env["PLIMBO_WEB_PORT"] = "16080"
    if stale_display:
        env["DISPLAY"] = ":4242"  # as a remote shell often brings along
    env.update(extra_env or {})
    return Run(["bash", os.path.join(scripts, "open-shop.sh"), program, kiosk], env)


def listeners_of(run):
    """The TCP sockets the run's processes listen on: (address, command)."""
    pids = set(run.processes())
    out = subprocess.run(["ss", "-Hltnp"], capture_output=True, text=True).stdout
    found = []
    for line in out.splitlines():
        if pids & set(re.findall(r"pid=(\d+)", line)):
            found.append((line.split()[3], re.search(r'\(\("([^"]+)"', line).group(1)))
    return found


def still_serves(run, url):
    """Whether the run's viewer port still answers for this run. Once it is
    free, another run started at the same time (another clone's tests) may
    take it: that one does not count."""
    port = int(re.search(r":(\d+)/", url).group(1))
    try:
        socket.create_connection(("127.0.0.1", port), timeout=2).close()
    except OSError:
        return False
    out = subprocess.run(["ss", "-Hltnp", "sport = :%d" % port], capture_output=True, text=True).stdout
    holders = set(re.findall(r"pid=(\d+)", out))
    return not holders or any(run.marks(pid) for pid in holders)


def test_kiosk(scripts, program, kiosk, sample):
    chromium = Chromium()
    run = start(scripts, program, kiosk, sample, stale_display=True)
    try:
        url = run.address()
        if "The display :4242 does not answer" not in run.text():
            fail("a stale DISPLAY was not said:\n" + run.text())
        for address, command in listeners_of(run):
            if not address.startswith("127.0.0.1:"):
                fail("%s listens on %s" % (command, address))
        if [command for _, command in listeners_of(run)] != ["websockify"]:
            fail("expected only the viewer to listen, found %s" % listeners_of(run))
        page = chromium.open(url)
        wait_for("the main menu in the browser", page.shows_menu)
        if "XDG_RUNTIME_DIR" in run.text():
            fail("the session had no runtime folder of its own:\n" + run.text())
        # Scaled to the browser window: as large as the window lets it be, no scroll bars.
        def scaled():
            s = page.screen()
            return s if (abs(s["shownWidth"] - s["innerWidth"]) <= 2 or abs(s["shownHeight"] - s["innerHeight"]) <= 2) \
                and s["scrollWidth"] <= s["innerWidth"] and s["scrollHeight"] <= s["innerHeight"] else None
        s = wait_for("the picture scaled to the browser window (%s)" % page.screen(), scaled, 10)
        if (s["width"], s["height"]) != (800, 600):
            fail("the display is %dx%d, not 800x600" % (s["width"], s["height"]))
        title_before = page.pixel(*ADULT_TITLE_SPOT)
        if not near(page.pixel(*ADULT_EMPTY_SPOT), MENU_BLUE):
            fail("the menu is not where the adult screen will open: %s" % page.pixel(*ADULT_EMPTY_SPOT))
        page.open_adult_screen()
        wait_for("the adult screen in the browser", page.shows_adult_screen, page=page)
        # It comes up with the window manager's frame: a title bar where the
        # menu's blue was, above the screen's own menu bar.
        title = page.pixel(*ADULT_TITLE_SPOT)
        if near(title, MENU_BLUE) or near(title, WINDOW_GREY, 6) or title == title_before:
            fail("no title bar above the adult screen: %s" % title)
        print("the kiosk shows in the browser at %s, scaled to the window; Adult Plimbos and Enter opened "
              "the framed adult screen" % url)

        # Ctrl+C in the terminal stops everything.
        run.control_c()
        status = run.wait()
        if status != 130:
            fail("Ctrl+C ended the view with status %s:\n%s" % (status, run.text()))
        time.sleep(0.5)
        if run.left_behind():
            fail("left running after Ctrl+C: %s" % run.left_behind())
        if still_serves(run, url):
            fail("the viewer's port still answers after Ctrl+C")
        print("Ctrl+C stopped everything")
    finally:
        run.kill()
        chromium.close()


def test_two(scripts, program, kiosk, sample):
    chromium = Chromium()
    runs = [start(scripts, program, kiosk, sample), start(scripts, program, kiosk, sample)]
    try:
        urls = [run.address() for run in runs]
        if urls[0] == urls[1]:
            fail("both runs print %s" % urls[0])
        pages = [chromium.open(url) for url in urls]
        for page in pages:
            wait_for("the main menu in both browsers", page.shows_menu)
        # What is done in one browser shows in that one only.
        for acting, other in ((0, 1), (1, 0)):
            pages[acting].open_adult_screen()
            wait_for("the adult screen in browser %d" % (acting + 1), pages[acting].shows_adult_screen,
                     page=pages[acting])
            if acting == 0:
                time.sleep(1)
                pages[other].call("Page.bringToFront")
                time.sleep(0.5)
                if pages[other].shows_adult_screen():
                    fail("the adult screen opened in the first browser shows in the second: %s and %s" % tuple(urls))
        print("two runs at once: %s and %s, each showing its own shop" % tuple(urls))
        for run in runs:
            run.control_c()
        for run in runs:
            status = run.wait()
            if status != 130 or run.left_behind():
                fail("a run did not stop cleanly (status %s, left %s): %s" % (status, run.left_behind(), run.text()))
    finally:
        for run in runs:
            run.kill()
        chromium.close()


def test_broken(scripts, program, kiosk, sample):
    shims = tempfile.mkdtemp(prefix="plimbo-shims-")
    try:
        with open(os.path.join(shims, "x11vnc"), "w") as shim:
            shim.write("#!/bin/sh\necho 'x11vnc: cannot serve the display (as the test asks)' >&2\nexit 1\n")
        os.chmod(os.path.join(shims, "x11vnc"), 0o755)
        run = start(scripts, program, kiosk, sample, {"PATH": shims + os.pathsep + os.environ["PATH"]})
        status = run.wait(60)
        said = run.text()
        if status != 1 or "x11vnc did not start" not in said or "cannot serve the display (as the test asks)" not in said:
            fail("a VNC server that fails: status %s, said:\n%s" % (status, said))
        if run.left_behind():
            fail("left running after x11vnc failed: %s" % run.left_behind())
        print("a VNC server that fails is said in its own words; status 1; nothing left running")
    finally:
        shutil.rmtree(shims, ignore_errors=True)


def test_refused(scripts, program, kiosk, sample):
    drive = tempfile.mkdtemp(prefix="plimbo-refused-")
    with open(os.path.join(drive, "PlimboPrice.txt"), "wb") as broken:
        broken.write(b'"Adult","Nike    ","A",1\r\n')
    chromium = Chromium()
    run = start(scripts, program, kiosk, drive)
    try:
        url = run.address(30)
        page = chromium.open(url)
        box = wait_for("the shop's message in the browser", page.grey_area, page=page)
        if page.shows_menu():
            fail("a menu shows beside the message about a refused price list")
        if os.environ.get("PLIMBO_BROWSER_SHOT"):  # to look at what the browser showed
            with open(os.environ["PLIMBO_BROWSER_SHOT"], "wb") as out:
                out.write(base64.b64decode(page.call("Page.captureScreenshot")["data"]))
        # Answered in the browser: a click on its OK, at the message's bottom right.
        # A click sent while the viewer is still settling may be lost: up to three.
        for _ in range(3):
            page.click(box[2] - 45, box[3] - 22)
            deadline = time.monotonic() + 5
            while page.grey_area() and time.monotonic() < deadline:
                time.sleep(0.1)
            if not page.grey_area():
                break
        wait_for("the message to go from the browser", lambda: not page.grey_area(), 5, page=page)
        wait_for("the session to take the answer", lambda: "refused" in run.text() or run._drain(0.1))
        print("a refused price list: the address came at once (%s), the message showed in the browser and "
              "a click on its OK there answered it" % url)
        run.control_c()
        if run.wait() != 130 or run.left_behind():
            fail("the view did not stop cleanly: %s" % run.text())
    finally:
        run.kill()
        chromium.close()
        shutil.rmtree(drive, ignore_errors=True)


if __name__ == "__main__":
    test, scripts, program, kiosk, sample = sys.argv[1:6]
    {"kiosk": test_kiosk, "two": test_two, "broken": test_broken, "refused": test_refused}[test](scripts, program, kiosk, sample)
