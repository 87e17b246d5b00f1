#!/usr/bin/env bash
# Fault runs of the import: `tradejournal-cli import` of a generated
# MetaTrader 4 statement into an empty account is killed with SIGKILL at a
# random moment of its run, RUNS times. After each kill the database must
# pass PRAGMA integrity_check and hold either none of the trades or all of
# them, never a part. Then one import onto a full disk (a small tmpfs, where
# this machine lets us mount one) must report the failure and leave the
# database whole.
# Usage: bench/db/fault_runs.sh [BUILD_DIR] [RUNS] [TRADES]
set -euo pipefail

BUILD=${1:-build}
RUNS=${2:-20}
TRADES=${3:-100000}
SRC=$(cd "$(dirname "$0")/../.." && pwd)
CLI=$BUILD/app/tradejournal-cli
GEN=$BUILD/tools/statementgen/tj-make-statement
for tool in "$CLI" "$GEN"; do
    [ -x "$tool" ] || { echo "missing $tool: build first" >&2; exit 1; }
done
command -v sqlite3 > /dev/null || { echo "the sqlite3 shell is needed to check the database" >&2; exit 1; }

WORK=$(mktemp -d)
DISK=$WORK/disk
cleanup() {
    mountpoint -q "$DISK" 2> /dev/null && umount -l "$DISK"
    rm -rf "$WORK"
}
trap cleanup EXIT
STATEMENT=$WORK/statement.htm
"$GEN" mt4 "$TRADES" "$STATEMENT" > /dev/null

BASE=$WORK/base
mkdir -p "$BASE/img"
sqlite3 "$BASE/datamoney.db" < "$SRC/src/db/schema.sql"
sqlite3 "$BASE/datamoney.db" "INSERT INTO t_chet (chet_name) VALUES ('fault runs');"

count() { sqlite3 "$1/datamoney.db" "SELECT count(*) FROM t_sdelki"; }
check() { # folder, what happened
    local ic n
    ic=$(sqlite3 "$1/datamoney.db" "PRAGMA integrity_check")
    n=$(count "$1")
    if [ "$ic" != ok ] || { [ "$n" != 0 ] && [ "$n" != "${NEW:-$n}" ]; }; then
        echo "FAILED after $2: integrity_check says '$ic', trades $n (old 0, new ${NEW:-?})" >&2
        exit 1
    fi
    echo "$2: integrity ok, trades $n"
}

# One whole import, to spread the kills over its length.
rm -rf "$WORK/run" && cp -r "$BASE" "$WORK/run"
START=$EPOCHREALTIME
"$CLI" import --account 1 --data "$WORK/run" "$STATEMENT" > /dev/null
FULL_US=$(( ${EPOCHREALTIME/./} - ${START/./} ))
check "$WORK/run" "a whole import ($(( FULL_US / 1000 )) ms)"
NEW=$(count "$WORK/run")

before=0 after=0 midwrite=0
for i in $(seq "$RUNS"); do
    rm -rf "$WORK/run" && cp -r "$BASE" "$WORK/run"
    DELAY_US=$(( (RANDOM * 32768 + RANDOM) % (FULL_US + 1) ))
    "$CLI" import --account 1 --data "$WORK/run" "$STATEMENT" > /dev/null 2>&1 &
    PID=$!
    sleep "$(awk -v us="$DELAY_US" 'BEGIN { printf "%.6f", us / 1e6 }')"
    kill -9 "$PID" 2> /dev/null || true
    wait "$PID" 2> /dev/null || true
    # A journal left behind: the kill came in the middle of the write.
    hot=""
    if [ -e "$WORK/run/datamoney.db-journal" ]; then hot=", in the middle of the write"; midwrite=$((midwrite + 1)); fi
    check "$WORK/run" "run $i, killed after $(( DELAY_US / 1000 )) ms$hot"
    if [ "$(count "$WORK/run")" = 0 ]; then before=$((before + 1)); else after=$((after + 1)); fi
done
echo "$RUNS kills ($midwrite in the middle of the write): $before left the old journal, $after the new one, none a part of it"

mkdir -p "$DISK"
if mount -t tmpfs -o size=256k tmpfs "$DISK" 2> /dev/null; then
    cp -r "$BASE/." "$DISK/"
    set +e
    "$CLI" import --account 1 --data "$DISK" "$STATEMENT" > "$WORK/out.txt" 2> "$WORK/err.txt"
    CODE=$?
    set -e
    if [ "$CODE" != 1 ] || ! grep -q "диск заполнен" "$WORK/err.txt"; then
        echo "FAILED: an import on a full disk exited with $CODE: $(cat "$WORK/err.txt")" >&2
        exit 1
    fi
    check "$DISK" "an import on a full disk (reported: $(head -1 "$WORK/err.txt" | cut -c1-100))"
else
    echo "full disk: skipped (no tmpfs can be mounted here)"
fi
