"""The control protocol of the operator console, without the network: what
a control message must be, who drives, and the release of a silent driver."""

import json
import time

CHANNELS = 15
MAX_VALUE = 15
# Longest control message; fifteen two-digit values fit easily.
MAX_MESSAGE = 512

# WebSocket close codes for a bad message (documented in the README).
CLOSE_BINARY = 1003
CLOSE_NOT_JSON = 1007
CLOSE_TOO_LONG = 1009
CLOSE_SHAPE = 4001
CLOSE_COUNT = 4002
CLOSE_RANGE = 4003


class BadMessage(Exception):
    """A control message that is not {"values": [15 integers 0..15]}."""

    def __init__(self, code, reason):
        super().__init__(reason)
        self.code = code
        self.reason = reason


def read_values(text):
    """The 15 values of a control message; BadMessage otherwise."""
    if len(text.encode("utf-8")) > MAX_MESSAGE:
        raise BadMessage(CLOSE_TOO_LONG, "message longer than %d bytes" % MAX_MESSAGE)
    try:
        message = json.loads(text)
    except ValueError:
        raise BadMessage(CLOSE_NOT_JSON, "not JSON") from None
    if not isinstance(message, dict) or set(message) != {"values"} \
            or not isinstance(message["values"], list):
        raise BadMessage(CLOSE_SHAPE, 'expected {"values": [15 integers]}')
    values = message["values"]
    if len(values) != CHANNELS:
        raise BadMessage(CLOSE_COUNT, "%d values, not %d" % (len(values), CHANNELS))
    # bool is an int to Python, not to the protocol.
    if any(type(v) is not int or not 0 <= v <= MAX_VALUE for v in values):
        raise BadMessage(CLOSE_RANGE, "values must be integers 0..%d" % MAX_VALUE)
    return values


class Control:
    """The values in force and the one client that drives them. apply(values)
    publishes a list of values; a driver silent for dead_man seconds lets go;
    clock gives seconds."""

    def __init__(self, neutral, apply, dead_man, clock=time.monotonic):
        self.neutral = list(neutral)
        self.apply = apply
        self.dead_man = dead_man
        self.clock = clock
        self.values = list(neutral)
        self.driver = None
        self.last_message = 0.0

    def offer(self, client, values):
        """A control message from client; whether it drives (a second
        client is refused while the first drives)."""
        if self.driver not in (None, client):
            return False
        self.driver = client
        self.last_message = self.clock()
        self.put(values)
        return True

    def leave(self, client):
        """client went away; a driver leaves the neutral values in force."""
        if self.driver is client:
            self.release()

    def check(self):
        """A driver silent for dead_man seconds lets go. The feed's publisher
        has put the neutral values in force by then on its own, also when
        this process hangs; this frees the console for another page."""
        if self.driver is not None and self.clock() - self.last_message >= self.dead_man:
            self.release()

    def release(self):
        self.driver = None
        self.put(self.neutral)

    def put(self, values):
        # Every message of the driver reaches the feed, changed or not: it
        # renews the publisher's dead-man.
        self.values = list(values)
        self.apply(self.values)

    def view(self, client):
        """Who drives, as client sees it, the values in force and the
        neutral ones (what a page sends when it lets go)."""
        driver = "nobody" if self.driver is None else "you" if self.driver is client else "another"
        return {"values": self.values, "driver": driver, "neutral": self.neutral}
