#!/usr/bin/env bash
# tools/build.sh run          - set up, build and start Veldrane
# tools/build.sh test [part]  - set up, build and run every test headless, in three parts:
#   root      the suite as the caller (root in CI)
#   user      the same build's suite as an ordinary user made for it, so that
#             permission bits count (root ignores them)
#   sanitize  a second build with AddressSanitizer and UndefinedBehaviorSanitizer
# Without [part] all three run, in that order, each one even when an earlier
# one failed; the command fails when any of them fails.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
build=${BUILD_DIR:-build}
sanitize_build=${SANITIZE_BUILD_DIR:-build-sanitize}
test_user=${VELDRANE_TEST_USER:-veldrane-test}

configure_and_build() { # folder, extra cmake arguments...
  local dir=$1
  shift
  # shellcheck disable=SC2086 # CMAKE_ARGS is a list of arguments
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" ${CMAKE_ARGS:-} "$@" >/dev/null &&
    cmake --build "$dir" -j2
}

run_ctest() { # ctest's arguments...
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
}

# ---- Part 1: as the caller ------------------------------------------------------

part_root() {
  configure_and_build "$build" || return
  run_ctest --test-dir "$build"
}

# ---- Part 2: as an ordinary user -------------------------------------------------
# The build stays root's and is only read. ctest keeps its working state
# (Testing/) beside the CTestTestfile tree, so the user gets a copy of that tree
# in a scratch folder of its own, with the test programs' paths pointing at the
# build, or at a read-only view of it when the user cannot reach the build
# where it lies (a clone under /root, say).

scratch=""
view=""
cleanup() {
  [[ -n $scratch ]] && rm -rf -- "$scratch"
  # The view is a bind mount in a namespace of its own, gone with it; never
  # remove a folder that is still a mount point.
  if [[ -n $view ]] && ! mountpoint -q "$view/bin" 2>/dev/null; then rm -rf -- "$view"; fi
}

ensure_test_user() {
  if ! id -u "$test_user" >/dev/null 2>&1; then
    echo "creating the test user $test_user"
    useradd --create-home --user-group --shell /usr/sbin/nologin --comment "Veldrane test runs" "$test_user" ||
      return
  fi
  user_uid=$(id -u "$test_user")
  user_gid=$(id -g "$test_user")
  user_home=$(getent passwd "$test_user" | cut -d: -f6)
  if ((user_uid == 0)); then
    echo "$test_user is root: not an ordinary user" >&2
    return 1
  fi
  if [[ ! -d $user_home ]]; then
    install -d -m 700 -o "$user_uid" -g "$user_gid" "$user_home" || return
  fi
}

as_user() { # command...
  setpriv --reuid="$user_uid" --regid="$user_gid" --init-groups --inh-caps=-all -- "$@"
}

