#!/usr/bin/env bash
# Compares the purge engine with the dd limit and GNU shred on the same files
# in one run, on the disk and on /dev/shm.
#
#   bench/purge_vs_peers.sh [BUILD_DIR]
#
# BUILD_DIR holds bin/purge_files (default: the build-purge folder beside
# bench/). Environment: DISK_DIR (default /var/tmp), SHM_DIR (default
# /dev/shm), REPEAT (runs per case, median shown; default 3), SMALL_FILES
# (default 1000), BIG_MB (default 1024).
#
# Cases, each command on freshly written files (written, then sync):
#   one big file, 2 overwrites: purge type 0, 1 pass, kept (length and time
#     stamps given back, as shred keeps it), vs `shred -n 1 -z`, and per
#     overwrite vs `dd if=/dev/zero bs=1M conv=notrunc,fdatasync`; then once
#     more with deletion, for the event gap and the time that deletion adds;
#   many files of 50 to 128 KiB: purge type 0, 1 pass (deleted), vs
#     `shred -n 1 -z --remove=unlink` on copies of the same files; both get
#     the file names from the shell.
# Goals: big file per overwrite >= 0.8 of dd; small files/s >= shred; longest
# event gap <= 50 ms; peak memory the same for one big file and many small.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build-purge}
purge=$build/bin/purge_files
[[ -x $purge ]] || { echo "no $purge: build the purge_files target first" >&2; exit 2; }
command -v shred >/dev/null || { echo "GNU shred is needed" >&2; exit 2; }

DISK_DIR=${DISK_DIR:-/var/tmp}
SHM_DIR=${SHM_DIR:-/dev/shm}
REPEAT=${REPEAT:-3}
SMALL_FILES=${SMALL_FILES:-1000}
BIG_MB=${BIG_MB:-1024}

source "$here/bench_lib.sh"

# The sizes of the small files, the same in every run.
small_sizes=()
RANDOM=20240601
for ((i = 0; i < SMALL_FILES; i++)); do
    small_sizes+=($(( (RANDOM * 32768 + RANDOM) % (78 * 1024 + 1) + 50 * 1024 )))
done
small_bytes=0
for s in "${small_sizes[@]}"; do small_bytes=$((small_bytes + s)); done

write_big() { dd if=/dev/zero of="$1" bs=1M count="$BIG_MB" status=none; sync; }
write_small() {
    local dir=$1 i=0
    rm -rf "$dir"; mkdir -p "$dir"
    for s in "${small_sizes[@]}"; do head -c "$s" "$template" >"$dir/f$i"; i=$((i + 1)); done
    sync
}

echo "Machine: $(nproc) CPUs, $(uname -r); load before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Busiest other processes at start:"
ps -eo pcpu,comm --sort=-pcpu | sed -n '2,6p' | sed 's/^/   /'
echo "Engine: $purge"
echo

fail=0
goal() { # text, condition
    if awk "BEGIN { exit !($2) }"; then echo "   goal met:    $1"; else echo "   GOAL MISSED: $1"; fail=1; fi
}

