"""The whole way by pad alone: intro, menu, about page, a round, pause, a pad pulled out."""

import tempfile
import unittest

from harness import Game, ScriptedPad, main, wait_shown
from test_play import LEFT_BOARD, WHOLE, changed, grey_fraction

NEW_SCREEN = 640 * 480 // 4
BELOW_PAUSE_PICTURE = (104, 310, 296, 430)


class PadWindowTest(unittest.TestCase):
    def test_intro_about_page_and_a_round_by_pad(self):
        pad = ScriptedPad()
        self.addCleanup(pad.close)
        config = tempfile.TemporaryDirectory()  # no mapping file of the machine's own
        self.addCleanup(config.cleanup)
        with Game("-window", env={**pad.env, "XDG_CONFIG_HOME": config.name}) as game:
            wait_shown(game)
            pad.press("a", after=1.0)
            menu = game.screenshot("pad-menu")
            for _ in range(3):
                pad.press("dpdown")
            pad.send("lefty 30000")  # the stick steps too
            game.wait(0.1)
            pad.send("lefty 0")
            game.wait(1.0)
            pad.press("a", after=1.0)
            about = game.screenshot("pad-about")
            self.assertGreater(about.differs(menu), NEW_SCREEN, "the about page did not open")

            pad.press("a", after=1.0)
            for _ in range(4):
                pad.press("dpup")
            game.wait(1.0)
            self.assertLess(changed(menu, game.screenshot("pad-menu-again"), WHOLE), 2000,
                            "not back on the menu's first item")
            pad.press("a", after=5.0)  # past the get-ready pop-ups
            before = game.screenshot("pad-before-move")
            pad.press("dpup", after=0.3)
            pad.press("dpright", after=0.3)
            moved = game.screenshot("pad-moved")
            self.assertGreater(changed(before, moved, LEFT_BOARD), 1000, "the avatar did not move")

            pad.press("start", after=0.5)
            paused = game.screenshot("pad-paused")
            self.assertGreater(grey_fraction(paused, BELOW_PAUSE_PICTURE), 0.9, "Start did not pause")
            pad.press("a", after=0.5)
            self.assertLess(grey_fraction(game.screenshot("pad-resumed"), LEFT_BOARD), 0.5,
                            "A did not resume")

            pad.send("unplug")
            game.wait(0.8)
            self.assertGreater(grey_fraction(game.screenshot("pad-pulled-out"), BELOW_PAUSE_PICTURE), 0.9,
                               "pulling the pad out did not pause")
            pad.send("plug")
            game.wait(0.8)
            pad.press("a", after=0.5)
            self.assertLess(grey_fraction(game.screenshot("pad-plugged-in"), LEFT_BOARD), 0.5,
                            "the pad plugged in again did not resume")

            pad.press("b", after=1.0)
            back = game.screenshot("pad-back-to-menu")
            self.assertLess(changed(menu, back, (0, 0, 640, 100)), 2000, "B did not leave the round")
            self.assertTrue(game.running())


if __name__ == "__main__":
    main()
