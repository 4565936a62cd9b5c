"""Requests against a running operator console at http://127.0.0.1:PORT/ with
its token: one row a request, each answered with its expected status. A row
that opens the control WebSocket tries to drive channel 0 to its own value
for a moment and lets go, so that the serial line shows which rows drove.
Prints one line a row; exits 1 when a status or a cookie is not as expected.
Wrong tokens come from 127.0.0.2, so that their slow-down is that address's."""

import asyncio
import collections
import sys

import aiohttp

NEUTRAL = [8] * 14 + [13]
DRIVE_TIME = 0.6
OTHER_ADDRESS = "127.0.0.2"

# drive: channel 0's value for a WebSocket row.
Row = collections.namedtuple("Row", "name path status headers source drive", defaults=({}, None, None))


def rows(base, token, cookie):
    own = {"Origin": base}
    host = base.split("//", 1)[1]
    return [
        Row("no credential", "/control", 403, own, drive=1),
        Row("wrong token", "/control?token=wrong", 403, own, OTHER_ADDRESS, drive=2),
        Row("non-ASCII token", "/?token=%C3%A9%E2%82%AC", 403, source=OTHER_ADDRESS),
        Row("third wrong token", "/stream?token=x", 403, source=OTHER_ADDRESS),
        Row("right token after three wrong ones", "/?token=" + token, 429, source=OTHER_ADDRESS),
        Row("another Origin", "/control?token=" + token, 403, {"Origin": "http://127.0.0.1:1"}, drive=3),
        Row("no Origin", "/control?token=" + token, 403, drive=4),
        Row("another Host", "/?token=" + token, 403, {"Host": "rebound.example:" + host.split(":")[1]}),
        Row("another Host, WebSocket", "/control?token=" + token, 403,
            {"Host": "rebound.example", "Origin": "http://rebound.example"}, drive=5),
        Row("stale cookie", "/control", 403, dict(own, Cookie=cookie[0] + "=old"), drive=6),
        Row("the page's script without the cookie", "/console_drive.js", 403),
        Row("the operator's page with the cookie", "/", 200, {"Cookie": "=".join(cookie)}),
        Row("the page's script with the cookie", "/console_pad.js", 200, {"Cookie": "=".join(cookie)}),
        Row("the operator's WebSocket with the cookie", "/control", 101,
            dict(own, Cookie="=".join(cookie)), drive=11),
    ]


async def drive(socket, value):
    values = [value] + NEUTRAL[1:]
    end = asyncio.get_running_loop().time() + DRIVE_TIME
    while asyncio.get_running_loop().time() < end:
        await socket.send_json({"values": values})
        await asyncio.sleep(0.1)


async def request(base, row):
    connector = aiohttp.TCPConnector(local_addr=(row.source, 0) if row.source else None)
    async with aiohttp.ClientSession(connector=connector, cookie_jar=aiohttp.DummyCookieJar()) as http:
        if row.drive is None:
            async with http.get(base + row.path, headers=row.headers, allow_redirects=False) as response:
                return response.status
        try:
            async with http.ws_connect(base + row.path, headers=row.headers) as socket:
                await drive(socket, row.drive)
                return 101
        except aiohttp.WSServerHandshakeError as refused:
            return refused.status


async def exchange(base, token):
    """The page's first request: the token for a session cookie; (name, value)."""
    async with aiohttp.ClientSession(cookie_jar=aiohttp.DummyCookieJar()) as http:
        async with http.get(base + "/?token=" + token, allow_redirects=False) as response:
            header = response.headers.get("Set-Cookie", "")
            print("row token exchange: %d %s -> %s" % (response.status, header.split(";")[0].split("=")[0],
                                                        response.headers.get("Location")), flush=True)
            attributes = [part.strip().lower() for part in header.split(";")[1:]]
            if response.status != 303 or "httponly" not in attributes or "samesite=strict" not in attributes:
                print("unexpected exchange: %d %s" % (response.status, header), flush=True)
                return None
            return tuple(header.split(";")[0].split("=", 1))


async def main(base, token):
    cookie = await exchange(base, token)
    if cookie is None:
        return 1
    failed = 0
    for row in rows(base, token, cookie):
        status = await request(base, row)
        print("row %s: %d%s" % (row.name, status, "" if status == row.status else
                                " (expected %d)" % row.status), flush=True)
        failed += status != row.status
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(asyncio.run(main(sys.argv[1], sys.argv[2])))
