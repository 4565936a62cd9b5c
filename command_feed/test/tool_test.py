"""The operator tool's input handling, without the module."""

import argparse
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tool"))
import feed_keys  # noqa: E402
import feed_modes  # noqa: E402
import feed_options  # noqa: E402
import feed_publisher  # noqa: E402


class FakeFeed(feed_publisher.Feed):
    def __init__(self):
        super().__init__(module=None, neutral=[8] * 14 + [13])
        self.pushed = []

    def push(self):
        self.pushed.append(list(self.values))


class KeysTest(unittest.TestCase):
    def test_keys_read_together_are_all_handled(self):
        self.assertEqual(feed_keys.split_keys("\x1b[C\x1b[A\x1b[Aq"), ["d", "w", "w", "q"])
        self.assertEqual(feed_keys.split_keys("dw "), ["d", "w", " "])

    def test_channel_choice_wraps_and_values_stay_in_range(self):
        feed = FakeFeed()
        self.assertEqual(feed_keys.apply_key(feed, 0, "a"), feed_publisher.LAST_SETTABLE)
        for _ in range(20):
            feed_keys.apply_key(feed, 3, "w")
        self.assertEqual(feed.values[3], 15)
        feed_keys.apply_key(feed, 3, "s")
        self.assertEqual(feed.values[3], 14)
        feed_keys.apply_key(feed, 2, " ")
        self.assertEqual(feed.values[2], feed_publisher.CENTRE)
        self.assertEqual(feed_keys.apply_key(feed, 2, "x"), 2)
        feed_keys.apply_key(feed, 2, "0")
        self.assertEqual(feed.pushed[-1], [0] * 15)
        feed_keys.apply_key(feed, 2, "n")
        self.assertEqual(feed.pushed[-1], feed.neutral)
        self.assertEqual(len(feed.pushed), 24)


class FakeModule:
    """Records the calls of the module that Feed makes; each succeeds."""

    def __init__(self):
        self.calls = []

    def __getattr__(self, name):
        return lambda *args: self.calls.append((name,) + args) or 0

    @staticmethod
    def status():
        return ("publishing", "")


class FeedTest(unittest.TestCase):
    def test_the_dead_man_is_set_first_and_waiting_renews_the_values(self):
        module = FakeModule()
        feed = feed_publisher.Feed(module, [8] * 14 + [13])
        feed.start(timeout=1)
        self.assertEqual(module.calls[:3], [("set_deadman", 500), ("set_write_on_change", False), ("connect",)])
        self.assertTrue(feed.wait(3 * feed_publisher.LOOK_PERIOD))
        sends = [call for call in module.calls if call[0] == "send"]
        self.assertGreaterEqual(len(sends), 3)
        self.assertEqual(set(sends), {("send", "".join(map(chr, feed.neutral)), 15)})


class ArgumentsTest(unittest.TestCase):
    def test_sweep_goes_up_and_back_without_repeating_its_ends(self):
        self.assertEqual(feed_modes.sweep_positions(2, 5), [2, 3, 4, 5, 4, 3])

    def test_fixed_values_are_checked(self):
        self.assertEqual(feed_options.parse_values("1,0xb,15"), [1, 11, 15])
        for bad in ["16", "-1", ",".join(["1"] * 15)]:
            with self.assertRaises(argparse.ArgumentTypeError):
                feed_options.parse_values(bad)
        with self.assertRaises(argparse.ArgumentTypeError):
            feed_options.channel_list("14")

    def test_sweep_range_must_be_ordered(self):
        with self.assertRaises(SystemExit):
            feed_options.parse_arguments(["sweep", "--low", "9", "--high", "3"])


if __name__ == "__main__":
    unittest.main()
