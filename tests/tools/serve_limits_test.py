"""vorla-sim --serve against any local process: open pages, slow clients, bodies framed to slip
past the limit and a settings lock held elsewhere leave the page answering within a second, with
the server's memory and threads bounded. The crowds of connections are held by a helper process
(serve_crowd.py). Run one group: serve_limits_test.py OpenPagesTest (or SlowClientsTest,
BodyFramingTest, HeldLockTest, StopTest). The figures measured are printed to standard error."""

import fcntl
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


class OpenPagesTest(ServedCase):
    def test_a_thousand_open_pages_leave_requests_answered(self):
        files_before = self.open_files()
        crowd = Crowd(self.served, "streams", 1000)
        try:
            self.assertEqual(crowd.ready["with_state"], 1000, crowd.ready)
            during = "while 1000 event streams are open"
            started = time.monotonic()
            change_took = self.assert_answers_quickly(during)
            rss, peak, threads = self.status_of_server()
            _, _, page_took = self.timed("GET", "/")
            # Every open page is shown the change: the state it pushes arrives on each stream.
            time.sleep(max(0.0, 3.0 - (time.monotonic() - started)))
        finally:
            summary = crowd.end()
        self.assertEqual(summary["closed"], 0, summary)
        self.assertGreaterEqual(summary["fewest_states"], 2, summary)
        figure(f"1000 event streams open: GET / in {page_took * 1000:.0f} ms, a change in "
               f"{change_took * 1000:.0f} ms; server RSS {rss:.1f} MiB (peak {peak:.1f}), "
               f"{threads} threads")
        self.assertLess(threads, 16)
        # The pages went away: their streams are found out at the next comment, and let go.
        gone_by = time.monotonic() + 5 + 5
        while self.open_files() > files_before + 5 and time.monotonic() < gone_by:
            time.sleep(0.25)
        self.assertLessEqual(self.open_files(), files_before + 5, "closed pages' streams are held")


class SlowClientsTest(ServedCase):
    def test_five_hundred_dribbled_heads_leave_requests_answered_and_are_dropped(self):
        crowd = Crowd(self.served, "dribble", 500)
        slowest = 0.0
        try:
            # Over a window longer than a head's deadline, so that the dribblers are dropped and
            # come back while requests are timed.
            started = time.monotonic()
            while time.monotonic() - started < HEAD_DEADLINE + 3:
                took = self.assert_answers_quickly("while 500 clients dribble their heads")
                slowest = max(slowest, took)
                rss, peak, threads = self.status_of_server()
                time.sleep(0.5)
        finally:
            summary = crowd.end()
        # None of them outlived the deadline by more than the server's sweep and a margin.
        self.assertGreaterEqual(summary["dropped"], 500, summary)
        self.assertLess(summary["oldest"], HEAD_DEADLINE + 2, summary)
        figure(f"500 dribbled heads: a change answered in {slowest * 1000:.0f} ms at worst; "
               f"{summary['dropped']} dropped, none older than {summary['oldest']} s; server RSS "
               f"{rss:.1f} MiB (peak {peak:.1f}), {threads} threads")
        self.assertLess(threads, 16)

    def test_the_deadline_starts_again_for_each_request_of_a_connection(self):
        sock = socket.create_connection(("127.0.0.1", self.served.port), timeout=10)
        self.addCleanup(sock.close)
        head = f"GET / HTTP/1.1\r\nHost: {self.own}\r\n".encode()
        sock.sendall(head + b"\r\n")
        answer = b""
        while not BodyFramingTest.whole(answer):
            piece = sock.recv(1 << 16)
            self.assertTrue(piece, "the connection ended before its first answer")
            answer += piece
        self.assertTrue(answer.startswith(b"HTTP/1.1 200"), answer[:100])
        self.assertNotIn(b"connection: close", answer.partition(b"\r\n\r\n")[0].lower())
        # The same connection, kept alive, now dribbles its next head.
        sock.settimeout(0.5)
        started = time.monotonic()
        for byte in (head + b"X-Endless: " + b"a" * 100)[:40]:
            try:
                sock.send(bytes([byte]))
                if sock.recv(1) == b"":
                    break
            except (TimeoutError, socket.timeout):
                continue
            except OSError:
                break
        took = time.monotonic() - started
        self.assertGreater(took, HEAD_DEADLINE - 1, "the connection was dropped before its deadline")
        self.assertLess(took, HEAD_DEADLINE + 2, "a second head dribbled on was never dropped")


