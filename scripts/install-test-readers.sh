#!/usr/bin/env bash
# Makes ready the two Access readers that are not ours, with which jet_test
# checks the files the program writes: mdb-reader from npm into NPM_PREFIX,
# and libmdb's mdb-export. ctest runs it before jet_test, so a build made by
# hand tests as completely as scripts/test.sh does.
# Usage: scripts/install-test-readers.sh NPM_PREFIX MDB_EXPORT
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"
[ $# -eq 2 ] || { echo "Usage: scripts/install-test-readers.sh NPM_PREFIX MDB_EXPORT" >&2; exit 2; }
NPM_PREFIX=$1
if [ ! -x "$2" ]; then
  echo "mdb-export is missing: install Debian's mdbtools (bash scripts/install-deps.sh mdbtools)," \
    "then configure the build again" >&2
  exit 1
fi
install_mdb_reader || {
  echo "mdb-reader could not be installed into $NPM_PREFIX: npm install --prefix $NPM_PREFIX" \
    "$MDB_READER needs npm and its registry" >&2
  exit 1
}
