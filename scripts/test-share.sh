#!/usr/bin/env bash
# The share of test code: lines of *_test.cc files and of everything under
# tests/, against the other .cc and .h files of src/ (fuzz targets and
# benchmarks count as neither). Fails above the limit (default 36%).
# Usage: scripts/test-share.sh [LIMIT_PERCENT]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
LIMIT=${1:-36}
cd "$ROOT"
files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -- "$@"
  else
    for pattern in "$@"; do find . -path "./$pattern" -type f | sed 's|^\./||'; done
  fi
}
count() { xargs -r cat | wc -l; }
tests=$( { files '*_test.cc'; files 'tests/*'; } | sort -u | count)
code=$(files 'src/*.cc' 'src/*.h' | grep -v '_test\.cc$' | count)
share=$(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.1f", 100 * t / c }')
echo "Test code: $tests lines against $code lines of code ($share%, at most $LIMIT%)."
awk -v t="$tests" -v c="$code" -v l="$LIMIT" 'BEGIN { exit !(100 * t <= l * c) }' ||
  { echo "The tests are above $LIMIT% of the code." >&2; exit 1; }
