#!/usr/bin/python3
"""The dylib checker run as a user runs it: the built VorlaPro.dylib passes, and every copy with
one fault planted in it fails with status 1 and a line naming that fault; inputs that cannot be
read end in status 2.

Configured by VORLA_DYLIB and VORLA_EXPORTS (the built dylib and its export list),
VORLA_INITIALISER (the symbol its one initialiser runs), VORLA_SOURCE_DIR (the repository; by
default the one holding this file) and VORLA_STUB_DIR (default: ios/stubs in it).

The faults are planted by editing the bytes of a copy, located with the tests' own reader
(dylib_planting), not the checker's.
"""

import os
import re
import struct
import sys
import unittest
from pathlib import Path

sys.path.insert(0, os.path.dirname(__file__))
from dylib_planting import (INSTALL_NAME, LC_BUILD_VERSION, LC_CODE_SIGNATURE,  # noqa: E402
                            LC_ID_DYLIB, LC_LOAD_DYLIB, LC_LOAD_WEAK_DYLIB, LC_RPATH,
                            LC_SEGMENT_64, REQUIRED, SETTINGS_LIST, CheckerTest, command,
                            defined_addresses, dylib_name, export_trie, imported_names, padded,
                            page_size, sections, settings_rows)


class TheBuiltDylib(CheckerTest):
    def test_passes_with_one_summary_line(self):
        result = self.run_checker()
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(result.stderr, "")
        self.assertRegex(result.stdout, rf"^VorlaPro\.dylib: ok: arm64 MH_DYLIB "
                         rf"{re.escape(INSTALL_NAME)}, iOS [0-9.]+, "
                         rf"{len(self.export_names)} exports, \d+ imports from "
                         rf"{len(self.stubs)} libraries, initialiser "
                         rf"{re.escape(os.environ['VORLA_INITIALISER'])}, "
                         rf"signature verified over \d+ pages\n\Z")

    def test_passes_the_layout_of_every_variable_in_the_settings_list(self):
        rows = settings_rows(SETTINGS_LIST.read_text(encoding="utf-8"))
        result = self.run_checker(settings=SETTINGS_LIST)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertTrue(result.stdout.endswith(f", {len(rows) + 1} variables writable and "
                                               f"apart\n"), result.stdout)


class Exports(CheckerTest):
    def test_an_export_the_list_lacks(self):
        for dropped in sorted(self.export_names)[:2] + ["_preferences"]:
            with self.subTest(dropped=dropped):
                kept = "".join(f"{line}\n" for line in self.exports.split() if line != dropped)
                result = self.run_checker(exports=self.place("exports.txt", kept))
                self.assert_fails(result, f"exports {dropped}, which exports.txt does not list")

    def test_a_name_in_the_binary_renamed_to_one_nobody_listed(self):
        start, names = export_trie(self.data)
        name = next(n for n in sorted(self.export_names)
                    if n in names and not names[n][3] and len(n) > 2)
        renamed = name[:-1] + ("Q" if name[-1] != "Q" else "R")
        listed = Path(os.environ["VORLA_EXPORTS"]).name
        self.assertNotIn(renamed, self.export_names)
        dylib = self.patched((start + names[name][0], renamed[-1].encode()))
        self.assert_fails(self.run_checker(dylib),
                          f"exports {renamed}, which {listed} does not list",
                          f"does not export {name}, which {listed} lists")


class Imports(CheckerTest):
    def test_a_stub_without_one_symbol_the_dylib_imports(self):
        imported = imported_names(self.data)
        for stub in self.stubs:
            text = stub.read_text(encoding="utf-8")
            install = re.search(r"^install-name:\s*'?([^'\n]+)", text, re.M).group(1)
            present = sorted(name for name in imported
                             if re.search(rf"(?<![\w$]){re.escape(name)}(?![\w$])", text))
            with self.subTest(stub=stub.name, symbol=present[0]):
                cut = re.sub(rf"(?<![\w$]){re.escape(present[0])}(?![\w$])\s*,?", "", text)
                stubs = [s if s != stub else self.place(stub.name, cut) for s in self.stubs]
                self.assert_fails(self.run_checker(stubs=stubs),
                                  f"imports {present[0]} from {install}, which its stub "
                                  f"{stub.name} does not export")


