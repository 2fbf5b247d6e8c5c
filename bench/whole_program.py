"""The whole program measured as a player runs it, beside two Debian games, under Xvfb.

For each program and repeat: start-up to the first frame on the X screen (bench/probe/first_frame
polls the screen with XGetImage about once a millisecond from just before exec), CPU time of the
process (user + system from /proc/<pid>/stat, per cent of one core) while it sits on each screen,
its wake-ups per second over the same time (voluntary context switches of all its threads, from
/proc/<pid>/task/*/status: each one lets the processor out of its deep sleep states),
Vexlorn's pass rate read from its "-fps" figure (matched against the game library's 8x8 digits),
and the peak resident memory (VmHWM). Prints one table of medians.
"""

import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "window"))
from harness import KEYS, Screenshot, XServer  # noqa: E402

SCREEN = (1024, 768)
# The scaled picture is measured on a full-HD desktop: 2x fits there as a window and full screen.
SCALED_SCREEN = (1920, 1080)
SCALED_MODES = (
    ("1x window", ["-window"], (0, 0, 48, 8)),
    ("2x window", ["-window", "-scale", "2"], (0, 0, 96, 16)),
    ("2x full screen", ["-scale", "2"], (320, 60, 96, 16)),
)
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        # The command name may hold spaces; the fields after its closing parenthesis do not.
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def voluntary_switches(pid):
    """Voluntary context switches so far per thread, keyed by thread id, with the thread's name."""
    counts = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/status") as status:
                fields = dict(line.split(":", 1) for line in status if ":" in line)
        except (FileNotFoundError, ProcessLookupError):
            continue  # the thread ended meanwhile
        counts[int(tid)] = (fields["Name"].strip(), int(fields["voluntary_ctxt_switches"]))
    return counts


def peak_rss_mib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return None


def memory_mib(pid):
    """Proportional set size and resident size now (smaps_rollup): PSS shares each library page
    among the processes that map it, which is what the program itself costs."""
    values = {}
    with open(f"/proc/{pid}/smaps_rollup") as rollup:
        for line in rollup:
            fields = line.split()
            if fields and fields[0] in ("Pss:", "Rss:"):
                values[fields[0]] = int(fields[1]) / 1024
    return values.get("Pss:"), values.get("Rss:")


def load_digit_templates(path):
    """Lines "C row/row/..." as written by bench/probe/font_digits."""
    templates = {}
    with open(path) as lines:
        for line in lines:
            char, rows = line.split()
            templates[char] = [[bit == "1" for bit in row] for row in rows.split("/")]
    return templates


def read_fps(shot, templates, origin=(0, 0)):
    """The number after "FPS: " in white 8x8 text at origin, or None when it does not read."""
    ox, oy = origin

    def white(x, y):
        return shot.pixel(x, y) == (255, 255, 255)

    def glyph_at(cell):
        best, best_extra = None, None
        for char, rows in templates.items():
            missing = extra = 0
            for y in range(8):
                for x in range(8):
                    lit = white(ox + cell * 8 + x, oy + y)
                    if rows[y][x] and not lit:
                        missing += 1
                    elif lit and not rows[y][x]:
                        extra += 1
            # The text is transparent: a white backdrop pixel can add to a glyph, never remove.
            if missing == 0 and (best_extra is None or extra < best_extra):
                best, best_extra = char, extra
        return best

    if "".join(glyph_at(cell) or "?" for cell in range(4)) != "FPS:":
        return None
    digits = ""
    for cell in range(5, 10):
        char = glyph_at(cell)
        if char is None or not char.isdigit():
            break
        digits += char
    return int(digits) if digits else None


def wait_for_empty_screen(xserver, timeout=30):
    """A killed program's windows go only once all its threads have ended, which can take
    seconds on a loaded machine; the next program's start-up is timed from a black screen."""
    env = dict(os.environ, DISPLAY=xserver.display)
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        tree = subprocess.run(["xwininfo", "-root", "-children"], env=env, capture_output=True,
                              text=True, timeout=10).stdout
        if " 0 children" in tree:
            return
        time.sleep(0.2)
    raise RuntimeError("the previous program's windows did not go")


