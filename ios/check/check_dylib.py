#!/usr/bin/python3
"""Checks the built arm64 VorlaPro.dylib for what would make the device's loader refuse it or
load it wrongly: the wrong kind of file, the wrong install name or platform, exports other than
the list, imports the stubs do not promise, other than one initialiser, a signature that no
longer matches the file, or (given the settings list) exported variables the preferences service
could not write safely. Prints every failure, one a line; exits 1 on any failure, 2 when the
inputs themselves (export list, stubs, settings list) cannot be read."""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import code_signature  # noqa: E402
import macho  # noqa: E402
import settings_layout  # noqa: E402
import tbd  # noqa: E402
from macho import MachOError  # noqa: E402

SPECIAL_ORDINALS = {macho.SELF_ORDINAL: "itself (ordinal 0)",
                    macho.EXECUTABLE_ORDINAL: "the main executable (ordinal 0xff)",
                    macho.FLAT_LOOKUP_ORDINAL: "a flat-namespace lookup (ordinal 0xfe)",
                    macho.WEAK_LOOKUP_ORDINAL: "a weak-definition lookup"}


def check_header(image, _options, _summary):
    failures = []
    if image.cputype != macho.CPU_TYPE_ARM64:
        name = macho.CPU_NAMES.get(image.cputype, f"0x{image.cputype:x}")
        failures.append(f"CPU type is {name}, expected arm64 (CPU_TYPE_ARM64)")
    elif image.cpusubtype != macho.CPU_SUBTYPE_ARM64_ALL:
        name = "arm64e" if image.cpusubtype & 0xFFFFFF == 2 else f"0x{image.cpusubtype:x}"
        failures.append(f"CPU subtype is {name}, expected CPU_SUBTYPE_ARM64_ALL")
    if image.filetype != macho.MH_DYLIB:
        name = macho.FILE_TYPE_NAMES.get(image.filetype, f"file type {image.filetype}")
        failures.append(f"is {name}, expected MH_DYLIB")
    return failures


def check_layout(image, _options, _summary):
    failures, size = [], len(image.data)
    for segment in image.segments:
        if segment.fileoff + segment.filesize > size:
            failures.append(f"segment {segment.name} (file 0x{segment.fileoff:x}-"
                            f"0x{segment.fileoff + segment.filesize:x}) runs past the end of "
                            f"the file ({size} bytes); the file is truncated")
    linkedit = image.segment("__LINKEDIT")
    if linkedit is None:
        return failures + ["has no __LINKEDIT segment"]
    end = linkedit.fileoff + linkedit.filesize
    for name, offset, length in image.linkedit_blobs:
        if length and (offset < linkedit.fileoff or offset + length > end):
            failures.append(f"{name} (file 0x{offset:x}-0x{offset + length:x}) lies outside "
                            f"__LINKEDIT (0x{linkedit.fileoff:x}-0x{end:x})")
    if image.chained_fixups is not None:
        failures.append("uses chained fixups (LC_DYLD_CHAINED_FIXUPS), which this checker does "
                        "not decode; expected rebase and bind opcodes (LC_DYLD_INFO_ONLY), as "
                        "lld writes for iOS 14")
    return failures


def check_install_name(image, options, _summary):
    if image.id_dylib is None:
        return [f"has no LC_ID_DYLIB; expected install name {options.install_name}"]
    if image.id_dylib[0] != options.install_name:
        return [f"install name (LC_ID_DYLIB) is {image.id_dylib[0]}, expected "
                f"{options.install_name}"]
    return []


def check_platform(image, _options, summary):
    if image.build_version is not None:
        platform, minos, _ = image.build_version
        if platform != 2:
            name = macho.PLATFORM_NAMES.get(platform, "unknown")
            return [f"LC_BUILD_VERSION platform is {name} ({platform}), expected iOS (2)"]
    elif image.version_min_iphoneos is not None:
        minos = image.version_min_iphoneos[0]
    else:
        return ["has neither LC_BUILD_VERSION nor LC_VERSION_MIN_IPHONEOS; expected platform iOS"]
    if minos == 0:
        return ["minimum iOS version is 0, expected the deployment target"]
    summary["platform"] = f"iOS {macho.version_string(minos)}"
    return []


