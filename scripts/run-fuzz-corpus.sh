#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/*Fuzzer.cpp) and runs each once over every file of its seed corpus
# (fuzz/corpus/<target>/); exits non-zero when any input fails or a target has no seeds. With
# SECONDS given, each target then fuzzes that long, starting from a scratch copy of its corpus so
# that the committed seeds stay as they are; crashing inputs land in build/fuzz/artifacts/.
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
artifacts="$PWD/build/fuzz/artifacts"
mkdir -p "$artifacts"
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
  if ! "$binary" "${limits[@]}" -artifact_prefix="$artifacts/$target-" "$corpus"* \
      >"$artifacts/$target-seeds.log" 2>&1; then
    echo "FAILED: $target on its seeds (see $artifacts/$target-seeds.log)"
    status=1
    continue
  fi
  if (( seconds > 0 )); then
    scratch="$(mktemp -d)"
    cp "$corpus"* "$scratch"
    if ! "$binary" "${limits[@]}" -max_total_time="$seconds" \
        -artifact_prefix="$artifacts/$target-" "$scratch" >"$artifacts/$target-fuzz.log" 2>&1; then
      echo "FAILED: $target while fuzzing (see $artifacts/$target-fuzz.log)"
      status=1
    fi
    rm -rf "$scratch"
  fi
done
(( status == 0 )) && echo "All fuzz targets passed."
exit "$status"
