"""Reads the text stubs (.tbd, version 4) the project links the arm64 dylib against: the
install name of each library and the symbols it exports for arm64-ios. Only the YAML this
project writes is understood; anything else is refused with the line it is on, because a
misread stub would make the import check pass or fail for the wrong reason."""

import re

TARGET = "arm64-ios"
TOP_LEVEL_KEYS = {"tbd-version", "targets", "install-name", "current-version",
                  "compatibility-version", "exports"}
EXPORT_KEYS = {"targets", "symbols", "objc-classes"}
LIST_KEYS = {"targets", "symbols", "objc-classes"}
KEY_LINE = re.compile(r"([A-Za-z][A-Za-z0-9-]*):(?:\s+(.*))?$")


class StubError(Exception):
    """The stub is not TBD v4 as this project writes it; the message names the line."""


class Stub:
    def __init__(self, path, install_name, current_version, symbols):
        self.path, self.install_name = path, install_name
        self.current_version, self.symbols = current_version, frozenset(symbols)


def read(path):
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except (OSError, UnicodeDecodeError) as error:
        raise StubError(f"{path}: cannot read: {error}") from None
    return parse(text, path)


def parse(text, path="<stub>"):
    lines = list(_logical_lines(text, path))
    if not lines or lines[0][1] != "--- !tapi-tbd":
        found = lines[0][1] if lines else "nothing"
        raise StubError(f"{path}:{lines[0][0] if lines else 1}: expected '--- !tapi-tbd' "
                        f"(TBD version 4), found {found!r}")
    top, exports, entry, entry_column = {}, [], None, None
    for number, raw in lines[1:]:
        where = f"{path}:{number}"
        if raw == "...":
            if number != lines[-1][0]:
                raise StubError(f"{where}: text after the end of the document")
            break
        indent = len(raw) - len(raw.lstrip(" "))
        body = raw.strip()
        if indent == 0:
            key, value = _key_value(body, where, TOP_LEVEL_KEYS, top)
            top[key] = value
            entry = None
            continue
        if "exports" not in top or top["exports"] is not None or list(top)[-1] != "exports":
            raise StubError(f"{where}: indented line outside the exports list")
        if body.startswith("- "):
            entry = {}
            exports.append((where, entry))
            rest = body[2:].lstrip(" ")
            entry_column = indent + len(body) - len(rest)
            body = rest
        elif entry is None or indent != entry_column:
            raise StubError(f"{where}: expected '- targets: ...' or a key aligned with the "
                            f"entry above")
        key, value = _key_value(body, where, EXPORT_KEYS, entry)
        entry[key] = value
    else:
        raise StubError(f"{path}: missing '...' at the end of the document")
    return _build(path, top, exports)


def _build(path, top, exports):
    if top.get("tbd-version") != "4":
        raise StubError(f"{path}: tbd-version is {top.get('tbd-version')!r}, expected 4")
    for key in ("targets", "install-name"):
        if key not in top:
            raise StubError(f"{path}: has no {key}")
    if TARGET not in top["targets"]:
        raise StubError(f"{path}: targets {top['targets']} do not include {TARGET}")
    symbols = set()
    for where, entry in exports:
        if "targets" not in entry:
            raise StubError(f"{where}: exports entry has no targets")
        if TARGET not in entry["targets"]:
            continue
        symbols.update(entry.get("symbols", []))
        for name in entry.get("objc-classes", []):
            symbols.update((f"_OBJC_CLASS_$_{name}", f"_OBJC_METACLASS_$_{name}"))
    return Stub(path, top["install-name"], top.get("current-version"), symbols)


def _logical_lines(text, path):
    """Lines without comments and blanks, a flow list spread over lines joined into one."""
    lines = text.split("\n")
    index = 0
    while index < len(lines):
        number, raw = index + 1, lines[index].rstrip()
        index += 1
        if not raw.strip() or raw.lstrip().startswith("#"):
            continue
        if "\t" in raw:
            raise StubError(f"{path}:{number}: tab character; YAML indents with spaces")
        while _unclosed_brackets(raw):
            if index >= len(lines):
                raise StubError(f"{path}:{number}: flow list is never closed with ']'")
            raw += " " + lines[index].strip()
            index += 1
        yield number, raw


def _unclosed_brackets(text):
    depth, quote = 0, None
    for char in text:
        if quote:
            quote = None if char == quote else quote
        elif char in "'\"":
            quote = char
        elif char == "[":
            depth += 1
        elif char == "]":
            depth -= 1
    return depth > 0


def _key_value(body, where, allowed, seen):
    match = KEY_LINE.match(body)
    if not match:
        raise StubError(f"{where}: expected 'key: value', found {body!r}")
    key, value = match.group(1), match.group(2)
    if key not in allowed:
        raise StubError(f"{where}: unsupported key {key!r}; this reader knows "
                        f"{', '.join(sorted(allowed))}")
    if key in seen:
        raise StubError(f"{where}: {key} given twice")
    if key == "exports":
        if value is not None:
            raise StubError(f"{where}: exports must be a block list of entries")
        return key, None
    if value is None:
        raise StubError(f"{where}: {key} has no value")
    return key, _flow_list(value, where) if key in LIST_KEYS else _scalar(value, where)


def _flow_list(text, where):
    if not (text.startswith("[") and text.endswith("]")):
        raise StubError(f"{where}: expected a flow list '[ ... ]', found {text!r}")
    items, current, quote = [], "", None
    for char in text[1:-1]:
        if quote:
            quote = None if char == quote else quote
        elif char in "'\"":
            quote = char
        elif char == ",":
            items.append(current)
            current = ""
            continue
        current += char
    if current.strip() or items:
        items.append(current)
    if items and not items[-1].strip():
        items.pop()  # a trailing comma
    return [_scalar(item.strip(), where) for item in items]


def _scalar(text, where):
    if text[:1] in ("'", '"'):
        quote = text[0]
        inner = text[1:-1]
        if len(text) < 2 or text[-1] != quote or quote in inner.replace(quote * 2, "") \
                or (quote == '"' and "\\" in inner):
            raise StubError(f"{where}: badly quoted value {text!r}")
        return inner.replace(quote * 2, quote)
    if not text or text[0] in "[]{}&*!|>%@`-?:," or " #" in text or ": " in text:
        raise StubError(f"{where}: value {text!r} is not a plain scalar this reader accepts")
    return text
