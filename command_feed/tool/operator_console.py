"""The browser operator console of command_feed: the page at / with its
scripts, the WebSocket /control that drives the channel values, and /stream,
the MJPEG stream of port 2020 passed through so that the page needs one
address and the frame rate can be counted."""

import asyncio
import collections
import os
import signal
import sys
import time

import aiohttp
from aiohttp import web

import console_access
import console_control
import frame_age

HERE = os.path.dirname(os.path.abspath(__file__))
PAGE = "console_page.html"
# The page's scripts, each at /NAME; in the order the page loads them.
SCRIPTS = ("console_drive.js", "console_link.js", "console_pad.js")
STATE_PERIOD = 0.2
WATCH_PERIOD = 0.05
BOUNDARY = b"--BoundaryString"


class FrameRate:
    """Frames per second over the last two seconds of the passed-on stream."""

    def __init__(self):
        self.times = collections.deque()
        self.tail = b""

    def count(self, chunk):
        data = self.tail + chunk
        now = time.monotonic()
        for _ in range(data.count(BOUNDARY)):
            self.times.append(now)
        self.tail = data[-(len(BOUNDARY) - 1):]

    def rate(self):
        while self.times and self.times[0] < time.monotonic() - 2.0:
            self.times.popleft()
        return round(len(self.times) / 2.0, 1)


class Console:
    def __init__(self, feed, access, stream_url):
        self.feed = feed
        self.access = access
        self.stream_url = stream_url
        self.frames = FrameRate()
        self.age = frame_age.FrameAge()
        self.clients = set()
        # The state message on its way to each page, if one still is.
        self.sending = {}
        self.control = console_control.Control(feed.neutral, self.publish, feed.dead_man)
        self.stopping = False

    def publish(self, values):
        self.feed.values = list(values)
        self.feed.push()

    def state(self, client, kind, **extra):
        message = dict(self.control.view(client), kind=kind, fps=self.frames.rate(),
                       frame_age_ms=self.age.age_ms(), neutral_in_force=self.control.driver is None)
        message.update(extra)
        return message

    @staticmethod
    def file(name):
        """A handler that answers with the console's file name."""
        path = os.path.join(HERE, name)

        async def answer(_request):
            return web.FileResponse(path, headers={"Cache-Control": "no-cache"})
        return answer

    async def control_socket(self, request):
        socket = web.WebSocketResponse(max_msg_size=64 * 1024, heartbeat=None)
        await socket.prepare(request)
        self.clients.add(socket)
        try:
            await socket.send_json(self.state(socket, "state"))
            async for message in socket:
                if not await self.handle(socket, message):
                    break
        finally:
            self.clients.discard(socket)
            unsent = self.sending.pop(socket, None)
            if unsent is not None:
                unsent.cancel()
            self.control.leave(socket)
        return socket

    async def handle(self, socket, message):
        """Answers one message; False once the socket was closed for it."""
        try:
            if message.type != aiohttp.WSMsgType.TEXT:
                raise console_control.BadMessage(console_control.CLOSE_BINARY,
                                                 "text messages only")
            values = console_control.read_values(message.data)
        except console_control.BadMessage as bad:
            await socket.close(code=bad.code, message=bad.reason.encode())
            return False
        extra = {} if self.control.offer(socket, values) else {"refused": "another page drives"}
        await socket.send_json(self.state(socket, "reply", **extra))
        return True

    async def stream(self, request):
        """The camera stream as it comes from its server, counted on the way."""
        response = web.StreamResponse(headers={"Cache-Control": "no-cache"})
        try:
            async with aiohttp.ClientSession(timeout=aiohttp.ClientTimeout(sock_connect=2)) as http:
                async with http.get(self.stream_url) as upstream:
                    response.content_type = upstream.content_type
                    response.headers["Content-Type"] = upstream.headers.get("Content-Type", "")
                    await response.prepare(request)
                    async for chunk in upstream.content.iter_any():
                        self.frames.count(chunk)
                        self.age.see(chunk)
                        await response.write(chunk)
        except (aiohttp.ClientError, asyncio.TimeoutError) as error:
            if not response.prepared:
                return web.Response(status=502, text="stream unavailable: %s\n" % error)
        except ConnectionResetError:
            pass
        return response

    def request_stop(self, *_signal):
        """The handler of SIGTERM and SIGHUP: watch() ends at its next look.
        A flag, not an exception: raised from a handler, that would land in
        whatever request runs, which may swallow it."""
        self.stopping = True

    async def watch(self):
        """The release of a silent driver and the state every page sees; ends
        when the publisher does (PublisherFailed when it failed) or a stop
        was requested."""
        next_state = time.monotonic()
        while self.feed.publishing() and not self.stopping:
            self.control.check()
            if time.monotonic() >= next_state:
                next_state += STATE_PERIOD
                for client in list(self.clients):
                    self.send_state(client)
            await asyncio.sleep(WATCH_PERIOD)

    def send_state(self, client):
        """Sends client the state unless its last one is still on its way.
        Not awaited here: a page that stops reading would hold up the release
        of a silent driver, the other pages' states and the stop."""
        earlier = self.sending.get(client)
        if client.closed or (earlier is not None and not earlier.done()):
            return
        sending = asyncio.ensure_future(client.send_json(self.state(client, "state")))
        # A page that went meanwhile fails its send; its handler cleans up.
        sending.add_done_callback(lambda done: done.cancelled() or done.exception())
        self.sending[client] = sending

    def application(self):
        """Every path behind the access check, the page's scripts too."""
        app = web.Application(middlewares=[self.access.check])
        app.router.add_get("/", self.file(PAGE))
        for name in SCRIPTS:
            app.router.add_get("/" + name, self.file(name))
        app.router.add_get("/control", self.control_socket)
        app.router.add_get("/stream", self.stream)
        return app


async def run_console(console, bind, port, token_file):
    runner = web.AppRunner(console.application(), handle_signals=False)
    await runner.setup()
    try:
        site = web.TCPSite(runner, bind, port)
        await site.start()
        host = "[%s]" % bind if ":" in bind else bind
        sys.stderr.write("command_feed: console at http://%s:%d/?token=%s (the token is also in "
                         "%s; stream from %s)\n" % (host, port, console.access.token.decode(),
                                                     token_file, console.stream_url))
        sys.stderr.flush()
        for signum in (signal.SIGTERM, signal.SIGHUP):
            signal.signal(signum, console.request_stop)
        await console.watch()
    finally:
        await runner.cleanup()


def run_serve(feed, args):
    token = args.token or console_access.new_token()
    try:
        token_file = console_access.store_token(console_access.runtime_directory(), args.port, token)
    except OSError as error:
        sys.exit("command_feed: cannot keep the console's token: %s" % error)
    names = console_access.machine_names(args.bind, args.allow_host)
    console = Console(feed, console_access.Access(token, args.port, names), args.stream)
    try:
        asyncio.run(run_console(console, args.bind, args.port, token_file))
    except OSError as error:
        sys.exit("command_feed: cannot serve the console on %s port %d: %s"
                 % (args.bind, args.port, error.strerror or error))
    finally:
        os.unlink(token_file)
