"""A reader of thin 64-bit little-endian Mach-O files, enough to check what the loader will do
with the arm64 dylib. Every read is bounds-checked and raises MachOError with a sentence that
says what was being read, so a damaged file is reported and never ends in a traceback."""

import dyld_opcodes
from macho_format import *  # noqa: F401,F403 (the format's numbers, read as macho.NAME)
from macho_format import MachOError, cstring, uleb, unpack
from macho_records import Bind, Export, Section, Segment, Symbol  # noqa: F401


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

    def linkedit_area(self, offset, size, what):
        if offset + size > len(self.data):
            raise MachOError(f"{what} at file offset 0x{offset:x} ({size} bytes) runs past the "
                             f"end of the file ({len(self.data)} bytes)")
        return offset, offset + size

    # Tables in __LINKEDIT, read on demand.

    def symbols(self):
        if self.symtab is None:
            return []
        symoff, nsyms, stroff, strsize = self.symtab
        self.linkedit_area(symoff, nsyms * 16, "symbol table")
        _, strend = self.linkedit_area(stroff, strsize, "string table")
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
        start, end = self.linkedit_area(offset, size, "export trie")
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

    def address(self, segment_index, offset, what):
        if segment_index >= len(self.segments):
            raise MachOError(f"{what}: segment index {segment_index} does not exist")
        segment = self.segments[segment_index]
        if offset >= segment.vmsize:
            raise MachOError(f"{what}: offset 0x{offset:x} is outside segment {segment.name}")
        return segment.vmaddr + offset

    def binds(self):
        """Every symbol the loader binds, from the bind and lazy bind opcodes."""
        if self.dyld_info is None:
            return []
        result = []
        for table, (offset, size) in (("bind", self.dyld_info[2:4]),
                                      ("lazy bind", self.dyld_info[6:8])):
            result += dyld_opcodes.bind_opcodes(self, table, offset, size)
        return result

    def rebases(self):
        """The addresses of every pointer the loader slides, from the rebase opcodes."""
        return dyld_opcodes.rebase_opcodes(self)
