"""Holds many connections to vorla-sim --serve open from a process of its own, as any local
program could, until its standard input closes:

    serve_crowd.py PORT TOKEN streams N   N open pages: event streams, each read as it comes
    serve_crowd.py PORT TOKEN dribble N   N clients that send an endless request head one byte
                                          a second, each opened again when the server drops it

It prints one line once the crowd is in place ("ready" and a JSON object), and another when its
input closes (the summary, a JSON object), then ends. Streams report how many got a first state
and the fewest states any one got; dribblers how many the server dropped and how old the oldest
connection ever grew."""

import json
import selectors
import socket
import sys
import time

READY_PATIENCE = 60  # seconds for every stream to get its first state


def connect(port):
    sock = socket.create_connection(("127.0.0.1", port), timeout=10)
    sock.setblocking(False)
    return sock


def hold_streams(port, token, count):
    selector = selectors.DefaultSelector()
    request = (f"GET /events?token={token} HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\n"
               "Accept: text/event-stream\r\n\r\n").encode()
    streams = []
    for _ in range(count):
        sock = connect(port)
        sock.sendall(request)
        # What a stream has got: its states, and the end of its last read, since a state's
        # start may be split between two reads.
        stream = {"sock": sock, "states": 0, "tail": b"", "open": True}
        streams.append(stream)
        selector.register(sock, selectors.EVENT_READ, stream)
    selector.register(sys.stdin, selectors.EVENT_READ, None)

    def read(stream):
        try:
            data = stream["sock"].recv(1 << 16)
        except (BlockingIOError, InterruptedError):
            return
        except OSError:
            data = b""
        if not data:
            stream["open"] = False
            selector.unregister(stream["sock"])
            stream["sock"].close()
            return
        seen = stream["tail"] + data
        stream["states"] += seen.count(b"data: {")
        stream["tail"] = seen[-8:]

    def summary():
        return {"streams": count, "with_state": sum(s["states"] > 0 for s in streams),
                "fewest_states": min(s["states"] for s in streams),
                "closed": sum(not s["open"] for s in streams)}

    started, ready = time.monotonic(), False
    while True:
        for key, _ in selector.select(timeout=0.5):
            if key.data is None:
                if not sys.stdin.readline():
                    print(json.dumps(summary()), flush=True)
                    return
            else:
                read(key.data)
        if not ready and (all(s["states"] for s in streams)
                          or time.monotonic() - started > READY_PATIENCE):
            ready = True
            print("ready " + json.dumps(summary()), flush=True)


def dribble(port, count):
    head = f"GET / HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nX-Endless: ".encode()
    selector = selectors.DefaultSelector()
    selector.register(sys.stdin, selectors.EVENT_READ, None)
    clients, dropped, oldest = [], 0, 0.0

    def opened():
        client = {"sock": connect(port), "since": time.monotonic(), "sent": 0}
        selector.register(client["sock"], selectors.EVENT_READ, client)
        return client

    def drop(client):
        nonlocal dropped, oldest
        dropped += 1
        oldest = max(oldest, time.monotonic() - client["since"])
        selector.unregister(client["sock"])
        client["sock"].close()
        clients[clients.index(client)] = opened()

    def send_next_byte(client):
        at = client["sent"]
        byte = head[at:at + 1] if at < len(head) else b"a"
        try:
            client["sock"].send(byte)
            client["sent"] += 1
        except OSError:
            drop(client)

    clients.extend(opened() for _ in range(count))
    for client in list(clients):
        send_next_byte(client)
    print("ready " + json.dumps({"clients": count}), flush=True)
    next_beat = time.monotonic() + 1
    while True:
        for key, _ in selector.select(timeout=max(0.0, next_beat - time.monotonic())):
            if key.data is None:
                if not sys.stdin.readline():
                    now = time.monotonic()
                    alive = max(now - c["since"] for c in clients)
                    print(json.dumps({"clients": count, "dropped": dropped,
                                      "oldest": round(max(oldest, alive), 2)}), flush=True)
                    return
            elif key.data in clients:
                # The server answers a dribbled head with nothing: readable means dropped.
                drop(key.data)
        if time.monotonic() >= next_beat:
            next_beat += 1
            for client in list(clients):
                send_next_byte(client)


if __name__ == "__main__":
    port, token, mode, number = int(sys.argv[1]), sys.argv[2], sys.argv[3], int(sys.argv[4])
    if mode == "streams":
        hold_streams(port, token, number)
    else:
        dribble(port, number)
