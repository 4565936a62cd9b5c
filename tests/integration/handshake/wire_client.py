"""A client of the broker written with the Python standard library only.

    wire_client.py <broker pid> separate|combined <app name>
        environment request and a sign-in of an app that provides and
        requests its own name; "separate" waits for the environment reply
        before signing in, "combined" sends both in one write.
    wire_client.py <broker pid> raw <sign-in text, "{pid}" replaced>
        sends the text alone and prints whatever comes back.

Prints "pid:", then each JSON document received as "env:" or "reply:" (raw
bytes as text), or "received:" in raw mode.
"""
import json
import os
import socket
import sys
import time

REQUEST = ('{ #011#011#011"Type" : "ConfigDataRequest", '
           '#011#011#011"Version" : "0.1" #011#011}')


def compact(document):
    return json.dumps(document, separators=(',', ':'), sort_keys=True,
                      ensure_ascii=False)


def self_provider(name, pid):
    symbol = {"Size": 4, "Type": "int32_t"}
    app = {
        "Description": "", "Manufacturer": "", "PID": pid,
        "Type": "ApplicationData", "Version": "0.1",
        "Provides": {name + "Shm": {
            "Description": "py", "Signal": 10, "Type": "Provide",
            "Version": "0.1", "Symbols": {"v": dict(symbol, Offset=0)}}},
        "Requests": {name: {
            "Description": "py wish", "Type": "Request", "Version": "0.1",
            "Symbols": {"v": symbol}}},
    }
    return compact({name: app, "Type": "ConnectToVOKConfig", "Version": "0.1"})


class Reader:
    """Splits the byte stream into JSON documents (there is no framing)."""

    def __init__(self, sock):
        self.sock = sock
        self.buffer = ""
        self.decoder = json.JSONDecoder()

    def next_document(self, timeout):
        deadline = time.monotonic() + timeout
        while True:
            text = self.buffer.lstrip()
            if text:
                try:
                    _, end = self.decoder.raw_decode(text)
                    self.buffer = text[end:]
                    return text[:end]
                except ValueError:
                    pass
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            self.sock.settimeout(left)
            try:
                chunk = self.sock.recv(4096)
            except socket.timeout:
                return None
            if not chunk:
                return None
            self.buffer += chunk.decode("utf-8")


def main():
    broker_pid, mode, argument = sys.argv[1], sys.argv[2], sys.argv[3]
    pid = os.getpid()
    print("pid:%d" % pid, flush=True)
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    sock.connect("/tmp/sock_%s.uds" % broker_pid)
    reader = Reader(sock)
    if mode == "raw":
        sock.sendall(argument.replace("{pid}", str(pid)).encode("utf-8"))
        document = reader.next_document(8)
        print("received:%s" % (document or ""), flush=True)
        return
    if mode == "separate":
        sock.sendall(REQUEST.encode("utf-8"))
        print("env:%s" % reader.next_document(10), flush=True)
        sock.sendall(self_provider(argument, pid).encode("utf-8"))
    else:
        sock.sendall((REQUEST + self_provider(argument, pid)).encode("utf-8"))
        print("env:%s" % reader.next_document(10), flush=True)
    print("reply:%s" % reader.next_document(10), flush=True)


if __name__ == "__main__":
    main()
