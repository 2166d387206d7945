# Shared by the scripts: the packages every build needs, and the build itself.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libsqlite3-dev sqlite3 libgtest-dev
                mdbtools qt6-base-dev libgl-dev xvfb xauth nodejs)
# The tests read the Access files the program writes with two readers that
# are not ours: libmdb's tools (mdbtools) and the npm package mdb-reader.
MDB_READER=mdb-reader@3.2.0
NPM_PREFIX="$ROOT/build/npm"
# The Windows build: MinGW-w64 (posix threads) and 64-bit wine alone, which
# runs 64-bit programs (no i386 architecture, no wine32); googletest brings
# the GoogleTest sources, npm the SQLite sources (scripts/fetch-sqlite.sh),
# Xvfb is the display wine draws the window on.
WINDOWS_PACKAGES=(cmake ninja-build googletest ca-certificates g++-mingw-w64-x86-64-posix
                  wine wine64 xvfb xauth sqlite3 mdbtools)

# build_program DIR [cmake options...]: configures and builds into DIR.
build_program() {
  local dir=$1
  shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

# install_mdb_reader: mdb-reader into $NPM_PREFIX, once.
install_mdb_reader() {
  command -v npm >/dev/null || "$ROOT/scripts/install-deps.sh" npm
  [ -f "$NPM_PREFIX/node_modules/mdb-reader/package.json" ] && return 0
  npm install --prefix "$NPM_PREFIX" --no-audit --no-fund --silent "$MDB_READER" >/dev/null
}

# build_windows [TARGET...]: cross-builds build-windows/ for 64-bit Windows.
build_windows() {
  bash "$ROOT/scripts/fetch-sqlite.sh" "$ROOT/build-windows"
  cmake -S "$ROOT" -B "$ROOT/build-windows" -G Ninja --no-warn-unused-cli \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$ROOT/build-windows" -j "$(nproc)" ${1:+--target "$@"}
}

# use_virtual_display ARGS...: runs the calling script again on an X display
# of its own, for the windows that wine and Qt draw.
use_virtual_display() {
  [ -n "${ZC_VIRTUAL_DISPLAY:-}" ] && return 0
  ZC_VIRTUAL_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
}

# start_wine: one wine server for everything that follows, started and warmed
# up once rather than per program, with its own configuration in
# build-windows/wine-prefix, and stopped however the script ends.
# No debug chatter and no offer to install .NET or a browser engine. Its
# windows are not left to a window manager (the virtual display has none),
# so that closing one does not wait for it.
start_wine() {
  export WINEPREFIX="$ROOT/build-windows/wine-prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  wineserver -p
  trap 'wineserver -k || true' EXIT
  # This also starts wine's background services, away from the output pipes
  # of what follows (ctest would wait for them to close those pipes).
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
}

# make_example_project DIR: the bundled example project in DIR, with its
# databases built from their SQL text.
make_example_project() {
  local project=$1
  cp -r "$ROOT/examples/project/." "$project/"
  for database in Zantel_Source Zantel; do
    rm -f "$project/Zantel/$database.mdb"
    sqlite3 "$project/Zantel/$database.mdb" < "$project/Zantel/$database.sql"
    rm "$project/Zantel/$database.sql"
  done
  mkdir -p "$project/Zantel_Config"
}
