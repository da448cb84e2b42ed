"""A reader of thin 64-bit little-endian Mach-O files, enough to check what the loader will do
with the arm64 dylib. Every read is bounds-checked and raises MachOError with a sentence that
says what was being read, so a damaged file is reported and never ends in a traceback."""

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


class Section:
    def __init__(self, segname, name, addr, size, offset, flags):
        self.segname, self.name, self.addr, self.size = segname, name, addr, size
        self.offset, self.flags = offset, flags

    @property
    def type(self):
        return self.flags & 0xFF

    @property
    def label(self):
        return f"({self.segname},{self.name})"


class Segment:
    def __init__(self, name, vmaddr, vmsize, fileoff, filesize, initprot, sections):
        self.name, self.vmaddr, self.vmsize = name, vmaddr, vmsize
        self.fileoff, self.filesize, self.sections = fileoff, filesize, sections
        self.initprot = initprot  # what the loader maps it with: VM_PROT_READ|WRITE|EXECUTE


class Symbol:
    def __init__(self, name, n_type, sect, desc, value):
        self.name, self.n_type, self.sect, self.desc, self.value = name, n_type, sect, desc, value

    @property
    def is_debug(self):
        return bool(self.n_type & N_STAB)

    @property
    def is_import(self):
        return (not self.is_debug and self.n_type & N_EXT
                and self.n_type & N_TYPE == N_UNDF and self.value == 0)

    @property
    def is_defined(self):
        return not self.is_debug and self.n_type & N_TYPE == N_SECT

    @property
    def library_ordinal(self):
        byte = self.desc >> 8
        return {0xFE: FLAT_LOOKUP_ORDINAL, 0xFF: EXECUTABLE_ORDINAL}.get(byte, byte)

    @property
    def is_weak_import(self):
        return bool(self.desc & N_WEAK_REF)


class Export:
    def __init__(self, name, flags, address=None, reexport=None):
        self.name, self.flags, self.address, self.reexport = name, flags, address, reexport


class Bind:
    def __init__(self, table, name, ordinal, address, flags):
        self.table, self.name, self.ordinal, self.address = table, name, ordinal, address
        self.weak_import = bool(flags & BIND_WEAK_IMPORT)


