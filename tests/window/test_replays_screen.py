"""The recordings page in the real window: R at the menu opens it, the kept recordings are listed
newest first, Enter plays one with the viewer's mark and Esc comes back to the list, K keeps one
for good, Delete asks before it removes."""

import os
import shutil
import time
import unittest

from harness import Game, main, wait_shown

GOLDEN = os.path.join(os.path.dirname(__file__), "..", "data", "replays")
MARK = (560, 4, 640, 20)
QUESTION = (150, 180, 490, 280)
NAMES = ["2026-12-10_14-15-01_000.vxr", "2026-12-10_14-16-01_000.vxr",
         "2026-12-10_14-17-01_000.vxr"]


def marked(shot):
    return (255, 255, 255) in shot.region_colours(*MARK)


class ReplaysScreenTest(unittest.TestCase):
    def test_lists_plays_keeps_and_removes(self):
        with Game("-window") as game:
            folder = os.path.join(game.cwd, "replays")
            os.makedirs(folder, mode=0o700)
            # The newest is the last written, whatever its name says.
            now = time.time()
            for age, name in enumerate(NAMES):
                path = os.path.join(folder, name)
                shutil.copyfile(os.path.join(GOLDEN, "level1-won-late.vxr"), path)
                os.utime(path, (now - 100 + age, now - 100 + age))
            wait_shown(game)
            game.key("enter")
            game.wait(1.0)
            menu = game.screenshot("menu")
            game.key("r", after=1.0)
            listed = game.screenshot("replays-list")
            self.assertTrue(listed.differs(menu), "R at the menu opened nothing")
            self.assertFalse(marked(listed))

            game.key("enter", after=2.0)
            watching = game.screenshot("replays-watching")
            self.assertTrue(marked(watching), "no REPLAY mark while watching")
            game.key("esc", after=1.0)
            back = game.screenshot("replays-back")
            self.assertTrue(game.running(), "Esc while watching ended the game")
            self.assertFalse(marked(back))
            self.assertFalse(back.differs(listed, 0, 0, 640, 60), "not back on the list")

            # K on the newest keeps it for good.
            game.key("k", after=0.6)
            self.assertTrue(os.path.exists(os.path.join(folder, "kept-" + NAMES[2])))
            # Delete on the second asks first; N keeps it, Y removes it.
            game.key("down", after=0.4)
            game.key("Delete", after=0.6)
            asked = game.screenshot("replays-question")
            self.assertTrue(asked.differs(back, *QUESTION), "no question before removing")
            game.key("n", after=0.6)
            self.assertTrue(os.path.exists(os.path.join(folder, NAMES[1])))
            game.key("Delete", after=0.6)
            game.key("y", after=0.6)
            self.assertFalse(os.path.exists(os.path.join(folder, NAMES[1])))
            self.assertEqual(sorted(os.listdir(folder)), [NAMES[0], "kept-" + NAMES[2]])

            game.key("esc", after=1.0)
            self.assertTrue(game.running())
            self.assertFalse(game.screenshot("menu-again").differs(menu, 0, 100, 640, 460),
                             "Esc on the list did not return to the menu")


if __name__ == "__main__":
    main()
