"""Drives the real program as a player would: its own Xvfb, keys from xdotool, screenshots.

Each Game runs the built `vexlorn` in a temporary working directory on a private X server.
Pixels are read from ImageMagick screenshots of the root window.
"""

import argparse
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

# xdotool key names for the keys the game uses.
KEYS = {
    "enter": "Return", "space": "space", "esc": "Escape", "up": "Up", "down": "Down",
    "left": "Left", "right": "Right", "p": "p", "backspace": "BackSpace", "plus": "KP_Add",
}

_exe = None

# VEXLORN_WM=openbox runs every game under that window manager, as players run it; unset, on
# the bare X server.
WINDOW_MANAGER = os.environ.get("VEXLORN_WM") or None


def executable():
    """Path of the built program: --exe on the command line, else VEXLORN_EXE."""
    global _exe
    if _exe is None:
        _exe = os.environ.get("VEXLORN_EXE")
    if not _exe:
        raise RuntimeError("no vexlorn executable given (--exe or VEXLORN_EXE)")
    return _exe


class XServer:
    """A private Xvfb on a free display number."""

    def __init__(self, width=640, height=480, depth=24):
        read_fd, write_fd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x{depth}",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.proc.kill()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


class Screenshot:
    """An RGB picture of the whole X screen."""

    def __init__(self, path, width, height, data):
        self.path, self.width, self.height, self.data = path, width, height, data

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def region_colours(self, x0, y0, x1, y1, step=1):
        """The set of distinct colours in a rectangle (inclusive of x0,y0, exclusive of x1,y1)."""
        return {self.pixel(x, y) for y in range(y0, y1, step) for x in range(x0, x1, step)}

    def differs(self, other, x0=0, y0=0, x1=None, y1=None):
        """How many pixels differ from another screenshot inside a rectangle."""
        x1 = self.width if x1 is None else x1
        y1 = self.height if y1 is None else y1
        return sum(1 for y in range(y0, y1) for x in range(x0, x1)
                   if self.pixel(x, y) != other.pixel(x, y))


