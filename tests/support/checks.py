"""The Python tests' checks: each prints as it is made, failures are kept."""

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def exit_status():
    return 1 if failures else 0
