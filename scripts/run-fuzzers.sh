#!/usr/bin/env bash
# Runs every file-reader fuzzer for a bounded time on the seed corpus and
# prints how many inputs each ran. New inputs go to the build folder, never
# into the repository's seeds. A finding stops with the fuzzer's report.
set -euo pipefail
build=$1
seconds=${2:-60}
root=$(pwd)
status=0
printf '%-16s %12s %s\n' reader inputs result
for target in schedule layout_store pin_names pin_addresses timetable_book; do
  scratch="$build/corpus/$target"
  mkdir -p "$scratch"
  log="$build/fuzz_$target.log"
  if (cd "$build" && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
        "./fuzz/fuzz_$target" "corpus/$target" "$root/fuzz/corpus/$target" \
        -max_total_time="$seconds" -print_final_stats=1 -close_fd_mask=3) >"$log" 2>&1; then
    result="no finding"
  else
    result="FINDING: see $log"
    status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  printf '%-16s %12s %s\n' "$target" "$runs" "$result"
done
exit $status
