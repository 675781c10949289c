#!/usr/bin/env bash
# A game played in the simulator, sent to a real plusrail-server on 127.0.0.1: ranked with the
# score the game recorded and listed; the same file with its score edited (CRC made right) is
# refused with the field that differs.
#   tests/server/server-sim-test.sh BUILD
set -euo pipefail
build="$(cd "$1" && pwd)"
root="$(cd "$(dirname "$0")/../.." && pwd)"
. "$root/scripts/lib/common.sh"
for tool in curl python3; do
  command -v "$tool" >/dev/null || { echo "server-sim-test: $tool is missing (scripts/install-deps.sh --server)" >&2; exit 1; }
done
work="$(mktemp -d "${TMPDIR:-/tmp}/plusrail-server-sim.XXXXXX")"
server_pid=""
cleanup() {
  [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# GAME START, NORMAL MODE at level 0, then a press every 13 frames, cycling through the
# directions and the rotations, until the stack tops out and the game ends.
{
  echo "# frames 9000"
  echo "245 Z down"
  echo "247 Z up"
  echo "291 Z down"
  echo "294 Z up"
  keys=(LEFT Z RIGHT X S LEFT LEFT Z RIGHT RIGHT DOWN)
  for ((f = 420, k = 0; f < 8800; f += 13, k++)); do
    key="${keys[k % ${#keys[@]}]}"
    echo "$f $key down"
    echo "$((f + 3)) $key up"
  done
} >"$work/game.script"
golden_session "$work/session" "$work/game.script" "$build/game" "$build/plusrail-sim"
replay="$work/session/game/replays/last.rpl"
[ -f "$replay" ] || { echo "server-sim-test: the simulator wrote no replays/last.rpl" >&2; exit 1; }

"$build/plusrail-server" --listen 127.0.0.1:0 --data "$work/data" >"$work/server.txt" 2>&1 &
server_pid=$!
for _ in $(seq 100); do
  grep -q 'listening on' "$work/server.txt" && break
  sleep 0.05
done
address="$(sed -n 's/.*listening on \(http:[^ ]*\).*/\1/p' "$work/server.txt")"
[ -n "$address" ] || { echo "server-sim-test: the server did not start:" >&2; cat "$work/server.txt" >&2; exit 1; }

field() { python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); print(eval(sys.argv[2], {}, {"d": d}))' "$@"; }
recorded="$(python3 -c 'import struct,sys; print(struct.unpack_from("<i", open(sys.argv[1],"rb").read(), 52)[0])' "$replay")"

status="$(curl -sS -o "$work/answer.json" -w '%{http_code}' --max-time 20 \
  -H 'Content-Type: application/octet-stream' --data-binary @"$replay" "$address/api/v1/games?name=SIM")"
[ "$status" = 201 ] || { echo "server-sim-test: the simulator's game got $status: $(cat "$work/answer.json")" >&2; exit 1; }
[ "$(field "$work/answer.json" 'd["entry"]["score"]')" = "$recorded" ] ||
  { echo "server-sim-test: ranked with another score than the recorded $recorded" >&2; exit 1; }
id="$(field "$work/answer.json" 'd["entry"]["id"]')"
curl -sS --max-time 10 "$address/api/v1/ranking" >"$work/ranking.json"
[ "$(field "$work/ranking.json" '[e["id"] for e in d["entries"]]')" = "[$id]" ] ||
  { echo "server-sim-test: the ranking does not list the game: $(cat "$work/ranking.json")" >&2; exit 1; }
curl -sS --max-time 10 -o "$work/back.rpl" "$address/api/v1/games/$id/replay"
cmp -s "$replay" "$work/back.rpl" || { echo "server-sim-test: the replay came back changed" >&2; exit 1; }

# The score raised by 100 and the CRC computed again: only playing the game finds it out.
python3 - "$replay" "$work/edited.rpl" <<'PY'
import struct, sys, zlib
data = bytearray(open(sys.argv[1], "rb").read())
struct.pack_into("<i", data, 52, struct.unpack_from("<i", data, 52)[0] + 100)
struct.pack_into("<I", data, len(data) - 4, zlib.crc32(bytes(data[:-4])) & 0xFFFFFFFF)
open(sys.argv[2], "wb").write(data)
PY
status="$(curl -sS -o "$work/answer.json" -w '%{http_code}' --max-time 20 \
  -H 'Content-Type: application/octet-stream' --data-binary @"$work/edited.rpl" "$address/api/v1/games?name=SIM")"
expected="score differs: recorded $((recorded + 100)), replayed $recorded"
[ "$status" = 422 ] && [ "$(field "$work/answer.json" 'd["error"]')" = "$expected" ] ||
  { echo "server-sim-test: the edited game got $status: $(cat "$work/answer.json"), not '$expected'" >&2; exit 1; }
echo "server-sim-test: the simulator's game (score $recorded) ranked as entry $id; the edited one refused: $expected"
