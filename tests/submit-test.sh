#!/usr/bin/env bash
# plusrail-submit against a real ranking server on 127.0.0.1 with an empty SQLite folder: a
# recorded game is accepted and ranked, the same file again is the same entry, a game whose
# result was edited (its CRC made right again) is refused with the field that differs, and the
# command's own refusals (a file that is no replay, a name outside the alphabet, a server that
# does not answer) end with their own statuses before anything is ranked.
#   tests/submit-test.sh BUILD SOURCE
set -euo pipefail
build="$(cd "${1:?usage: submit-test.sh BUILD SOURCE}" && pwd)"
source_dir="$(cd "${2:?usage: submit-test.sh BUILD SOURCE}" && pwd)"
submit="$build/plusrail-submit"
server="$build/plusrail-server"

tmp="$(mktemp -d)"
server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "submit-test: $*" >&2
  [ -f "$tmp/server.log" ] && sed 's/^/  server: /' "$tmp/server.log" >&2
  exit 1
}

# A port nobody listens on now, from the system.
free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Runs the command; its status in $status, its output in $out and $err.
run() {
  set +e
  "$submit" "$@" >"$tmp/out" 2>"$tmp/err"
  status=$?
  set -e
  out="$(cat "$tmp/out")"
  err="$(cat "$tmp/err")"
}

# What needs no server: help, the command line, the file.
run --help
[ "$status" -eq 0 ] && grep -q '^usage: plusrail-submit FILE --server URL --name ABC' "$tmp/out" ||
  fail "--help: status $status, $out"
golden="$source_dir/tests/golden/level0.last.rpl"
run "$golden" --server http://127.0.0.1:9 --name 'A<B'
[ "$status" -eq 2 ] && [[ "$err" == *"'<' is not a letter of the ranking"* ]] ||
  fail "a name outside the alphabet: status $status, $err"
run "$golden" --server ftp://127.0.0.1 --name ABC
[ "$status" -eq 2 ] && [[ "$err" == *"http:// or https://"* ]] || fail "an ftp address: $status, $err"
run "$golden" --name ABC
[ "$status" -eq 2 ] && [[ "$err" == *"no --server URL"* ]] || fail "no server: status $status, $err"
run "$source_dir/tests/golden/level0.script" --server http://127.0.0.1:9 --name ABC
[ "$status" -eq 2 ] && [[ "$err" == *"not a replay file"* ]] || fail "a script sent: $status, $err"
port="$(free_port)"
run "$golden" --server "http://127.0.0.1:$port" --name ABC
[ "$status" -eq 3 ] && [[ "$err" == *"no answer from http://127.0.0.1:$port: cannot connect" ]] ||
  fail "no server listening: status $status, $err"

# The server, on a port of its own, until it says it is healthy.
if [ ! -x "$server" ]; then
  echo "submit-test: skipped the server's part: no $server in this build"
  exit 77
fi
for attempt in 1 2 3; do
  port="$(free_port)"
  "$server" --listen "127.0.0.1:$port" --data "$tmp/data" >"$tmp/server.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 100); do
    if curl -fsS "http://127.0.0.1:$port/healthz" 2>/dev/null | grep -q ok; then break 2; fi
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  server_pid=""
done
[ -n "$server_pid" ] || fail "the server did not start"
url="http://127.0.0.1:$port"

# The recorded game, accepted, with what the game recorded in it.
read -r score lines < <(python3 - "$golden" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
print(*struct.unpack_from('<ii', data, 52))
PY
)
run "$golden" --server "$url" --name 'a+?'
[ "$status" -eq 0 ] || fail "the recorded game was not accepted: status $status, $out $err"
[[ "$out" == "accepted: rank 1: \"A+?\" $score points, $lines lines,"* ]] ||
  fail "the answer does not give the rank and the result: $out"
[[ "$out" == *"watch it: $url/play/index.html?replay=/api/v1/games/"*"/replay"* ]] ||
  fail "the answer names no replay to watch: $out"
curl -fsS "$url/api/v1/ranking" >"$tmp/ranking.json"
python3 - "$tmp/ranking.json" "$score" <<'PY' || fail "the ranking does not hold the game: $(cat "$tmp/ranking.json")"
import json, sys
ranking = json.load(open(sys.argv[1]))
entries = ranking['entries']
assert ranking['total'] == 1 and len(entries) == 1, ranking
assert entries[0]['name'] == 'A+?' and entries[0]['score'] == int(sys.argv[2]), entries[0]
PY

# The same bytes again: the entry already there, nothing added.
run "$golden" --server "$url/" --name XYZ
[ "$status" -eq 0 ] && [[ "$out" == "already on the board: rank 1: \"A+?\""* ]] ||
  fail "the same game again: status $status, $out $err"

# The score raised by 100 and the CRC made right: a whole, sound file that the rules refuse.
python3 - "$golden" "$tmp/edited.rpl" <<'PY'
import struct, sys, zlib
data = bytearray(open(sys.argv[1], 'rb').read())
struct.pack_into('<i', data, 52, struct.unpack_from('<i', data, 52)[0] + 100)
struct.pack_into('<I', data, len(data) - 4, zlib.crc32(bytes(data[:-4])) & 0xffffffff)
open(sys.argv[2], 'wb').write(data)
PY
run "$tmp/edited.rpl" --server "$url" --name ABC
[ "$status" -eq 1 ] || fail "the edited game was not refused: status $status, $out $err"
[ "$err" = "refused (422): score differs: recorded $((score + 100)), replayed $score" ] ||
  fail "the refusal does not say why: $err"
curl -fsS "$url/api/v1/ranking" | python3 -c 'import json, sys; assert json.load(sys.stdin)["total"] == 1' ||
  fail "the edited game is on the board"
echo "submit-test: every check passed"
