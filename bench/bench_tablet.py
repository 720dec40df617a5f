#!/usr/bin/python3
"""The flight on a tablet, measured: brimwell-plan --watch --serve against the X-Plane stand-in's
flight (tablet_flight) on loopback, with 8 devices connected: Chromium headless, 6 WebSocket
clients of this script's own that read all they are sent, and one that never reads.

  bench_tablet.py BRIMWELL_PLAN TABLET_FLIGHT [--quick]

  - a reading to the page: from the computer's clock at X-Plane's reading (the reading's "time",
    checked at once by the watch) to the page's DOM showing its fuel on board, a MutationObserver's
    Date.now(); the median and the largest over the flight's readings;
  - the page's first load: the navigation to its load event, the median of 5 loads, and the bytes
    of the page's files as they come over the wire (headers included);
  - the planner's peak memory (VmHWM) with the 8 devices and, beside them, 100 idle connections
    and a flood of header bytes, less the peak of the same watch without --serve.
"""
import base64
import json
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


def websocket_client(host, port, key, stop):
    """A device that reads all it is sent and answers every ping, until stop is set."""
    connection = socket.create_connection((host, port))
    nonce = base64.b64encode(os.urandom(16)).decode()
    connection.sendall((f"GET /live HTTP/1.1\r\nHost: {host}:{port}\r\nUpgrade: websocket\r\n"
                        f"Connection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                        f"Sec-WebSocket-Key: {nonce}\r\nOrigin: http://{host}:{port}\r\n"
                        f"Cookie: brimwell_pairing_{port}={key}\r\n\r\n").encode())
    connection.settimeout(0.2)
    data = b""
    while not stop.is_set():
        try:
            chunk = connection.recv(65536)
        except socket.timeout:
            continue
        if not chunk:
            return
        data += chunk
        if b"\r\n\r\n" in data and data.startswith(b"HTTP/1.1 101"):
            data = data[data.index(b"\r\n\r\n") + 4:]
        while len(data) >= 2 and not data.startswith(b"HTTP"):
            length, header = data[1] & 0x7F, 2
            if length >= 126:
                header = 4 if length == 126 else 10
                if len(data) < header:
                    break
                length = int.from_bytes(data[2:header], "big")
            if len(data) < header + length:
                break
            if data[0] & 0x0F == 0x9:
                connection.sendall(b"\x8a\x80\x00\x00\x00\x00")
            data = data[header + length:]
    connection.close()


def peak_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmHWM:"))


def hostile(host, port, key, stop):
    """One page that never reads, 100 connections left idle, one flooding its headers."""
    idle = [socket.create_connection((host, port)) for _ in range(100)]
    deaf = socket.create_connection((host, port))
    deaf.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
    deaf.sendall((f"GET /live HTTP/1.1\r\nHost: {host}:{port}\r\nUpgrade: websocket\r\n"
                  f"Connection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                  f"Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nOrigin: http://{host}:{port}\r\n"
                  f"Cookie: brimwell_pairing_{port}={key}\r\n\r\n").encode())
    flood = socket.create_connection((host, port))
    try:
        flood.sendall(b"GET / HTTP/1.1\r\nX-Flood: " + b"x" * (64 << 20))
    except OSError:
        pass  # cut off, as it should be
    stop.wait()
    for connection in idle + [deaf, flood]:
        connection.close()


def fly(plan, flight, work, serve):
    """The stand-in flying and the planner watching it, served or not; both processes."""
    ofp = os.path.join(work, "flight.xml")
    stand_in = subprocess.Popen([flight, ofp], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                text=True)
    xplane = stand_in.stdout.readline().strip()
    planner = subprocess.Popen(
        [plan, "--ofp", ofp, "--contingency", "30", "--min-landing-fuel", "19000", "--watch",
         "--every", "0.2", "--json", "--xplane-url", xplane] + serve,
        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, cwd=work)
    return stand_in, planner


def land(stand_in, planner, work):
    planner.terminate()
    planner.wait(10)
    stand_in.stdin.close()
    stand_in.wait(10)
    shutil.rmtree(work, ignore_errors=True)


def watch_alone(plan, flight, seconds):
    """The peak memory of the same watch without --serve, KiB."""
    work = tempfile.mkdtemp()
    stand_in, planner = fly(plan, flight, work, [])
    time.sleep(seconds)
    peak = peak_kib(planner.pid)
    land(stand_in, planner, work)
    return peak


def main():
    plan, flight = sys.argv[1], sys.argv[2]
    quick = "--quick" in sys.argv[3:]
    work = tempfile.mkdtemp()
    stand_in, planner = fly(plan, flight, work, ["--serve", "127.0.0.1:0"])
    url = planner.stderr.readline().strip().partition(" at ")[2]
    base, _, key = url.partition("/?key=")
    host, port = base[len("http://"):].split(":")
    readings = []
    threading.Thread(target=lambda: [readings.append(json.loads(line)) for line in planner.stdout],
                     daemon=True).start()

    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                     f"--user-data-dir={work}/profile", "--window-size=1280,800"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    stop = threading.Event()
    devices = [threading.Thread(target=websocket_client, args=(host, int(port), key, stop))
               for _ in range(6)]
    try:
        driver.get(url)  # paired: the cookie from here on
        loads, sizes = [], []
        for _ in range(2 if quick else 5):
            driver.get(base + "/")
            timing = driver.execute_script(
                "const n = performance.getEntriesByType('navigation')[0];"
                "const files = [n].concat(performance.getEntriesByType('resource'));"
                "return [n.loadEventEnd, files.reduce((s, f) => s + f.transferSize, 0)];")
            loads.append(timing[0])
            sizes.append(timing[1])
        for device in devices:
            device.start()
        threading.Thread(target=hostile, args=(host, int(port), key, stop), daemon=True).start()
        driver.execute_script(
            "window.updates = [];"
            "const shown = document.getElementById('fuel_on_board');"
            "new MutationObserver(() => updates.push([Date.now(), shown.textContent]))"
            ".observe(shown, {childList: true, characterData: true, subtree: true});")
        time.sleep(3)  # the flight lands after some 5 seconds
        updates = driver.execute_script("return updates;")
        connected = driver.execute_script("return document.getElementById('connection').textContent")
        served_peak = peak_kib(planner.pid)
    finally:
        stop.set()
        driver.quit()
        land(stand_in, planner, work)

    latencies = []
    figures = [line["reading"] for line in readings if "fuel_on_board" in line.get("reading", {})]
    for shown_at, text in updates:
        # The last reading of that fuel before the page showed it (on the ground, several are).
        told = [r["time"] * 1000 for r in figures
                if f"{r['fuel_on_board']} lbs" == text and r["time"] * 1000 <= shown_at]
        if told:
            latencies.append(shown_at - max(told))
    if not latencies or connected != "Connected":
        print(f"ERROR OCCURRED: {len(latencies)} readings seen on the page ({connected})")
        return 1
    print(f"reading to the page, 8 devices, median  {statistics.median(latencies):.1f} ms")
    print(f"reading to the page, 8 devices, largest  {max(latencies):.1f} ms")
    print(f"readings measured  {len(latencies)}")
    print(f"first load of the page, median  {statistics.median(loads):.1f} ms")
    print(f"first load of the page, size  {max(sizes) / 1000:.1f} KB")
    alone_peak = watch_alone(plan, flight, 3)
    print(f"peak memory, serving under load less watching alone  {(served_peak - alone_peak) / 1024:.1f} MiB"
          f"  ({served_peak / 1024:.1f} against {alone_peak / 1024:.1f})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
