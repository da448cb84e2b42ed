#!/usr/bin/python3
"""Builds the two Debian packages that install VorlaPro on a device.

The rootful package (iphoneos-arm) installs under /, the rootless one (iphoneos-arm64) the same
files under /var/jb: the library, the loader's filter beside it, and the settings pane. The
version is the repository's VERSION file, the one place it is kept.

    build_packages.py --dylib VorlaPro.dylib --pane VorlaPro.plist --out DIR
"""

import argparse
import math
import os
import plistlib
import re
import shutil
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[2]
PACKAGE = "com.pellobrast.vorlapro"

# The arm64 Mach-O header: 64-bit magic, then the CPU type; arm64e shares arm64's type.
MACHO_64_MAGIC = 0xFEEDFACF
CPU_TYPE_ARM64 = 0x0100000C
MH_DYLIB = 6

# Where each kind of jailbreak keeps the system's additions.
KINDS = {
    "rootful": {"architecture": "iphoneos-arm", "prefix": ""},
    "rootless": {"architecture": "iphoneos-arm64", "prefix": "var/jb"},
}

LIBRARY_DIR = "Library/MobileSubstrate/DynamicLibraries"
PANE_DIR = "Library/PreferenceLoader/Preferences"

# The appearance hooks act in every app that shows an interface, so the loader maps the library
# into every process that loads the interface framework, not into a list of apps.
FILTER = {"Filter": {"Bundles": ["com.apple.UIKit"]}}

DEPENDS = [
    "mobilesubstrate",  # the loader that maps the library into apps
    "ws.hbang.common",  # HBPreferences, which carries the settings into the library
    "com.spark.libsparkcolourpicker",  # SparkColourPickerUtils, which reads the colours
    "preferenceloader",  # shows the pane in Settings
]

SUMMARY = "changes the look and behaviour of system apps, set in Settings"
DESCRIPTION = (
    "VorlaPro is loaded into every app that uses the interface framework. It changes parts of "
    "SpringBoard, Safari, Settings, Phone and Contacts, Messages, Camera, Photos, Cydia and two "
    "social apps, and the status bar, labels, tables, switches and keyboard every app shares. "
    "Each change has its switch or value in the VorlaPro pane of Settings: some switches apply "
    "when an app next starts, the other settings when they are next used."
)


class InputError(Exception):
    pass


def read_version():
    path = REPOSITORY / "VERSION"
    try:
        version = path.read_text(encoding="utf-8").strip()
    except OSError as error:
        raise InputError(f"cannot read the version from {path}: {error.strerror}") from None
    # Debian's form without an epoch: starts with a digit, then letters, digits and . + ~ -
    # only, and a hyphen is followed by the revision.
    if not re.fullmatch(r"[0-9][A-Za-z0-9.+~-]*(?<!-)", version):
        raise InputError(f"{path} holds {version!r}, which is not a Debian version (without an epoch)")
    return version


def check_file(path, what):
    if not path.is_file():
        raise InputError(f"the {what} {path} does not exist or is not a file")


def check_dylib(path):
    check_file(path, "library")
    with path.open("rb") as file:
        header = file.read(16)
    if len(header) < 16 or struct.unpack_from("<I", header)[0] != MACHO_64_MAGIC:
        raise InputError(
            f"{path} is not a 64-bit Mach-O file (it starts with {header[:4].hex() or 'nothing'},"
            " not cffaedfe): build the library for the device")
    cpu_type, _, file_type = struct.unpack_from("<iiI", header, 4)
    if cpu_type != CPU_TYPE_ARM64:
        raise InputError(f"{path} is a Mach-O file for CPU type {cpu_type:#x}, not arm64")
    if file_type != MH_DYLIB:
        raise InputError(f"{path} is a Mach-O file of type {file_type}, not a dynamic library")


def check_pane(path):
    check_file(path, "pane")
    try:
        with path.open("rb") as file:
            pane = plistlib.load(file)
    except Exception as error:  # plistlib raises several kinds for a malformed file
        raise InputError(f"the pane {path} is not a property list: {error}") from None
    if not isinstance(pane, dict) or not isinstance(pane.get("items"), list):
        raise InputError(f"the pane {path} is not a dictionary with items")


