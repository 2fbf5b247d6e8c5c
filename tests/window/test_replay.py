"""Recorded rounds in the real window: a round played, recorded and replayed with -replay ends on
the same picture of both wells; damaged recordings are refused before any window opens; the viewer
always ends, with a status that says how."""

import glob
import os
import signal
import struct
import tempfile
import time
import unittest

from harness import Game, XClient, main

WELLS = (104, 46, 537, 430)
# The corner where the viewer says it is showing a recording, and at what speed.
MARK = (560, 4, 640, 20)
# Below the pause's own picture: the wells' lower part, which the pause shows in grey.
LOWER_WELLS = (104, 310, 537, 430)
STOPPED = 4
MOST_UPDATES = 4 * 3600 * 100


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
        time.sleep(8)  # a round shorter than 10 s is not kept
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


def varint(value):
    out = bytearray()
    while value >= 0x80:
        out.append((value & 0x7F) | 0x80)
        value >>= 7
    out.append(value)
    return bytes(out)


def endless(recording):
    """A recording of the same start that holds nothing but updates without ticks, as many as a
    recording may: a few dozen bytes that would take hours to play."""
    version_length = recording[6]
    header = recording[:7 + version_length + 1 + 4 + 16 + 8 + 8]
    body = b"\x10" + b"\x01" + varint(MOST_UPDATES - 1) + b"\x00"
    return resummed(header + body + struct.pack("<IQ", MOST_UPDATES, 0) + b"\0" * 4)


def mark_shown(shot):
    """White letters on the viewer's corner plate."""
    return (255, 255, 255) in shot.region_colours(*MARK)


