"""A game under valgrind's memcheck in a real window, by hand (too slow for the test suite).

Usage: python3 tests/window/memcheck_run.py --exe build/vexlorn [--log memcheck.log]
Plays intro, menu, a round with moves, the level skip, back to the menu and out, then prints
the leak summary and every error whose stack passes through the game's own code.
"""

import argparse
import os
import re
import sys
import tempfile

import harness
from harness import Game, wait_shown


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--log", default=os.path.join(tempfile.gettempdir(), "vexlorn-memcheck.log"))
    args = parser.parse_args()
    harness._exe = os.path.abspath(args.exe)
    wrapper_dir = tempfile.mkdtemp(prefix="vexlorn-memcheck-")
    wrapper = os.path.join(wrapper_dir, "memcheck")
    with open(wrapper, "w") as script:
        script.write("#!/bin/sh\nexec valgrind --leak-check=full --show-leak-kinds=definite,indirect "
                     f"--num-callers=30 --log-file='{args.log}' '{harness._exe}' \"$@\"\n")
    os.chmod(wrapper, 0o755)
    with Game("-window", "-cheat", executable_path=wrapper, wait_window=False) as game:
        game.window = game.wait_window(timeout=180)
        wait_shown(game, timeout=180)
        game.key("enter", hold=0.3, after=4.0)   # menu
        game.key("enter", hold=0.3, after=15.0)  # one player, through get-ready
        for name in ("left", "up", "right", "down") * 4:
            game.key(name, hold=0.2, after=0.5)
        game.key("plus", hold=0.2, after=10.0)   # the level skip: continue screen
        game.key("enter", hold=0.3, after=10.0)
        game.key("enter", hold=0.3, after=15.0)
        game.key("esc", hold=0.3, after=6.0)     # back to the menu from wherever it is
        game.key("esc", hold=0.3, after=6.0)
        game.key("up", hold=0.3, after=4.0)
        game.key("enter", hold=0.3)
        code = game.wait_exit(300)
        print("exit code", code)
    with open(args.log) as log:
        text = log.read()
    for line in text.splitlines():
        if re.search(r"(definitely|indirectly|possibly) lost:|ERROR SUMMARY|in use at exit", line):
            print(line)
    ours = [block for block in text.split("\n==") if "vexlorn::" in block]
    print(f"{len(ours)} report lines mention the game's code")
    blocks = re.split(r"\n(?===\d+== \n)", text)
    for block in blocks:
        if "vexlorn::" in block and ("Invalid" in block or "uninitialised" in block or
                                     "definitely lost" in block):
            print(block)
    return 0 if code == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
