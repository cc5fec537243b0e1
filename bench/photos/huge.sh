#!/bin/bash
# A 108-megapixel phone photo (12000 x 9000 JPEG) beside qimgv, from the
# command to the screen, taking turns (one warm-up round, then the median
# of the counted rounds), on a private X server of 1280 x 1024:
#  - the first screenful: Orbet's main pane shows the photo's top-left part
#    at its size, qimgv the photo fitted to its window; either way the
#    top-left quarter's colour on screen;
#  - the whole picture fitted: Orbet's full-screen window (F8 pressed as
#    soon as the main window is up), qimgv's window; the bottom-right
#    quarter's colour on screen;
#  - the peak memory of each run.
# qimgv is a reference only; it is installed here when missing.
# Usage: bench/photos/huge.sh BUILD_DIR [ROUNDS]
set -eu
build=$(cd "$1" && pwd)
rounds=${2:-3}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
. "$here/../startup/common.sh"

missing=()
command -v qimgv >/dev/null || missing+=(qimgv)
command -v xdotool >/dev/null || missing+=(xdotool)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

start_x
mkdir -p "$work/huge" "$work/home"
"$build/bench/photos/orbet_bench_huge" "$work/huge/huge.jpg" 12000 9000
ohome=$(orbet_home)
topleft=230,30,200
bottomright=30,200,230

# Orbet, then F8 once its main window is mapped (the title starts "Orbet - ").
# The program takes the wrapper's place, so the probe measures and ends it.
cat >"$work/orbet-full.sh" <<'SCRIPT'
#!/bin/bash
(
  until id=$(xdotool search --onlyvisible --name '^Orbet - ' 2>/dev/null | head -1) && [ -n "$id" ]; do
    kill -0 $$ 2>/dev/null || exit 0
    sleep 0.01
  done
  xdotool windowfocus --sync "$id" key F8
) </dev/null >/dev/null 2>&1 &
exec "$@"
SCRIPT
chmod +x "$work/orbet-full.sh"

declare -A ms kb
for round in $(seq 0 "$rounds"); do
  for run in orbet.first qimgv.first orbet.fitted qimgv.fitted; do
    colour=$topleft; [ "${run#*.}" = fitted ] && colour=$bottomright
    case $run in
      orbet.first) cmd=(env HOME="$work/home" ORBET_HOME="$ohome" "$orbet") ;;
      orbet.fitted) cmd=("$work/orbet-full.sh" env HOME="$work/home" ORBET_HOME="$ohome" "$orbet") ;;
      qimgv.*) cmd=(env HOME="$work/home" qimgv) ;;
    esac
    read -r t m _ < <(PROBE_ARGS="--colour $colour --timeout 60000" HOLD_MS=1500 \
                        run_probe "$work/$run.log" "${cmd[@]}" "$work/huge/huge.jpg")
    [ "$round" -eq 0 ] && continue
    ms[$run]+="$t "
    kb[$run]+="$m "
  done
done

value() { tr ' ' '\n' <<<"$1" | grep . | median; }
cell() {
  awk -v t="$(value "${ms[$1]}")" -v m="$(value "${kb[$1]}")" \
    'BEGIN { if (t < 0) printf "no picture"; else printf "%.3f s, %.0f MB", t / 1000, m / 1024 }'
}
ratio() {  # ratio A B: A's median over B's
  awk -v a="$(value "$1")" -v b="$(value "$2")" 'BEGIN { if (a < 0 || b <= 0) printf "-"; else printf "%.2f", a / b }'
}

echo "| 12000 x 9000 JPEG | Orbet | qimgv | Orbet / qimgv (time) | Orbet / qimgv (peak memory) |"
echo "|---|---|---|---|---|"
echo "| first screenful | $(cell orbet.first) | $(cell qimgv.first) | $(ratio "${ms[orbet.first]}" "${ms[qimgv.first]}") | $(ratio "${kb[orbet.first]}" "${kb[qimgv.first]}") |"
echo "| whole picture fitted (Orbet: full screen) | $(cell orbet.fitted) | $(cell qimgv.fitted) | $(ratio "${ms[orbet.fitted]}" "${ms[qimgv.fitted]}") | $(ratio "${kb[orbet.fitted]}" "${kb[qimgv.fitted]}") |"
echo
echo "median of $rounds alternating rounds after one warm-up; every run's figures (ms, KB):"
for key in "${!ms[@]}"; do echo "  $key: ${ms[$key]}| ${kb[$key]}"; done | sort