class Game:
    """The real program on its own X server, in a temporary working directory."""

    def __init__(self, *args, cwd=None, env=None, screen=(640, 480), executable_path=None,
                 audio="dummy", wait_window=True, wm=WINDOW_MANAGER, before=None):
        self.xserver = XServer(*screen)
        self.tmp = tempfile.mkdtemp(prefix="vexlorn-window-")
        self.cwd = cwd or os.path.join(self.tmp, "work")
        os.makedirs(self.cwd, exist_ok=True)
        self.shots = os.environ.get("VEXLORN_SHOTS") or os.path.join(self.tmp, "shots")
        os.makedirs(self.shots, exist_ok=True)
        self.bin = os.path.join(self.tmp, "bin")
        os.makedirs(self.bin)
        self.message_log = os.path.join(self.tmp, "messages.txt")
        # allegro_message starts xmessage and blocks until it is clicked: record it instead.
        self._write_script("xmessage", f'printf "%s\\n" "$@" >> "{self.message_log}"\n')
        self.env = dict(os.environ, DISPLAY=self.xserver.display, SDL_AUDIODRIVER=audio,
                        PATH=self.bin + os.pathsep + os.environ.get("PATH", ""))
        self.env.pop("VEXLORN_SHOTS", None)
        # The game remembers choices there: each game starts from none unless a test says so.
        self.env["XDG_CONFIG_HOME"] = os.path.join(self.tmp, "config")
        for name, value in (env or {}).items():  # None removes a variable
            if value is None:
                self.env.pop(name, None)
            else:
                self.env[name] = value
        self.wm = None
        self.window = None
        if wm:
            self.wm = subprocess.Popen([wm], env=self.env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            self._wait_for_window_manager()
        if before is not None:
            before(self)  # what the desktop holds before the game starts
        self.stdout_path = os.path.join(self.tmp, "stdout.txt")
        self.stdout = open(self.stdout_path, "w")
        self.proc = subprocess.Popen([executable_path or executable(), *args], cwd=self.cwd,
                                     env=self.env, stdout=self.stdout,
                                     stderr=subprocess.STDOUT)
        self.window = None
        self.started = time.monotonic()
        if wait_window:
            self.window = self.wait_window()

    def _wait_for_window_manager(self, timeout=10):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            check = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                                   capture_output=True, text=True).stdout
            if "window id" in check:
                return
            time.sleep(0.05)
        raise RuntimeError("the window manager did not start")

    def origin(self):
        """Where the game's drawing area starts on the screen (not 0,0 in a decorated window)."""
        # xwininfo's absolute corner: xdotool counts a frame's title bar in twice.
        info = subprocess.run(["xwininfo", "-id", str(self.window)], env=self.env,
                              capture_output=True, text=True, timeout=10).stdout
        corner = {}
        for line in info.splitlines():
            if "Absolute upper-left" in line:
                corner[line.split()[2]] = int(line.split()[-1])
        return corner.get("X:", 0), corner.get("Y:", 0)

    def _write_script(self, name, body):
        path = os.path.join(self.bin, name)
        with open(path, "w") as script:
            script.write("#!/bin/sh\n" + body)
        os.chmod(path, 0o755)
        return path

    def add_command(self, name, body):
        """Puts a stand-in command on the game's PATH (before the game is started)."""
        return self._write_script(name, body)

    def window_size(self, expected="640x480", timeout=10):
        """The window's geometry once it matches `expected` (Allegro resizes it after mapping)."""
        deadline = time.monotonic() + timeout
        geometry = ""
        while time.monotonic() < deadline:
            geometry = self.xdotool("getwindowgeometry", self.window)
            if expected in geometry:
                break
            time.sleep(0.1)
        return geometry

    def xdotool(self, *args, timeout=10):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                                text=True, timeout=timeout)
        return result.stdout.strip()

    def wait_window(self, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.proc.poll() is not None:
                raise AssertionError(f"game exited with {self.proc.returncode} before its "
                                     f"window appeared:\n{self.output()}")
            found = self.xdotool("search", "--name", "^Vexlorn$")
            if found:
                window = found.splitlines()[0]
                self.xdotool("mousemove", "320", "240")
                return window
            time.sleep(0.05)
        raise AssertionError("no window titled Vexlorn appeared")

    def key(self, name, hold=0.06, after=0.12):
        """Presses and releases one key (down, short pause, up): quick taps can be missed."""
        keysym = KEYS.get(name, name)
        self.xdotool("keydown", "--window", self.window, keysym)
        time.sleep(hold)
        self.xdotool("keyup", "--window", self.window, keysym)
        time.sleep(after)

    def type_keys(self, *names):
        for name in names:
            self.key(name)

    def screenshot(self, name="shot"):
        path = os.path.join(self.shots, f"{name}.png")
        subprocess.run(["import", "-display", self.xserver.display, "-window", "root", path],
                       check=True, env=self.env, timeout=20)
        if self.wm and self.window:
            # A managed window sits inside its frame: the shot starts where the game draws, so
            # that tests read the same coordinates with and without a window manager.
            x, y = self.origin()
            if (x, y) != (0, 0):
                subprocess.run(["convert", path, "-crop", f"+{x}+{y}", "+repage", path],
                               check=True, timeout=20)
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                             capture_output=True, timeout=20).stdout
        size = subprocess.run(["identify", "-format", "%w %h", path], check=True,
                              capture_output=True, text=True, timeout=20).stdout.split()
        return Screenshot(path, int(size[0]), int(size[1]), raw)

    def wait(self, seconds):
        time.sleep(seconds)

    def wait_exit(self, timeout=15):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("game did not exit in time")

    def running(self):
        return self.proc.poll() is None

    def output(self):
        self.stdout.flush()
        with open(self.stdout_path) as text:
            return text.read()

    def messages(self):
        if not os.path.exists(self.message_log):
            return ""
        with open(self.message_log) as text:
            return text.read()

    def file(self, name):
        return os.path.join(self.cwd, name)

    def close(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()
        self.stdout.close()
        if self.wm and self.wm.poll() is None:
            self.wm.terminate()
            self.wm.wait()
        self.xserver.stop()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class ScriptedPad:
    """The game's test pad: the file named by VEXLORN_TEST_VIRTUAL_PAD, one action a line, read
    by the game at every poll. The pad is plugged in when the game starts."""

    def __init__(self):
        fd, self.path = tempfile.mkstemp(prefix="vexlorn-pad-")
        os.close(fd)
        self.env = {"VEXLORN_TEST_VIRTUAL_PAD": self.path}

    def send(self, line):
        with open(self.path, "a") as script:
            script.write(line + "\n")

    def press(self, button, hold=0.1, after=0.3):
        """Held across a few frame passes: the pad reports only what it sees at a poll."""
        self.send(f"{button} down")
        time.sleep(hold)
        self.send(f"{button} up")
        time.sleep(after)

    def close(self):
        os.unlink(self.path)


class _ClientMessage(ctypes.Structure):
    """Xlib's XClientMessageEvent, padded to the size of an XEvent."""
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]


