#!/usr/bin/env bash
# Takes docs/screenshot.png: the main window with a page of the sample book,
# on a virtual 1280x800 screen.
#
#   scripts/screenshot.sh [BUILD_FOLDER]     (default: build/)
#
# Builds nothing: BUILD_FOLDER/bin must hold a built program (leafview, ocx/,
# skin/). Needs Xvfb (package xvfb) and python3. The screen is read from
# Xvfb's own frame-buffer file (-fbdir), so no screen-grab tool (xwd, import)
# is needed.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build}
build=$(cd "$build" && pwd)
out=$repo/docs/screenshot.png
width=${SHOT_WIDTH:-1280}
height=${SHOT_HEIGHT:-800}

if [[ ! -x $build/bin/leafview ]]; then
    echo "no program in $build/bin (build the leafview target first)" >&2
    exit 1
fi
command -v Xvfb >/dev/null || { echo "Xvfb is missing (apt-get install -y xvfb)" >&2; exit 1; }
command -v python3 >/dev/null || { echo "python3 is missing" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
viewer_pid=
cleanup() {
    [[ -n $viewer_pid ]] && kill "$viewer_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A fresh program folder: no resume file, no old export folder or settings.
cp -r "$build/bin" "$work/program"
"$work/program/leafview" --make-sample "$work/book" >/dev/null

# A free display number.
display=99
while [[ -e /tmp/.X$display-lock || -e /tmp/.X11-unix/X$display ]]; do
    display=$((display + 1))
done
mkdir -p "$work/fb"
Xvfb ":$display" -screen 0 "${width}x${height}x24" -dpi 96 -nocursor -fbdir "$work/fb" -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    [[ -e /tmp/.X11-unix/X$display ]] && break
    sleep 0.1
done

# The sample book as an archive, opened from the command line at its first volume. There is no window
# manager on the virtual screen to honour "maximised", so the window is given
# the whole screen with Qt's own geometry option.
export DISPLAY=":$display"
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS || true
"$work/program/leafview" -qwindowgeometry "${width}x${height}+0+0" "$work/book/Leafview sample.zip" >"$work/viewer.log" 2>&1 &
viewer_pid=$!

# Start-up opens the page about 400 ms after the window shows; give drawing
# and the page turn time to settle.
sleep 4
if ! kill -0 "$viewer_pid" 2>/dev/null; then
    echo "the viewer ended early:" >&2
    cat "$work/viewer.log" >&2
    exit 1
fi

mkdir -p "$(dirname "$out")"
python3 - "$work/fb/Xvfb_screen0" "$out" <<'PY'
# Xvfb's frame-buffer file is an XWD image: a big-endian header, a colour map,
# then the pixels (32 bits per pixel, little-endian BGRX at depth 24).
import struct, sys, zlib

data = open(sys.argv[1], 'rb').read()
fields = struct.unpack('>25I', data[:100])
header_size, width, height = fields[0], fields[4], fields[5]
bits_per_pixel, bytes_per_line, ncolors = fields[11], fields[12], fields[19]
if bits_per_pixel != 32:
    sys.exit('unexpected frame buffer: %d bits per pixel' % bits_per_pixel)
start = header_size + ncolors * 12
rows = []
for y in range(height):
    line = data[start + y * bytes_per_line: start + y * bytes_per_line + width * 4]
    rgb = bytearray(width * 3)
    rgb[0::3] = line[2::4]
    rgb[1::3] = line[1::4]
    rgb[2::3] = line[0::4]
    rows.append(b'\x00' + bytes(rgb))

def chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff)

png = b'\x89PNG\r\n\x1a\n'
png += chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
png += chunk(b'IDAT', zlib.compress(b''.join(rows), 9))
png += chunk(b'IEND', b'')
open(sys.argv[2], 'wb').write(png)
PY
echo "wrote $out"
