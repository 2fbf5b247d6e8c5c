"""The picture on today's desktops: the scaled window, full screen at the desktop's size, the
switch between them, focus, the close button and the window's name."""

import os
import subprocess
import time
import unittest

import test_play as play
from harness import Game, XClient, main, wait_shown

FULL_HD = (1920, 1080)


def doubled(shot, x0, y0, width, height):
    """Whether every 2 x 2 block of the rectangle is one colour."""
    for y in range(y0, y0 + height, 2):
        top = shot.data[(y * shot.width + x0) * 3:(y * shot.width + x0 + width) * 3]
        below = shot.data[((y + 1) * shot.width + x0) * 3:((y + 1) * shot.width + x0 + width) * 3]
        if top != below or any(top[i::6] != top[i + 3::6] for i in range(3)):
            return False
    return True


def open_hall_of_fame(game):
    wait_shown(game)
    game.key("enter")
    game.wait(1.0)
    for _ in range(3):
        game.key("down")
    game.wait(1.0)
    game.key("enter")
    game.wait(1.0)


def start_round(game):
    wait_shown(game)
    play.start_game(game)
    game.wait(5.0)  # past the get-ready pop-ups


def box(area, factor=1, x=0, y=0):
    return tuple(v * factor + (x if i % 2 == 0 else y) for i, v in enumerate(area))


class ScaledWindowTest(unittest.TestCase):
    def test_scaled_window_is_the_picture_doubled_and_named(self):
        with Game("-window") as game:
            open_hall_of_fame(game)
            small = game.screenshot("hall-of-fame-1x")
        with Game("-window", "-scale", "2", screen=FULL_HD) as game:
            self.assertIn("1280x960", game.window_size("1280x960"))
            props = subprocess.run(["xprop", "-id", game.window, "WM_CLASS", "WM_HINTS"],
                                   env=game.env, capture_output=True, text=True).stdout
            self.assertIn('"vexlorn", "Vexlorn"', props)
            self.assertIn("bitmap id # to use for icon", props)
            open_hall_of_fame(game)
            large = game.screenshot("hall-of-fame-2x")
            self.assertTrue(doubled(large, 0, 0, 1280, 960), "not whole 2 x 2 blocks")
            # The table rows stand still: the same pixels as in the 640 x 480 window.
            differ = sum(1 for y in range(140, 440) for x in range(290, 640)
                         if small.pixel(x, y) != large.pixel(2 * x, 2 * y))
            self.assertLess(differ, 100)
            self.assertGreater(len(large.region_colours(580, 280, 1280, 880, 8)), 5)


class FullScreenTest(unittest.TestCase):
    def test_full_screen_doubled_and_centred_and_alt_enter_in_the_middle_of_a_round(self):
        with Game(screen=FULL_HD) as game:
            start_round(game)
            shot = game.screenshot("full-screen")
            self.assertEqual((shot.width, shot.height), FULL_HD)
            self.assertTrue(doubled(shot, 320, 60, 1280, 960), "not whole 2 x 2 blocks")
            black = shot.region_colours(0, 0, 1920, 60, 7) | shot.region_colours(0, 0, 320, 1080, 7)
            black |= shot.region_colours(1600, 0, 1920, 1080, 7)
            black |= shot.region_colours(0, 1020, 1920, 1080, 7)
            self.assertEqual(black, {(0, 0, 0)})
            self.assertGreater(len(shot.region_colours(320, 60, 1600, 1020, 16)), 20)

            game.key("alt+Return", after=1.0)
            self.assertIn("640x480", game.window_size("640x480"))
            before = game.screenshot("windowed-play")
            game.wait(3.0)
            after = game.screenshot("windowed-play-later")
            self.assertGreater(after.differs(before, *play.WHOLE), 200, "play stopped")
            self.assertLess(play.grey_fraction(after, play.LEFT_BOARD), 0.5, "paused")

            game.key("alt+Return", after=1.0)
            before = game.screenshot("full-screen-again")
            game.wait(3.0)
            after = game.screenshot("full-screen-again-later")
            self.assertTrue(doubled(after, 320, 60, 1280, 960))
            self.assertGreater(after.differs(before, 320, 60, 1600, 1020), 800, "play stopped")
            left = box(play.LEFT_BOARD, 2, 320, 60)
            self.assertLess(play.grey_fraction(after, left), 0.5, "paused")
            self.assertEqual(after.pixel(300, 500), (0, 0, 0))
            self.assertTrue(game.running())


class FocusAndCloseTest(unittest.TestCase):
    def test_focus_lost_pauses_play_only_and_the_close_button_saves_and_ends_with_0(self):
        with Game("-window", screen=FULL_HD) as game:
            client = XClient(game.xserver.display)
            try:
                wait_shown(game)
                game.key("enter")
                game.wait(1.0)
                client.take_focus()
                game.wait(1.0)
                menu = game.screenshot("menu-without-focus")
                self.assertLess(play.grey_fraction(menu, play.WHOLE), 0.5)
                game.xdotool("windowfocus", game.window)
                game.key("enter")  # the menu still takes keys: a new game
                game.wait(5.0)
                client.take_focus()
                game.wait(1.0)
                paused = game.screenshot("play-without-focus")
                self.assertGreater(play.grey_fraction(paused, (104, 310, 296, 430)), 0.9,
                                   "no pause when the focus left")
                game.wait(1.0)
                still = game.screenshot("play-without-focus-later")
                self.assertLess(still.differs(paused, 0, 0, 640, 480), 50, "boards moved")
                game.xdotool("windowfocus", game.window)
                game.key("q", after=0.8)
                resumed = game.screenshot("resumed")
                self.assertLess(play.grey_fraction(resumed, play.LEFT_BOARD), 0.5)
                # In play, the close button ends the program through the normal shutdown.
                started = time.time()
                client.close_window(game.window)
                self.assertEqual(game.wait_exit(10), 0)
                self.assertGreater(os.path.getmtime(game.file("vexlorn.hi")), started - 1)
                self.assertEqual(os.listdir(game.cwd), ["vexlorn.hi"])
            finally:
                client.disconnect()


if __name__ == "__main__":
    main()
