#!/usr/bin/env bash
# Runs every file-reader fuzzer for a bounded time on the seed corpus and
# prints how many inputs each ran. New inputs go to the build folder, never
# into the repository's seeds. A finding stops with the fuzzer's report.
set -euo pipefail
build=$1
seconds=${2:-60}
root=$(pwd)
status=0
# Inputs may grow past the readers' file limit (512 KB), so the cut at the
# limit is fuzzed too; a seed just over it starts them there.
max_len=$((512 * 1024 + 4096))
oversized_seed() {
  local seed=$1/oversized.txt
  [ -f "$seed" ] && return
  awk 'BEGIN { for (i = 0; n < 540000; i++) { line = (i % 3 ? "Pin" : "42 rest"); printf "%s\r\n", line; n += length(line) + 2 } }' >"$seed"
}
printf '%-16s %12s %s\n' reader inputs result
for target in schedule layout_store pin_names pin_addresses timetable_book; do
  scratch="$build/corpus/$target"
  mkdir -p "$scratch"
  oversized_seed "$scratch"
  log="$build/fuzz_$target.log"
  if (cd "$build" && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
        "./fuzz/fuzz_$target" "corpus/$target" "$root/fuzz/corpus/$target" \
        -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 -close_fd_mask=3) >"$log" 2>&1; then
    result="no finding"
  else
    result="FINDING: see $log"
    status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  printf '%-16s %12s %s\n' "$target" "$runs" "$result"
done
exit $status
