#!/usr/bin/python3
"""The two device packages as dpkg reads them: what each installs, where, with which modes and
owner, what its control file says, and that what it unpacks is what was built.

    package_test.py [--packages DIR] [--dylib PATH] [--pane PATH] [unittest options]

Each path defaults to VORLA_PACKAGES, VORLA_DYLIB and VORLA_PANE.
"""

import argparse
import os
import plistlib
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[2]
BUILDER = REPOSITORY / "ios" / "package" / "build_packages.py"
PACKAGE = "com.pellobrast.vorlapro"
KINDS = {"iphoneos-arm": "", "iphoneos-arm64": "var/jb/"}  # architecture: install prefix
FILES = [
    "Library/MobileSubstrate/DynamicLibraries/VorlaPro.dylib",
    "Library/MobileSubstrate/DynamicLibraries/VorlaPro.plist",
    "Library/PreferenceLoader/Preferences/VorlaPro.plist",
]
DEPENDS = {"mobilesubstrate", "ws.hbang.common", "com.spark.libsparkcolourpicker",
           "preferenceloader"}

INPUTS = {}  # packages, dylib and pane, set from the command line or the environment


def version():
    return (REPOSITORY / "VERSION").read_text(encoding="utf-8").strip()


def package_path(architecture):
    return INPUTS["packages"] / f"{PACKAGE}_{version()}_{architecture}.deb"


def dpkg_deb(*arguments):
    return subprocess.run(["dpkg-deb", *arguments], check=True, capture_output=True,
                          text=True).stdout


def run_builder(out, dylib=None, pane=None, builder=BUILDER, env=None):
    return subprocess.run(
        [sys.executable, str(builder), "--dylib", str(dylib or INPUTS["dylib"]),
         "--pane", str(pane or INPUTS["pane"]), "--out", str(out)],
        capture_output=True, text=True, env=env)


def ar_member_times(path):
    """The modification time of each member of a .deb's ar container."""
    data = Path(path).read_bytes()
    if not data.startswith(b"!<arch>\n"):
        raise AssertionError(f"{path} is not an ar archive")
    at, times = 8, []
    while at < len(data):
        header = data[at:at + 60]
        size = int(header[48:58])
        times.append(int(header[16:28]))
        at += 60 + size + size % 2
    return times


def expected_entries(prefix):
    """Every path the package holds, as dpkg-deb lists it, directories leading to each file."""
    entries = {"./": "d"}
    for file in FILES:
        parts = (prefix + file).split("/")
        for depth in range(1, len(parts)):
            entries["./" + "/".join(parts[:depth]) + "/"] = "d"
        entries["./" + prefix + file] = "f"
    return entries


class EachPackage(unittest.TestCase):
    def test_the_two_packages_and_no_other(self):
        found = sorted(p.name for p in INPUTS["packages"].glob(f"{PACKAGE}_*.deb"))
        self.assertEqual(found, sorted(package_path(a).name for a in KINDS))

    def test_holds_exactly_its_files_owned_by_root_with_their_modes(self):
        for architecture, prefix in KINDS.items():
            with self.subTest(architecture=architecture):
                listed = {}
                for line in dpkg_deb("--contents", str(package_path(architecture))).splitlines():
                    mode, owner, _size, _date, _time, path = line.split(None, 5)
                    listed[path] = (mode, owner)
                expected = {
                    path: ("drwxr-xr-x" if kind == "d" else "-rw-r--r--", "root/root")
                    for path, kind in expected_entries(prefix).items()
                }
                self.assertEqual(listed, expected)

    def test_control_fields(self):
        for architecture in KINDS:
            with self.subTest(architecture=architecture):
                package = str(package_path(architecture))

                def field(name):
                    return dpkg_deb("--field", package, name).strip()

                self.assertEqual(field("Package"), PACKAGE)
                self.assertEqual(field("Name"), "VorlaPro")
                self.assertEqual(field("Version"), version())
                self.assertEqual(field("Architecture"), architecture)
                self.assertEqual(field("Section"), "Tweaks")
                self.assertEqual(field("Maintainer"),
                                 "pellobrast <pellobrast@users.noreply.github.com>")
                depends = {d.strip() for d in field("Depends").split(",")}
                self.assertEqual(depends, DEPENDS)
                summary, _, paragraph = field("Description").partition("\n")
                self.assertTrue(summary.strip(), "no one-line summary")
                self.assertGreater(len(paragraph.split()), 10, "no paragraph after the summary")
                self.assertRegex(field("Installed-Size"), r"^[1-9][0-9]*$")

    def test_unpacks_what_was_built(self):
        pane = INPUTS["pane"].read_bytes()
        for architecture, prefix in KINDS.items():
            with self.subTest(architecture=architecture), tempfile.TemporaryDirectory() as root:
                dpkg_deb("-x", str(package_path(architecture)), root)
                installed = Path(root, prefix)
                library = installed / FILES[0]
                self.assertEqual(library.read_bytes(), INPUTS["dylib"].read_bytes(),
                                 "the packaged library is not the one built")
                with (installed / FILES[1]).open("rb") as file:
                    self.assertEqual(plistlib.load(file),
                                     {"Filter": {"Bundles": ["com.apple.UIKit"]}})
                with (installed / FILES[2]).open("rb") as file:
                    self.assertEqual(plistlib.load(file), plistlib.loads(pane))
                self.assertEqual((installed / FILES[2]).read_bytes(), pane)


