"""The reference for bench/poll_rate.sh: the fastest a bare termios client polls quelm-sim.

usage: poll_probe.py TERMINAL RATE SECONDS
Climbs the simulator to RATE ("a" at 9600, then "c" per step), then for SECONDS sends "f" and
waits for the 38 bytes, again and again. Prints polls per second. Whatever this client cannot
beat on the machine at that moment (scheduling, the simulator's pacing) is not the recorder's
overhead.
"""
import os
import select
import sys
import termios
import time
import tty

port, rate, seconds = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
SPEEDS = {9600: termios.B9600, 19200: termios.B19200, 38400: termios.B38400,
          57600: termios.B57600, 115200: termios.B115200}
fd = os.open(port, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)


def set_rate(r):
    tty.setraw(fd)
    attrs = termios.tcgetattr(fd)
    attrs[4] = attrs[5] = SPEEDS[r]
    termios.tcsetattr(fd, termios.TCSANOW, attrs)


def drain():
    try:
        while os.read(fd, 4096):
            pass
    except BlockingIOError:
        pass


set_rate(9600)
os.write(fd, b"a")
time.sleep(0.3)
for step in (19200, 38400, 57600, 115200):
    if step > rate:
        break
    os.write(fd, b"c")
    time.sleep(0.3)
    set_rate(step)
drain()

polls = 0
start = time.monotonic()
end = start + seconds
while time.monotonic() < end:
    os.write(fd, b"f")
    got = 0
    deadline = time.monotonic() + 0.1
    while got < 38 and time.monotonic() < deadline:
        select.select([fd], [], [], 0.01)
        try:
            got += len(os.read(fd, 64))
        except BlockingIOError:
            pass
    if got >= 38:
        polls += 1
    drain()
print(f"{polls / (time.monotonic() - start):.1f}")
os.close(fd)
