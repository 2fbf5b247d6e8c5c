"""The Windows build as a player on Windows meets it, under Wine on Xvfb: the installer, the
Start-menu shortcut, a round through the menu, the hall of fame in %APPDATA%\\Vexlorn, the
close button, the sound, and the uninstaller. The Linux build on the same Xvfb is the reference
for the first frame and the hall of fame's bytes.

Run by scripts/test's Windows lane: python3 test_installed.py --setup SETUP --linux-exe EXE,
with WINEPREFIX naming a prefix the lane made (and a wineserver it keeps running).
"""

import argparse
import array
import ctypes
import glob
import math
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window"))
import harness  # noqa: E402
from harness import XServer, XClient  # noqa: E402

# Wine on an Xvfb without a monitor list takes the screen for 1024 x 768: the same size keeps both
# builds' full screens alike (factor 1, the picture centred).
SCREEN = (1024, 768)
SETUP = None
LINUX_EXE = None


def wine_env(display, extra=None):
    env = dict(os.environ, DISPLAY=display, WINEDEBUG="-all", SDL_AUDIODRIVER="dummy")
    env.update(extra or {})
    return env


def prefix_path(*parts):
    return os.path.join(os.environ["WINEPREFIX"], "drive_c", *parts)


def user_folder():
    found = glob.glob(prefix_path("users", "*", "AppData"))
    found = [path for path in found if "/Public/" not in path]
    if not found:
        raise AssertionError("no user folder in the Wine prefix")
    return os.path.dirname(found[0])


def installed(*parts):
    return os.path.join(user_folder(), "AppData", "Local", "Programs", "Vexlorn", *parts)


def app_data(*parts):
    return os.path.join(user_folder(), "AppData", "Roaming", "Vexlorn", *parts)


def shortcut():
    found = glob.glob(os.path.join(user_folder(), "AppData", "Roaming", "Microsoft", "Windows",
                                   "Start Menu", "Programs", "Vexlorn.lnk"))
    return found[0] if found else None


