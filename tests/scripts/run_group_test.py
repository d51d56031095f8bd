#!/usr/bin/env python3
"""tests/windows/run_group.py against a stand-in test program: a group
runs in one process; a crash or a hang runs the case alone and the rest
of the group in a new process; every case is counted once, a failure by
its name.

usage: run_group_test.py RUN_GROUP.PY
"""
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from checks import check, exit_status  # noqa: E402

# Cases A.one .. A.four and B.one, in GoogleTest's order. What a case does
# in a process that ran another case before it comes from FAKE_PLAN, as
# "case=crash" or "case=hang" (alone it passes), or "case=fail" (always).
FAKE_PROGRAM = r'''#!/usr/bin/env python3
import fnmatch, os, sys, time
CASES = ["A.one", "A.two", "A.three", "A.four", "B.one"]
plan = dict(item.split("=") for item in os.environ["FAKE_PLAN"].split() if item)
args = dict(arg[2:].split("=", 1) for arg in sys.argv[1:])
positive, _, negative = args["gtest_filter"].partition("-")
match = lambda name, patterns: any(fnmatch.fnmatchcase(name, p) for p in patterns.split(":") if p)
chosen = [c for c in CASES if match(c, positive or "*") and not match(c, negative)]
with open(os.environ["FAKE_LOG"], "a") as log:
    log.write(" ".join(chosen) + "\n")
results = []
for at, case in enumerate(chosen):
    print("[ RUN      ] " + case, flush=True)
    what = plan.get(case, "pass")
    if what == "crash" and at > 0:
        os._exit(139)
    if what == "hang" and at > 0:
        time.sleep(60)
    results.append((case, what == "fail"))
    print(("[  FAILED  ] " if what == "fail" else "[       OK ] ") + case + " (1 ms)", flush=True)
with open(args["gtest_output"][len("xml:Z:"):], "w") as out:
    out.write("<testsuites>")
    for case, failed in results:
        suite, name = case.split(".")
        out.write(f'<testsuite name="{suite}"><testcase name="{name}" status="run">'
                  + ('<failure message="x"/>' if failed else "") + "</testcase></testsuite>")
    out.write("</testsuites>")
sys.exit(1 if any(failed for _, failed in results) else 0)
'''


def main():
    run_group = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as work:
        program = os.path.join(work, "program")
        with open(program, "w") as f:
            f.write(FAKE_PROGRAM)
        os.chmod(program, 0o755)
        cases = [
            # plan, filter, processes' case lists, failed cases, status
            ("", "A.*:B.*", ["A.one A.two A.three A.four B.one"], [], 0),
            ("A.two=fail", "A.*", ["A.one A.two A.three A.four"], ["A.two"], 1),
            ("A.three=crash", "A.*",
             ["A.one A.two A.three A.four", "A.three", "A.four"], [], 0),
            ("A.two=hang", "*-B.*",
             ["A.one A.two A.three A.four", "A.two", "A.three A.four"], [], 0),
            ("A.two=crash A.four=crash B.one=fail", "*",
             ["A.one A.two A.three A.four B.one", "A.two", "A.three A.four B.one", "A.four", "B.one"],
             ["B.one"], 1),
        ]
        for plan, gtest_filter, processes, failed, status in cases:
            log, results = os.path.join(work, "log"), os.path.join(work, "results.xml")
            open(log, "w").close()
            env = dict(os.environ, FAKE_PLAN=plan, FAKE_LOG=log, RUN_GROUP_CASE_TIMEOUT="3")
            run = subprocess.run([sys.executable, run_group, results, gtest_filter, program], env=env,
                                 capture_output=True, text=True, timeout=60)
            with open(log) as f:
                seen = f.read().splitlines()
            check(seen == processes, f"{plan or 'all pass'}: the processes ran {seen}")
            counted = [f"{s.get('name')}.{c.get('name')}" for s in ET.parse(results).getroot().iter("testsuite")
                       for c in s.iter("testcase")]
            bad = [f"{s.get('name')}.{c.get('name')}" for s in ET.parse(results).getroot().iter("testsuite")
                   for c in s.iter("testcase") if c.find("failure") is not None]
            expected = processes[0].split()
            check(sorted(counted) == sorted(expected), f"{plan or 'all pass'}: each case counted once: {counted}")
            check(bad == failed and all(f"run_group: FAILED {name}" in run.stdout for name in failed),
                  f"{plan or 'all pass'}: failed {bad}, named in the output")
            check(run.returncode == status, f"{plan or 'all pass'}: exit status {run.returncode}")
    return exit_status()


if __name__ == "__main__":
    sys.exit(main())
