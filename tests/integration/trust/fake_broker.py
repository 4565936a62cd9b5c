"""A process that poses as the broker: started under the name VOK_App
(exec -a VOK_App), it listens on /tmp/sock_<its pid>.uds, accepts every
connection and prints "listening <path>", then "accepted" and
"received:<bytes>" for whatever a client sends. SIGTERM or SIGINT end it;
it removes its socket file."""
import os
import signal
import socket
import sys

PATH = "/tmp/sock_%d.uds" % os.getpid()


def stop(signum, frame):
    raise SystemExit(0)


def main():
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.bind(PATH)
    try:
        server.listen(10)
        print("listening %s" % PATH, flush=True)
        while True:
            client, _ = server.accept()
            print("accepted", flush=True)
            client.settimeout(2)
            try:
                data = client.recv(4096)
                if data:
                    print("received:%r" % data, flush=True)
            except socket.timeout:
                pass
            client.close()
    finally:
        os.unlink(PATH)


if __name__ == "__main__":
    sys.exit(main())
