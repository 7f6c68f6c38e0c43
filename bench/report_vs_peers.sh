#!/usr/bin/env bash
# Compares runs of the report window with the engine alone and with find, in
# one run, on fresh files, on the disk and on /dev/shm.
#
#   bench/report_vs_peers.sh [BUILD_DIR]
#
# BUILD_DIR holds bin/report_run and bin/purge_files (default: build beside
# bench/). Environment: DISK_DIR (default /var/tmp), SHM_DIR (default
# /dev/shm), REPEAT (runs per case, median shown; default 3), LIST_FOLDERS
# (default 1000) and LIST_FILES_PER_FOLDER (default 100).
#
# Cases:
#   purge: 1000 files of 50 to 128 KiB in 10 folders, type 0, 1 pass,
#     report with file names, deleted; against the engine-only driver
#     purge_files on copies of the same files (who goes first alternates);
#   listing: LIST_FOLDERS x LIST_FILES_PER_FOLDER files, subfolders on,
#     folder names shown, then with dots; against
#     `find DIR -type f -printf '%s %TY\n' > /dev/null` on the same tree.
# Goals: purge files/s >= 0.9 of the engine alone; listing <= 2 x find;
# peak memory <= 64 MiB above the program idle; longest event gap <= 50 ms
# on /dev/shm (shown for the disk too).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
report=$build/bin/report_run
engine=$build/bin/purge_files
for b in "$report" "$engine"; do [[ -x $b ]] || { echo "no $b: build the report_run and purge_files targets" >&2; exit 2; }; done

DISK_DIR=${DISK_DIR:-/var/tmp}
SHM_DIR=${SHM_DIR:-/dev/shm}
REPEAT=${REPEAT:-3}
LIST_FOLDERS=${LIST_FOLDERS:-1000}
LIST_FILES_PER_FOLDER=${LIST_FILES_PER_FOLDER:-100}
PURGE_FILES=1000
PURGE_FOLDERS=10

source "$here/bench_lib.sh"

# The sizes of the purge files, the same in every run.
sizes=()
RANDOM=20240601
for ((i = 0; i < PURGE_FILES; i++)); do sizes+=($(( (RANDOM * 32768 + RANDOM) % (78 * 1024 + 1) + 50 * 1024 ))); done

# The purge tree: PURGE_FOLDERS folders of files.
write_tree() {
    local dir=$1 i=0
    rm -rf "$dir"; mkdir -p "$dir"
    for ((f = 0; f < PURGE_FOLDERS; f++)); do mkdir -p "$dir/d$f"; done
    for s in "${sizes[@]}"; do head -c "$s" "$template" >"$dir/d$((i % PURGE_FOLDERS))/f$i"; i=$((i + 1)); done
    sync
}
# The listing tree, written once per place.
write_list_tree() {
    python3 - "$1" "$LIST_FOLDERS" "$LIST_FILES_PER_FOLDER" <<'PY'
import os, sys
root, folders, per = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for d in range(folders):
    p = os.path.join(root, "d%04d" % d)
    os.makedirs(p)
    for f in range(per):
        with open(os.path.join(p, "f%03d.txt" % f), "wb") as fh:
            fh.write(b"x" * (f % 7))
PY
    sync
}

echo "Machine: $(nproc) CPUs, $(uname -r); load before: $(cut -d' ' -f1-3 /proc/loadavg)"
fail=0
goal() {
    if awk "BEGIN { exit !($2) }"; then echo "   goal met:    $1"; else echo "   GOAL MISSED: $1"; fail=1; fi
}

