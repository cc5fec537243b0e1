# Shared by compare.sh and steps.sh: a private X server, the pictures, the
# settings that let Orbet take its command line, and the probe.
# Expects $build (the build folder) and $work (a scratch folder).

probe=$build/bench/startup/orbet_launch_probe
picture_maker=$build/bench/startup/orbet_bench_picture
orbet=$build/orbet

start_x() {
  # A private server, so no other window can touch the finish line.
  local fd_file=$work/display
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$fd_file" ] && break; sleep 0.05; done
  export DISPLAY=:$(cat "$fd_file")
  export QT_QPA_PLATFORM=xcb
  export XDG_RUNTIME_DIR=$work/runtime
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  # As root the web engine starts only without its kernel sandbox, which the
  # program never turns off by itself.
  [ "$(id -u)" -eq 0 ] && export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:-} --no-sandbox"
  trap 'kill $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
}

make_pictures() {
  mkdir -p "$work/small" "$work/large"
  "$picture_maker" "$work/small/small.jpg" 400 400
  "$picture_maker" "$work/large/large.jpg" 6000 4000
}

# Orbet takes the command line only when a settings file exists; this one
# puts the window at the top left, 1200 x 960 pixels, on the picture filter.
orbet_home() {
  local home=$work/orbet-home
  mkdir -p "$home"
  printf 'LastFilter=0\r\nLeft=0\r\nTop=0\r\nWidth=18000\r\nHeight=14400\r\n' >"$home/picsys.ini"
  echo "$home"
}

# run_probe LOG PROGRAM ARGS...: one launch; prints "ms kb launch-ns" (ms is -1 when
# the picture never showed). The program's stderr goes to LOG.
run_probe() {
  local log=$1; shift
  local line
  line=$("$probe" --hold "${HOLD_MS:-2000}" ${PROBE_ARGS:-} -- "$@" 2>"$log" || true)
  local ms kb
  ms=$(sed -n 's/.*picture_ms=\([-0-9.]*\).*/\1/p' <<<"$line")
  kb=$(sed -n 's/.*peak_kb=\([0-9]*\).*/\1/p' <<<"$line")
  local launch_ns
  launch_ns=$(sed -n 's/.*launch_ns=\([0-9]*\).*/\1/p' <<<"$line")
  echo "${ms:--1} ${kb:-0} ${launch_ns:-0}"
}

# median < numbers
median() {
  sort -g | awk '{a[NR]=$1} END {if (NR == 0) print "nan"; else if (NR % 2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'
}
