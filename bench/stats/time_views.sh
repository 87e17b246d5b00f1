#!/usr/bin/env bash
# Times whole tradejournal-cli runs that read an account's trades against the
# sqlite3 shell reading the same rows from the same file, and prints the
# medians and their ratios:
#   - `trades` (read, sort, print the trade table) against a SELECT of the
#     same columns ordered by profit,
#   - `analysis` over five years and over the whole history against a SELECT
#     of the analysis columns in the same range ordered by time, and the peak
#     memory of `analysis` over the whole history (/usr/bin/time).
# The journals are the benchmarks' generated ones (tj-bench-journal), made
# once in BUILD_DIR/bench-data. 1 000 000 trades only when asked for.
# Usage: bench/stats/time_views.sh [BUILD_DIR] [RUNS] [SIZES...]
#   e.g. bench/stats/time_views.sh build 5 10000 100000 1000000
set -euo pipefail

BUILD=${1:-build}
RUNS=${2:-5}
shift $(( $# > 2 ? 2 : $# ))
SIZES=("$@")
[ ${#SIZES[@]} -gt 0 ] || SIZES=(10000 100000)
CLI=$BUILD/app/tradejournal-cli
GEN=$BUILD/bench/stats/tj-bench-journal
for tool in "$CLI" "$GEN"; do
    [ -x "$tool" ] || { echo "missing $tool: build first" >&2; exit 1; }
done
command -v sqlite3 > /dev/null || { echo "the sqlite3 shell is needed for the comparison" >&2; exit 1; }

# Microseconds of one run of a command (stdout discarded).
run_us() {
    local start=$EPOCHREALTIME
    "$@" > /dev/null
    local end=$EPOCHREALTIME
    echo $(( (${end/./} - ${start/./}) ))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# Median microseconds of RUNS runs after one warm-up.
median_us() {
    run_us "$@" > /dev/null
    for _ in $(seq "$RUNS"); do run_us "$@"; done | median
}
compare() { # label, then ours and the shell's commands as two strings
    local label=$1 ours=$2 theirs=$3
    local a b
    a=$(median_us sh -c "$ours")
    b=$(median_us sh -c "$theirs")
    awk -v l="$label" -v a="$a" -v b="$b" \
        'BEGIN { printf "%-28s %9.1f ms   sqlite3 %9.1f ms   ratio %.2f\n", l, a / 1000, b / 1000, a / b }'
}

TRADE_COLUMNS="id, Ticket, OpenTime, Type, Size, Item, PriceOpen, sl, tp, CloseTime, PriceClose, Commission, Swap, Profit, taktika, pravilo2, comment, ocenka"
ANALYSIS_COLUMNS="id, Ticket, OpenTime, Type, Size, Item, Profit, strategia, verno, taktika, pravilo2, Nedobral, pravilo, ocenka, Commission, Taxes, Swap, img_top, length(t_tree)"
for n in "${SIZES[@]}"; do
    DIR=$("$GEN" "$n")
    DB=$DIR/datamoney.db
    echo "== $n trades ($(( $(stat -c %s "$DB") / 1000000 )) MB)"
    compare "trades --order profit" \
        "'$CLI' trades --account 1 --data '$DIR'" \
        "sqlite3 -separator '	' '$DB' \"SELECT $TRADE_COLUMNS FROM t_sdelki WHERE chet='1' ORDER BY Profit2 DESC\""
    compare "trades --order date" \
        "'$CLI' trades --account 1 --order date --data '$DIR'" \
        "sqlite3 -separator '	' '$DB' \"SELECT $TRADE_COLUMNS FROM t_sdelki WHERE chet='1' ORDER BY OpenTime\""
    for range in "2009-01-05 2014-01-05 five-years" "2009-01-01 2100-01-01 all"; do
        set -- $range
        compare "analysis $3" \
            "'$CLI' analysis --account 1 --from $1 --to $2 --data '$DIR'" \
            "sqlite3 -separator '	' '$DB' \"SELECT $ANALYSIS_COLUMNS FROM t_sdelki WHERE OpenTime>'${1//-/.}' AND OpenTime<'${2//-/.}' AND chet='1' ORDER BY OpenTime\""
    done
    if [ -x /usr/bin/time ]; then
        peak=$(/usr/bin/time -f %M "$CLI" analysis --account 1 --from 2009-01-01 --to 2100-01-01 --data "$DIR" 2>&1 > /dev/null | tail -1)
        echo "analysis all: peak memory $(( peak / 1024 )) MB"
    fi
done
