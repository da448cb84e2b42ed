#!/usr/bin/env python3
"""Writes the property-list fixtures in both formats with Python's own writer.

The reader under test is checked against files it did not produce, so run this script
only when the fixture set changes and commit its output next to it.
"""
import datetime
import pathlib
import plistlib

INT64_MIN = -(2**63)
INT64_MAX = 2**63 - 1
UINT64_MAX = 2**64 - 1

FIXTURES = {
    "scalars": {
        "text": "hello",
        "integer": 42,
        "real": 0.5,
        "yes": True,
        "no": False,
        "date": datetime.datetime(2024, 2, 29, 12, 34, 56),
        "data": bytes(range(256)),
    },
    "integers": [
        0, 1, -1, 255, 256, 65535, 65536, 2**32 - 1, 2**32, -(2**31),
        INT64_MIN, INT64_MAX, UINT64_MAX,
    ],
    # No -0.0: the binary writer shares it with the equal 0.0.
    "reals": [0.5, -1e300, 0.0, 1.5e-10, 3.141592653589793, 5e-324,
              float("inf"), float("-inf"), float("nan")],
    "dates": [
        datetime.datetime(2001, 1, 1),
        datetime.datetime(1999, 12, 31, 23, 59, 59),
        datetime.datetime(1970, 1, 1),
        datetime.datetime(2038, 1, 19, 3, 14, 8),
    ],
    "strings": {
        "empty": "",
        "ascii": "plain ascii",
        "markup": "a & b < c > d \"quoted\" 'single'",
        "accented": "h\u00e9llo w\u00f6rld",
        "cjk": "\u65e5\u672c\u8a9e",
        "emoji": "smile \U0001F600 and \U0001D11E clef",
        "long": "0123456789abcdef" * 1000,
        "whitespace": "  leading and trailing  \n\tlines\n",
    },
    "nested": {
        "empty_array": [],
        "empty_dict": {},
        "empty_data": b"",
        "matrix": [[1, 2], [3, [4, [5, {"deep": True}]]]],
        "records": [{"name": "first", "tags": ["a", "b"]}, {"name": "second", "tags": []}],
    },
    "many_objects": list(range(1000, 1300)),
    "settings": {
        "Enabled": True,
        "AccentColor": "#ff0000",
        "BackgroundColor": "#1e1e1e",
        "Colors": ["#00ff00", "#0000ff", "#ffffff80"],
        "CornerRadius": 12.5,
        "Opacity": 0.85,
        "RefreshInterval": 300,
        "HiddenApps": ["com.example.mail", "com.example.notes"],
        "Label": "Status bar",
        "Layout": {"Columns": 4, "Rows": 6, "ShowLabels": False},
    },
}


def main():
    out = pathlib.Path(__file__).resolve().parent
    for name, value in FIXTURES.items():
        (out / f"{name}.xml.plist").write_bytes(plistlib.dumps(value, fmt=plistlib.FMT_XML))
        (out / f"{name}.binary.plist").write_bytes(plistlib.dumps(value, fmt=plistlib.FMT_BINARY))


if __name__ == "__main__":
    main()
