#!/usr/bin/env bash
# Regenerates the PNG test fixtures with netpbm, an encoder independent of
# ours, and the pixel references with pngtopam. The sources are small
# synthetic pictures written by the python snippet below.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

python3 - "$tmp" <<'PY'
import sys
out = sys.argv[1]
W, H = 23, 17  # odd sizes exercise packed rows and Adam7 passes

def pam(name, depth, maxval, tupltype, pixel):
    with open(f"{out}/{name}.pam", "wb") as f:
        f.write(f"P7\nWIDTH {W}\nHEIGHT {H}\nDEPTH {depth}\nMAXVAL {maxval}\nTUPLTYPE {tupltype}\nENDHDR\n".encode())
        wide = maxval > 255
        for y in range(H):
            for x in range(W):
                for v in pixel(x, y):
                    f.write(v.to_bytes(2 if wide else 1, "big"))

def grey(maxval):
    return lambda x, y: [((x * 7 + y * 13) % (maxval + 1)) if maxval < 255 else ((x * 11 + y * 29) * 257 // 3) % (maxval + 1)]

def rgb(maxval):
    return lambda x, y: [(x * 11 * maxval // W) % (maxval + 1), (y * 15 * maxval // H) % (maxval + 1), ((x + y) * 9973) % (maxval + 1)]

def alpha(maxval):
    return lambda x, y: [((x * 37 + y * 5) * 3) % (maxval + 1)]

for bits, maxval in [(1, 1), (2, 3), (4, 15), (8, 255), (16, 65535)]:
    pam(f"gray{bits}", 1, maxval, "GRAYSCALE", grey(maxval))
for bits, maxval in [(8, 255), (16, 65535)]:
    pam(f"rgb{bits}", 3, maxval, "RGB", rgb(maxval))
    pam(f"graya{bits}", 2, maxval, "GRAYSCALE_ALPHA", lambda x, y, m=maxval: grey(m)(x, y) + alpha(m)(x, y))
    pam(f"rgba{bits}", 4, maxval, "RGB_ALPHA", lambda x, y, m=maxval: rgb(m)(x, y) + alpha(m)(x, y))

# Few-colour pictures for the palette files: 2, 4, 16 and 200 colours.
def indexed(colours):
    table = [((i * 97) % 256, (i * 57 + 30) % 256, (i * 131 + 7) % 256) for i in range(colours)]
    return lambda x, y: list(table[(x * 3 + y * 5) % colours])
for colours in [2, 4, 16, 200]:
    pam(f"pal{colours}", 3, 255, "RGB", indexed(colours))
# Alpha for the palette with tRNS: a few levels, tied to the colour index.
pam("pal16alpha", 1, 255, "GRAYSCALE", lambda x, y: [[0, 255, 128, 255][(x * 3 + y * 5) % 16 % 4]])
PY

png() { # output, encoder and options...
  local name="$1"; shift
  "$@" > "$name.png"
  pngtopam -alphapam "$name.png" > "$name.pam"
}

for b in 1 2 4 8 16; do png gray$b pamtopng "$tmp/gray$b.pam"; done
for b in 8 16; do
  png rgb$b pamtopng "$tmp/rgb$b.pam"
  png graya$b pamtopng "$tmp/graya$b.pam"
  png rgba$b pamtopng "$tmp/rgba$b.pam"
done
png pal1 pnmtopng "$tmp/pal2.pam"
png pal2 pnmtopng "$tmp/pal4.pam"
png pal4 pnmtopng "$tmp/pal16.pam"
png pal8 pnmtopng "$tmp/pal200.pam"
png pal4trns pnmtopng -alpha="$tmp/pal16alpha.pam" "$tmp/pal16.pam"
png gray8trns pamtopng -transparent=gray50 "$tmp/gray8.pam"
png gray4trns pamtopng -transparent=rgb:ee/ee/ee "$tmp/gray4.pam"
png rgb8trns pamtopng -transparent=rgb:00/00/00 "$tmp/rgb8.pam"
png rgb16trns pamtopng -transparent=rgb:00/00/00 "$tmp/rgb16.pam"
png rgba8interlaced pamtopng -interlace "$tmp/rgba8.pam"
png pal8interlaced pnmtopng -interlace "$tmp/pal200.pam"
png gray2interlaced pamtopng -interlace "$tmp/gray2.pam"
png rgb8gamma pamtopng -gamma=0.45455 "$tmp/rgb8.pam"

# Hostile files, written chunk by chunk: images far larger than their data,
# and an IDAT that inflates to far more than its image needs.
python3 - <<'PY'
import struct, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
def png(name, width, height, depth, colour, idat):
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 0)
    with open(name, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", idat) + chunk(b"IEND", b""))
row = lambda width, bpp: b"\0" + b"\0" * (width * bpp)
# 65535 x 65535 RGBA: beyond the pixel limit.
png("bomb-huge.png", 65535, 65535, 8, 6, zlib.compress(row(65535, 4) * 4, 9))
# 8000 x 8000 grey: within the limits, but 64 MB cannot come out of this IDAT.
png("bomb-short.png", 8000, 8000, 8, 0, zlib.compress(row(8000, 1) * 16, 9))
# 70000 x 1: wider than any image we take.
png("bomb-wide.png", 70000, 1, 8, 0, zlib.compress(row(70000, 1), 9))
# 16 x 16 grey whose IDAT inflates to 16 MB.
png("bomb-idat.png", 16, 16, 8, 0, zlib.compress(row(16, 1) * 16 + b"\0" * (16 << 20), 9))
# Palette indexes beyond the palette (2 entries, pixels use index 5).
with open("pal-short.png", "wb") as f:
    ihdr = struct.pack(">IIBBBBB", 3, 1, 8, 3, 0, 0, 0)
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"PLTE", bytes([255, 0, 0, 0, 255, 0]))
            + chunk(b"IDAT", zlib.compress(bytes([0, 0, 1, 5])) ) + chunk(b"IEND", b""))
# Well-formed chunks around bad contents.
png("bad-depth.png", 4, 4, 3, 6, zlib.compress(row(4, 4) * 4))
png("bad-zlib.png", 4, 4, 8, 0, b"\x78\x9c" + b"\xff" * 20)
png("bad-no-palette.png", 4, 4, 8, 3, zlib.compress(row(4, 1) * 4))
PY
