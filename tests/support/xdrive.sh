# Drives the real shop on an X display from outside, as a customer's mouse
# or keyboard does: finds its windows by their titles and clicks its controls
# where the screens place them, or presses keys. Sourced by the tests that run the shop as a program;
# needs xdotool and xwininfo, DISPLAY set, and scripts/xserver.sh sourced.

# The client-area heights of the screens, in pixels: what sits below a
# window's menu bar.
declare -A client_height=(["The Plimbo Shop"]=516 ["Adult Plimbo Selection"]=352
                          ["Children's Plimbo Selection"]=369 ["Customer Invoice"]=573)

# The visible window with exactly this title, if there is one.
window_of() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}

# Waits up to $2 seconds (default 10) until a window with title $1 shows.
wait_for_window() {
  x_wait_until "${2:-10}" window_shows "$1"
}
window_shows() { [ -n "$(window_of "$1")" ]; }

# Clicks the point X, Y (pixels) of the client area of the window titled $1.
click_in() {
  local title="$1" x="$2" y="$3" id info left top height
  id="$(window_of "$title")"
  [ -n "$id" ] || { echo "no window '$title' to click in" >&2; return 1; }
  info="$(xwininfo -id "$id")"
  left="$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")"
  top="$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")"
  height="$(awk '/^ *Height:/ {print $2}' <<<"$info")"
  top=$((top + height - client_height[$title]))
  xdotool mousemove $((left + x)) $((top + y)) click 1
}

# The ids of the top-level windows that are on the screen.
viewable_windows() {
  local id
  for id in $(xwininfo -root -children | grep -o '^ *0x[0-9a-f]*'); do
    [[ "$(xwininfo -id "$id")" == *IsViewable* ]] && echo "$id"
  done
}

# From the main menu: adult shoes, the first brand, type and size, Find
# Price, Add To Shopping Cart, then "Clear - Exit" on the invoice.
order_then_clear_exit() {
  click_in "The Plimbo Shop" 388 192 &&               # Adult Plimbos
    click_in "The Plimbo Shop" 380 308 &&             # Enter
    wait_for_window "Adult Plimbo Selection" &&
    click_in "Adult Plimbo Selection" 49 106 &&       # the first brand
    click_in "Adult Plimbo Selection" 144 106 &&      # its first type
    click_in "Adult Plimbo Selection" 233 106 &&      # the first size
    click_in "Adult Plimbo Selection" 420 116 &&      # Find Price
    click_in "Adult Plimbo Selection" 380 252 &&      # Add To Shopping Cart
    wait_for_window "Customer Invoice" &&
    click_in "Customer Invoice" 316 524               # Clear - Exit
}

# Keyboard alone: keys go to whatever has the focus, as a customer types
# them. Which control has it is asked on the accessibility bus, as a screen
# reader asks (Debian's python3-pyatspi).
press() {
  local key
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.3
  done
}

# "Window title|control name" of the control with the focus in the active
# window (a list's row counts as its list).
focused_control() {
  /usr/bin/python3 - <<'PY' 2>/dev/null
import pyatspi
def focused(a):
    if a.getState().contains(pyatspi.STATE_FOCUSED) and a.getRole() != pyatspi.ROLE_LIST_ITEM:
        return a
    for child in a:
        found = focused(child) if child is not None else None
        if found:
            return found
for app in pyatspi.Registry.getDesktop(0):
    for window in app or []:
        if window is not None and window.getState().contains(pyatspi.STATE_ACTIVE):
            control = focused(window)
            print(window.name + "|" + (control.name if control else ""))
PY
}

# Presses Tab until the control "Window title|control name" has the focus.
tab_to() {
  local i
  for ((i = 0; i < 16; i++)); do
    [ "$(focused_control)" = "$1" ] && return 0
    press Tab
  done
  [ "$(focused_control)" = "$1" ]
}
