"""A headless Chromium driven over its DevTools protocol: opens the operator
console at URL, presses the keys given, waits for the camera picture and
closes the tab; then, in the same browser, opens a page of another origin
that tries to drive the console through its WebSocket. Reports each step on
standard output."""

import asyncio
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

import websockets

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--remote-debugging-port=0"]
KEY_PAUSE = 0.5


def step(*words):
    print(*words, flush=True)


class DevTools:
    def __init__(self, socket):
        self.socket = socket
        self.next_id = 0

    async def call(self, method, session=None, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        await self.socket.send(json.dumps(message))
        while True:
            answer = json.loads(await self.socket.recv())
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise RuntimeError("%s: %s" % (method, answer["error"]))
                return answer.get("result", {})

    async def evaluate(self, session, expression):
        result = await self.call("Runtime.evaluate", session, expression=expression,
                                 returnByValue=True)
        return result.get("result", {}).get("value")

    async def until(self, session, expression, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            value = await self.evaluate(session, expression)
            if value:
                return value
            await asyncio.sleep(0.1)
        raise RuntimeError("timed out waiting for " + expression)


def debugging_address(profile, browser, seconds=30):
    path = os.path.join(profile, "DevToolsActivePort")
    end = time.monotonic() + seconds
    while time.monotonic() < end and browser.poll() is None:
        if os.path.exists(path):
            lines = open(path).read().split()
            if len(lines) == 2:
                return "ws://127.0.0.1:%s%s" % (lines[0], lines[1])
        time.sleep(0.1)
    raise RuntimeError("Chromium gave no DevTools address")


async def drive(address, url, keys):
    async with websockets.connect(address, max_size=None) as socket:
        tools = DevTools(socket)
        target = (await tools.call("Target.createTarget", url=url))["targetId"]
        session = (await tools.call("Target.attachToTarget", targetId=target,
                                    flatten=True))["sessionId"]
        # The driver's name comes with the server's first state: keys before it
        # have no values to change.
        await tools.until(session, 'document.getElementById("connection").textContent'
                                   ' === "connected" && document.getElementById("driver")'
                                   '.textContent === "nobody"', 20)
        step("connected")
        for key in keys:
            for kind in ("keyDown", "keyUp"):
                await tools.call("Input.dispatchKeyEvent", session, type=kind, key=key,
                                 text=key if kind == "keyDown" else "")
            step("key", key)
            await asyncio.sleep(KEY_PAUSE)
        size = await tools.until(session, '(() => { const v = document.getElementById("video");'
                                          ' return v.complete && v.naturalWidth > 0 ?'
                                          ' v.naturalWidth + "x" + v.naturalHeight : ""; })()', 20)
        step("image", size)
        fps = await tools.evaluate(session, 'document.getElementById("fps").textContent')
        step("fps", fps)
        await tools.call("Target.closeTarget", targetId=target)
        step("closed")
        await foreign_page(tools, url)


# A page that another site could serve: it drives the console's WebSocket
# with zeros for as long as it is let.
FOREIGN_PAGE = """<!DOCTYPE html><title>waiting</title><script>
const socket = new WebSocket("%s");
socket.onopen = () => { document.title = "opened";
  setInterval(() => socket.send(JSON.stringify({values: new Array(14).fill(0).concat([13])})), 100); };
socket.onclose = (event) => { document.title = "closed " + event.code; };
</script>"""


async def foreign_page(tools, console_url):
    parts = urllib.parse.urlsplit(console_url)
    control = "ws://%s/control" % parts.netloc
    page = (FOREIGN_PAGE % control).encode()

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.end_headers()
            self.wfile.write(page)

        def log_message(self, *args):
            pass

    # Threads: a connection the browser opens ahead and leaves idle must not
    # hold up the one that asks for the page.
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        target = (await tools.call("Target.createTarget", url="http://127.0.0.1:%d/"
                                   % server.server_address[1]))["targetId"]
        session = (await tools.call("Target.attachToTarget", targetId=target,
                                    flatten=True))["sessionId"]
        title = await tools.until(session, 'document.title !== "waiting" && document.title', 20)
        if title == "opened":
            await asyncio.sleep(1)  # long enough to move the line, if it could
        step("foreign", title)
        await tools.call("Target.closeTarget", targetId=target)
    finally:
        server.shutdown()


def main(url, keys):
    profile = tempfile.mkdtemp(prefix="vok_chromium.")
    browser = subprocess.Popen(["chromium"] + FLAGS + ["--user-data-dir=" + profile, "about:blank"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        asyncio.run(drive(debugging_address(profile, browser), url, keys))
        return 0
    finally:
        browser.terminate()
        try:
            browser.wait(timeout=10)
        except subprocess.TimeoutExpired:
            browser.kill()
            browser.wait()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2:]))
