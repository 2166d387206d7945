# Shared by the scripts: the packages every build needs, and the build itself.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libsqlite3-dev sqlite3 libgtest-dev
                mdbtools-dev mdbtools qt6-base-dev libgl-dev xvfb xauth)

# build_program DIR [cmake options...]: configures and builds into DIR.
build_program() {
  local dir=$1
  shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