class LoadCommands(CheckerTest):
    def test_header_fields(self):
        cases = {
            "x86_64": (4, 0x01000007, "CPU type is x86_64, expected arm64"),
            "arm64e": (8, 2, "CPU subtype is arm64e, expected CPU_SUBTYPE_ARM64_ALL"),
            "a bundle": (12, 8, "is MH_BUNDLE, expected MH_DYLIB"),
            "a flat namespace": (24, struct.unpack_from("<I", self.data, 24)[0] & ~0x80,
                                 "uses a flat namespace (MH_TWOLEVEL not set)"),
        }
        for case, (offset, value, message) in cases.items():
            with self.subTest(case):
                dylib = self.patched((offset, struct.pack("<I", value)))
                self.assert_fails(self.run_checker(dylib), message)

    def test_install_name(self):
        start, name = dylib_name(self.data, command(self.data, LC_ID_DYLIB)[0])
        # The same file name under another directory, and the same length with another name.
        for other in ("/usr/lib/VorlaPro.dylib", name[:-7] + "x.dylib"):
            with self.subTest(other):
                dylib = self.patched((start, padded(other, len(name))))
                self.assert_fails(self.run_checker(dylib), f"install name (LC_ID_DYLIB) is "
                                  f"{other}, expected {INSTALL_NAME}")

    def test_platform_and_minimum_version(self):
        at = command(self.data, LC_BUILD_VERSION)[0]
        cases = {"macOS": (8, 1, "LC_BUILD_VERSION platform is macOS (1), expected iOS (2)"),
                 "simulator": (8, 7, "platform is iOS simulator (7), expected iOS (2)"),
                 "minimum 0": (12, 0, "minimum iOS version is 0")}
        for case, (offset, value, message) in cases.items():
            with self.subTest(case):
                dylib = self.patched((at + offset, struct.pack("<I", value)))
                self.assert_fails(self.run_checker(dylib), message)

    def test_libraries_the_stubs_do_not_describe_or_loaded_otherwise(self):
        loads = command(self.data, LC_LOAD_DYLIB)
        start, first = dylib_name(self.data, loads[0])
        _, last = dylib_name(self.data, loads[-1])
        cases = {
            "unknown library": ((start, padded("/usr/lib/libz.1.dylib", len(first))),
                                "loads /usr/lib/libz.1.dylib, which is the install name of no "
                                "stub"),
            "weak": ((loads[0], struct.pack("<I", LC_LOAD_WEAK_DYLIB)),
                     f"loads {first} with LC_LOAD_WEAK_DYLIB; expected only LC_LOAD_DYLIB"),
            "run path": ((loads[-1], struct.pack("<I", LC_RPATH)),
                         f"has LC_RPATH {last}; expected no run-path search"),
        }
        for case, (edit, message) in cases.items():
            with self.subTest(case):
                self.assert_fails(self.run_checker(self.patched(edit)), message)

    def test_truncated_files(self):
        signature, _ = struct.unpack_from("<II", self.data,
                                          command(self.data, LC_CODE_SIGNATURE)[0] + 8)
        cases = {20: "Mach-O header at file offset 0x0 (32 bytes) runs past the end of the "
                     "file (20 bytes)",
                 100: "run past the end of the file (100 bytes)",
                 len(self.data) // 2: "the file is truncated",
                 len(self.data) - 16: f"code signature (file 0x{signature:x}-"}
        for size, message in cases.items():
            with self.subTest(size=size):
                dylib = self.place("VorlaPro.dylib", self.data[:size])
                self.assert_fails(self.run_checker(dylib), message)

    def test_not_a_mach_o(self):
        dylib = self.place("VorlaPro.dylib", self.exports.encode())
        self.assert_fails(self.run_checker(dylib), "not a Mach-O file")