for place in disk shm; do
    base=$DISK_DIR; [[ $place == shm ]] && base=$SHM_DIR
    work=$(mktemp -d "$base/veldrane-bench.XXXXXX")
    work_dirs+=("$work")
    template=$work/template
    head -c $((128 * 1024)) /dev/urandom >"$template"
    echo
    echo "== $place: $work ($(findmnt -n -o FSTYPE -T "$work" 2>/dev/null | head -1))"

    # Purge run against the engine alone.
    t_engine=(); t_report=(); gaps=(); growth=()
    for ((r = 0; r < REPEAT; r++)); do
        if ((r % 2)); then write_tree "$work/e"; t_engine+=($(timed "$engine" 0 1 "$work"/e/d*)); t_engine[-1]=$(field seconds); fi
        write_tree "$work/r"; timed "$report" purge 0 1 "$work/r" >/dev/null
        t_report+=($(field seconds)); gaps+=($(field gap_ms)); growth+=($(calc "$(field peak_kib) - $(field idle_kib)" 0))
        if ((r % 2 == 0)); then write_tree "$work/e"; timed "$engine" 0 1 "$work"/e/d* >/dev/null; t_engine+=($(field seconds)); fi
    done
    rm -rf "$work/e" "$work/r"
    fps_engine=$(calc "$PURGE_FILES / $(echo "${t_engine[*]}" | median)")
    fps_report=$(calc "$PURGE_FILES / $(echo "${t_report[*]}" | median)")
    echo "-- purge: $PURGE_FILES files of 50 to 128 KiB in $PURGE_FOLDERS folders, type 0, 1 pass (median of $REPEAT; seconds: engine ${t_engine[*]} | report window ${t_report[*]})"
    printf "   %-40s %8s files/s\n" "engine alone (purge_files)" "$fps_engine"
    printf "   %-40s %8s files/s   ratio %s   (longest event gap %s ms, memory above idle %s KiB)\n" \
        "report window, file names in the report" "$fps_report" "$(calc "$fps_report / $fps_engine" 2)" \
        "$(echo "${gaps[*]}" | maximum)" "$(echo "${growth[*]}" | maximum)"
    goal "purge files/s >= 0.9 of the engine alone" "$fps_report >= 0.9 * $fps_engine"
    [[ $place == shm ]] && goal "event gap <= 50 ms" "$(echo "${gaps[*]}" | maximum) <= 50"
    goal "memory <= 64 MiB above idle" "$(echo "${growth[*]}" | maximum) <= 65536"

    # Listing against find.
    write_list_tree "$work/l"
    n=$((LIST_FOLDERS * LIST_FILES_PER_FOLDER))
    t_find=(); t_names=(); t_dots=(); lgaps=(); lgrowth=()
    for ((r = 0; r < REPEAT; r++)); do
        t_find+=($(timed sh -c "find '$work/l' -type f -printf '%s %TY\n' > /dev/null"))
        timed "$report" list "$work/l" >/dev/null; t_names+=($(field seconds)); lgaps+=($(field gap_ms))
        lgrowth+=($(calc "$(field peak_kib) - $(field idle_kib)" 0))
        timed "$report" list "$work/l" --dots >/dev/null; t_dots+=($(field seconds)); lgaps+=($(field gap_ms))
        lgrowth+=($(calc "$(field peak_kib) - $(field idle_kib)" 0))
    done
    rm -rf "$work/l"
    md_find=$(echo "${t_find[*]}" | median); md_names=$(echo "${t_names[*]}" | median); md_dots=$(echo "${t_dots[*]}" | median)
    echo "-- listing: $n files in $LIST_FOLDERS folders, subfolders on (median of $REPEAT; seconds: find ${t_find[*]} | names ${t_names[*]} | dots ${t_dots[*]})"
    printf "   %-40s %8s s\n" "find -type f -printf '%s %TY\\n'" "$md_find"
    printf "   %-40s %8s s   ratio %s\n" "report window, folder names" "$md_names" "$(calc "$md_names / $md_find" 2)"
    printf "   %-40s %8s s   ratio %s   (longest event gap %s ms, memory above idle %s KiB)\n" \
        "report window, one dot per folder" "$md_dots" "$(calc "$md_dots / $md_find" 2)" \
        "$(echo "${lgaps[*]}" | maximum)" "$(echo "${lgrowth[*]}" | maximum)"
    goal "listing with folder names <= 2 x find" "$md_names <= 2 * $md_find"
    goal "listing with dots <= 2 x find" "$md_dots <= 2 * $md_find"
    [[ $place == shm ]] && goal "event gap <= 50 ms" "$(echo "${lgaps[*]}" | maximum) <= 50"
    goal "memory <= 64 MiB above idle" "$(echo "${lgrowth[*]}" | maximum) <= 65536"
done
echo
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $fail
