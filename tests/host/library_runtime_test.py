"""VorlaPro.so as the loader links it: with the device runtime's layer, every name it takes from the
runtime is one of the public functions the layer declares; with GCC's, nothing of the device
layer's test support is linked into it; and it holds only what its load reaches, none of the
routines the library's code offers tests and tools alone."""

import os
import re
import subprocess
import unittest

LIBRARY = os.environ["VORLA_LIBRARY"]
RUNTIME = os.environ["VORLA_RUNTIME"]
SOURCE = os.environ["VORLA_SOURCE_DIR"]
ARCHIVE = os.environ["VORLA_ARCHIVE"]
TEST_SUPPORT = "libvorla-objc-device-api.so"

# What the library's code offers tests and tools but never calls at load: one method replaced at a
# time, the table installer and the gate without the load's shared directory of methods, and the
# coded settings' lists of choices.
FOR_TESTS_AND_TOOLS = [
    "vorla::core::installHook(",
    "vorla::core::installTableRows(std::vector<vorla::core::Hook, std::allocator<vorla::core::Hook> > const&)",
    "vorla::core::FeatureGate(vorla::core::Constructor const&)",
    "vorla::features::aboutVersionCodes()",
    "vorla::features::aboutModelCodes()",
    "vorla::features::phoneTabCodes()",
    "vorla::features::keyboardColourCodes()",
]


def needed(path):
    dynamic = subprocess.run(["readelf", "-d", path], capture_output=True, text=True, check=True)
    return re.findall(r"\(NEEDED\)\s+Shared library: \[(.+)\]", dynamic.stdout)


def runtime_imports(path):
    """The undefined names the library takes from libobjc, whose names carry no version (the C and
    C++ libraries' all do)."""
    symbols = subprocess.run(["nm", "-D", "--undefined-only", path], capture_output=True,
                             text=True, check=True)
    undefined = (line.split() for line in symbols.stdout.splitlines())
    names = (fields[-1] for fields in undefined if fields[:1] == ["U"])
    return {name for name in names if "@" not in name and not name.startswith("_Z")}


def defined_functions(path):
    """The demangled names of the functions the file defines, exported or not."""
    symbols = subprocess.run(["nm", "-C", "--defined-only", path], capture_output=True, text=True,
                             check=True)
    fields = (line.split(" ", 2) for line in symbols.stdout.splitlines())
    return {f[2] for f in fields if len(f) == 3 and f[1] in ("T", "t")}


def declared_functions():
    """The functions the device runtime layer's own headers declare."""
    names = set()
    for header in ("objc_api.h", "class_api.h"):
        text = open(os.path.join(SOURCE, "tweak", "host", "device", header)).read()
        body = text[text.index('extern "C" {'):]
        names.update(re.findall(r"^(?!typedef)(?:const )?\w+\** \**(\w+)\(", body, re.M))
    return names


class LibraryRuntimeTest(unittest.TestCase):
    @unittest.skipUnless(RUNTIME == "device", "the device runtime's layer only")
    def test_the_library_uses_only_the_public_functions_its_layer_declares(self):
        declared = declared_functions()
        self.assertIn("objc_msgSend", declared)
        imports = runtime_imports(LIBRARY)
        self.assertTrue(imports, "no runtime function imported at all")
        self.assertLessEqual(imports, declared, "imported but not declared by the layer")
        self.assertFalse({name for name in imports
                          if name == "objc_msg_lookup" or name.startswith("__objc_")})
        self.assertLess(needed(LIBRARY).index(TEST_SUPPORT), needed(LIBRARY).index("libobjc.so.4"))

    @unittest.skipUnless(RUNTIME == "gnu", "GCC's runtime layer only")
    def test_the_shipped_library_links_nothing_of_the_test_support(self):
        self.assertIn("libobjc.so.4", needed(LIBRARY))
        self.assertNotIn(TEST_SUPPORT, needed(LIBRARY))
        self.assertNotIn("objc_msgSend", runtime_imports(LIBRARY))

    def test_the_shipped_library_holds_nothing_only_tests_and_tools_call(self):
        def having(names, prefix):
            return [name for name in names if name.startswith(prefix)]
        archive = defined_functions(ARCHIVE)
        library = defined_functions(LIBRARY)
        for name in FOR_TESTS_AND_TOOLS:
            # Defined in the code tests and tools link, so that a renamed routine cannot pass
            # this test by no longer being looked for.
            self.assertTrue(having(archive, name), name + " is not in the library's archive")
            self.assertEqual(having(library, name), [], "shipped in the library")
        self.assertTrue(having(library, "vorla::core::installTableRows("),
                        "the load's own installer is missing: is this the library?")


if __name__ == "__main__":
    unittest.main()
