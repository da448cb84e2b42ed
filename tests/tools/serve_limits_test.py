"""vorla-sim --serve against any local process: open pages, slow clients and a settings lock held
elsewhere leave the page answering within a second, with the server's memory and threads bounded,
and a stop ends it at once. Run one group: serve_limits_test.py OpenPagesTest (or SlowClientsTest,
HeldLockTest, StopTest). The figures measured are printed to standard error."""

import fcntl
import http.client
import os
import socket
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from serve_load_support import (ANSWER_WITHIN, HEAD_DEADLINE, LOCK_PATIENCE, Crowd,  # noqa: E402
                                ServedCase, figure, whole_answer)
from serve_support import Served  # noqa: E402


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
        while not whole_answer(answer):
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
