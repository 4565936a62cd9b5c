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

import os
import signal
import sys

# Installed, the tool's parts are in the data folder beside bin/.
sys.path.append(os.path.join(os.path.dirname(os.path.realpath(__file__)),
                             "..", "share", "vok", "command_feed"))

from feed_options import parse_arguments  # noqa: E402
from feed_publisher import PublisherFailed, Feed, import_module  # noqa: E402

# How long a failed tool waits for its publisher to let go of the ring.
ABANDON_WAIT = 0.5


class StopRequested(Exception):
    """SIGTERM or SIGHUP: stop as Ctrl-C does."""


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
    feed = Feed(module, neutral_values(module, args.neutral),
                write_on_change=args.write_on_change)
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