# Copies the CTestTestfile tree of build folder $1 to $2, with the test
# programs' folder $1/bin spelled $3/bin.
copy_ctest_tree() {
  local from=$1 to=$2 programs=$3 f rel text
  local -a files=()
  while IFS= read -r -d '' f; do files+=("${f#"$from"/}"); done < <(
    find "$from" -path "$from/Testing" -prune -o \
      \( -name CTestTestfile.cmake -o -name '*_include.cmake' -o -name '*_tests.cmake' \) -type f -print0)
  for rel in "${files[@]}"; do
    text=$(<"$from/$rel")
    # The tree includes its own files by absolute path: keep those in the copy.
    for f in "${files[@]}"; do text=${text//"$from/$f"/"$to/$f"}; done
    text=${text//"$from/bin"/"$programs/bin"}
    mkdir -p "$to/$(dirname "$rel")" && printf '%s\n' "$text" >"$to/$rel" || return
  done
}

part_user() {
  if ((EUID != 0)); then
    echo "not root: the suite above already ran as the ordinary user $(id -un)"
    return 0
  fi
  if [[ ! -f $build/CTestTestfile.cmake ]]; then
    echo "no build to test" >&2
    return 1
  fi
  ensure_test_user || return
  local from programs ctest_dir
  from=$(cd "$build" && pwd -P)
  scratch=$(as_user mktemp -d "$user_home/ci-run.XXXXXX") || return
  local -a user_env=(env -i PATH=/usr/local/bin:/usr/bin:/bin USER="$test_user" LOGNAME="$test_user"
    HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
    XDG_CACHE_HOME="$scratch/cache" XDG_STATE_HOME="$scratch/state" XDG_RUNTIME_DIR="$scratch/runtime"
    TMPDIR="$scratch/tmp" LANG="${LANG:-C.UTF-8}" QT_QPA_PLATFORM=offscreen)
  [[ -n ${TZ:-} ]] && user_env+=(TZ="$TZ")
  [[ -n ${CI:-} ]] && user_env+=(CI="$CI")
  as_user mkdir -m 700 "$scratch"/{home,config,data,cache,state,runtime,tmp,ctest} || return

  local -a wrap=()
  if as_user test -r "$from/bin" -a -x "$from/bin"; then
    programs=$from
  else
    # A root-owned folder the user can traverse, showing the build's programs.
    view=$(mktemp -d /tmp/veldrane-build-view.XXXXXX) && chmod 755 "$view" && mkdir "$view/bin" || return
    programs=$view
    # The bind mount lives in a mount namespace of its own and goes with it.
    # (Tried once first: a machine may allow neither.)
    if unshare --mount --propagation private mount --bind -o ro "$from/bin" "$view/bin" 2>/dev/null; then
      echo "$from is out of the test user's reach: a read-only view of it in $view"
      # shellcheck disable=SC2016 # expanded by the inner shell
      wrap=(unshare --mount --propagation private sh -c 'mount --bind -o ro "$1" "$2" && shift 2 && exec "$@"' sh
        "$from/bin" "$view/bin")
    else
      echo "$from is out of the test user's reach: its programs copied to $view"
      cp -a "$from/bin/." "$view/bin/" || return
    fi
  fi
  ctest_dir=$scratch/ctest
  copy_ctest_tree "$from" "$ctest_dir" "$programs" && chown -R "$user_uid:$user_gid" "$ctest_dir" || return
  echo "running as $test_user (uid $user_uid), home and temporary files in $scratch"
  "${wrap[@]}" setpriv --reuid="$user_uid" --regid="$user_gid" --init-groups --inh-caps=-all -- \
    "${user_env[@]}" ctest --test-dir "$ctest_dir" --output-on-failure -j2
}

# ---- Part 3: under the sanitizers ---------------------------------------------------

part_sanitize() {
  # The first report ends the program, so no fault scrolls past unseen.
  export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  configure_and_build "$sanitize_build" -DVELDRANE_SANITIZE=ON -DVELDRANE_BENCH=OFF || return
  run_ctest --test-dir "$sanitize_build"
}

# ---- Parts, each with its heading, time and summary -----------------------------------

# Qt wants a runtime folder and makes one in /tmp when none is set: give it
# one that goes at the end.
if [[ ${1:-} == test && -z ${XDG_RUNTIME_DIR:-} ]]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
  trap 'rm -rf -- "$XDG_RUNTIME_DIR"' EXIT
fi

failed=0
report=()
run_part() { # title, function
  local title=$1 fn=$2 start=$SECONDS rc=0 log
  printf '\n========== %s ==========\n' "$title"
  log=$(mktemp)
  # A subshell of its own, which cleans up after itself; output goes through
  # tee so the CTest summary line can be repeated at the end.
  (
    trap cleanup EXIT
    "$fn"
  ) 2>&1 | tee "$log" || rc=$?
  local line
  line=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1 || true)
  rm -f -- "$log"
  report+=("$(printf '%-10s %-6s %5d s   %s' "${fn#part_}" "$( ((rc == 0)) && echo ok || echo FAILED)" \
    $((SECONDS - start)) "${line:-(no test summary)}")")
  ((rc == 0)) || failed=1
}

case "${1:-run}" in
  run)
    configure_and_build "$build"
    exec "$build/bin/veldrane"
    ;;
  test)
    case "${2:-all}" in
      all | root | user | sanitize) ;;
      *)
        echo "usage: $0 test [root|user|sanitize]" >&2
        exit 2
        ;;
    esac
    [[ ${2:-all} == all || $2 == root ]] && run_part "Part 1: the suite as $(id -un)" part_root
    [[ ${2:-all} == all || $2 == user ]] && run_part "Part 2: the suite as the ordinary user $test_user" part_user
    [[ ${2:-all} == all || $2 == sanitize ]] &&
      run_part "Part 3: the suite under AddressSanitizer and UndefinedBehaviorSanitizer" part_sanitize
    printf '\n========== Summary ==========\n'
    printf '%s\n' "${report[@]}"
    exit "$failed"
    ;;
  *)
    echo "usage: $0 run|test [root|user|sanitize]" >&2
    exit 2
    ;;
esac
