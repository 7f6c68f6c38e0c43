# Helpers the benchmark scripts share: timing a command, medians, the
# RESULT fields of the drivers, arithmetic. Sourced, not run.

# Folders and files made by the run go when it ends.
work_dirs=()
cleanup() { for d in "${work_dirs[@]}"; do rm -rf "$d"; done; }
trap cleanup EXIT
last_out=$(mktemp)
work_dirs+=("$last_out")

now() { date +%s.%N; }
# Runs a command and prints its wall time in seconds; its output goes to $last_out.
timed() {
    local t0 t1
    t0=$(now)
    "$@" >"$last_out" 2>&1 || { echo "failed: $*" >&2; cat "$last_out" >&2; exit 1; }
    t1=$(now)
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }'
}
median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
maximum() { tr ' ' '\n' | grep -v '^$' | sort -g | tail -1; }
field() { sed -n "s/.*RESULT.* $1=\([0-9.]*\).*/\1/p" "$last_out"; }
calc() { awk "BEGIN { printf \"%.${2:-1}f\", $1 }"; }
