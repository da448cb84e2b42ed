"""Writers of one settings file that run at once, die at any moment, or hold the lock and stop:
every change lands, nothing a dead writer left stays, and a held lock is waited for a bounded
time, then refused, never hung on in silence."""

import fcntl
import os
import random
import re
import subprocess
import threading
import time
import unittest

from prefs_support import HANG_SECONDS, PREFS, SETTINGS_NAME, PrefsCase, described


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

    def hold_lock(self):
        held = open(self.settings + ".lock", "w")
        self.addCleanup(held.close)
        fcntl.flock(held, fcntl.LOCK_EX)
        return held

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

    def test_writers_killed_at_any_moment_leave_nothing_behind(self):
        # Large enough that a kill often lands while the temporary file is being written.
        self.write({"someone.else": b"\x00" * 300_000, "bar1": False})
        seed = random.randrange(1 << 32)
        moments = random.Random(seed)
        for attempt in range(30):
            writer = self.start("set", "bar1", "on" if attempt % 2 else "off")
            time.sleep(moments.uniform(0, 0.02))  # a moment to die at, not a wait for anything
            writer.kill()
            self.finish(writer)
            self.assertIn("bar1", self.stored(), f"after kill {attempt} (seed {seed})")
        finished = self.prefs("set", "bar1", "on")
        self.assertEqual(finished.returncode, 0, described(finished))
        self.assertEqual(self.stored()["bar1"], True)
        self.assertEqual(self.beside(), [], f"seed {seed}")

    def test_only_what_a_dead_writer_left_is_removed(self):
        self.write({"bar1": False})
        left = [SETTINGS_NAME + ".a1B2c3", SETTINGS_NAME + ".ZZZZZZ"]
        for name in left:
            with open(os.path.join(self.folder, name), "wb") as f:
                f.write(b"bplist00 cut short")
        outside = os.path.join(self.root, "outside")
        with open(outside, "w") as f:
            f.write("not the tool's")
        not_left = [SETTINGS_NAME + ".abc12", SETTINGS_NAME + ".abc1234", SETTINGS_NAME + ".ab-c12",
                    SETTINGS_NAME + ".unreadable", "other.plist.abc123", "x" + SETTINGS_NAME + ".abc123"]
        for name in not_left:
            with open(os.path.join(self.folder, name), "w") as f:
                f.write("someone's")
        os.mkdir(os.path.join(self.folder, SETTINGS_NAME + ".dir123"))
        os.symlink(outside, os.path.join(self.folder, SETTINGS_NAME + ".lnk123"))
        not_left += [SETTINGS_NAME + ".dir123", SETTINGS_NAME + ".lnk123"]

        # Readers take no lock, so they must leave everything alone.
        self.assertEqual(self.prefs("get", "bar1").returncode, 0)
        self.assertEqual(self.beside(), sorted(left + not_left))
        result = self.prefs("set", "bar1", "on")
        self.assertEqual(result.returncode, 0, described(result))
        self.assertEqual(self.beside(), sorted(not_left))
        with open(outside) as f:
            self.assertEqual(f.read(), "not the tool's")

    def test_a_held_lock_is_waited_for_then_refused_touching_nothing(self):
        self.write({"bar1": False})
        self.hold_lock()
        # What a live writer holding the lock is writing.
        live = os.path.join(self.folder, SETTINGS_NAME + ".Live00")
        with open(live, "wb") as f:
            f.write(b"bplist00 being written")
        result = self.prefs("set", "bar1", "on")
        self.assertEqual(result.returncode, 1, described(result))
        lines = result.stderr.decode().splitlines()
        lock = self.settings + ".lock"
        self.assertEqual(len(lines), 2, described(result))
        self.assertRegex(lines[0], rf"^vorla-prefs: waiting for .*{re.escape(lock)}")
        self.assertRegex(lines[1], rf"^vorla-prefs: .*{re.escape(lock)}")
        self.assertEqual(self.stored(), {"bar1": False})
        with open(live, "rb") as f:
            self.assertEqual(f.read(), b"bplist00 being written")

    def start_waiting(self, *words):
        """A writer started while the lock is held, once it says that it waits."""
        writer = self.start(*words)
        # A writer that never says it waits hangs here until the watchdog ends it.
        watchdog = threading.Timer(HANG_SECONDS, writer.kill)
        watchdog.start()
        self.addCleanup(watchdog.cancel)
        notice = writer.stderr.readline()
        self.assertRegex(notice, rb"^vorla-prefs: waiting for ")
        return writer

    def test_a_writer_goes_on_once_the_lock_is_released(self):
        held = self.hold_lock()
        writer = self.start_waiting("set", "bar1", "on")
        held.close()
        status, error = self.finish(writer)
        self.assertEqual(status, 0, error)
        self.assertEqual(self.stored(), {"bar1": True})
        self.assertEqual(self.beside(), [])

    def test_a_long_queue_of_live_writers_is_waited_for_to_its_end(self):
        lock = self.settings + ".lock"
        held = self.hold_lock()
        writer = self.start_waiting("set", "bar1", "on")
        # Writers taking their turns, each for a quarter of the patience, for longer than all of
        # it. Each hands the lock straight to the next (a new file locked, then renamed over the
        # lock's path), so that the waiting writer never gets in between.
        for _ in range(6):
            time.sleep(2.5)
            following = open(lock + ".next", "w")
            fcntl.flock(following, fcntl.LOCK_EX)
            os.rename(lock + ".next", lock)
            held.close()
            held = following
        if writer.poll() is not None:
            self.fail(f"the writer ended with {writer.returncode} while the queue still moved: "
                      f"{writer.stderr.read()!r}")
        held.close()
        status, error = self.finish(writer)
        self.assertEqual(status, 0, error)
        self.assertEqual(self.stored(), {"bar1": True})


if __name__ == "__main__":
    unittest.main()
