#!/usr/bin/env bash
# `blokpost --controle` on the demo installation, with no display and no
# platform chosen for Qt. "demo": the demo as it is has no fout (exit 0).
# "weekend-without-c": a copy whose weekend service lost line C, which both
# books still let depart, must give exit 1 and say so.
set -uo pipefail
demo_tool=$1 program=$2 folder=$3 case=$4

export ASAN_OPTIONS=detect_leaks=0
rm -rf "$folder" && mkdir -p "$folder" || exit 2
"$demo_tool" "$folder" >/dev/null || { echo "the demo could not be written"; exit 2; }
if [ "$case" = weekend-without-c ]; then
  # Lines 51..75 of the variant file hold the kinds of line C's steps.
  schema="$folder/VasteData/Schema2Data.txt"
  awk 'NR >= 51 && NR <= 75 { printf "\r\n"; next } { print }' "$schema" >"$schema.new" && mv "$schema.new" "$schema"
fi

output=$(cd "$folder" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ASAN_OPTIONS=detect_leaks=0 "$program" --controle)
code=$?
printf '%s\n' "$output"
tab=$'\t'
case "$case" in
  demo)
    [ "$code" -eq 0 ] || { echo "exit $code, expected 0"; exit 1; }
    ! grep -q "${tab}fout${tab}" <<<"$output" || { echo "the demo has a fout"; exit 1; } ;;
  weekend-without-c)
    [ "$code" -eq 1 ] || { echo "exit $code, expected 1"; exit 1; }
    for book in Rood Blauw; do
      grep -q "^Weekenddienst${tab}${book}${tab}fout${tab}C${tab}-${tab}.*lijn C heeft in deze dienst geen stappen" <<<"$output" ||
        { echo "no fout for line C of the weekend service with book $book"; exit 1; }
    done
    ! grep -v "^Weekenddienst" <<<"$output" | grep -q "${tab}fout${tab}" || { echo "a fout outside the weekend service"; exit 1; } ;;
  *) echo "unknown case $case"; exit 2 ;;
esac