class Initialiser(CheckerTest):
    def test_a_second_pointer_and_a_pointer_elsewhere(self):
        initialiser = os.environ["VORLA_INITIALISER"]
        _, size, offset, header = sections(self.data)[("__DATA_CONST", "__mod_init_func")]
        self.assertEqual(size, 8)
        target, = struct.unpack_from("<Q", self.data, offset)
        text_address, text_size, _, _ = sections(self.data)[("__TEXT", "__text")]
        functions = {}
        for name, address in defined_addresses(self.data).items():
            if target < address < text_address + text_size:
                functions.setdefault(address, []).append(name)
        other = min(address for address, names in functions.items() if len(names) == 1)
        cases = {
            "second pointer": ((header + 40, struct.pack("<Q", 16)),
                               f"has 2 initialisers ({initialiser}, "),
            "inside it": ((offset, struct.pack("<Q", target + 4)),
                          f"the initialiser runs 0x{target + 4:x} (no symbol), expected "
                          f"{initialiser} at 0x{target:x}"),
            "another function": ((offset, struct.pack("<Q", other)),
                                 f"the initialiser runs 0x{other:x} ({functions[other][0]}), "
                                 f"expected {initialiser} at 0x{target:x}"),
        }
        for case, (edit, message) in cases.items():
            with self.subTest(case):
                self.assert_fails(self.run_checker(self.patched(edit)), message)

    def test_an_initialiser_the_dylib_does_not_define(self):
        self.assert_fails(self.run_checker(initialiser="__ZN5vorla7missingEv"),
                          "defines no symbol __ZN5vorla7missingEv, the expected initialiser")


