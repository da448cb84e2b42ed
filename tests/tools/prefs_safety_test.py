"""vorla-prefs never loses a setting nor damages a settings file: modes, owners, links,
unreadable files, files too large to read, bad roots, bad values, and output that cannot be
written. (Writers at once, killed or holding the lock: prefs_writers_test.py.)"""

import os
import plistlib
import re
import resource
import signal
import subprocess
import unittest

from prefs_support import NOBODY, PREFS, SETTINGS_NAME, SETTINGS_UNDER_ROOT, SIM, PrefsCase, \
    described, run

# The largest settings file the reader takes, as README promises it.
LIMIT = 8 * 1024 * 1024


class PrefsSafetyTest(PrefsCase):
    def test_mode_and_owner_are_kept(self):
        self.write({"bar1": False})
        os.chmod(self.settings, 0o600)
        if os.geteuid() == 0:
            os.chown(self.settings, NOBODY, NOBODY)
        self.assertEqual(self.prefs("set", "bar1", "on").returncode, 0)
        status = os.stat(self.settings)
        self.assertEqual(status.st_mode & 0o777, 0o600)
        if os.geteuid() == 0:
            self.assertEqual((status.st_uid, status.st_gid), (NOBODY, NOBODY))

    def test_a_read_only_file_needs_force_which_keeps_no_copy(self):
        self.write({"bar1": False})
        os.chmod(self.settings, 0o444)
        # Root may write anything: the user who cannot write the file is nobody.
        as_user = self.as_a_user()
        refused = self.prefs("set", "bar1", "on", **as_user)
        self.assertEqual(refused.returncode, 1, described(refused))
        self.assertIn(b"--force", refused.stderr)
        # Its advice is what --force does: the file is readable, so no copy is kept.
        self.assertNotIn(b"keep", refused.stderr)
        self.assertEqual(self.stored(), {"bar1": False})
        forced = self.prefs("--force", "set", "bar1", "on", **as_user)
        self.assertEqual(forced.returncode, 0, described(forced))
        self.assertEqual(self.stored(), {"bar1": True})
        self.assertEqual(os.stat(self.settings).st_mode & 0o777, 0o444)
        self.assertEqual(self.beside(), [])

    def test_a_link_is_written_through(self):
        target = os.path.join(self.root, "elsewhere", "real.plist")
        os.makedirs(os.path.dirname(target))
        with open(target, "wb") as f:
            plistlib.dump({"someone.else": 1}, f)
        os.symlink(os.path.relpath(target, self.folder), self.settings)
        self.assertEqual(self.prefs("set", "bar1", "on").returncode, 0)
        self.assertTrue(os.path.islink(self.settings))
        self.assertEqual(self.stored(target), {"someone.else": 1, "bar1": True})
        self.assertEqual(os.listdir(os.path.dirname(target)), ["real.plist"])

    def test_no_folder_is_made_through_a_link(self):
        into_nothing = os.path.join(self.root, "nothing-there")
        os.symlink(os.path.join(into_nothing, "deeper", "real.plist"), self.settings)
        for_a_folder = os.path.join(self.root, "nothing-here")
        other_root = os.path.join(self.root, "other-root")
        os.makedirs(other_root)
        os.symlink(for_a_folder, os.path.join(other_root, "var"))
        cases = {"settings file is a link into missing folders": ([], into_nothing),
                 "a folder on the way is a link to nothing": (["--root", other_root], for_a_folder)}
        for name, (words, nowhere) in cases.items():
            for force in ([], ["--force"]):
                with self.subTest(name, force=force):
                    result = self.prefs(*words, *force, "set", "bar1", "on")
                    self.assertEqual(result.returncode, 1, described(result))
                    self.assertRegex(result.stderr, rb"^vorla-prefs: .* link")
                    self.assertNotIn(b"--force", result.stderr)
                    self.assertFalse(os.path.lexists(nowhere))

    def test_force_is_offered_only_where_it_works_and_keeps_what_it_replaces(self):
        with open(self.settings, "wb") as f:
            f.write(b"not a property list")
        kept = self.settings + ".unreadable"
        refused = self.prefs("set", "bar1", "on")
        self.assertEqual(refused.returncode, 1, described(refused))
        # It says where --force would keep the file, and --force keeps it there.
        self.assertIn(b"--force", refused.stderr)
        self.assertIn(kept.encode(), refused.stderr)
        forced = self.prefs("--force", "set", "bar1", "on")
        self.assertEqual(forced.returncode, 0, described(forced))
        self.assertEqual(self.beside(), [os.path.basename(kept)])
        self.assertIn(kept.encode(), forced.stderr)
        with open(kept, "rb") as f:
            self.assertEqual(f.read(), b"not a property list")
        self.assertEqual(self.stored(), {"bar1": True})

        os.remove(self.settings)
        os.mkdir(self.settings)
        plain_file_root = os.path.join(self.root, "plain")
        open(plain_file_root, "w").close()
        for name, words in [("settings path is a directory", []),
                            ("root is a plain file", ["--root", plain_file_root])]:
            for force in ([], ["--force"]):
                with self.subTest(name, force=force):
                    result = self.prefs(*words, *force, "set", "bar1", "on")
                    self.assertEqual(result.returncode, 1, described(result))
                    self.assertNotIn(b"--force", result.stderr)

    def test_failed_forced_writes_keep_one_copy_and_say_where(self):
        kept = self.settings + ".unreadable"

        def unwritable():
            # As on a full disk: the new file cannot be written, once the old one is kept.
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (8, 8))

        for garbage in [b"not a property list", b"another unreadable file"]:
            with open(self.settings, "wb") as f:
                f.write(garbage)
            for attempt in range(3):
                with self.subTest(garbage=garbage, attempt=attempt):
                    failed = self.prefs("--force", "set", "bar1", "on", preexec_fn=unwritable)
                    self.assertEqual(failed.returncode, 1, described(failed))
                    self.assertIn(kept.encode(), failed.stderr)
                    self.assertEqual(self.beside(), [os.path.basename(kept)])
                    with open(self.settings, "rb") as f:
                        self.assertEqual(f.read(), garbage)
            forced = self.prefs("--force", "set", "bar1", "on")
            self.assertEqual(forced.returncode, 0, described(forced))
            self.assertIn(kept.encode(), forced.stderr)
            self.assertEqual(self.beside(), [os.path.basename(kept)])
            with open(kept, "rb") as f:
                self.assertEqual(f.read(), garbage)
            self.assertEqual(self.stored(), {"bar1": True})

    def test_no_write_makes_a_file_too_large_to_read(self):
        # A file just within the limit (8.3 MB), and a text that would take it past.
        self.write({"someone.else": b"\x00" * 8_300_000}, fmt=plistlib.FMT_BINARY)
        self.assertLess(os.path.getsize(self.settings), LIMIT)
        with open(self.settings, "rb") as f:
            before = f.read()
        refused = self.prefs("set", "NoSIM", "x" * 120_000)
        self.assertEqual(refused.returncode, 1, described(refused))
        self.assertIn(b"8 MiB", refused.stderr)
        with open(self.settings, "rb") as f:
            self.assertEqual(f.read(), before)
        within = self.prefs("set", "NoSIM", "x" * 1_000)
        self.assertEqual(within.returncode, 0, described(within))
        self.assertEqual(self.prefs("get", "NoSIM").stdout, b'"' + b"x" * 1_000 + b'"\n')

    def test_a_file_too_large_to_read_is_named_so(self):
        self.write({"someone.else": b"\x00" * (LIMIT + 1)}, fmt=plistlib.FMT_BINARY)
        for name, command in {"get": [PREFS, "--root", self.root, "get", "bar1"],
                              "set": [PREFS, "--root", self.root, "set", "bar1", "on"],
                              "simulator": [SIM, "--root", self.root, "cydia"]}.items():
            with self.subTest(name):
                result = run(*command)
                self.assertEqual(result.returncode, 1, described(result))
                self.assertIn(b"8 MiB", result.stderr)

    def test_roots_that_are_empty_or_missing(self):
        self.assertEqual(run(PREFS, "--root", "", "set", "bar1", "on").returncode, 2)
        self.assertEqual(run(PREFS, "--root=", "list").returncode, 2)
        missing = os.path.join(self.root, "typo")
        refused = run(PREFS, "--root", missing, "set", "bar1", "on")
        self.assertEqual(refused.returncode, 1)
        self.assertIn(b"--create-root", refused.stderr)
        self.assertFalse(os.path.exists(missing))
        made = run(PREFS, "--root=" + missing, "--create-root", "set", "bar1", "on")
        self.assertEqual(made.returncode, 0, made.stderr)
        self.assertEqual(self.stored(os.path.join(missing, SETTINGS_UNDER_ROOT)), {"bar1": True})

    def test_values_one_whitespace_rule_no_underflow_only_utf8(self):
        self.write({})
        accepted = [("watchr", " 12", 12), ("sliderKeya", " 2 ", 2.0), ("bar1", " on\n", True),
                    ("barxx", "#00ff00\n", "#00ff00"), ("NoSIM", " kept as typed ", " kept as typed ")]
        for key, text, value in accepted:
            with self.subTest(key=key, text=text):
                self.assertEqual(self.prefs("set", key, text).returncode, 0)
                self.assertEqual(self.stored()[key], value)
        before = self.stored()
        refused = [["set", "sliderKeya", "1e-400"], ["set", "sliderKeya", "-1e-320"],
                   ["set", "sliderKeya", "1e400"], ["set", "NoSIM", b"a\xc3"],
                   ["set", "NoSIM", b"\xed\xa0\x80"], ["--force", "set", b"k\xff", "x"]]
        for words in refused:
            with self.subTest(words=words):
                result = self.prefs(*words)
                self.assertEqual(result.returncode, 1)
                self.assertRegex(result.stderr, rb"^vorla-prefs: cannot set .*: an? ")
        self.assertEqual(self.stored(), before)

    def test_displays_escape_texts_and_flag_wrong_kinds(self):
        self.write({"NoSIM": 'two\nlines "quoted"', "bar1": "maybe", "barxx": 3,
                    "other\nkey": "x"})
        listed = self.prefs("list").stdout.decode()
        self.assertRegex(listed, r'\n  NoSIM .* "two\\nlines \\"quoted\\"" ')
        self.assertRegex(listed, r'\n  bar1 .* "maybe" \(not a boolean\) ')
        self.assertRegex(listed, r"\n  barxx .* 3 \(not a colour\) ")
        self.assertIn('\n  "other\\nkey"  "x"\n', listed)
        self.assertEqual(self.prefs("get", "NoSIM").stdout, b'"two\\nlines \\"quoted\\""\n')

    def test_output_that_cannot_be_written_is_an_error(self):
        self.write({"bar1": True})
        commands = [[PREFS, "--root", self.root, "list"], [PREFS, "--root", self.root, "get", "bar1"],
                    [PREFS, "--root", self.root, "set", "bar1", "on"], [PREFS, "--help"],
                    [SIM, "--help"], [SIM, "--root", self.root, "--format=json", "cydia"]]
        for command in commands:
            with self.subTest("full disk", command=command[2:]), open("/dev/full", "w") as full:
                result = run(*command, stdout=full)
                self.assertEqual(result.returncode, 1, described(result))
                self.assertIn(b"cannot write the output", result.stderr)
            with self.subTest("closed pipe", command=command[2:]):
                # The reading end is closed before the command starts, so its first write fails.
                reading, writing = os.pipe()
                os.close(reading)
                try:
                    result = run(*command, stdout=writing)
                finally:
                    os.close(writing)
                self.assertEqual(result.returncode, 1, described(result))
                self.assertIn(b"cannot write the output", result.stderr)

if __name__ == "__main__":
    unittest.main()
