#!/usr/bin/env bash
# Runs a command on a private headless sway (a wlroots Wayland compositor)
# with Xwayland, as a Wayland desktop runs X11 programs, and stops the
# compositor afterwards. The command's exit status is passed on.
#
# The command gets DISPLAY (sway's Xwayland), WAYLAND_DISPLAY and
# XDG_RUNTIME_DIR (sway's socket, for wtype and grim). sway refuses to run as
# root: run as root, this starts it as the unprivileged user vk-wayland,
# created on first use. Where sway cannot be started at all (not installed,
# no way to run it unprivileged), the command runs with VK_WAYLAND_SKIP
# holding the reason instead, so that the test can say why it skipped.
set -u
user=vk-wayland
tmp=$(mktemp -d)
runtime="$tmp/runtime"
sway_pid=""
cleanup() {
    if [ -n "$sway_pid" ]; then
        kill "$sway_pid" 2>/dev/null
        wait "$sway_pid" 2>/dev/null
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT

skip() {
    VK_WAYLAND_SKIP="$1" "${@:2}"
    exit $?
}

for tool in sway Xwayland xhost wtype grim; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps.sh --tests)" "$@"
done

# As root, the compositor runs as an unprivileged user of its own.
run_as=()
if [ "$(id -u)" -eq 0 ]; then
    if ! id "$user" >/dev/null 2>&1; then
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" 2>"$tmp/useradd" ||
            skip "cannot create the user $user for sway: $(cat "$tmp/useradd")" "$@"
    fi
    run_as=(setpriv --reuid="$user" --regid="$user" --init-groups --)
fi

mkdir -m 0700 "$runtime"
[ ${#run_as[@]} -gt 0 ] && chown "$user:" "$runtime" && chmod 0755 "$tmp"
# Xwayland starts with sway (not on the first X client). It admits only its
# own user's clients, so sway lets this script's user in too, then writes its
# X display's name where the script can read it.
me=$(id -un)
cat >"$tmp/config" <<EOF
xwayland force
output HEADLESS-1 resolution 1920x1080 position 0 0
exec sh -c 'xhost +si:localuser:$me >/dev/null && echo "\$DISPLAY" >$runtime/display.tmp && mv $runtime/display.tmp $runtime/display'
EOF
chmod 0644 "$tmp/config"

"${run_as[@]}" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=/nonexistent XDG_RUNTIME_DIR="$runtime" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway --config "$tmp/config" >"$tmp/sway.log" 2>&1 </dev/null &
sway_pid=$!
for _ in $(seq 400); do
    [ -s "$runtime/display" ] && break
    kill -0 "$sway_pid" 2>/dev/null || break
    sleep 0.05
done
socket=$(cd "$runtime" 2>/dev/null && ls wayland-[0-9] 2>/dev/null | head -n1)
if ! [ -s "$runtime/display" ] || [ -z "$socket" ]; then
    echo "with-sway: sway or its Xwayland did not start:" >&2
    tail -n 30 "$tmp/sway.log" >&2
    exit 1
fi

export DISPLAY=$(cat "$runtime/display")
export WAYLAND_DISPLAY=$socket XDG_RUNTIME_DIR=$runtime
export LIBGL_ALWAYS_SOFTWARE=1
"$@"
status=$?
[ $status -ne 0 ] && tail -n 30 "$tmp/sway.log" >&2
exit $status
