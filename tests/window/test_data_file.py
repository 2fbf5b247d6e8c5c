"""The data file beside the program: found from any working directory, and refused with a
message and exit status -1, before any screen and without touching the hall of fame, when it is
missing or damaged."""

import os
import shutil
import struct
import tempfile
import unittest

from harness import Game, executable, main

HALL_OF_FAME = bytes(range(160))


class DataFileWindowTest(unittest.TestCase):
    def setUp(self):
        # A copy of the program in a folder of its own, away from the build's data file.
        self.folder = tempfile.mkdtemp(prefix="vexlorn-install-")
        self.program = os.path.join(self.folder, "vexlorn")
        shutil.copy2(executable(), self.program)
        self.data_path = os.path.join(self.folder, "vexlorn-demo.dat")
        built = os.path.join(os.path.dirname(os.path.abspath(executable())), "vexlorn-demo.dat")
        with open(built, "rb") as data:
            self.data = data.read()

        self.work = tempfile.mkdtemp(prefix="vexlorn-work-")

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)
        shutil.rmtree(self.work, ignore_errors=True)

    def write_data(self, data):
        with open(self.data_path, "wb") as out:
            out.write(data)

    def refused(self, *reason):
        with open(os.path.join(self.work, "vexlorn.hi"), "wb") as out:
            out.write(HALL_OF_FAME)
        with Game("-window", executable_path=self.program, cwd=self.work,
                  wait_window=False) as game:
            self.assertEqual(game.wait_exit(), 255)  # -1 as an exit status
            message = game.output() + game.messages()
            self.assertIn(self.data_path, message)
            for words in reason:
                self.assertIn(words, message)
            self.assertEqual(game.xdotool("search", "--name", "^Vexlorn$"), "")
            with open(game.file("vexlorn.hi"), "rb") as kept:
                self.assertEqual(kept.read(), HALL_OF_FAME)

    def test_found_beside_the_program_from_another_directory(self):
        self.write_data(self.data)
        with Game("-window", executable_path=self.program, cwd=self.work) as game:
            game.wait(0.5)
            game.key("enter")  # the menu
            game.wait(0.8)
            for _ in range(6):  # down to its last row, the exit
                game.key("down")
            game.wait(1.0)
            game.key("enter")
            self.assertEqual(game.wait_exit(), 0)
            self.assertEqual(os.path.getsize(game.file("vexlorn.hi")), 160)
            self.assertFalse(os.path.exists(os.path.join(self.folder, "vexlorn.hi")))

    def test_missing_file_is_refused(self):
        self.refused("is missing")

    def test_data_folder_that_cannot_be_entered_is_refused(self):
        # A file where the game's folder should be: no hall of fame may land anywhere else.
        self.write_data(self.data)
        data_home = os.path.join(self.work, "data")
        os.makedirs(data_home)
        with open(os.path.join(data_home, "vexlorn"), "wb") as blocker:
            blocker.write(b"not a folder")
        with Game("-xdg-data", executable_path=self.program, cwd=self.work,
                  env={"XDG_DATA_HOME": data_home}, wait_window=False) as game:
            self.assertEqual(game.wait_exit(), 255)
            self.assertIn("cannot be made or entered", game.output() + game.messages())
            self.assertEqual(game.xdotool("search", "--name", "^Vexlorn$"), "")
        self.assertFalse(os.path.exists(os.path.join(self.work, "vexlorn.hi")))

    def test_file_cut_after_its_object_count_is_refused(self):
        self.assertEqual(self.data[:8], b"slh.ALL.")
        self.write_data(self.data[:12])
        self.refused("is damaged", "ends after 0 of them")

    def test_count_larger_than_the_objects_is_refused(self):
        count = struct.unpack(">i", self.data[8:12])[0]
        self.write_data(self.data[:8] + struct.pack(">i", count + 1) + self.data[12:])
        self.refused("is damaged", f"announces {count + 1} objects")

    def test_file_cut_in_the_middle_is_refused(self):
        self.write_data(self.data[:len(self.data) // 2])
        self.refused("is damaged")


if __name__ == "__main__":
    main()
