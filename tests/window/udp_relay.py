"""A bad line between two games, in user space (this kernel has no netem): datagrams to
LISTEN_PORT go on to TARGET_PORT on 127.0.0.1 and the answers back, each held for a delay with
jitter (so that some overtake others), some lost and some sent twice, all drawn from SEED. It
serves the first sender only and stops by itself after LIFETIME seconds.

usage: udp_relay.py LISTEN_PORT TARGET_PORT DELAY_MS JITTER_MS LOSS DUPLICATION SEED LIFETIME"""

import heapq
import random
import select
import socket
import sys
import time

LARGEST_DATAGRAM = 65536
MOST_HELD = 10000  # a flood is dropped, not queued without end


def relay(listen_port, target_port, delay_ms, jitter_ms, loss, duplication, seed, lifetime):
    draw = random.Random(seed)
    front = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    front.bind(("127.0.0.1", listen_port))
    back = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    back.bind(("127.0.0.1", 0))
    target = ("127.0.0.1", target_port)
    sender = None
    held = []  # (when due, order, socket, datagram, address)
    order = 0
    print("relaying", flush=True)
    end = time.monotonic() + lifetime
    while time.monotonic() < end:
        now = time.monotonic()
        wait = max(0.0, min(held[0][0] - now, 0.05)) if held else 0.05
        readable, _, _ = select.select([front, back], [], [], wait)
        now = time.monotonic()
        for sock in readable:
            datagram, address = sock.recvfrom(LARGEST_DATAGRAM)
            if sock is front:
                if sender is None:
                    sender = address
                if address != sender:
                    continue
                out, to = back, target
            else:
                if sender is None or address != target:
                    continue
                out, to = front, sender
            if draw.random() < loss or len(held) >= MOST_HELD:
                continue
            copies = 2 if draw.random() < duplication else 1
            for _ in range(copies):
                due = now + max(0.0, delay_ms + draw.uniform(-jitter_ms, jitter_ms)) / 1000
                heapq.heappush(held, (due, order, out, datagram, to))
                order += 1
        while held and held[0][0] <= now:
            _, _, out, datagram, to = heapq.heappop(held)
            out.sendto(datagram, to)


if __name__ == "__main__":
    if len(sys.argv) != 9:
        sys.exit(__doc__)
    args = sys.argv[1:]
    relay(int(args[0]), int(args[1]), float(args[2]), float(args[3]), float(args[4]),
          float(args[5]), int(args[6]), float(args[7]))
