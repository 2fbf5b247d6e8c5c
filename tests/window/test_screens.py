"""Intro, menu, information, order and hall-of-fame screens, driven through complete flows."""

import os
import shutil
import struct
import tempfile
import time
import unittest

from harness import Game, main, wait_shown

# Pixels a screen must change to count as a different screen, and may change to count as the same.
WHOLE = 640 * 480
NEW_SCREEN = WHOLE // 4
SAME_SCREEN = WHOLE // 200

# Menu rows, counted from "O N E   P L A Y E R" at the top.
ONE_PLAYER, INSTRUCTIONS, ORDER, HALL_OF_FAME, ABOUT, MUSIC, EXIT = range(7)


def open_menu(game):
    wait_shown(game)
    game.key("enter")
    game.wait(0.8)


def move_to(game, row, current=0):
    for _ in range((row - current) % 7):
        game.key("down")
    game.wait(1.0)  # the released item has shrunk back long before this


def hall_of_fame_file(rows):
    """The 160-byte table: per row a little-endian int16 level, 10 name bytes, int32 score."""
    return b"".join(struct.pack("<h10si", level, name.encode(), score)
                    for level, name, score in rows)


class IntroWindowTest(unittest.TestCase):
    def test_attract_loop_runs_through_its_pictures(self):
        with Game("-window") as game:
            black = game.screenshot("intro-black")
            self.assertEqual(black.region_colours(0, 0, 640, 480, step=7), {(0, 0, 0)})
            # The title starts fading in from black at tick 60, 1.2 s into the loop.
            wait_shown(game)
            start = time.monotonic() - 1.3

            def shot_at(seconds, name):
                game.wait(max(0.0, start + seconds - time.monotonic()))
                return game.screenshot(name)

            # Ticks t run at 50 a second, and t leaps from 121 to 241: real second s shows
            # t = 50 s before the leap and 50 s + 120 after it.
            title = shot_at(3.0, "intro-title")
            backdrop = shot_at(10.2, "intro-logo")  # t = 630: logo held at full strength
            about = shot_at(21.0, "intro-about")
            table = shot_at(41.4, "intro-hall-of-fame")
            for a, b in ((black, title), (title, backdrop), (backdrop, about), (about, table)):
                self.assertGreater(a.differs(b), NEW_SCREEN, f"{a.path} looks like {b.path}")

            game.key("enter")
            game.wait(0.8)
            menu = game.screenshot("menu")
            self.assertGreater(menu.differs(table), NEW_SCREEN)
            # The hall of fame opened from the menu is the table the intro showed, bar the logo.
            move_to(game, HALL_OF_FAME)
            game.key("enter")
            game.wait(0.8)
            opened = game.screenshot("hall-of-fame-from-menu")
            self.assertLess(opened.differs(table), WHOLE // 5)
            self.assertGreater(opened.differs(menu), NEW_SCREEN)

    def test_other_keys_leave_the_intro_running(self):
        with Game("-window") as game:
            wait_shown(game)
            for name in ("esc", "up", "p"):
                game.key(name)
            game.wait(0.8)
            title = game.screenshot("intro-after-other-keys")
            game.wait(4.0)
            later = game.screenshot("intro-still-running")
            self.assertGreater(later.differs(title), NEW_SCREEN, "the intro stopped")
            game.key("space")
            game.wait(0.8)
            menu = game.screenshot("menu-from-space")
            game.wait(1.5)
            # The menu stands still where the intro would have moved on.
            self.assertLess(game.screenshot("menu-still").differs(menu), SAME_SCREEN)
            self.assertGreater(menu.differs(later), 5000)


class MenuWindowTest(unittest.TestCase):
    def test_each_item_opens_its_screen_and_returns_to_the_same_menu(self):
        with Game("-window") as game:
            open_menu(game)
            current = 0
            for row, name, back_keys in ((INSTRUCTIONS, "instructions", ["enter"]),
                                         (ORDER, "order", ["right", "enter"]),
                                         (HALL_OF_FAME, "hall-of-fame", ["space"]),
                                         (ABOUT, "about", ["enter"])):
                move_to(game, row, current)
                current = row
                menu = game.screenshot(f"menu-at-{name}")
                game.key("enter")
                game.wait(0.8)
                page = game.screenshot(name)
                self.assertGreater(page.differs(menu), NEW_SCREEN, name)
                for key in back_keys:
                    game.key(key)
                game.wait(1.0)
                back = game.screenshot(f"menu-after-{name}")
                self.assertLess(back.differs(menu), SAME_SCREEN, f"back from {name}")
            self.assertTrue(game.running())

    def test_music_item_switches_its_label_and_back(self):
        with Game("-window") as game:
            open_menu(game)
            move_to(game, MUSIC)
            on = game.screenshot("menu-music-on")
            game.key("enter")
            game.wait(0.4)
            off = game.screenshot("menu-music-off")
            # Only the label in row 5 changes (centred at y 390).
            self.assertGreater(off.differs(on, 200, 370, 600, 410), 50)
            self.assertLess(off.differs(on, 0, 0, 640, 365), SAME_SCREEN)
            game.key("enter")
            game.wait(0.4)
            self.assertLess(game.screenshot("menu-music-on-again").differs(on), SAME_SCREEN)

    def test_exit_ends_with_0_and_writes_the_hall_of_fame(self):
        with Game("-window") as game:
            open_menu(game)
            game.key("up")
            game.wait(0.5)
            game.screenshot("menu-at-exit")
            game.key("enter")
            self.assertEqual(game.wait_exit(), 0)
            self.assertEqual(os.path.getsize(game.file("vexlorn.hi")), 160)

    def test_new_game_and_escape_back_to_the_menu(self):
        with Game("-window") as game:
            open_menu(game)
            menu = game.screenshot("menu-at-one-player")
            game.key("enter")
            game.wait(1.0)
            ready = game.screenshot("game-get-ready")
            self.assertGreater(ready.differs(menu), NEW_SCREEN)
            game.wait(3.0)
            game.screenshot("game-playing")
            game.key("esc")
            game.wait(1.0)
            back = game.screenshot("menu-after-game")
            self.assertLess(back.differs(menu), SAME_SCREEN)
            self.assertTrue(game.running())


class HallOfFameWindowTest(unittest.TestCase):
    def hall_of_fame(self, prepared=None):
        work = tempfile.mkdtemp(prefix="vexlorn-hi-")
        if prepared is not None:
            with open(os.path.join(work, "vexlorn.hi"), "wb") as out:
                out.write(prepared)
        with Game("-window", cwd=work) as game:
            open_menu(game)
            move_to(game, HALL_OF_FAME)
            game.key("enter")
            game.wait(0.8)
            shot = game.screenshot("hall-of-fame-prepared" if prepared else "hall-of-fame-built-in")
            game.key("enter")
            game.wait(0.5)
            move_to(game, EXIT, HALL_OF_FAME)
            game.key("enter")
            self.assertEqual(game.wait_exit(), 0)
            with open(game.file("vexlorn.hi"), "rb") as saved:
                written = saved.read()
        shutil.rmtree(work, ignore_errors=True)
        return shot, written

    def test_prepared_file_is_shown_and_kept(self):
        prepared = hall_of_fame_file([(5 - r // 2, "ZQX"[: 1 + r % 3], 90000 - 7000 * r)
                                      for r in range(10)])
        built_in, _ = self.hall_of_fame()
        shown, written = self.hall_of_fame(prepared)
        # The ten rows lie between y 140 and 440 from x 290 on.
        self.assertGreater(shown.differs(built_in, 290, 140, 640, 440), 500)
        self.assertLess(shown.differs(built_in, 0, 0, 280, 130), SAME_SCREEN)
        self.assertEqual(written, prepared)


class OrderWindowTest(unittest.TestCase):
    def open_order(self, game):
        """Opens the order page; returns the menu as it looked just before."""
        open_menu(game)
        move_to(game, ORDER)
        menu = game.screenshot("menu-at-order")
        game.key("enter")
        game.wait(0.8)
        return menu

    def test_visit_hands_the_link_files_web_address_to_xdg_open(self):
        with Game("-window") as game:
            record = os.path.join(game.tmp, "xdg-open-record")
            game.add_command("xdg-open",
                             f'{{ echo "$#"; printf "%s\\n" "$@"; pwd; }} > "{record}.part"\n'
                             f'mv "{record}.part" "{record}"\n')
            menu = self.open_order(game)
            visit = game.screenshot("order-visit")
            game.key("left")  # Left on the first choice selects the second
            game.wait(0.3)
            back = game.screenshot("order-back")
            self.assertGreater(back.differs(visit), 100)
            self.assertLess(back.differs(visit), WHOLE // 10)
            game.key("right")
            game.wait(0.3)
            self.assertLess(game.screenshot("order-visit-again").differs(visit), SAME_SCREEN)
            game.key("enter")
            deadline = time.monotonic() + 5
            while not os.path.exists(record) and time.monotonic() < deadline:
                time.sleep(0.05)
            # No link file in the working directory: the one beside the program is read.
            with open(record) as text:
                self.assertEqual(text.read().splitlines(),
                                 ["1", "https://vexlorn.example.org/", game.cwd])
            game.wait(1.0)
            self.assertLess(game.screenshot("menu-after-order").differs(menu), SAME_SCREEN)
            self.assertTrue(game.running())

    def test_refused_address_hands_nothing_to_xdg_open(self):
        # The desktop's handler for a link file would open its refused address itself.
        with Game("-window") as game:
            record = os.path.join(game.tmp, "xdg-open-record")
            game.add_command("xdg-open", f'printf "%s\\n" "$@" > "{record}"\n')
            with open(game.file("vexlorn.url"), "w") as link:
                link.write("[InternetShortcut]\nURL=javascript:alert(1)\n")
            self.open_order(game)
            game.key("enter")
            game.wait(2.0)
            self.assertFalse(os.path.exists(record), "the link file was handed on")
            self.assertTrue(game.running())

    def test_missing_xdg_open_changes_nothing(self):
        # A PATH with only the tools the harness itself runs through the game's environment.
        tools = tempfile.mkdtemp(prefix="vexlorn-path-")
        for tool in ("xdotool", "import"):
            os.symlink(shutil.which(tool), os.path.join(tools, tool))
        with Game("-window", env={"PATH": tools}) as game:
            menu = self.open_order(game)
            game.key("enter")
            game.wait(1.0)
            self.assertTrue(game.running())
            after = game.screenshot("menu-after-order-without-opener")
            self.assertLess(after.differs(menu), SAME_SCREEN)
        shutil.rmtree(tools)


if __name__ == "__main__":
    main()
