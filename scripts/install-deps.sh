#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
#   --sanitizers  also clang and its sanitizer and fuzzer runtimes, for scripts/run-fuzz.sh and
#                 scripts/run-sanitized-tests.sh (the ordinary build does without them)
#   --screenshots also the X tools and the Japanese X fonts for scripts/shot-error-box.sh
#   --web         also emscripten and chromium, for make web and its browser test
#   --windows     also the mingw-w64 cross compiler and Wine, for `make windows` and
#                 scripts/ci-windows.sh
#   --server      also the ranking server's HTTP, SQLite, PostgreSQL and SHA-256 libraries, and
#                 PostgreSQL itself for its suite, for `make server` and `make test`
#   --dist        also the Debian packaging tools, lintian and zip, for `make dist` and
#                 scripts/ci-deb.sh
set -euo pipefail

packages=(
  build-essential cmake pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libsdl2-mixer-dev libx11-dev
  libfreetype-dev fonts-dejavu-core
  nlohmann-json3-dev
  # plusrail-submit, installed with the game, sends replays over HTTP(S)
  libcpp-httplib-dev
  xvfb xauth xdotool x11-apps
  clang-format cppcheck
)
case "${1:-}" in
  --sanitizers) packages+=(clang libclang-rt-14-dev) ;;
  --screenshots) packages+=(x11-apps netpbm xfonts-intl-japanese) ;;
  --web) packages+=(emscripten chromium) ;;
  # The posix flavour of the compiler, googletest's sources to build for Windows, Wine to run
  # what was built, xwd and python3 for the smoke runs' screenshots.
  --windows) packages+=(g++-mingw-w64-x86-64-posix googletest wine wine64 x11-apps python3) ;;
  --server) packages+=(libcpp-httplib-dev libsqlite3-dev libpq-dev libssl-dev postgresql curl python3) ;;
  --dist) packages+=(dpkg-dev lintian zip) ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "need root to install: ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