class MachO:
    """The header and load commands are read at once, and a file whose load commands cannot be
    walked is refused; the tables in __LINKEDIT are read when asked for, so that damage in one
    of them is reported without hiding what can still be checked in the rest."""

    def __init__(self, data):
        self.data = data
        self._read_header()
        self.segments, self.dylibs, self.rpaths, self.linkedit_blobs = [], [], [], []
        self.id_dylib = self.build_version = self.version_min_iphoneos = None
        self.symtab = self.dyld_info = self.exports_trie = None
        self.code_signature = self.chained_fixups = self.routines_init = None
        self.command_ids = []
        self._read_load_commands()

    @classmethod
    def from_path(cls, path):
        with open(path, "rb") as f:
            return cls(f.read())

    def _read_header(self):
        data = self.data
        if len(data) < 4:
            raise MachOError(f"file is {len(data)} bytes, too short for a Mach-O header")
        magic_be, = struct.unpack_from(">I", data, 0)
        if magic_be in (0xCAFEBABE, 0xCAFEBABF):
            raise MachOError(f"a fat (universal) file holding {self._fat_arches(magic_be)}; "
                             f"expected a thin arm64 Mach-O")
        magic, = struct.unpack_from("<I", data, 0)
        if magic == 0xFEEDFACE:
            raise MachOError("a 32-bit Mach-O (MH_MAGIC); expected a 64-bit arm64 Mach-O")
        if magic in (0xCEFAEDFE, 0xCFFAEDFE):
            raise MachOError("a big-endian Mach-O; expected a little-endian arm64 Mach-O")
        if magic != MH_MAGIC_64:
            raise MachOError(f"not a Mach-O file (magic 0x{magic:08x}); expected MH_MAGIC_64")
        (_, self.cputype, self.cpusubtype, self.filetype, self.ncmds, self.sizeofcmds,
         self.flags, _) = unpack(data, "<IiIIIIII", 0, "Mach-O header")
        self.cputype &= 0xFFFFFFFF
        if 32 + self.sizeofcmds > len(data):
            raise MachOError(f"load commands ({self.sizeofcmds} bytes) run past the end of the "
                             f"file ({len(data)} bytes)")

    def _fat_arches(self, magic):
        count, = unpack(self.data, ">I", 4, "fat header")
        entry = 20 if magic == 0xCAFEBABE else 32
        names = []
        for i in range(min(count, 16)):
            cpu, = unpack(self.data, ">I", 8 + i * entry, "fat architecture entry")
            names.append(CPU_NAMES.get(cpu, f"cpu 0x{cpu:x}"))
        return f"{count} architecture(s): {', '.join(names)}"

    def _read_load_commands(self):
        offset, end = 32, 32 + self.sizeofcmds
        for index in range(self.ncmds):
            if offset + 8 > end:
                raise MachOError(f"load command {index} starts past the {self.sizeofcmds} bytes "
                                 f"of load commands")
            cmd, size = unpack(self.data, "<II", offset, f"load command {index}")
            if size < 8 or size % 8 or offset + size > end:
                raise MachOError(f"load command {index} (0x{cmd:x}) has size {size}, which is "
                                 f"not a multiple of 8 inside the load commands")
            self.command_ids.append(cmd)
            self._read_command(cmd, offset, size, index)
            offset += size

    def _read_command(self, cmd, offset, size, index):
        data, end = self.data, offset + size
        what = f"load command {index} (0x{cmd:x})"
        if cmd == LC_SEGMENT_64:
            self._read_segment(offset, size, what)
        elif cmd in DYLIB_COMMAND_NAMES or cmd == LC_ID_DYLIB:
            name_at, = unpack(data, "<I", offset + 8, what)
            name = cstring(data, offset + name_at, end, f"{what} library name")
            if cmd == LC_ID_DYLIB:
                self.id_dylib = (name, offset + name_at)
            else:
                self.dylibs.append((DYLIB_COMMAND_NAMES[cmd], name))
        elif cmd == LC_RPATH:
            path_at, = unpack(data, "<I", offset + 8, what)
            self.rpaths.append(cstring(data, offset + path_at, end, f"{what} path"))
        elif cmd == LC_BUILD_VERSION:
            self.build_version = unpack(data, "<III", offset + 8, what)
        elif cmd == LC_VERSION_MIN_IPHONEOS:
            self.version_min_iphoneos = unpack(data, "<II", offset + 8, what)
        elif cmd == LC_SYMTAB:
            self.symtab = unpack(data, "<IIII", offset + 8, what)
            symoff, nsyms, stroff, strsize = self.symtab
            self.linkedit_blobs += [("symbol table", symoff, nsyms * 16),
                                    ("string table", stroff, strsize)]
        elif cmd == LC_DYSYMTAB:
            fields = unpack(data, "<18I", offset + 8, what)
            self.linkedit_blobs.append(("indirect symbol table", fields[12], fields[13] * 4))
        elif cmd in (LC_DYLD_INFO, LC_DYLD_INFO_ONLY):
            self.dyld_info = unpack(data, "<10I", offset + 8, what)
            for i, name in enumerate(("rebase info", "bind info", "weak bind info",
                                      "lazy bind info", "export info")):
                self.linkedit_blobs.append((name, *self.dyld_info[2 * i:2 * i + 2]))
        elif cmd == LC_ROUTINES_64:
            self.routines_init, = unpack(data, "<Q", offset + 8, what)
        if cmd in LINKEDIT_DATA_COMMANDS:
            blob = unpack(data, "<II", offset + 8, what)
            if cmd == LC_CODE_SIGNATURE:
                self.code_signature = blob
            else:
                self.linkedit_blobs.append((LINKEDIT_DATA_COMMANDS[cmd], *blob))
            if cmd == LC_DYLD_EXPORTS_TRIE:
                self.exports_trie = blob
            if cmd == LC_DYLD_CHAINED_FIXUPS:
                self.chained_fixups = blob

    def _read_segment(self, offset, size, what):
        fields = unpack(self.data, "<16sQQQQiiII", offset + 8, what)
        name = fields[0].rstrip(b"\0").decode("ascii", "replace")
        nsects = fields[7]
        if 72 + nsects * 80 > size:
            raise MachOError(f"{what}: segment {name} claims {nsects} sections, more than fit in "
                             f"its {size} bytes")
        sections = []
        for i in range(nsects):
            s = unpack(self.data, "<16s16sQQIIIIIIII", offset + 72 + i * 80, f"{what} section {i}")
            sections.append(Section(s[1].rstrip(b"\0").decode("ascii", "replace"),
                                    s[0].rstrip(b"\0").decode("ascii", "replace"),
                                    s[2], s[3], s[4], s[8]))
        self.segments.append(Segment(name, *fields[1:5], fields[6], sections))

    # Lookups over what the load commands described.

    def segment(self, name):
        return next((s for s in self.segments if s.name == name), None)

    def sections(self):
        return [section for segment in self.segments for section in segment.sections]

    def section_bytes(self, section):
        if section.type == S_ZEROFILL:
            return bytes(section.size)
        if section.offset + section.size > len(self.data):
            raise MachOError(f"section {section.label} at file offset 0x{section.offset:x} "
                             f"({section.size} bytes) runs past the end of the file")
        return self.data[section.offset:section.offset + section.size]

    def library_name(self, ordinal):
        if 1 <= ordinal <= len(self.dylibs):
            return self.dylibs[ordinal - 1][1]
        return None

    def _linkedit_area(self, offset, size, what):
        if offset + size > len(self.data):
            raise MachOError(f"{what} at file offset 0x{offset:x} ({size} bytes) runs past the "
                             f"end of the file ({len(self.data)} bytes)")
        return offset, offset + size

    # Tables in __LINKEDIT, read on demand.

    def symbols(self):
        if self.symtab is None:
            return []
        symoff, nsyms, stroff, strsize = self.symtab
        self._linkedit_area(symoff, nsyms * 16, "symbol table")
        _, strend = self._linkedit_area(stroff, strsize, "string table")
        result = []
        for i in range(nsyms):
            strx, n_type, sect, desc, value = unpack(self.data, "<IBBHQ", symoff + i * 16,
                                                     f"symbol {i}")
            if strx >= strsize:
                raise MachOError(f"symbol {i} names string 0x{strx:x}, outside the string table "
                                 f"({strsize} bytes)")
            name = cstring(self.data, stroff + strx, strend, f"name of symbol {i}")
            result.append(Symbol(name, n_type, sect, desc, value))
        return result

    def exports(self):
        if self.exports_trie is not None:
            offset, size = self.exports_trie
        elif self.dyld_info is not None:
            offset, size = self.dyld_info[8:10]
        else:
            return []
        start, end = self._linkedit_area(offset, size, "export trie")
        if size == 0:
            return []
        result, seen, pending = [], set(), [(start, "")]
        while pending:
            node, prefix = pending.pop()
            what = f"export trie node at 0x{node - start:x}"
            if node in seen:
                raise MachOError(f"{what} is reached twice; the trie loops")
            seen.add(node)
            terminal_size, pos = uleb(self.data, node, end, what)
            children_at = pos + terminal_size
            if children_at >= end:
                raise MachOError(f"{what}: its terminal information runs past the trie")
            if terminal_size:
                result.append(self._export_entry(prefix, pos, children_at, what))
            count, pos = self.data[children_at], children_at + 1
            for _ in range(count):
                edge_end = self.data.find(b"\0", pos, end)
                if edge_end < 0:
                    raise MachOError(f"{what}: an edge label runs past the trie")
                label = self.data[pos:edge_end].decode("utf-8", "replace")
                child, pos = uleb(self.data, edge_end + 1, end, what)
                if child == 0 or start + child >= end:
                    raise MachOError(f"{what}: child offset 0x{child:x} is outside the trie")
                pending.append((start + child, prefix + label))
        return result

    def _export_entry(self, name, pos, end, what):
        flags, pos = uleb(self.data, pos, end, what)
        if flags & EXPORT_REEXPORT:
            ordinal, pos = uleb(self.data, pos, end, what)
            imported = cstring(self.data, pos, end, f"{what} re-exported name")
            return Export(name, flags, reexport=(ordinal, imported or name))
        address, pos = uleb(self.data, pos, end, what)
        if flags & EXPORT_STUB_AND_RESOLVER:
            _, pos = uleb(self.data, pos, end, what)
        return Export(name, flags, address=address)

    def binds(self):
        """Every symbol the loader binds, from the bind and lazy bind opcodes."""
        if self.dyld_info is None:
            return []
        result = []
        for table, (offset, size) in (("bind", self.dyld_info[2:4]),
                                      ("lazy bind", self.dyld_info[6:8])):
            result += self._run_bind_opcodes(table, offset, size)
        return result

    def _address(self, segment_index, offset, what):
        if segment_index >= len(self.segments):
            raise MachOError(f"{what}: segment index {segment_index} does not exist")
        segment = self.segments[segment_index]
        if offset >= segment.vmsize:
            raise MachOError(f"{what}: offset 0x{offset:x} is outside segment {segment.name}")
        return segment.vmaddr + offset

    def _run_bind_opcodes(self, table, offset, size):
        pos, end = self._linkedit_area(offset, size, f"{table} info")
        what = f"{table} opcodes"
        result, ordinal, name, flags, seg, seg_offset = [], 0, None, 0, 0, 0

        def bind(times=1, stride=8):
            nonlocal seg_offset
            if name is None:
                raise MachOError(f"{what}: a bind before any symbol is named")
            for _ in range(times):
                result.append(Bind(table, name, ordinal, self._address(seg, seg_offset, what),
                                   flags))
                seg_offset += stride

        while pos < end:
            opcode, immediate = self.data[pos] & 0xF0, self.data[pos] & 0x0F
            pos += 1
            if opcode == 0x00:  # DONE; in the lazy table it only ends one entry
                if table == "bind":
                    break
            elif opcode == 0x10:
                ordinal = immediate
            elif opcode == 0x20:
                ordinal, pos = uleb(self.data, pos, end, what)
            elif opcode == 0x30:
                ordinal = immediate - 16 if immediate else 0
            elif opcode == 0x40:
                flags = immediate
                stop = self.data.find(b"\0", pos, end)
                if stop < 0:
                    raise MachOError(f"{what}: a symbol name runs past the table")
                name, pos = self.data[pos:stop].decode("utf-8", "replace"), stop + 1
            elif opcode == 0x50:
                pass  # the pointer type does not change what is bound
            elif opcode == 0x60:
                _, pos = sleb(self.data, pos, end, what)
            elif opcode == 0x70:
                seg = immediate
                seg_offset, pos = uleb(self.data, pos, end, what)
            elif opcode == 0x80:
                step, pos = uleb(self.data, pos, end, what)
                seg_offset = (seg_offset + step) & 0xFFFFFFFFFFFFFFFF
            elif opcode == 0x90:
                bind()
            elif opcode == 0xA0:
                step, pos = uleb(self.data, pos, end, what)
                bind(stride=8 + step)
            elif opcode == 0xB0:
                bind(stride=8 + immediate * 8)
            elif opcode == 0xC0:
                times, pos = uleb(self.data, pos, end, what)
                skip, pos = uleb(self.data, pos, end, what)
                bind(times, 8 + skip)
            else:
                raise MachOError(f"{what}: opcode 0x{opcode:02x} is not one this reader knows "
                                 f"(threaded binds belong to arm64e)")
        return result

    def rebases(self):
        """The addresses of every pointer the loader slides, from the rebase opcodes."""
        if self.dyld_info is None:
            return set()
        pos, end = self._linkedit_area(*self.dyld_info[0:2], "rebase info")
        what, result, seg, seg_offset = "rebase opcodes", set(), 0, 0

        def rebase(times, stride):
            nonlocal seg_offset
            for _ in range(times):
                result.add(self._address(seg, seg_offset, what))
                seg_offset += stride

        while pos < end:
            opcode, immediate = self.data[pos] & 0xF0, self.data[pos] & 0x0F
            pos += 1
            if opcode == 0x00:
                break
            elif opcode == 0x10:
                pass
            elif opcode == 0x20:
                seg = immediate
                seg_offset, pos = uleb(self.data, pos, end, what)
            elif opcode == 0x30:
                step, pos = uleb(self.data, pos, end, what)
                seg_offset = (seg_offset + step) & 0xFFFFFFFFFFFFFFFF
            elif opcode == 0x40:
                seg_offset += immediate * 8
            elif opcode == 0x50:
                rebase(immediate, 8)
            elif opcode == 0x60:
                times, pos = uleb(self.data, pos, end, what)
                rebase(times, 8)
            elif opcode == 0x70:
                step, pos = uleb(self.data, pos, end, what)
                rebase(1, 8 + step)
            elif opcode == 0x80:
                times, pos = uleb(self.data, pos, end, what)
                skip, pos = uleb(self.data, pos, end, what)
                rebase(times, 8 + skip)
            else:
                raise MachOError(f"{what}: opcode 0x{opcode:02x} is not a rebase opcode")
        return result
