"""End-to-end runs of the built vorla-sim and vorla-prefs, as a person runs them. The paths of
the built tools and of the source tree come from the environment CTest gives (see CMakeLists)."""

import json
import os
import plistlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

SIM = os.environ["VORLA_SIM"]
PREFS = os.environ["VORLA_PREFS"]
SOURCE = os.environ["VORLA_SOURCE_DIR"]
EXAMPLE = os.path.join(SOURCE, "examples", "settings.plist")
SETTINGS_UNDER_ROOT = "var/mobile/Library/Preferences/com.pellobrast.vorla.plist"


def run(*command, env=None):
    return subprocess.run(command, capture_output=True, text=True, timeout=120, env=env)


class DeviceRootCase(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="vorla-tools-test-")
        self.addCleanup(shutil.rmtree, self.root, True)
        self.settings = os.path.join(self.root, SETTINGS_UNDER_ROOT)

    def prefs(self, *words):
        return run(PREFS, "--root", self.root, *words)

    def write_settings(self, entries, fmt=plistlib.FMT_XML):
        os.makedirs(os.path.dirname(self.settings), exist_ok=True)
        with open(self.settings, "wb") as f:
            plistlib.dump(entries, f, fmt=fmt)

    def stored(self):
        with open(self.settings, "rb") as f:
            return plistlib.load(f)


class FormatsTest(unittest.TestCase):
    def test_html_is_one_page_with_swatches(self):
        result = run(SIM, "--settings", EXAMPLE, "--format", "html", "safari")
        self.assertEqual(result.returncode, 0, result.stderr)
        page = result.stdout
        self.assertTrue(page.startswith("<!DOCTYPE html>"))
        self.assertNotRegex(page, r"<(script|link|img)\b|src=|url\(")
        self.assertIn('<span class="swatch" style="background:#00c853"></span>#00c853', page)
        self.assertEqual(page.count("<h2>"), 2)  # Safari and the interface framework


