"""The loader's bind and rebase opcodes of a Mach-O file, run as the loader runs them, every step
bounds-checked."""

from macho_format import MachOError, sleb, uleb

import macho_records


def bind_opcodes(macho, table, offset, size):
    pos, end = macho.linkedit_area(offset, size, f"{table} info")
    what = f"{table} opcodes"
    result, ordinal, name, flags, seg, seg_offset = [], 0, None, 0, 0, 0

    def bind(times=1, stride=8):
        nonlocal seg_offset
        if name is None:
            raise MachOError(f"{what}: a bind before any symbol is named")
        for _ in range(times):
            result.append(macho_records.Bind(table, name, ordinal, macho.address(seg, seg_offset, what),
                               flags))
            seg_offset += stride

    while pos < end:
        opcode, immediate = macho.data[pos] & 0xF0, macho.data[pos] & 0x0F
        pos += 1
        if opcode == 0x00:  # DONE; in the lazy table it only ends one entry
            if table == "bind":
                break
        elif opcode == 0x10:
            ordinal = immediate
        elif opcode == 0x20:
            ordinal, pos = uleb(macho.data, pos, end, what)
        elif opcode == 0x30:
            ordinal = immediate - 16 if immediate else 0
        elif opcode == 0x40:
            flags = immediate
            stop = macho.data.find(b"\0", pos, end)
            if stop < 0:
                raise MachOError(f"{what}: a symbol name runs past the table")
            name, pos = macho.data[pos:stop].decode("utf-8", "replace"), stop + 1
        elif opcode == 0x50:
            pass  # the pointer type does not change what is bound
        elif opcode == 0x60:
            _, pos = sleb(macho.data, pos, end, what)
        elif opcode == 0x70:
            seg = immediate
            seg_offset, pos = uleb(macho.data, pos, end, what)
        elif opcode == 0x80:
            step, pos = uleb(macho.data, pos, end, what)
            seg_offset = (seg_offset + step) & 0xFFFFFFFFFFFFFFFF
        elif opcode == 0x90:
            bind()
        elif opcode == 0xA0:
            step, pos = uleb(macho.data, pos, end, what)
            bind(stride=8 + step)
        elif opcode == 0xB0:
            bind(stride=8 + immediate * 8)
        elif opcode == 0xC0:
            times, pos = uleb(macho.data, pos, end, what)
            skip, pos = uleb(macho.data, pos, end, what)
            bind(times, 8 + skip)
        else:
            raise MachOError(f"{what}: opcode 0x{opcode:02x} is not one this reader knows "
                             f"(threaded binds belong to arm64e)")
    return result


def rebase_opcodes(macho):
    """The addresses of every pointer the loader slides, from the rebase opcodes."""
    if macho.dyld_info is None:
        return set()
    pos, end = macho.linkedit_area(*macho.dyld_info[0:2], "rebase info")
    what, result, seg, seg_offset = "rebase opcodes", set(), 0, 0

    def rebase(times, stride):
        nonlocal seg_offset
        for _ in range(times):
            result.add(macho.address(seg, seg_offset, what))
            seg_offset += stride

    while pos < end:
        opcode, immediate = macho.data[pos] & 0xF0, macho.data[pos] & 0x0F
        pos += 1
        if opcode == 0x00:
            break
        elif opcode == 0x10:
            pass
        elif opcode == 0x20:
            seg = immediate
            seg_offset, pos = uleb(macho.data, pos, end, what)
        elif opcode == 0x30:
            step, pos = uleb(macho.data, pos, end, what)
            seg_offset = (seg_offset + step) & 0xFFFFFFFFFFFFFFFF
        elif opcode == 0x40:
            seg_offset += immediate * 8
        elif opcode == 0x50:
            rebase(immediate, 8)
        elif opcode == 0x60:
            times, pos = uleb(macho.data, pos, end, what)
            rebase(times, 8)
        elif opcode == 0x70:
            step, pos = uleb(macho.data, pos, end, what)
            rebase(1, 8 + step)
        elif opcode == 0x80:
            times, pos = uleb(macho.data, pos, end, what)
            skip, pos = uleb(macho.data, pos, end, what)
            rebase(times, 8 + skip)
        else:
            raise MachOError(f"{what}: opcode 0x{opcode:02x} is not a rebase opcode")
    return result