class XClient:
    """A connection of the test's own to the game's X server: what a window manager or another
    program would do to the game's window."""

    def __init__(self, display):
        self.x = ctypes.cdll.LoadLibrary("libX11.so.6")
        ptr, win, atom = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong
        signatures = {
            "XOpenDisplay": (ptr, [ctypes.c_char_p]), "XCloseDisplay": (None, [ptr]),
            "XInternAtom": (atom, [ptr, ctypes.c_char_p, ctypes.c_int]),
            "XSendEvent": (None, [ptr, win, ctypes.c_int, ctypes.c_long, ptr]),
            "XDefaultRootWindow": (win, [ptr]), "XMapRaised": (None, [ptr, win]),
            "XCreateSimpleWindow": (win, [ptr, win] + [ctypes.c_int] * 2 + [ctypes.c_uint] * 3
                                    + [ctypes.c_ulong] * 2),
            "XSetInputFocus": (None, [ptr, win, ctypes.c_int, ctypes.c_ulong]),
            "XSync": (None, [ptr, ctypes.c_int]),
            "XMoveWindow": (None, [ptr, win, ctypes.c_int, ctypes.c_int]),
            "XGrabKeyboard": (ctypes.c_int, [ptr, win, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                             ctypes.c_ulong]),
            "XUngrabKeyboard": (None, [ptr, ctypes.c_ulong]),
        }
        for name, (result, arguments) in signatures.items():
            getattr(self.x, name).restype = result
            getattr(self.x, name).argtypes = arguments
        self.display = self.x.XOpenDisplay(display.encode())
        if not self.display:
            raise RuntimeError(f"cannot open {display}")

    def close_window(self, window):
        """The close button: a WM_DELETE_WINDOW message, as window managers send it."""
        event = _ClientMessage(type=33, window=int(window), format=32,
                               message_type=self.x.XInternAtom(self.display, b"WM_PROTOCOLS", 0))
        event.data[0] = self.x.XInternAtom(self.display, b"WM_DELETE_WINDOW", 0)
        self.x.XSendEvent(self.display, int(window), 0, 0, ctypes.byref(event))
        self.x.XSync(self.display, 0)

    def take_focus(self):
        """Maps a small window of its own at the far corner and gives it the keyboard focus."""
        root = self.x.XDefaultRootWindow(self.display)
        window = self.x.XCreateSimpleWindow(self.display, root, 1800, 1000, 40, 40, 0, 0, 0)
        self.x.XMapRaised(self.display, window)
        self.x.XSync(self.display, 0)
        time.sleep(0.2)
        self.x.XSetInputFocus(self.display, window, 1, 0)  # RevertToPointerRoot, CurrentTime
        self.x.XSync(self.display, 0)
        return window

    def open_window(self, x, y, width, height, pixel):
        """Maps a plain window of one colour (0xRRGGBB) there, as another program would."""
        root = self.x.XDefaultRootWindow(self.display)
        window = self.x.XCreateSimpleWindow(self.display, root, x, y, width, height, 0, 0, pixel)
        self.x.XMapRaised(self.display, window)
        self.x.XSync(self.display, 0)
        time.sleep(0.3)
        self.x.XMoveWindow(self.display, window, x, y)  # a window manager places it its own way
        self.x.XSync(self.display, 0)
        return window

    def keyboard_grabbed(self):
        """Whether another client holds the keyboard: our own grab then fails."""
        root = self.x.XDefaultRootWindow(self.display)
        status = self.x.XGrabKeyboard(self.display, root, 0, 1, 1, 0)  # GrabModeAsync, CurrentTime
        self.x.XUngrabKeyboard(self.display, 0)
        self.x.XSync(self.display, 0)
        return status != 0

    def disconnect(self):
        self.x.XCloseDisplay(self.display)


def close_to(colour, expected, tolerance=8):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def main():
    """Runs the unittest cases of the calling script; takes --exe PATH."""
    global _exe
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--exe")
    known, rest = parser.parse_known_args()
    if known.exe:
        _exe = known.exe
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


def wait_shown(game, timeout=30):
    """Waits until the game shows something other than black (the intro starts black)."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        shot = game.screenshot("wait-shown")
        if any(shot.pixel(x, y) != (0, 0, 0) for y in range(40, 480, 40) for x in range(40, 640, 40)):
            return shot
        time.sleep(0.2)
    raise AssertionError("the game never showed a picture")


def quit_through_menu(game, timeout=15):
    """Ends the program the way a player does: intro, menu, "E X I T". Returns the exit code."""
    wait_shown(game)
    game.key("enter")
    game.wait(1.0)
    game.key("up")
    game.wait(0.5)
    game.key("enter")
    return game.wait_exit(timeout)
