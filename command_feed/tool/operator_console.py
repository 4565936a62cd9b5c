"""The browser operator console of command_feed: the page at /, the
WebSocket /control that drives the channel values, and /stream, the MJPEG
stream of port 2020 passed through so that the page needs one address and
the frame rate can be counted."""

import asyncio
import collections
import hmac
import os
import secrets
import sys
import time

import aiohttp
from aiohttp import web

import console_control

PAGE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "console_page.html")
LOOPBACK = ("127.0.0.1", "::1", "localhost")
STATE_PERIOD = 0.2
WATCH_PERIOD = 0.05
BOUNDARY = b"--BoundaryString"


def console_token(bind, token):
    """The token the console checks: the given one, a new one for an
    address other than loopback, None (no check) otherwise."""
    if token is None and bind not in LOOPBACK:
        return secrets.token_urlsafe(12)
    return token


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
    def __init__(self, feed, token, stream_url):
        self.feed = feed
        self.token = token
        self.stream_url = stream_url
        self.frames = FrameRate()
        self.clients = set()
        self.control = console_control.Control(feed.neutral, self.publish, feed.dead_man)

    def publish(self, values):
        self.feed.values = list(values)
        self.feed.push()

    def state(self, client, kind, **extra):
        message = dict(self.control.view(client), kind=kind, fps=self.frames.rate())
        message.update(extra)
        return message

    @web.middleware
    async def check_token(self, request, handler):
        given = request.query.get("token", "")
        if self.token is not None and not hmac.compare_digest(given, self.token):
            return web.Response(status=403, text="403: this console needs its token\n")
        return await handler(request)

    async def page(self, _request):
        return web.FileResponse(PAGE, headers={"Cache-Control": "no-cache"})

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
                        await response.write(chunk)
        except (aiohttp.ClientError, asyncio.TimeoutError) as error:
            if not response.prepared:
                return web.Response(status=502, text="stream unavailable: %s\n" % error)
        except ConnectionResetError:
            pass
        return response

    async def watch(self):
        """The dead-man and the state every page sees; ends when the
        publisher does (PublisherFailed when it failed)."""
        next_state = time.monotonic()
        while self.feed.publishing():
            self.control.check()
            if time.monotonic() >= next_state:
                next_state += STATE_PERIOD
                for client in list(self.clients):
                    if not client.closed:
                        await client.send_json(self.state(client, "state"))
            await asyncio.sleep(WATCH_PERIOD)

    def application(self):
        app = web.Application(middlewares=[self.check_token])
        app.router.add_get("/", self.page)
        app.router.add_get("/control", self.control_socket)
        app.router.add_get("/stream", self.stream)
        return app


async def run_console(console, bind, port):
    runner = web.AppRunner(console.application(), handle_signals=False)
    await runner.setup()
    try:
        site = web.TCPSite(runner, bind, port)
        await site.start()
        host = "[%s]" % bind if ":" in bind else bind
        query = "?token=%s" % console.token if console.token else ""
        sys.stderr.write("command_feed: console at http://%s:%d/%s (stream from %s)\n"
                         % (host, port, query, console.stream_url))
        sys.stderr.flush()
        await console.watch()
    finally:
        await runner.cleanup()


def run_serve(feed, args):
    console = Console(feed, console_token(args.bind, args.token), args.stream)
    try:
        asyncio.run(run_console(console, args.bind, args.port))
    except OSError as error:
        sys.exit("command_feed: cannot serve the console on %s port %d: %s"
                 % (args.bind, args.port, error.strerror or error))
