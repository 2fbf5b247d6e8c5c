"""The installed game: a DESTDIR install and the Debian package, started as a player would."""

import glob
import os
import shutil
import subprocess
import tempfile
import unittest

from harness import Game, main, quit_through_menu

BUILD = os.environ.get("VEXLORN_BUILD_DIR", "")


class InstallTest(unittest.TestCase):
    def test_installed_command_finds_its_data_from_another_directory(self):
        root = tempfile.mkdtemp(prefix="vexlorn-install-")
        try:
            subprocess.run(["cmake", "--install", BUILD, "--prefix", "/usr"], check=True,
                           env=dict(os.environ, DESTDIR=root), capture_output=True)
            command = os.path.join(root, "usr/games/vexlorn")
            self.assertTrue(os.path.islink(command))
            for name in ("vexlorn", "vexlorn-demo.dat", "vexlorn.url"):
                self.assertTrue(os.path.exists(os.path.join(root, "usr/lib/vexlorn", name)))
            for size in (48, 128, 256):
                icon = os.path.join(root, f"usr/share/icons/hicolor/{size}x{size}/apps/vexlorn.png")
                shape = subprocess.run(["identify", "-format", "%w %h %[channels]", icon],
                                       check=True, capture_output=True, text=True).stdout
                self.assertTrue(shape.startswith(f"{size} {size} srgba"), shape)
            with Game("-window", executable_path=command) as game:
                self.assertEqual(quit_through_menu(game), 0)
                self.assertEqual(os.path.getsize(game.file("vexlorn.hi")), 160)
        finally:
            shutil.rmtree(root, ignore_errors=True)

    def test_desktop_entry_and_man_page_are_valid(self):
        source = os.path.join(os.path.dirname(__file__), "..", "..", "packaging")
        if shutil.which("desktop-file-validate"):
            result = subprocess.run(["desktop-file-validate",
                                     os.path.join(source, "vexlorn.desktop")],
                                    capture_output=True, text=True)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        result = subprocess.run(["man", "--warnings", "-l", os.path.join(source, "vexlorn.6")],
                                capture_output=True, text=True,
                                env=dict(os.environ, MANPAGER="cat", PAGER="cat"))
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stderr.strip(), "")

    def test_install_build_needs_none_of_the_test_packages(self):
        # The README's install commands: with the tests off, configuring must not look for
        # GoogleTest, Google Benchmark or mpg123, so a machine without them builds the game.
        source = os.path.join(os.path.dirname(__file__), "..", "..")
        build = tempfile.mkdtemp(prefix="vexlorn-install-build-")
        try:
            result = subprocess.run(
                ["cmake", "-S", source, "-B", build, "-DVEXLORN_TESTS=OFF",
                 "-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON",
                 "-DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON",
                 "-DCMAKE_DISABLE_FIND_PACKAGE_GoogleTest=ON"],
                capture_output=True, text=True)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            self.assertNotIn("mpg123", result.stdout + result.stderr)
            targets = subprocess.run(["cmake", "--build", build, "--target", "help"],
                                     check=True, capture_output=True, text=True).stdout
            for wanted in ("vexlorn", "vexlorn_data", "install"):
                self.assertIn(f"... {wanted}\n", targets)
            for unwanted in ("vexlorn_tests", "vexlorn_bench", "vexlorn_soak", "vexlorn_headless"):
                self.assertNotIn(unwanted, targets)
        finally:
            shutil.rmtree(build, ignore_errors=True)

    @unittest.skipUnless(os.geteuid() == 0 and shutil.which("dpkg"), "installs a package")
    def test_debian_package_installs_starts_and_removes_cleanly(self):
        if subprocess.run(["dpkg", "-s", "vexlorn"], capture_output=True).returncode == 0:
            self.skipTest("a vexlorn package is already installed here")
        subprocess.run(["cpack", "-G", "DEB"], cwd=BUILD, check=True, capture_output=True)
        packages = glob.glob(os.path.join(BUILD, "vexlorn_*.deb"))
        self.assertEqual(len(packages), 1)
        subprocess.run(["dpkg", "-i", packages[0]], check=True, capture_output=True)
        try:
            with Game("-window", executable_path="/usr/games/vexlorn") as game:
                self.assertEqual(quit_through_menu(game), 0)
                self.assertTrue(os.path.exists(game.file("vexlorn.hi")))
        finally:
            subprocess.run(["dpkg", "-r", "vexlorn"], check=True, capture_output=True)
        for path in ("/usr/games/vexlorn", "/usr/lib/vexlorn",
                     "/usr/share/applications/vexlorn.desktop",
                     "/usr/share/man/man6/vexlorn.6.gz"):
            self.assertFalse(os.path.lexists(path), path)


if __name__ == "__main__":
    main()
