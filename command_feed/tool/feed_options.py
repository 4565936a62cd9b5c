"""The operator tool's command line."""

import argparse

from feed_keys import run_keys
from feed_modes import run_fixed, run_serve, run_sweep
from feed_publisher import LAST_SETTABLE, MAX_VALUE


def parse_values(text):
    values = [int(v, 0) for v in text.split(",") if v.strip()]
    if len(values) > LAST_SETTABLE + 1 or any(v < 0 or v > MAX_VALUE for v in values):
        raise argparse.ArgumentTypeError(
            "up to %d comma-separated values 0..%d" % (LAST_SETTABLE + 1, MAX_VALUE))
    return values


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
    parser.add_argument("--write-on-change", action="store_true",
                        help="publish a change at once, not at the next 150 ms pass "
                             "(the passes go on)")
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
