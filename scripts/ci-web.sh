#!/usr/bin/env bash
# The browser version in CI: builds build-web/dist (installing emscripten and chromium when
# missing), replays the golden sessions on the WebAssembly simulator under Node and compares
# them byte for byte, then runs the browser test: Debian's chromium, headless, driven by
# puppeteer-core from npm (no browser download), on dist served from 127.0.0.1.
#   scripts/ci-web.sh [NATIVE_BUILD]          # build by default; build-web beside it
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
native=${1:-build}
. scripts/lib/common.sh
STEP_LABEL=ci-web

step env WERROR=ON scripts/build-web.sh "$native" build-web
step scripts/web-sim-compare.sh "$native" build-web

# puppeteer-core as the lock file pins it, without the browser it could download.
if [ ! -d tests/web/node_modules/puppeteer-core ]; then
  (cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi

# The simulator's title: two frames, two backgrounds (the calendar picks the background).
sim="$root/$native/plusrail-sim"
[ -x "$sim" ] || cmake --build "$native" --target plusrail-sim -j 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shots=()
for clock in 0 98765; do
  mkdir -p "$work/$clock/game"
  ln -s "$root/$native/game/bmp" "$work/$clock/game/bmp"
  ln -s "$root/$native/game/wave" "$work/$clock/game/wave"
  (cd "$work/$clock" && "$sim" --dir game --frames 400 --clock-start "$clock" \
      --shot "300:$work/title-$clock-300.bmp" --shot "390:$work/title-$clock-390.bmp" >/dev/null)
  shots+=("$work/title-$clock-300.bmp" "$work/title-$clock-390.bmp")
done
mkdir -p build-web/screenshots
step node tests/web/browser-test.mjs build-web/dist "${shots[@]}" --shots build-web/screenshots \
  --replay tests/golden/level100.last.rpl

# With the ranking server: a game played in the page is sent, ranked, listed on the ranking
# page and watched from there. The server comes from the native build.
server="$root/$native/plusrail-server"
[ -x "$server" ] || cmake --build "$native" --target plusrail-server -j 2 || true
if [ -x "$server" ]; then
  step node tests/web/ranking-test.mjs "$server" build-web/dist server/page --shots build-web/screenshots
else
  echo "ci-web: SKIPPED the ranking test: $native has no plusrail-server" >&2
fi
