"""A stranger flooding a game's port: RATE datagrams a second of seeded noise (1 to 600
bytes, some shaped like the game's own messages) to 127.0.0.1:PORT for SECONDS, paced in
bursts of a hundredth of a second.

usage: udp_flood.py PORT RATE SECONDS SEED"""

import random
import socket
import sys
import time


def flood(port, rate, seconds, seed):
    draw = random.Random(seed)
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    target = ("127.0.0.1", port)
    burst = max(1, rate // 100)
    sent = 0
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        for _ in range(burst):
            size = draw.randint(1, 600)
            datagram = bytearray(draw.getrandbits(8) for _ in range(min(size, 16)))
            datagram += bytes(size - len(datagram))
            if draw.random() < 0.5:
                datagram[0] = draw.randint(0, 8)  # a message type the game knows, or near it
            try:
                sock.sendto(datagram, target)
            except OSError:
                pass
            sent += 1
        ahead = start + sent / rate - time.monotonic()
        if ahead > 0:
            time.sleep(ahead)
    print(sent, flush=True)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    flood(int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3]), int(sys.argv[4]))
