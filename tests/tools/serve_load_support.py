"""What the tests of vorla-sim --serve under load share: a server started once per group, timed
requests, changes as the page sends them, and crowds of connections held by a helper process
(serve_crowd.py)."""

import http.client
import json
import os
import socket
import subprocess
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from serve_support import Served  # noqa: E402

CROWD = os.path.join(os.path.dirname(__file__), "serve_crowd.py")
ANSWER_WITHIN = 1.0  # seconds, for a request while the server is under load
HEAD_DEADLINE = 5.0  # seconds a request has to arrive whole, as the README says
LOCK_PATIENCE = 3.0  # seconds a change waits for the settings lock, as the README says
BODY_LIMIT = 4096


def whole_answer(answer):
    """Whether the bytes read hold an answer's head and all of its body."""
    head, found, body = answer.partition(b"\r\n\r\n")
    length = [int(line.split(b":")[1]) for line in head.lower().split(b"\r\n")
              if line.startswith(b"content-length:")]
    return found and length and len(body) >= length[0]


def figure(text):
    print("figures: " + text, file=sys.stderr, flush=True)


class ServedCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.served = Served()
        cls.own = f"127.0.0.1:{cls.served.port}"
        cls.colour = 0

    @classmethod
    def tearDownClass(cls):
        status = cls.served.stop()
        if status != 0:
            raise AssertionError(f"vorla-sim --serve ended with status {status} on SIGINT")

    def status_of_server(self):
        """The server's resident memory now and at its peak, in MiB, and its threads."""
        fields = {}
        with open(f"/proc/{self.served.process.pid}/status") as f:
            for line in f:
                name, _, value = line.partition(":")
                if name in ("VmRSS", "VmHWM", "Threads"):
                    fields[name] = value.split()[0]
        return int(fields["VmRSS"]) / 1024, int(fields["VmHWM"]) / 1024, int(fields["Threads"])

    def open_files(self):
        return len(os.listdir(f"/proc/{self.served.process.pid}/fd"))

    def timed(self, method, path, body=None, headers=None, patience=10):
        """The status, the JSON answer (or the raw one) and the seconds the answer took."""
        connection = http.client.HTTPConnection("127.0.0.1", self.served.port, timeout=patience)
        started = time.monotonic()
        try:
            connection.request(method, path, body=body, headers=headers or {})
            response = connection.getresponse()
            raw = response.read()
        except (TimeoutError, socket.timeout):
            self.fail(f"{method} {path} had no answer within {patience} s")
        finally:
            connection.close()
        took = time.monotonic() - started
        try:
            answer = json.loads(raw)
        except ValueError:
            answer = raw
        return response.status, answer, took

    def change_headers(self):
        return {"Origin": "http://" + self.own, "X-Vorla-Token": self.served.token,
                "Content-Type": "application/json"}

    def change(self, patience=10):
        """Sets barxx to a colour not used before, as the page does."""
        type(self).colour += 1
        value = "#0000%02x" % (type(self).colour % 256)
        body = json.dumps({"key": "barxx", "value": value}).encode()
        return value, self.timed("POST", "/settings", body, self.change_headers(), patience)

    def assert_answers_quickly(self, during):
        status, _, took = self.timed("GET", "/")
        self.assertEqual(status, 200, during)
        self.assertLess(took, ANSWER_WITHIN, f"GET / took {took:.2f} s {during}")
        value, (status, answer, took) = self.change()
        self.assertEqual(status, 200, f"a change {during}: {answer}")
        self.assertLess(took, ANSWER_WITHIN, f"a change took {took:.2f} s {during}")
        self.assertEqual(self.served.stored()["barxx"], value)
        return took


class Crowd:
    """serve_crowd.py in a process of its own, ended (and its summary read) on the way out."""

    def __init__(self, served, mode, count):
        self.process = subprocess.Popen(
            [sys.executable, CROWD, str(served.port), served.token, mode, str(count)],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        watchdog = threading.Timer(120, self.process.kill)
        watchdog.start()
        line = self.process.stdout.readline()
        watchdog.cancel()
        if not line.startswith("ready "):
            self.process.kill()
            raise AssertionError(f"the helper holding {count} {mode} never got ready: {line!r}")
        self.ready = json.loads(line[len("ready "):])

    def end(self):
        self.process.stdin.close()
        try:
            line = self.process.stdout.readline()
            self.process.wait(timeout=30)
        finally:
            self.process.kill()
        return json.loads(line)
