"""What Python sees of _CommandFeed: argument conversion, error texts and
results. Run with the build's python folder on PYTHONPATH."""

import ctypes
import errno
import os
import re
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import _CommandFeed

ARG1 = "in method 'send', argument 1 of type 'char *'"
ARG2 = "in method 'send', argument 2 of type 'unsigned int'"


class SendConversionTest(unittest.TestCase):
    def test_bad_arguments_are_refused_with_their_text(self):
        bad = [(("abc", -1), OverflowError, ARG2), (("abc", 2 ** 32), OverflowError, ARG2),
               (("abc", 2 ** 64), OverflowError, ARG2), (("abc", 3.0), TypeError, ARG2),
               (("abc", "3"), TypeError, ARG2), ((b"abc", 3), TypeError, ARG1),
               ((None, 3), TypeError, ARG1), ((bytearray(b"abc"), 3), TypeError, ARG1),
               ((65, 1), TypeError, ARG1),
               ((None, -1), TypeError, ARG1),  # the first argument is checked first
               # Values outside 0..15 are refused, never masked.
               (("\x08\x10", 2), ValueError, "send: value 1 is 16, not 0..15"),
               (("abc", 3), ValueError, "send: value 0 is 97, not 0..15"),
               (("\u00e9", 2), ValueError, "send: value 0 is 195, not 0..15")]
        for args, error, text in bad:
            with self.subTest(args=args):
                with self.assertRaises(error) as caught:
                    _CommandFeed.send(*args)
                self.assertEqual(str(caught.exception), text)

    def test_results_of_the_provider(self):
        self.assertEqual(_CommandFeed.send("\x01\x0b\x0f", 3), 0)
        self.assertEqual(_CommandFeed.send("", 0), 0)
        self.assertEqual(_CommandFeed.send("\x0f", 16), 0)
        self.assertEqual(_CommandFeed.send("x" * 17, 17), -1)
        self.assertEqual(_CommandFeed.send("x", 17), -1)
        self.assertEqual(_CommandFeed.disconnect(), 0)

    def test_bad_dead_man_times_are_refused(self):
        for ms, error in [(-1, ValueError), (3600001, ValueError), (2 ** 70, ValueError),
                          (0.5, TypeError), ("500", TypeError), (None, TypeError),
                          (True, TypeError)]:
            with self.subTest(ms=ms), self.assertRaisesRegex(error, "^set_deadman: "):
                _CommandFeed.set_deadman(ms)
        self.assertIsNone(_CommandFeed.set_deadman(3600000))
        self.assertIsNone(_CommandFeed.set_deadman(0))

    def test_wrong_argument_counts_give_the_interpreters_type_error(self):
        for args in [(), ("abc",), ("abc", 3, 4)]:
            with self.assertRaises(TypeError) as caught:
                _CommandFeed.send(*args)
            self.assertIn("send", str(caught.exception))
            self.assertIn("argument", str(caught.exception))
        with self.assertRaisesRegex(TypeError, r"connect\(\) takes no arguments"):
            _CommandFeed.connect(1)
        with self.assertRaisesRegex(TypeError, r"disconnect\(\) takes no arguments"):
            _CommandFeed.disconnect(None)

    def test_neutral_values_are_the_centre_and_an_override_is_checked(self):
        centre = [8] * 14 + [13]
        self.assertEqual(_CommandFeed.neutral(), centre)
        with self.assertRaisesRegex(ValueError, "up to 14 comma-separated values 0..15"):
            _CommandFeed.neutral("16")
        self.assertEqual(_CommandFeed.neutral(), centre)
        self.assertEqual(_CommandFeed.neutral("1,0xf"), [1, 15] + centre[2:])
        _CommandFeed.neutral(",".join(["8"] * 14))
        self.assertEqual(_CommandFeed.status(), ("idle", ""))


SHM = "/dev/shm/Remote_open_control_kit_enabled_target_(Zentor)Shm"
VOK_APP = os.environ.get("VOK_APP", "")
PR_SET_CHILD_SUBREAPER = 36
NEUTRAL = ",".join(["0x8"] * 14 + ["0xd"])
DRIVEN = ",".join(["0x1", "0xb", "0xf"] + ["0x8"] * 11 + ["0xd"])


def wait_until(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.02)
    return condition()


