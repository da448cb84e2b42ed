"""What the Mach-O reader gives: sections, segments, symbols, exports and binds."""

from macho_format import (BIND_WEAK_IMPORT, EXECUTABLE_ORDINAL, FLAT_LOOKUP_ORDINAL, N_EXT, N_SECT,
                          N_STAB, N_TYPE, N_UNDF, N_WEAK_REF, S_ZEROFILL)


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
