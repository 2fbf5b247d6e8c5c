"""The installed game: a DESTDIR install and the Debian package, started as a player would."""

import configparser
import glob
import os
import re
import shlex
import shutil
import stat
import subprocess
import tempfile
import time
import unittest

import test_screens as screens
from harness import Game, main, quit_through_menu

BUILD = os.environ.get("VEXLORN_BUILD_DIR", "")
APP_ID = "org.example.vexlorn"


def read(path):
    with open(path, "rb") as data:
        return data.read()


def write(path, data):
    with open(path, "wb") as out:
        out.write(data)


class InstallTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="vexlorn-install-")
        subprocess.run(["cmake", "--install", BUILD, "--prefix", "/usr"], check=True,
                       env=dict(os.environ, DESTDIR=cls.root), capture_output=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root, ignore_errors=True)

    def staged(self, path):
        return os.path.join(self.root, "usr", path)

    def test_installed_command_finds_its_data_from_another_directory(self):
        command = self.staged("games/vexlorn")
        self.assertTrue(os.path.islink(command))
        for name in ("vexlorn", "vexlorn-demo.dat", "vexlorn.url"):
            self.assertTrue(os.path.exists(self.staged("lib/vexlorn/" + name)))
        for size in (48, 128, 256):
            icon = self.staged(f"share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png")
            shape = subprocess.run(["identify", "-format", "%w %h %[channels]", icon],
                                   check=True, capture_output=True, text=True).stdout
            self.assertTrue(shape.startswith(f"{size} {size} srgba"), shape)
        with Game("-window", executable_path=command) as game:
            self.assertEqual(quit_through_menu(game), 0)
            self.assertEqual(os.path.getsize(game.file("vexlorn.hi")), 160)

    def launch_from_desktop(self, home, xdg_data_home=None):
        """Runs the entry's Exec line from `home`, as a launcher does, and quits from the menu."""
        entry = configparser.ConfigParser(interpolation=None)
        entry.read(self.staged(f"share/applications/{APP_ID}.desktop"))
        words = [w for w in shlex.split(entry["Desktop Entry"]["Exec"]) if not w.startswith("%")]
        command = shutil.which(words[0], path=self.staged("games"))
        with Game(*words[1:], executable_path=command, cwd=home,
                  env={"HOME": home, "XDG_DATA_HOME": xdg_data_home}) as game:
            self.assertEqual(quit_through_menu(game), 0)

    def test_desktop_launch_keeps_the_hall_of_fame_under_xdg_data_home(self):
        home = tempfile.mkdtemp(prefix="vexlorn-home-")
        loose = os.path.join(home, "vexlorn.hi")
        kept = os.path.join(home, ".local/share/vexlorn/vexlorn.hi")
        try:
            self.launch_from_desktop(home)
            self.assertEqual(os.path.getsize(kept), 160)
            self.assertFalse(os.path.exists(loose))
            self.assertEqual(stat.S_IMODE(os.stat(os.path.dirname(kept)).st_mode), 0o700)
            # An earlier install's table in the home directory moves in, bytes unchanged.
            earlier = screens.hall_of_fame_file([(3, "OLD", 9000 - r) for r in range(10)])
            os.remove(kept)
            write(loose, earlier)
            self.launch_from_desktop(home)
            self.assertEqual(read(kept), earlier)
            self.assertFalse(os.path.exists(loose))
            # With both present neither changes.
            other = screens.hall_of_fame_file([(2, "TWO", 500 - r) for r in range(10)])
            write(loose, other)
            self.launch_from_desktop(home)
            self.assertEqual((read(kept), read(loose)), (earlier, other))
            # XDG_DATA_HOME naming a directory that is not there yet.
            self.launch_from_desktop(home, os.path.join(home, "new/data"))
            self.assertEqual(os.path.getsize(os.path.join(home, "new/data/vexlorn/vexlorn.hi")),
                             160)
        finally:
            shutil.rmtree(home, ignore_errors=True)

    def test_order_page_hands_the_address_of_the_link_file_it_finds(self):
        installed = read(self.staged("lib/vexlorn/vexlorn.url")).decode()
        installed_url = installed.split("URL=")[1].split()[0]
        with Game("-window", executable_path=self.staged("games/vexlorn")) as game:
            record = os.path.join(game.tmp, "xdg-open-record")
            game.add_command("xdg-open", f'printf "%s\\n" "$@" > "{record}.part"\n'
                                         f'mv "{record}.part" "{record}"\n')
            screens.open_menu(game)
            screens.move_to(game, screens.ORDER)

            def visit(link_file=None):
                """The arguments xdg-open gets from a visit with this link file in the game's
                working directory (none: only the installed one)."""
                if link_file is not None:
                    write(game.file("vexlorn.url"), link_file.encode())
                elif os.path.exists(game.file("vexlorn.url")):
                    os.remove(game.file("vexlorn.url"))
                game.key("enter")
                game.wait(0.8)
                game.key("enter")
                deadline = time.monotonic() + 3
                while not os.path.exists(record) and time.monotonic() < deadline:
                    time.sleep(0.05)
                game.wait(0.8)
                if not os.path.exists(record):
                    return None
                arguments = read(record).decode().splitlines()
                os.remove(record)
                return arguments

            self.assertEqual(visit(), [installed_url])
            own = "[InternetShortcut]\r\nURL=https://own.example.net/page\r\n"
            self.assertEqual(visit(own), ["https://own.example.net/page"])
            # Without an address the link file itself goes to the desktop; a refused address
            # hands nothing, since the desktop's handler would open it unchecked.
            self.assertEqual(visit("[InternetShortcut]\n"), ["vexlorn.url"])
            for refused in ("URL=javascript:alert(1)\n", "URL=file:///etc/passwd\n",
                            "URL=https://a.org/" + "x" * 3000, "URL=https://a.org/\x1b[2J\n"):
                self.assertIsNone(visit(refused), refused)
            self.assertTrue(game.running())

    def test_desktop_entry_listing_and_man_page_are_valid(self):
        for check in (["desktop-file-validate", f"share/applications/{APP_ID}.desktop"],
                      ["appstreamcli", "validate", "--no-net", f"share/metainfo/{APP_ID}.metainfo.xml"]):
            if not shutil.which(check[0]):
                self.skipTest(f"{check[0]} is not installed")
            result = subprocess.run(check[:-1] + [self.staged(check[-1])],
                                    capture_output=True, text=True)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        result = subprocess.run(["man", "--warnings", "-l", self.staged("share/man/man6/vexlorn.6")],
                                capture_output=True, text=True,
                                env=dict(os.environ, MANPAGER="cat", PAGER="cat"))
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stderr.strip(), "")
        # Every option the program reads, in the synopsis and with a paragraph of its own.
        source = os.path.join(os.path.dirname(__file__), "..", "..")
        parser = read(os.path.join(source, "frame", "options.cpp")).decode()
        options = re.findall(r'strcasecmp\(arg, "(-[a-z-]+)"\)', parser)
        self.assertGreaterEqual(len(options), 6)
        page = result.stdout.replace("\u2010", "-").replace("\u2212", "-")
        synopsis = page.split("SYNOPSIS")[1].split("DESCRIPTION")[0]
        described = page.split("OPTIONS")[1].split("KEYS")[0]
        for option in options:
            if option != "-xdg-data":  # the older name, described beside the newer
                self.assertIn(f"[{option}", synopsis, option)
            self.assertRegex(described, rf"\n {{7}}(-[\w-]+, )*{re.escape(option)}\b", option)
        self.assertIn("Bitstream Vera", read(self.staged("share/doc/vexlorn/copyright")).decode())

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
        depends = subprocess.run(["dpkg-deb", "-f", packages[0], "Depends"], check=True,
                                 capture_output=True, text=True).stdout
        for package in ("xdg-utils", "x11-utils", "liballegro4.4 (>=", "libsdl2-mixer-2.0-0 (>="):
            self.assertIn(package, depends)
        subprocess.run(["dpkg", "-i", packages[0]], check=True, capture_output=True)
        try:
            with Game("-window", executable_path="/usr/games/vexlorn") as game:
                self.assertEqual(quit_through_menu(game), 0)
                self.assertTrue(os.path.exists(game.file("vexlorn.hi")))
        finally:
            subprocess.run(["dpkg", "-r", "vexlorn"], check=True, capture_output=True)
        for path in ("/usr/games/vexlorn", "/usr/lib/vexlorn",
                     f"/usr/share/applications/{APP_ID}.desktop",
                     f"/usr/share/metainfo/{APP_ID}.metainfo.xml", "/usr/share/doc/vexlorn",
                     "/usr/share/man/man6/vexlorn.6.gz"):
            self.assertFalse(os.path.lexists(path), path)


if __name__ == "__main__":
    main()
