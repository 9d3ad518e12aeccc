#!/usr/bin/env bash
# The Debian package end to end: built with cpack from the build tree,
# checked with lintian, unpacked with dpkg-deb into a scratch root (not
# installed), then the unpacked demo run for a few seconds from another
# directory under Xvfb, finding its Data/ from its own path, and the
# unpacked capture program making one still there.
#
#   package_test.sh <build directory> <with-xvfb.sh>
set -u
build="$1"
xvfb="$2"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
    echo "package_test: $*" >&2
    failures=$((failures + 1))
}

# -- Build and unpack ----------------------------------------------------------
if ! (cd "$tmp" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/pkg") >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log" >&2
    echo "package_test: cpack failed" >&2
    exit 1
fi
deb="$(ls "$tmp"/pkg/*.deb)"
# Debian's own checks: no error and no warning (lintian warns when run as root).
lintian --fail-on error,warning "$deb" >"$tmp/lintian.log" 2>&1 || fail "lintian: $(grep -v '^running with root' "$tmp/lintian.log")"
dpkg-deb -f "$deb" Section | grep -qx games || fail "section is not games"
dpkg-deb -f "$deb" Depends | grep -q libsdl2 || fail "the dependencies lack the SDL library: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -x "$deb" "$tmp/root"
root="$tmp/root/usr"

# -- The files, where Debian puts a game's ---------------------------------------
for f in games/vindelkrok games/vindelkrok-capture \
         share/games/vindelkrok/Data/damp.xm share/games/vindelkrok/Data/vindelbild.bmp \
         share/games/vindelkrok/Data/mekk1.bmp share/games/vindelkrok/Data/mekkmap2.bmp \
         share/games/vindelkrok/Data/rongert2.3DS share/games/vindelkrok/Data/rongert.bmp \
         share/applications/vindelkrok.desktop share/icons/hicolor/128x128/apps/vindelkrok.png \
         share/man/man6/vindelkrok.6.gz share/man/man6/vindelkrok-capture.6.gz; do
    [ -s "$root/$f" ] || fail "missing /usr/$f"
done
[ -x "$root/games/vindelkrok" ] || fail "the demo is not executable"
file "$root/share/icons/hicolor/128x128/apps/vindelkrok.png" | grep -q "PNG image data, 128 x 128" || fail "the icon is not a 128x128 PNG"
grep -qx "Exec=vindelkrok" "$root/share/applications/vindelkrok.desktop" || fail "the desktop entry does not run vindelkrok"
grep -qx "Icon=vindelkrok" "$root/share/applications/vindelkrok.desktop" || fail "the desktop entry names no icon"
# Docks match the window to the entry by the class the window carries.
grep -qx "StartupWMClass=Vindelkrok" "$root/share/applications/vindelkrok.desktop" || fail "the desktop entry names no window class"
for page in vindelkrok vindelkrok-capture; do
    gzip -dc "$root/share/man/man6/$page.6.gz" | grep -q "^\.TH ${page^^} 6" || fail "$page.6.gz is not a section 6 page"
done

# -- The demo from another directory -----------------------------------------------
mkdir "$tmp/elsewhere"
cd "$tmp/elsewhere"
"$xvfb" bash -c 'SDL_AUDIODRIVER=dummy "$1" --windowed >demo.log 2>&1 & pid=$!
                 sleep 6; kill -TERM $pid; wait $pid' run "$root/games/vindelkrok"
status=$?
[ $status -eq 0 ] || fail "the unpacked demo ended with status $status"
grep -q "^fps: " demo.log || fail "the unpacked demo counted no frames"
grep -q "^File not found" demo.log && fail "the unpacked demo did not find its Data/"
[ "$(grep -v "^nu d" demo.log | tail -n 1)" = "closing fmod" ] || fail "the unpacked demo did not end in order"
[ -e Data ] && fail "the demo made a Data/ in the working directory"

# -- The capture program: one still, its log beside it ------------------------------
env -u DISPLAY LIBGL_ALWAYS_SOFTWARE=1 "$root/games/vindelkrok-capture" --stills 2.5 --size 160x120 \
    --output shots >capture.out 2>capture.err
status=$?
[ $status -eq 0 ] || fail "the unpacked capture program ended with status $status: $(cat capture.err)"
[ -s shots/still-2.5.png ] || fail "no still in $PWD/shots"
grep -q "^Registering hander" shots/log.txt || fail "the demo's log is not in shots/log.txt"
grep -q "^nu d" shots/log.txt || fail "the images' goodbye lines are not in shots/log.txt"
grep -qv "^rendering with \|^wrote 1 stills" capture.out && fail "the terminal shows more than the capture's own lines: $(cat capture.out)"

if [ $failures -gt 0 ]; then
    echo "--- demo.log" >&2
    cat demo.log >&2
    exit 1
fi
echo "package_test: $(basename "$deb") unpacked and run"
dpkg-deb -c "$deb" | awk '{print $6}'