class Program:
    """One measured program on the shared X server, started through the first-frame probe."""

    def __init__(self, xserver, probe, command, cwd, probe_rect, env=None, keys_to_window=False):
        self.xserver = xserver
        self.label = os.path.basename(command[0])
        self.env = dict(os.environ, DISPLAY=xserver.display, SDL_AUDIODRIVER="dummy",
                        HOME=cwd, **(env or {}))
        self.keys_to_window = keys_to_window
        wait_for_empty_screen(xserver)
        out = subprocess.run([probe, *map(str, probe_rect), *command], cwd=cwd, env=self.env,
                             capture_output=True, text=True, timeout=60, check=True).stdout.split()
        self.pid = int(out[0])
        self.startup_ms = float(out[1]) if float(out[1]) >= 0 else None
        self.startup_cpu_ms = float(out[2]) if self.startup_ms is not None else None
        self.window = None

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True,
                              timeout=10).stdout.strip()

    def find_window(self, name, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = self.xdotool("search", "--pid", str(self.pid)) or self.xdotool(
                "search", "--name", name)
            if found:
                self.window = found.splitlines()[0]
                return
            time.sleep(0.1)
        raise RuntimeError(f"no window for {name}")

    def key(self, name, after=0.4):
        keysym = KEYS.get(name, name)
        target = ["--window", self.window] if self.keys_to_window and self.window else []
        self.xdotool("keydown", *target, keysym)
        time.sleep(0.06)
        self.xdotool("keyup", *target, keysym)
        time.sleep(after)

    def point(self, x, y, after=0.3):
        self.xdotool("mousemove", str(x), str(y))
        time.sleep(after)

    def cpu_and_wakeups(self, seconds):
        """CPU per cent of one core, wake-ups per second in all, and per thread as "name:rate"
        in the order the threads were started (a thread started meanwhile counts from zero)."""
        start_switches, start_cpu = voluntary_switches(self.pid), cpu_seconds(self.pid)
        start = time.monotonic()
        time.sleep(seconds)
        end_switches, end_cpu = voluntary_switches(self.pid), cpu_seconds(self.pid)
        elapsed = time.monotonic() - start
        per_thread = [(name, (count - start_switches.get(tid, (name, 0))[1]) / elapsed)
                      for tid, (name, count) in sorted(end_switches.items())]
        return (100 * (end_cpu - start_cpu) / elapsed, sum(rate for _, rate in per_thread),
                " ".join(f"{name}:{rate:.0f}" for name, rate in per_thread))

    def sample(self, row, name, seconds):
        """Fills row[name] (CPU), row[name + "_wakeups"] and the memory at its end (name + "_pss",
        name + "_rss"); prints the wake-ups per thread."""
        row[name], row[f"{name}_wakeups"], threads = self.cpu_and_wakeups(seconds)
        row[f"{name}_pss"], row[f"{name}_rss"] = memory_mib(self.pid)
        print(f"    {self.label} {name}: wake-ups per thread {threads}", flush=True)

    def screenshot(self, directory, name):
        path = os.path.join(directory, f"{name}.png")
        subprocess.run(["import", "-display", self.xserver.display, "-window", "root", path],
                       check=True, env=self.env, timeout=30)
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                             capture_output=True, timeout=30).stdout
        return Screenshot(path, SCREEN[0], SCREEN[1], raw)

    def alive(self):
        try:
            with open(f"/proc/{self.pid}/stat") as stat:
                return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
        except FileNotFoundError:
            return False

    def stop(self):
        if self.alive():
            os.kill(self.pid, signal.SIGKILL)
        for _ in range(50):
            if not self.alive():
                break
            time.sleep(0.1)


