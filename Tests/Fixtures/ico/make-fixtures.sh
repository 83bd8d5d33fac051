#!/usr/bin/env bash
# Makes the icon fixtures with independent tools (icoutils' icotool, netpbm's
# pamtowinicon) and records what icotool reports about them: the listing of
# every file (*.list) and every image it extracts (*-extracted/*.png).
# Run from anywhere; writes beside itself. Needs netpbm and icoutils.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One picture per size: a two-colour check with a diagonal alpha ramp.
picture() { # size, colour1, colour2 -> $work/<size>.png and .pam
  local s=$1
  ppmpat -gingham2 -color "$2,$3" "$s" "$s" > "$work/$s.ppm"
  pgmramp -diagonal "$s" "$s" > "$work/$s.alpha.pgm"
  pnmtopng -alpha="$work/$s.alpha.pgm" "$work/$s.ppm" > "$work/$s.png"
  pamstack "$work/$s.ppm" "$work/$s.alpha.pgm" | pamtopam | sed '0,/^TUPLTYPE .*/s//TUPLTYPE RGB_ALPHA/' > "$work/$s.pam"
}
picture 16 rgb:ff/00/00 rgb:00/80/ff
picture 32 rgb:00/c0/00 rgb:ff/ff/00
picture 48 rgb:80/00/80 rgb:ff/ff/ff
picture 64 rgb:20/20/20 rgb:ff/80/00
# A few-colour opaque picture for a palette frame.
ppmpat -gingham2 -color rgb:00/00/ff,rgb:ff/ff/ff 24 24 | pnmtopng > "$work/24.png"

icotool -c -o icotool-32bit.ico "$work/16.png" "$work/32.png" "$work/48.png"
icotool -c -o icotool-raw.ico "$work/16.png" "$work/32.png" -r "$work/48.png" -r "$work/64.png"
icotool -c -b 8 -o icotool-8bit.ico "$work/24.png"
icotool -c -b 4 -o icotool-4bit.ico "$work/24.png"
cat "$work/16.pam" "$work/32.pam" "$work/48.pam" | pamtowinicon > pamtowinicon.ico
cat "$work/16.pam" "$work/64.pam" | pamtowinicon -pngthreshold 64 > pamtowinicon-png.ico

for f in *.ico; do
  icotool -l "$f" > "${f%.ico}.list"
  rm -rf "${f%.ico}-extracted"
  mkdir "${f%.ico}-extracted"
  icotool -x -o "${f%.ico}-extracted" "$f"
done
