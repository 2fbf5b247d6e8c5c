"""The program's window, its options and its exit, as a player meets them."""

import os
import stat
import unittest

from harness import Game, close_to, main, quit_through_menu


class FrameWindowTest(unittest.TestCase):
    def test_window_fps_and_exit_from_the_menu(self):
        with Game("-window", "-fps") as game:
            self.assertIn("640x480", game.window_size())
            game.wait(1.5)  # the pass-rate figure is 0 during the first second
            shot = game.screenshot("fps")
            white = [shot.pixel(x, y) for y in range(0, 8) for x in range(0, 64)]
            self.assertTrue(any(close_to(p, (255, 255, 255), 2) for p in white),
                            "no white FPS text in the top-left corner")
            self.assertEqual(quit_through_menu(game), 0)
            path = game.file("vexlorn.hi")
            self.assertTrue(os.path.exists(path))
            self.assertEqual(os.path.getsize(path), 160)

    def test_option_case_is_ignored(self):
        with Game("-WINDOW") as game:
            self.assertIn("640x480", game.window_size())
            self.assertEqual(quit_through_menu(game), 0)

    def test_read_only_working_directory_still_exits_cleanly(self):
        with Game("-window") as game:
            os.chmod(game.cwd, stat.S_IRUSR | stat.S_IXUSR)
            try:
                self.assertEqual(quit_through_menu(game), 0)
                if os.geteuid() != 0:
                    self.assertFalse(os.path.exists(game.file("vexlorn.hi")))
            finally:
                os.chmod(game.cwd, stat.S_IRWXU)

    def test_no_display_fails_cleanly(self):
        with Game("-window", env={"DISPLAY": ":999"}, wait_window=False) as game:
            code = game.wait_exit()
            self.assertEqual(code, 255)  # -1 as an exit status
            self.assertIn("Unable to set graphics mode", game.output() + game.messages())
            self.assertFalse(os.path.exists(game.file("vexlorn.hi")))


if __name__ == "__main__":
    main()
