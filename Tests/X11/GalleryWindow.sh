#!/usr/bin/env bash
# The gallery in a real window, as a new user runs it: an X server (Xvfb),
# SDL's X11 driver, real clicks on the navigation links through xdotool (XTEST),
# and the window's pixels read back from the server with xwd.
#
#   GalleryWindow.sh QXGALLERY WORKDIR
#
# Exits 77 (ctest's skip code) only when Xvfb cannot start here.
set -euo pipefail

gallery="$1"
work="$2"
readonly SKIP=77
readonly NAV_WIDTH=190          # the navigation panel on the left of the window
# Pixel tests, as awk conditions on the channels r, g, b. The text is
# anti-aliased: a link is the blue ink of its glyphs, not one exact colour.
readonly NAV_COLOUR='r == 234 && g == 238 && b == 243'
readonly WHITE='r == 255 && g == 255 && b == 255'
readonly LINK_INK='b > r + 80 && b > g + 80'

fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in Xvfb xdotool xwd xwdtopnm pamcut pamdepth pamtopnm; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps installs it)"
done
rm -rf "$work"
mkdir -p "$work"

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

# Runs COMMAND every 0.2 s for up to SECONDS; true once it succeeds.
await() { # seconds command...
  local end=$((SECONDS + $1)); shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}

# --- the X server, on a display number it picks itself ----------------------
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
pids+=("$xvfb")
display_ready() { [ -s "$work/display" ] || ! kill -0 "$xvfb" 2>/dev/null; }
if ! await 20 display_ready || ! kill -0 "$xvfb" 2>/dev/null || [ ! -s "$work/display" ]; then
  echo "SKIP: Xvfb could not start here, so the gallery cannot be shown in a real window:" >&2
  tail -n 5 "$work/xvfb.log" >&2 || true
  exit $SKIP
fi
export DISPLAY=":$(head -n 1 "$work/display")"
echo "Xvfb on $DISPLAY"

# --- the gallery in its window ----------------------------------------------
# Leak checking stays off for this process alone: the X11, SDL and graphics
# driver libraries keep allocations for the life of the process that
# LeakSanitizer reports; the library's own leaks are caught by the unit tests.
SDL_VIDEODRIVER=x11 ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
  "$gallery" --window >"$work/gallery.log" 2>&1 &
app=$!
pids+=("$app")
window=""
find_window() {
  kill -0 "$app" 2>/dev/null || return 0
  window=$(xdotool search --onlyvisible --name '^QxComponents gallery$' 2>/dev/null | head -n 1)
  [ -n "$window" ]
}
await 60 find_window || true
[ -n "$window" ] || { cat "$work/gallery.log" >&2; fail "the gallery showed no window"; }
echo "gallery window $window"

# --- pixels ------------------------------------------------------------------
# The window's pixels as shown, as a plain PPM (one number per channel, as
# text): read from the screen under the window, because SDL's window may have
# a DirectColor visual whose own colour map (not installed where no window
# manager runs) would misname the colours on screen.
shot() { # name
  xwd -silent -root >"$work/$1.xwd"
  xwdtopnm "$work/$1.xwd" 2>/dev/null | pamcut -left "$left" -top "$top" -width "$width" -height "$height" |
    pamdepth 255 | pamtopnm -plain >"$work/$1.ppm"
}

# How many pixels that pass TEST lie in the columns [X0, X1) of a plain PPM,
# then one line "x y" per horizontal band of rows holding such pixels: the
# centre of the band's bounding box (bands closer than 6 rows are one).
probe() { # file test x0 x1
  awk -v X0="$3" -v X1="$4" '
    {
      for (i = 1; i <= NF; i++) {
        if (h < 4) { head[h++] = $i; continue }
        c[k++] = $i
        if (k < 3) continue
        k = 0
        x = p % head[1]; y = int(p / head[1]); p++
        r = c[0]; g = c[1]; b = c[2]
        if (x < X0 || x >= X1 || !('"$2"')) continue
        n++
        if (!(y in lo) || x < lo[y]) lo[y] = x
        if (!(y in hi) || x > hi[y]) hi[y] = x
      }
    }
    function band() { printf "%d %d\n", (left + right) / 2, (top + bottom) / 2 }
    END {
      print n + 0
      open = 0
      for (y = 0; y < head[2]; y++) {
        if (!(y in lo)) continue
        if (open && y - bottom >= 6) { band(); open = 0 }
        if (!open) { top = y; left = lo[y]; right = hi[y]; open = 1 }
        bottom = y
        if (lo[y] < left) left = lo[y]
        if (hi[y] > right) right = hi[y]
      }
      if (open) band()
    }' "$1"
}
count() { probe "$@" | head -n 1; }

