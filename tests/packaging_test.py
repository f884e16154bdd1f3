#!/usr/bin/env python3
"""Checks the packages: the staged install, the .deb (installed for real) and the Windows zip.

usage: packaging_test.py --stage DIR --deb FILE --zip FILE [unittest options]
"""
import argparse
import gzip
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

OPTIONS = None
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TAGS = ["sco", "sol", "pyr", "dem", "hev", "eng", "med", "sni", "spy"]
SCRIPT = re.compile(rb'alias autorec "stop; record \d+_\d\d_\d\d__\d\d_\d\d(_\d\d)?_[a-z]{3}"'
                    rb"\r\ntry_rec\r\n")


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        return re.search(r"project\(demostamp VERSION (\S+)", f.read()).group(1)


def one_tick(command):
    """Runs `command 5` in an empty directory until its first tick is written; returns the
    banner and the scripts."""
    workdir = tempfile.mkdtemp(prefix="demostamp-package-")
    process = subprocess.Popen([command, "5"], cwd=workdir, stdout=subprocess.PIPE)
    try:
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            found = {}
            for tag in TAGS:
                path = os.path.join(workdir, f"demo_{tag}.cfg")
                if os.path.exists(path):
                    with open(path, "rb") as f:
                        found[tag] = f.read()
            if len(found) == 9 and all(SCRIPT.fullmatch(c) for c in found.values()):
                break
            time.sleep(0.05)
        process.terminate()
        banner, _ = process.communicate(timeout=10)
        return banner, found
    finally:
        shutil.rmtree(workdir)


def render_manual(gz_path):
    with gzip.open(gz_path) as f:
        source = f.read()
    return subprocess.run(["groff", "-ww", "-z", "-man"], input=source, capture_output=True)


class Staged(unittest.TestCase):
    def test_install_lays_out_binary_and_manual(self):
        self.assertTrue(os.access(os.path.join(OPTIONS.stage, "bin", "demostamp"), os.X_OK))
        manual = os.path.join(OPTIONS.stage, "share", "man", "man1", "demostamp.1.gz")
        result = render_manual(manual)
        self.assertEqual((result.returncode, result.stderr), (0, b""))
        with gzip.open(manual) as f:
            self.assertIn(b'"demostamp %s"' % project_version().encode(), f.read())


class DebianPackage(unittest.TestCase):
    def test_contents(self):
        listing = subprocess.run(["dpkg-deb", "-c", OPTIONS.deb], capture_output=True, text=True,
                                 check=True).stdout
        files = sorted(line.split()[-1] for line in listing.splitlines() if not line.endswith("/"))
        self.assertEqual(files, ["./usr/bin/demostamp", "./usr/share/doc/demostamp/copyright",
                                 "./usr/share/man/man1/demostamp.1.gz"])

    def test_control_fields(self):
        def field(name):
            return subprocess.run(["dpkg-deb", "-f", OPTIONS.deb, name], capture_output=True,
                                  text=True, check=True).stdout.strip()
        self.assertEqual(field("Package"), "demostamp")
        self.assertEqual(field("Version"), project_version())
        self.assertIn("libc6", field("Depends"))
        self.assertRegex(field("Maintainer"), r".+ <.+@.+>")
        self.assertTrue(field("Description").startswith("keep demo recording scripts"))

    def test_installed_package_runs_from_the_path(self):
        subprocess.run(["dpkg", "-i", OPTIONS.deb], check=True, stdout=subprocess.DEVNULL)
        try:
            self.assertEqual(shutil.which("demostamp"), "/usr/bin/demostamp")
            banner, scripts = one_tick("demostamp")
            self.assertEqual(banner, b"Update every 5 seconds\r\nExit: Ctrl+C\r\n")
            self.assertEqual(sorted(scripts), sorted(TAGS))
            manual = subprocess.run(["man", "-w", "demostamp"], capture_output=True, text=True)
            self.assertEqual(manual.stdout.strip(), "/usr/share/man/man1/demostamp.1.gz")
            self.assertEqual(render_manual(manual.stdout.strip()).stderr, b"")
        finally:
            subprocess.run(["dpkg", "-r", "demostamp"], check=True, stdout=subprocess.DEVNULL)


class WindowsZip(unittest.TestCase):
    def test_contents(self):
        self.assertTrue(os.path.basename(OPTIONS.zip).startswith(f"demostamp-{project_version()}-"))
        with zipfile.ZipFile(OPTIONS.zip) as archive:
            self.assertEqual(sorted(archive.namelist()), ["LICENSE", "README.md", "demostamp.exe"])
            self.assertEqual(archive.read("demostamp.exe")[:2], b"MZ")
            with open(os.path.join(ROOT, "LICENSE"), "rb") as f:
                self.assertEqual(archive.read("LICENSE"), f.read())


def main():
    global OPTIONS
    parser = argparse.ArgumentParser()
    parser.add_argument("--stage", required=True)
    parser.add_argument("--deb", required=True)
    parser.add_argument("--zip", required=True)
    OPTIONS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
