#!/usr/bin/env bash
# Compares the estimate of purge time with the purge itself, after a speed
# test of the drive, on the disk and on /dev/shm: 1000 files of 50 to 128 KiB,
# 100 files of 1 to 10 MiB, and one file of 1 GiB, each listed then purged
# (type 0, 1 pass) through the report window.
#
#   bench/estimate_accuracy.sh [BUILD_DIR]
#
# Environment: DISK_DIR (default /var/tmp), SHM_DIR (default /dev/shm).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
driver=$build/bin/report_estimate
[[ -x $driver ]] || { echo "no $driver: build the report_estimate target first" >&2; exit 2; }
work_dirs=()
trap 'for d in "${work_dirs[@]}"; do rm -rf "$d"; done' EXIT

for base in "${DISK_DIR:-/var/tmp}" "${SHM_DIR:-/dev/shm}"; do
    root=$(mktemp -d "$base/veldrane-estimate.XXXXXX")
    work_dirs+=("$root")
    RANDOM=20240601
    mkdir -p "$root/small" "$root/medium" "$root/big"
    for ((i = 0; i < 1000; i++)); do
        head -c $(( (RANDOM * 32768 + RANDOM) % (78 * 1024 + 1) + 50 * 1024 )) /dev/urandom > "$root/small/f$((i % 10))_$i"
    done
    for ((i = 0; i < 100; i++)); do
        head -c $(( ((RANDOM * 32768 + RANDOM) % (9 * 1024 + 1) + 1024) * 1024 )) /dev/urandom > "$root/medium/f$i"
    done
    dd if=/dev/urandom of="$root/big/one.bin" bs=1M count=1024 status=none
    sync
    echo "== $base ($(stat -f -c %T "$base"))"
    "$driver" "$root" "$root/small" "$root/medium" "$root/big"
done
