#!/bin/bash
# qlor-cli export, competition and check, run as a user would run them.
# Usage: exercises_cli_test.sh PATH/TO/qlor-cli
set -u
CLI=$1
WORK=$(mktemp -d)
LOG=$(mktemp -d)
trap 'rm -rf "$WORK" "$LOG"' EXIT
cd "$WORK" || exit 1
passed=0
failed=0

ok() { passed=$((passed + 1)); }
bad() { failed=$((failed + 1)); echo "FAIL: $*"; }
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then ok; else bad "$what"; fi
}
# expect_exit CODE DESCRIPTION COMMAND...: the exit code and exactly one line on stderr for errors
expect_exit() {
    local code=$1 what=$2
    shift 2
    "$@" >"$LOG/out" 2>"$LOG/err"
    local rc=$?
    if [ "$rc" -ne "$code" ]; then
        bad "$what: exit $rc, expected $code ($(cat "$LOG/err"))"
        return
    fi
    if [ "$code" -ne 0 ] && [ "$(wc -l <"$LOG/err")" -ne 1 ]; then
        bad "$what: stderr is not one line: $(cat "$LOG/err")"
        return
    fi
    ok
}

# --- export -----------------------------------------------------------------------------------
mkdir out
expect_exit 0 "export 12 files" "$CLI" export --number 0417 --count 12 --dir out
names=$(cd out && ls | tr '\n' ' ')
expected=""
for i in 01 02 03 04 05 06 07 08 09 10 11 12; do expected+="0417-$i.mid 0417-$i.txt "; done
check "export names 0417-01..0417-12" [ "$names" = "$expected" ]

# File i of text number 1233 is the radiogram of text number 123(3+i): the same bytes as Run's.
mkdir same
expect_exit 0 "export 2 files" "$CLI" export --number 1233 --count 2 --dir same/ --speed 60 --paris --type LN \
    --groups 7 --tone 80 --channel 2 --patch 12 --pause-delay 5
expect_exit 0 "midi of 1234" "$CLI" midi --number 1234 --speed 60 --paris --type LN --groups 7 --tone 80 \
    --channel 2 --patch 12 --pause-delay 5 --out run.mid
check "export MIDI equals Run's MIDI byte for byte" cmp -s same/1233-01.mid run.mid
"$CLI" text --number 1235 --type LN --groups 7 >text.txt
check "export text equals the displayed radiogram" cmp -s same/1233-02.txt text.txt
check "text file has no final line break" [ "$(tail -c 1 same/1233-02.txt)" = "*" ]

mkdir zero
(cd zero && "$CLI" export --number 0000 --count 0 >/dev/null 2>&1)
check "count 0 writes one pair into the current folder" [ "$(cd zero && ls | tr '\n' ' ')" = "0000-01.mid 0000-01.txt " ]

# Selected symbols that cannot make a text: the failure text is keyed, the export goes on.
mkdir fail
expect_exit 0 "export with unusable symbols" "$CLI" export --count 3 --dir fail --symbols '!*' --header none --ending none
check "failed generation: text file is *" [ "$(cat fail/0000-02.txt)" = "*" ]
check "failed generation: MIDI still written" [ -s fail/0000-03.mid ]
check "failed generation: one message per file" [ "$(wc -l <"$LOG/err")" -eq 3 ]

touch plain
expect_exit 1 "export into a folder below a file" "$CLI" export --dir plain/sub
check "write error names the file" grep -q 'plain/sub/0000-01.txt' "$LOG/err"
expect_exit 2 "export --count 100" "$CLI" export --count 100
expect_exit 2 "export --count x" "$CLI" export --count x
expect_exit 2 "export unknown option" "$CLI" export --bogus

# With --audio every pair gains its sound file; the text and MIDI files keep their bytes.
mkdir sound
expect_exit 0 "export with audio" "$CLI" export --number 1233 --count 2 --dir sound --speed 60 --paris --type LN \
    --groups 7 --tone 80 --channel 2 --patch 12 --pause-delay 5 --audio wav --voice tone
check "audio export names" [ "$(cd sound && ls | tr '\n' ' ')" = "1233-01.mid 1233-01.txt 1233-01.wav 1233-02.mid 1233-02.txt 1233-02.wav " ]
check "audio export keeps the MIDI bytes" cmp -s sound/1233-01.mid same/1233-01.mid
check "audio export keeps the text bytes" cmp -s sound/1233-02.txt same/1233-02.txt
check "audio export writes a RIFF WAVE" [ "$(head -c 4 sound/1233-01.wav)" = "RIFF" ]
mkdir nonoise
expect_exit 1 "export with a missing noise recording" "$CLI" export --count 1 --dir nonoise --audio ogg --noise none.wav
check "a pair whose sound fails leaves no file" [ -z "$(ls nonoise 2>/dev/null)" ]
expect_exit 2 "export --audio aiff" "$CLI" export --audio aiff
expect_exit 2 "export --voice without --audio" "$CLI" export --voice tone

