#!/bin/sh
# Rendered Morse read back by an independent decoder: `qlor-cli render` output of letters,
# figures and a mixed text, with each voice at two speeds, slowed (sox) to the 20 WPM multimon-ng
# is made for and decoded; the text must come back without a single character error (word spaces
# are not compared: the decoder's own word-space guess drifts at some speeds with either voice).
# Usage: cw_decode_test.sh QLOR-CLI WORK-DIR SPEED... [cpm]; RENDER_OPTIONS in the environment are
# added to every render (a generated band, for example).
set -u
cli=$1
work=$2
shift 2
for tool in multimon-ng sox; do
    if ! command -v "$tool" > /dev/null 2>&1; then
        echo "FAIL: $tool is missing (scripts/install-deps installs it)"
        exit 1
    fi
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
for speed in "$@"; do
    # "VVV" first, as on the air: the decoder learns the speed from it.
    for text in "VVV THE QUICK BROWN FOX JUMPS OVER A LAZY DOG" "VVV 599 1234 5678 90 73" "VVV CQ DE R2D2 K9ABC 5NN 599 QTH 73"; do
        "$cli" midi --own "$text" --speed "$speed" --end-pause 1 --out t.mid > /dev/null || exit 1
        for voice in tone soundfont; do
            # shellcheck disable=SC2086 # the options are words
            "$cli" render t.mid --voice "$voice" ${RENDER_OPTIONS:-} --out t.wav || exit 1
            factor=$(awk "BEGIN { print 100 / $speed }") # 20 WPM = 100 cpm
            sox t.wav -r 22050 -c 1 -b 16 -e signed-integer -t raw t.raw speed "$factor" || exit 1
            decoded=$(multimon-ng -q -t raw -a MORSE_CW t.raw 2> /dev/null | tr -d '\n')
            if [ "$(echo "$decoded" | tr -d ' ')" = "$(echo "$text" | tr -d ' ')" ]; then
                echo "ok   $voice $speed cpm: $decoded"
            else
                echo "FAIL $voice $speed cpm: sent '$text', decoded '$decoded'"
                failures=$((failures + 1))
            fi
        done
    done
done
exit $((failures > 0))
