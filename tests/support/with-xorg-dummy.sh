#!/usr/bin/env bash
# Runs a command under a private headless Xorg with the dummy video driver
# (which, unlike Xvfb, has the XF86VidMode extension) on a free display
# number, and stops the server afterwards. Needs root (or an Xorg allowed to
# start for the user). The command's exit status is passed on.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# An empty config directory: only our config counts, and no input drivers.
# The server shares the console's virtual terminal instead of switching to a
# new one, so several test servers can run side by side.
mkdir "$tmp/conf.d"
Xorg -config "$here/xorg-dummy.conf" -configdir "$tmp/conf.d" -logfile "$tmp/Xorg.log" \
     -sharevts -novtswitch -nolisten tcp -noreset -displayfd 3 3>"$tmp/display" 2>"$tmp/stderr" </dev/null &
server=$!
for _ in $(seq 300); do
    [ -s "$tmp/display" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.05
done
if ! [ -s "$tmp/display" ]; then
    echo "with-xorg-dummy: Xorg did not start:" >&2
    cat "$tmp/stderr" >&2
    grep -E '\(EE\)' "$tmp/Xorg.log" >&2 2>/dev/null
    kill "$server" 2>/dev/null
    exit 1
fi
export DISPLAY=":$(head -n1 "$tmp/display")"
export LIBGL_ALWAYS_SOFTWARE=1
"$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status
