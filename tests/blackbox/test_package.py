#!/usr/bin/python3
"""Builds the Debian package of a build tree with CPack, installs it with
apt-get, starts the installed /usr/bin/skarvel in a real X server, closes its
window as a window manager does and expects exit code 0. The package, and any
package that apt-get pulled in for it, is purged again whatever happens.

Needs root; exits with 77 (skipped) without it, and also when skarvel is
installed already, which this test would replace and remove.

usage: test_package.py <cpack> <build dir> <version> cleanlooks|fusion
The last argument is the style the installed program has to come up with."""

import glob
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import XSession  # noqa: E402

TITLE = "Pondrel - Skarvel"
SKIP = 77
FALLBACK_WARNING = "the Cleanlooks style is not installed"

APT = ["apt-get", "-y", "-q", "-o", "DPkg::Lock::Timeout=300"]
APT_ENV = dict(os.environ, DEBIAN_FRONTEND="noninteractive")


def run(command, **kwargs):
    print("$", " ".join(command), flush=True)
    return subprocess.run(command, check=True, **kwargs)


def installed(package):
    result = subprocess.run(["dpkg-query", "-W", "-f=${Status}", package],
                            capture_output=True, text=True)
    return result.returncode == 0 and result.stdout.endswith(" installed")


def planned_installs(deb):
    """What `apt-get install` would do: (new packages, packages it would
    upgrade or downgrade). Only the new ones can be taken back afterwards."""
    result = subprocess.run(APT + ["install", "-s", deb], capture_output=True,
                            text=True, env=APT_ENV, check=True)
    new, changed = [], []
    for line in result.stdout.splitlines():
        match = re.match(r"Inst (\S+)( \[)?", line)
        if match:
            (changed if match.group(2) else new).append(match.group(1))
    return new, changed


def start_and_close(expected_style):
    failures = []
    session = XSession()
    with tempfile.TemporaryDirectory() as config:
        try:
            process, window, output = session.launch(
                "/usr/bin/skarvel", TITLE, XDG_CONFIG_HOME=config)
            if window is None:
                print(output)
                return [f"no window titled {TITLE!r}"]
            code, output = session.close_program(process, window)
            if code is None:
                return ["the program did not end after its window was closed"]
            if output.strip():
                print(output)
            if code != 0:
                failures.append(f"exit code {code}, expected 0")
            if expected_style == "cleanlooks" and FALLBACK_WARNING in output:
                failures.append("the package did not bring the Cleanlooks style along")
        finally:
            session.close()
    return failures


def main():
    cpack, build, version, expected_style = sys.argv[1:5]
    if os.geteuid() != 0:
        print("SKIP: installing a package needs root")
        return SKIP
    if installed("skarvel") or os.path.exists("/usr/bin/skarvel"):
        print("SKIP: skarvel is installed already; this test would replace and remove it")
        return SKIP

    arch = subprocess.run(["dpkg", "--print-architecture"], capture_output=True,
                          text=True, check=True).stdout.strip()
    failures = []
    with tempfile.TemporaryDirectory() as packages:
        # apt-get hands local packages to its unprivileged download user.
        os.chmod(packages, 0o755)
        run([cpack, "-G", "DEB", "-B", packages, "--config",
             os.path.join(build, "CPackConfig.cmake")], stdout=subprocess.DEVNULL)
        debs = glob.glob(os.path.join(packages, "*.deb"))
        expected_name = f"skarvel_{version}_{arch}.deb"
        if [os.path.basename(deb) for deb in debs] != [expected_name]:
            print(f"FAIL: cpack wrote {debs}, expected {expected_name}")
            return 1
        deb = debs[0]

        new, changed = planned_installs(deb)
        if changed:
            print(f"SKIP: installing the package would upgrade {changed}, "
                  "which could not be undone afterwards")
            return SKIP
        pulled_in = [package for package in new if package.split(":")[0] != "skarvel"]
        try:
            run(APT + ["install", deb], env=APT_ENV, stdout=subprocess.DEVNULL)
            if not installed("skarvel"):
                failures.append("apt-get did not install skarvel")
            else:
                failures += start_and_close(expected_style)
        finally:
            subprocess.run(APT + ["purge", "skarvel"] + pulled_in, env=APT_ENV,
                           stdout=subprocess.DEVNULL)
            if installed("skarvel") or os.path.exists("/usr/bin/skarvel"):
                failures.append("the package could not be removed again")

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
