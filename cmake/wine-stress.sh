#!/usr/bin/env bash
# wine-stress.sh BUILD_DIR ROUNDS [JOBS]: starts every Windows test of a
# cross build ROUNDS times, round after round, each round the way the Windows
# run starts them (ctest -j JOBS, every test case a start of its program under
# Wine, through wine-run), and reports per program: starts, passes, failures,
# time-outs (a start that outlived wine-run's limit; its stacks were taken)
# and silent exits (a non-zero exit with nothing on standard output nor
# standard error). Nothing is started again; every bad start's output (and
# stacks) is kept under BUILD_DIR/stress/starts/.
#
# KESTREL_STRESS_LOCK=FILE: each round holds that lock while it runs (flock),
# so that a long stress run leaves room between rounds for other work on a
# shared machine. KESTREL_STRESS_KEEP=1 adds to the records of an earlier run
# instead of starting afresh, so a long run can be made of several pieces.
# KESTREL_STRESS_TESTS=REGEX: only the tests whose names match (ctest -R).
set -uo pipefail
build=$(cd "$1" && pwd)
rounds=$2
jobs=${3:-2}
dir=$build/stress
if [ "${KESTREL_STRESS_KEEP:-0}" != 1 ]; then
  rm -rf "$dir"
fi
mkdir -p "$dir"
export KESTREL_WINE_RECORD=$dir

# Tests that run no Windows program (the export table check) or that the
# cross build does not have are not part of the stress run.
ctest_args=(-j "$jobs" --timeout 120 -E '^kestrel_exports$')
[ -n "${KESTREL_STRESS_TESTS:-}" ] && ctest_args+=(-R "$KESTREL_STRESS_TESTS")
ctest_args+=(--output-junit)

for ((round = 1; round <= rounds; round++)); do
  n=$(($(ls "$dir"/round-*.xml 2>/dev/null | wc -l) + 1))
  junit=$dir/round-$n.xml
  cmd=(ctest "${ctest_args[@]}" "$junit")
  began=$(date +%s)
  if [ -n "${KESTREL_STRESS_LOCK:-}" ]; then
    (cd "$build" && flock "$KESTREL_STRESS_LOCK" nice -n 5 "${cmd[@]}") >"$dir/round-$n.log" 2>&1
  else
    (cd "$build" && nice -n 5 "${cmd[@]}") >"$dir/round-$n.log" 2>&1
  fi
  echo "== stress round $n: $(grep -E 'tests passed|tests failed' "$dir/round-$n.log" | tail -n 1) ($(($(date +%s) - began)) s)"
done

# --- the report --------------------------------------------------------------
(cd "$build" && ctest --show-only=json-v1) >"$dir/tests.json"
python3 "$(dirname "$0")/wine-stress-report.py" "$dir"
