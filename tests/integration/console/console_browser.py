"""A headless Chromium driven over its DevTools protocol: opens the operator
console at URL, checks that a stored game pad mapping naming no input is
refused on the page, then plays the fault rows named on the command line,
each in a tab of its own with a stand-in game pad: it drives, says
"driving ROW" and waits for SIGUSR1 (the test has seen the driven frame on
the line), causes the fault, says "fault ROW" and waits for SIGUSR1 again
(the test has seen the neutral frame stay) before it closes the tab; last, in
the same browser, opens a page of another origin that tries to drive the
console through its WebSocket. Reports each step on standard output."""

import asyncio
import http.server
import json
import os
import shutil
import signal
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
TOLD_WAIT = 60

# The page polls navigator.getGamepads(); this one answers with a pad whose
# buttons and axes the rows set, or with none once it is "lost".
STAND_IN_PAD = """(() => {
  const pad = {id: "stand-in pad", index: 0, connected: true, timestamp: 0, mapping: "standard",
               axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, () => ({pressed: false, value: 0}))};
  window.standIn = {pad: pad, present: true};
  navigator.getGamepads = () => [window.standIn.present ? pad : null];
})()"""
HOLD_ENABLE = "standIn.pad.buttons[4].pressed = true; standIn.pad.buttons[4].value = 1; "

# Row: how the page is driven (keys, or pad expressions), and the fault.
ROWS = {
    "tab closed": {"keys": ["w", "d", "w", "w"], "fault": "close"},
    "game pad lost": {"pad": HOLD_ENABLE + "standIn.pad.axes[1] = -1",
                      "fault": "standIn.present = false"},
    "enable button released": {"pad": HOLD_ENABLE + "standIn.pad.axes[2] = 1",
                               "fault": "standIn.pad.buttons[4].pressed = false"},
    "page hidden": {"pad": HOLD_ENABLE + "standIn.pad.axes[3] = 1", "fault": "hide"},
}
TEXT_OF = 'document.getElementById("%s").textContent'
BAD_MAPPING = '{"channels": ["axis 99"], "enable": "button 4"}'


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

    async def attach(self, url):
        """A new tab at url: its target and session."""
        target = (await self.call("Target.createTarget", url=url))["targetId"]
        session = (await self.call("Target.attachToTarget", targetId=target,
                                   flatten=True))["sessionId"]
        return target, session

    async def open(self, url):
        """A new tab at url, once its page is connected and nobody drives."""
        target, session = await self.attach(url)
        await self.connected(session)
        return target, session

    async def connected(self, session):
        # The driver's name comes with the server's first state: input before
        # it has no values to change.
        await self.until(session, (TEXT_OF + ' === "connected" && ' + TEXT_OF + ' === "nobody"')
                         % ("connection", "driver"), 20)

    async def keys(self, session, keys):
        for key in keys:
            for kind in ("keyDown", "keyUp"):
                await self.call("Input.dispatchKeyEvent", session, type=kind, key=key,
                                text=key if kind == "keyDown" else "")


async def check_mapping_refusal(tools, url):
    """A stored mapping that names no input: an error on the page, the
    default mapping in force, the stored text left as it was."""
    target, session = await tools.open(url)
    await tools.evaluate(session, "localStorage.setItem('consoleMapping', %s)" % json.dumps(BAD_MAPPING))
    await tools.call("Page.reload", session)
    step("mapping error", await tools.until(session, TEXT_OF % "mappingError", 20))
    step("mapping enable", await tools.evaluate(
        session, 'document.querySelector("#mapping select").value'))
    step("mapping kept", await tools.evaluate(session, "localStorage.getItem('consoleMapping')")
         == BAD_MAPPING)
    await tools.evaluate(session, "localStorage.removeItem('consoleMapping')")
    await tools.call("Target.closeTarget", targetId=target)


async def play(tools, url, name, row, told):
    target, session = await tools.open(url)
    if "keys" in row:
        await tools.keys(session, row["keys"])
    else:
        await tools.evaluate(session, STAND_IN_PAD)
        # The enable button must be seen released before a press drives.
        await tools.until(session, (TEXT_OF % "enable") + '.startsWith("released")', 10)
        await tools.evaluate(session, row["pad"])
        await tools.until(session, TEXT_OF % "driver" + ' === "you"', 10)
    step("driving", name)
    await told()
    other = None
    if row["fault"] == "close":
        await tools.call("Target.closeTarget", targetId=target)
    elif row["fault"] == "hide":
        other = (await tools.call("Target.createTarget", url="about:blank"))["targetId"]
        await tools.call("Target.activateTarget", targetId=other)
    else:
        await tools.evaluate(session, row["fault"])
    step("fault", name)
    await told()
    if row["fault"] != "close":
        step("let go", name, await tools.evaluate(session, TEXT_OF % "released"))
        await tools.call("Target.closeTarget", targetId=target)
    if other:
        await tools.call("Target.closeTarget", targetId=other)


async def drive(address, url, names):
    go = asyncio.Event()
    asyncio.get_running_loop().add_signal_handler(signal.SIGUSR1, go.set)

    async def told():
        await asyncio.wait_for(go.wait(), TOLD_WAIT)
        go.clear()

    async with websockets.connect(address, max_size=None) as socket:
        tools = DevTools(socket)
        await check_mapping_refusal(tools, url)
        target, session = await tools.open(url)
        size = await tools.until(session, '(() => { const v = document.getElementById("video");'
                                          ' return v.complete && v.naturalWidth > 0 ?'
                                          ' v.naturalWidth + "x" + v.naturalHeight : ""; })()', 20)
        step("image", size)
        step("fps", await tools.evaluate(session, TEXT_OF % "fps"))
        await tools.call("Target.closeTarget", targetId=target)
        for name in names:
            await play(tools, url, name, ROWS[name], told)
        await foreign_page(tools, url)
        step("done")


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
        target, session = await tools.attach("http://127.0.0.1:%d/" % server.server_address[1])
        title = await tools.until(session, 'document.title !== "waiting" && document.title', 20)
        if title == "opened":
            await asyncio.sleep(1)  # long enough to move the line, if it could
        step("foreign", title)
        await tools.call("Target.closeTarget", targetId=target)
    finally:
        server.shutdown()


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


def main(url, names):
    # Until the loop watches it, SIGUSR1 must not end the script.
    signal.signal(signal.SIGUSR1, signal.SIG_IGN)
    profile = tempfile.mkdtemp(prefix="vok_chromium.")
    browser = subprocess.Popen(["chromium"] + FLAGS + ["--user-data-dir=" + profile, "about:blank"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        asyncio.run(drive(debugging_address(profile, browser), url, names))
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
