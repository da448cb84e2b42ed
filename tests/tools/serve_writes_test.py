"""The settings page's writes of several changes, of an imported file and the export, against the
server itself: each passes the same guard as one change, writes the file once and all of it or
nothing, and what it refuses leaves the file byte for byte as it was."""

import http.client
import json
import os
import plistlib
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from serve_support import Served  # noqa: E402


class ServeWritesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.served = Served()

    @classmethod
    def tearDownClass(cls):
        cls.served.stop()

    def post(self, path, body, content_type="application/json", token=None, origin=None):
        own = f"127.0.0.1:{self.served.port}"
        headers = {"Host": own, "Origin": origin or "http://" + own,
                   "X-Vorla-Token": token or self.served.token, "Content-Type": content_type}
        connection = http.client.HTTPConnection("127.0.0.1", self.served.port, timeout=10)
        connection.request("POST", path, body=body, headers=headers)
        response = connection.getresponse()
        answer = response.read()
        connection.close()
        return response.status, answer

    def batch(self, **parts):
        return self.post("/settings/batch", json.dumps(parts).encode())

    def test_a_batch_is_written_whole_or_not_at_all(self):
        before = self.served.file_bytes()
        refused = {"one bad value": dict(set={"watchr": "7", "barxx": "#12345"}),
                   "an unknown key": dict(set={"watchr": "7"}, unset=["notAKey"]),
                   "a key twice": dict(set={"watchr": "7"}, unset=["watchr"]),
                   "nothing": dict(),
                   "another part": dict(set={"watchr": "7"}, drop=["barxx"]),
                   "a number for a text": dict(set={"watchr": 7})}
        for name, parts in refused.items():
            with self.subTest(name):
                status, answer = self.batch(**parts)
                self.assertTrue(400 <= status < 500, (status, answer))
                self.assertTrue(json.loads(answer)["error"])
                self.assertEqual(self.served.file_bytes(), before)
        status, answer = self.batch(set={"watchr": "7", "barxx": "red"}, unset=["texstmsg"])
        self.assertEqual(status, 200, answer)
        stored = self.served.stored()
        self.assertEqual((stored["watchr"], stored["barxx"]), (7, "red"))
        self.assertNotIn("texstmsg", stored)
        # The answer holds what puts the three back, read under the write's lock.
        undo = json.loads(answer)["undo"]
        self.assertEqual(undo["set"], {"watchr": "4321", "barxx": "#00c853",
                                       "texstmsg": "Vorla Chats"})
        self.assertEqual(self.batch(**undo)[0], 200)
        self.assertEqual(self.served.stored(), plistlib.loads(before))

    def test_new_writes_pass_the_same_guard(self):
        before = self.served.file_bytes()
        for path, body, kind in [
                ("/settings/batch", b'{"unset": ["watchr"]}', "application/json"),
                ("/settings/import", plistlib.dumps({}), "application/octet-stream"),
                ("/settings/export", b"{}", "application/json")]:
            with self.subTest(path):
                self.assertEqual(self.post(path, body, kind, token="0" * 32)[0], 403)
                self.assertEqual(self.post(path, body, kind, origin="http://attacker.example")[0],
                                 403)
                self.assertEqual(self.post(path, b"x" * 5000, kind)[0], 413)
                self.assertEqual(self.served.file_bytes(), before)

    def test_import_validates_as_vorla_prefs_reads_and_export_gives_the_bytes(self):
        status, exported = self.post("/settings/export", b"{}")
        self.assertEqual((status, exported), (200, self.served.file_bytes()))
        before = self.served.file_bytes()
        for name, content in {"not a plist": b"garbage",
                              "an array": plistlib.dumps([1]),
                              "a wrong kind": plistlib.dumps({"watchr": "many"}),
                              "a colour that is none": plistlib.dumps({"barxx": "#12345"})}.items():
            with self.subTest(name):
                status, answer = self.post("/settings/import", content, "application/octet-stream")
                self.assertEqual(status, 422, answer)
                self.assertIn("nothing was changed", json.loads(answer)["error"])
                self.assertEqual(self.served.file_bytes(), before)
        self.assertEqual(self.post("/settings/import", plistlib.dumps({"watchr": 1}))[0], 415)
        imported = {"watchr": 9, "barxx": "blue", "someOtherKey": [1, 2]}
        status, answer = self.post("/settings/import",
                                   plistlib.dumps(imported, fmt=plistlib.FMT_BINARY),
                                   "application/octet-stream")
        self.assertEqual(status, 200, answer)
        self.assertEqual(self.served.stored(), imported)
        self.assertEqual(self.post("/settings/import", before, "application/octet-stream")[0], 200)
        self.assertEqual(self.served.stored(), plistlib.loads(before))


if __name__ == "__main__":
    unittest.main()