rss_values=()
for place in disk shm; do
    base=$DISK_DIR; [[ $place == shm ]] && base=$SHM_DIR
    work=$(mktemp -d "$base/veldrane-bench.XXXXXX")
    work_dirs+=("$work")
    template=$work/template
    head -c $((128 * 1024)) /dev/urandom >"$template"
    fstype=$(findmnt -n -o FSTYPE -T "$work" 2>/dev/null | head -1)

    echo "== $place: $work ($fstype)"
    # One big file.
    big=$work/big.bin
    t_dd=(); t_shred=(); t_ours=(); gaps=(); rss=()
    for ((r = 0; r < REPEAT; r++)); do
        write_big "$big"; t_dd+=($(timed dd if=/dev/zero of="$big" bs=1M count="$BIG_MB" conv=notrunc,fdatasync status=none))
        write_big "$big"; t_shred+=($(timed shred -n 1 -z "$big"))
        write_big "$big"; t_ours+=($(timed "$purge" --keep 0 1 "$big")); gaps+=($(field gap_ms)); rss+=($(field rss_kib))
    done
    write_big "$big"; t_del=$(timed "$purge" 0 1 "$big"); gap_del=$(field gap_ms); rss+=($(field rss_kib))
    rm -f "$big"
    md_dd=$(echo "${t_dd[*]}" | median); md_shred=$(echo "${t_shred[*]}" | median); md_ours=$(echo "${t_ours[*]}" | median)
    mbs_dd=$(calc "$BIG_MB / $md_dd"); mbs_shred=$(calc "2 * $BIG_MB / $md_shred"); mbs_ours=$(calc "2 * $BIG_MB / $md_ours")
    gap_big=$(echo "${gaps[*]}" | tr ' ' '\n' | sort -g | tail -1)
    rss_big=$(echo "${rss[*]}" | tr ' ' '\n' | sort -g | tail -1)
    echo "-- one file of $BIG_MB MiB, 2 overwrites (median of $REPEAT; seconds: dd ${t_dd[*]} | shred ${t_shred[*]} | veldrane ${t_ours[*]})"
    printf "   %-34s %8s MB/s per overwrite\n" "dd bs=1M conv=notrunc,fdatasync" "$mbs_dd"
    printf "   %-34s %8s MB/s per overwrite\n" "shred -n 1 -z" "$mbs_shred"
    printf "   %-34s %8s MB/s per overwrite   (longest event gap %s ms, peak RSS %s KiB)\n" \
        "veldrane type 0, 1 pass, kept" "$mbs_ours" "$gap_big" "$rss_big"
    printf "   %-34s %8s MB/s per overwrite   (longest event gap %s ms; %s s in all)\n" \
        "veldrane type 0, 1 pass, deleted" "$(calc "2 * $BIG_MB / $t_del")" "$gap_del" "$t_del"
    echo "   ratio veldrane/dd $(calc "$mbs_ours / $mbs_dd" 2), veldrane/shred $(calc "$mbs_ours / $mbs_shred" 2)"
    goal "big file >= 0.8 of dd" "$mbs_ours >= 0.8 * $mbs_dd"
    goal "event gap <= 50 ms" "$gap_big <= 50 && $gap_del <= 50"

    # Many small files.
    t_shred=(); t_ours=(); t_loop=(); gaps=(); rss=()
    # Who goes first alternates: each run follows the other's deletions.
    for ((r = 0; r < REPEAT; r++)); do
        if ((r % 2)); then write_small "$work/b"; t_shred+=($(timed shred -n 1 -z --remove=unlink "$work"/b/f*)); fi
        write_small "$work/a"; t_ours+=($(timed "$purge" 0 1 "$work"/a/f*)); t_loop+=($(field seconds))
        gaps+=($(field gap_ms)); rss+=($(field rss_kib))
        if ((r % 2 == 0)); then write_small "$work/b"; t_shred+=($(timed shred -n 1 -z --remove=unlink "$work"/b/f*)); fi
    done
    rm -rf "$work/a" "$work/b"
    md_shred=$(echo "${t_shred[*]}" | median); md_ours=$(echo "${t_ours[*]}" | median)
    gap_small=$(echo "${gaps[*]}" | tr ' ' '\n' | sort -g | tail -1)
    rss_small=$(echo "${rss[*]}" | tr ' ' '\n' | sort -g | tail -1)
    fps_shred=$(calc "$SMALL_FILES / $md_shred"); fps_ours=$(calc "$SMALL_FILES / $md_ours")
    echo "-- $SMALL_FILES files of 50 to 128 KiB ($(calc "$small_bytes / 1048576") MiB), 2 overwrites each, deleted (median of $REPEAT; seconds: shred ${t_shred[*]} | veldrane ${t_ours[*]})"
    printf "   %-34s %8s files/s %8s MB/s per overwrite\n" "shred -n 1 -z --remove=unlink" "$fps_shred" \
        "$(calc "2 * $small_bytes / 1048576 / $md_shred")"
    printf "   %-34s %8s files/s %8s MB/s per overwrite   (longest event gap %s ms, peak RSS %s KiB)\n" \
        "veldrane type 0, 1 pass" "$fps_ours" "$(calc "2 * $small_bytes / 1048576 / $md_ours")" "$gap_small" "$rss_small"
    # The goal counts our start-up too; the purge loop alone is shown beside it.
    fps_loop=$(calc "$SMALL_FILES / $(echo "${t_loop[*]}" | median)")
    printf "   %-34s %8s files/s   (without start-up; seconds: %s)\n" \
        "veldrane purge loop alone" "$fps_loop" "${t_loop[*]}"
    echo "   ratio veldrane/shred $(calc "$fps_ours / $fps_shred" 2) (purge loop alone $(calc "$fps_loop / $fps_shred" 2))"
    goal "small files/s >= shred" "$fps_ours >= $fps_shred"
    goal "event gap <= 50 ms" "$gap_small <= 50"
    rss_values+=("$rss_big" "$rss_small")
    echo
done

lo=$(printf '%s\n' "${rss_values[@]}" | sort -g | head -1); hi=$(printf '%s\n' "${rss_values[@]}" | sort -g | tail -1)
echo "Peak RSS over all runs: $lo to $hi KiB"
goal "memory constant (peak RSS of a 1 GiB file within 4 MiB of that of small files)" "$hi - $lo <= 4096"
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $fail
