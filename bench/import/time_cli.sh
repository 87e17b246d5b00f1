#!/usr/bin/env bash
# Times whole tradejournal-cli runs on a generated 10 000-trade MetaTrader 4
# statement and prints the medians:
#   - `tradejournal-cli extract` against one plain read (`cat FILE > /dev/null`),
#   - its peak memory against the file size,
#   - `tradejournal-cli import` into an empty account and once more (all
#     updates) against the sqlite3 shell inserting the same rows into the same
#     table in one transaction.
# Usage: bench/import/time_cli.sh [BUILD_DIR] [RUNS] [TRADES]
set -euo pipefail

BUILD=${1:-build}
RUNS=${2:-11}
TRADES=${3:-10000}
SRC=$(cd "$(dirname "$0")/../.." && pwd)
CLI=$BUILD/app/tradejournal-cli
GEN=$BUILD/tools/statementgen/tj-make-statement
for tool in "$CLI" "$GEN"; do
    [ -x "$tool" ] || { echo "missing $tool: build first" >&2; exit 1; }
done
command -v sqlite3 > /dev/null || { echo "the sqlite3 shell is needed for the comparison" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
STATEMENT=$WORK/statement.htm
"$GEN" mt4 "$TRADES" "$STATEMENT" > /dev/null
SIZE=$(stat -c %s "$STATEMENT")

# Microseconds of one run of a command (stdout discarded), without forking a timer.
run_us() {
    local start=$EPOCHREALTIME
    "$@" > /dev/null
    local end=$EPOCHREALTIME
    echo $(( (${end/./} - ${start/./}) ))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ms() { awk -v us="$1" 'BEGIN { printf "%.1f ms", us / 1000 }'; }

cat_file() { cat "$STATEMENT"; }
extract() { "$CLI" extract "$STATEMENT"; }

# Warm the page cache, then alternate the two so that both see the same load.
cat "$STATEMENT" > /dev/null
extract > /dev/null
cat_times=() extract_times=()
for _ in $(seq "$RUNS"); do
    cat_times+=("$(run_us cat_file)")
    extract_times+=("$(run_us extract)")
done
CAT=$(printf '%s\n' "${cat_times[@]}" | median)
EXTRACT=$(printf '%s\n' "${extract_times[@]}" | median)

PEAK_KB=$( { /usr/bin/time -f %M "$CLI" extract "$STATEMENT" > /dev/null; } 2>&1 | tail -1)

# The database: the schema and one account.
EMPTY=$WORK/empty.db
sqlite3 "$EMPTY" < "$SRC/src/db/schema.sql"
sqlite3 "$EMPTY" "INSERT INTO t_chet (chet_name) VALUES ('bench');"

# The same rows as an SQL script for the shell, from the extract's TSV.
"$CLI" extract "$STATEMENT" | awk -F'\t' '
    function q(s) { gsub(/\x27/, "\x27\x27", s); return "\x27" s "\x27" }
    function comma(s) { gsub(/\./, ",", s); return s }
    BEGIN { print "BEGIN;" }
    NR > 1 { printf "INSERT INTO t_sdelki (chet,Ticket,OpenTime,Type,Size,Item,PriceOpen,sl,tp,CloseTime,PriceClose,Commission,Taxes,Swap,Profit,Profit2) VALUES (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s);\n",
             q("1"), q($3), q($4), q($5), q($6), q($7), q($8), q($9), q($10), q($11), q($12), q($13), q($14), q(comma($15)), q(comma($16)), q($16) }
    END { print "COMMIT;" }' > "$WORK/rows.sql"

shell_times=() insert_times=() update_times=()
for _ in $(seq "$RUNS"); do
    mkdir -p "$WORK/shell" "$WORK/data/img"
    cp "$EMPTY" "$WORK/shell/datamoney.db"
    cp "$EMPTY" "$WORK/data/datamoney.db"
    shell_times+=("$(run_us sqlite3 "$WORK/shell/datamoney.db" ".read $WORK/rows.sql")")
    insert_times+=("$(run_us "$CLI" import --account 1 --data "$WORK/data" "$STATEMENT")")
    update_times+=("$(run_us "$CLI" import --account 1 --data "$WORK/data" "$STATEMENT")")
done
SHELL_US=$(printf '%s\n' "${shell_times[@]}" | median)
INSERT=$(printf '%s\n' "${insert_times[@]}" | median)
UPDATE=$(printf '%s\n' "${update_times[@]}" | median)
COUNT=$(sqlite3 "$WORK/data/datamoney.db" "SELECT count(*) FROM t_sdelki")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "statement: $TRADES closed trades, $SIZE bytes; medians of $RUNS runs (load: $(cut -d' ' -f1-3 /proc/loadavg))"
echo "extract (whole process):        $(ms "$EXTRACT")   target < 100 ms"
echo "cat FILE > /dev/null:           $(ms "$CAT")   extract / cat = $(ratio "$EXTRACT" "$CAT")   target <= 3"
echo "extract peak memory:            $((PEAK_KB / 1024)) MB   limit 10 x file + 60 MB = $(( (10 * SIZE) / 1048576 + 60 )) MB"
echo "import into an empty account:   $(ms "$INSERT")   / sqlite3 shell = $(ratio "$INSERT" "$SHELL_US")   target < 1 s, <= 2"
echo "import again (all updates):     $(ms "$UPDATE")   / sqlite3 shell = $(ratio "$UPDATE" "$SHELL_US")   target < 1 s, <= 2"
echo "sqlite3 shell, same rows:       $(ms "$SHELL_US")   (trades stored after the runs: $COUNT)"