class Signature(CheckerTest):
    def flipped(self, *offsets):
        return self.patched(*((at, bytes([self.data[at] ^ 0x01])) for at in offsets))

    def test_changed_pages_are_named(self):
        size = page_size(self.data)
        signature, _ = struct.unpack_from("<II", self.data,
                                          command(self.data, LC_CODE_SIGNATURE)[0] + 8)
        pages = -(-signature // size)
        _, text_size, text, _ = sections(self.data)[("__TEXT", "__text")]
        middle = text + text_size // 2
        cases = {"code": [middle], "the last byte signed": [signature - 1],
                 "two pages": [middle, signature - 1]}
        for case, offsets in cases.items():
            with self.subTest(case):
                first = min(offsets) // size
                self.assert_fails(self.run_checker(self.flipped(*offsets)),
                                  f"code page {first} (file offset 0x{first * size:x}) does not "
                                  f"match its hash ({len(offsets)} of {pages} pages differ)")


class ExportedVariables(CheckerTest):
    def settings_copy(self, text):
        return self.place("settings_list.h", text)

    def test_a_switch_declared_as_a_double(self):
        text = SETTINGS_LIST.read_text(encoding="utf-8")
        where = defined_addresses(self.data)
        addresses = set(where.values())
        switches = [f"_{name}" for kind, name in settings_rows(text) if kind == "BOOLEAN"]
        odd = [name for name in switches if where[name] % 8]
        cramped = [name for name in switches if not where[name] % 8
                   and any(where[name] < a < where[name] + 8 for a in addresses)]
        for problem, candidates in (("is not 8-byte aligned", odd),
                                    (r"has only [1-7] bytes? before _\w+ at 0x[0-9a-f]+; it "
                                     r"would overlap", cramped)):
            with self.subTest(problem):
                if not candidates:
                    self.skipTest(f"no one-byte switch of this build shows {problem!r}")
                name = candidates[0]
                changed = re.sub(rf"\bBOOLEAN\({name[1:]},", f"DOUBLE({name[1:]}, 1.0,", text)
                result = self.run_checker(settings=self.settings_copy(changed))
                self.assert_fails(result)
                self.assertRegex(result.stdout, rf"(?m)^VorlaPro\.dylib: {name} \(DOUBLE, 8 "
                                 rf"bytes\) at 0x{where[name]:x} {problem}$")

    def test_a_variable_the_dylib_does_not_export(self):
        text = SETTINGS_LIST.read_text(encoding="utf-8")
        changed = re.sub(r"(#define VORLA_SETTINGS\(.*\)\s*\\\n)",
                         r'\1  BOOLEAN(vorlaUnexported, "springboard", "nothing") \\\n', text)
        self.assertNotEqual(changed, text)
        self.assert_fails(self.run_checker(settings=self.settings_copy(changed)),
                          "does not export _vorlaUnexported, which the settings list declares "
                          "as BOOLEAN")

    def test_a_variable_moved_out_of_writable_separate_data(self):
        start, names = export_trie(self.data)
        _, at, length, _ = names["_preferences"]
        table = sections(self.data)
        where = defined_addresses(self.data)
        neighbour = next(n for n in sorted(self.export_names)
                         if n != "_preferences" and not where[n] % 8)
        cases = {"(__DATA_CONST,__const)": table[("__DATA_CONST", "__const")][0],
                 "(__TEXT,__const)": table[("__TEXT", "__const")][0],
                 f"shares its address with {neighbour}": where[neighbour]}
        for message, address in cases.items():
            with self.subTest(message):
                # Padded ULEB128: the same number of bytes whatever the address.
                raw = bytes(0x80 | (address >> 7 * i) & 0x7F for i in range(length - 1))
                raw += bytes([address >> 7 * (length - 1)])
                self.assertLess(address >> 7 * (length - 1), 0x80)
                dylib = self.patched((start + at, raw))
                self.assert_fails(self.run_checker(dylib, settings=SETTINGS_LIST),
                                  "_preferences (pointer, 8 bytes) ", message)

    def test_data_mapped_read_only(self):
        segment = next(at for at in command(self.data, LC_SEGMENT_64)
                       if self.data[at + 8:at + 24].rstrip(b"\0") == b"__DATA")
        dylib = self.patched((segment + 60, struct.pack("<I", 1)))
        self.assert_fails(self.run_checker(dylib, settings=SETTINGS_LIST),
                          "_preferences (pointer, 8 bytes) lies in segment __DATA, which is "
                          "mapped without write permission (initprot 0x1)")


class UnreadableInputs(CheckerTest):
    def test_inputs_that_cannot_be_read_end_in_status_2(self):
        missing = self.scratch / "absent.tbd"
        stub = self.stubs[0].read_text(encoding="utf-8")
        old = self.place(self.stubs[0].name,
                         re.sub(r"(?m)^tbd-version:(\s*)4", r"tbd-version:\g<1>3", stub))
        cases = {
            "missing stub": ({"stubs": [missing, *self.stubs]}, [str(missing)]),
            "stub of version 3": ({"stubs": [old, *self.stubs[1:]]},
                                  [str(old), "tbd-version is '3', expected 4"]),
            "stub that is no TBD": ({"stubs": [self.place("x.tbd", self.exports)]},
                                    ["expected '--- !tapi-tbd'"]),
            "missing export list": ({"exports": self.scratch / "absent.txt"}, ["absent.txt"]),
            "missing settings list": ({"settings": self.scratch / "absent.h"}, ["absent.h"]),
            "settings list without the macro": (
                {"settings": self.place("settings_list.h", self.exports)},
                ["has no '#define VORLA_SETTINGS(BOOLEAN, DOUBLE, OBJECT)'"]),
        }
        for case, (arguments, fragments) in cases.items():
            with self.subTest(case):
                self.assert_unreadable(self.run_checker(**arguments), "check_dylib: ",
                                       *fragments)


if __name__ == "__main__":
    missing = [name for name in REQUIRED if not os.environ.get(name)]
    if missing:
        sys.exit(f"check_dylib_test.py: set {', '.join(missing)}")
    unittest.main()
