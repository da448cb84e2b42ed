"""vorla-sim --serve as an attacker meets it: every bad request is refused with a 4xx and a
message, and leaves the settings file byte for byte as it was."""

import http.client
import json
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from serve_support import SIM, Served  # noqa: E402


class ServeSafetyTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.served = Served()

    @classmethod
    def tearDownClass(cls):
        status = cls.served.stop()
        if status != 0:
            raise AssertionError(f"vorla-sim --serve ended with status {status} on SIGINT")

    def request(self, method="POST", path="/settings", host=None, origin=None, token=None,
                content_type="application/json", body=b'{"key": "barxx", "value": "#123456"}'):
        own = f"127.0.0.1:{self.served.port}"
        headers = {"Host": own if host is None else host,
                   "Origin": "http://" + own if origin is None else origin,
                   "X-Vorla-Token": self.served.token if token is None else token,
                   "Content-Type": content_type}
        connection = http.client.HTTPConnection("127.0.0.1", self.served.port, timeout=10)
        connection.putrequest(method, path, skip_host=True, skip_accept_encoding=True)
        for name, value in headers.items():
            if value != "(none)":
                connection.putheader(name, value)
        connection.putheader("Content-Length", str(len(body)))
        connection.endheaders()
        try:
            connection.send(body)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the server may refuse before it reads the whole body
        response = connection.getresponse()
        answer = response.read()
        connection.close()
        return response.status, answer

    def test_bad_requests_are_refused_and_the_file_is_untouched(self):
        port = self.served.port
        cases = {
            "missing token": dict(token="(none)"),
            "wrong token": dict(token="0" * 32),
            "token of another length": dict(token=self.served.token[:-1]),
            "rebound host name": dict(host=f"attacker.example:{port}"),
            "loopback on another port": dict(host=f"127.0.0.1:{port + 1}"),
            "missing host": dict(host="(none)"),
            "cross-origin": dict(origin="http://attacker.example"),
            "origin of another port": dict(origin=f"http://127.0.0.1:{port + 1}"),
            "missing origin": dict(origin="(none)"),
            "huge body": dict(body=b'{"key": "texstst", "value": "' + b"a" * 100000 + b'"}'),
            "malformed body": dict(body=b'{"key": "barxx", "value": '),
            "invalid UTF-8": dict(body=b'{"key": "texstst", "value": "\xff\xfe"}'),
            "wrong shape": dict(body=b'{"key": "barxx", "value": 3}'),
            "extra field": dict(body=b'{"key": "barxx", "unset": true, "value": "#000"}'),
            "not JSON's media type": dict(content_type="text/plain"),
            "unknown key": dict(body=b'{"key": "notAKey", "value": "1"}'),
            "wrong kind": dict(body=b'{"key": "sliderKeymsg", "value": "tall"}'),
            "colour that is no colour": dict(body=b'{"key": "barxx", "value": "#12345"}'),
            "integer out of range": dict(body=b'{"key": "watchr", "value": "99999999999999999999"}'),
            "other method": dict(method="PUT"),
        }
        before = self.served.file_bytes()
        for name, change in cases.items():
            with self.subTest(name):
                status, answer = self.request(**change)
                self.assertTrue(400 <= status < 500, (status, answer[:200]))
                self.assertTrue(json.loads(answer)["error"], answer)
                self.assertEqual(self.served.file_bytes(), before)
        # The same request with nothing wrong does change the file, and only the file.
        self.assertEqual(self.request()[0], 200)
        self.assertEqual(self.served.stored()["barxx"], "#123456")
        # A host name is the same in any case, in the Host and in the Origin.
        loud = f"LocalHost:{self.served.port}"
        self.assertEqual(self.request(host=loud, origin="http://" + loud.upper())[0], 200)
        written = [os.path.join(d, f) for d, _, files in os.walk(self.served.root) for f in files]
        self.assertEqual(written, [self.served.settings])

    def test_a_refused_value_gets_the_message_vorla_prefs_prints(self):
        status, answer = self.request(body=b'{"key": "sliderKeymsg", "value": "tall"}')
        printed = self.served.prefs("set", "sliderKeymsg", "tall").stderr
        self.assertEqual(status, 422)
        self.assertEqual("vorla-prefs: " + json.loads(answer)["error"] + "\n", printed)

    def test_no_request_path_reaches_the_file_system(self):
        for path in ["/../../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd", "/page.css/../../x",
                     "/index.html%00", "//etc/passwd", "/events/.."]:
            with self.subTest(path):
                status, answer = self.request(method="GET", path=path, body=b"")
                self.assertEqual(status, 404, answer)
        status, _ = self.request(method="GET", path="/", host="attacker.example", body=b"")
        self.assertEqual(status, 421)
        status, _ = self.request(method="GET", path="/events?token=" + "0" * 32, body=b"")
        self.assertEqual(status, 403)

    def test_an_unreadable_file_is_shown_and_the_preview_kept(self):
        stream = http.client.HTTPConnection("127.0.0.1", self.served.port, timeout=10)
        stream.request("GET", "/events?token=" + self.served.token)
        events = stream.getresponse()
        self.addCleanup(stream.close)

        def next_state():
            while not (line := events.readline()).startswith(b"data: "):
                self.assertTrue(line, "the event stream ended")
            return json.loads(line[len(b"data: "):])

        good, before = next_state(), self.served.file_bytes()
        self.addCleanup(self.served.write_file, before)
        self.served.write_file(b"<plist><dict><key>barxx")
        shown = next_state()
        self.assertEqual(shown["file"]["status"], "unreadable")
        self.assertEqual(shown["preview"], good["preview"])
        self.assertEqual(shown["groups"], good["groups"])

    def test_listens_on_the_loopback_address_only(self):
        listening = []
        for table in ["/proc/net/tcp", "/proc/net/tcp6"]:
            with open(table) as f:
                for line in f.readlines()[1:]:
                    local, state = line.split()[1], line.split()[3]
                    if state == "0A" and int(local.split(":")[1], 16) == self.served.port:
                        listening.append(local.split(":")[0])
        self.assertEqual(listening, ["0100007F"])
        # No second server shares the port, to take some of the page's requests.
        second = subprocess.run([SIM, "--serve", "--port", str(self.served.port), "--root",
                                 self.served.root], capture_output=True, text=True, timeout=60)
        self.assertEqual(second.returncode, 1, second.stdout)
        self.assertIn("cannot listen", second.stderr)


if __name__ == "__main__":
    unittest.main()
