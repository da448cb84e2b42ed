"""Writers of one settings file that run at once: every change lands, and nothing is left
beside the file."""

import re
import subprocess
import unittest

from prefs_support import HANG_SECONDS, PREFS, PrefsCase


class WritersTest(PrefsCase):
    def start(self, *words):
        return subprocess.Popen([PREFS, "--root", self.root, *words], stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)

    def finish(self, writer):
        """Waits for a started writer; ends it if it hangs, so the test fails instead."""
        try:
            _, error = writer.communicate(timeout=HANG_SECONDS)
        except subprocess.TimeoutExpired:
            writer.kill()
            _, error = writer.communicate()
            self.fail(f"{writer.args[1:]} did not end within {HANG_SECONDS} s: {error!r}")
        return writer.returncode, error

    def test_concurrent_writers_all_land(self):
        listed = self.prefs("list").stdout.decode()
        keys = re.findall(r"^  (\S+)\s+enable key\s", listed, re.M)[:16]
        self.assertEqual(len(keys), 16)
        writers = [self.start("set", key, "on") for key in keys]
        for key, writer in zip(keys, writers):
            status, error = self.finish(writer)
            self.assertEqual(status, 0, f"set {key} on: {error!r}")
        self.assertEqual(self.stored(), {key: True for key in keys})
        self.assertEqual(self.beside(), [])


if __name__ == "__main__":
    unittest.main()
