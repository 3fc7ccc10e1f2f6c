#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/*Fuzzer.cpp) and runs each once over every file of its seed corpus
# (fuzz/corpus/<target>/); exits non-zero when any input fails or a target has no seeds. With
# SECONDS given, each target then fuzzes that long, starting from a scratch copy of its corpus so
# that the committed seeds stay as they are. A crash, leak, timeout or running out of memory fails
# the run: the end of libFuzzer's report is printed and the input that did it is kept in
# build/fuzz/artifacts/.
#   scripts/run-fuzz-corpus.sh [SECONDS]
set -euo pipefail

seconds="${1:-0}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi

cd "$(dirname "$0")/.."
cmake --preset fuzz
cmake --build --preset fuzz -j2

limits=(-rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=25)
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan-suppressions.txt${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
artifacts="$PWD/build/fuzz/artifacts"
mkdir -p "$artifacts"
corpus_digest() { find fuzz/corpus -type f -print0 | sort -z | xargs -0 sha256sum | sha256sum; }
corpora_before="$(corpus_digest)"

# Says why a run failed: the start of libFuzzer's report (or the log's end when there is none),
# then where the input was written and the input itself.
failed() {
  echo "FAILED: $1 (full log: $2)"
  local report
  report="$(sed -n '/ERROR: \|ALARM: /,$p' "$2" | head -n 60)"
  [[ -n "$report" ]] || report="$(tail -n 20 "$2")"
  printf '%s\n' "$report" | sed 's/^/    /'
  grep -E '^(artifact_prefix|Base64)' "$2" | sed 's/^/    /' || true
  status=1
}

status=0
for source in fuzz/*Fuzzer.cpp; do
  target="$(basename "$source" .cpp)"
  binary="build/fuzz/fuzz/$target"
  corpus="fuzz/corpus/$target/"
  # Without seeds libFuzzer would start fuzzing for ever instead of running a fixed set of inputs.
  if [[ -z "$(ls -A "$corpus" 2>/dev/null)" ]]; then
    echo "FAILED: $target has no seed corpus in $corpus"
    status=1
    continue
  fi
  echo "== $target: $(find "$corpus" -type f | wc -l) seeds"
  log="$artifacts/$target-seeds.log"
  if ! "$binary" "${limits[@]}" -artifact_prefix="$artifacts/$target-" "$corpus"* >"$log" 2>&1; then
    failed "$target on its seeds" "$log"
    continue
  fi
  if (( seconds > 0 )); then
    scratch="$(mktemp -d)"
    cp "$corpus"* "$scratch"
    log="$artifacts/$target-fuzz.log"
    if ! "$binary" "${limits[@]}" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$artifacts/$target-" "$scratch" >"$log" 2>&1; then
      failed "$target while fuzzing" "$log"
    else
      echo "   $(awk '/^stat::number_of_executed_units/ {runs = $2}
                    /^stat::average_exec_per_sec/ {rate = $2}
                    END {print runs " runs, " rate " per second"}' "$log")"
    fi
    rm -rf "$scratch"
  fi
done
if [[ "$(corpus_digest)" != "$corpora_before" ]]; then
  echo "FAILED: the committed corpora in fuzz/corpus changed during the run"
  status=1
fi
(( status == 0 )) && echo "All fuzz targets passed."
exit "$status"
