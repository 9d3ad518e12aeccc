#!/usr/bin/env bash
# Soak run: the demo for a long time under a private Xvfb with silent audio
# (SDL's dummy driver), watched from outside every 10 seconds: resident
# memory, open files, threads, and the "fps: " lines it prints once a second.
#
#   scripts/soak.sh [DURATION] [PROGRAM] [DIR]
#
# DURATION is seconds, or minutes with an "m" (default 30m); PROGRAM the demo
# (default build/vindelkrok); DIR the directory holding Data/ it runs in
# (default the program's directory). Prints one line per sample and a
# summary, and fails (status 1) when:
#   - resident memory grows by more than 1 MiB over the last two thirds of
#     the run (the first third is start-up and caches filling), and it grew
#     in most of those thirds' 10-second intervals (a leak grows steadily;
#     the GL driver's one-off steps of its heap's high-water mark do not
#     count),
#   - open files or threads are more at the end than at the first sample,
#   - a 10-second interval passes without an "fps: " line,
#   - the demo ends before the time is up, or does not end in order (status
#     0) on SIGTERM afterwards.
set -u
top="$(cd "$(dirname "$0")/.." && pwd)"

duration="${1:-30m}"
case "$duration" in
    *m) seconds=$(( ${duration%m} * 60 )) ;;
    *) seconds="$duration" ;;
esac
program="$(realpath "${2:-$top/build/vindelkrok}")"
dir="$(realpath "${3:-$(dirname "$program")}")"
interval=10
growth_limit_kb=1024

if [ -z "${VK_SOAK_UNDER_XVFB:-}" ]; then
    if [ ! -x "$program" ] || [ ! -f "$dir/Data/damp.xm" ]; then
        echo "soak: needs the demo ($program) and a directory holding Data/ ($dir)" >&2
        exit 2
    fi
    if [ "$seconds" -lt $(( 3 * interval )) ]; then
        echo "soak: run for at least $(( 3 * interval )) seconds" >&2
        exit 2
    fi
    VK_SOAK_UNDER_XVFB=1 exec "$top/tests/support/with-xvfb.sh" "$0" "$seconds" "$program" "$dir"
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
cd "$dir"
SDL_AUDIODRIVER=dummy "$program" >"$log" 2>&1 &
demo=$!

# One /proc/<pid>/status field, as a number.
status_field() { awk -v f="$1:" '$1 == f { print $2 }' "/proc/$demo/status" 2>/dev/null; }

failed=0
fail() { echo "soak: FAIL: $*"; failed=1; }

samples_t=() samples_rss=() samples_files=() samples_threads=()
fps_seen=0
echo "   time    rss(kB)  files  threads  fps-lines  last-fps"
for (( t = interval; t <= seconds; t += interval )); do
    sleep "$interval"
    if ! kill -0 "$demo" 2>/dev/null; then
        fail "the demo ended after less than ${t} s"
        break
    fi
    rss=$(status_field VmRSS)
    threads=$(status_field Threads)
    files=$(ls "/proc/$demo/fd" 2>/dev/null | wc -l)
    fps_now=$(grep -c '^fps: ' "$log")
    last_fps=$(grep '^fps: ' "$log" | tail -n1 | cut -d' ' -f2)
    printf '%6ds %10s %6s %8s %10s %9s\n' "$t" "$rss" "$files" "$threads" "$(( fps_now - fps_seen ))" "${last_fps:--}"
    if [ "$fps_now" -le "$fps_seen" ]; then fail "no fps: line between $(( t - interval )) s and $t s"; fi
    fps_seen=$fps_now
    samples_t+=("$t") samples_rss+=("$rss") samples_files+=("$files") samples_threads+=("$threads")
done

if kill -0 "$demo" 2>/dev/null; then
    kill -TERM "$demo"
    for _ in $(seq 100); do kill -0 "$demo" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$demo" 2>/dev/null; then
        fail "the demo did not end within 10 s of SIGTERM"
        kill -KILL "$demo"
    fi
fi
wait "$demo"
exit_status=$?
if [ "$exit_status" -ne 0 ]; then fail "the demo ended with status $exit_status"; fi

n=${#samples_t[@]}
if [ "$n" -ge 2 ]; then
    # The first sample at or after a third of the run.
    base=0
    while [ "$base" -lt $(( n - 1 )) ] && [ "${samples_t[$base]}" -lt $(( seconds / 3 )) ]; do base=$(( base + 1 )); done
    last=$(( n - 1 ))
    growth=$(( samples_rss[last] - samples_rss[base] ))
    minutes_x100=$(( (samples_t[last] - samples_t[base]) * 100 / 60 ))
    echo "rss: ${samples_rss[0]} kB at ${samples_t[0]} s, ${samples_rss[base]} kB at ${samples_t[base]} s," \
         "${samples_rss[last]} kB at ${samples_t[last]} s: ${growth} kB over the last two thirds" \
         "($(( minutes_x100 > 0 ? growth * 100 / minutes_x100 : 0 )) kB/min)"
    echo "files: ${samples_files[0]} -> ${samples_files[last]}; threads: ${samples_threads[0]} -> ${samples_threads[last]};" \
         "fps lines: $fps_seen in $seconds s"
    # A leak grows the resident set in interval after interval. Mesa's
    # software renderer instead raises the heap's high-water mark in a few
    # single steps (several MB at once when it first compiles a shader for a
    # new combination of GL state), which is no leak: growth over the limit
    # fails the run only when most of the judged intervals grew.
    grown=0
    for (( i = base + 1; i <= last; i++ )); do
        if [ $(( samples_rss[i] - samples_rss[i - 1] )) -gt $(( growth_limit_kb / 8 )) ]; then grown=$(( grown + 1 )); fi
    done
    echo "intervals that grew by more than $(( growth_limit_kb / 8 )) kB: $grown of $(( last - base ))"
    if [ "$growth" -gt "$growth_limit_kb" ] && [ $(( grown * 2 )) -gt $(( last - base )) ]; then
        fail "resident memory grew by ${growth} kB (limit ${growth_limit_kb} kB), in $grown of $(( last - base )) intervals"
    fi
    if [ "${samples_files[last]}" -gt "${samples_files[0]}" ]; then fail "open files grew"; fi
    if [ "${samples_threads[last]}" -gt "${samples_threads[0]}" ]; then fail "threads grew"; fi
fi
if [ "$failed" -ne 0 ]; then
    echo "soak: the demo's last lines:"
    tail -n 5 "$log"
    exit 1
fi
echo "soak: passed"
