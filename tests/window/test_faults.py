"""The real program against missing devices, damaged files, signals and key floods."""

import os
import random
import shutil
import signal
import stat
import struct
import tempfile
import time
import unittest

from harness import Game, executable, main, quit_through_menu, wait_shown

DATA_NAME = "vexlorn-demo.dat"


def hall_of_fame_file():
    """A player's table, unlike the built-in one."""
    return b"".join(struct.pack("<h10si", row + 1, b"ZZ%d" % row, 900 - row) for row in range(10))


def real_data_file():
    return os.path.join(os.path.dirname(os.path.abspath(executable())), DATA_NAME)


def smallest_data_file():
    """A well-formed data file holding one raw object: readable, but not this game's."""
    body = b"abcd"
    return b"slh.ALL." + struct.pack(">i", 1) + b"DATA" + struct.pack(">ii", 4, 4) + body


class DataFileFaultsTest(unittest.TestCase):
    """The program copied beside a missing or bad data file: a message naming the file, -1."""

    def run_with_data(self, data):
        place = tempfile.mkdtemp(prefix="vexlorn-data-")
        try:
            program = os.path.join(place, "vexlorn")
            shutil.copy(executable(), program)
            path = os.path.join(place, DATA_NAME)
            if data is not None:
                with open(path, "wb") as out:
                    out.write(data)
            with Game("-window", executable_path=program, wait_window=False) as game:
                with open(game.file("vexlorn.hi"), "wb") as out:
                    out.write(hall_of_fame_file())
                code = game.wait_exit(30)
                said = game.output() + game.messages()
                with open(game.file("vexlorn.hi"), "rb") as kept:
                    table = kept.read()
                leftovers = sorted(os.listdir(game.cwd))
            return code, said, path, table, leftovers
        finally:
            shutil.rmtree(place, ignore_errors=True)

    def test_missing_damaged_and_foreign_data_files_are_refused(self):
        with open(real_data_file(), "rb") as real:
            good = real.read()
        # The file check itself is tested case by case without a window; these are the kinds
        # of damage that crash the game library's own loader if it ever saw them.
        cases = {
            "missing": None,
            "cut after the count": good[:12],
            "count too large": good[:8] + struct.pack(">i", 5000) + good[12:],
            "foreign objects": smallest_data_file(),
        }
        for name, data in cases.items():
            with self.subTest(name):
                code, said, path, table, leftovers = self.run_with_data(data)
                self.assertEqual(code, 255, said)
                self.assertIn(path, said)
                self.assertEqual(table, hall_of_fame_file())
                self.assertEqual(leftovers, ["vexlorn.hi"])


class DeviceFaultsTest(unittest.TestCase):
    def test_no_audio_device_runs_silent(self):
        with Game("-window", audio="no-such-driver") as game:
            self.assertEqual(quit_through_menu(game), 0)
            self.assertEqual(os.path.getsize(game.file("vexlorn.hi")), 160)


class HallOfFameFileFaultsTest(unittest.TestCase):
    """Whatever stands in the place of "vexlorn.hi", the old table survives and the exit is 0."""

    def test_directory_in_the_files_place(self):
        with Game("-window") as game:
            os.mkdir(game.file("vexlorn.hi"))
            self.assertEqual(quit_through_menu(game), 0)
            self.assertTrue(os.path.isdir(game.file("vexlorn.hi")))
            self.assertEqual(os.listdir(game.cwd), ["vexlorn.hi"])

    def test_pipe_in_the_files_place(self):
        work = tempfile.mkdtemp(prefix="vexlorn-fifo-")
        os.mkfifo(os.path.join(work, "vexlorn.hi"))
        try:
            # A blocking open of the pipe would hang the start-up before any window.
            with Game("-window", cwd=work) as game:
                self.assertEqual(quit_through_menu(game), 0)
                self.assertTrue(stat.S_ISFIFO(os.stat(game.file("vexlorn.hi")).st_mode))
        finally:
            shutil.rmtree(work, ignore_errors=True)

    def test_unreadable_and_read_only_files(self):
        if os.geteuid() == 0:
            self.skipTest("permissions do not bind root (the unit tests cover this as a user)")
        for mode in (0o000, 0o444):
            with self.subTest(oct(mode)):
                work = tempfile.mkdtemp(prefix="vexlorn-mode-")
                path = os.path.join(work, "vexlorn.hi")
                with open(path, "wb") as out:
                    out.write(hall_of_fame_file())
                os.chmod(path, mode)
                try:
                    with Game("-window", cwd=work) as game:
                        self.assertEqual(quit_through_menu(game), 0)
                    os.chmod(path, 0o644)
                    with open(path, "rb") as kept:
                        self.assertEqual(kept.read(), hall_of_fame_file())
                finally:
                    shutil.rmtree(work, ignore_errors=True)

    def test_full_disk(self):
        # A file-size limit of zero: every write fails, as on a full disk.
        wrapper_dir = tempfile.mkdtemp(prefix="vexlorn-limit-")
        wrapper = os.path.join(wrapper_dir, "limited")
        with open(wrapper, "w") as script:
            script.write(f'#!/bin/sh\nulimit -f 0\nexec "{os.path.abspath(executable())}" "$@"\n')
        os.chmod(wrapper, 0o755)
        work = tempfile.mkdtemp(prefix="vexlorn-full-")
        with open(os.path.join(work, "vexlorn.hi"), "wb") as out:
            out.write(hall_of_fame_file())
        try:
            with Game("-window", cwd=work, executable_path=wrapper) as game:
                self.assertEqual(quit_through_menu(game), 0, game.output())
                with open(game.file("vexlorn.hi"), "rb") as kept:
                    self.assertEqual(kept.read(), hall_of_fame_file())
                self.assertEqual(os.listdir(work), ["vexlorn.hi"])
        finally:
            shutil.rmtree(work, ignore_errors=True)
            shutil.rmtree(wrapper_dir, ignore_errors=True)


