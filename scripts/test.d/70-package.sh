# The Debian package: made from the unit-test build (stripped; a Release
# tree of its own when that is missing), checked with
# lintian and the desktop validators, unpacked with dpkg -x into a temporary
# root (a debootstrap chroot would not fit the time) and run from there.
set -euo pipefail
top=$PRAVEL_TOP
if [[ -f $top/build/CMakeCache.txt ]]; then
  tree=build
  deb=$("$top/scripts/package.sh" --existing build)
else
  tree=build-package
  deb=$("$top/scripts/package.sh" build-package)
fi
echo "package: ${deb##*/}, $(($(stat -c %s "$deb") / 1024)) KiB"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# lintian: errors fail the step; warnings and notes are listed.
lintian --fail-on error --tag-display-limit 0 "$deb" | tee "$work/lintian.txt"
echo "lintian: $(grep -c '^E:' "$work/lintian.txt" || true) errors, $(grep -c '^W:' "$work/lintian.txt" || true) warnings"

root=$work/root
dpkg -x "$deb" "$root"
share=$root/usr/share
desktop-file-validate "$share/applications/pravel.desktop"
appstreamcli validate --no-net "$share/metainfo/pl.brask.pravel.metainfo.xml"
for size in 16 22 24 32 48 64 128 256; do
  for icon in apps/pravel mimetypes/application-x-qrp; do
    [[ -s $share/icons/hicolor/${size}x$size/$icon.png ]] || { echo "missing icon ${size}x$size/$icon.png"; exit 1; }
  done
done

# Every library of the installed programs is found on this system.
for program in usr/bin/pravel usr/bin/qrptool usr/libexec/pravel/qrptool-render usr/libexec/pravel/qrptool-print; do
  [[ -x $root/$program ]] || { echo "missing $program"; exit 1; }
  if ldd "$root/$program" | grep 'not found'; then echo "$program: libraries missing"; exit 1; fi
done

# The installed file type: a report is known by its name and, renamed, by its header.
"$top/$tree/tools/make_sample_qrp" --pages 3 --compress "$work/sample.qrp"
cp "$work/sample.qrp" "$work/sample-without-extension"
mkdir -p "$work/xdg/mime"
cp -r "$share/mime/packages" "$work/xdg/mime/"
XDG_DATA_DIRS=$work/xdg update-mime-database "$work/xdg/mime"
for file in sample.qrp sample-without-extension; do
  type=$(XDG_DATA_HOME=$work/none XDG_DATA_DIRS=$work/xdg gio info -a standard::content-type "$work/$file" |
         sed -n 's/^ *standard::content-type: //p')
  [[ $type == application/x-qrp ]] || { echo "$file: type $type"; exit 1; }
done

# The programs from the installed paths; qrptool finds its printing companion in libexec.
export PATH=$root/usr/bin:$PATH
[[ $(command -v qrptool) == "$root/usr/bin/qrptool" ]]
version=$(dpkg-deb -f "$deb" Version)
[[ $(qrptool --version) == "qrptool $version" && $(pravel --version) == "pravel $version" ]]
qrptool info "$work/sample.qrp" | sed -n 1,3p
qrptool render "$work/sample.qrp" --page 1 -o "$work/page.png"
qrptool render "$work/sample.qrp" -o "$work/sample.pdf"
[[ -s $work/page.png && -s $work/sample.pdf ]]
set +e
qrptool printers >/dev/null 2>"$work/printers.txt"
set -e
if grep -q 'cannot start' "$work/printers.txt"; then cat "$work/printers.txt"; exit 1; fi

# The installed viewer finds the installed registration and writes none of its own.
mkdir -m 700 "$work/home"
HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config \
XDG_RUNTIME_DIR=$work/home XDG_DATA_DIRS=$share QT_QPA_PLATFORM=offscreen PRAVEL_FIRST_PAINT=1 \
  timeout 60 pravel "$work/sample.qrp"
for file in .local/share/applications/pravel.desktop .local/share/mime/packages/pravel.xml .config/mimeapps.list; do
  [[ ! -e $work/home/$file ]] || { echo "the viewer wrote $file"; exit 1; }
done

# The thumbnailer entry's command line as a file manager runs it.
if qrptool thumbnail --help >/dev/null 2>&1; then
  line=$(sed -n 's/^Exec=//p' "$share/thumbnailers/pravel.thumbnailer")
  line=${line//%s/128}
  line=${line//%i/$work/sample.qrp}
  line=${line//%o/$work/thumb.png}
  read -r -a command <<<"$line"
  "${command[@]}"
  /usr/bin/python3 -c 'import sys; from PIL import Image; size = Image.open(sys.argv[1]).size; print("thumbnail", size); assert max(size) == 128, size' "$work/thumb.png"
  # A damaged file ends within 2 s; refused, it leaves nothing behind.
  for file in "$top"/../shared/corpus/qrp/bad-*.qrp; do
    [[ -f $file ]] || continue
    rm -f "$work/bad.png"
    set +e
    timeout 2 qrptool thumbnail -s 128 "$file" "$work/bad.png" 2>/dev/null
    status=$?
    set -e
    if ((status != 0 && status != 1)) || { ((status == 1)) && [[ -e $work/bad.png ]]; }; then
      echo "thumbnail of ${file##*/}: exit $status"; exit 1
    fi
  done
fi

echo "package installed and run from $root"