class RefusedInputs(unittest.TestCase):
    """The builder makes no package from inputs that could not work on a device."""

    def assert_refused(self, message, builder=BUILDER, **inputs):
        with tempfile.TemporaryDirectory() as out:
            result = run_builder(out, builder=builder, **inputs)
            packages = list(Path(out).glob("*.deb"))
        self.assertNotEqual(result.returncode, 0, f"built from {inputs}: {result.stdout}")
        self.assertRegex(result.stderr, message)
        self.assertEqual(packages, [])

    def test_a_library_that_is_not_a_64_bit_mach_o_dynamic_library(self):
        real = INPUTS["dylib"].read_bytes()
        variants = {
            "an ELF library": (b"\x7fELF" + real[4:], r"not a 64-bit Mach-O"),
            "a 32-bit Mach-O": (b"\xce\xfa\xed\xfe" + real[4:], r"not a 64-bit Mach-O"),
            "an x86-64 Mach-O": (real[:4] + b"\x07\x00\x00\x01" + real[8:], r"not arm64"),
            "a Mach-O object file": (real[:12] + b"\x01\x00\x00\x00" + real[16:],
                                     r"not a dynamic library"),
            "an empty file": (b"", r"not a 64-bit Mach-O"),
        }
        with tempfile.TemporaryDirectory() as scratch:
            for name, (content, message) in variants.items():
                with self.subTest(name):
                    dylib = Path(scratch, "VorlaPro.dylib")
                    dylib.write_bytes(content)
                    self.assert_refused(message, dylib=dylib)

    def test_missing_inputs_and_a_pane_that_is_not_a_property_list(self):
        with tempfile.TemporaryDirectory() as scratch:
            missing = Path(scratch, "absent")
            self.assert_refused(r"library .*absent does not exist", dylib=missing)
            self.assert_refused(r"pane .*absent does not exist", pane=missing)
            broken = Path(scratch, "pane.plist")
            broken.write_bytes(INPUTS["pane"].read_bytes()[:-40])
            self.assert_refused(r"not a property list", pane=broken)
            broken.write_bytes(plistlib.dumps(["items"]))
            self.assert_refused(r"not a dictionary with items", pane=broken)

    def test_the_version_is_the_version_file_s_and_debian_s(self):
        """The builder in a tree of its own, beside a VERSION of the test's making."""
        with tempfile.TemporaryDirectory() as tree:
            builder = Path(tree, "ios", "package", BUILDER.name)
            builder.parent.mkdir(parents=True)
            shutil.copy(BUILDER, builder)
            version_file = Path(tree, "VERSION")
            self.assert_refused(r"cannot read the version", builder=builder)
            for bad in ("", "v1.0.0", "1.0 beta", "1.0.0-", "1.0.0\n1.0.1"):
                with self.subTest(version=bad):
                    version_file.write_text(bad + "\n", encoding="utf-8")
                    self.assert_refused(r"not a Debian version", builder=builder)
            version_file.write_text("2.0.1~rc1-2\n", encoding="utf-8")
            with tempfile.TemporaryDirectory() as out:
                result = run_builder(out, builder=builder)
                self.assertEqual(result.returncode, 0, result.stderr)
                for architecture in KINDS:
                    package = Path(out, f"{PACKAGE}_2.0.1~rc1-2_{architecture}.deb")
                    self.assertEqual(dpkg_deb("--field", str(package), "Version").strip(),
                                     "2.0.1~rc1-2")


class Rebuilding(unittest.TestCase):
    def test_a_rebuild_replaces_the_old_packages_and_keeps_other_files(self):
        current = [package_path(a).name for a in KINDS]
        with tempfile.TemporaryDirectory() as out:
            for name in (f"{PACKAGE}_0.9.0_iphoneos-arm.deb", current[1]):
                Path(out, name).write_bytes(b"an old package")
            Path(out, "notes.txt").write_text("kept")
            result = run_builder(out)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(sorted(p.name for p in Path(out).iterdir()),
                             sorted(current + ["notes.txt"]))
            for architecture in KINDS:
                package = Path(out, package_path(architecture).name)
                self.assertEqual(dpkg_deb("--field", str(package), "Architecture").strip(),
                                 architecture)

    def test_a_refused_build_leaves_the_old_packages_whole(self):
        with tempfile.TemporaryDirectory() as out, tempfile.TemporaryDirectory() as scratch:
            old = {}
            for architecture in KINDS:
                shutil.copy(package_path(architecture), out)
                old[package_path(architecture).name] = package_path(architecture).read_bytes()
            pane = Path(scratch, "pane.plist")
            pane.write_bytes(b"not a pane")
            self.assertNotEqual(run_builder(out, pane=pane).returncode, 0)
            self.assertEqual({p.name: p.read_bytes() for p in Path(out).iterdir()}, old)

    def test_two_builds_are_identical_given_a_source_date(self):
        epoch = 1700000000
        env = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))
        with tempfile.TemporaryDirectory() as first, tempfile.TemporaryDirectory() as second:
            for out in (first, second):
                result = run_builder(out, env=env)
                self.assertEqual(result.returncode, 0, result.stderr)
            for architecture in KINDS:
                name = package_path(architecture).name
                package = Path(first, name)
                self.assertEqual(package.read_bytes(), Path(second, name).read_bytes(), name)
                self.assertEqual(set(ar_member_times(package)), {epoch}, name)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0], add_help=False)
    for name, variable in (("packages", "VORLA_PACKAGES"), ("dylib", "VORLA_DYLIB"),
                           ("pane", "VORLA_PANE")):
        parser.add_argument(f"--{name}", type=Path, default=os.environ.get(variable))
    arguments, rest = parser.parse_known_args()
    for name in ("packages", "dylib", "pane"):
        value = getattr(arguments, name)
        if value is None:
            sys.exit(f"package_test.py: give --{name} or VORLA_{name.upper()}")
        INPUTS[name] = value
    unittest.main(argv=[sys.argv[0], *rest])


if __name__ == "__main__":
    main()