def measure_vexlorn(args, xserver, work, templates, seconds):
    row = {}
    game = Program(xserver, args.probe, [args.exe, "-window", "-fps", "-cheat"], work,
                   (0, 0, 48, 8), keys_to_window=True)
    try:
        row["startup"] = game.startup_ms
        row["startup_cpu"] = game.startup_cpu_ms
        game.find_window("^Vexlorn$")
        game.point(320, 240)
        rates = []

        def sample(name, length=seconds):
            game.sample(row, name, length)
            if not game.alive():
                raise RuntimeError(f"vexlorn ended during {name}")
            rate = read_fps(game.screenshot(work, name), templates)
            if rate is not None and name != "pause":
                rates.append(rate)
            if args.keep_shots:
                shutil.copy(os.path.join(work, f"{name}.png"), args.keep_shots)

        sample("intro")
        game.key("enter", after=1.5)
        sample("menu")
        # The pages of the menu's second to fifth items, each left with Enter (on the order
        # page after choosing "back", so that no browser starts), then up to the first item.
        for page in ("instructions", "order", "halloffame", "about"):
            game.key("down")
            game.key("enter", after=1.0)
            sample(page)
            if page == "order":
                game.key("right")
            game.key("enter", after=1.0)
        for _ in range(4):
            game.key("up")
        game.key("enter", after=5.0)  # the first item starts a game; the get-ready pop-ups go
        sample("play1")
        for _ in range(4):  # keypad plus ends the round a level on; Enter takes the continue
            game.key("plus", after=1.0)
            game.key("enter", after=1.0)
        time.sleep(4.0)
        # Paused first: at level 5 an idle player's well fills in under twenty seconds, after
        # which the round ends by itself. Play then gets 10 s however long the others get.
        game.key("p", after=1.0)
        sample("pause")
        game.key("q", after=1.0)
        sample("play5", min(seconds, 10.0))
        game.key("plus", after=0.5)
        # The countdown lasts 11 s: this screen gets 10 s however long the others get.
        sample("continue", min(seconds, 10.0))
        time.sleep(2.0)  # the countdown runs out: game over
        sample("end")
        row["passes"] = statistics.median(rates) if rates else None
        row["rss"] = peak_rss_mib(game.pid)
    finally:
        game.stop()
    return row


def measure_versus_and_replay(args, xserver, work, seconds):
    """Wake-ups and CPU in a two-player round (both seats taken by the keys, level 5) and while a
    recorded level-5 round replays."""
    row = {}
    game = Program(xserver, args.probe, [args.exe, "-window", "-fps"], work, (0, 0, 48, 8),
                   keys_to_window=True)
    try:
        game.find_window("^Vexlorn$")
        game.point(320, 240)
        game.key("enter", after=1.5)
        game.key("2", after=1.0)  # the two-player set-up
        game.key("enter")  # the arrow keys take the left seat
        for _ in range(4):
            game.key("right")  # level 5
        game.key("w", after=0.5)  # the second key set takes the right seat
        game.key("enter", after=4.5)  # past the get-ready pop-ups
        game.sample(row, "versus", min(seconds, 10.0))
        if not game.alive():
            raise RuntimeError("vexlorn ended during the two-player round")
    finally:
        game.stop()
    game = Program(xserver, args.probe, [args.exe, "-window", "-replay", args.replay], work,
                   (0, 0, 48, 8), keys_to_window=True)
    try:
        game.find_window("^Vexlorn$")
        time.sleep(1.0)
        game.sample(row, "replay", 3.0)  # the recording lasts a few seconds
    finally:
        game.stop()
    return row


def measure_floor(args, xserver, work):
    """Memory of a program that only opens the same window with the same libraries: what the
    game cannot go below."""
    env = dict(os.environ, DISPLAY=xserver.display, SDL_AUDIODRIVER="dummy", HOME=work)
    wait_for_empty_screen(xserver)
    floor = subprocess.Popen([args.floor], cwd=work, env=env)
    try:
        time.sleep(3.0)
        if floor.poll() is not None:
            raise RuntimeError("the floor program ended")
        pss, rss = memory_mib(floor.pid)
        return {"floor_pss": pss, "floor_rss": rss}
    finally:
        floor.kill()
        floor.wait()