# A full disk (here a file size limit of 50 KB, its signal ignored so writes fail instead):
# nothing is left under a final name, nor any temporary file.
full_disk() { (ulimit -f 100 && trap '' XFSZ && "$@"); }
mkdir disk
expect_exit 1 "noise on a full disk" full_disk "$CLI" noise --kind mix --out disk/n.wav
expect_exit 1 "export with audio on a full disk" full_disk "$CLI" export --count 2 --dir disk --audio wav --voice tone
check "a full disk leaves no file" [ -z "$(ls -A disk)" ]

# --- competition ------------------------------------------------------------------------------
expect_exit 0 "competition 50..60" "$CLI" competition --start 50 --final 60 --out comp.mid --protocol prot.txt
check "competition MIDI written" [ "$(head -c 4 comp.mid)" = "MThd" ]
check "protocol has 22 CR LF lines" [ "$(grep -c $'\r$' prot.txt)" -eq 22 ]
check "protocol head" [ "$(head -n 1 prot.txt)" = $'Checklist QLOR-2000\r' ]
check "protocol speed line" [ "$(sed -n 3p prot.txt)" = $'Initial speed 50 spm\r' ]
check "protocol last line" [ "$(tail -c 3 prot.txt | od -An -tx1 | tr -d ' \n')" = "2a0d0a" ]
# Three segments: three tempo events.
segments=$(od -An -v -tx1 comp.mid | tr -d '\n' | grep -o 'ff 51 03' | wc -l)
check "three tempo events" [ "$segments" -eq 3 ]

expect_exit 0 "competition Russian to stdout" "$CLI" competition --start 60 --final 50 --no-train --lang ru --out none.mid
check "Russian protocol head" [ "$(head -n 1 "$LOG/out")" = "Протокол КЛОР-2000" ]
check "no text: three lines" [ "$(wc -l <"$LOG/out")" -eq 3 ]
check "cp1251 protocol" "$CLI" competition --start 60 --final 50 --lang ru --paris --out none.mid --protocol ru.txt
check "protocol file is cp1251" [ "$(head -c 8 ru.txt | od -An -tx1 | tr -d ' \n')" = "cff0eef2eeeaeeeb" ]
check "PARIS speed line" grep -qa 'PARIS' ru.txt

expect_exit 2 "competition speed not a multiple of 10" "$CLI" competition --start 55 --final 60 --out x.mid
expect_exit 2 "competition speed too high" "$CLI" competition --start 50 --final 1000 --out x.mid
expect_exit 2 "competition without --final" "$CLI" competition --start 50 --out x.mid
expect_exit 2 "competition without --out" "$CLI" competition --start 50 --final 60
expect_exit 2 "competition --lang de" "$CLI" competition --start 50 --final 60 --lang de --out x.mid
expect_exit 1 "competition into a missing folder" "$CLI" competition --start 50 --final 60 --out nodir/x.mid
check "failed MIDI write names the file" grep -q 'nodir/x.mid' "$LOG/err"
expect_exit 1 "protocol into a missing folder" "$CLI" competition --start 50 --final 60 --out x.mid --protocol nodir/p.txt
check "failed protocol write names the file" grep -q 'nodir/p.txt' "$LOG/err"

# --- check ------------------------------------------------------------------------------------
printf 'vvv=\r\nABCDE FGHIJ KLMNO PQRST UVWXY ZABCD \r\n*' >sent.txt
printf 'VVV=\nabcde fghij klmno pqrst uvwxy zabd\n*\nextra line\n' >copy.txt
expect_exit 0 "check" "$CLI" check --sent sent.txt --copy copy.txt --number 0417 --speed 60
check "check head" [ "$(sed -n 2p "$LOG/out")" = "Текст 0417" ]
check "check speed" [ "$(sed -n 3p "$LOG/out")" = "Cкорость 060 зн/мин" ]
check "check wrapped line" [ "$(sed -n 6p "$LOG/out")" = ".............................." ]
check "check shifted line" [ "$(sed -n 8p "$LOG/out")" = "...CD " ]
check "check total" [ "$(tail -n 1 "$LOG/out")" = "Всего ошибок 3" ]
check "check lines" [ "$(wc -l <"$LOG/out")" -eq 12 ]
expect_exit 0 "check narrow" "$CLI" check --sent sent.txt --copy copy.txt --width 12 --own-text
check "own text head" [ "$(sed -n 2p "$LOG/out")" = "Текст произвольный" ]
check "check to file" "$CLI" check --sent sent.txt --copy copy.txt --out list.txt
check "saved list ends with CR LF" [ "$(tail -c 2 list.txt | od -An -tx1 | tr -d ' \n')" = "0d0a" ]
check "saved list is cp1251" grep -qa $'\xc2\xf1\xe5\xe3\xee \xee\xf8\xe8\xe1\xee\xea 3\r' list.txt
expect_exit 0 "check cp1251 output" "$CLI" check --sent sent.txt --copy copy.txt --encoding cp1251
check "cp1251 output" grep -qa $'\xc2\xf1\xe5\xe3\xee' "$LOG/out"
expect_exit 1 "check missing file" "$CLI" check --sent nothing.txt --copy copy.txt
check "missing file named" grep -q 'nothing.txt' "$LOG/err"
expect_exit 2 "check without --copy" "$CLI" check --sent sent.txt
expect_exit 2 "check --width 0" "$CLI" check --sent sent.txt --copy copy.txt --width 0

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
