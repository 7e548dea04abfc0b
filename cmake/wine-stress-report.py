#!/usr/bin/env python3
"""The report of a stress run (cmake/wine-stress.sh): per program, the starts,
passes and failures as ctest saw them, and the time-outs and silent exits as
wine-run recorded them; then every bad start with its output. Exit 1 when
any start was bad."""
import collections
import glob
import json
import os
import sys
import xml.etree.ElementTree as ET

d = sys.argv[1]


def program_of(command):
    """The Windows program a ctest command starts: the one wine-run is given,
    or the host that a check script is handed (-DHOST=...)."""
    for i, arg in enumerate(command):
        if arg.endswith("wine-run") and i + 1 < len(command):
            return os.path.basename(command[i + 1])
        if arg.startswith("-DHOST="):
            return os.path.basename(arg[len("-DHOST="):])
    return os.path.basename(command[0]) if command else "?"


with open(os.path.join(d, "tests.json")) as f:
    tests = {t["name"]: program_of(t.get("command", [])) for t in json.load(f)["tests"]}

# wine-run's records: one line per start.
starts = collections.Counter()
timeouts = collections.defaultdict(list)
silent = collections.defaultdict(list)
slowest = collections.defaultdict(float)
records = os.path.join(d, "starts.tsv")
if os.path.exists(records):
    with open(records, errors="replace") as f:
        for line in f:
            cols = line.rstrip("\n").split("\t")
            if len(cols) < 8:
                continue
            sid, prog, status, secs, nout, nerr, timed, args = cols[:8]
            starts[prog] += 1
            slowest[prog] = max(slowest[prog], float(secs or 0))
            if timed == "1":
                timeouts[prog].append((sid, args))
            elif status != "0" and nout == "0" and nerr == "0":
                silent[prog].append((sid, args))

# ctest's results, round by round.
passes = collections.Counter()
failures = collections.defaultdict(list)
rounds = sorted(glob.glob(os.path.join(d, "round-*.xml")))
for junit in rounds:
    try:
        root = ET.parse(junit).getroot()
    except ET.ParseError as e:
        print(f"== {junit}: unreadable ({e})")
        failures["?"].append((os.path.basename(junit), "?", "the round's results are unreadable"))
        continue
    for case in root.iter("testcase"):
        name = case.get("name")
        prog = tests.get(name, name)
        status = case.get("status")
        if status == "run":
            passes[prog] += 1
        elif status not in ("disabled", "notrun"):
            failures[prog].append((os.path.basename(junit), name, case.findtext("system-out") or ""))

programs = sorted(set(starts) | set(passes) | set(failures))
print()
print(f"== stress: {len(rounds)} rounds, per program")
header = f"{'program':34} {'starts':>6} {'passed':>6} {'failed':>6} {'time-outs':>9} {'silent':>6} {'slowest':>8}"
print(header)
for prog in programs:
    print(f"{prog:34} {starts[prog]:6} {passes[prog]:6} {len(failures[prog]):6} {len(timeouts[prog]):9} "
          f"{len(silent[prog]):6} {slowest[prog]:7.1f}s")


def count(table):
    return sum(len(v) for v in table.values())


print(f"{'all':34} {sum(starts.values()):6} {sum(passes.values()):6} {count(failures):6} "
      f"{count(timeouts):9} {count(silent):6}")

for prog in sorted(failures):
    for junit, name, out in failures[prog]:
        print(f"\n-- failed: {name} ({prog}, {junit}); the last lines of its output:")
        print("\n".join(out.splitlines()[-80:]))
for kind, table in (("time-out", timeouts), ("silent exit", silent)):
    for prog in sorted(table):
        for sid, args in table[prog]:
            print(f"\n-- {kind}: {prog} {args}")
            for ext in ("stdout", "stderr", "stacks"):
                path = os.path.join(d, "starts", f"{sid}.{ext}")
                if os.path.exists(path):
                    print(f"   {ext}: {path} ({os.path.getsize(path)} bytes)")

bad = count(failures) + count(timeouts) + count(silent)
print(f"\nstress: {sum(passes.values())} passed, {count(failures)} failed")
sys.exit(1 if bad else 0)
