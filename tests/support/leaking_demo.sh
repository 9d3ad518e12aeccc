#!/usr/bin/env bash
# Stands in for the demo in a soak run that must fail: prints an "fps: "
# line a second like the demo and grows its memory by about 100 kB each
# time, as a per-frame leak would; ends with status 0 on SIGTERM.
trap 'exit 0' TERM
held=""
while true; do
    held+=$(head -c 100000 /dev/zero | tr '\0' x)
    echo "fps: 30"
    sleep 1 &
    wait $!
done
