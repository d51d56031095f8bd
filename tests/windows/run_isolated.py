#!/usr/bin/env python3
"""Runs a GoogleTest program under Wine one test at a time.

usage: run_isolated.py RESULTS.xml WINE-RUN-COMMAND... PROGRAM.exe

Under qemu's 32-bit emulation a Wine thread that is not the newest one in
its process can take on the newest thread's identity when a signal reaches
it (Wine signals a thread whose blocking socket call completes), and then
the program crashes or hangs. A test that starts a thread (a speech worker,
a fake player) would so break the network tests after it in the same
process. One Wine process per test keeps every test on a fresh main
thread; a test that still crashes or hangs is run once more, saying so. A
test that fails its checks is not run again. The results are merged into
RESULTS.xml; a test that crashed twice is a failed case there.
"""
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

TEST_TIMEOUT = 120


def wine_path(path):
    return "Z:" + path


def list_tests(command):
    listing = subprocess.run(command + ["--gtest_list_tests"], capture_output=True, text=True,
                             timeout=TEST_TIMEOUT).stdout
    tests, suite = [], ""
    for line in listing.splitlines():
        if not line.strip():
            continue
        if not line.startswith(" "):
            suite = line.split("#")[0].strip()
        else:
            tests.append(suite + line.split("#")[0].strip())
    return tests


def run_test(command, test, xml_path):
    """The test's parsed results, or None when it crashed or hung."""
    if os.path.exists(xml_path):
        os.remove(xml_path)
    try:
        status = subprocess.run(command + [f"--gtest_filter={test}", "--gtest_output=xml:" + wine_path(xml_path)],
                                timeout=TEST_TIMEOUT).returncode
    except subprocess.TimeoutExpired:
        print(f"run_isolated: {test} did not end within {TEST_TIMEOUT} s", flush=True)
        return None
    if status not in (0, 1) or not os.path.exists(xml_path):
        print(f"run_isolated: {test} ended with status {status} and no results", flush=True)
        return None
    try:
        return ET.parse(xml_path).getroot()
    except ET.ParseError:
        print(f"run_isolated: {test} left unreadable results", flush=True)
        return None


def main():
    results, command = os.path.abspath(sys.argv[1]), sys.argv[2:]
    merged = ET.Element("testsuites", name="AllTests")
    failed = False
    for test in list_tests(command):
        part = results + "." + test + ".xml"
        root = run_test(command, test, part)
        if root is None:
            print(f"run_isolated: running {test} once more", flush=True)
            root = run_test(command, test, part)
        if root is None:
            failed = True
            suite, name = test.split(".", 1)
            crashed = ET.SubElement(merged, "testsuite", name=suite, tests="1", failures="1")
            case = ET.SubElement(crashed, "testcase", name=name, classname=suite)
            ET.SubElement(case, "failure", message="the test's program crashed or hung twice")
            continue
        for element in root.iter("testsuite"):
            merged.append(element)
            failed = failed or any(case.find("failure") is not None for case in element.iter("testcase"))
        os.remove(part)
    ET.ElementTree(merged).write(results, encoding="utf-8", xml_declaration=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
