#!/usr/bin/python3
"""Operator tool for the remote-control path: publishes the 15 servo channel
values through the _CommandFeed module, from the keyboard, as a sweep, or as
fixed values. Needs a running VOK_App broker; servo_controller consumes what
this publishes. However it stops (Ctrl-C, SIGTERM, SIGHUP, the end of a
sweep, an error) the last values it publishes are the neutral ones; when the
publisher fails it says why and exits with status 1. Every mode renews its
values at least every LOOK_PERIOD, so that the publisher's dead-man puts the
neutral values in force when the tool hangs.
"""

import argparse
import os
import select
import signal
import sys
import termios
import time
import tty

CHANNELS = 15
# Channel 14 is the frame's end mark: the servo driver always sends it as 13.
LAST_SETTABLE = CHANNELS - 2
MAX_VALUE = 15
CENTRE = 8
# How often a waiting tool looks whether its publisher still runs and
# renews its values.
LOOK_PERIOD = 0.1
# Silence after which the publisher itself puts the neutral values in force.
DEAD_MAN = 0.5
# How long a failed tool waits for its publisher to let go of the ring.
ABANDON_WAIT = 0.5


class PublisherFailed(Exception):
    """The publisher did not start or ended on its own."""


class StopRequested(Exception):
    """SIGTERM or SIGHUP: stop as Ctrl-C does."""


def import_module():
    try:
        import _CommandFeed
    except ImportError as error:
        sys.exit("command_feed: cannot import _CommandFeed (%s); set PYTHONPATH to the "
                 "build's python folder or install the project" % error)
    return _CommandFeed


class Feed:
    """The module's publisher and the values it publishes, which start at
    the neutral ones; dead_man is the publisher's dead-man time in seconds."""

    def __init__(self, module, neutral, dead_man=DEAD_MAN):
        self.module = module
        self.neutral = list(neutral)
        self.values = list(neutral)
        self.dead_man = dead_man

    def start(self, timeout):
        self.module.set_deadman(round(self.dead_man * 1000))
        if self.module.connect() != 0:
            raise PublisherFailed("connect() failed: a publisher already runs in this process")
        self.push()
        deadline = time.monotonic() + timeout
        while not self.publishing():
            if self.module.status()[0] == "ended":
                return  # stopped (Ctrl-C) before it began publishing
            if time.monotonic() > deadline:
                raise PublisherFailed("the publisher did not start within %g s; is VOK_App "
                                      "running?" % timeout)
            time.sleep(0.05)

    def publishing(self):
        """True while the publisher writes, False once it was stopped (Ctrl-C).
        Raises PublisherFailed when it ended on an error."""
        phase, failure = self.module.status()
        if failure:
            raise PublisherFailed("the publisher failed: " + failure)
        return phase == "publishing"

    def wait(self, seconds):
        """Sleeps, looking at the publisher and renewing the values meanwhile;
        whether it still runs."""
        end = time.monotonic() + seconds
        while self.publishing():
            self.push()
            left = end - time.monotonic()
            if left <= 0:
                return True
            time.sleep(min(LOOK_PERIOD, left))
        return False

    def set(self, channel, value):
        self.values[channel] = max(0, min(MAX_VALUE, value))

    def push(self):
        # Values 0..15 are single UTF-8 bytes, so the text carries them 1:1.
        text = "".join(chr(v) for v in self.values)
        return self.module.send(text, CHANNELS)

    def stop(self, timeout=3.0):
        """Stops the publisher, which writes the neutral values last and then
        releases its ring; whether it ended within timeout seconds."""
        stopped = self.module.stop(timeout)
        self.module.disconnect()
        return stopped


def parse_values(text):
    values = [int(v, 0) for v in text.split(",") if v.strip()]
    if len(values) > LAST_SETTABLE + 1 or any(v < 0 or v > MAX_VALUE for v in values):
        raise argparse.ArgumentTypeError(
            "up to %d comma-separated values 0..%d" % (LAST_SETTABLE + 1, MAX_VALUE))
    return values


def run_fixed(feed, args):
    for channel, value in enumerate(args.values):
        feed.set(channel, value)
    while feed.wait(LOOK_PERIOD):
        pass


def sweep_positions(low, high):
    """low, low+1 .. high, high-1 .. low+1: one back-and-forth sweep."""
    up = list(range(low, high + 1))
    return up + up[-2:0:-1]


def run_sweep(feed, args):
    done = 0
    while feed.publishing() and (args.cycles == 0 or done < args.cycles):
        for position in sweep_positions(args.low, args.high):
            for channel in args.channels:
                feed.set(channel, position)
            if not feed.wait(args.step / 1000.0):
                return
        done += 1


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


def run_serve(feed, args):
    # Installed, the console's parts are in the data folder beside bin/;
    # aiohttp is needed by this mode only.
    here = os.path.dirname(os.path.realpath(__file__))
    sys.path.append(os.path.join(here, "..", "share", "vok", "command_feed"))
    import operator_console
    operator_console.run_serve(feed, args)


def channel_list(text):
    channels = [int(c) for c in text.split(",")]
    if any(c < 0 or c > LAST_SETTABLE for c in channels):
        raise argparse.ArgumentTypeError("channels 0..%d" % LAST_SETTABLE)
    return channels


