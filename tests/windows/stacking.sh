#!/usr/bin/env bash
# Under Xvfb with a window manager: a dialog and its message box stay in front
# of the main window when the main window is raised (stacking_probe checks it
# on a screenshot). Skips with 77 when Xvfb or a window manager is missing.
#   stacking.sh PROBE [stacking|gallery] [OUTPUT_FOLDER]
set -uo pipefail
probe=${1:?usage: stacking.sh PROBE [stacking|gallery] [OUTPUT_FOLDER]}
mode=${2:-stacking}
skip() { echo "SKIP: $*"; exit 77; }
command -v Xvfb >/dev/null || skip "needs Xvfb (tools/setup-debian.sh installs it)"
wm=""
for candidate in openbox; do command -v "$candidate" >/dev/null && wm=$candidate && break; done
[[ -n $wm ]] || skip "needs a window manager (openbox; tools/setup-debian.sh installs it)"
[[ -x $probe ]] || skip "no probe program at $probe"

work=$(mktemp -d)
out=${3:-$work}
xvfb_pid="" wm_pid=""
cleanup() {
  [[ -n $wm_pid ]] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf -- "$work"
}
trap cleanup EXIT

# A free display, told by Xvfb itself.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
read -r -t 15 number <"$work/display" || skip "Xvfb did not start: $(head -n 3 "$work/xvfb.log")"
export DISPLAY=:$number
export HOME=${HOME:-$work} XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work}
"$wm" --sm-disable >"$work/wm.log" 2>&1 &
wm_pid=$!
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || skip "$wm did not start"

# X's own libraries keep memory to the end: leak reports of a sanitizer build
# would say nothing about the windows.
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 QT_QPA_PLATFORM=xcb \
  timeout 120 "$probe" "$mode" "$out"
