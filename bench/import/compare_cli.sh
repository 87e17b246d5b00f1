#!/usr/bin/env bash
# Compares two builds of tradejournal-cli on the same generated statements,
# run after run in turn so that both see the same load: medians of the wall
# time and of the CPU time (user + system), and the peak memory, of
#   - import into an empty account, and once more (all updates),
#   - extract and statement,
# for MetaTrader 4 statements and MetaTrader 5 reports (UTF-16, positions;
# a report of 100 000 positions is larger than a statement may be: use fewer).
# Usage: bench/import/compare_cli.sh OLD_CLI NEW_CLI [RUNS] [TRADES...]
# (the statements come from the generator of the build folder named by
# BUILD, by default build/)
set -euo pipefail

OLD=$1
NEW=$2
RUNS=${3:-5}
shift $(( $# >= 3 ? 3 : 2 ))
[ $# -gt 0 ] && SIZES=("$@") || SIZES=(10000 100000)
SRC=$(cd "$(dirname "$0")/../.." && pwd)
GEN=${BUILD:-$SRC/build}/tools/statementgen/tj-make-statement
[ -x "$GEN" ] || { echo "missing $GEN: build first" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
EMPTY=$WORK/empty.db
sqlite3 "$EMPTY" < "$SRC/src/db/schema.sql"
sqlite3 "$EMPTY" "INSERT INTO t_chet (chet_name) VALUES ('bench');"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# "wall_ms cpu_ms peak_kb" of one run
measure() {
    /usr/bin/time -f "%e %U %S %M" -o "$WORK/t" "$@" > /dev/null 2>&1 || true
    awk '{ printf "%d %d %d\n", $1 * 1000, ($2 + $3) * 1000, $4 }' "$WORK/t"
}
report() { # label, file of "wall cpu peak" lines per build
    local label=$1
    printf '%-34s' "$label"
    for build in old new; do
        local f=$WORK/$build.times
        printf '  %s: %5d ms wall, %5d ms cpu, %4d MB' "$build" \
            "$(cut -d' ' -f1 "$f" | median)" "$(cut -d' ' -f2 "$f" | median)" $(( $(cut -d' ' -f3 "$f" | median) / 1024 ))
    done
    echo
}

run_case() { # label, then the command with CLI for the program
    local label=$1
    shift
    : > "$WORK/old.times"
    : > "$WORK/new.times"
    for _ in $(seq "$RUNS"); do
        for build in old new; do
            local cli=$OLD
            [ $build = new ] && cli=$NEW
            "$@" "$cli" >> "$WORK/$build.times"
        done
    done
    report "$label"
}

import_first() { rm -rf "$WORK/data"; mkdir -p "$WORK/data/img"; cp "$EMPTY" "$WORK/data/datamoney.db"
                 measure "$1" import --account 1 --data "$WORK/data" "$STATEMENT"; }
import_again() { rm -rf "$WORK/data"; mkdir -p "$WORK/data/img"; cp "$EMPTY" "$WORK/data/datamoney.db"
                 "$1" import --account 1 --data "$WORK/data" "$STATEMENT" > /dev/null
                 measure "$1" import --account 1 --data "$WORK/data" "$STATEMENT"; }
extract() { measure "$1" extract "$STATEMENT"; }
statement() { measure "$1" statement "$STATEMENT"; }

echo "medians of $RUNS runs (load at start: $(cut -d' ' -f1-3 /proc/loadavg))"
for kind in mt4 mt5; do
    for trades in "${SIZES[@]}"; do
        STATEMENT=$WORK/$kind-$trades.htm
        "$GEN" "$kind" "$trades" "$STATEMENT" > /dev/null
        if [ "$(stat -c %s "$STATEMENT")" -gt $((256 * 1024 * 1024)) ]; then
            echo "$kind $trades: the statement is larger than the 256 MB a statement may have, skipped"
            continue
        fi
        run_case "$kind $trades import" import_first
        run_case "$kind $trades import again" import_again
        run_case "$kind $trades extract" extract
        run_case "$kind $trades statement" statement
    done
done
