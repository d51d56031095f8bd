#!/usr/bin/env python3
"""Runs a group of GoogleTest cases under Wine, in as few processes as it can.

usage: run_group.py RESULTS.xml FILTER WINE-RUN-COMMAND... PROGRAM.exe

FILTER is a GoogleTest filter (Suite.*:Other.*). The group's cases run in
one Wine process, which takes 3-5 s to start where 32-bit code runs
through qemu. Under qemu a Wine thread that is not the newest in its
process can take on the newest thread's identity when a signal reaches it
(Wine signals a thread whose blocking socket call completes), and then the
program crashes or hangs; a case that starts a thread (a speech worker, a
stand-in player, GoogleTest's watcher of a SCOPED_TRACE) can so break the
cases after it. When the process crashes, or a case makes no progress for
CASE_TIMEOUT seconds, the case it was running runs once more alone, on a
fresh main thread, saying so, and the rest of the group goes on in a new
process. A case that fails its checks is not run again. The results are
merged into RESULTS.xml; a case that crashed or hung alone too is a failed
case there. Every failed case is named on a line "run_group: FAILED NAME".
"""
import os
import queue
import subprocess
import sys
import threading
import time
import xml.etree.ElementTree as ET

# Seconds without a case ending; the slowest case takes about 10 under qemu.
CASE_TIMEOUT = int(os.environ.get("RUN_GROUP_CASE_TIMEOUT", "90"))
# Seconds before the first case begins: a first Wine program makes the
# prefix, which takes a minute or two under qemu.
START_TIMEOUT = 300


def wine_path(path):
    return "Z:" + path


def run(command, gtest_filter, xml_path):
    """One process: (parsed results or None, {case: passed} of the cases
    that ended, the case that was running when it crashed or hung)."""
    if os.path.exists(xml_path):
        os.remove(xml_path)
    process = subprocess.Popen(command + [f"--gtest_filter={gtest_filter}", "--gtest_output=xml:" + wine_path(xml_path)],
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, errors="replace")
    lines = queue.Queue()
    reader = threading.Thread(target=lambda: [lines.put(line) for line in process.stdout] + [lines.put(None)],
                              daemon=True)
    reader.start()
    ended, running, last_progress, hung, started = {}, None, time.monotonic(), False, False
    while True:
        try:
            line = lines.get(timeout=1)
        except queue.Empty:
            if time.monotonic() - last_progress > (CASE_TIMEOUT if started else max(CASE_TIMEOUT, START_TIMEOUT)):
                hung = True
                break
            continue
        if line is None:
            break
        sys.stdout.write(line)
        if line.startswith(("[       OK ]", "[  FAILED  ]", "[  SKIPPED ]")) and line.rstrip().endswith(" ms)"):
            ended[line[12:].split("(")[0].strip()] = not line.startswith("[  FAILED  ]")
            running, last_progress = None, time.monotonic()
        elif line.startswith("[ RUN      ]"):
            running, last_progress, started = line[12:].strip(), time.monotonic(), True
    sys.stdout.flush()
    if hung:
        print(f"run_group: {running or 'the group'} did not end within {CASE_TIMEOUT} s; stopping it", flush=True)
        process.kill()
    status = process.wait()
    if hung or status not in (0, 1) or not os.path.exists(xml_path):
        if not hung:
            print(f"run_group: the process ended with status {status} and no results", flush=True)
        return None, ended, running
    try:
        return ET.parse(xml_path).getroot(), ended, None
    except ET.ParseError:
        print("run_group: the process left unreadable results", flush=True)
        return None, ended, running


def without(gtest_filter, cases):
    """The filter less the named cases."""
    positive, _, negative = gtest_filter.partition("-")
    return (positive or "*") + "-" + ":".join(([negative] if negative else []) + sorted(cases))


def ended_cases(root):
    """The suites of a results file, keeping only the cases that ran to their end."""
    suites = []
    for suite in root.iter("testsuite"):
        for case in list(suite):
            if case.tag == "testcase" and case.get("status") == "notrun":
                suite.remove(case)
        suites.append(suite)
    return suites


def case_element(name, failure=None):
    """A one-case suite; failure is the failure's message, None for a pass."""
    suite, case_name = name.split(".", 1)
    element = ET.Element("testsuite", name=suite, tests="1", failures="0" if failure is None else "1")
    case = ET.SubElement(element, "testcase", name=case_name, classname=suite)
    if failure is not None:
        ET.SubElement(case, "failure", message=failure)
    return element


def main():
    results, gtest_filter, command = os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3:]
    merged = ET.Element("testsuites", name="AllTests")
    part = results + ".part.xml"
    done = set()
    while True:
        root, ended, running = run(command, without(gtest_filter, done) if done else gtest_filter, part)
        if root is not None:
            merged.extend(ended_cases(root))
            break
        # The cases that ended before the crash or hang keep their outcome as
        # the output told it; the one running runs once more alone; the
        # rest of the group goes on in a fresh process.
        for case, passed in ended.items():
            merged.append(case_element(case, None if passed else "failed; its checks are in the output above"))
        done.update(ended)
        if running is None:
            print("run_group: the process ended between cases; the group goes on without them", flush=True)
            if not ended:
                merged.append(case_element("Group.Start", "the group's process crashed or hung before any case"))
                break
            continue
        print(f"run_group: running {running} alone", flush=True)
        alone, _, _ = run(command, running, part)
        if alone is None:
            print(f"run_group: {running} crashed or hung alone too", flush=True)
            merged.append(case_element(running, "the case's process crashed or hung"))
        else:
            merged.extend(ended_cases(alone))
        done.add(running)
    if os.path.exists(part):
        os.remove(part)
    ET.ElementTree(merged).write(results, encoding="utf-8", xml_declaration=True)
    bad = [f"{suite.get('name')}.{case.get('name')}" for suite in merged.iter("testsuite")
           for case in suite.iter("testcase") if case.find("failure") is not None]
    for name in bad:
        print(f"run_group: FAILED {name}", flush=True)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