# The page beside the navigation, as raw bytes to compare.
page() { # name
  pamcut -left "$NAV_WIDTH" "$work/$1.ppm" | pamtopnm >"$work/$1-page.pnm"
}

# Moves the pointer to the window's bottom right corner, off every link.
park() { xdotool mousemove --window "$window" $((width - 2)) $((height - 2)); }

# Whether the page in shot NAME is (or is not) the page in shot OTHER.
same_page() { shot "$1" && page "$1" && cmp -s "$work/$2-page.pnm" "$work/$1-page.pnm"; }
other_page() { shot "$1" && page "$1" && ! cmp -s "$work/$2-page.pnm" "$work/$1-page.pnm"; }

# The first frames can come before the form is painted.
eval "$(xdotool getwindowgeometry --shell "$window")"
left=$X top=$Y width=$WIDTH height=$HEIGHT
park
drawn() { shot start && [ "$(count "$work/start.ppm" "$NAV_COLOUR" 0 "$NAV_WIDTH")" -gt 10000 ]; }
await 30 drawn || fail "the gallery's navigation never appeared in the window"
sleep 0.5 # the page may still be painting: read it once more
shot start
[ "$(count "$work/start.ppm" "$WHITE" "$NAV_WIDTH" "$width")" -gt 100000 ] ||
  fail "the page beside the navigation is not drawn on the window colour"
mapfile -t links < <(probe "$work/start.ppm" "$LINK_INK" 0 "$NAV_WIDTH" | tail -n +2)
[ "${#links[@]}" -eq 18 ] || fail "expected the 18 page links in the navigation, found ${#links[@]}: ${links[*]}"
page start

# Clicks the Nth navigation link (1-based) through the X server, parks the
# pointer and waits until the page differs from the page in shot BEFORE.
click_link() { # n name before
  local x y
  read -r x y <<<"${links[$(($1 - 1))]}"
  xdotool mousemove --window "$window" "$x" "$y" click 1
  park
  await 20 other_page "$2" "$3" || fail "clicking link $1 at $x,$y did not change the page"
  sleep 0.5 # the page may still be painting: read it once more
  shot "$2"
  page "$2"
}

# The second link opens another page; the first brings the first page back
# exactly, so the change came from the click and not from the passing time.
click_link 2 transparency start
[ "$(count "$work/transparency.ppm" "$NAV_COLOUR" 0 "$NAV_WIDTH")" -gt 10000 ] ||
  fail "the navigation is gone after the click"
click_link 1 markup transparency
await 10 same_page markup start || fail "the first page looks different when opened again"

# --- a popup menu in the real window: the pages' context menu -------------
# A right click on the page opens it (themed); the keyboard picks the classic
# look; opened again it shows in the classic look; Escape closes it.
readonly MENU_THEMED='r == 242 && g == 242 && b == 242'
readonly MENU_CLASSIC='r == 212 && g == 208 && b == 200'
menu_shows() { shot menu && [ "$(count "$work/menu.ppm" "$1" "$NAV_WIDTH" "$width")" -gt 2000 ]; }
menu_gone() { shot menu && [ "$(count "$work/menu.ppm" "$1" "$NAV_WIDTH" "$width")" -lt 100 ]; }
xdotool mousemove --window "$window" $((NAV_WIDTH + 300)) 300 click 3
await 20 menu_shows "$MENU_THEMED" || fail "a right click on the page showed no (themed) menu"
xdotool key Down Down Return
await 20 menu_gone "$MENU_THEMED" || fail "the menu did not close when an item was chosen"
xdotool mousemove --window "$window" $((NAV_WIDTH + 300)) 300 click 3
await 20 menu_shows "$MENU_CLASSIC" || fail "the menu did not show in the classic look it chose"
xdotool key Escape
await 20 menu_gone "$MENU_CLASSIC" || fail "Escape did not close the menu"

# --- a clean exit on SIGTERM (SDL turns it into the window's quit event) ----
kill -TERM "$app"
gone() { ! kill -0 "$app" 2>/dev/null; }
await 30 gone || fail "the gallery did not quit on SIGTERM"
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || { cat "$work/gallery.log" >&2; fail "the gallery exited with status $status"; }
echo "the gallery opened two pages by real clicks, showed its context menu in both looks and quit cleanly"
