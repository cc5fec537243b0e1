#!/usr/bin/env bash
# Runs the viewer benchmark offscreen. djpeg (Debian's libjpeg-turbo-progs)
# is the yardstick the steps are measured against; it is needed here only.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
if ! command -v djpeg >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq libjpeg-turbo-progs
fi
cmake --build "$ROOT/build" --target bench_viewers
QT_QPA_PLATFORM=offscreen "$ROOT/build/bench/viewers/bench_viewers" "$@"