class SignalTest(unittest.TestCase):
    def test_stop_signals_end_through_the_normal_shutdown(self):
        cases = ((signal.SIGTERM, 0.0), (signal.SIGINT, 1.5), (signal.SIGHUP, 1.5))
        for number, moment in cases:
            with self.subTest(signal=number.name, after=moment):
                work = tempfile.mkdtemp(prefix="vexlorn-term-")
                path = os.path.join(work, "vexlorn.hi")
                with open(path, "wb") as out:
                    out.write(hall_of_fame_file())
                os.utime(path, (0, 0))
                try:
                    with Game("-window", cwd=work) as game:
                        wait_shown(game)
                        game.key("enter")  # into the menu
                        game.wait(moment)
                        game.proc.send_signal(number)
                        code = game.wait_exit(10)
                        self.assertEqual(code, 128 + number, game.output())
                        # Read at start-up and written again at shutdown: the same table.
                        with open(path, "rb") as kept:
                            self.assertEqual(kept.read(), hall_of_fame_file())
                        self.assertGreater(os.path.getmtime(path), 0)
                        self.assertEqual(os.listdir(work), ["vexlorn.hi"])
                finally:
                    shutil.rmtree(work, ignore_errors=True)

    def test_a_stop_at_any_moment_of_start_up_ends_cleanly(self):
        # Before our handlers are in place Allegro's own would end the game from inside its own
        # start-up, with a crash (134, 139) and the table unsaved.
        for moment in sorted(random.uniform(0.0, 0.4) for _ in range(20)):
            work = tempfile.mkdtemp(prefix="vexlorn-start-")
            with open(os.path.join(work, "vexlorn.hi"), "wb") as out:
                out.write(hall_of_fame_file())
            with self.subTest(after=f"{moment * 1000:.0f} ms"):
                with Game("-window", cwd=work, wait_window=False) as game:
                    time.sleep(max(0.0, game.started + moment - time.monotonic()))
                    game.proc.send_signal(signal.SIGTERM)
                    code = game.wait_exit(30)
                    # Killed before main by the default action, or ended by our shutdown.
                    self.assertIn(code, (-signal.SIGTERM, 128 + signal.SIGTERM), game.output())
                    with open(game.file("vexlorn.hi"), "rb") as kept:
                        self.assertEqual(kept.read(), hall_of_fame_file())
                    self.assertEqual(os.listdir(game.cwd), ["vexlorn.hi"])
            shutil.rmtree(work, ignore_errors=True)


class KeyFloodTest(unittest.TestCase):
    def hold(self, game, name, seconds=3.0):
        keysym = {"left": "Left", "right": "Right", "up": "Up", "down": "Down",
                  "enter": "Return", "space": "space", "p": "p", "plus": "KP_Add"}.get(name, name)
        game.xdotool("keydown", "--window", game.window, keysym)
        time.sleep(seconds)
        game.xdotool("keyup", "--window", game.window, keysym)

    def test_held_keys_in_play_and_on_the_menu(self):
        with Game("-window") as game:
            wait_shown(game)
            game.key("enter")
            game.wait(1.5)
            first_row = game.screenshot("menu-first-row")
            self.hold(game, "down", 2.0)  # round and round the menu
            self.hold(game, "up", 2.3)
            game.key("esc", after=0.5)  # the menu ignores it
            self.assertTrue(game.running())
            # Step down until the menu looks as it did on its first row again.
            for step in range(8):
                game.wait(1.0)
                if game.screenshot("menu-after-flood").differs(first_row) < 640 * 480 // 200:
                    break
                game.key("down", after=0.05)
            else:
                self.fail("the menu never came back to its first row")
            game.key("enter")
            game.wait(4.0)  # past the get-ready screen
            for name in ("left", "up", "right", "down", "a"):
                self.hold(game, name)
                self.assertTrue(game.running(), f"ended while {name} was held")
            game.wait(0.5)
            game.key("esc", after=1.0)  # back to the menu
            game.key("up")
            game.wait(0.5)
            game.key("enter")
            self.assertEqual(game.wait_exit(15), 0, game.output())


class MemoryTest(unittest.TestCase):
    def test_peak_resident_memory_of_a_game_stays_under_64_mib(self):
        with Game("-window") as game:
            wait_shown(game)
            game.key("enter")
            game.wait(1.0)
            game.key("enter")  # one player
            game.wait(6.0)
            for name in ("left", "up", "right", "down") * 3:
                game.key(name)
            with open(f"/proc/{game.proc.pid}/status") as status:
                fields = dict(line.split(":", 1) for line in status)
            peak_kib = int(fields["VmHWM"].split()[0])
            print(f"peak resident memory: {peak_kib / 1024:.1f} MiB")
            self.assertLess(peak_kib, 64 * 1024)
            game.key("esc", after=1.0)
            game.key("up")
            game.wait(0.5)
            game.key("enter")
            self.assertEqual(game.wait_exit(15), 0)


if __name__ == "__main__":
    main()
