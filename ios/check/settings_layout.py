"""Checks where the dylib puts the variables it exports for the preferences service. The service
writes each one through the address the loader resolves for its name, so each must lie in data
the loader maps writable, aligned for its type, with room for the whole value before whatever
is defined next; otherwise a write faults or lands in a neighbour. The variables and their
kinds are read from the settings list the library is built from, so nothing here repeats it."""

import re

import macho

# The settings list is one macro whose parameters are the kinds, and each row names the
# variable first: BOOLEAN(name, ...), DOUBLE(name, default, ...), OBJECT(name, ...).
MACRO = "VORLA_SETTINGS"
# kind: (size, alignment) of the C type the library declares for it on arm64.
LAYOUT = {"BOOLEAN": (1, 1), "DOUBLE": (8, 8), "OBJECT": (8, 8), "pointer": (8, 8)}
# The shared preferences object is exported beside the settings and written the same way.
POINTERS = ("_preferences",)
WRITABLE_SEGMENT = "__DATA"

DEFINE = re.compile(r"^\s*#\s*define\s+" + MACRO + r"\(([^)]*)\)", re.M)
TOKEN = re.compile(r'"(?:[^"\\\n]|\\.)*"|[A-Za-z_]\w*|\S')


class SettingsListError(Exception):
    """The settings list cannot be read as the one macro of rows this project writes."""


def read(path):
    """The variables as [(Mach-O name, kind)], in the list's order."""
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except (OSError, UnicodeDecodeError) as error:
        raise SettingsListError(f"{path}: cannot read: {error}") from None
    return parse(text, path)


def parse(text, path="<settings list>"):
    match = DEFINE.search(text)
    if match is None:
        raise SettingsListError(f"{path}: has no '#define {MACRO}(BOOLEAN, DOUBLE, OBJECT)'")
    kinds = [word.strip() for word in match.group(1).split(",")]
    if sorted(kinds) != sorted(k for k in LAYOUT if k != "pointer"):
        raise SettingsListError(f"{path}: {MACRO} takes ({', '.join(kinds)}); expected the "
                                f"kinds BOOLEAN, DOUBLE and OBJECT")
    body, first_line = _macro_body(text, match), text.count("\n", 0, match.start()) + 1
    tokens = [(token.group(), first_line + body.count("\n", 0, token.start()))
              for token in TOKEN.finditer(body)]
    rows, depth = [], 0
    for index, (token, line) in enumerate(tokens):
        if token == "(":
            depth += 1
        elif token == ")":
            depth -= 1
        elif depth == 0:
            following = [word for word, _ in tokens[index + 1:index + 3]]
            if token not in kinds or len(following) < 2 or following[0] != "(" \
                    or not re.fullmatch(r"[A-Za-z_]\w*", following[1]):
                raise SettingsListError(f"{path}:{line}: {MACRO} holds {token!r} where a row "
                                        f"'KIND(name, ...)' with KIND one of "
                                        f"{', '.join(kinds)} was expected")
            rows.append(("_" + following[1], token))
    if depth:
        raise SettingsListError(f"{path}:{first_line}: unbalanced parentheses in {MACRO}")
    if not rows:
        raise SettingsListError(f"{path}:{first_line}: {MACRO} has no rows")
    names = [name for name, _ in rows]
    twice = sorted({name[1:] for name in names if names.count(name) > 1})
    if twice:
        raise SettingsListError(f"{path}: {', '.join(twice)} listed twice")
    return rows


def _macro_body(text, match):
    """The definition after the parameter list, up to the first line without a backslash."""
    lines, rest = [], text[match.end():].split("\n")
    for line in rest:
        lines.append(line.rstrip("\\ \t"))
        if not line.rstrip().endswith("\\"):
            break
    return "\n".join(lines)


def check(image, options, summary):
    variables = options.settings + [(name, "pointer") for name in POINTERS]
    exports = {export.name: export for export in image.exports()}
    text = image.segment("__TEXT")
    base = text.vmaddr if text is not None else 0
    defined = {}  # address: names, from the symbol table and the exports
    for symbol in image.symbols():
        if symbol.is_defined:
            defined.setdefault(symbol.value, set()).add(symbol.name)
    for export in exports.values():
        if export.address is not None:
            defined.setdefault(base + export.address, set()).add(export.name)
    failures = []
    for name, kind in variables:
        export = exports.get(name)
        if export is None:
            failures.append(f"does not export {name}, which the settings list declares as "
                            f"{kind}" if kind != "pointer" else
                            f"does not export {name}, the shared preferences object")
        elif export.address is not None:
            failures += _check_variable(image, name, kind, base + export.address, defined)
    summary["variables"] = len(variables)
    return failures


def _check_variable(image, name, kind, address, defined):
    size, alignment = LAYOUT[kind]
    label = f"{name} ({kind}, {size} byte{'s' if size > 1 else ''})"
    found = next(((segment, section) for segment in image.segments
                  for section in segment.sections
                  if section.addr <= address < section.addr + section.size), None)
    if found is None:
        return [f"{label} is exported at 0x{address:x}, which lies in no section"]
    segment, section = found
    failures = []
    if segment.name != WRITABLE_SEGMENT:
        failures.append(f"{label} lies in {section.label}; expected writable data in segment "
                        f"{WRITABLE_SEGMENT}")
    elif not segment.initprot & macho.VM_PROT_WRITE:
        failures.append(f"{label} lies in segment {segment.name}, which is mapped without "
                        f"write permission (initprot 0x{segment.initprot:x})")
    if address % alignment:
        failures.append(f"{label} at 0x{address:x} is not {alignment}-byte aligned")
    others = sorted(defined.get(address, set()) - {name})
    if others:
        failures.append(f"{label} at 0x{address:x} shares its address with {others[0]}; the "
                        f"two overlap")
    end = section.addr + section.size
    following = min((a for a in defined if address < a < end), default=None)
    limit = following if following is not None else end
    if limit - address < size:
        what = (f"{sorted(defined[following])[0]} at 0x{following:x}" if following is not None
                else f"the end of {section.label}")
        failures.append(f"{label} at 0x{address:x} has only {limit - address} byte"
                        f"{'s' if limit - address != 1 else ''} before {what}; it would "
                        f"overlap")
    return failures