class Broker:
    """A VOK_App that answers one app. It forks into the background; this
    process adopts the daemon as subreaper and tracks it by its pid."""

    def __enter__(self):
        if ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
            if ctypes.get_errno() == errno.EINVAL:
                # qemu-user refuses it; a kernel never does.
                raise unittest.SkipTest("no subreaper here (an emulator): the broker's daemon "
                                        "cannot be adopted")
            raise OSError(ctypes.get_errno(), "prctl(PR_SET_CHILD_SUBREAPER)")
        subprocess.run([VOK_APP, "-c", "1"], stdout=subprocess.DEVNULL, check=True, timeout=10)
        self.pid = next(pid for pid in map(int, filter(str.isdigit, os.listdir("/proc")))
                        if self.adopted(pid))
        self.socket = "/tmp/sock_%d.uds" % self.pid
        if not wait_until(lambda: os.path.exists(self.socket), 10):
            self.__exit__()
            raise RuntimeError("VOK_App made no socket")
        return self

    @staticmethod
    def adopted(pid):
        try:
            with open("/proc/%d/stat" % pid) as file:
                stat = file.read()
        except OSError:
            return False
        return "(VOK_App)" in stat and int(stat.rsplit(")", 1)[1].split()[1]) == os.getpid()

    def ended(self):
        """Whether the daemon has ended; reaps it then."""
        if self.pid and os.waitpid(self.pid, os.WNOHANG)[0] == self.pid:
            self.pid = None
        return self.pid is None

    def __exit__(self, *_):
        os.kill(self.pid, signal.SIGINT)
        if not wait_until(self.ended, 5):
            os.kill(self.pid, signal.SIGKILL)
            os.waitpid(self.pid, 0)
        if os.path.exists(self.socket):
            os.unlink(self.socket)


class PublisherTest(unittest.TestCase):
    def tearDown(self):
        if os.path.exists(SHM):
            os.unlink(SHM)

    def test_a_hung_program_ends_on_the_neutral_values_through_the_dead_man(self):
        # Publishing starts on the neutral values; the program drives until
        # told to hang, then hangs, also holding the interpreter's lock.
        drive = ("import ctypes, select, sys, time, _CommandFeed\n"
                 "_CommandFeed.set_deadman(300)\n"
                 "_CommandFeed.connect()\n"
                 "sys.stdin.readline()\n"
                 "while not select.select([sys.stdin], [], [], 0.05)[0]:\n"
                 "    _CommandFeed.send('\\x01\\x0b\\x0f', 3)\n")
        for hang in ["time.sleep(60)", "ctypes.PyDLL(None).sleep(60)"]:
            with self.subTest(hang=hang), Broker(), tempfile.TemporaryFile() as screen:
                child = subprocess.Popen([sys.executable, "-c", drive + hang], stdin=subprocess.PIPE,
                                         stdout=screen, env=os.environ)
                try:
                    def sent():
                        screen.seek(0)
                        return re.findall(r"SENT: ([0-9a-fx,]{59})", screen.read().decode())

                    self.assertTrue(wait_until(sent, 30), "nothing published")
                    self.assertEqual(sent()[0], NEUTRAL)
                    child.stdin.write(b"\n")
                    child.stdin.flush()
                    self.assertTrue(wait_until(lambda: sent()[-1] == DRIVEN, 10), sent()[-5:])
                    child.stdin.write(b"\n")
                    child.stdin.flush()
                    self.assertTrue(wait_until(lambda: sent()[-1] == NEUTRAL, 5), sent()[-5:])
                finally:
                    child.kill()
                    child.wait()
                    child.stdin.close()

    def test_failed_start_is_logged_and_the_interpreter_lives_on(self):
        # A ring name that is taken makes the publisher's start fail, and so
        # does a missing broker; either way only the publisher thread ends.
        os.close(os.open(SHM, os.O_CREAT | os.O_EXCL | os.O_RDWR, 0o600))
        script = ("import sys, _CommandFeed\n"
                  "print(_CommandFeed.connect(), flush=True)\n"
                  "sys.stdin.readline()\n"
                  # The error line comes out just before the thread has ended.
                  "import time\n"
                  "for _ in range(500):\n"
                  "    if _CommandFeed.status()[0] == 'ended': break\n"
                  "    time.sleep(0.01)\n"
                  "print('status', *_CommandFeed.status(), flush=True)\n"
                  "print('alive', _CommandFeed.send('\\x01', 1), _CommandFeed.connect(), flush=True)\n")
        child = subprocess.Popen([sys.executable, "-c", script], stdin=subprocess.PIPE,
                                 stdout=subprocess.PIPE, text=True, env=os.environ)
        try:
            self.assertEqual(child.stdout.readline(), "0\n")
            failure = "ERR: (Remote_open_control_kit_enabled_target_(Zentor)::stayAlive()): "
            seen = []
            while not any(line.startswith(failure) for line in seen):
                line = child.stdout.readline()
                self.assertTrue(line, "publisher failure not logged: %r" % seen)
                seen.append(line)
            # The ended publisher no longer blocks a new connect().
            child.stdin.write("\n")
            child.stdin.flush()
            rest = child.stdout.read()
            self.assertEqual(child.wait(timeout=60), 0)
            self.assertIn("alive 0 0\n", rest)
            # The reason is kept for the caller.
            self.assertRegex(rest, r"status ended \S")
        finally:
            if child.poll() is None:
                child.kill()
                child.wait()


if __name__ == "__main__":
    unittest.main()