def check_exports(image, options, summary):
    exports = image.exports()
    names = [export.name for export in exports]
    failures = [f"exports {name} twice" for name in sorted(set(names)) if names.count(name) > 1]
    listed = os.path.basename(options.exports)
    for name in sorted(options.export_names - set(names)):
        failures.append(f"does not export {name}, which {listed} lists")
    for name in sorted(set(names) - options.export_names):
        failures.append(f"exports {name}, which {listed} does not list")
    for export in exports:
        if export.reexport is not None:
            ordinal, imported = export.reexport
            library = image.library_name(ordinal) or f"library ordinal {ordinal}"
            failures.append(f"export {export.name} is a re-export of {imported} from "
                            f"{library}; expected a definition in this dylib")
    summary["exports"] = len(exports)
    return failures


def check_libraries(image, options, _summary):
    failures = [f"has LC_RPATH {path}; expected no run-path search" for path in image.rpaths]
    installs = {stub.install_name for stub in options.stubs}
    for kind, name in image.dylibs:
        if kind != "LC_LOAD_DYLIB":
            failures.append(f"loads {name} with {kind}; expected only LC_LOAD_DYLIB")
        if name not in installs:
            failures.append(f"loads {name}, which is the install name of no stub (stubs name "
                            f"{', '.join(sorted(installs))})")
    if not image.flags & macho.MH_TWOLEVEL:
        failures.append("uses a flat namespace (MH_TWOLEVEL not set); expected two-level")
    return failures


def check_imports(image, options, summary):
    stubs = {stub.install_name: stub for stub in options.stubs}
    imports = [symbol for symbol in image.symbols() if symbol.is_import]
    failures, by_name = [], {}
    for symbol in imports:
        ordinal, library = symbol.library_ordinal, image.library_name(symbol.library_ordinal)
        by_name[symbol.name] = ordinal
        if ordinal in SPECIAL_ORDINALS:
            failures.append(f"imports {symbol.name} from {SPECIAL_ORDINALS[ordinal]}; expected "
                            f"a library one of the stubs describes")
        elif library is None:
            failures.append(f"imports {symbol.name} from library ordinal {ordinal}, but only "
                            f"{len(image.dylibs)} libraries are loaded")
        elif library in stubs and symbol.name not in stubs[library].symbols:
            failures.append(f"imports {symbol.name} from {library}, which its stub "
                            f"{os.path.basename(stubs[library].path)} does not export")
        if symbol.is_weak_import:
            failures.append(f"imports {symbol.name} weakly (N_WEAK_REF); expected a strong import")
    for bind in image.binds():
        if bind.weak_import and not any(s.name == bind.name and s.is_weak_import for s in imports):
            failures.append(f"the {bind.table} table binds {bind.name} weakly; expected a "
                            f"strong import")
        if by_name.get(bind.name, bind.ordinal) != bind.ordinal or bind.name not in by_name:
            failures.append(f"the {bind.table} table binds {bind.name} from "
                            f"{_library_label(image, bind.ordinal)}, but the symbol table "
                            f"imports it from "
                            f"{_library_label(image, by_name.get(bind.name))}")
    summary["imports"] = len(imports)
    summary["libraries"] = len(image.dylibs)
    return failures


def _library_label(image, ordinal):
    if ordinal is None:
        return "nowhere"
    return SPECIAL_ORDINALS.get(ordinal) or image.library_name(ordinal) or f"ordinal {ordinal}"


def check_initialiser(image, options, summary):
    initialisers = []  # (where the pointer is, or None; the address it runs)
    text = image.segment("__TEXT")
    for section in image.sections():
        if section.type == macho.S_MOD_INIT_FUNC_POINTERS:
            contents = image.section_bytes(section)
            if len(contents) % 8:
                return [f"{section.label} is {len(contents)} bytes, not a whole number of "
                        f"pointers"]
            initialisers += [(section.addr + at, int.from_bytes(contents[at:at + 8], "little"))
                             for at in range(0, len(contents), 8)]
        elif section.type == macho.S_INIT_FUNC_OFFSETS and text is not None:
            contents = image.section_bytes(section)
            initialisers += [(None, text.vmaddr + int.from_bytes(contents[at:at + 4], "little"))
                             for at in range(0, len(contents) - 3, 4)]
    if image.routines_init is not None:
        initialisers.append((None, image.routines_init))
    symbols = [symbol for symbol in image.symbols() if symbol.is_defined]
    names = {symbol.value: symbol.name for symbol in reversed(symbols)}
    wanted = next((s for s in symbols if s.name == options.initialiser), None)
    failures = []
    if wanted is None:
        failures.append(f"defines no symbol {options.initialiser}, the expected initialiser")
    if len(initialisers) != 1:
        found = ", ".join(names.get(address, f"0x{address:x}") for _, address in initialisers)
        failures.append(f"has {len(initialisers)} initialisers ({found or 'none'}), expected "
                        f"exactly one: {options.initialiser}")
    if image.chained_fixups is not None:
        return failures  # the pointers are chain entries, not addresses
    rebased = image.rebases()
    for slot, address in initialisers:
        if wanted is not None and len(initialisers) == 1 and address != wanted.value:
            failures.append(f"the initialiser runs 0x{address:x} "
                            f"({names.get(address, 'no symbol')}), expected "
                            f"{options.initialiser} at 0x{wanted.value:x}")
        if slot is not None and slot not in rebased:
            failures.append(f"the initialiser pointer at 0x{slot:x} has no rebase; it would "
                            f"hold an unslid address once the dylib is loaded")
    summary["initialiser"] = options.initialiser
    return failures


