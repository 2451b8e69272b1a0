#!/usr/bin/env bash
# Builds every fuzzer (fuzz/) with clang's libFuzzer, AddressSanitizer and UBSan in build-fuzz/,
# then runs each for SECONDS seconds (default 60) on a fresh copy of its seeds
# (tests/data/fuzz/NAME/, and tests/data/fuzz/NAME.dict as its dictionary when there is one).
# A crash, a hang, a leak or a sanitizer report fails the run; the input that caused it is kept
# as build-fuzz/findings/NAME/crash-... and the log as build-fuzz/logs/NAME.log.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
seconds=${1:-60}
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$top/build-fuzz"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$top" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DPALOMAS_FUZZ=ON -DBUILD_TESTING=OFF -DPALOMAS_BENCH=OFF \
  "${launcher[@]}" >/dev/null
cmake --build "$build" --target fuzzers -j"$(nproc)"

# Runs a fuzzer (or one input) with the sanitizers' options and the suppressions of the
# system libraries' faults.
run() {
  ASAN_OPTIONS="exitcode=86:suppressions=$top/tests/sanitizers/asan.supp" \
    LSAN_OPTIONS="suppressions=$top/tests/sanitizers/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$@"
}

failed=()
mkdir -p "$build/logs"
while read -r name; do
  [ -n "$name" ] || continue
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  rm -rf "$corpus" "$findings"
  mkdir -p "$corpus" "$findings"
  seeds="$top/tests/data/fuzz/$name"
  if [ -d "$seeds" ]; then
    cp -R "$seeds/." "$corpus/"
  fi
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
    -artifact_prefix="$findings/")
  if [ -f "$top/tests/data/fuzz/$name.dict" ]; then
    options+=(-dict="$top/tests/data/fuzz/$name.dict")
  fi
  # A fuzzer that drives a library we do not build (NAME.foreign names it, one a line) meets that
  # library's own faults, which we cannot mend: they must not end the run, nor hide ours. It runs
  # in child processes that may crash; afterwards each input that made one is run again, and only
  # a report with none of those libraries on its stack fails.
  foreign="$top/tests/data/fuzz/$name.foreign"
  if [ -f "$foreign" ]; then
    options+=(-fork=1 -ignore_crashes=1 -ignore_ooms=1 -ignore_timeouts=1)
  fi
  log="$build/logs/$name.log"
  echo "== $name: ${seconds} s, $(find "$corpus" -type f | wc -l) semillas"
  if run "$build/bin/$name" "${options[@]}" "$corpus" >"$log" 2>&1; then
    # The last status line (executions, coverage, features, corpus) and the totals.
    grep -E '^#[0-9]+' "$log" | tail -n 1 || true
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$log" || true
  else
    echo "FALLO: $name (registro: $log, entrada: $findings/)"
    tail -n 60 "$log"
    failed+=("$name")
    continue
  fi
  if [ -f "$foreign" ]; then
    theirs=0
    alone=0
    for input in "$findings"/*; do
      [ -f "$input" ] && [[ "$input" != *.log ]] || continue
      if run "$build/bin/$name" -timeout=10 -rss_limit_mb=2048 "$input" >"$input.log" 2>&1; then
        # Fine on its own: the child had run out of memory through the library's leaks before.
        alone=$((alone + 1))
      elif grep -q -F -f <(grep -v '^#' "$foreign") "$input.log"; then
        theirs=$((theirs + 1))
      else
        echo "FALLO: $name, entrada $input (registro: $input.log)"
        tail -n 60 "$input.log"
        failed+=("$name")
      fi
    done
    echo "$theirs fallos dentro de $(grep -v '^#' "$foreign" | paste -sd, -), $alone sin fallo al repetirlas" \
      "(entradas en $findings/)"
  fi
done <"$build/fuzzers.txt"

if ((${#failed[@]})); then
  echo "Fuzzers con fallos: ${failed[*]}"
  exit 1
fi
echo "Fuzzers sin fallos"