class BodyFramingTest(ServedCase):
    def raw_change(self, head_lines, body_pieces):
        """Sends a change with the given framing headers and body pieces from a thread of its own,
        reading the answer as it comes. Returns the answer, the bytes sent when it came, and
        the seconds from the first body byte to the answer."""
        sock = socket.create_connection(("127.0.0.1", self.served.port), timeout=30)
        self.addCleanup(sock.close)
        head = [f"POST /settings HTTP/1.1", f"Host: {self.own}"]
        head += [f"{name}: {value}" for name, value in self.change_headers().items()]
        sock.sendall(("\r\n".join(head + head_lines) + "\r\n\r\n").encode())
        sent, answered_at = [0], [None]

        def send():
            try:
                for piece in body_pieces:
                    if answered_at[0] is not None:
                        return
                    sock.sendall(piece)
                    sent[0] += len(piece)
            except OSError:
                pass  # refused and dropped: the answer is read below

        started = time.monotonic()
        sender = threading.Thread(target=send, daemon=True)
        sender.start()
        answer = b""
        try:
            while not self.whole(answer):
                piece = sock.recv(1 << 16)
                if not piece:
                    break
                answer += piece
                answered_at[0] = answered_at[0] or time.monotonic()
        except ConnectionResetError:
            pass  # what came before the reset is the answer
        at = sent[0]
        sender.join(30)
        return answer, at, (answered_at[0] or time.monotonic()) - started

    @staticmethod
    def whole(answer):
        head, found, body = answer.partition(b"\r\n\r\n")
        length = [int(line.split(b":")[1]) for line in head.lower().split(b"\r\n")
                  if line.startswith(b"content-length:")]
        return found and length and len(body) >= length[0]

    @staticmethod
    def status_and_error(answer):
        """The status and the JSON answer's error, or the raw body when it is no such answer."""
        head, _, body = answer.partition(b"\r\n\r\n")
        status = int(head.split(b" ")[1]) if head else 0
        try:
            return status, json.loads(body).get("error")
        except ValueError:
            return status, body

    def test_a_chunked_body_past_the_limit_is_refused_at_once_without_memory(self):
        _, peak_before, _ = self.status_of_server()
        before = self.served.file_bytes()
        chunk = b"%x\r\n%s\r\n" % (1 << 16, b" " * (1 << 16))
        start = b'{"key": "barxx", "value": "#000000"}'
        pieces = [b"%x\r\n%s\r\n" % (len(start), start)]
        pieces += [chunk] * (300 * 16)  # 300 MiB
        answer, sent, took = self.raw_change(["Transfer-Encoding: chunked"], pieces)
        status, body = self.status_and_error(answer)
        _, peak_after, _ = self.status_of_server()
        figure(f"300 MiB chunked body: {status} after {sent / (1 << 20):.1f} MiB sent, in "
               f"{took * 1000:.0f} ms; server peak RSS {peak_before:.1f} -> {peak_after:.1f} MiB")
        self.assertEqual(status, 413, answer[:300])
        self.assertIn("4096", body)
        # At once: long before the body ends, while the socket buffers still take the rest.
        self.assertLess(sent, 64 << 20, f"{sent} bytes were taken before the refusal")
        self.assertLess(peak_after - peak_before, 32, "the refused body was kept in memory")
        self.assertEqual(self.served.file_bytes(), before)

    def test_the_limit_counts_a_chunked_body_as_sent(self):
        change = json.dumps({"key": "barxx", "value": "#0a0b0c"}).encode()
        padded = change[:-1] + b" " * (BODY_LIMIT - len(change)) + b"}"
        pieces = [b"%x\r\n%s\r\n" % (len(padded[i:i + 100]), padded[i:i + 100])
                  for i in range(0, len(padded), 100)] + [b"0\r\n\r\n"]
        answer, _, _ = self.raw_change(["Transfer-Encoding: chunked"], pieces)
        self.assertEqual(self.status_and_error(answer)[0], 200, answer[:300])
        self.assertEqual(self.served.stored()["barxx"], "#0a0b0c")
        one_more = padded[:-1] + b" }"
        pieces = [b"%x\r\n%s\r\n" % (len(one_more), one_more), b"0\r\n\r\n"]
        answer, _, _ = self.raw_change(["Transfer-Encoding: chunked"], pieces)
        self.assertEqual(self.status_and_error(answer)[0], 413, answer[:300])

    def test_content_length_beside_transfer_encoding_is_refused(self):
        before = self.served.file_bytes()
        body = b'{"key": "barxx", "value": "#0d0e0f"}'
        for framing in [["Content-Length: %d" % len(body), "Transfer-Encoding: chunked"],
                        ["Transfer-Encoding: chunked", "Content-Length: 5"]]:
            with self.subTest(framing):
                answer, _, _ = self.raw_change(framing, [b"%x\r\n%s\r\n0\r\n\r\n" % (len(body),
                                                                                     body)])
                status, error = self.status_and_error(answer)
                self.assertEqual(status, 400, answer[:300])
                self.assertIsInstance(error, str, answer[:300])
                self.assertEqual(self.served.file_bytes(), before)


