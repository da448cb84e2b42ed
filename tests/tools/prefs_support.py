"""What the vorla-prefs process tests share: a device root of their own for every test, the built
tools from CTest's environment, and commands whose waits are bounded only to catch a hang, so
that no result depends on how fast a loaded machine runs them, and whose failure says what ran
and what it printed."""

import os
import plistlib
import shutil
import subprocess
import tempfile
import unittest

PREFS = os.environ["VORLA_PREFS"]
SIM = os.environ["VORLA_SIM"]
SETTINGS_UNDER_ROOT = "var/mobile/Library/Preferences/com.pellobrast.vorla.plist"
SETTINGS_NAME = os.path.basename(SETTINGS_UNDER_ROOT)
NOBODY = 65534
# A hang detector, not a speed requirement: far beyond any command's time on a loaded machine,
# and short of CTest's limit for a whole script, so that a hang is reported with its command.
HANG_SECONDS = 120


def run(*command, **options):
    options.setdefault("stdout", subprocess.PIPE)
    options.setdefault("stderr", subprocess.PIPE)
    try:
        return subprocess.run(command, timeout=HANG_SECONDS, **options)
    except subprocess.TimeoutExpired as hung:
        raise AssertionError(f"{command} did not end within {HANG_SECONDS} s; standard error "
                             f"so far: {hung.stderr!r}") from None


def described(result):
    """What a finished command did, for the message of an assertion about it."""
    words = [w if len(w) <= 80 else w[:40] + f"...({len(w)} in all)" for w in result.args[1:]]
    return f"{words} ended with {result.returncode}, standard error {result.stderr!r}"


class PrefsCase(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="vorla-prefs-test-")
        self.addCleanup(shutil.rmtree, self.root, True)
        self.settings = os.path.join(self.root, SETTINGS_UNDER_ROOT)
        self.folder = os.path.dirname(self.settings)
        os.makedirs(self.folder)

    def prefs(self, *words, **options):
        return run(PREFS, "--root", self.root, *words, **options)

    def write(self, entries, fmt=plistlib.FMT_XML):
        with open(self.settings, "wb") as f:
            plistlib.dump(entries, f, fmt=fmt)

    def stored(self, path=None):
        with open(path or self.settings, "rb") as f:
            return plistlib.load(f)

    def beside(self):
        """Every name in the settings file's folder but the settings file's own."""
        return sorted(set(os.listdir(self.folder)) - {SETTINGS_NAME})

    def as_a_user(self):
        """Options that run a command as a user who is not root: this one, or nobody when the
        tests run as root, who then owns the whole device root."""
        if os.geteuid() != 0:
            return {}
        for folder, _, files in os.walk(self.root):
            for name in [folder] + [os.path.join(folder, f) for f in files]:
                os.chown(name, NOBODY, NOBODY, follow_symlinks=False)
        return {"user": NOBODY, "group": NOBODY, "extra_groups": []}
