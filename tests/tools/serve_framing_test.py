"""vorla-sim --serve against bodies framed to slip past the 4 KB limit: chunked bodies, lengths
beside Transfer-Encoding, bodies that stop arriving. Each is refused at once, without the server
keeping what was sent. The figures measured are printed to standard error."""

import json
import os
import socket
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from serve_load_support import BODY_LIMIT, ServedCase, figure, whole_answer  # noqa: E402


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
            while not whole_answer(answer):
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


if __name__ == "__main__":
    unittest.main()
