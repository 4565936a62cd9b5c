"""Provider side of the remote-control test: publishes three values through
_CommandFeed and reports each step on standard output. With a second
argument the publisher writes on change, and that second set of values is
sent once publishing runs."""

import os
import sys
import time

import _CommandFeed

SHM = "/dev/shm/Remote_open_control_kit_enabled_target_(Zentor)Shm"


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.05)
    return condition()


def step(name, value):
    print(name, value, flush=True)


later = sys.argv[2] if len(sys.argv) > 2 else None
if later:
    _CommandFeed.set_write_on_change(True)
step("connect", _CommandFeed.connect())
step("send", _CommandFeed.send(sys.argv[1], len(sys.argv[1])))
step("publishing", wait_for(lambda: os.path.exists(SHM), 30))
if later:
    # The consumer signs in only after the broker has both apps: wait for it.
    wait_for(lambda: False, 2)
    step("later send", _CommandFeed.send(later, len(later)))
step("second connect", _CommandFeed.connect())
step("empty send", _CommandFeed.send("\x07", 0))
# SIGINT stops the publisher, which then removes its shared memory.
wait_for(lambda: not os.path.exists(SHM), 100)
step("stopped", not os.path.exists(SHM))
