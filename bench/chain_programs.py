"""The chain that chain_latency runs: its programs started in order, tracked
by pid (this process adopts the daemons as subreaper), and stopped with
SIGINT."""
import os
import signal
import subprocess
import time

CAMERA = ("exec /usr/bin/ffmpeg -loglevel error -nostdin -re -f lavfi -i testsrc=size=640x480:rate=30 "
          "-f mjpeg -q:v 7 -")
EVENT_OPTIONS = {"servo": ["--wake-on-record"],
                 "relay": ["--wake-on-record", "--frame-period-us", "25000"]}
# The publisher draws its screen on descriptor 1: the answers take a copy.
FEED_DRIVER = r"""
import os, sys, time, _CommandFeed as feed
answers = os.fdopen(os.dup(1), "w")
os.dup2(os.open(os.devnull, os.O_WRONLY), 1)
feed.set_write_on_change(sys.argv[1] == "1")
feed.connect()
while feed.status()[0] != "publishing":
    time.sleep(0.01)
print("ready", file=answers, flush=True)
for line in sys.stdin:
    value = int(line)
    sent = time.monotonic()
    feed.send(chr(value) + chr(8) * 13, 14)
    print(sent, file=answers, flush=True)
feed.stop(3.0)
"""


def adopted(name, known):
    """The pid of a child of this process named name, not in known."""
    for _ in range(1000):
        for task in os.listdir("/proc/self/task"):
            with open(f"/proc/self/task/{task}/children") as children:
                for pid in map(int, children.read().split()):
                    try:
                        with open(f"/proc/{pid}/comm") as comm:
                            if comm.read().strip() == name[:15] and pid not in known:
                                return pid
                    except FileNotFoundError:
                        pass
        time.sleep(0.01)
    raise RuntimeError(f"{name} did not start")


def parent_of(pid):
    with open(f"/proc/{pid}/stat") as stat:
        return int(stat.read().rsplit(")", 1)[1].split()[1])


def descendant(name, ancestor):
    """The pid of a process named name below ancestor (the camera's pipeline)."""
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        for entry in filter(str.isdigit, os.listdir("/proc")):
            pid = int(entry)
            try:
                with open(f"/proc/{pid}/comm") as comm:
                    if comm.read().strip() != name:
                        continue
                above = parent_of(pid)
                while above > 1 and above != ancestor:
                    above = parent_of(above)
                if above == ancestor:
                    return pid
            except (FileNotFoundError, ProcessLookupError):
                pass
        time.sleep(0.01)
    raise RuntimeError(f"{name} did not start")


def listening(path):
    """Waits until a socket listens on path: an app looks the broker up once,
    when it starts, so the broker must be reachable by then."""
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        with open("/proc/net/unix") as sockets:
            if any(line.split()[-1] == path for line in sockets if len(line.split()) == 8):
                return
        time.sleep(0.01)
    raise RuntimeError(f"no socket listens on {path}")


class Chain:
    """The chain's processes by name; stop() ends whatever was started."""

    def __init__(self, logs):
        self.pids = {}
        self.feed = None
        self.children = []
        self.logs = logs

    def log(self, name):
        """Where a program's output goes (kept for a look after a failure)."""
        return {"stdout": open(os.path.join(self.logs, name), "w"), "stderr": subprocess.STDOUT}

    def start(self, build, events, serial):
        subprocess.run([f"{build}/Apps/VOK_App/VOK_App", "-c", "4"], check=True,
                       timeout=10, **self.log("VOK_App"))
        self.pids["VOK_App"] = adopted("VOK_App", set())
        listening(f"/tmp/sock_{self.pids['VOK_App']}.uds")
        environment = dict(os.environ, PYTHONPATH=f"{build}/python")
        self.feed = subprocess.Popen(
            ["/usr/bin/python3", "-c", FEED_DRIVER, "1" if events else "0"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=environment, text=True,
            stderr=self.log("command_feed")["stdout"])
        self.pids["command_feed"] = self.feed.pid
        camera = subprocess.Popen([f"{build}/camera/vok_camera", "--source-cmd", CAMERA],
                                  **self.log("vok_camera"))
        self.children.append(camera)
        self.pids["vok_camera"] = camera.pid
        subprocess.run([f"{build}/servo_controller/servo_controller", "--failsafe", "500"]
                       + (EVENT_OPTIONS["servo"] if events else []), check=True,
                       **self.log("servo_controller"))
        self.pids["servo_controller"] = adopted("servo_controller", set(self.pids.values()))
        relay = subprocess.Popen([f"{build}/video/frame_relay", "--timestamps"]
                                 + (EVENT_OPTIONS["relay"] if events else []),
                                 **self.log("frame_relay"))
        self.children.append(relay)
        self.pids["frame_relay"] = relay.pid
        if self.feed.stdout.readline().strip() != "ready":
            raise RuntimeError("the command feed did not start publishing")
        self.pids["ffmpeg"] = descendant("ffmpeg", camera.pid)
        deadline = time.monotonic() + 15
        while not serial.frames and time.monotonic() < deadline:
            time.sleep(0.1)
        time.sleep(2)  # the stream server is up and the camera runs

    def stop(self):
        if self.feed:
            self.feed.stdin.close()
            try:
                self.feed.wait(10)
            except subprocess.TimeoutExpired:
                self.feed.kill()
                self.feed.wait()
        for name in ("frame_relay", "servo_controller", "vok_camera", "VOK_App"):
            if name in self.pids:
                try:
                    os.kill(self.pids[name], signal.SIGINT)
                except ProcessLookupError:
                    pass
        for child in self.children:
            child.wait(10)
        # The daemons are this process's children too (subreaper): reap them.
        for name in ("servo_controller", "VOK_App"):
            if name not in self.pids:
                continue
            for _ in range(100):
                if os.waitpid(self.pids[name], os.WNOHANG)[0] != 0:
                    break
                time.sleep(0.05)
            else:
                os.kill(self.pids[name], signal.SIGKILL)
                os.waitpid(self.pids[name], 0)

