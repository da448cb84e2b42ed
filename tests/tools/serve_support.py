"""Starts vorla-sim --serve on a device root of its own holding the example settings, and always
ends it: every wait is bounded, so a test can fail but never hang."""

import os
import plistlib
import re
import shutil
import signal
import subprocess
import tempfile
import threading

SIM = os.environ["VORLA_SIM"]
PREFS = os.environ["VORLA_PREFS"]
EXAMPLE = os.path.join(os.environ["VORLA_SOURCE_DIR"], "examples", "settings.plist")
SETTINGS_UNDER_ROOT = "var/mobile/Library/Preferences/com.pellobrast.vorla.plist"


class Served:
    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="vorla-serve-test-")
        self.settings = os.path.join(self.root, SETTINGS_UNDER_ROOT)
        os.makedirs(os.path.dirname(self.settings))
        shutil.copy(EXAMPLE, self.settings)
        self.process = subprocess.Popen([SIM, "--serve", "--root", self.root], text=True,
                                        stdout=subprocess.PIPE)
        # The address is printed once every app has started; a server that never prints it is
        # ended, which ends the read below.
        watchdog = threading.Timer(90, self.process.kill)
        watchdog.start()
        line = self.process.stdout.readline()
        watchdog.cancel()
        found = re.search(r"http://127\.0\.0\.1:(\d+)/\?token=([0-9a-f]{32})", line)
        if not found:
            self.stop()
            raise AssertionError("vorla-sim --serve printed no address: " + repr(line))
        self.url, self.port, self.token = found.group(0), int(found.group(1)), found.group(2)

    def stop(self):
        """Ends the server as Ctrl-C does and returns its exit status."""
        self.process.send_signal(signal.SIGINT)
        try:
            status = self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            self.process.kill()
            status = self.process.wait()
        self.process.stdout.close()
        shutil.rmtree(self.root, True)
        return status

    def file_bytes(self):
        with open(self.settings, "rb") as f:
            return f.read()

    def write_file(self, data):
        with open(self.settings, "wb") as f:
            f.write(data)

    def stored(self):
        return plistlib.loads(self.file_bytes())

    def prefs(self, *words):
        return subprocess.run([PREFS, "--root", self.root, *words], capture_output=True,
                              text=True, timeout=30)
