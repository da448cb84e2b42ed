"""The Mach-O format's numbers and the bounds-checked readers of its fields, shared by the file's
reader (macho) and its opcode interpreters (dyld_opcodes)."""

import struct

MH_MAGIC_64 = 0xFEEDFACF
MH_DYLIB = 6
MH_TWOLEVEL = 0x80
CPU_TYPE_ARM64 = 0x0100000C
CPU_SUBTYPE_ARM64_ALL = 0

LC_SYMTAB = 0x2
LC_DYSYMTAB = 0xB
LC_LOAD_DYLIB = 0xC
LC_ID_DYLIB = 0xD
LC_SEGMENT_64 = 0x19
LC_ROUTINES_64 = 0x1A
LC_CODE_SIGNATURE = 0x1D
LC_LAZY_LOAD_DYLIB = 0x20
LC_DYLD_INFO = 0x22
LC_VERSION_MIN_IPHONEOS = 0x25
LC_BUILD_VERSION = 0x32
LC_LOAD_WEAK_DYLIB = 0x80000018
LC_RPATH = 0x8000001C
LC_REEXPORT_DYLIB = 0x8000001F
LC_DYLD_INFO_ONLY = 0x80000022
LC_LOAD_UPWARD_DYLIB = 0x80000023
LC_DYLD_EXPORTS_TRIE = 0x80000033
LC_DYLD_CHAINED_FIXUPS = 0x80000034
# Commands that only point at a blob in __LINKEDIT (linkedit_data_command).
LINKEDIT_DATA_COMMANDS = {0x1D: "code signature", 0x1E: "segment split info",
                          0x26: "function starts", 0x29: "data in code",
                          0x2B: "dylib code-sign DRs", 0x2E: "linker optimisation hints",
                          LC_DYLD_EXPORTS_TRIE: "exports trie",
                          LC_DYLD_CHAINED_FIXUPS: "chained fixups"}

# Commands that make a library ordinal, in load order; the loader numbers them from 1.
DYLIB_COMMAND_NAMES = {LC_LOAD_DYLIB: "LC_LOAD_DYLIB", LC_LOAD_WEAK_DYLIB: "LC_LOAD_WEAK_DYLIB",
                       LC_REEXPORT_DYLIB: "LC_REEXPORT_DYLIB",
                       LC_LAZY_LOAD_DYLIB: "LC_LAZY_LOAD_DYLIB",
                       LC_LOAD_UPWARD_DYLIB: "LC_LOAD_UPWARD_DYLIB"}

CPU_NAMES = {7: "i386", 0x01000007: "x86_64", 12: "arm", CPU_TYPE_ARM64: "arm64",
             0x0200000C: "arm64_32", 18: "ppc", 0x01000012: "ppc64"}
FILE_TYPE_NAMES = {1: "MH_OBJECT", 2: "MH_EXECUTE", 6: "MH_DYLIB", 7: "MH_DYLINKER",
                   8: "MH_BUNDLE", 0xA: "MH_DSYM", 0xB: "MH_KEXT_BUNDLE"}
PLATFORM_NAMES = {1: "macOS", 2: "iOS", 3: "tvOS", 4: "watchOS", 6: "Mac Catalyst",
                  7: "iOS simulator"}

VM_PROT_READ, VM_PROT_WRITE, VM_PROT_EXECUTE = 0x1, 0x2, 0x4

S_ZEROFILL = 0x1
S_MOD_INIT_FUNC_POINTERS = 0x9
S_INIT_FUNC_OFFSETS = 0x16

N_STAB, N_PEXT, N_TYPE, N_EXT = 0xE0, 0x10, 0x0E, 0x01
N_UNDF, N_SECT = 0x0, 0xE
N_WEAK_REF = 0x40

# Library ordinals, with the special ones as the bind opcodes spell them. The symbol table's
# n_desc keeps them in one byte: 0xfe for a flat (dynamic) lookup, 0xff for the executable.
SELF_ORDINAL, EXECUTABLE_ORDINAL, FLAT_LOOKUP_ORDINAL, WEAK_LOOKUP_ORDINAL = 0, -1, -2, -3

EXPORT_KIND_MASK = 0x03
EXPORT_WEAK_DEFINITION = 0x04
EXPORT_REEXPORT = 0x08
EXPORT_STUB_AND_RESOLVER = 0x10

BIND_WEAK_IMPORT = 0x1


class MachOError(Exception):
    """The file is not a Mach-O this reader accepts, or it is damaged at the place named."""


def version_string(packed):
    """A version packed as xxxx.yy.zz nibbles, the way the load commands store it."""
    text = f"{packed >> 16}.{(packed >> 8) & 0xFF}"
    return text + (f".{packed & 0xFF}" if packed & 0xFF else "")


def unpack(data, fmt, offset, what):
    size = struct.calcsize(fmt)
    if offset < 0 or offset + size > len(data):
        raise MachOError(f"{what} at file offset 0x{offset:x} ({size} bytes) runs past the end "
                         f"of the file ({len(data)} bytes)")
    return struct.unpack_from(fmt, data, offset)


def cstring(data, offset, end, what):
    stop = data.find(b"\0", offset, min(end, len(data)))
    if offset < 0 or offset >= min(end, len(data)) or stop < 0:
        raise MachOError(f"{what} at file offset 0x{offset:x} is not a NUL-terminated string "
                         f"inside its bounds")
    return data[offset:stop].decode("utf-8", "replace")


def uleb(data, pos, end, what):
    value, shift = 0, 0
    while True:
        if pos >= end:
            raise MachOError(f"{what}: ULEB128 number runs past the end of its area")
        byte = data[pos]
        pos += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if not byte & 0x80:
            return value, pos
        if shift > 63:
            raise MachOError(f"{what}: ULEB128 number longer than 64 bits")


def sleb(data, pos, end, what):
    start = pos
    value, pos = uleb(data, pos, end, what)
    bits = 7 * (pos - start)
    if data[pos - 1] & 0x40:
        value -= 1 << bits
    return value, pos
