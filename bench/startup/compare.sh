#!/bin/bash
# Side by side: from the command to the picture on screen, and the peak
# memory, of Orbet, qimgv, feh and a bare Qt Widgets window, on a 400 x 400
# and a 6000 x 4000 JPEG. The programs take turns (one round runs each once),
# one round is a warm-up, the table shows the median of the counted rounds.
# The finish line is the X screen itself, sampled every few milliseconds.
# qimgv and feh are references only; they are installed here when missing.
# Usage: bench/startup/compare.sh BUILD_DIR [ROUNDS]
set -eu
build=$(cd "$1" && pwd)
rounds=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
. "$here/common.sh"

missing=()
command -v qimgv >/dev/null || missing+=(qimgv)
command -v feh >/dev/null || missing+=(feh)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

start_x
make_pictures
ohome=$(orbet_home)
mkdir -p "$work/home"

command_for() {  # command_for NAME: the program's command line, picture last
  case $1 in
    orbet) cmd=(env HOME="$work/home" ORBET_HOME="$ohome" "$orbet") ;;
    qimgv) cmd=(env HOME="$work/home" qimgv) ;;
    feh) cmd=(env HOME="$work/home" feh) ;;
    bare) cmd=(env HOME="$work/home" "$build/bench/startup/orbet_bare_window") ;;
  esac
}

declare -A ms kb
for size in small large; do
  programs=(orbet qimgv feh bare)
  [ $size = large ] && programs=(orbet qimgv feh)
  for round in $(seq 0 "$rounds"); do
    for p in "${programs[@]}"; do
      command_for "$p"
      read -r t m launch_ns < <(run_probe "$work/$p.log" "${cmd[@]}" "$work/$size/$size.jpg")
      [ "$round" -eq 0 ] && continue
      ms[$size.$p]+="$t "
      kb[$size.$p]+="$m "
    done
  done
done

cell() {  # cell SIZE PROGRAM
  local key=$1.$2
  [ -z "${ms[$key]:-}" ] && return
  local t m
  t=$(tr ' ' '\n' <<<"${ms[$key]}" | grep . | median)
  m=$(tr ' ' '\n' <<<"${kb[$key]}" | grep . | median)
  awk -v t="$t" -v m="$m" 'BEGIN { if (t < 0) printf "no picture"; else printf "%.3f s, %.0f MB", t / 1000, m / 1024 }'
}

echo "| Start with one picture | Orbet | qimgv | feh | a bare Qt Widgets window |"
echo "|---|---|---|---|---|"
echo "| 400 x 400 JPEG | $(cell small orbet) | $(cell small qimgv) | $(cell small feh) | $(cell small bare) |"
echo "| 6000 x 4000 JPEG | $(cell large orbet) | $(cell large qimgv) | $(cell large feh) | |"
echo
echo "median of $rounds alternating rounds after one warm-up; every run's figures (ms, KB):"
for key in "${!ms[@]}"; do echo "  $key: ${ms[$key]}| ${kb[$key]}"; done | sort
