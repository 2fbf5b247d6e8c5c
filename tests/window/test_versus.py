"""Two players at one computer: the set-up from the menu, both wells by their own keys or pads,
pause, a round to its end with the tally, and back to the menu."""

import glob
import os
import tempfile
import time
import unittest

from harness import Game, ScriptedPad, XClient, main, wait_shown
from test_play import LEFT_BOARD, RIGHT_BOARD, WHOLE, changed, grey_fraction
from test_replay import WELLS, play

# The avatar's antenna tip is the one place of this yellow in a well.
ANTENNA = (255, 220, 60)
NEW_SCREEN = 640 * 480 // 4
BELOW_HINTS = (110, 380, 290, 428)
TALLY = (250, 120, 390, 166)


def avatar_x(shot, box):
    x0, y0, x1, y1 = box
    xs = [x for y in range(y0, y1) for x in range(x0, x1)
          if all(abs(a - b) <= 12 for a, b in zip(shot.pixel(x, y), ANTENNA))]
    return sum(xs) / len(xs) if xs else None


def open_setup(game):
    wait_shown(game)
    game.key("enter")  # the intro opens the menu
    game.wait(1.5)
    menu = game.screenshot("menu")
    return menu


class VersusWindowTest(unittest.TestCase):
    def test_two_key_sets_play_a_round_to_its_tally_and_back_to_the_menu(self):
        with Game("-window") as game:
            menu = open_setup(game)
            game.key("2", after=1.0)
            setup = game.screenshot("setup")
            self.assertGreater(setup.differs(menu), NEW_SCREEN, "the key 2 did not open the set-up")
            game.key("enter")  # the arrow keys take the left seat
            for _ in range(4):
                game.key("right")  # and level 5, to end the round soon
            game.key("w", after=0.5)  # the second set takes the right seat
            seated = game.screenshot("seated")
            self.assertGreater(changed(setup, seated, LEFT_BOARD), 2000, "no seat taken on the left")
            self.assertGreater(changed(setup, seated, RIGHT_BOARD), 2000, "no seat taken on the right")
            game.key("enter", after=4.5)  # past the get-ready pop-ups

            start = game.screenshot("versus-start")
            left0, right0 = avatar_x(start, LEFT_BOARD), avatar_x(start, RIGHT_BOARD)
            self.assertIsNotNone(left0, "no avatar in the left well")
            self.assertIsNotNone(right0, "no avatar in the right well")
            game.key("left", after=0.4)
            moved = game.screenshot("versus-left-moved")
            self.assertLess(avatar_x(moved, LEFT_BOARD), left0 - 20, "the arrows did not move the left avatar")
            self.assertAlmostEqual(avatar_x(moved, RIGHT_BOARD), right0, delta=4,
                                   msg="the arrows moved the right avatar")
            game.key("d", after=0.4)
            both = game.screenshot("versus-right-moved")
            self.assertGreater(avatar_x(both, RIGHT_BOARD), right0 + 20, "D did not move the right avatar")
            self.assertAlmostEqual(avatar_x(both, LEFT_BOARD), avatar_x(moved, LEFT_BOARD), delta=4,
                                   msg="D moved the left avatar")

            game.key("p", after=0.5)
            paused = game.screenshot("versus-paused")
            self.assertGreater(grey_fraction(paused, (104, 310, 296, 430)), 0.9, "P did not pause")
            self.assertGreater(grey_fraction(paused, (345, 310, 537, 430)), 0.9, "P did not pause both")
            game.key("q", after=0.5)
            self.assertLess(grey_fraction(game.screenshot("versus-resumed"), LEFT_BOARD), 0.5)

            # The left well rises at level 5 and tops out long before the right one.
            deadline = time.monotonic() + 90
            end = None
            while time.monotonic() < deadline:
                shot = game.screenshot("versus-waiting")
                if grey_fraction(shot, BELOW_HINTS) > 0.9 and grey_fraction(shot, (350, 380, 530, 428)) > 0.9:
                    end = shot
                    break
                game.wait(1.0)
            self.assertIsNotNone(end, "the round never ended")
            game.wait(0.5)
            end = game.screenshot("versus-round-end")
            tally = sum(1 for y in range(TALLY[1], TALLY[3]) for x in range(TALLY[0], TALLY[2])
                        if len(set(end.pixel(x, y))) > 1 and max(end.pixel(x, y)) - min(end.pixel(x, y)) > 30)
            self.assertGreater(tally, 100, "no tally over the greyed round")

            game.key("esc", after=1.0)
            back = game.screenshot("versus-back-to-menu")
            self.assertLess(changed(menu, back, (0, 0, 640, 100)), 2000, "not back on the menu")
            self.assertTrue(game.running())

    def test_a_second_pad_opens_the_set_up_takes_the_right_seat_and_moves_the_right_avatar(self):
        pad = ScriptedPad()
        self.addCleanup(pad.close)
        with Game("-window", env=pad.env) as game:
            menu = open_setup(game)
            pad.send("2 plug")
            game.wait(0.5)
            pad.press("2 start", after=1.0)
            setup = game.screenshot("pad-setup")
            self.assertGreater(setup.differs(menu), NEW_SCREEN, "Start on a second pad did not open the set-up")
            game.key("enter")
            pad.press("2 a", after=0.5)
            game.key("enter", after=4.5)
            start = game.screenshot("pad-versus-start")
            left0, right0 = avatar_x(start, LEFT_BOARD), avatar_x(start, RIGHT_BOARD)
            self.assertIsNotNone(right0, "no round started")
            pad.press("2 dpright", after=0.4)
            moved = game.screenshot("pad-versus-moved")
            self.assertGreater(avatar_x(moved, RIGHT_BOARD), right0 + 20, "the second pad did not move the right avatar")
            self.assertAlmostEqual(avatar_x(moved, LEFT_BOARD), left0, delta=4,
                                   msg="the second pad moved the left avatar")
            pad.press("dpleft", after=0.4)  # the first pad has no seat: it moves nothing
            self.assertAlmostEqual(avatar_x(game.screenshot("pad-versus-unseated"), LEFT_BOARD), left0,
                                   delta=4, msg="a pad without a seat moved the left avatar")
            pad.press("2 start", after=0.5)
            self.assertGreater(grey_fraction(game.screenshot("pad-versus-paused"), (104, 310, 296, 430)),
                               0.9, "Start on the seated pad did not pause")
            self.assertTrue(game.running())

    def test_a_recorded_round_of_a_match_replays_to_its_recorded_wells(self):
        with Game("-window", "-versus") as game:
            wait_shown(game)
            game.key("enter")
            game.key("w")
            game.key("enter", after=2.8)  # the get-ready screen
            for name in ("up", "w", "left", "a", "up", "d", "right", "s"):
                game.key(name, after=0.3)
            time.sleep(8)  # a round shorter than 10 s is not kept
            game.key("p", after=1.5)
            paused = game.screenshot("versus-recorded-paused")
            client = XClient(game.xserver.display)
            client.close_window(game.window)
            client.disconnect()
            self.assertEqual(game.wait_exit(), 0)
            files = glob.glob(os.path.join(game.cwd, "replays", "*.vxr"))
            self.assertEqual(len(files), 1, f"recordings kept: {files}")
            folder = tempfile.mkdtemp(prefix="vexlorn-versus-replay-")
            path = os.path.join(folder, "match.vxr")
            with open(files[0], "rb") as recording, open(path, "wb") as out:
                out.write(recording.read())
        status, output, last = play(path, shots=True)
        self.assertEqual(status, 0, output)
        self.assertIn("ended as recorded", output)
        self.assertIsNotNone(last)
        self.assertEqual(paused.differs(last, *WELLS), 0, f"the replay's last picture differs: {last.path}")

    def test_two_computers_play_to_be_watched_and_esc_returns_to_the_set_up(self):
        with Game("-window", "-versus") as game:
            wait_shown(game)
            game.wait(0.5)
            game.key("c", after=0.3)  # the left seat's computer, at strength 3
            game.key("c", after=0.3)  # and the right's
            game.key("c", after=0.5)  # the right one's strength: 4
            setup = game.screenshot("computers-setup")
            game.key("enter", after=4.5)  # past the get-ready pop-ups
            first = game.screenshot("computers-playing")
            self.assertGreater(changed(setup, first, LEFT_BOARD), 2000, "Enter did not start the match")
            for name in ("p", "space", "enter", "left", "w"):
                game.key(name, after=0.2)
            game.wait(1.0)
            later = game.screenshot("computers-later")
            self.assertLess(grey_fraction(later, LEFT_BOARD), 0.5, "a key paused the match")
            self.assertGreater(changed(first, later, LEFT_BOARD), 500, "the left computer did not play")
            self.assertGreater(changed(first, later, RIGHT_BOARD), 500, "the right computer did not play")
            game.key("esc", after=1.0)
            back = game.screenshot("computers-back")
            self.assertEqual(back.differs(setup), 0, f"Esc did not return to the set-up: {back.path}")


if __name__ == "__main__":
    main()
