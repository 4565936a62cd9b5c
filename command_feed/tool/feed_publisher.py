"""The operator tool's publisher: the module's publisher and the values it
publishes, renewed while the tool waits so that the publisher's dead-man
puts the neutral values in force when the tool hangs."""

import sys
import time

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


class PublisherFailed(Exception):
    """The publisher did not start or ended on its own."""


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

    def __init__(self, module, neutral, dead_man=DEAD_MAN, write_on_change=False):
        self.module = module
        self.write_on_change = write_on_change
        self.neutral = list(neutral)
        self.values = list(neutral)
        self.dead_man = dead_man

    def start(self, timeout):
        self.module.set_deadman(round(self.dead_man * 1000))
        self.module.set_write_on_change(self.write_on_change)
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
