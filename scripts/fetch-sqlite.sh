#!/usr/bin/env bash
# Fetches the SQLite amalgamation for builds without a system SQLite (the
# Windows build) from the npm package better-sqlite3, which carries it, at a
# pinned version and checksum. npm fetches it from whatever registry or mirror
# it is configured for, so no registry address lives here. Unpacks sqlite3.c
# and sqlite3.h into BUILD_DIR/_deps/sqlite-amalgamation, the folder the build
# takes by default (CMake cache variable ZC_SQLITE_AMALGAMATION_DIR).
# Usage: scripts/fetch-sqlite.sh BUILD_DIR
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PACKAGE=better-sqlite3
VERSION=12.11.1  # holds SQLite 3.53.2
SHA256=ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835

[ $# -eq 1 ] || { echo "Usage: scripts/fetch-sqlite.sh BUILD_DIR" >&2; exit 2; }
target="$1/_deps/sqlite-amalgamation"
stamp="$target/$PACKAGE-$VERSION"
[ -f "$stamp" ] && [ -f "$target/sqlite3.c" ] && exit 0

command -v npm >/dev/null || "$ROOT/scripts/install-deps.sh" npm
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
archive=$(cd "$work" && npm pack "$PACKAGE@$VERSION" --silent)
actual=$(sha256sum "$work/$archive" | cut -d' ' -f1)
if [ "$actual" != "$SHA256" ]; then
  echo "fetch-sqlite: $archive has SHA-256 $actual, not the pinned $SHA256" >&2
  exit 1
fi
tar -xzf "$work/$archive" -C "$work" package/deps/sqlite3
rm -rf "$target"
mkdir -p "$target"
cp "$work"/package/deps/sqlite3/* "$target/"
touch "$stamp"
echo "fetch-sqlite: SQLite from $PACKAGE $VERSION in $target"
