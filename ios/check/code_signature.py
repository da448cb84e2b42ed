"""Verifies the embedded ad-hoc code signature the way the kernel does when it maps the dylib's
pages: each page of the file up to the signature must hash to its slot in the CodeDirectory,
or the page faults as invalid on the device. The signature's blobs are big-endian."""

import hashlib
import struct

SUPERBLOB_MAGIC = 0xFADE0CC0
CODE_DIRECTORY_MAGIC = 0xFADE0C02
CODE_DIRECTORY_SLOT = 0
HASH_TYPE_SHA256, SHA256_SIZE = 2, 32
CS_ADHOC = 0x2
ACCEPTED_PAGE_SIZES = (4096, 16384)
# Special slots hash other blobs of the superblob (the slot number is the blob's type); 1 and 3
# hash the bundle's Info.plist and resources, which a bare dylib does not have.
SPECIAL_SLOT_NAMES = {1: "Info.plist", 2: "requirements", 3: "resource directory",
                      4: "application-specific", 5: "entitlements", 6: "reserved",
                      7: "DER entitlements"}
EXTERNAL_SPECIAL_SLOTS = (1, 3, 4)

# The fixed part of a CodeDirectory grows with its version.
FIXED_SIZE_BY_VERSION = ((0x20600, 108), (0x20500, 96), (0x20400, 88), (0x20300, 64),
                         (0x20200, 52), (0x20100, 48), (0, 44))


class SignatureError(Exception):
    """The signature's structure cannot be read; nothing in it can be trusted."""


class CodeDirectory:
    def __init__(self, blob, at):
        if len(blob) < 44:
            raise SignatureError(f"CodeDirectory at signature offset 0x{at:x} is cut short")
        (self.magic, self.length, self.version, self.flags, self.hash_offset, self.ident_offset,
         self.special_slots, self.code_slots, code_limit, self.hash_size, self.hash_type,
         self.platform, page_shift) = struct.unpack_from(">IIIIIIIIIBBBB", blob, 0)
        if self.magic != CODE_DIRECTORY_MAGIC:
            raise SignatureError(f"blob at signature offset 0x{at:x} has magic "
                                 f"0x{self.magic:08x}, not a CodeDirectory (0xfade0c02)")
        fixed = next(size for version, size in FIXED_SIZE_BY_VERSION if self.version >= version)
        if self.length > len(blob) or self.length < fixed:
            raise SignatureError(f"CodeDirectory length {self.length} does not fit its version "
                                 f"0x{self.version:x} and the superblob")
        self.code_limit = code_limit
        if self.version >= 0x20300:
            code_limit64, = struct.unpack_from(">Q", blob, 56)
            self.code_limit = code_limit64 or code_limit
        self.page_size = 1 << page_shift if page_shift else 0
        self.blob = blob[:self.length]
        first = self.hash_offset - self.special_slots * self.hash_size
        last = self.hash_offset + self.code_slots * self.hash_size
        if self.hash_size == 0 or first < fixed or last > self.length:
            raise SignatureError(f"CodeDirectory hash slots (offset {self.hash_offset}, "
                                 f"{self.special_slots} special, {self.code_slots} code, "
                                 f"{self.hash_size} bytes each) lie outside its {self.length} "
                                 f"bytes")
        end = self.blob.find(b"\0", self.ident_offset)
        if self.ident_offset < fixed or end < 0:
            raise SignatureError("CodeDirectory identifier is not a string inside it")
        self.identifier = self.blob[self.ident_offset:end].decode("utf-8", "replace")

    def slot(self, index):
        """The hash stored for code page `index`, or for special slot -index when negative."""
        at = self.hash_offset + index * self.hash_size
        return self.blob[at:at + self.hash_size]


def read_superblob(signature):
    if len(signature) < 12:
        raise SignatureError(f"signature is {len(signature)} bytes, too short for a superblob")
    magic, length, count = struct.unpack_from(">III", signature, 0)
    if magic != SUPERBLOB_MAGIC:
        raise SignatureError(f"signature magic is 0x{magic:08x}, expected the embedded "
                             f"signature superblob 0xfade0cc0")
    if length > len(signature) or 12 + count * 8 > length:
        raise SignatureError(f"superblob says {length} bytes and {count} blobs, more than the "
                             f"{len(signature)} bytes LC_CODE_SIGNATURE gives it")
    blobs = {}
    for i in range(count):
        kind, offset = struct.unpack_from(">II", signature, 12 + i * 8)
        if offset + 8 > length:
            raise SignatureError(f"superblob index entry {i} points outside the superblob")
        blob_length, = struct.unpack_from(">I", signature, offset + 4)
        if blob_length < 8 or offset + blob_length > length:
            raise SignatureError(f"blob {i} (type 0x{kind:x}) of {blob_length} bytes runs past "
                                 f"the superblob")
        blobs[kind] = (offset, signature[offset:offset + blob_length])
    return blobs


