"""The operator tool's modes that need no terminal: fixed values, a sweep,
and the browser console."""

from feed_publisher import LOOK_PERIOD


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


def run_serve(feed, args):
    # aiohttp is needed by this mode only.
    import operator_console
    operator_console.run_serve(feed, args)
