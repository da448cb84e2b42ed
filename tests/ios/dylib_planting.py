"""What the planted-fault tests of the dylib checker share: a small reader of the dylib of their
own, rather than the checker's, so that a misreading in the checker cannot hide itself; copies
of the dylib with bytes written over them; and the checker run as a user runs it."""

import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

SOURCE = Path(os.environ.get("VORLA_SOURCE_DIR", Path(__file__).resolve().parents[2]))
CHECKER = SOURCE / "ios" / "check" / "check_dylib.py"
SETTINGS_LIST = SOURCE / "tweak" / "settings" / "settings_list.h"
STUB_DIR = Path(os.environ.get("VORLA_STUB_DIR", SOURCE / "ios" / "stubs"))
INSTALL_NAME = "/Library/MobileSubstrate/DynamicLibraries/VorlaPro.dylib"
REQUIRED = ("VORLA_DYLIB", "VORLA_EXPORTS", "VORLA_INITIALISER")

LC_SYMTAB, LC_LOAD_DYLIB, LC_ID_DYLIB, LC_SEGMENT_64 = 0x2, 0xC, 0xD, 0x19
LC_CODE_SIGNATURE, LC_BUILD_VERSION, LC_DYLD_INFO_ONLY = 0x1D, 0x32, 0x80000022
LC_LOAD_WEAK_DYLIB, LC_RPATH = 0x80000018, 0x8000001C


# A small reader of the dylib, enough to find where to plant each fault.

def commands(data):
    """(command, file offset) of every load command."""
    ncmds, = struct.unpack_from("<I", data, 16)
    offset, found = 32, []
    for _ in range(ncmds):
        cmd, size = struct.unpack_from("<II", data, offset)
        found.append((cmd, offset))
        offset += size
    return found


def command(data, wanted):
    return [offset for cmd, offset in commands(data) if cmd == wanted]


def sections(data):
    """{(segment, section): (address, size, file offset, offset of the section header)}"""
    found = {}
    for at in command(data, LC_SEGMENT_64):
        nsects, = struct.unpack_from("<I", data, at + 64)
        for header in range(at + 72, at + 72 + 80 * nsects, 80):
            name, segment, address, size, offset = struct.unpack_from("<16s16sQQI", data, header)
            key = (segment.rstrip(b"\0").decode(), name.rstrip(b"\0").decode())
            found[key] = (address, size, offset, header)
    return found


def symbols(data):
    """(name, n_type, value) of every symbol, stabs included."""
    symoff, nsyms, stroff, _ = struct.unpack_from("<IIII", data, command(data, LC_SYMTAB)[0] + 8)
    found = []
    for entry in range(symoff, symoff + 16 * nsyms, 16):
        strx, n_type, _, _, value = struct.unpack_from("<IBBHQ", data, entry)
        end = data.index(b"\0", stroff + strx)
        found.append((data[stroff + strx:end].decode(), n_type, value))
    return found


def imported_names(data):
    return {name for name, n_type, _ in symbols(data) if n_type & 0xEF == 0x01}


def defined_addresses(data):
    return {name: value for name, n_type, value in symbols(data) if n_type & 0xEE == 0x0E}


def dylib_name(data, at):
    """(file offset, text) of the name a dylib or rpath command holds."""
    start = at + struct.unpack_from("<I", data, at + 8)[0]
    return start, data[start:data.index(b"\0", start)].decode()


def uleb(data, pos):
    value, shift = 0, 0
    while True:
        byte = data[pos]
        value, shift, pos = value | (byte & 0x7F) << shift, shift + 7, pos + 1
        if not byte & 0x80:
            return value, pos


def export_trie(data):
    """(file offset of the trie, {name: (end of its edge label, address field, its length,
    whether the name's node has children)})"""
    info = command(data, LC_DYLD_INFO_ONLY)[0]
    start, size = struct.unpack_from("<II", data, info + 8 + 32)
    trie, names, pending = data[start:start + size], {}, [(0, "", None)]
    while pending:
        node, prefix, label_end = pending.pop()
        terminal, pos = uleb(trie, node)
        children_at = pos + terminal
        if terminal:
            _, address_at = uleb(trie, pos)
            _, address_end = uleb(trie, address_at)
            names[prefix] = (label_end, address_at, address_end - address_at,
                             trie[children_at] > 0)
        pos = children_at + 1
        for _ in range(trie[children_at]):
            end = trie.index(b"\0", pos)
            child, next_pos = uleb(trie, end + 1)
            pending.append((child, prefix + trie[pos:end].decode(), end - 1))
            pos = next_pos
    return start, names


def page_size(data):
    signature, _ = struct.unpack_from("<II", data, command(data, LC_CODE_SIGNATURE)[0] + 8)
    count, = struct.unpack_from(">I", data, signature + 8)
    for entry in range(signature + 12, signature + 12 + 8 * count, 8):
        kind, offset = struct.unpack_from(">II", data, entry)
        if kind == 0:
            return 1 << data[signature + offset + 39]
    raise AssertionError("the dylib's signature has no CodeDirectory")


def settings_rows(text):
    return re.findall(r"^\s*(BOOLEAN|DOUBLE|OBJECT)\((\w+),", text, re.M)


def padded(text, length):
    raw = text.encode()
    assert len(raw) <= length, text
    return raw + bytes(length - len(raw))


class CheckerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = Path(tempfile.mkdtemp(prefix="check_dylib_test."))
        cls.addClassCleanup(shutil.rmtree, cls.scratch)
        cls.data = Path(os.environ["VORLA_DYLIB"]).read_bytes()
        cls.exports = Path(os.environ["VORLA_EXPORTS"]).read_text(encoding="utf-8")
        cls.export_names = set(cls.exports.split())
        cls.stubs = sorted(STUB_DIR.glob("*.tbd"))

    def place(self, name, content):
        """Writes content into a directory of its own, so the file keeps its usual name."""
        path = Path(tempfile.mkdtemp(dir=self.scratch)) / name
        path.write_bytes(content if isinstance(content, bytes) else content.encode())
        return path

    def patched(self, *edits):
        """A copy of the dylib with each (file offset, bytes) written over it."""
        data = bytearray(self.data)
        for offset, raw in edits:
            data[offset:offset + len(raw)] = raw
        return self.place("VorlaPro.dylib", bytes(data))

    def run_checker(self, dylib=None, exports=None, stubs=None, settings=None,
                    initialiser=None):
        arguments = [sys.executable, str(CHECKER), str(dylib or os.environ["VORLA_DYLIB"]),
                     "--exports", str(exports or os.environ["VORLA_EXPORTS"]),
                     "--install-name", INSTALL_NAME,
                     "--initialiser", initialiser or os.environ["VORLA_INITIALISER"]]
        for stub in stubs or self.stubs:
            arguments += ["--stub", str(stub)]
        if settings is not None:
            arguments += ["--settings-list", str(settings)]
        return subprocess.run(arguments, capture_output=True, text=True)

    def assert_fails(self, result, *fragments):
        self.assertEqual(result.returncode, 1, result.stdout + result.stderr)
        self.assertEqual(result.stderr, "")
        lines = result.stdout.splitlines()
        self.assertFalse([line for line in lines if ": ok: " in line])
        for fragment in fragments:
            self.assertTrue(any(fragment in line for line in lines),
                            f"no line says {fragment!r}:\n{result.stdout}")

    def assert_unreadable(self, result, *fragments):
        self.assertEqual(result.returncode, 2, result.stdout + result.stderr)
        self.assertEqual(result.stdout, "")
        for fragment in fragments:
            self.assertIn(fragment, result.stderr)
