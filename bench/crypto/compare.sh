#!/bin/sh
# Protects and restores a file of SIZE_MB megabytes in FOLDER (default: a new
# folder under the build folder, on the disk of the work) and, side by side,
# lets dd write the protected file's size, once from /dev/zero and once by
# copying the protected file itself, timing all with /usr/bin/time. Run it
# with 10 and with 1024 to see that the peak memory does not grow with the
# file. Usage: compare.sh BUILD_DIR [SIZE_MB] [FOLDER]
set -eu
build=$1
size=${2:-100}
folder=${3:-$build/crypto-bench-data}
mkdir -p "$folder"
bench=$build/bench/crypto/bench_crypto
"$bench" make "$size" "$folder/input"
out=$((2 * size))
for round in 1 2 3; do
  echo "== round $round"
  /usr/bin/time -f "protect  %e s  %M KB peak" "$bench" protect "$folder/input" "$folder/input.ang"
  /usr/bin/time -f "dd ${out}MB %e s  %M KB peak" dd if=/dev/zero of="$folder/dd.out" bs=1M count=$out conv=fsync status=none
  /usr/bin/time -f "dd copy  %e s  %M KB peak" dd if="$folder/input.ang" of="$folder/dd.out" bs=1M conv=fsync status=none
  /usr/bin/time -f "restore  %e s  %M KB peak" "$bench" restore "$folder/input.ang"
done
cmp "$folder/input" "$folder/input.restored" && echo "restored file is identical"
rm -f "$folder/input" "$folder/input.ang" "$folder/input.restored" "$folder/dd.out"
