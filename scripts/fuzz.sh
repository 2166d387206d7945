#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each one
# for a while on a scratch copy of its seed corpus, so that the committed
# corpus never grows. A crash, hang, leak or broken check fails the script and
# leaves the input in build-fuzz/artifacts/.
# Usage: scripts/fuzz.sh [SECONDS [TARGET...]]   (default 20 s, every target)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"

seconds=${1:-20}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(ini_file command_value jet_query jet_reader)

"$ROOT/scripts/install-deps.sh" "${BUILD_PACKAGES[@]}" clang libclang-rt-14-dev
build="$ROOT/build-fuzz"
cmake -S "$ROOT" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DZC_FUZZ=ON \
  -DZC_BUILD_TESTS=OFF -DZC_BUILD_WINDOW=OFF >/dev/null
cmake --build "$build" --target zc_fuzzers -j "$(nproc)"

# Files the targets write go to memory when the system has it.
scratch_base=/dev/shm
[ -w "$scratch_base" ] || scratch_base=${TMPDIR:-/tmp}
scratch=$(mktemp -d "$scratch_base/zc-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/artifacts"

for target in "${targets[@]}"; do
  corpus="$scratch/corpus-$target"
  mkdir "$corpus"
  cp -L "$ROOT/fuzz/corpus/$target/"* "$corpus/"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -close_fd_mask=3 -artifact_prefix="$build/artifacts/$target-")
  [ -f "$ROOT/fuzz/$target.dict" ] && options+=(-dict="$ROOT/fuzz/$target.dict")
  # libFuzzer cuts seeds at 1 MiB unless told otherwise: a larger Access file
  # would be mutated only as a file cut short.
  largest=$(find "$corpus" -type f -printf '%s\n' | sort -n | tail -n 1)
  [ "$largest" -gt 1048576 ] && options+=(-max_len="$largest")
  log="$build/artifacts/$target.log"
  if ! ZC_FUZZ_SCRATCH="$scratch" "$build/bin/${target}_fuzz" "${options[@]}" "$corpus" \
      >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz: $target FAILED (log: $log)"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz: $target passed, $runs executions in ${seconds} s"
done
