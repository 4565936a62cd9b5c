"""The operator console over real sockets, with the feed replaced."""

import asyncio
import os
import stat
import sys
import tempfile
import unittest

import aiohttp

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tool"))
import console_access  # noqa: E402
import console_control  # noqa: E402
import frame_age  # noqa: E402
import operator_console  # noqa: E402

NEUTRAL = [8] * 14 + [13]
DRIVEN = [1, 2, 3] + NEUTRAL[3:]


class FakeFeed:
    dead_man = 0.5

    def __init__(self):
        self.neutral = list(NEUTRAL)
        self.values = list(NEUTRAL)
        self.pushed = []
        self.live = True

    def push(self):
        self.pushed.append(list(self.values))

    def publishing(self):
        return self.live


class PageThatStopsReading:
    """A page whose every send waits for ever, as one whose socket is full."""
    closed = False

    async def send_json(self, _message):
        await asyncio.Event().wait()


class ConsoleTest(unittest.IsolatedAsyncioTestCase):
    async def asyncSetUp(self):
        bind = "127.0.0.1"
        self.feed = FakeFeed()
        self.token = console_access.new_token()
        access = console_access.Access(self.token, 0, console_access.machine_names(bind, []))
        self.console = operator_console.Console(self.feed, access, "http://127.0.0.1:1/")
        self.runner = aiohttp.web.AppRunner(self.console.application())
        await self.runner.setup()
        site = aiohttp.web.TCPSite(self.runner, bind, 0)
        await site.start()
        port = site._server.sockets[0].getsockname()[1]
        self.base = "http://%s:%d" % (bind, port)
        self.watcher = asyncio.ensure_future(self.console.watch())
        self.http = aiohttp.ClientSession()
        self.sockets = []

    async def connect(self):
        socket = await self.http.ws_connect(self.base + "/control?token=" + self.token,
                                            headers={"Origin": self.base})
        self.sockets.append(socket)
        return socket

    async def asyncTearDown(self):
        for socket in self.sockets:
            await socket.close()
        self.watcher.cancel()
        await self.http.close()
        await self.runner.cleanup()

    async def reply(self, socket, values):
        await socket.send_json({"values": values})
        while True:
            message = await socket.receive_json(timeout=2)
            if message["kind"] == "reply":
                return message

    async def test_each_bad_message_closes_with_its_code_and_changes_nothing(self):
        driver = await self.connect()
        self.assertEqual((await self.reply(driver, DRIVEN))["values"], DRIVEN)
        too_long = '{"values": [%s]}' % ",".join(["1"] * 300)
        cases = [(b"\x01", console_control.CLOSE_BINARY),
                 (too_long, console_control.CLOSE_TOO_LONG),
                 ('{"values": [1,', console_control.CLOSE_NOT_JSON),
                 ("[1, 2]", console_control.CLOSE_SHAPE),
                 ('{"values": 3}', console_control.CLOSE_SHAPE),
                 ('{"values": %s, "x": 1}' % NEUTRAL, console_control.CLOSE_SHAPE),
                 ('{"values": [1, 2]}', console_control.CLOSE_COUNT),
                 ('{"values": %s}' % ([16] + NEUTRAL[1:]), console_control.CLOSE_RANGE),
                 ('{"values": %s}' % ([-1] + NEUTRAL[1:]), console_control.CLOSE_RANGE),
                 ('{"values": [true%s]}' % (",1" * 14), console_control.CLOSE_RANGE),
                 ('{"values": [1.5%s]}' % (",1" * 14), console_control.CLOSE_RANGE)]
        for data, code in cases:
            with self.subTest(data=data[:30]):
                other = await self.connect()
                if isinstance(data, bytes):
                    await other.send_bytes(data)
                else:
                    await other.send_str(data)
                while (await other.receive(timeout=2)).type == aiohttp.WSMsgType.TEXT:
                    pass
                self.assertEqual(other.close_code, code)
                self.assertEqual((await self.reply(driver, DRIVEN))["values"], DRIVEN)
        # Every message of the driver renews the feed, the others none.
        self.assertEqual(self.feed.pushed, [DRIVEN] * (len(cases) + 1))

    async def test_second_driver_is_refused_until_the_first_goes_silent(self):
        first = await self.connect()
        second = await self.connect()
        await self.reply(first, DRIVEN)
        refused = await self.reply(second, NEUTRAL[:1] + [0] * 13 + [13])
        self.assertEqual((refused["values"], refused["driver"]), (DRIVEN, "another"))
        self.assertEqual(refused["neutral_in_force"], False)
        self.assertIn("refused", refused)
        # Silence for the dead-man time puts the neutral values in force.
        await asyncio.sleep(self.feed.dead_man + 0.2)
        self.assertEqual(self.feed.pushed, [DRIVEN, NEUTRAL])
        taken = await self.reply(second, DRIVEN)
        self.assertEqual((taken["driver"], "refused" in taken), ("you", False))
        # A driver that goes away leaves the neutral values at once.
        await second.close()
        await asyncio.sleep(0.1)
        self.assertEqual(self.feed.pushed[-1], NEUTRAL)

    async def test_a_page_that_stops_reading_holds_up_neither_the_others_nor_the_end(self):
        ends = [("stop requested", self.console.request_stop),
                ("publisher ended", lambda: setattr(self.feed, "live", False))]
        for name, end in ends:
            with self.subTest(name):
                if self.watcher.done():
                    self.console.stopping, self.feed.live = False, True
                    self.watcher = asyncio.ensure_future(self.console.watch())
                self.console.clients.add(PageThatStopsReading())
                page = await self.connect()
                for _ in range(3):
                    self.assertEqual((await page.receive_json(timeout=2))["kind"], "state")
                end()
                await asyncio.wait_for(self.watcher, 2)


    def test_the_token_file_is_for_the_account_and_its_group_only(self):
        with tempfile.TemporaryDirectory() as folder:
            path = console_access.store_token(folder, 2021, "abc")
            self.assertEqual(stat.S_IMODE(os.stat(path).st_mode), 0o640 & ~current_umask())
            with open(path) as file:
                self.assertEqual(file.read(), "abc\n")


def current_umask():
    mask = os.umask(0)
    os.umask(mask)
    return mask


class FrameAgeTest(unittest.TestCase):
    def test_newest_stamp_counts_also_when_a_chunk_cuts_its_line(self):
        age = frame_age.FrameAge(clock=lambda: 1000.25)
        self.assertIsNone(age.age_ms())
        age.see(b"--BoundaryString\r\nX-Timestamp: 999.000000\r\n\r\n...X-Times")
        self.assertEqual(age.age_ms(), 1250)
        age.see(b"tamp: 1000.200000\r\n\r\n")
        self.assertEqual(age.age_ms(), 50)


if __name__ == "__main__":
    unittest.main()
