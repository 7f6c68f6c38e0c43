#!/usr/bin/env bash
# tools/build.sh run   - set up, build and start Veldrane
# tools/build.sh test  - set up, build and run every test headless
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-debian.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j2
case "${1:-run}" in
  run)  exec "$build/bin/veldrane" ;;
  test) QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j2 ;;
  *)    echo "usage: $0 run|test" >&2; exit 2 ;;
esac