class PrefsTest(DeviceRootCase):
    def test_list_shows_every_key_grouped_by_app(self):
        result = self.prefs("list")
        self.assertEqual(result.returncode, 0, result.stderr)
        rows = re.findall(r"^  (\S+)\s+(enable key|setting|file key)\s", result.stdout, re.M)
        listed = {source: sorted(key for key, s in rows if s == source)
                  for source in ("enable key", "setting", "file key")}
        # Each key once, and exactly the keys the library has: the enable keys and file keys its
        # hooks read, as the simulator reports them, and the settings it exports.
        report = json.loads(run(SIM, "--settings", EXAMPLE, "--format", "json").stdout)
        hooks = [hook for section in report["sections"] for hook in section["hooks"]]
        exported = subprocess.run(["nm", "-D", "--defined-only", report["library"]],
                                  capture_output=True, text=True, check=True).stdout
        self.assertEqual(listed, {
            "enable key": sorted({hook["enableKey"] for hook in hooks if hook["enableKey"]}),
            "setting": sorted({line.split()[-1] for line in exported.splitlines()} -
                              {"preferences"}),
            "file key": sorted({hook["settingsFileKey"] for hook in hooks
                                if hook["settingsFileKey"]}),
        })
        self.assertRegex(result.stdout, r"\n  sliderKeymsg\s+setting\s+double\s+90\s+-\s")
        self.assertRegex(result.stdout, r"\n  colors3a\s+file key\s+colour\s+#ffaa00 / #ffffff\s")
        self.assertRegex(result.stdout, r"\nPhotos\n(  .*\n)*  DebugHUD\s")

    def test_values_are_checked_by_the_kind_of_their_key(self):
        for word, value in [("on", True), ("OFF", False), ("true", True), ("False", False),
                            ("yes", True), ("no", False), ("1", True), ("0", False)]:
            self.assertEqual(self.prefs("set", "bar1", word).returncode, 0)
            self.assertIs(self.stored()["bar1"], value, word)
        accepted = [("sliderKeya", "2.5", 2.5), ("watchr", "-12", -12),
                    ("barxx", "rgb(1, 2, 3)", "rgb(1, 2, 3)"), ("NoSIM", "Carrier", "Carrier")]
        for key, text, value in accepted:
            self.assertEqual(self.prefs("set", key, text).returncode, 0, key)
            self.assertEqual(self.stored()[key], value)
        refused = [("bar1", "maybe"), ("sliderKeya", "2.5x"), ("sliderKeya", "nan"),
                   ("watchr", "1.5"), ("watchr", "99999999999999999999"), ("barxx", "#12345"),
                   ("barxx", "greenish")]
        for key, text in refused:
            result = self.prefs("set", key, text)
            self.assertEqual(result.returncode, 1, (key, text))
            self.assertRegex(result.stderr, rf"^vorla-prefs: cannot set {key} to .*: an? ")
        self.assertEqual(self.stored()["barxx"], "rgb(1, 2, 3)")

    def test_get_and_unset(self):
        self.assertEqual(self.prefs("get", "sliderKeymsg").stdout,
                         "not set (the library uses 90)\n")
        self.prefs("set", "texstst", "Mine")
        self.assertEqual(self.prefs("get", "texstst").stdout, '"Mine"\n')
        self.assertEqual(self.prefs("unset", "texstst").returncode, 0)
        self.assertNotIn("texstst", self.stored())

    def test_unknown_keys_need_force(self):
        result = self.prefs("set", "bar2", "on")
        self.assertEqual(result.returncode, 1)
        self.assertIn('unknown key "bar2"', result.stderr)
        self.assertFalse(os.path.exists(self.settings))
        self.assertEqual(self.prefs("--force", "set", "bar2", "on").returncode, 0)
        self.assertEqual(self.stored()["bar2"], "on")

    def test_writes_binary_and_keeps_keys_it_does_not_know(self):
        kept = {"someone.else": [1, "two", {"three": 3.5}], "bar1": False}
        self.write_settings(kept)
        self.assertEqual(self.prefs("set", "bar1", "on").returncode, 0)
        with open(self.settings, "rb") as f:
            self.assertEqual(f.read(8), b"bplist00")
        self.assertEqual(self.stored(), dict(kept, bar1=True))
        leftovers = [n for n in os.listdir(os.path.dirname(self.settings))
                     if n != os.path.basename(self.settings)]
        self.assertEqual(leftovers, [])

    def test_a_file_it_cannot_read_is_left_alone_unless_forced(self):
        os.makedirs(os.path.dirname(self.settings))
        with open(self.settings, "wb") as f:
            f.write(b"not a property list")
        result = self.prefs("set", "bar1", "on")
        self.assertEqual(result.returncode, 1)
        self.assertIn("--force replaces it", result.stderr)
        with open(self.settings, "rb") as f:
            self.assertEqual(f.read(), b"not a property list")
        self.assertEqual(self.prefs("--force", "set", "bar1", "on").returncode, 0)
        self.assertEqual(self.stored(), {"bar1": True})

    def test_options_anywhere_and_words_after_the_command_as_typed(self):
        for text in ["-x", "--frob", "--", "-"]:
            self.assertEqual(self.prefs("set", "NoSIM", text).returncode, 0, text)
            self.assertEqual(self.stored()["NoSIM"], text)
        other = os.path.join(self.root, "other")
        os.mkdir(other)
        result = run(PREFS, "--root", other, "set", "bar2", "on", "--force", "--root=" + self.root)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.stored()["bar2"], "on")
        self.assertEqual(os.listdir(other), [])
        usage = run(PREFS, "--help").stdout
        self.assertTrue(usage.startswith("usage: vorla-prefs "), usage)
        for words in (["set", "bar1", "off", "--help"], ["--verbose", "-h"], ["-h", "--root"]):
            self.assertEqual(self.prefs(*words).stdout, usage, words)
        self.assertNotIn("bar1", self.stored())

    def test_the_device_root_comes_from_the_environment(self):
        env = dict(os.environ, VORLA_DEVICE_ROOT=self.root)
        self.assertEqual(run(PREFS, "set", "User", "7", env=env).returncode, 0)
        self.assertEqual(self.stored(), {"User": 7})


