"""The pseudo-terminal side shared by the simulated dive computers."""
import os
import select
import time
import tty


def open_device():
    """Opens a pty, prints the path the program is to open on stdout's first line, returns the
    simulator's end."""
    master, slave = os.openpty()
    tty.setraw(slave)  # no echo or line editing before the program opens the port
    print(os.ttyname(slave), flush=True)
    return master


def incoming_bytes(master):
    """Every byte the program sends, one by one, for as long as the simulator runs; the program
    may close the port and open it again in between."""
    while True:
        select.select([master], [], [])
        try:
            data = os.read(master, 256)
        except OSError:  # the program closed the port: wait for the next one
            time.sleep(0.05)
            continue
        yield from data