def parse_arguments(argv):
    parser = argparse.ArgumentParser(
        prog="command_feed",
        description="Publish the remote-control channel values (bramixData) to "
                    "servo_controller through a running VOK_App broker. Each value is "
                    "0..15 (the servo board takes the low 4 bits); channel 14 is the "
                    "frame's end mark and cannot be set. Ctrl-C stops publishing.")
    parser.add_argument("--publisher-log", metavar="FILE",
                        help="send the publisher's 'SENT:' screen to FILE instead of "
                             "the terminal (keys and serve modes default to /dev/null)")
    parser.add_argument("--start-timeout", type=float, default=10.0, metavar="S",
                        help="seconds to wait for the publisher to start (default 10)")
    parser.add_argument("--neutral", metavar="V,...",
                        help="neutral values for channels 0, 1, ... (up to 14 values 0..15; "
                             "the rest stay at 8): the start values and the last ones "
                             "published (default: all 8, as servo_controller's)")
    modes = parser.add_subparsers(dest="mode", required=True)

    keys = modes.add_parser("keys", help="drive the channels from the keyboard")
    keys.set_defaults(run=run_keys)

    sweep = modes.add_parser("sweep", help="sweep channels back and forth")
    sweep.add_argument("--channels", type=channel_list, default=[0],
                       help="comma-separated channels to sweep (default 0)")
    sweep.add_argument("--low", type=int, default=0, choices=range(MAX_VALUE + 1),
                       metavar="V", help="lowest value (default 0)")
    sweep.add_argument("--high", type=int, default=MAX_VALUE, choices=range(MAX_VALUE + 1),
                       metavar="V", help="highest value (default 15)")
    sweep.add_argument("--step", type=int, default=300, metavar="MS",
                       help="milliseconds per step (default 300)")
    sweep.add_argument("--cycles", type=int, default=0,
                       help="back-and-forth sweeps before stopping (default 0: forever)")
    sweep.set_defaults(run=run_sweep)

    serve = modes.add_parser("serve", help="serve the browser operator console")
    serve.add_argument("--bind", default="127.0.0.1", metavar="ADDR",
                       help="address to listen on (default 127.0.0.1)")
    serve.add_argument("--port", type=int, default=2021, metavar="N",
                       help="TCP port (default 2021)")
    serve.add_argument("--token", metavar="T",
                       help="the console's token, opened once as http://ADDR:N/?token=T "
                            "(default: a new one, printed at start and kept in a file of "
                            "the runtime folder)")
    serve.add_argument("--allow-host", action="append", default=[], metavar="NAME",
                       help="one more name under which browsers reach the console "
                            "(besides this machine's names and addresses); repeatable")
    serve.add_argument("--stream", default="http://127.0.0.1:2020/", metavar="URL",
                       help="the MJPEG stream the page shows (default http://127.0.0.1:2020/)")
    serve.set_defaults(run=run_serve)

    fixed = modes.add_parser("set", help="publish fixed values until Ctrl-C")
    fixed.add_argument("values", type=parse_values,
                       help="comma-separated values for channels 0, 1, ... e.g. 1,11,15")
    fixed.set_defaults(run=run_fixed)

    args = parser.parse_args(argv)
    if args.mode == "sweep" and args.low >= args.high:
        parser.error("--low must be below --high")
    return args


def redirect_publisher_screen(path):
    """The publisher writes to file descriptor 1 directly."""
    sys.stdout.flush()
    target = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_APPEND, 0o644)
    os.dup2(target, 1)
    os.close(target)


def neutral_values(module, text):
    try:
        return module.neutral(text) if text else module.neutral()
    except ValueError as error:
        sys.exit("command_feed: --neutral: %s" % error)


def request_stop(signum, _frame):
    # One request is enough; a second must not cut the stop short.
    signal.signal(signal.SIGTERM, signal.SIG_IGN)
    signal.signal(signal.SIGHUP, signal.SIG_IGN)
    raise StopRequested(signal.Signals(signum).name)


def abandon(feed, failure):
    """Says why and ends at once with status 1: a publisher still stuck in
    its sign-in is given a moment, not the interpreter's usual wait."""
    sys.stderr.write("command_feed: %s\n" % failure)
    sys.stderr.flush()
    feed.stop(ABANDON_WAIT)
    sys.stdout.flush()
    os._exit(1)


def main(argv):
    args = parse_arguments(argv)
    log = args.publisher_log or ("/dev/null" if args.mode in ("keys", "serve") else None)
    if log:
        redirect_publisher_screen(log)
    module = import_module()
    feed = Feed(module, neutral_values(module, args.neutral))
    # Ctrl-C is the module's own (it stops the publisher); these two are
    # the other ways a tool is asked to stop.
    signal.signal(signal.SIGTERM, request_stop)
    signal.signal(signal.SIGHUP, request_stop)
    try:
        feed.start(args.start_timeout)
        args.run(feed, args)
    except StopRequested:
        pass
    except PublisherFailed as failure:
        abandon(feed, failure)
    finally:
        feed.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
