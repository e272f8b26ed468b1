# The viewer on an X server (Xvfb): started with a generated report, it
# shows the first page at whole-page zoom. The program grabs the screen once
# the page is painted and names the page's place; the check wants the frame
# and shadow black and ink on the white sheet inside the frame.
set -euo pipefail
build="$PRAVEL_TOP/build"
[ -x "$build/src/viewer/pravel" ] && [ -x "$build/tools/make_sample_qrp" ] || "$PRAVEL_TOP/scripts/build.sh" build
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" && chmod 700 "$work/home"
"$build/tools/make_sample_qrp" --pages 3 "$work/sample.qrp"

# A home of its own: the program registers its file type and keeps settings there.
HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config" \
XDG_RUNTIME_DIR="$work/home" QT_QPA_PLATFORM=xcb PRAVEL_SCREENSHOT="$work/screen.png" \
  timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" "$build/src/viewer/pravel" "$work/sample.qrp" >"$work/frame.txt"

/usr/bin/python3 - "$work/screen.png" "$work/frame.txt" <<'PY'
import sys
from PIL import Image

shot = Image.open(sys.argv[1]).convert("RGB")
words = open(sys.argv[2]).read().split()
assert words[0] == "frame", words
x, y, w, h = map(int, words[1:5])
assert w > 50 and h > 50, f"page image {w}x{h}"
assert 0 <= x and 0 <= y and x + w <= shot.width and y + h <= shot.height, "the whole page is on screen"
px = shot.load()

def dark(p):
    return sum(p) < 3 * 64

edge = [(x, y + i) for i in range(h - 2)] + [(x + i, y) for i in range(w - 2)] + \
       [(x + w - 3, y + i) for i in range(h - 2)] + [(x + i, y + h - 3) for i in range(w - 2)]
assert all(dark(px[p]) for p in edge), "black frame"
assert dark(px[x + w - 1, y + h // 2]) and dark(px[x + w // 2, y + h - 1]), "shadow"
inside = [px[i, j] for j in range(y + 1, y + h - 3) for i in range(x + 1, x + w - 3)]
white = sum(1 for p in inside if p == (255, 255, 255))
ink = sum(1 for p in inside if sum(p) < 3 * 200)
share = ink / len(inside)
print(f"page {w}x{h} at {x},{y}: {share:.1%} ink, {white / len(inside):.1%} white")
assert white > len(inside) // 2, "a white sheet"
assert 0.002 < share < 0.5, "ink inside the frame"
PY
