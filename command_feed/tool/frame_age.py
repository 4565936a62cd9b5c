"""How old the picture on the operator's screen is: the newest X-Timestamp
(the moment the camera read the frame, on the real-time clock) of the
MJPEG stream passed on to the page."""

import re
import time

STAMP = re.compile(rb"X-Timestamp: (\d+)\.(\d{6})\r\n")
# Longest header line that a chunk boundary may cut.
TAIL = 64


class FrameAge:
    def __init__(self, clock=time.time):
        self.clock = clock
        self.tail = b""
        self.newest = None

    def see(self, chunk):
        """Takes the stamps of a piece of the stream, as it is passed on."""
        data = self.tail + chunk
        for match in STAMP.finditer(data):
            self.newest = int(match.group(1)) + int(match.group(2)) / 1e6
        self.tail = data[-TAIL:]

    def age_ms(self):
        """Milliseconds since the camera read the newest frame passed on;
        None while the stream carried no stamp."""
        if self.newest is None:
            return None
        return round((self.clock() - self.newest) * 1000)