def greyed(shot, x0, y0, x1, y1):
    """The share of grey pixels (r = g = b) in an area."""
    colours = [shot.pixel(x, y) for y in range(y0, y1, 4) for x in range(x0, x1, 4)]
    return sum(1 for r, g, b in colours if abs(r - g) <= 2 and abs(g - b) <= 2) / len(colours)


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

    def test_p_shows_the_games_pause_and_esc_stops_writing_nothing(self):
        path = self.write("watched.vxr", self.recording)
        config = os.path.join(tempfile.mkdtemp(prefix="vexlorn-config-"), "config")
        with Game("-window", "-replay", path, env={"XDG_CONFIG_HOME": config}) as game:
            game.wait(2.5)
            self.assertTrue(mark_shown(game.screenshot("marked")), "no REPLAY mark in the corner")
            game.key("p", after=0.5)
            held = game.screenshot("held")
            self.assertGreater(greyed(held, *LOWER_WELLS), 0.95, "the pause is not the game's grey one")
            self.assertTrue(mark_shown(held), "the mark went with the pause")
            game.wait(1.0)
            still = game.screenshot("still-held")
            self.assertEqual(held.differs(still, *WELLS), 0, "the replay went on while paused")
            game.key("F10", after=0.5)  # a display choice is not remembered while watching
            game.key("space", after=1.0)
            going_on = game.screenshot("going-on")
            self.assertGreater(still.differs(going_on, *WELLS), 0,
                               "the replay did not go on after a key")
            self.assertLess(greyed(going_on, *LOWER_WELLS), 0.95, "still grey after the pause")
            game.key("esc")
            self.assertEqual(game.wait_exit(10), STOPPED, game.output())
            self.assertIn("stopped before the end", game.output())
            self.assertFalse(os.path.exists(game.file("vexlorn.hi")), "a replay wrote the hall of fame")
            self.assertFalse(os.path.exists(game.file("replays")), "a replay was recorded again")
            self.assertFalse(os.path.exists(config), "a replay wrote the settings")

    def test_the_focus_pause_is_shown_and_a_key_ends_it(self):
        with Game("-window", "-replay", self.write("focus.vxr", self.recording)) as game:
            # Past the get-ready screen, which a lost focus does not pause, with time to spare
            # on a loaded machine.
            game.wait(5.0)
            client = XClient(game.xserver.display)
            client.take_focus()
            game.wait(1.0)
            away = game.screenshot("focus-away")
            self.assertGreater(greyed(away, *LOWER_WELLS), 0.95, "the focus pause is not shown")
            game.wait(1.0)
            self.assertEqual(away.differs(game.screenshot("focus-away-later"), *WELLS), 0)
            game.xdotool("windowfocus", "--sync", game.window)
            game.key("space", after=1.0)
            self.assertLess(greyed(game.screenshot("focus-back"), *LOWER_WELLS), 0.95,
                            "a key did not end the focus pause")
            client.disconnect()
            game.key("esc")
            self.assertEqual(game.wait_exit(10), STOPPED, game.output())

    def test_an_endless_recording_is_still_stopped_at_once(self):
        """A few dozen bytes of updates without ticks once froze the window for half a minute;
        Esc, the close button and a stop signal are each answered in a moment."""
        path = self.write("endless.vxr", endless(self.recording))
        self.assertLess(os.path.getsize(path), 100)
        for how in ("esc", "close", "signal"):
            with self.subTest(how), Game("-window", "-replay", path) as game:
                game.wait(2.0)
                self.assertTrue(game.running(), game.output())
                asked = time.monotonic()
                if how == "esc":
                    game.key("esc", after=0)
                elif how == "close":
                    client = XClient(game.xserver.display)
                    client.close_window(game.window)
                    client.disconnect()
                else:
                    game.proc.send_signal(signal.SIGTERM)
                status = game.wait_exit(10)
                took = time.monotonic() - asked
                self.assertLess(took, 5.0, f"{how} took {took:.1f} s to be answered")
                expected = 128 + signal.SIGTERM if how == "signal" else STOPPED
                self.assertEqual(status, expected, game.output())
                self.assertIn("stopped before the end", game.output())

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

    def test_refusals_name_their_cause_and_print_no_control_characters(self):
        loop = os.path.join(self.dir, "loop.vxr")
        os.symlink(loop + ".b", loop)
        os.symlink(loop, loop + ".b")
        fifo = os.path.join(self.dir, "fifo.vxr")
        os.mkfifo(fifo)
        # The version text comes from the file: a terminal must not act on it.
        version_length = self.recording[6]
        hostile = resummed(self.recording[:6] + bytes([6]) + b"\x1b]0;x\x07"
                           + self.recording[7 + version_length:])
        cases = {
            "missing": (os.path.join(self.dir, "none.vxr"), "no such file"),
            "loop": (loop, "loop"),
            "pipe": (fifo, "not a file"),
            "escaped": (self.write("hostile.vxr", hostile), "\\x1b]0;x\\x07"),
        }
        for name, (path, cause) in cases.items():
            with self.subTest(name):
                status, output, _ = play(path)
                self.assertEqual(status, 2, output)
                self.assertIn(cause, output)
                self.assertNotIn("\x1b", output)

    def test_replay_without_a_file_is_refused_before_any_window(self):
        for args in (("-window", "-replay"), ("-replay", "", "-window")):
            with self.subTest(args=args), Game(*args, wait_window=False) as game:
                self.assertEqual(game.wait_exit(10), 2, game.output())
                self.assertIn("usage", game.output())
                self.assertEqual(game.xdotool("search", "--name", "^Vexlorn$"), "")

    def test_a_relative_path_is_read_from_where_the_game_was_started(self):
        home = tempfile.mkdtemp(prefix="vexlorn-home-")
        env = {"HOME": home, "XDG_DATA_HOME": os.path.join(home, "data")}
        with Game("-window", "-user-data", "-replay", "mine.vxr", env=env, wait_window=False,
                  before=lambda game: self._place(game, "mine.vxr")) as game:
            status = game.wait_exit(120)
            self.assertEqual(status, 0, game.output())
            self.assertFalse(os.path.exists(os.path.join(home, "data")),
                             "watching made the data home")

    def _place(self, game, name):
        with open(game.file(name), "wb") as out:
            out.write(self.recording)


if __name__ == "__main__":
    main()
