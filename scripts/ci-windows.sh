#!/usr/bin/env bash
# The Windows build, checked under Wine: installs the cross compiler and Wine when missing,
# builds the folder (make windows) and the portable suites, then in a fresh Wine prefix
#   1. runs the portable suites (ctest in the Windows build, each case under Wine),
#   2. runs plusrail-sim.exe on every golden script and compares its state, events and
#      digests with the golden files (the Linux simulator's bytes), and the data files it
#      leaves with those the Linux simulator leaves,
#   3. starts plusrail.exe on a 640 x 480 x 16 virtual X screen, takes a picture of the title,
#      presses Escape, and compares the three data files with those the Linux build writes
#      for the same session; then once more on a 24-bit screen, in a window of Wine's own
#      desktop, and once with Alt+Enter into the window and back.
#   scripts/ci-windows.sh [BUILD] [WINDOWS_BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
build="${1:-build}"
wbuild="${2:-build-windows}"
jobs="${JOBS:-2}"

. scripts/lib/common.sh
STEP_LABEL=ci-windows

scripts/install-deps.sh --windows
step make windows BUILD="$build" WINDOWS_BUILD="$wbuild" JOBS="$jobs" WERROR="${WERROR:-ON}"
step cmake --build "$wbuild" -j "$jobs" --target windows_suites
# The Linux game and simulator the Windows ones are compared with.
step cmake --build "$build" -j "$jobs" --target plusrail plusrail-sim
build="$(cd "$build" && pwd)"
wbuild="$(cd "$wbuild" && pwd)"

work="$(mktemp -d)"
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# DirectSound needs an output; a null ALSA device serves, for these runs alone.
cat > "$work/asound.conf" <<'ALSA'
pcm.!default { type null }
ctl.!default { type null }
ALSA
export ALSA_CONFIG_PATH="$work/asound.conf"
step wineboot -i
# The prefix is made by processes that outlive wineboot: the first suites would otherwise be
# listed (ctest runs each under Wine for its cases) while it is still being written.
step wineserver -w

# The Windows layer's own suite opens windows and boxes and reads the screen: an X server for
# the whole run, at 24 bits so that the picture is converted on its way to the screen (the smoke
# runs show it on 16-bit screens), large enough for a window at twice the picture's size.
suites() {
  (cd "$wbuild" && xvfb-run -a -s "-screen 0 1600x1200x24" ctest -j "$jobs" --output-on-failure)
  # The prefix's server and desktop process belong to the X server that has just gone: the
  # simulators below must not find them still ending.
  wineserver -w
}
step suites

# Each golden session on both simulators, from folders with copies of the pictures and sounds
# (Wine reads them as any Windows program would): both give the recording's bytes, replays
# included, and the same data files.
compare_sim() {
  local status=0 same script name linux windows file
  for script in "$root"/tests/golden/*.script; do
    name="$(basename "$script" .script)"
    same=0
    linux="$work/sim/linux/$name"
    windows="$work/sim/windows/$name"
    GOLDEN_COPY_ASSETS=1 golden_session "$linux" "$script" "$build/game" "$build/plusrail-sim" &&
      golden_compare "$root/tests/golden" "$name" "$linux" || same=1
    GOLDEN_COPY_ASSETS=1 golden_session "$windows" "$script" "$build/game" \
      wine "$wbuild/plusrail-sim.exe" &&
      golden_compare "$root/tests/golden" "$name" "$windows" || same=1
    for file in config.dat rank_n.dat rank_e.dat; do
      if [ -f "$linux/game/$file" ] || [ -f "$windows/game/$file" ]; then
        cmp "$linux/game/$file" "$windows/game/$file" || same=1
      fi
    done
    if [ "$same" -eq 0 ]; then
      echo "ci-windows: simulator session $name: same bytes"
    else
      echo "ci-windows: simulator session $name: DIFFERENT"
      status=1
    fi
  done
  return $status
}
step compare_sim

step scripts/ci-windows-smoke.sh "$build" "$wbuild" "$work/smoke"
