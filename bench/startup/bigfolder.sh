#!/bin/bash
# Side by side: from the command to the picture on screen, and the peak
# memory, of Orbet, qimgv and feh opening one picture in a folder of COUNT
# pictures (100000 by default), every one listed by the picture filter, as a
# camera dump is. The picture is a real 400 x 400 JPEG in the middle of the
# list; the others are empty files of the same kind. The programs take turns,
# one round is a warm-up, the table shows the median of the counted rounds;
# the X screen is the finish line (orbet_launch_probe).
# Usage: bench/startup/bigfolder.sh BUILD_DIR [ROUNDS] [COUNT]
set -eu
build=$(cd "$1" && pwd)
rounds=${2:-3}
count=${3:-100000}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
. "$here/common.sh"

for p in qimgv feh; do
  command -v $p >/dev/null || { echo "$p is not installed: it is the reference here" >&2; exit 1; }
done

start_x
folder=$work/many
mkdir -p "$folder"
middle=$(printf 'IMG_%07d.jpg' $((count / 2)))
(cd "$folder" && seq -f 'IMG_%07g.jpg' 0 $((count - 1)) | xargs touch)
rm "$folder/$middle"
"$picture_maker" "$folder/$middle" 400 400
ohome=$(orbet_home)
mkdir -p "$work/home"

command_for() {  # command_for NAME: the program's command line, picture last
  case $1 in
    orbet) cmd=(env HOME="$work/home" ORBET_HOME="$ohome" "$orbet") ;;
    qimgv) cmd=(env HOME="$work/home" qimgv) ;;
    feh) cmd=(env HOME="$work/home" feh) ;;
  esac
}

declare -A ms kb
for round in $(seq 0 "$rounds"); do
  for p in orbet qimgv feh; do
    command_for "$p"
    read -r t m _ < <(run_probe "$work/$p.log" "${cmd[@]}" "$folder/$middle")
    [ "$round" -eq 0 ] && continue
    ms[$p]+="$t "
    kb[$p]+="$m "
  done
done
listing=()
for _ in $(seq "$rounds"); do
  s=$(date +%s%N); ls -1 "$folder" | sort >/dev/null; e=$(date +%s%N)
  listing+=($(( (e - s) / 1000000 )))
done

cell() {  # cell PROGRAM
  local t m
  t=$(tr ' ' '\n' <<<"${ms[$1]}" | grep . | median)
  m=$(tr ' ' '\n' <<<"${kb[$1]}" | grep . | median)
  awk -v t="$t" -v m="$m" 'BEGIN { if (t < 0) printf "no picture"; else printf "%.3f s, %.0f MB", t / 1000, m / 1024 }'
}

echo "| $count pictures, all listed | Orbet | qimgv | feh |"
echo "|---|---|---|---|"
echo "| command to picture on screen | $(cell orbet) | $(cell qimgv) | $(cell feh) |"
echo
echo "ls -1 | sort of the folder: median $(printf '%s\n' "${listing[@]}" | median) ms"
echo "median of $rounds alternating rounds after one warm-up; every run's figures (ms, KB):"
for key in "${!ms[@]}"; do echo "  $key: ${ms[$key]}| ${kb[$key]}"; done | sort
