#!/usr/bin/env bash
# Times the start of the window under Xvfb, from launch to the window being
# mapped (viewable), on the benchmarks' generated journals and on an empty
# one, and prints the medians and the ratio to the empty journal:
#   - "about": the start as it always is, on "О программе" with the first
#     account chosen, not activated;
#   - "saved trades": "Открывать этот счет при запуске" on, the account of
#     all the trades opened on the saved page "База данных".
# Each run starts from a fresh copy of the program folder and is ended with
# SIGTERM once the window is mapped (the window then writes its files).
# Usage: bench/app/time_startup.sh [BUILD_DIR] [RUNS] [SIZES...]
#   e.g. bench/app/time_startup.sh build 5 100000 1000000
set -euo pipefail

BUILD=${1:-build}
RUNS=${2:-5}
shift $(( $# > 2 ? 2 : $# ))
SIZES=("$@")
[ ${#SIZES[@]} -gt 0 ] || SIZES=(10000 100000)
# TJ_APP: another build of the window to compare (its folder must hold sprav/ too)
APP=${TJ_APP:-$BUILD/app/tradejournal}
GEN=$BUILD/bench/stats/tj-bench-journal
for tool in "$APP" "$GEN"; do
    [ -x "$tool" ] || { echo "missing $tool: build first" >&2; exit 1; }
done
for tool in Xvfb xdotool iconv sqlite3 bc; do
    command -v $tool > /dev/null || { echo "$tool is needed" >&2; exit 1; }
done

WORK=$(mktemp -d)
# A display of its own: Xvfb picks a free number and writes it.
Xvfb -displayfd 3 -noreset -screen 0 1600x1000x24 -nolisten tcp 3> "$WORK/display" > /dev/null 2>&1 &
XVFB=$!
trap 'kill $XVFB 2> /dev/null || true; rm -rf "$WORK"' EXIT
for _ in $(seq 50); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$WORK/display")"
unset QT_QPA_PLATFORM

# A program folder with the journal DB (or none) and the start-up option.
prepare() { # folder, database or "", option (0/1), saved page
    local dir=$1
    rm -rf "$dir"
    mkdir -p "$dir/txt" "$dir/img"
    cp -r "$(dirname "$APP")/sprav" "$dir/"
    [ -z "$2" ] || cp "$2" "$dir/datamoney.db"
    printf '[Настройки]\r\nАктивный счет=0\r\nОткрыватьПоследнийСчет=%s\r\n' "$3" | iconv -f UTF-8 -t CP1251 > "$dir/config.ini"
    printf '05.01.2009\r\n05.01.2014\r\n05.01.2009\r\n05.01.2014\r\n%s\r\n' "$4" > "$dir/date.txt"
}

# Microseconds from launch to the mapped window of one run.
run_us() { # folder
    local start=$EPOCHREALTIME
    "$APP" --data "$1" > /dev/null 2>&1 &
    local pid=$!
    # Looked for every 10 ms (xdotool's own --sync waits half a second
    # between looks).
    until xdotool search --onlyvisible --pid "$pid" > /dev/null 2>&1; do sleep 0.01; done
    local end=$EPOCHREALTIME
    kill -TERM "$pid"
    wait "$pid" || true
    echo $(( ${end/./} - ${start/./} ))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
median_us() { # database, option, page
    for _ in $(seq "$RUNS"); do
        prepare "$WORK/app" "$@"
        run_us "$WORK/app"
    done | median
}

# The empty journal: the schema alone, no account.
sqlite3 "$WORK/empty.db" < "$(dirname "$0")/../../src/db/schema.sql"
base=$(median_us "$WORK/empty.db" 0 0)
printf '%-34s %8.1f ms\n' "empty journal" "$(echo "$base / 1000" | bc -l)"
for n in "${SIZES[@]}"; do
    DB=$("$GEN" "$n")/datamoney.db
    for scenario in "about 0 0" "saved trades 1 2"; do
        set -- $scenario
        label="$n trades, ${*:1:$(( $# - 2 ))}"
        us=$(median_us "$DB" "${@: -2:1}" "${@: -1}")
        awk -v l="$label" -v a="$us" -v b="$base" 'BEGIN { printf "%-34s %8.1f ms   ratio to empty %.2f\n", l, a / 1000, a / b }'
    done
done
