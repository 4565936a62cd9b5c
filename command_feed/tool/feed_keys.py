"""The operator tool's keys mode: the channels driven from a terminal in raw
mode."""

import os
import select
import sys
import termios
import tty

from feed_publisher import CENTRE, CHANNELS, LAST_SETTABLE, LOOK_PERIOD

KEYS_HELP = ("keys: left/right or a/d choose a channel, up/down or w/s change it, "
             "space centres it, n sets all neutral, 0 zeroes all, q or Ctrl-C quits")


ARROWS = {"\x1b[A": "w", "\x1b[B": "s", "\x1b[C": "d", "\x1b[D": "a"}


def split_keys(text):
    """The keys in one read: arrow sequences become w/s/d/a, the rest one by one."""
    keys = []
    while text:
        if text[:3] in ARROWS:
            keys.append(ARROWS[text[:3]])
            text = text[3:]
        else:
            keys.append(text[0])
            text = text[1:]
    return keys


def read_keys(timeout):
    ready, _, _ = select.select([sys.stdin], [], [], timeout)
    if not ready:
        return []
    return split_keys(os.read(sys.stdin.fileno(), 64).decode("latin-1"))


def draw(feed, channel):
    cells = " ".join(("[%X]" if i == channel else " %X ") % v
                     for i, v in enumerate(feed.values[:LAST_SETTABLE + 1]))
    sys.stderr.write("\r\x1b[K%s  ch %d" % (cells, channel))
    sys.stderr.flush()


def apply_key(feed, channel, key):
    """Acts on one key; the channel selected afterwards."""
    if key in ("a", "d"):
        return (channel + (1 if key == "d" else -1)) % (LAST_SETTABLE + 1)
    if key in ("w", "s"):
        feed.set(channel, feed.values[channel] + (1 if key == "w" else -1))
    elif key == " ":
        feed.set(channel, CENTRE)
    elif key == "0":
        feed.values = [0] * CHANNELS
    elif key == "n":
        feed.values = list(feed.neutral)
    else:
        return channel
    feed.push()
    return channel


def run_keys(feed, args):
    if not sys.stdin.isatty():
        sys.exit("command_feed: keys mode needs a terminal on standard input")
    saved = termios.tcgetattr(sys.stdin)
    tty.setraw(sys.stdin)
    channel = 0
    try:
        sys.stderr.write(KEYS_HELP + "\r\n")
        while feed.publishing():
            draw(feed, channel)
            feed.push()
            for key in read_keys(LOOK_PERIOD):
                if key in ("q", "\x03"):
                    return
                channel = apply_key(feed, channel, key)
    finally:
        termios.tcsetattr(sys.stdin, termios.TCSADRAIN, saved)
        sys.stderr.write("\n")
