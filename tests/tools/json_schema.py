"""The part of JSON Schema that docs/vorla-sim.schema.json uses: type (one or a list), enum,
pattern, minimum, maximum, properties, required, additionalProperties (false), items and $ref
into $defs. A keyword outside that part is refused, so the schema cannot silently use one."""

import re

KNOWN = {"$schema", "title", "$defs", "$ref", "type", "enum", "pattern", "minimum", "maximum",
         "properties", "required", "additionalProperties", "items"}

TYPES = {
    "object": lambda v: isinstance(v, dict),
    "array": lambda v: isinstance(v, list),
    "string": lambda v: isinstance(v, str),
    "integer": lambda v: isinstance(v, int) and not isinstance(v, bool),
    "number": lambda v: isinstance(v, (int, float)) and not isinstance(v, bool),
    "boolean": lambda v: isinstance(v, bool),
    "null": lambda v: v is None,
}


def errors(value, schema, root=None, path="$"):
    """Every place where `value` breaks `schema`, as "path: problem" texts."""
    root = root or schema
    unknown = set(schema) - KNOWN
    if unknown:
        return [f"{path}: schema uses unsupported keywords {sorted(unknown)}"]
    if "$ref" in schema:
        name = schema["$ref"].removeprefix("#/$defs/")
        return errors(value, root["$defs"][name], root, path)
    found = []
    if "type" in schema:
        wanted = schema["type"] if isinstance(schema["type"], list) else [schema["type"]]
        if not any(TYPES[t](value) for t in wanted):
            return [f"{path}: {value!r} is not of type {wanted}"]
    if "enum" in schema and value not in schema["enum"]:
        found.append(f"{path}: {value!r} is not one of {schema['enum']}")
    if "pattern" in schema and isinstance(value, str) and not re.search(schema["pattern"], value):
        found.append(f"{path}: {value!r} does not match {schema['pattern']}")
    if "minimum" in schema and value < schema["minimum"]:
        found.append(f"{path}: {value} is below {schema['minimum']}")
    if "maximum" in schema and value > schema["maximum"]:
        found.append(f"{path}: {value} is above {schema['maximum']}")
    if isinstance(value, dict):
        properties = schema.get("properties", {})
        for name in schema.get("required", []):
            if name not in value:
                found.append(f"{path}: {name} is missing")
        for name, member in value.items():
            if name in properties:
                found += errors(member, properties[name], root, f"{path}.{name}")
            elif schema.get("additionalProperties") is False:
                found.append(f"{path}: {name} is not allowed")
    if isinstance(value, list) and "items" in schema:
        for i, member in enumerate(value):
            found += errors(member, schema["items"], root, f"{path}[{i}]")
    return found