def measure_scaled(args, xserver, work, mode, seconds):
    """CPU at the menu and in level-5 play with the picture shown one way (SCALED_MODES)."""
    _, options, probe_rect = mode
    row = {}
    game = Program(xserver, args.probe, [args.exe, *options, "-fps", "-cheat"], work, probe_rect,
                   keys_to_window=True)
    try:
        game.find_window("^Vexlorn$")
        game.point(320, 240)
        game.key("enter", after=1.5)
        row["menu"] = game.cpu_and_wakeups(seconds)[0]
        game.key("enter", after=5.0)
        for _ in range(4):  # keypad plus ends the round a level on; Enter takes the continue
            game.key("plus", after=1.0)
            game.key("enter", after=1.0)
        time.sleep(4.0)
        row["play5"] = game.cpu_and_wakeups(min(seconds, 10.0))[0]
        if not game.alive():
            raise RuntimeError("vexlorn ended during play")
        if args.keep_shots:
            shot = os.path.join(args.keep_shots, f"scaled-{mode[0].replace(' ', '-')}.png")
            subprocess.run(["import", "-display", xserver.display, "-window", "root", shot],
                           env=game.env, timeout=30)
    finally:
        game.stop()
    return row


def print_scaled_table(results, repeats, seconds):
    base = {key: median(results[SCALED_MODES[0][0]], key) for key in ("menu", "play5")}
    print(f"\nScaled picture under Xvfb {SCALED_SCREEN[0]}x{SCALED_SCREEN[1]}x24, median of "
          f"{repeats} run(s), CPU per cent of one core (ratio to the 1x window)")
    print(f"{'mode':<16}{'CPU menu':>18}{'CPU play level 5':>22}")
    for name, _, _ in SCALED_MODES:
        cells = []
        for key in ("menu", "play5"):
            value = median(results[name], key)
            cells.append(f"{fmt(value, '%')} ({ratio(value, base[key])})")
        print(f"{name:<16}{cells[0]:>18}{cells[1]:>22}")