def check_signature(image, _options, summary):
    if image.code_signature is None:
        return ["has no LC_CODE_SIGNATURE; expected an ad-hoc signature"]
    offset, size = image.code_signature
    end, failures = offset + size, []
    if end > len(image.data):
        return [f"code signature (file 0x{offset:x}-0x{end:x}) runs past the end of the file "
                f"({len(image.data)} bytes)"]
    linkedit = image.segment("__LINKEDIT")
    if linkedit is not None and end != linkedit.fileoff + linkedit.filesize:
        failures.append(f"code signature ends at 0x{end:x} but __LINKEDIT at "
                        f"0x{linkedit.fileoff + linkedit.filesize:x}; expected the signature "
                        f"last in __LINKEDIT")
    for name, blob_offset, length in image.linkedit_blobs:
        if length and blob_offset + length > offset:
            failures.append(f"{name} (file 0x{blob_offset:x}-0x{blob_offset + length:x}) lies "
                            f"after the start of the code signature at 0x{offset:x}")
    if end < len(image.data):
        failures.append(f"{len(image.data) - end} bytes follow the code signature; expected it "
                        f"to end the file")
    problems, pages = code_signature.verify(image.data, offset, size)
    summary["pages"] = pages
    return failures + problems


CHECKS = [("header", check_header), ("layout", check_layout),
          ("install name", check_install_name), ("platform", check_platform),
          ("exports", check_exports), ("libraries", check_libraries),
          ("imports", check_imports), ("initialiser", check_initialiser),
          ("code signature", check_signature)]


def run_checks(image, options):
    failures, summary = [], {}
    checks = CHECKS
    if options.settings is not None:
        checks = CHECKS + [("exported variables", settings_layout.check)]
    for name, check in checks:
        try:
            found = check(image, options, summary)
        except MachOError as error:
            found = [f"cannot check the {name}: {error}"]
        failures += [failure for failure in found if failure not in failures]
    return failures, summary


def read_export_names(path):
    with open(path, encoding="utf-8") as f:
        return {line.strip() for line in f if line.strip() and not line.startswith("#")}


def parse_options(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("dylib")
    parser.add_argument("--exports", required=True, help="the list given to ld64 "
                        "-exported_symbols_list, one Mach-O name a line")
    parser.add_argument("--stub", action="append", required=True, help="a .tbd the dylib "
                        "links against; repeat for each")
    parser.add_argument("--install-name", required=True)
    parser.add_argument("--initialiser", required=True, help="the symbol the one initialiser "
                        "must run")
    parser.add_argument("--settings-list", help="the settings list header; checks that each "
                        "variable it declares is exported as writable, aligned, separate data")
    return parser.parse_args(argv)


def main(argv=None):
    options = parse_options(argv)
    try:
        options.export_names = read_export_names(options.exports)
        options.stubs = [tbd.read(path) for path in options.stub]
        options.settings = None
        if options.settings_list is not None:
            options.settings = settings_layout.read(options.settings_list)
        with open(options.dylib, "rb") as f:
            data = f.read()
    except (OSError, UnicodeDecodeError, tbd.StubError,
            settings_layout.SettingsListError) as error:
        print(f"check_dylib: {error}", file=sys.stderr)
        return 2
    label = os.path.basename(options.dylib)
    try:
        image = macho.MachO(data)
    except MachOError as error:
        print(f"{label}: {error}")
        return 1
    failures, summary = run_checks(image, options)
    for failure in failures:
        print(f"{label}: {failure}")
    if failures:
        return 1
    variables = (f", {summary['variables']} variables writable and apart"
                 if options.settings is not None else "")
    print(f"{label}: ok: arm64 MH_DYLIB {options.install_name}, {summary['platform']}, "
          f"{summary['exports']} exports, {summary['imports']} imports from "
          f"{summary['libraries']} libraries, initialiser {summary['initialiser']}, "
          f"signature verified over {summary['pages']} pages{variables}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
