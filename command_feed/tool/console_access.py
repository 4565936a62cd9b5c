"""Who may use the operator console. Every request needs the console's token
or the session cookie that the page gets in exchange for it; every request
must be addressed to one of the console's own names (no DNS rebinding), and
a WebSocket must come from a page of the console itself (no other site
drives through the operator's browser). Wrong tokens from one address are
answered more and more slowly."""

import collections
import hmac
import ipaddress
import os
import secrets
import socket
import sys
import time

from aiohttp import web

TOKEN_PARAMETER = "token"
# Sessions a console keeps at most; the oldest goes first.
MAX_SESSIONS = 64
# Wrong tokens an address may give before it is slowed down, then the wait
# after each further one: doubling from FIRST_WAIT up to LONGEST_WAIT seconds.
FREE_TRIES = 3
FIRST_WAIT = 1.0
LONGEST_WAIT = 60.0
# Addresses whose wrong tokens are remembered at most.
MAX_ADDRESSES = 1024
LOOPBACK_NAMES = ("localhost", "127.0.0.1", "::1")


def new_token():
    return secrets.token_urlsafe(18)


def runtime_directory():
    """Where the token file goes: the unit's RuntimeDirectory (readable by the
    chain's account and group), else a folder of this user's own."""
    given = os.environ.get("RUNTIME_DIRECTORY")
    if given:
        return given.split(":")[0]
    base = os.environ.get("XDG_RUNTIME_DIR")
    directory = os.path.join(base, "vok") if base else "/tmp/vok-%d" % os.getuid()
    try:
        os.mkdir(directory, 0o700)
    except FileExistsError:
        pass
    # A folder that another account made in the shared /tmp is not ours to use.
    status = os.lstat(directory)
    if status.st_uid != os.getuid() or status.st_mode & 0o077 or not os.path.isdir(directory):
        raise PermissionError("%s is not a folder of this user's alone" % directory)
    return directory


def store_token(directory, port, token):
    """Writes token to its file, readable by this account and its group only;
    the file's path."""
    path = os.path.join(directory, "console-%d.token" % port)
    temporary = "%s.%d" % (path, os.getpid())
    descriptor = os.open(temporary, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o640)
    with os.fdopen(descriptor, "w") as file:
        file.write(token + "\n")
    os.replace(temporary, path)
    return path


def host_name(host):
    """The name or address of a Host header, without its port, in lower case."""
    host = host.strip().lower()
    if host.startswith("["):
        return host[1:host.find("]")] if "]" in host else host
    return host.rsplit(":", 1)[0] if host.count(":") == 1 else host


def machine_names(bind, allowed):
    """The names under which this console may be addressed: loopback, the
    machine's own names, the address it listens on and the allowed ones."""
    names = set(LOOPBACK_NAMES) | {bind.lower()} | {host_name(name) for name in allowed}
    for name in (socket.gethostname(), socket.getfqdn()):
        names |= {name.lower(), name.lower() + ".local"}
    return names


def is_address(name):
    try:
        ipaddress.ip_address(name)
        return True
    except ValueError:
        return False


class Throttle:
    """Wrong tokens per client address, and how long each must wait."""

    def __init__(self, clock=time.monotonic):
        self.clock = clock
        self.wrong = collections.OrderedDict()  # address -> (count, blocked until)

    def wait(self, address):
        """Seconds address must still wait before its token is looked at."""
        return max(0.0, self.wrong.get(address, (0, 0.0))[1] - self.clock())

    def failed(self, address):
        """A wrong token from address; the wait it now has."""
        count = self.wrong.pop(address, (0, 0.0))[0] + 1
        wait = 0.0 if count < FREE_TRIES else min(LONGEST_WAIT, FIRST_WAIT * 2 ** (count - FREE_TRIES))
        self.wrong[address] = (count, self.clock() + wait)
        if len(self.wrong) > MAX_ADDRESSES:
            self.wrong.popitem(last=False)
        return wait

    def passed(self, address):
        self.wrong.pop(address, None)


class Access:
    """The aiohttp middleware that lets only the operator in."""

    def __init__(self, token, port, names, clock=time.monotonic):
        self.token = token.encode("utf-8")
        self.cookie = "vok_console_%d" % port
        self.names = names
        self.throttle = Throttle(clock)
        self.sessions = collections.OrderedDict()

    @web.middleware
    async def check(self, request, handler):
        refusal = self.addressing_refusal(request)
        if refusal:
            return forbidden(refusal)
        given = request.query.get(TOKEN_PARAMETER)
        if given is not None:
            return await self.with_token(request, handler, given)
        if request.cookies.get(self.cookie) not in self.sessions:
            return forbidden("this console needs its token: open the address with ?token= that "
                             "it printed in its log, or the token in its file")
        return await handler(request)

    def addressing_refusal(self, request):
        """Why the request is not addressed to this console from its own page;
        None when it is."""
        name = host_name(request.host)
        own = request.transport.get_extra_info("sockname") if request.transport else None
        if name not in self.names and not (own and is_address(name) and name == own[0].lower()):
            return "this console is not %s (start it with --allow-host for another name)" % name
        origin = request.headers.get("Origin")
        if origin is not None and origin.lower() != "http://" + request.host.lower():
            return "a page of another site (%s) may not use this console" % origin
        if origin is None and request.headers.get("Upgrade", "").lower() == "websocket":
            return "a WebSocket of this console needs the Origin of its page"
        return None

    async def with_token(self, request, handler, given):
        address = request.remote
        wait = self.throttle.wait(address)
        if wait > 0:
            return web.Response(status=429, headers={"Retry-After": str(int(wait) + 1)},
                                text="429: too many wrong tokens; try again in %d s\n" % (int(wait) + 1))
        # Bytes, so that a token of any characters is merely wrong.
        if not hmac.compare_digest(given.encode("utf-8", "surrogatepass"), self.token):
            wait = self.throttle.failed(address)
            if wait:
                sys.stderr.write("command_feed: wrong tokens from %s: the next one is looked at "
                                 "in %g s\n" % (address, wait))
                sys.stderr.flush()
            return forbidden("wrong token")
        self.throttle.passed(address)
        if request.path == "/" and request.headers.get("Upgrade") is None:
            return self.open_session()
        return await handler(request)

    def open_session(self):
        """The page's exchange: a session cookie, and the token out of the address bar."""
        session = secrets.token_urlsafe(32)
        self.sessions[session] = True
        if len(self.sessions) > MAX_SESSIONS:
            self.sessions.popitem(last=False)
        response = web.Response(status=303, headers={"Location": "./"})
        response.set_cookie(self.cookie, session, path="/", httponly=True, samesite="Strict")
        return response


def forbidden(reason):
    return web.Response(status=403, text="403: %s\n" % reason)
