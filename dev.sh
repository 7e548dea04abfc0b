#!/usr/bin/env bash
# One entry for every developer task. On a fresh Debian 12 machine it installs
# what the project needs, configures, builds and then does what was asked.
#
#   ./dev.sh host [args...]   build and run the example host (kestrel-host)
#   ./dev.sh test             build and run the whole test suite
#   ./dev.sh test-windows     cross-build for 64-bit Windows (MinGW-w64) in
#                             build-win and run the whole suite under Wine
#   ./dev.sh test-windows --stress N
#                             the same build; every Windows test started N
#                             times, with a report of every bad start
#                             (build-win/stress/)
#   ./dev.sh soak-windows     the soak under Wine for 60 s
#   ./dev.sh test-asan        the suite under AddressSanitizer + UBSan
#   ./dev.sh test-tsan        the suite under ThreadSanitizer
#   ./dev.sh bench [args...]  build and run the benchmarks
#   ./dev.sh fuzz [seconds]   build the fuzz harnesses (clang, ASan + UBSan) and
#                             run each for the given time (30 s by default)
#   ./dev.sh coverage         the suite with coverage counters; line and branch
#                             coverage of Kestrel and of the stand-ins (gcovr)
#   ./dev.sh abi [--update]   check libkestrel.so's binary interface against the
#                             baseline in abi/ (--update: make it the baseline)
#   ./dev.sh build            only set up and build
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=${JOBS:-$(nproc)}

PACKAGES=(
  cmake g++ ninja-build pkg-config tzdata
  libboost1.81-dev libboost-thread1.81-dev libboost-json1.81-dev libboost-system1.81-dev
  libboost-url1.81-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libedit-dev
  clang libclang-rt-14-dev
  abigail-tools gcovr
)
# The Windows build: the MinGW-w64 cross compiler (posix threads), Wine to
# run its programs, GoogleTest's sources; Boost and CLI11 are the headers above.
# Python reads the stress run's records.
WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix wine64 googletest python3
)

