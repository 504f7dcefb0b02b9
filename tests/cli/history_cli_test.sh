#!/bin/bash
# qlor-cli check --record and qlor-cli stats, run as a user would run them, with the history in a
# temporary XDG data folder.
# Usage: history_cli_test.sh PATH/TO/qlor-cli
set -u
CLI=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
export XDG_DATA_HOME="$WORK/data"
HISTORY="$XDG_DATA_HOME/QLOR/history.sqlite"
failed=0
bad() { failed=$((failed + 1)); echo "FAIL: $*"; }
# json EXPRESSION: evaluates a Python expression over the parsed stats JSON `s`.
json() { /usr/bin/python3 -c "import json,sys; s=json.load(open('stats.json')); sys.exit(0 if ($1) else 1)" 2>/dev/null; }

printf 'vvv=\r\nABCDE FGHIJ\r\n*' >sent.txt
printf 'vvv=\r\nabde fgxij\r\n*' >copy.txt

# Recording leaves the check list as it is, byte for byte.
"$CLI" check --sent sent.txt --copy copy.txt --number 0417 --speed 60 --out plain.txt || bad "check without --record"
"$CLI" check --sent sent.txt --copy copy.txt --number 0417 --out recorded.txt --record --type R --speed 60 \
    --groups 2 --noise 3 --voice tone || bad "check --record"
cmp -s <(tail -n +2 plain.txt) <(tail -n +2 recorded.txt) || bad "the check list changed with --record"
[ -f "$HISTORY" ] || bad "no history at \$XDG_DATA_HOME/QLOR/history.sqlite"
"$CLI" check --sent sent.txt --copy copy.txt --record >/dev/null || bad "second check --record"

"$CLI" stats --format json --min 1 >stats.json || bad "stats --format json"
json 's["checks"] == 2' || bad "two checks counted: $(cat stats.json)"
json 's["characters"]["C"] == {"sent": 2, "correct": 0, "omitted": 2, "inserted": 0, "error_rate": 1.0, "heard": {}}' ||
    bad "C left out twice"
json 's["characters"]["H"]["heard"] == {"X": 2}' || bad "H heard as X twice"
# Only the body counts: the header "vvv=" and the ending "*" are no characters of the statistics.
json 's["totals"]["sent"] == 20 and s["totals"]["correct"] == 16 and "V" not in s["characters"]' || bad "totals"
json 'abs(s["totals"]["error_rate"] - 2 / 11) < 1e-4' || bad "the checks' aligned error rate"
json 's["ranked"][:2] == ["C", "H"]' || bad "C and H ranked weakest"
"$CLI" stats --format json --type R >stats.json || bad "stats --type R"
json 's["checks"] == 1' || bad "one check of type R"
"$CLI" stats --format json --since 2000-01-01 --last 1 >stats.json || bad "stats --since --last"
json 's["checks"] == 1 and s["ranked"] == [] and s["few_samples"][:2] == ["C", "H"]' ||
    bad "the last check only, too few to rank, yet weakest first"

[ "$("$CLI" stats --format csv --min 1 | head -1)" = $'character,sent,correct,omitted,inserted,error_rate,heard,few_samples\r' ] ||
    bad "CSV head row"
"$CLI" stats --format xml >/dev/null 2>&1
[ $? -eq 2 ] || bad "an unknown format is a bad argument"
"$CLI" stats --since 2026-02-30 >/dev/null 2>&1
[ $? -eq 2 ] || bad "a date that does not exist is a bad argument"

# A damaged history is kept aside, never overwritten, and the check goes into a new one.
head -c 3000 /dev/urandom >"$HISTORY"
rm -f "$HISTORY-wal" "$HISTORY-shm"
cp "$HISTORY" damaged.copy
"$CLI" check --sent sent.txt --copy copy.txt --record >/dev/null 2>err.txt || bad "check --record on a damaged history"
[ "$(wc -l <err.txt)" -eq 1 ] || bad "one message for the damaged history: $(cat err.txt)"
kept=$(ls "$HISTORY".damaged-* 2>/dev/null | grep -v -e '-wal$' -e '-shm$' | head -1)
[ -n "$kept" ] && cmp -s "$kept" damaged.copy || bad "the damaged file is kept as it was"
"$CLI" stats --format json >stats.json 2>/dev/null || bad "stats after the damaged history"
json 's["checks"] == 1' || bad "the new history holds the one check"

if [ "$failed" -ne 0 ]; then
    echo "$failed failed"
    exit 1
fi
echo "all passed"
