"""Recorded rounds in the real window: a round played, recorded and replayed with -replay ends on
the same picture of both wells; damaged recordings are refused before any window opens."""

import glob
import os
import struct
import tempfile
import time
import unittest

from harness import Game, XClient, main

WELLS = (104, 46, 537, 430)


def start_round(game):
    game.wait(1.0)
    game.key("enter")  # the intro opens the menu
    game.wait(1.0)
    game.key("enter")  # its first item starts a new game
    game.wait(2.5)  # the get-ready screen


def fnv32(data):
    total = 2166136261
    for byte in data:
        total = ((total ^ byte) * 16777619) & 0xFFFFFFFF
    return total


def resummed(data):
    """The recording with its checksum made right again after an edit."""
    return data[:-4] + struct.pack("<I", fnv32(data[:-4]))


def record_a_round(test):
    """Plays a round in the real loop, pauses it, takes the picture, closes the window; returns
    the picture and the recording's bytes."""
    with Game("-window") as game:
        start_round(game)
        for name in ("up", "left", "up", "right", "right", "down", "up"):
            game.key(name, after=0.4)
        game.key("p", after=1.5)
        paused = game.screenshot("recorded-paused")
        client = XClient(game.xserver.display)
        client.close_window(game.window)
        client.disconnect()
        test.assertEqual(game.wait_exit(), 0)
        files = glob.glob(os.path.join(game.cwd, "replays", "*.vxr"))
        test.assertEqual(len(files), 1, f"recordings kept: {files}")
        with open(files[0], "rb") as recording:
            return paused, recording.read()


def play(path, *extra, shots=False):
    """Runs -replay on the file; returns the exit status, the output, and the last picture shown
    before the program ended (or None)."""
    last = None
    with Game("-window", "-replay", path, *extra, wait_window=shots) as game:
        deadline = time.monotonic() + 120
        while shots and game.running() and time.monotonic() < deadline:
            shot = game.screenshot("replaying")
            # The window goes black as the program closes it, before the process ends.
            if any(shot.pixel(x, 240) != (0, 0, 0) for x in range(0, 640, 8)):
                last = shot
        return game.wait_exit(60), game.output(), last


class ReplayWindowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.paused, cls.recording = record_a_round(cls())
        cls.dir = tempfile.mkdtemp(prefix="vexlorn-replays-")

    def write(self, name, data):
        path = os.path.join(self.dir, name)
        with open(path, "wb") as out:
            out.write(data)
        return path

    def test_the_replay_ends_on_the_recorded_picture_of_both_wells(self):
        status, output, last = play(self.write("round.vxr", self.recording), shots=True)
        self.assertEqual(status, 0, output)
        self.assertIn("ended as recorded", output)
        self.assertIsNotNone(last)
        self.assertEqual(self.paused.differs(last, *WELLS), 0,
                         f"the replay's last picture differs: {last.path}")

    def test_p_holds_the_replay_and_esc_ends_it_leaving_the_hall_of_fame_alone(self):
        path = self.write("watched.vxr", self.recording)
        with Game("-window", "-replay", path) as game:
            game.wait(2.5)
            game.key("p", after=0.5)
            held = game.screenshot("held")
            game.wait(1.0)
            still = game.screenshot("still-held")
            self.assertEqual(held.differs(still, *WELLS), 0, "the replay went on while paused")
            game.key("p", after=1.0)
            self.assertGreater(still.differs(game.screenshot("going-on"), *WELLS), 0,
                               "the replay did not go on after the second P")
            game.key("esc")
            self.assertEqual(game.wait_exit(10), 0, game.output())
            self.assertFalse(os.path.exists(game.file("vexlorn.hi")), "a replay wrote the hall of fame")
            self.assertFalse(os.path.exists(game.file("replays")), "a replay was recorded again")

    def test_a_round_that_now_ends_elsewhere_is_reported(self):
        data = bytearray(self.recording)
        data[-12] ^= 0x40  # one bit of the boards' hash
        status, output, _ = play(self.write("changed.vxr", resummed(bytes(data))), "-scale", "1")
        self.assertEqual(status, 3, output)
        self.assertIn("did not end as recorded", output)

    def test_damaged_recordings_are_refused_before_any_window(self):
        data = self.recording
        version_at = 7  # after the magic, the format and the version's length
        variants = {
            "cut": data[: len(data) // 2],
            "one-byte": data[:1],
            "empty": b"",
            "flipped": data[:40] + bytes([data[40] ^ 0xFF]) + data[41:],
            "other-version": resummed(data[:version_at] + b"9" + data[version_at + 1:]),
            "garbage": bytes(range(256)) * 8,
            "hostile-run": resummed(data[:-17] + b"\x01\xff\xff\xff\xff\x0f\x00" + data[-16:]),
            "oversized": data + b"\0" * (5 << 20),
        }
        paths = {name: self.write(name + ".vxr", body) for name, body in variants.items()}
        paths["missing"] = os.path.join(self.dir, "no-such-file.vxr")
        paths["folder"] = self.dir
        for name, path in paths.items():
            with self.subTest(name):
                status, output, _ = play(path)
                self.assertEqual(status, 2, output)
                self.assertIn("cannot play", output)
        status, output, _ = play(paths["other-version"])
        self.assertIn("version", output)


if __name__ == "__main__":
    main()
