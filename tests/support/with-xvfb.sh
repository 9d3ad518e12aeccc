#!/usr/bin/env bash
# Runs a command under a private Xvfb on a free display number, with Mesa's
# software GL, and stops the server afterwards. The command's exit status is
# passed on. -noreset keeps the server up between two test contexts: a
# server that resets when its last client leaves refuses the next one for a
# moment. VK_XVFB_ARGS adds server options (e.g. "-extension GLX").
set -u
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset +extension GLX ${VK_XVFB_ARGS:-} 3>"$tmp/display" 2>"$tmp/log" &
server=$!
for _ in $(seq 200); do
    [ -s "$tmp/display" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.05
done
if ! [ -s "$tmp/display" ]; then
    echo "with-xvfb: Xvfb did not start:" >&2
    cat "$tmp/log" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$tmp/display")"
export LIBGL_ALWAYS_SOFTWARE=1
"$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status