class Player:
    """Keys through XTEST (the only way into a Wine window) and screenshots of the root."""

    count = 0

    def __init__(self, display, shots):
        self.display, self.shots = display, shots
        self.env = dict(os.environ, DISPLAY=display)

    def key(self, keysym, hold=0.08, after=0.25):
        subprocess.run(["xdotool", "keydown", keysym], env=self.env, timeout=10)
        time.sleep(hold)
        subprocess.run(["xdotool", "keyup", keysym], env=self.env, timeout=10)
        time.sleep(after)

    def screenshot(self, name):
        Player.count += 1
        path = os.path.join(self.shots, f"{Player.count:03d}-{name}.png")
        subprocess.run(["import", "-display", self.display, "-window", "root", path], check=True,
                       env=self.env, timeout=20)
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                             capture_output=True, timeout=20).stdout
        return harness.Screenshot(path, SCREEN[0], SCREEN[1], raw)

    def settled_picture(self, name, timeout=40):
        """The first picture that is not black and stays the same for a second."""
        deadline = time.monotonic() + timeout
        same = []
        while time.monotonic() < deadline:
            shot = self.screenshot(name)
            if shot.data.count(0) == len(shot.data) or (same and same[-1].data != shot.data):
                same = []
            if shot.data.count(0) < len(shot.data):
                same.append(shot)
            if len(same) >= 4:
                return shot
            time.sleep(0.3)
        raise AssertionError(f"no settled picture ({name})")

    def menu_picture(self, name, game=None):
        """The menu, reached from the intro as a player does: the first picture both builds
        hold long enough to compare (the intro before it is a timed fade)."""
        self.shown(name + "-intro", game=game)
        time.sleep(1.0)  # keys in the window's first moments may be lost
        self.key("Return", after=1.0)
        return self.settled_picture(name + "-menu")

    def shown(self, name, timeout=40, game=None):
        """The first picture that is not black: the window is up and drawn. A game that ends
        first is reported as such, with its status."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            shot = self.screenshot(name)
            if shot.data.count(0) < len(shot.data):
                return shot
            if game is not None and game.poll() is not None:
                raise AssertionError(f"the game ended with status {game.returncode} before it "
                                     f"showed anything ({name})")
            time.sleep(0.2)
        raise AssertionError(f"nothing shown in {timeout} s ({name})")


def wait_gone(process, timeout):
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        raise AssertionError("the game did not exit in time")


def play_round_and_exit(player):
    """From the menu: a round, pause, resume, Esc back to the menu, EXIT."""
    menu = player.screenshot("menu")
    player.key("Return", after=5.0)  # its first item starts a round
    playing = player.screenshot("playing")
    if playing.differs(menu) < 10000:
        raise AssertionError("no round started")
    player.key("p", after=0.8)
    paused = player.screenshot("paused")
    time.sleep(1.0)
    still = player.screenshot("still-paused")
    if paused.differs(still) > 50:
        raise AssertionError("the round went on under the pause")
    player.key("q", after=1.0)
    resumed = player.screenshot("resumed")
    if resumed.differs(paused) < 1000:
        raise AssertionError("the round did not resume")
    player.key("Escape", after=1.5)
    back = player.screenshot("back-to-menu")
    if back.differs(menu, 0, 0, SCREEN[0], SCREEN[1] // 4) > 2000:
        raise AssertionError("Esc did not lead back to the menu")
    player.key("Up", after=0.6)
    player.key("Return", after=0.5)  # EXIT


def installed_games():
    return subprocess.run(["pgrep", "-f", installed("vexlorn.exe")], capture_output=True,
                          text=True).stdout.split()


def wait_installed_games_gone(timeout):
    deadline = time.monotonic() + timeout
    while installed_games():
        if time.monotonic() > deadline:
            raise AssertionError("the game did not exit in time")
        time.sleep(0.2)


def end_left_games():
    """Ends a game a failed test (or an interrupted earlier run) left running: ours, by the path
    it was installed to. An installer would wait for its file without end."""
    for pid in installed_games():
        os.kill(int(pid), signal.SIGKILL)


class InstalledGameTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        end_left_games()
        cls.tmp = tempfile.mkdtemp(prefix="vexlorn-wine-")
        cls.shots = os.environ.get("VEXLORN_SHOTS") or os.path.join(cls.tmp, "shots")
        os.makedirs(cls.shots, exist_ok=True)
        cls.xserver = XServer(*SCREEN)
        cls.env = wine_env(cls.xserver.display)
        # The reference: the Linux build's first frame and hall of fame on the same Xvfb.
        cls.linux_home = os.path.join(cls.tmp, "linux-data")
        linux = subprocess.Popen([LINUX_EXE, "-xdg-data"], cwd=cls.tmp,
                                 env=dict(cls.env, XDG_DATA_HOME=cls.linux_home),
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        player = Player(cls.xserver.display, cls.shots)
        cls.linux_menu = player.menu_picture("linux", linux)
        player.key("Up", after=0.6)
        player.key("Return", after=0.5)
        cls.linux_code = wait_gone(linux, 20)
        with open(os.path.join(cls.linux_home, "vexlorn", "vexlorn.hi"), "rb") as table:
            cls.linux_table = table.read()

    @classmethod
    def tearDownClass(cls):
        cls.xserver.stop()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def wine(self, *args, env=None, timeout=60):
        return subprocess.run(["wine", *args], env=dict(self.env, **(env or {})),
                              capture_output=True, timeout=timeout)

    def start_game(self, *args, env=None):
        # From a folder of the test's own, as from a command prompt: a game without -user-data
        # keeps its files in the working directory.
        return subprocess.Popen(["wine", installed("vexlorn.exe"), *args], cwd=self.tmp,
                                env=dict(self.env, **(env or {})), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def test_1_silent_install(self):
        self.assertEqual(self.linux_code, 0)
        result = self.wine(SETUP, "/S", timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)
        for name in ("vexlorn.exe", "vexlorn-demo.dat", "vexlorn.url", "uninstall.exe"):
            self.assertTrue(os.path.exists(installed(name)), name)
        self.assertIsNotNone(shortcut(), "no Start-menu entry")
        # Under Wine only: its DirectDraw shows nothing on Xvfb, so GDI is chosen by hand.
        with open(installed("allegro.cfg"), "w") as config:
            config.write("[graphics]\ngfx_cardw = GDIB\n")

    def test_2_shortcut_first_frame_round_and_hall_of_fame(self):
        if os.path.exists(app_data("vexlorn.hi")):
            os.unlink(app_data("vexlorn.hi"))
        # The shortcut's own command, as the Start menu runs it. Wine's start can return while
        # the game is still starting, so the game is followed by its process.
        game = subprocess.Popen(["wine", "start", "/wait", "/unix", shortcut()], env=self.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        player = Player(self.xserver.display, self.shots)
        menu = player.menu_picture("windows")
        self.assertEqual(menu.differs(self.linux_menu), 0,
                         f"the pictures differ: {menu.path} {self.linux_menu.path}")
        play_round_and_exit(player)
        wait_installed_games_gone(30)
        self.assertEqual(wait_gone(game, 30), 0)
        with open(app_data("vexlorn.hi"), "rb") as table:
            self.assertEqual(table.read(), self.linux_table)

    def test_3_close_button_saves(self):
        os.unlink(app_data("vexlorn.hi"))
        game = self.start_game("-user-data", "-window")
        player = Player(self.xserver.display, self.shots)
        player.shown("before-close", game=game)
        time.sleep(1.0)
        client = XClient(self.xserver.display)
        # Wine may make the window afresh while it sets it up: a close sent to the old one is an
        # X error, which must not end the test, and a player who sees nothing happen clicks again.
        ignore = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda *_: 0)
        client.x.XSetErrorHandler(ignore)
        closes = 0
        deadline = time.monotonic() + 30
        while game.poll() is None and time.monotonic() < deadline:
            found = subprocess.run(["xdotool", "search", "--name", "^Vexlorn$"], env=self.env,
                                   capture_output=True, text=True).stdout.split()
            for window in found:
                client.close_window(window)
                closes += 1
            try:
                game.wait(5 if found else 0.2)
            except subprocess.TimeoutExpired:
                pass
        client.disconnect()
        self.assertGreater(closes, 0, "no window titled Vexlorn")
        self.assertEqual(wait_gone(game, 20), 0)
        self.assertEqual(os.path.getsize(app_data("vexlorn.hi")), 160)

    def test_4_sound_through_the_disk_driver_is_not_silent(self):
        capture = os.path.join(self.tmp, "sound.raw")
        game = self.start_game("-window", env={
            "SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": "Z:" + capture.replace("/", "\\")})
        player = Player(self.xserver.display, self.shots)
        player.shown("sound", timeout=60, game=game)
        time.sleep(1.0)
        player.key("Return", after=2.0)  # the menu's music and its sound
        player.key("Up", after=0.6)
        player.key("Return", after=0.5)  # EXIT
        self.assertEqual(wait_gone(game, 30), 0)
        samples = array.array("h")
        with open(capture, "rb") as raw:
            samples.frombytes(raw.read()[: 44100 * 4 * 10])
        self.assertGreater(len(samples), 44100, "nothing was mixed")
        rms = math.sqrt(sum(s * s for s in samples) / len(samples))
        self.assertGreater(rms, 100.0, "the sound was silent")

    def tearDown(self):
        end_left_games()

    def test_5_uninstaller_leaves_the_hall_of_fame(self):
        if not os.path.exists(app_data("vexlorn.hi")):  # an earlier test failed before saving
            with open(app_data("vexlorn.hi"), "wb") as table:
                table.write(self.linux_table)
        os.unlink(installed("allegro.cfg"))
        result = self.wine(installed("uninstall.exe"), "/S", timeout=60)
        self.assertEqual(result.returncode, 0)
        # The uninstaller runs on from a copy of itself in the temporary folder.
        deadline = time.monotonic() + 30
        while os.path.exists(installed()) and time.monotonic() < deadline:
            time.sleep(0.3)
        self.assertFalse(os.path.exists(installed()), "the program's folder is still there")
        self.assertIsNone(shortcut(), "the Start-menu entry is still there")
        self.assertTrue(os.path.exists(app_data("vexlorn.hi")), "the hall of fame went too")


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--setup", required=True)
    parser.add_argument("--linux-exe", required=True)
    known, rest = parser.parse_known_args()
    SETUP, LINUX_EXE = os.path.abspath(known.setup), os.path.abspath(known.linux_exe)
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