# install_packages PACKAGE...: installs those not installed yet.
install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# build DIR [cmake args...]
build() {
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

# run_tests DIR [ctest args...]
run_tests() {
  local dir=$1; shift
  (cd "$dir" && ctest --output-on-failure -j "$JOBS" --timeout 600 "$@")
}

# fuzz SECONDS: builds the libFuzzer harnesses with clang under AddressSanitizer
# + UBSan in build-fuzz and runs each for SECONDS, starting from its seed
# corpus in fuzz/corpus/<harness>. Inputs that crash are kept in
# build-fuzz/crashes/<harness>/ and shown; any crash fails.
FUZZ_HARNESSES=(login_event traffic_decode face_decode rest_answer)
fuzz() {
  local seconds=$1 dir=build-fuzz failed=0
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DKESTREL_SANITIZE=fuzzer-no-link,address,undefined \
    -DKESTREL_BUILD_FUZZ=ON -DKESTREL_BUILD_TESTS=OFF -DKESTREL_BUILD_BENCH=OFF >/dev/null
  cmake --build "$dir" -j "$JOBS" --target "${FUZZ_HARNESSES[@]/#/kestrel_fuzz_}"
  for h in "${FUZZ_HARNESSES[@]}"; do
    local corpus=$dir/corpus/$h crashes=$dir/crashes/$h log=$dir/fuzz-$h.log
    mkdir -p "$corpus" "$crashes"
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
       "$dir/bin/kestrel_fuzz_$h" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -max_len=8192 \
         -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" "fuzz/corpus/$h" >"$log" 2>&1; then
      echo "== fuzz $h: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") runs in $seconds s, no crash"
    else
      failed=1
      echo "== fuzz $h: FAILED (log: $log)"
      tail -n 80 "$log"
      for f in "$crashes"/*; do
        [ -f "$f" ] || continue
        echo "-- input kept in $f:"
        od -A d -t x1 -v "$f" | head -n 64
      done
    fi
  done
  return $failed
}

# abi [--update]: the binary interface of build/lib/libkestrel.so against the
# baseline in abi/, both made with libabigail's abidw from the debug
# information and the public headers (include/kestrel and host/):
# - abi/libkestrel.abi, the exported interface: the exported classes and the
#   records and host types they reach. abidiff against it fails on any change
#   but the addition of functions.
# - abi/vtables.txt, the virtual tables of the classes the public headers
#   define, the host interfaces that Kestrel implements included: nothing
#   exported reaches those, so abidiff does not look at them. A row of the
#   baseline that changed or went fails.
# A deliberate change is made the baseline with --update, in a commit of its
# own that says why.
ABI_DUMP_OPTIONS=(--headers-dir include/kestrel --headers-dir host --drop-private-types --no-show-locs
  --no-comp-dir-path --no-corpus-path --type-id-style hash --no-parameter-names)
ABI_NAMESPACES='^_ZNK?(11KMPluginAPI|7Datahub|7Kestrel|3vkl|7Taskhub|12AccountLogic|12ResourceTree)'
abi() {
  local lib=build/lib/libkestrel.so work=build/abi rc=0
  mkdir -p "$work"
  abidw "${ABI_DUMP_OPTIONS[@]}" --exported-interfaces-only --out-file "$work/libkestrel.abi" "$lib"
  abidw "${ABI_DUMP_OPTIONS[@]}" --out-file "$work/all-types.abi" "$lib"
  awk -f abi/vtables.awk "$work/all-types.abi" | grep -E "$ABI_NAMESPACES" | LC_ALL=C sort -u >"$work/vtables.txt"
  if [ "${1:-}" = --update ]; then
    cp "$work/libkestrel.abi" "$work/vtables.txt" abi/
    echo "== abi: baseline updated from $lib; commit it on its own, saying why"
    return 0
  fi
  abidiff --no-added-syms abi/libkestrel.abi "$work/libkestrel.abi" || rc=$?
  if [ $rc -ne 0 ]; then
    echo "== abi: the exported interface changed (abidiff exit $rc, above)"
  fi
  local gone
  gone=$(LC_ALL=C comm -23 abi/vtables.txt "$work/vtables.txt")
  if [ -n "$gone" ]; then
    echo "== abi: virtual tables changed; baseline rows that no longer hold:"
    c++filt <<<"$gone" | sed 's/^/    /'
    echo "   now:"
    LC_ALL=C comm -13 abi/vtables.txt "$work/vtables.txt" | c++filt | sed 's/^/    /'
    rc=1
  fi
  if [ $rc -eq 0 ]; then
    local added
    added=$(abidiff abi/libkestrel.abi "$work/libkestrel.abi" >/dev/null 2>&1; echo $?)
    [ "$added" -ne 0 ] && echo "== abi: additions only (not breaking); ./dev.sh abi --update records them"
    echo "== abi: compatible with the baseline"
  fi
  return $rc
}

# coverage: the whole suite in a Debug build with coverage counters
# (build-coverage), then line and branch coverage with gcovr, for Kestrel's
# own folders and, apart, for the stand-ins and the example host. Test
# sources are not counted.
coverage() {
  local dir=build-coverage
  find "$dir" -name '*.gcda' -delete 2>/dev/null || true
  build "$dir" -DKESTREL_COVERAGE=ON -DCMAKE_BUILD_TYPE=Debug -DKESTREL_BUILD_BENCH=OFF
  # Objects of sources that are gone, and their notes files, would count
  # lines no program runs any more.
  ninja -C "$dir" -t cleandead >/dev/null
  find "$dir" -name '*.gcno' | while read -r notes; do
    [ -f "${notes%.gcno}.o" ] || [ -f "${notes%.gcno}.obj" ] || rm -f "$notes"
  done
  # The package test builds a host of its own, without the counters.
  (cd "$dir" && ctest -j "$JOBS" --timeout 600 -E '^kestrel_package$') || true
  local tests='.*(_test\.cpp|/tests?/.*)$'
  echo "== coverage of Kestrel (plugin/ tasks/ device/ ptz/ face/ rest/)"
  gcovr -r "$ROOT" "$dir" -f "$ROOT/(plugin|tasks|device|ptz|face|rest)/" -e "$tests" --print-summary -o "$dir/kestrel.txt"
  echo "== coverage of the stand-ins and the example host (standins/ examples/)"
  gcovr -r "$ROOT" "$dir" -f "$ROOT/(standins|examples)/" -e "$tests" --print-summary -o "$dir/standins.txt"
  echo "== per-file tables: $dir/kestrel.txt, $dir/standins.txt"
}

cmd=${1:-host}; shift || true
install_packages "${PACKAGES[@]}"
case "$cmd" in
  build)     build build ;;
  host)      build build && exec build/bin/kestrel-host "$@" ;;
  test)      build build && run_tests build ;;
  test-windows)
             install_packages "${WINDOWS_PACKAGES[@]}"
             rounds=""
             if [ "${1:-}" = --stress ]; then
               rounds=${2:-}
               [[ "$rounds" =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 test-windows [--stress ROUNDS]" >&2; exit 2; }
             fi
             status=0
             if [ -n "$rounds" ] && [ -n "${KESTREL_STRESS_LOCK:-}" ]; then
               # A machine shared with other builds: the build holds the lock,
               # then each round takes it again (cmake/wine-stress.sh).
               exec 8>>"$KESTREL_STRESS_LOCK"
               flock 8
               build build-win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DKESTREL_BUILD_BENCH=OFF 8>&- || status=$?
               flock -u 8
               exec 8>&-
             else
               build build-win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DKESTREL_BUILD_BENCH=OFF || status=$?
             fi
             # A start that hangs is killed by wine-run after its limit, with
             # the stacks of its threads in the test's output, and fails: no
             # test is started a second time.
             if [ $status -eq 0 ] && [ -n "$rounds" ]; then
               cmake/wine-stress.sh build-win "$rounds" "$JOBS" || status=$?
             elif [ $status -eq 0 ]; then
               run_tests build-win --timeout 120 || status=$?
             fi
             # The programs keep one Wine server up while they run; end it.
             [ -x build-win/wine-run ] && build-win/wine-run --end-server || true
             exit $status ;;
  soak-windows)
             # The soak under Wine for KESTREL_SOAK_SECONDS (60 by default).
             install_packages "${WINDOWS_PACKAGES[@]}"
             status=0
             build build-win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DKESTREL_BUILD_BENCH=OFF \
               && (cd build-win && KESTREL_SOAK_SECONDS=${KESTREL_SOAK_SECONDS:-60} KESTREL_WINE_TIMEOUT=840 \
                     ctest -L soak --verbose --timeout 900) || status=$?
             [ -x build-win/wine-run ] && build-win/wine-run --end-server || true
             exit $status ;;
  test-asan) build build-asan -DKESTREL_SANITIZE=address,undefined -DCMAKE_BUILD_TYPE=Debug -DKESTREL_BUILD_BENCH=OFF \
               && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 run_tests build-asan ;;
  test-tsan) build build-tsan -DKESTREL_SANITIZE=thread -DCMAKE_BUILD_TYPE=Debug -DKESTREL_BUILD_BENCH=OFF \
               && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run_tests build-tsan ;;
  bench)     build build -DCMAKE_BUILD_TYPE=Release && exec build/bin/kestrel-bench "$@" ;;
  fuzz)      fuzz "${1:-30}" ;;
  abi)       build build && abi "$@" ;;
  coverage)  coverage ;;
  *) echo "usage: $0 {host|test|test-windows|soak-windows|test-asan|test-tsan|bench|fuzz|abi|coverage|build} [args...]" >&2; exit 2 ;;
esac
