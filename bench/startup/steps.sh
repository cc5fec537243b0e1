#!/bin/bash
# The real program's start-up, step by step, under a private X server: with
# ORBET_STARTUP_TRACE=1 the program stamps each step (splash, drive level,
# plug-ins, OpenF, window shown, first picture painted, Timer1) and the
# screen probe stamps the picture's arrival. Four starts: a 400 x 400 JPEG,
# a 6000 x 4000 JPEG, a folder of 100,000 files of which 1,000 are
# pictures, a folder holding only the one picture, a web page (its colour
# is the finish line) and a video (the player's "loaded" stamp is); and
# `ls -1` of the large folder for scale. Median of ROUNDS rounds after one
# warm-up.
# Usage: bench/startup/steps.sh BUILD_DIR [ROUNDS]
set -eu
build=$(cd "$1" && pwd)
rounds=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
. "$here/common.sh"

start_x
make_pictures
ohome=$(orbet_home)
mkdir -p "$work/home" "$work/many" "$work/one"
# 99,000 other files and 1,000 pictures (links to the small one).
(cd "$work/many" && seq -f 'file%06g.dat' 1 99000 | xargs touch)
for i in $(seq -f '%04g' 1 1000); do ln "$work/small/small.jpg" "$work/many/pic$i.jpg"; done
ln "$work/small/small.jpg" "$work/one/pic0001.jpg"
mkdir -p "$work/web" "$work/media"
printf '<html><body style="background: rgb(230,30,200)"><p>page</p></body></html>' >"$work/web/page.html"
# The video comes from the project's test files (ORBET_TESTDATA to point elsewhere).
cp "${ORBET_TESTDATA:-$here/../../../shared/testdata}/media/test_audio_video.mpg" "$work/media/"

cases=(small large many one web media)
declare -A target=([small]="$work/small/small.jpg" [large]="$work/large/large.jpg" [many]="$work/many" [one]="$work/one"
                   [web]="$work/web/page.html" [media]="$work/media/test_audio_video.mpg")
declare -A title=([small]="400 x 400 JPEG" [large]="6000 x 4000 JPEG" [many]="folder, 100,000 files" [one]="folder, 1 picture"
                  [web]="web page (first after start)" [media]="video file (first after start)")
: >"$work/stamps"
for round in $(seq 0 "$rounds"); do
  for c in "${cases[@]}"; do
    log=$work/trace.log
    PROBE_ARGS=""; [ "$c" = media ] && PROBE_ARGS="--timeout 4000"
    read -r t m launch_ns < <(PROBE_ARGS=$PROBE_ARGS run_probe "$log" env HOME="$work/home" ORBET_HOME="$ohome" ORBET_STARTUP_TRACE=1 "$orbet" "${target[$c]}")
    [ "$round" -eq 0 ] && continue
    echo "$c picture-on-screen $t" >>"$work/stamps"
    echo "$c peak-MB $(awk -v k="$m" 'BEGIN { printf "%.0f", k / 1024 }')" >>"$work/stamps"
    # Reads of the folder started on: before the window shows, and in all.
    folder=${target[$c]}; [ -d "$folder" ] || folder=$(dirname "$folder")
    awk -v c="$c" -v f="$folder" '$1 == "orbet-startup" && $3 " " $4 == "window shown" { shown = 1 }
        $1 == "orbet-startup" && $3 " " $4 == "folder read" && $5 == f { all++; if (!shown) before++ }
        END { printf "%s reads-before-show %d\n%s reads-in-all %d\n", c, before, c, all }' "$log" >>"$work/stamps"
    awk -v c="$c" -v l="$launch_ns" '$1 == "orbet-startup" && $3 " " $4 != "folder read" && !seen[$3 " " $4 " " $5]++ {
        name = $3; for (i = 4; i <= NF; ++i) name = name "-" $i
        printf "%s %s %.1f\n", c, name, ($2 - l) / 1e6 }' "$log" >>"$work/stamps"
  done
  s=$(date +%s%N); ls -1 "$work/many" >/dev/null; e=$(date +%s%N)
  [ "$round" -gt 0 ] && echo "many ls-1 $(awk -v s="$s" -v e="$e" 'BEGIN { printf "%.1f", (e - s) / 1e6 }')" >>"$work/stamps"
done

echo "Milliseconds from the launch (median of $rounds rounds):"
for c in "${cases[@]}"; do
  echo "== ${title[$c]}"
  awk -v c="$c" '$1 == c && !order[$2]++ { print $2 }' "$work/stamps" | while read -r step; do
    printf '  %-28s %s\n' "$step" "$(awk -v c="$c" -v s="$step" '$1 == c && $2 == s { print $3 }' "$work/stamps" | median)"
  done
done
