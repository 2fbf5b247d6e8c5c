"""Two real games on this computer's loopback: one hosts, one joins, both pick a level and
mark ready, and a round is played to its end on both with byte-identical recordings that play
again to their end; a pause on one side holds both; then one game is killed mid-round, and the
other tells the loss and is back at a working menu. Then two games in a network of their own
find each other from the versus set-up, without an address typed, and play a round. Last, two
games play through a relay that makes their line bad: 150 ms round trip, jitter, loss,
duplicates and reordering, with both players pressing keys while a stranger floods the host
with 10,000 datagrams a second; the round still ends alike, and the host's memory stays put."""

import filecmp
import glob
import os
import subprocess
import sys
import tempfile
import time
import unittest

from harness import Game, executable, main

WELLS = (100, 40, 540, 440)


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def ready_at_level_5(*games):
    """Each player picks level 5, where rounds are quickest, and marks ready."""
    for game in games:
        for _ in range(4):
            game.key("Right")
        game.key("Return")


def recordings(game):
    return sorted(glob.glob(game.file("replays/*.vxr")))


def wait_for(predicate, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.5)
    return False


class PrivateNetwork:
    """A network namespace with only its own loopback, so that the games' searches of the
    local network (and a host's question to the router) reach nothing outside it; `ready` is
    false where this machine allows no namespace."""

    def __init__(self):
        self.holder = subprocess.Popen(
            ["unshare", "--net", "sh", "-c", "ip link set lo up && echo up && exec sleep 900"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.ready = self.holder.stdout.readline().strip() == "up"

    def command(self):
        return ["--net=/proc/%d/ns/net" % self.holder.pid, os.path.abspath(executable())]

    def script(self, name, *args):
        """One of this folder's Python scripts, run inside the network; its output piped."""
        return subprocess.Popen(
            ["nsenter", "--net=/proc/%d/ns/net" % self.holder.pid, sys.executable,
             os.path.join(os.path.dirname(os.path.abspath(__file__)), name), *map(str, args)],
            stdout=subprocess.PIPE, text=True)

    def close(self):
        self.holder.kill()
        self.holder.wait()
        self.holder.stdout.close()


class OnlineWindowTest(unittest.TestCase):
    def test_a_round_ends_alike_on_both_and_a_killed_game_is_seen_lost(self):
        # In a network of its own: a host asks the local network's router for its port.
        network = PrivateNetwork()
        try:
            if not network.ready:
                self.skipTest("no network namespace can be made here")
            self.play_kill_and_replay(network)
        finally:
            network.close()

    def play_kill_and_replay(self, network):
        port = str(30000 + os.getpid() % 20000)
        with Game(*network.command(), "-window", "-host", port, executable_path="nsenter") as host, \
                Game(*network.command(), "-window", "-join", "127.0.0.1:" + port,
                     executable_path="nsenter") as joiner:
            time.sleep(1.5)
            ready_at_level_5(host, joiner)
            time.sleep(2)
            self.assertTrue(host.running() and joiner.running())
            self.assertTrue(wait_for(lambda: recordings(host) and recordings(joiner), 120),
                            "the first round did not end on both sides")
            first_host, first_joiner = recordings(host)[0], recordings(joiner)[0]
            self.assertEqual(os.path.basename(first_host), os.path.basename(first_joiner),
                             "both named by the host's clock")
            self.assertTrue(filecmp.cmp(first_host, first_joiner, shallow=False),
                            "the two sides' recordings differ")

            # The next round starts by itself. P on one side pauses both, for longer than a
            # silent peer would be lost in; either side resumes.
            time.sleep(6)
            host.key("p")
            time.sleep(1)
            paused = joiner.screenshot("joiner-paused")
            time.sleep(11)
            self.assertEqual(joiner.screenshot("joiner-still-paused").differs(paused, *WELLS), 0,
                             "the other side plays on while paused")
            joiner.key("p")
            time.sleep(2)
            self.assertGreater(joiner.screenshot("joiner-resumed").differs(paused, *WELLS), 0,
                               "the round did not resume")
            # The joining game dies mid-round.
            joiner.proc.kill()
            joiner.proc.wait()
            time.sleep(2)
            interrupted = host.screenshot("host-interrupted")
            self.assertTrue(host.running())
            # Lost after ten seconds of silence, the notice for five, then the menu.
            time.sleep(15)
            self.assertTrue(host.running(), host.output())
            menu = host.screenshot("host-menu")
            self.assertGreater(menu.differs(interrupted, *WELLS), 5000,
                               "the round is still shown after the loss")
            self.assertEqual(len(recordings(host)), 2, "the cut-off round is kept as well")
            host.key("Down")  # the menu answers
            time.sleep(0.5)
            self.assertGreater(host.screenshot("host-menu-moved").differs(menu), 0)
            with open(first_host, "rb") as kept:
                recorded = kept.read()

        # Either side's file plays again to its recorded end.
        with tempfile.NamedTemporaryFile(suffix=".vxr") as copy:
            copy.write(recorded)
            copy.flush()
            with Game("-window", "-replay", copy.name) as replay:
                self.assertEqual(replay.wait_exit(120), 0, replay.output())


class OnlineFromTheSetUpTest(unittest.TestCase):
    def test_a_game_found_on_the_network_is_joined_from_the_set_up_and_played(self):
        network = PrivateNetwork()
        try:
            if not network.ready:
                self.skipTest("no network namespace can be made here")
            with Game(*network.command(), "-window", "-versus", executable_path="nsenter") as host, \
                    Game(*network.command(), "-window", "-versus",
                         executable_path="nsenter") as joiner:
                time.sleep(1.5)
                host.key("o")
                host.key("Return")  # Host a game
                joiner.key("o")
                time.sleep(3)  # a search each second finds the host
                found = joiner.screenshot("joiner-found")
                joiner.key("Down")
                joiner.key("Down")  # past the address, the first game found
                joiner.key("Return")
                time.sleep(2)
                set_up = joiner.screenshot("joiner-set-up")
                self.assertGreater(set_up.differs(found), 5000, "the joiner is still searching")
                ready_at_level_5(host, joiner)
                self.assertTrue(wait_for(lambda: recordings(host) and recordings(joiner), 120),
                                "no round was played to its end on both sides")
                self.assertTrue(filecmp.cmp(recordings(host)[0], recordings(joiner)[0],
                                            shallow=False), "the two sides' recordings differ")
                # Esc leaves the match, back to the online choice, then the versus set-up.
                joiner.key("Escape")
                time.sleep(1)
                joiner.key("Escape")
                time.sleep(0.5)
                self.assertTrue(joiner.running(), joiner.output())
        finally:
            network.close()


class OnlineOverABadLineTest(unittest.TestCase):
    def test_keys_over_a_bad_line_and_a_strangers_flood_end_the_round_alike(self):
        network = PrivateNetwork()
        relay = None
        try:
            if not network.ready:
                self.skipTest("no network namespace can be made here")
            port = 30000 + os.getpid() % 20000
            relay_port = port + 1
            # 75 ms each way, 10 ms either side of it, 2 % lost, 1 % twice; for three minutes.
            relay = network.script("udp_relay.py", relay_port, port, 75, 10, 0.02, 0.01, 7, 180)
            self.assertEqual(relay.stdout.readline().strip(), "relaying")
            with Game(*network.command(), "-window", "-host", str(port),
                      executable_path="nsenter") as host, \
                    Game(*network.command(), "-window", "-join", "127.0.0.1:%d" % relay_port,
                         executable_path="nsenter") as joiner:
                time.sleep(2)
                ready_at_level_5(host, joiner)
                time.sleep(3)
                # Both players swap now and then, so that keys arrive late and the round is
                # played again from the last update both sides are sure of; meanwhile a
                # stranger floods the host's port.
                before = resident_kib(host.proc.pid)
                flood = network.script("udp_flood.py", port, 10000, 8, 11)
                arrows = ("Left", "Down", "Right", "Up", "Down")
                for i in range(30):
                    (host if i % 2 == 0 else joiner).key(arrows[i % len(arrows)])
                    time.sleep(0.3)
                flood_sent = int(flood.communicate(timeout=30)[0].strip() or 0)
                self.assertGreater(flood_sent, 60000, "the flood was not sent")
                grown = resident_kib(host.proc.pid) - before
                self.assertLess(grown, 4096, "the host grew %d KiB under the flood" % grown)
                self.assertTrue(wait_for(lambda: recordings(host) and recordings(joiner), 120),
                                "the round did not end on both sides over the bad line")
                self.assertTrue(filecmp.cmp(recordings(host)[0], recordings(joiner)[0],
                                            shallow=False), "the two sides' recordings differ")
                self.assertTrue(host.running() and joiner.running(),
                                host.output() + joiner.output())
        finally:
            if relay is not None:
                relay.kill()
                relay.wait()
                relay.stdout.close()
            network.close()


if __name__ == "__main__":
    main()
