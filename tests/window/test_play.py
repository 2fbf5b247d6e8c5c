"""A round in the real window: get-ready, rising boards, the avatar, pause, quit, continue, game over."""

import os
import shutil
import signal
import struct
import tempfile
import unittest

from harness import Game, XClient, main

LEFT_BOARD = (104, 46, 296, 430)
RIGHT_BOARD = (345, 46, 537, 430)
WHOLE = (0, 0, 640, 480)


def grey_fraction(shot, box, step=4):
    x0, y0, x1, y1 = box
    pixels = [shot.pixel(x, y) for y in range(y0, y1, step) for x in range(x0, x1, step)]
    grey = sum(1 for r, g, b in pixels if max(r, g, b) - min(r, g, b) <= 2)
    return grey / len(pixels)


def changed(a, b, box):
    return a.differs(b, *box)


def start_game(game):
    game.wait(1.0)
    game.key("enter")  # the intro opens the menu
    game.wait(1.0)
    game.key("enter")  # its first item starts a new game


class PlayWindowTest(unittest.TestCase):
    def test_get_ready_then_rising_boards_and_the_avatar_moves(self):
        with Game("-window") as game:
            start_game(game)
            game.wait(0.6)
            ready = game.screenshot("ready")
            game.wait(4.5)  # both pop-ups have gone
            playing = game.screenshot("playing")
            self.assertGreater(changed(ready, playing, (220, 120, 420, 280)), 500,
                               "no get-ready pop-up over the boards")
            game.wait(3.0)
            later = game.screenshot("later")
            self.assertGreater(changed(playing, later, LEFT_BOARD), 200, "left board still")
            self.assertGreater(changed(playing, later, RIGHT_BOARD), 200, "right board still")
            before = game.screenshot("before-move")
            game.key("up", after=0.3)
            game.key("right", after=0.3)
            moved = game.screenshot("moved")
            self.assertGreater(changed(before, moved, LEFT_BOARD), 1000, "the avatar did not move")
            self.assertTrue(game.running())

    def test_pause_greys_until_any_key_and_escape_returns_to_the_menu(self):
        with Game("-window") as game:
            game.wait(1.0)
            game.key("enter")
            game.wait(1.5)
            menu = game.screenshot("menu")
            game.key("enter")
            game.wait(5.0)
            game.key("p", after=0.5)
            paused = game.screenshot("paused")
            self.assertGreater(grey_fraction(paused, (104, 310, 296, 430)), 0.9, "pause did not grey")
            game.wait(1.0)
            still = game.screenshot("still-paused")
            self.assertLess(changed(paused, still, WHOLE), 50, "the game went on under the pause")
            game.key("q", after=0.5)
            resumed = game.screenshot("resumed")
            self.assertLess(grey_fraction(resumed, LEFT_BOARD), 0.5, "still grey after a key")
            game.key("esc", after=1.0)
            back = game.screenshot("back-to-menu")
            self.assertLess(changed(menu, back, (0, 0, 640, 100)), 2000, "not back on the menu")
            self.assertTrue(game.running())

    def test_cheat_continue_replay_and_game_over_to_the_hall_of_fame(self):
        with Game("-window", "-cheat") as game:
            start_game(game)
            game.wait(5.0)
            game.key("plus", after=0.8)
            offer = game.screenshot("continue")
            self.assertGreater(grey_fraction(offer, RIGHT_BOARD), 0.9, "no continue screen")
            self.assertLess(grey_fraction(offer, (100, 60, 300, 220)), 0.99, "no countdown")
            game.key("enter", after=0.6)
            replay = game.screenshot("replay")
            self.assertLess(grey_fraction(replay, RIGHT_BOARD), 0.5, "the level was not replayed")
            game.wait(4.5)
            game.key("plus", after=0.5)
            game.wait(12.0)  # eleven seconds of countdown run out
            end = game.screenshot("game-over")
            self.assertGreater(grey_fraction(end, (300, 60, 340, 180)), 0.8, "no end screen")
            game.key("enter", after=1.0)
            fame = game.screenshot("hall-of-fame")
            self.assertLess(grey_fraction(fame, WHOLE), 0.9, "no hall of fame")
            self.assertGreater(changed(end, fame, WHOLE), 100000)
            game.key("enter", after=1.0)
            self.assertTrue(game.running())

    def test_closed_on_the_name_entry_the_game_enters_the_shown_initials(self):
        # Every row above nought but the last, so a game over with any score enters the table.
        table = b"".join(struct.pack("<h10si", 1, b"OLD", 900 - row) for row in range(9))
        table += struct.pack("<h10si", 1, b"LOW", -1)
        for way in ("close button", "SIGTERM"):
            work = tempfile.mkdtemp(prefix="vexlorn-entry-")
            with open(os.path.join(work, "vexlorn.hi"), "wb") as out:
                out.write(table)
            with self.subTest(way), Game("-window", "-cheat", cwd=work) as game:
                start_game(game)
                game.wait(5.0)
                game.key("plus", after=0.5)
                game.wait(12.0)  # the countdown runs out: game over, initials asked for
                self.assertGreater(grey_fraction(game.screenshot("name-entry"),
                                                 (300, 60, 340, 180)), 0.8, "no end screen")
                game.type_keys("k", "q", "z")
                if way == "close button":
                    client = XClient(game.xserver.display)
                    client.close_window(game.window)
                    client.disconnect()
                    expected = 0
                else:
                    game.proc.send_signal(signal.SIGTERM)
                    expected = 128 + signal.SIGTERM
                self.assertEqual(game.wait_exit(15), expected, game.output())
                with open(game.file("vexlorn.hi"), "rb") as saved:
                    rows = list(struct.iter_unpack("<h10si", saved.read()))
                shutil.rmtree(work, ignore_errors=True)
                names = [name.split(b"\0")[0] for _, name, _ in rows]
                self.assertIn(b"kqz", names)
                self.assertNotIn(b"LOW", names)


if __name__ == "__main__":
    main()
