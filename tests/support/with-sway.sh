#!/usr/bin/env bash
# Runs a command on a private headless sway with Xwayland, as a Wayland
# desktop runs X11 programs, and stops sway afterwards; the command's exit
# status is passed on. The command gets DISPLAY (the Xwayland),
# WAYLAND_DISPLAY and XDG_RUNTIME_DIR (for wtype and grim). sway refuses
# root, so as root it runs as the user vk-wayland, made on first use. Where
# sway cannot run, the command gets the reason in VK_WAYLAND_SKIP instead.
set -u
user=vk-wayland
tmp=$(mktemp -d)
runtime="$tmp/runtime"
sway=""
trap '[ -n "$sway" ] && kill "$sway" && wait "$sway"; rm -rf "$tmp"' EXIT
skip() { VK_WAYLAND_SKIP="$1" "${@:2}"; exit $?; }

for tool in sway Xwayland xhost wtype grim; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps.sh --tests)" "$@"
done
mkdir -m 0700 "$runtime"
run_as=()
if [ "$(id -u)" -eq 0 ]; then
    id "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user" 2>"$tmp/err" ||
        skip "cannot create the user $user for sway: $(cat "$tmp/err")" "$@"
    run_as=(setpriv --reuid="$user" --regid="$user" --init-groups --)
    chown "$user:" "$runtime" && chmod 0755 "$tmp"
fi
# Xwayland starts with sway and admits only its own user's clients: sway lets
# this script's user in, then says which display it is.
cat >"$tmp/config" <<CONFIG
xwayland force
output HEADLESS-1 resolution 1920x1080 position 0 0
exec sh -c 'xhost +si:localuser:$(id -un) >/dev/null && echo "\$DISPLAY" >$runtime/d.tmp && mv $runtime/d.tmp $runtime/display'
CONFIG
chmod 0644 "$tmp/config"
"${run_as[@]}" env -i PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway --config "$tmp/config" >"$tmp/sway.log" 2>&1 </dev/null &
sway=$!
for _ in $(seq 400); do
    [ -s "$runtime/display" ] || ! kill -0 "$sway" 2>/dev/null && break
    sleep 0.05
done
socket=$(cd "$runtime" && ls wayland-[0-9] 2>/dev/null | head -n1)
if ! [ -s "$runtime/display" ] || [ -z "$socket" ]; then
    echo "with-sway: sway or its Xwayland did not start:" >&2
    tail -n 30 "$tmp/sway.log" >&2
    exit 1
fi
export DISPLAY=$(cat "$runtime/display") WAYLAND_DISPLAY=$socket XDG_RUNTIME_DIR=$runtime LIBGL_ALWAYS_SOFTWARE=1
"$@"
status=$?
[ $status -ne 0 ] && tail -n 30 "$tmp/sway.log" >&2
exit $status