def measure_blockattack(args, xserver, work, seconds):
    row = {}
    game = Program(xserver, args.probe, ["/usr/games/blockattack"], work, (0, SCREEN[1] // 2 - 4, SCREEN[0], 8))
    try:
        row["startup"] = game.startup_ms
        row["startup_cpu"] = game.startup_cpu_ms
        game.find_window("Block Attack")
        game.point(SCREEN[0] - 4, 4)
        time.sleep(1.0)
        game.sample(row, "menu", seconds)
        # Pointing at a button selects it; Enter presses it: Single player, vs, Normal.
        for x, y in ((512, 130), (512, 410), (512, 340)):
            game.point(x, y)
            game.key("enter", after=1.0)
        game.point(SCREEN[0] - 4, 4)
        time.sleep(2.0)
        game.sample(row, "match", seconds)
        if args.keep_shots:
            game.screenshot(args.keep_shots, "blockattack-match")
        row["rss"] = peak_rss_mib(game.pid)
    finally:
        game.stop()
    return row


def measure_flobopuyo(args, xserver, work, seconds):
    row = {}
    game = Program(xserver, args.probe, ["/usr/games/flobopuyo"], work, (0, SCREEN[1] // 2 - 4, SCREEN[0], 8))
    try:
        row["startup"] = game.startup_ms
        row["startup_cpu"] = game.startup_cpu_ms
        game.find_window("FloboPuyo")
        game.point(SCREEN[0] // 2, SCREEN[1] // 2)
        time.sleep(1.0)
        game.sample(row, "menu", seconds)
        game.key("enter", after=1.5)  # Single Player Game
        game.key("enter", after=4.0)  # Medium
        game.sample(row, "match", seconds)
        if args.keep_shots:
            game.screenshot(args.keep_shots, "flobopuyo-match")
        row["rss"] = peak_rss_mib(game.pid)
    finally:
        game.stop()
    return row


def median(rows, key):
    values = [row[key] for row in rows if row.get(key) is not None]
    return statistics.median(values) if values else None


def fmt(value, unit=""):
    if value is None:
        return "-"
    return f"{value:.1f}{unit}" if value < 100 else f"{value:.0f}{unit}"


def ratio(ours, theirs):
    if ours is None or theirs is None or theirs == 0:
        return "-"
    return f"{ours / theirs:.2f}x"


VEXLORN_SCREENS = ("intro", "menu", "instructions", "order", "halloffame", "about", "play1", "play5",
                   "pause", "continue", "end", "versus", "replay")


def print_table(results, repeats, seconds):
    v = {key: median(results["vexlorn"], key) for key in
         ("startup", "startup_cpu", *VEXLORN_SCREENS, *(f"{name}_wakeups" for name in VEXLORN_SCREENS),
          "passes", "rss", "menu_pss", "menu_rss", "play5_pss", "play5_rss", "floor_pss",
          "floor_rss")}
    others = {name: {key: median(rows, key) for key in
                     ("startup", "startup_cpu", "menu", "match", "menu_wakeups", "match_wakeups", "rss",
                      "menu_pss", "menu_rss", "match_pss", "match_rss")}
              for name, rows in results.items() if name != "vexlorn" and rows}
    lines = [("measure", "vexlorn", *[f"{n} (vexlorn/{n})" for n in others])]

    def row(label, ours, unit, other_key):
        cells = [label, fmt(ours, unit)]
        for stats in others.values():
            theirs = stats.get(other_key) if other_key else None
            cells.append(f"{fmt(theirs, unit)} ({ratio(ours, theirs)})" if other_key else "")
        lines.append(tuple(cells))

    row("start-up to first frame", v["startup"], " ms", "startup")
    row("  its own CPU time by then", v["startup_cpu"], " ms", "startup_cpu")
    row("CPU intro", v["intro"], "%", None)
    row("CPU menu", v["menu"], "%", "menu")
    row("CPU instructions", v["instructions"], "%", None)
    row("CPU order page", v["order"], "%", None)
    row("CPU hall of fame", v["halloffame"], "%", None)
    row("CPU about", v["about"], "%", None)
    row("CPU play level 1", v["play1"], "%", "match")
    row(f"CPU play level 5 ({min(seconds, 10.0):.0f} s)", v["play5"], "%", "match")
    row("CPU pause", v["pause"], "%", None)
    row(f"CPU continue ({min(seconds, 10.0):.0f} s)", v["continue"], "%", None)
    row("CPU end", v["end"], "%", None)
    row("CPU two-player round, level 5", v["versus"], "%", "match")
    row("CPU replay of a level-5 round", v["replay"], "%", None)
    for screen, label, other in (("intro", "intro", None), ("menu", "menu", "menu"),
                                 ("instructions", "instructions", None), ("order", "order page", None),
                                 ("halloffame", "hall of fame", None), ("about", "about", None),
                                 ("play1", "play level 1", "match"), ("play5", "play level 5", "match"),
                                 ("pause", "pause", None), ("continue", "continue", None), ("end", "end", None),
                                 ("versus", "two-player round", "match"), ("replay", "replay", None)):
        row(f"wake-ups/s {label}", v[f"{screen}_wakeups"], "", other and f"{other}_wakeups")
    row("pass rate (-fps)", v["passes"], "/s", None)
    row("PSS menu", v["menu_pss"], " MiB", "menu_pss")
    row("PSS play level 5", v["play5_pss"], " MiB", "match_pss")
    row("PSS floor (window and libraries only)", v["floor_pss"], " MiB", None)
    row("RSS menu", v["menu_rss"], " MiB", "menu_rss")
    row("RSS play level 5", v["play5_rss"], " MiB", "match_rss")
    row("RSS floor", v["floor_rss"], " MiB", None)
    row("peak RSS (VmHWM)", v["rss"], " MiB", "rss")
    widths = [max(len(line[i]) for line in lines) for i in range(len(lines[0]))]
    print(f"\nWhole program under Xvfb {SCREEN[0]}x{SCREEN[1]}x24, median of {repeats} run(s), "
          f"CPU over {seconds:.0f} s per screen (per cent of one core), wake-ups per second over "
          f"the same time (voluntary context switches, all threads); "
          f"load average {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores")
    for i, line in enumerate(lines):
        print("  ".join(cell.ljust(width) for cell, width in zip(line, widths)).rstrip())
        if i == 0:
            print("  ".join("-" * width for width in widths))


def measure_unscaled(args, templates):
    results = {"vexlorn": [], "blockattack": [], "flobopuyo": []}
    xserver = XServer(*SCREEN)
    try:
        for repeat in range(args.repeats):
            for name in results:
                if name != "vexlorn" and args.no_others:
                    continue
                work = tempfile.mkdtemp(prefix=f"vexlorn-bench-{name}-")
                try:
                    if name == "vexlorn":
                        row = measure_vexlorn(args, xserver, work, templates, args.seconds)
                        if args.replay:
                            row.update(measure_versus_and_replay(args, xserver, work,
                                                                 args.seconds))
                        if args.floor:
                            row.update(measure_floor(args, xserver, work))
                    elif name == "blockattack":
                        row = measure_blockattack(args, xserver, work, args.seconds)
                    else:
                        row = measure_flobopuyo(args, xserver, work, args.seconds)
                    results[name].append(row)
                    print(f"run {repeat + 1} {name}: " + ", ".join(
                        f"{key} {fmt(value)}" for key, value in row.items()), flush=True)
                except (RuntimeError, subprocess.SubprocessError, OSError) as failure:
                    print(f"run {repeat + 1} {name}: failed: {failure}", flush=True)
                finally:
                    shutil.rmtree(work, ignore_errors=True)
    finally:
        xserver.stop()
    print_table(results, args.repeats, args.seconds)


def measure_scaled_modes(args):
    scaled = {name: [] for name, _, _ in SCALED_MODES}
    xserver = XServer(*SCALED_SCREEN)
    try:
        for repeat in range(args.repeats):
            for mode in SCALED_MODES:
                work = tempfile.mkdtemp(prefix="vexlorn-bench-scaled-")
                try:
                    row = measure_scaled(args, xserver, work, mode, args.seconds)
                    scaled[mode[0]].append(row)
                    print(f"run {repeat + 1} {mode[0]}: " + ", ".join(
                        f"{key} {fmt(value)}" for key, value in row.items()), flush=True)
                except (RuntimeError, subprocess.SubprocessError, OSError) as failure:
                    print(f"run {repeat + 1} {mode[0]}: failed: {failure}", flush=True)
                finally:
                    shutil.rmtree(work, ignore_errors=True)
    finally:
        xserver.stop()
    print_scaled_table(scaled, args.repeats, args.seconds)


def wine_pid(name, timeout=30):
    """The Linux process that runs a Windows program under Wine."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        # Wine names the process by the program's own path; the launcher and the probe begin
        # with their own.
        found = subprocess.run(["pgrep", "-f", "^" + name], capture_output=True,
                               text=True).stdout.split()
        if found:
            return int(found[0])
        time.sleep(0.2)
    raise RuntimeError(f"no process for {name}")


def measure_windows_build(args):
    """The Windows build under Wine beside this build, full screen on the same Xvfb, with the
    driver Allegro picks there by default: start-up to the first frame (the pass-rate text at
    the picture's corner), CPU at the menu (the program's own process, and Wine's server beside
    it), wake-ups at the menu (all the process's threads), and CPU in a recorded level-5 round,
    windowed and full screen."""
    screen = (1024, 768)  # the size Wine takes an Xvfb without a monitor list for
    corner = ((screen[0] - 640) // 2, (screen[1] - 480) // 2, 48, 8)
    wine = os.environ.get("VEXLORN_WINE", "wine")
    rows = {}
    xserver = XServer(*screen)
    work = tempfile.mkdtemp(prefix="vexlorn-bench-windows-")
    try:
        for name, command in (("linux", [args.exe, "-fps"]),
                              ("windows", [wine, args.windows_exe, "-fps"])):
            env = {"WINEDEBUG": "-all"}
            game = Program(xserver, args.probe, command, work, corner, env=env)
            try:
                pid = wine_pid(args.windows_exe) if name == "windows" else game.pid
                server = wine_pid("/usr/lib/wine/wineserver") if name == "windows" else None
                time.sleep(2.0)
                game.key("enter", after=2.0)  # the intro opens the menu
                start_cpu, start_server = cpu_seconds(pid), cpu_seconds(server) if server else 0
                start_switches = sum(count for _, count in voluntary_switches(pid).values())
                start = time.monotonic()
                time.sleep(args.seconds)
                elapsed = time.monotonic() - start
                switches = sum(count for _, count in voluntary_switches(pid).values())
                rows[name] = [game.startup_ms, 100 * (cpu_seconds(pid) - start_cpu) / elapsed,
                              100 * ((cpu_seconds(server) if server else 0) - start_server)
                              / elapsed, (switches - start_switches) / elapsed]
            finally:
                if name == "windows":
                    subprocess.run(["pkill", "-f", "^" + args.windows_exe])
                game.stop()
            if args.replay:
                for mode in (["-window"], []):
                    replay = os.path.join(work, "level5.vxr")
                    shutil.copy(args.replay, replay)
                    program = command[:-1] + [*mode, "-replay", "level5.vxr"]
                    game = subprocess.Popen(program, cwd=work, stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL,
                                            env=dict(os.environ, DISPLAY=xserver.display,
                                                     SDL_AUDIODRIVER="dummy", HOME=work,
                                                     WINEDEBUG="-all"))
                    try:
                        pid = wine_pid(args.windows_exe) if name == "windows" else game.pid
                        time.sleep(3.0)  # past the start of the round
                        start_cpu, start = cpu_seconds(pid), time.monotonic()
                        time.sleep(3.0)  # the recording lasts a few seconds more
                        rows[name].append(100 * (cpu_seconds(pid) - start_cpu)
                                          / (time.monotonic() - start))
                    finally:
                        if name == "windows":
                            subprocess.run(["pkill", "-f", "^" + args.windows_exe])
                        game.kill()
                        game.wait()
                        wait_for_empty_screen(xserver)
    finally:
        xserver.stop()
        shutil.rmtree(work, ignore_errors=True)
    print("\nWindows build under Wine beside the Linux build (same Xvfb):")
    print("measure                          linux     windows (Wine)")
    print(f"first frame (ms)                 {fmt(rows['linux'][0]):9} {fmt(rows['windows'][0])}")
    print(f"CPU at the menu (% of a core)    {fmt(rows['linux'][1]):9} {fmt(rows['windows'][1])}"
          f" (+ {fmt(rows['windows'][2])} in wineserver)")
    print(f"wake-ups/s at the menu            {fmt(rows['linux'][3]):9} {fmt(rows['windows'][3])}"
          " (the program's own threads; Wine's server not counted)")
    if args.replay:
        print(f"CPU level-5 replay, window (%)   {fmt(rows['linux'][4]):9} {fmt(rows['windows'][4])}")
        print(f"CPU level-5 replay, full (%)     {fmt(rows['linux'][5]):9} {fmt(rows['windows'][5])}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True, help="bench/probe/first_frame, built")
    parser.add_argument("--digits", required=True, help="templates from bench/probe/font_digits")
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--seconds", type=float, default=20.0)
    parser.add_argument("--no-others", action="store_true", help="measure Vexlorn alone")
    parser.add_argument("--keep-shots", help="directory to keep the screenshots in")
    parser.add_argument("--windows-exe", help="also measure this Windows build under Wine")
    parser.add_argument("--replay", help="a recorded level-5 round: also measure a two-player "
                        "round and this replay")
    parser.add_argument("--floor", help="bench/probe/floor, built: the memory floor")
    parser.add_argument("--no-scaled", action="store_true",
                        help="skip the scaled window and full screen")
    parser.add_argument("--scaled-only", action="store_true",
                        help="measure only the scaled window and full screen")
    args = parser.parse_args()
    args.exe, args.probe = os.path.abspath(args.exe), os.path.abspath(args.probe)
    args.replay = args.replay and os.path.abspath(args.replay)
    args.floor = args.floor and os.path.abspath(args.floor)
    if args.keep_shots:
        os.makedirs(args.keep_shots, exist_ok=True)
    templates = load_digit_templates(args.digits)
    # Stopped from outside, the programs and the X server still go.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    if not args.scaled_only:
        measure_unscaled(args, templates)
    if not args.no_scaled:
        measure_scaled_modes(args)
    if args.windows_exe:
        measure_windows_build(args)


if __name__ == "__main__":
    main()
