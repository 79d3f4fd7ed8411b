#!/usr/bin/python3
"""A virtual kiosk's screen, keyboard, tablet and power, through QEMU's
monitor (QMP) on its Unix socket, and a picture of the screen held against
the shop's own picture of a screen.

  screen.py shot SOCKET OUT.png          the screen as it is now
  screen.py keys SOCKET KEY...           one chord, such as: ctrl alt f2
  screen.py click SOCKET X Y             a tap with the USB tablet at a point of the screen
  screen.py move SOCKET X Y              the pointer moved there, nothing pressed
  screen.py quit SOCKET                  QEMU ends at once: a power cut
  screen.py match SHOT REFERENCE [X Y W H]
      finds the reference on the screen and says how many of its pixels
      differ there ("12.0% differ at 119,117"), or of the part X Y W H of
      it; exit 0 when few enough do for the same screen drawn by another X
      server with its own font rendering, 1 when not.
  screen.py nearest SHOT X Y W H REFERENCE...
      which reference's part X Y W H is clearly the nearest to the screen's
      (each placed where it fits best): says its path, or nothing and exit 1
      when none is. Faint figures, such as a price greyed out, differ in too
      few pixels to fail a match, but still tell two pictures apart.
"""
import json
import socket
import sys
import tempfile

from PIL import Image, ImageChops

# A pixel differs when one of its colours is off by more than this; a
# picture matches when no more than this share of its pixels differ. Real
# Xorg and the offscreen platform draw the same fonts with a few edge pixels
# of their own, and the clock on the menu shows another time.
PIXEL_TOLERANCE = 64
SHARE_TOLERANCE = 0.04


def monitor(sock_path, *commands):
    """Sends each command to QEMU's monitor and returns the last answer."""
    conn = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    conn.settimeout(60)
    conn.connect(sock_path)
    stream = conn.makefile("rwb")

    def answer():
        while True:
            line = stream.readline()
            if not line:
                raise SystemExit("QEMU's monitor closed the connection")
            reply = json.loads(line)
            if "error" in reply:
                raise SystemExit("QEMU's monitor: %s" % reply["error"].get("desc"))
            if "return" in reply or "QMP" in reply:
                return reply

    answer()  # the greeting
    result = None
    for command in ({"execute": "qmp_capabilities"},) + commands:
        stream.write(json.dumps(command).encode() + b"\n")
        stream.flush()
        if command["execute"] == "quit":
            return None
        result = answer()
    conn.close()
    return result


def shot(sock_path, out):
    with tempfile.NamedTemporaryFile(suffix=".ppm") as ppm:
        monitor(sock_path, {"execute": "screendump", "arguments": {"filename": ppm.name}})
        picture = Image.open(ppm.name).convert("RGB")
        picture.load()
    if out:
        picture.save(out)
    return picture


def pointer(sock_path, x, y, press):
    size = shot(sock_path, None).size
    # The tablet's axes run from 0 to 32767 across the whole screen.
    events = [
        {"type": "abs", "data": {"axis": "x", "value": round(x * 32767 / (size[0] - 1))}},
        {"type": "abs", "data": {"axis": "y", "value": round(y * 32767 / (size[1] - 1))}},
    ]
    commands = [{"execute": "input-send-event", "arguments": {"events": events}}]
    for down in (True, False) if press else ():
        commands.append({"execute": "input-send-event",
                         "arguments": {"events": [{"type": "btn", "data": {"down": down, "button": "left"}}]}})
    monitor(sock_path, *commands)


def difference(screen, reference, x, y):
    """Each pixel's largest colour difference with the reference placed at x, y."""
    window = screen.crop((x, y, x + reference.width, y + reference.height))
    bands = ImageChops.difference(window, reference).split()
    return ImageChops.lighter(ImageChops.lighter(bands[0], bands[1]), bands[2])


def locate(screen, reference):
    """Where on the screen the reference fits best: coarsely on pictures a
    quarter the size, then pixel by pixel around that."""
    scale = 4
    small_screen = screen.convert("L").reduce(scale)
    small_reference = reference.convert("L").reduce(scale)
    best = None
    for y in range(small_screen.height - small_reference.height + 1):
        for x in range(small_screen.width - small_reference.width + 1):
            window = small_screen.crop((x, y, x + small_reference.width, y + small_reference.height))
            histogram = ImageChops.difference(window, small_reference).histogram()
            cost = sum(i * n for i, n in enumerate(histogram))
            if best is None or cost < best[0]:
                best = (cost, x * scale, y * scale)
    if best is None:
        return None
    candidates = []
    for y in range(max(0, best[2] - scale), min(screen.height - reference.height, best[2] + scale) + 1):
        for x in range(max(0, best[1] - scale), min(screen.width - reference.width, best[1] + scale) + 1):
            candidates.append((differing(difference(screen, reference, x, y)), x, y))
    return min(candidates)[1:]


def differing(diff):
    histogram = diff.histogram()
    return sum(histogram[PIXEL_TOLERANCE + 1:])


def match(shot_path, reference_path, part):
    screen = Image.open(shot_path).convert("RGB")
    reference = Image.open(reference_path).convert("RGB")
    place = locate(screen, reference)
    if place is None:
        print("the screen (%dx%d) is smaller than the picture (%dx%d)" % (screen.size + reference.size))
        return 1
    diff = difference(screen, reference, *place)
    if part:
        x, y, w, h = part
        diff = diff.crop((x, y, x + w, y + h))
    share = differing(diff) / (diff.width * diff.height)
    print("%.1f%% differ at %d,%d" % (100 * share, place[0], place[1]))
    return 0 if share <= SHARE_TOLERANCE else 1


def nearest(shot_path, part, reference_paths):
    screen = Image.open(shot_path).convert("RGB")
    x, y, w, h = part
    costs = []
    for path in reference_paths:
        reference = Image.open(path).convert("RGB")
        place = locate(screen, reference)
        if place is None:
            return 1
        diff = difference(screen, reference, *place).crop((x, y, x + w, y + h))
        costs.append((sum(i * n for i, n in enumerate(diff.histogram())), path))
    costs.sort()
    # Clearly: at most half the difference of the next nearest.
    if len(costs) > 1 and 2 * costs[0][0] > costs[1][0]:
        return 1
    print(costs[0][1])
    return 0


def main(argv):
    if len(argv) < 3:
        raise SystemExit(__doc__)
    what, target, rest = argv[1], argv[2], argv[3:]
    if what == "shot" and len(rest) == 1:
        shot(target, rest[0])
    elif what == "keys" and rest:
        keys = [{"type": "qcode", "data": key} for key in rest]
        monitor(target, {"execute": "send-key", "arguments": {"keys": keys, "hold-time": 100}})
    elif what in ("click", "move") and len(rest) == 2:
        pointer(target, int(rest[0]), int(rest[1]), what == "click")
    elif what == "quit" and not rest:
        monitor(target, {"execute": "quit"})
    elif what == "match" and len(rest) in (1, 5):
        return match(target, rest[0], [int(v) for v in rest[1:]])
    elif what == "nearest" and len(rest) >= 5:
        return nearest(target, [int(v) for v in rest[:4]], rest[4:])
    else:
        raise SystemExit(__doc__)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except OSError as error:
        sys.exit("QEMU's monitor: %s" % error)
