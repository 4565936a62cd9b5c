"""What chain_latency measures, read from outside the chain: the frames on
the servo line with their moment, the viewer's stream, the processes' CPU
time and wake-ups, and the latency of each change of value."""
import os
import random
import select
import socket
import sys
import threading
import time

SERIAL = "/dev/serial0"


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))] if ordered else float("nan")


def task_counters(pid):
    """(CPU ticks, voluntary switches) summed over every thread of pid."""
    ticks = switches = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
                ticks += int(fields[11]) + int(fields[12])
            with open(f"/proc/{pid}/task/{task}/status") as status:
                for line in status:
                    if line.startswith("voluntary_ctxt_switches:"):
                        switches += int(line.split()[1])
        except FileNotFoundError:
            pass  # a thread that ended meanwhile
    return ticks, switches


def measure_costs(pids, seconds):
    """{name: (cpu percent of one core, wakeups a second)} over seconds."""
    before = {name: task_counters(pid) for name, pid in pids.items()}
    time.sleep(seconds)
    hertz = os.sysconf("SC_CLK_TCK")
    costs = {}
    for name, pid in pids.items():
        ticks, switches = task_counters(pid)
        costs[name] = (100.0 * (ticks - before[name][0]) / hertz / seconds,
                       (switches - before[name][1]) / seconds)
    return costs


class SerialLine:
    """A pseudo-terminal at /dev/serial0 whose frames are read with their moment."""

    def __init__(self):
        if os.path.lexists(SERIAL):
            sys.exit(f"chain_latency: {SERIAL} exists; it is never replaced")
        self.master, slave = os.openpty()
        os.symlink(os.ttyname(slave), SERIAL)
        self.slave = slave
        self.frames = []
        self.running = True
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        pending = b""
        while self.running:
            ready, _, _ = select.select([self.master], [], [], 0.1)
            if not ready:
                continue
            try:
                pending += os.read(self.master, 4096)
            except OSError:
                return
            now = time.monotonic()
            while len(pending) >= 15:
                self.frames.append((now, pending[:15].decode("ascii", "replace")))
                pending = pending[15:]

    def close(self):
        self.running = False
        self.reader.join()
        os.unlink(SERIAL)
        os.close(self.master)
        os.close(self.slave)


class Viewer(threading.Thread):
    """Reads the MJPEG stream; the moment and X-Timestamp of every part."""

    def __init__(self):
        super().__init__(daemon=True)
        self.ages_ms = []
        self.parts = 0
        self.running = True

    def run(self):
        with socket.create_connection(("127.0.0.1", 2020), timeout=5) as stream:
            stream.sendall(b"GET / HTTP/1.1\r\nHost: bench\r\n\r\n")
            buffered = b""
            while self.running:
                try:
                    chunk = stream.recv(65536)
                except ConnectionResetError:
                    return  # the relay stopped with the chain
                if not chunk:
                    return
                buffered += chunk
                while True:
                    start = buffered.find(b"--BoundaryString\r\n")
                    end = buffered.find(b"\r\n\r\n", start) if start >= 0 else -1
                    if end < 0:
                        break
                    header = buffered[start:end].decode("ascii", "replace")
                    length = 0
                    for line in header.split("\r\n"):
                        if line.startswith("Content-Length:"):
                            length = int(line.split(":")[1])
                        elif line.startswith("X-Timestamp:"):
                            self.ages_ms.append((time.time() - float(line.split(":")[1])) * 1000)
                    if len(buffered) < end + 4 + length:
                        break
                    self.parts += 1
                    buffered = buffered[end + 4 + length:]



def drive(feed, serial, changes):
    """Latencies in ms from send() to the first frame with the new value."""
    latencies = []
    value = 8
    for _ in range(changes):
        time.sleep(random.uniform(0.1, 0.4))
        value = 3 if value != 3 else 12
        feed.stdin.write(f"{value}\n")
        feed.stdin.flush()
        sent = float(feed.stdout.readline())
        digit = "0123456789ABCDEF"[value]
        deadline = time.monotonic() + 2
        arrived = None
        while arrived is None and time.monotonic() < deadline:
            arrived = next((moment for moment, frame in list(serial.frames)
                            if moment >= sent and frame[0] == digit), None)
            time.sleep(0.001)
        if arrived is not None:
            latencies.append((arrived - sent) * 1000)
    return latencies
