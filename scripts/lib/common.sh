# What the CI scripts and the golden sessions' scripts share. Sourced, not run:
#     . "$root/scripts/lib/common.sh"

# step CMD...: runs CMD and says how long it took, after the label in STEP_LABEL ("ci" unless
# set). A failing step ends a script run with `set -e` at once.
step() {
  local start=$SECONDS
  "$@"
  echo "${STEP_LABEL:-ci}: '$*' took $((SECONDS - start))s"
}

# golden_frames SCRIPT: the count of frames its first line gives ("# frames N"), or nothing.
golden_frames() {
  sed -n '1s/^# frames \([0-9][0-9]*\)$/\1/p' "$1"
}

# golden_session OUT SCRIPT ASSETS SIM...: runs one golden session as it was recorded: the
# simulator command SIM... (plusrail-sim, or `wine plusrail-sim.exe`, or `node plusrail-sim.js`)
# in OUT, an empty folder made for it, whose game/ holds ASSETS' bmp and wave (linked, or copied
# when GOLDEN_COPY_ASSETS=1), at calendar time 0, for the script's frames. OUT then holds
# state.json, events.txt, digests.txt, what the simulator printed (out.txt, err.txt) and the
# folder game/ as the session left it, its replays/ included. The simulator runs in OUT: name it
# by an absolute path.
golden_session() {
  local out="$1" script assets frames kind
  script="$(realpath "$2")"
  assets="$(realpath "$3")"
  shift 3
  frames="$(golden_frames "$script")"
  if [ -z "$frames" ]; then
    echo "golden: $script does not start with \"# frames N\"" >&2
    return 1
  fi
  rm -rf "$out"
  mkdir -p "$out/game"
  for kind in bmp wave; do
    if [ "${GOLDEN_COPY_ASSETS:-0}" = 1 ]; then
      cp -r "$assets/$kind" "$out/game/$kind"
    else
      ln -s "$assets/$kind" "$out/game/$kind"
    fi
  done
  (cd "$out" && "$@" --dir game --frames "$frames" --input "$script" --clock-start 0 \
      --state state.json --events events.txt --digests digests.txt >out.txt 2>err.txt) || {
    echo "golden: $(basename "$script"): the simulator failed" >&2
    cat "$out/err.txt" >&2
    return 1
  }
}

# golden_compare GOLDEN NAME OUT: compares the session OUT (from golden_session) with the
# recording NAME in the folder GOLDEN: the state, the event log, the digests, and every replay
# both ways (one the session wrote that is not recorded, or one recorded that it did not write,
# is a difference too). Says what differs; 1 when anything does.
golden_compare() {
  local golden="$1" name="$2" out="$3" status=0 kind file
  for kind in state.json events.txt digests.txt; do
    if ! cmp -s "$golden/$name.$kind" "$out/$kind"; then
      echo "golden: $name.$kind differs:" >&2
      diff "$golden/$name.$kind" "$out/$kind" | head -5 >&2
      status=1
    fi
  done
  for file in "$out"/game/replays/*.rpl; do
    [ -e "$file" ] || continue
    if ! cmp -s "$golden/$name.$(basename "$file")" "$file"; then
      echo "golden: $name wrote replays/$(basename "$file"), not as recorded" >&2
      status=1
    fi
  done
  for file in "$golden/$name".*.rpl; do
    [ -e "$file" ] || continue
    file="${file#"$golden/$name."}"
    if [ ! -e "$out/game/replays/$file" ]; then
      echo "golden: $name did not write replays/$file" >&2
      status=1
    fi
  done
  return $status
}
