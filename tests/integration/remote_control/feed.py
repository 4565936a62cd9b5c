"""Provider side of the remote-control test: publishes three values through
_CommandFeed and reports each step on standard output."""

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


step("connect", _CommandFeed.connect())
step("send", _CommandFeed.send(sys.argv[1], len(sys.argv[1])))
step("publishing", wait_for(lambda: os.path.exists(SHM), 30))
step("second connect", _CommandFeed.connect())
step("empty send", _CommandFeed.send("\x07", 0))
# SIGINT stops the publisher, which then removes its shared memory.
wait_for(lambda: not os.path.exists(SHM), 100)
step("stopped", not os.path.exists(SHM))