class HeldLockTest(ServedCase):
    def test_a_held_settings_lock_answers_changes_503_and_applies_nothing_later(self):
        before = self.served.file_bytes()
        lock = os.open(self.served.settings + ".lock", os.O_RDONLY | os.O_CREAT, 0o644)
        self.addCleanup(lambda: os.path.exists(self.served.settings + ".lock")
                        and os.unlink(self.served.settings + ".lock"))
        fcntl.flock(lock, fcntl.LOCK_EX)
        answers = []
        try:
            # Several changes at once: each gets its answer within the bounded wait, however
            # many queue, and the page is answered while they wait.
            waiting = [threading.Thread(target=lambda: answers.append(self.change()[1]))
                       for _ in range(3)]
            for thread in waiting:
                thread.start()
            time.sleep(0.3)
            status, _, took = self.timed("GET", "/")
            self.assertEqual(status, 200)
            self.assertLess(took, ANSWER_WITHIN, "GET / while changes wait for the lock")
            for thread in waiting:
                thread.join(LOCK_PATIENCE + 10)
        finally:
            fcntl.flock(lock, fcntl.LOCK_UN)
            os.close(lock)
        self.assertEqual(len(answers), 3, "a change had no answer while the lock was held")
        for status, answer, took in answers:
            self.assertEqual(status, 503, answer)
            self.assertIn("lock", answer["error"])
            self.assertLess(took, LOCK_PATIENCE + 2, answer)
        figure(f"settings lock held: changes answered 503 in {max(a[2] for a in answers):.2f} s")
        # Nothing the refused changes asked for is written once the lock is free.
        time.sleep(2)
        self.assertEqual(self.served.file_bytes(), before)
        value, (status, answer, _) = self.change()
        self.assertEqual(status, 200, answer)
        self.assertEqual(self.served.stored()["barxx"], value)


class StopTest(unittest.TestCase):
    def test_stops_at_once_with_pages_open_and_a_change_waiting_for_the_lock(self):
        # What a stop takes in this build with nothing open (a sanitizer's build ends its app
        # processes slowly). Above it, a change waiting for the lock runs out what is left of its
        # wait (at most 3 s), and nothing else: waiting for a page's beat (5 s) would show.
        bare = Served()
        time.sleep(0.5)
        started = time.monotonic()
        self.assertEqual(bare.stop(), 0, "vorla-sim --serve did not end cleanly on SIGINT")
        bare_took = time.monotonic() - started
        served = Served()
        lock = os.open(served.settings + ".lock", os.O_RDONLY | os.O_CREAT, 0o644)
        fcntl.flock(lock, fcntl.LOCK_EX)
        self.addCleanup(os.close, lock)
        pages = []
        for _ in range(3):
            page = http.client.HTTPConnection("127.0.0.1", served.port, timeout=10)
            page.request("GET", "/events?token=" + served.token)
            page.getresponse().readline()
            pages.append(page)
        change = socket.create_connection(("127.0.0.1", served.port), timeout=10)
        body = b'{"key": "barxx", "value": "#010203"}'
        change.sendall(b"POST /settings HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nOrigin: "
                       b"http://127.0.0.1:%d\r\nX-Vorla-Token: %s\r\nContent-Type: "
                       b"application/json\r\nContent-Length: %d\r\n\r\n%s"
                       % (served.port, served.port, served.token.encode(), len(body), body))
        time.sleep(0.5)
        started = time.monotonic()
        status = served.stop()
        took = time.monotonic() - started
        for connection in pages + [change]:
            connection.close()
        self.assertEqual(status, 0, "vorla-sim --serve did not end cleanly on SIGINT")
        figure(f"stop with 3 pages open and a change waiting: {took:.2f} s, with nothing open "
               f"{bare_took:.2f} s")
        self.assertLess(took, bare_took + LOCK_PATIENCE + 1,
                        "stopping waited for the open pages, or the change past its wait")


if __name__ == "__main__":
    unittest.main()