def control_text(architecture, version, installed_kib):
    fields = [
        ("Package", PACKAGE),
        ("Name", "VorlaPro"),
        ("Version", version),
        ("Architecture", architecture),
        ("Depends", ", ".join(DEPENDS)),
        ("Maintainer", "pellobrast <pellobrast@users.noreply.github.com>"),
        ("Section", "Tweaks"),
        ("Installed-Size", str(installed_kib)),
        ("Description", SUMMARY),
    ]
    lines = [f"{name}: {value}" for name, value in fields]
    # An extended description is a continuation: each line starts with a space.
    lines += [" " + line for line in wrapped(DESCRIPTION, 79)]
    return "\n".join(lines) + "\n"


def wrapped(text, width):
    lines, line = [], ""
    for word in text.split():
        if line and len(line) + 1 + len(word) > width:
            lines.append(line)
            line = word
        else:
            line = f"{line} {word}" if line else word
    return lines + [line]


def stage(root, kind, files, version):
    """Lays out one package's tree under root, every file 0644 and every directory 0755."""
    prefix = Path(KINDS[kind]["prefix"])
    for destination, content in files.items():
        target = root / prefix / destination
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(content)
    installed_kib = sum(math.ceil(len(content) / 1024) for content in files.values())
    control = root / "DEBIAN" / "control"
    control.parent.mkdir()
    control.write_text(control_text(KINDS[kind]["architecture"], version, installed_kib),
                       encoding="utf-8")
    # Modes set outright: the builder's umask must not reach the device.
    for directory, _, names in os.walk(root):
        os.chmod(directory, 0o755)
        for name in names:
            os.chmod(os.path.join(directory, name), 0o644)


def build(dylib, pane, out):
    version = read_version()
    check_dylib(dylib)
    check_pane(pane)
    files = {
        f"{LIBRARY_DIR}/VorlaPro.dylib": dylib.read_bytes(),
        f"{LIBRARY_DIR}/VorlaPro.plist": plistlib.dumps(FILTER, fmt=plistlib.FMT_XML),
        f"{PANE_DIR}/VorlaPro.plist": pane.read_bytes(),
    }
    out.mkdir(parents=True, exist_ok=True)
    # Both packages are built beside the old ones and only then take their place, so that a
    # failed build leaves the old packages whole, and a good one leaves no package of an earlier
    # version lying beside the new ones.
    built = []
    with tempfile.TemporaryDirectory(prefix=".vorla-packages-", dir=out) as fresh:
        for kind, settings in KINDS.items():
            name = f"{PACKAGE}_{version}_{settings['architecture']}.deb"
            with tempfile.TemporaryDirectory(prefix=f"vorla-{kind}-") as staging:
                stage(Path(staging), kind, files, version)
                subprocess.run(["dpkg-deb", "--root-owner-group", "-Zxz", "--build", staging,
                                os.path.join(fresh, name)], check=True, stdout=subprocess.DEVNULL)
            built.append(out / name)
        for old in out.glob(f"{PACKAGE}_*.deb"):
            old.unlink()
        for package in built:
            os.rename(os.path.join(fresh, package.name), package)
    return built


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--dylib", type=Path, required=True, help="the arm64 VorlaPro.dylib")
    parser.add_argument("--pane", type=Path, required=True, help="the pane vorla-pane wrote")
    parser.add_argument("--out", type=Path, required=True, help="where the packages go")
    arguments = parser.parse_args()
    if shutil.which("dpkg-deb") is None:
        sys.exit("build_packages.py: dpkg-deb is missing (Debian's dpkg package)")
    try:
        for package in build(arguments.dylib, arguments.pane, arguments.out):
            print(package)
    except InputError as error:
        sys.exit(f"build_packages.py: {error}")
    except subprocess.CalledProcessError as error:
        sys.exit(f"build_packages.py: dpkg-deb failed with status {error.returncode}")
    except OSError as error:
        sys.exit(f"build_packages.py: {error}")


if __name__ == "__main__":
    main()