class WatchTest(DeviceRootCase):
    def read_until(self, process, pattern, seconds=20):
        deadline = time.monotonic() + seconds
        seen = []
        while time.monotonic() < deadline:
            line = process.stdout.readline()
            if not line:
                break
            seen.append(line)
            if re.search(pattern, line):
                return seen
        self.fail(f"no line matching {pattern!r} in:\n{''.join(seen)}")

    def test_settings_apply_at_the_next_call_and_enable_keys_at_a_restart(self):
        self.write_settings({"bar1": True, "sliderSwitch": True}, fmt=plistlib.FMT_BINARY)
        process = subprocess.Popen([SIM, "--watch", "springboard", "--root", self.root],
                                   stdout=subprocess.PIPE, text=True)
        self.addCleanup(process.stdout.close)
        self.addCleanup(process.wait, 10)
        self.addCleanup(process.terminate)
        self.assertTrue(any("setHeight:" in l and "host got 1" in l
                            for l in self.read_until(process, "^Watching")))

        self.assertEqual(self.prefs("set", "sliderKeya", "7.5").returncode, 0)
        lines = self.read_until(process, "^Watching")
        text = "".join(lines)
        self.assertIn("sliderKeya: - -> 7.5 (registered setting: applies at the next call)", text)
        self.assertIn("without a restart", text)
        self.assertNotIn("Restarting", text)
        self.assertTrue(any("setHeight:" in l and "host got 7.5" in l for l in lines))

        self.assertEqual(self.prefs("set", "bar1", "off").returncode, 0)
        text = "".join(self.read_until(process, "^Watching"))
        self.assertIn("bar1: true -> false (enable key: needs a restart of SpringBoard)", text)
        self.assertIn("Restarting SpringBoard", text)
        self.assertRegex(text, r"_UIBatteryView fillColor\s+bar1\s+not installed: enable key")
        self.assertRegex(text, r"setHeight:.*host got 7\.5")


class ErrorsTest(DeviceRootCase):
    def assert_refused(self, result, tool):
        self.assertGreater(result.returncode, 0, result.stdout)  # an exit, not a signal
        lines = result.stderr.splitlines()
        self.assertEqual(len(lines), 1, result.stderr)
        self.assertTrue(lines[0].startswith(tool + ": "), result.stderr)

    def test_simulator_errors(self):
        directory = os.path.join(self.root, "a-directory")
        os.mkdir(directory)
        garbage = os.path.join(self.root, "garbage.plist")
        with open(garbage, "w") as f:
            f.write("<plist><dict><key>x</key>")
        not_a_library = os.path.join(self.root, "VorlaPro.so")
        with open(not_a_library, "w") as f:
            f.write("not ELF")
        cases = {
            "unknown app": [SIM, "notes"],
            "missing settings": [SIM, "--settings", os.path.join(self.root, "none.plist")],
            "directory as settings": [SIM, "--settings", directory],
            "malformed settings": [SIM, "--settings", garbage],
            "missing library": [SIM, "--settings", EXAMPLE, "--library", "/nonexistent.so"],
            "library that is no library": [SIM, "--settings", EXAMPLE, "--library", not_a_library],
            "unknown format": [SIM, "--format", "pdf"],
            "two settings sources": [SIM, "--settings", EXAMPLE, "--root", self.root],
            "watch with two apps": [SIM, "--watch", "safari", "phone"],
            "option without value": [SIM, "--settings"],
        }
        for name, command in cases.items():
            with self.subTest(name):
                self.assert_refused(run(*command), "vorla-sim")
        unreadable_root = run(SIM, "--root", directory)
        self.assertEqual(unreadable_root.returncode, 0, "an empty root simulates no settings")
        os.makedirs(os.path.join(directory, SETTINGS_UNDER_ROOT))
        self.assert_refused(run(SIM, "--root", directory), "vorla-sim")

    def test_settings_tool_refusals_in_its_own_words(self):
        refusals = {
            ("--verbose", "list"): "unknown option --verbose",
            ("--force=1", "list"): "unknown option --force=1",
            ("--root=", "list"): "--root needs a directory, not an empty name",
            ("list", "--root"): "--root needs a directory",
            ("-x",): 'unknown command "-x"',
            ("get", "bar1", "--"): "wrong number of arguments",
        }
        for words, message in refusals.items():
            with self.subTest(words=words):
                result = run(PREFS, *words, env=dict(os.environ, VORLA_DEVICE_ROOT=self.root))
                refusal = (f"vorla-prefs: {message}"
                           f" (vorla-prefs --help shows the usage)\n")
                self.assertEqual((result.returncode, result.stdout, result.stderr),
                                 (2, "", refusal))

    def test_settings_tool_errors(self):
        cases = {
            "no command": [],
            "unknown command": ["frobnicate"],
            "missing value": ["set", "bar1"],
            "too many words": ["get", "bar1", "bar2"],
            "unknown option": ["--verbose", "list"],
            "unknown key": ["get", "nosuchkey"],
        }
        for name, words in cases.items():
            with self.subTest(name):
                self.assert_refused(self.prefs(*words), "vorla-prefs")


if __name__ == "__main__":
    unittest.main()