def verify(data, signature_offset, signature_size):
    """Returns (problems, page count). Problems name what is wrong and what was expected."""
    signature = data[signature_offset:signature_offset + signature_size]
    try:
        blobs = read_superblob(signature)
        if CODE_DIRECTORY_SLOT not in blobs:
            raise SignatureError("superblob has no CodeDirectory (slot 0)")
        at, blob = blobs[CODE_DIRECTORY_SLOT]
        directory = CodeDirectory(blob, at)
    except SignatureError as error:
        return [f"code signature: {error}"], 0
    problems = [f"code signature: {p}" for p in _check_fields(directory, signature_offset)]
    if directory.page_size in ACCEPTED_PAGE_SIZES and directory.hash_size == SHA256_SIZE:
        problems += [f"code signature: {p}" for p in _check_pages(directory, data)]
        problems += [f"code signature: {p}" for p in _check_special_slots(directory, blobs)]
    return problems, directory.code_slots


def _check_fields(directory, signature_offset):
    problems = []
    if directory.hash_type != HASH_TYPE_SHA256 or directory.hash_size != SHA256_SIZE:
        problems.append(f"hash type {directory.hash_type} of {directory.hash_size} bytes, "
                        f"expected SHA-256 (type 2, 32 bytes)")
    if directory.page_size not in ACCEPTED_PAGE_SIZES:
        problems.append(f"page size {directory.page_size}, expected 4096 or 16384")
    if directory.code_limit != signature_offset:
        problems.append(f"code limit 0x{directory.code_limit:x} does not reach the signature "
                        f"at file offset 0x{signature_offset:x}; expected them equal")
    if directory.page_size:
        pages = -(-directory.code_limit // directory.page_size)
        if directory.code_slots != pages:
            problems.append(f"{directory.code_slots} code slots, expected {pages} "
                            f"(code limit 0x{directory.code_limit:x} in "
                            f"{directory.page_size}-byte pages)")
    if not directory.flags & CS_ADHOC:
        problems.append(f"flags 0x{directory.flags:x} lack the ad-hoc flag (0x2); "
                        f"expected an ad-hoc signature")
    return problems


def _check_pages(directory, data):
    size, limit = directory.page_size, min(directory.code_limit, len(data))
    bad = []
    for page in range(directory.code_slots):
        start = page * size
        chunk = data[start:min(start + size, limit)]
        if hashlib.sha256(chunk).digest() != directory.slot(page):
            bad.append(page)
    if not bad:
        return []
    return [f"code page {bad[0]} (file offset 0x{bad[0] * size:x}) does not match its hash "
            f"({len(bad)} of {directory.code_slots} pages differ); the file changed after "
            f"signing"]


def _check_special_slots(directory, blobs):
    problems = []
    for number in range(1, directory.special_slots + 1):
        stored = directory.slot(-number)
        name = SPECIAL_SLOT_NAMES.get(number, f"special slot {number}")
        empty = stored == bytes(directory.hash_size)
        if number in blobs:
            if hashlib.sha256(blobs[number][1]).digest() != stored:
                problems.append(f"the {name} blob does not match its hash in special slot "
                                f"-{number}")
        elif not empty and number in EXTERNAL_SPECIAL_SLOTS:
            problems.append(f"special slot -{number} hashes a {name} a dylib does not carry; "
                            f"expected it empty")
        elif not empty:
            problems.append(f"special slot -{number} hashes a {name} blob that is not in the "
                            f"signature")
    for kind in blobs:
        if kind in SPECIAL_SLOT_NAMES and kind > directory.special_slots:
            problems.append(f"the {SPECIAL_SLOT_NAMES[kind]} blob is not covered by any "
                            f"special slot of the CodeDirectory")
    return problems
