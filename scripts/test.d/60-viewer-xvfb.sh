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

# Smoothing: on (the default) the sample's text is grey-edged while its
# table lines stay hard; off ("Wygładzanie" unchecked) the page looks as
# qrptool render draws it at that size.
mkdir -p "$work/home/.config/Brask"
printf '[View]\nSmoothing=0\n' >"$work/home/.config/Brask/Pravel.conf"
HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config" \
XDG_RUNTIME_DIR="$work/home" QT_QPA_PLATFORM=xcb PRAVEL_SCREENSHOT="$work/bitmap.png" \
  timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" "$build/src/viewer/pravel" "$work/sample.qrp" >"$work/bitmap.txt"
read -r _ _ _ bw _ <"$work/bitmap.txt"
"$build/src/cli/qrptool" render "$work/sample.qrp" --page 1 --width "$bw" -o "$work/render.png"
rm -f "$work/home/.config/Brask/Pravel.conf"

/usr/bin/python3 - "$work/screen.png" "$work/frame.txt" "$work/bitmap.png" "$work/bitmap.txt" "$work/render.png" <<'PY'
import sys
from PIL import Image

def page(shot, frame):
    words = open(frame).read().split()
    x, y, w, h = map(int, words[1:5])
    return Image.open(shot).convert("RGB").crop((x + 1, y + 1, x + w - 3, y + h - 3))

smooth = page(sys.argv[1], sys.argv[2])
bitmap = page(sys.argv[3], sys.argv[4])
render = Image.open(sys.argv[5]).convert("RGB")
w, h = smooth.size
band = (0xD0, 0xE0, 0xF0)  # the header band's fill

def greys(img, box):
    """Text edge pixels: between the ink and the ground they stand on."""
    px = img.load()
    n = 0
    for j in range(box[1], box[3]):
        for i in range(box[0], box[2]):
            p = px[i, j]
            if p not in (band, (255, 255, 255), (0x40, 0x40, 0x40)) and 40 < sum(p) / 3 < 190:
                n += 1
    return n

header = (int(w * 0.08), int(h * 0.055), int(w * 0.9), int(h * 0.12))
edges = greys(smooth, header)
print(f"text edge pixels in the header: smoothed {edges}, bitmap {greys(bitmap, header)}")
assert edges > 30, "smoothed text has grey edges"

# Below the header only the table lines: ground, band or the pen's colour, nothing between.
px = smooth.load()
column = [px[w // 2, j] for j in range(int(h * 0.25), int(h * 0.9))]
odd = [p for p in column if p not in ((255, 255, 255), (0x40, 0x40, 0x40))]
assert any(p == (0x40, 0x40, 0x40) for p in column), "table lines on the page"
assert not odd, f"table lines stay hard: {odd[:5]}"

# Off: the page as qrptool render draws it. The sheet's height may differ
# from the rendered one by a pixel or two, so pixels are matched at the same
# place in proportion, give or take one pixel.
rw, rh = render.size
a, b = bitmap.load(), render.load()

def near(p, i, j):
    ci, cj = round((i + 1) * rw / (w + 4)), round((j + 1) * rh / (h + 4))
    return any(max(abs(p[k] - b[x, y][k]) for k in range(3)) <= 64
               for x in range(max(0, ci - 1), min(rw, ci + 2)) for y in range(max(0, cj - 1), min(rh, cj + 2)))

differ = sum(1 for j in range(h) for i in range(w) if not near(a[i, j], i, j))
share = differ / (w * h)
print(f"bitmap look against qrptool render: {share:.2%} of pixels differ")
assert share < 0.02, "the bitmap look is the rendered page"
PY

# Started without a file it shows the start page: "Pravel" in red at the top
# of the text block, above the black version line.
HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config" \
XDG_RUNTIME_DIR="$work/home" QT_QPA_PLATFORM=xcb PRAVEL_SCREENSHOT="$work/start.png" \
  timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" "$build/src/viewer/pravel" >"$work/start.txt"

/usr/bin/python3 - "$work/start.png" "$work/start.txt" <<'PY'
import sys
from PIL import Image

shot = Image.open(sys.argv[1]).convert("RGB")
words = open(sys.argv[2]).read().split()
assert words[0] == "frame", words
x, y, w, h = map(int, words[1:5])
assert w > 200 and h > 200, f"page image {w}x{h}"
px = shot.load()

def red(p):
    return p[0] >= 150 and p[1] <= 90 and p[2] <= 90

def count(top, bottom, test):
    """Pixels passing `test` between two heights on the page (0.1 mm), middle half across."""
    y0 = max(0, y + int(h * top / 2970))
    y1 = min(shot.height, y + int(h * bottom / 2970))
    x0, x1 = max(0, x + w // 4), min(shot.width, x + 3 * w // 4)
    return sum(1 for j in range(y0, y1) for i in range(x0, x1) if test(px[i, j]))

title = count(679, 790, red)
above = count(300, 670, red)
version = count(820, 882, lambda p: sum(p) < 3 * 100)
print(f"start page {w}x{h} at {x},{y}: {title} red pixels in the title, {version} dark in the version line")
assert title > 100, "the title is red"
assert above == 0, "nothing red above the title"
assert count(820, 882, red) == 0 and version > 20, "the version line is dark"
PY
