#!/usr/bin/env bash
# Builds every test a second time, with AddressSanitizer and
# UndefinedBehaviorSanitizer, into build-asan/ and runs them all. Any report
# (memory error, leak, undefined behaviour) ends its test with a failure.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"

"$ROOT/scripts/install-deps.sh" "${BUILD_PACKAGES[@]}"
install_mdb_reader
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# -O1 keeps the build quick and the reports' stacks readable.
build_program "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1 $sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" -DZC_NPM_PREFIX="$NPM_PREFIX"

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir "$ROOT/build-asan" --output-on-failure -j "$(nproc)"
