#!/usr/bin/python3
"""The flight on a tablet in a real browser: brimwell-plan --watch --serve against the X-Plane
stand-in's scripted flight (tablet_flight), Debian's Chromium headless through chromedriver, one
browser session for every row. Skipped (exit 77) where Chromium or chromedriver is not installed.

  tablet_browser_test.py BRIMWELL_PLAN TABLET_FLIGHT [--pictures DIR]

With --pictures, flies a flight of plain names and also writes the page in the light and the dark
scheme, as a tablet in landscape shows it, to DIR/tablet.png and DIR/tablet-dark.png.
"""
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
if not (os.access(CHROMIUM, os.X_OK) and os.access(CHROMEDRIVER, os.X_OK)):
    print("SKIPPED: Chromium and chromedriver are not installed (scripts/install-deps.sh tests)")
    sys.exit(77)

from selenium import webdriver  # noqa: E402 (only once the browser is known to be there)
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.support.ui import WebDriverWait  # noqa: E402

failures = []

# The check's figures by their ids, as the page shows a reading's JSON object.
FIGURES = {key: (lambda k, unit: lambda r: f"{r[k]}{unit}")(key, unit) for key, unit in (
    ("fuel_on_board", " lbs"), ("planned_fuel_on_board", " lbs"), ("reserves", " lbs"),
    ("predicted_landing_fuel", " lbs"), ("planned_landing_fuel", " lbs"),
    ("distance_to_go_nm", " nm"), ("status", ""), ("phase", ""))}
FIGURES["off_route_nm"] = lambda r: "–" if r["off_route_nm"] is None else f"{r['off_route_nm']:.1f} nm"


def check(condition, what):
    if not condition:
        failures.append(what)
        print(f"FAIL: {what}", file=sys.stderr)


class Planner:
    """brimwell-plan watching the stand-in's flight: its JSON lines as they come."""

    def __init__(self, plan, ofp, xplane, work):
        environment = dict(os.environ, BRIMWELL_TEST_TABLET_BEAT_MS="150",
                           BRIMWELL_TEST_XPLANE_BOUND_MS="1000")
        self.process = subprocess.Popen(
            [plan, "--ofp", ofp, "--contingency", "30", "--min-landing-fuel", "19000", "--watch",
             "--every", "0.25", "--json", "--xplane-url", xplane, "--serve", "127.0.0.1:0"],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, cwd=work, env=environment)
        self.first_error_line = self.process.stderr.readline().rstrip("\n")
        self.lines = []  # appended to by one thread, read by the test's: whole objects only
        threading.Thread(target=lambda: [self.lines.append(json.loads(line))
                                         for line in self.process.stdout], daemon=True).start()

    def objects(self, key):
        return [line[key] for line in list(self.lines) if key in line]


def text(driver, element_id):
    found = driver.find_elements(By.ID, element_id)
    return found[0].text if found else None


def wait(driver, condition, seconds):
    try:
        return WebDriverWait(driver, seconds, poll_frequency=0.05).until(lambda d: condition(d))
    except Exception:  # the condition's own failure is what is told
        return False


def pictures(driver, directory):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": 1280, "height": 800, "deviceScaleFactor": 1, "mobile": False})
    for scheme, name in (("light", "tablet.png"), ("dark", "tablet-dark.png")):
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
            "features": [{"name": "prefers-color-scheme", "value": scheme}]})
        time.sleep(0.3)
        driver.save_screenshot(os.path.join(directory, name))


def main():
    plan, flight = sys.argv[1], sys.argv[2]
    picture_dir = sys.argv[4] if len(sys.argv) > 4 and sys.argv[3] == "--pictures" else None
    work = tempfile.mkdtemp()
    ofp = os.path.join(work, "flight.xml")
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1280,800",
                     f"--user-data-dir={work}/profile", "--disable-dev-shm-usage"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    # The browser first: however long it takes to start, the flight has not begun.
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    # The pictures are of a flight as a pilot flies it; the test's of a fix named in markup.
    stand_in = subprocess.Popen([flight, ofp] + (["--plain"] if picture_dir else []),
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    planner = None
    try:
        planner = Planner(plan, ofp, stand_in.stdout.readline().strip(), work)
        told, _, url = planner.first_error_line.partition(" at ")
        check(told == "brimwell-plan: the flight is shown"
              and re.fullmatch(r"http://127\.0\.0\.1:\d+/\?key=[0-9a-f]{32}", url),
              f"the first line on the error stream: {planner.first_error_line!r}")
        # Opened by a link on another site (a mail, a chat): paired all the same.
        driver.get(f"data:text/html,<a id=pair href='{url}'>the flight</a>")
        driver.find_element(By.ID, "pair").click()
        check("key=" not in driver.current_url, f"the key left the address: {driver.current_url}")
        check(wait(driver, lambda d: text(d, "connection") == "Connected", 5), "connected")

        # The schematic: every cell of the plan's JSON object, as text; red where it is red.
        wait(driver, lambda d: planner.lines, 5)
        cells = planner.lines[0]["cells"]
        check(wait(driver, lambda d: text(d, "txtFL") == cells["txtFL"], 3), "txtFL shown")
        for name, cell in cells.items():
            shown = text(driver, name)
            if shown is not None:
                check(shown == cell, f"{name}: {shown!r}, the plan's {cell!r}")
        red = {element.get_attribute("id") for element in driver.find_elements(By.CSS_SELECTOR, ".red")}
        check(red == set(planner.lines[0]["red"]), f"red cells {red}")

        # A reading on the page within a second of the planner's telling it; all the figures,
        # read at once, those of one reading.
        wait(driver, lambda d: planner.objects("reading"), 3)
        index = len(planner.objects("reading")) - 1
        fuel = lambda: {f"{r['fuel_on_board']} lbs" for r in planner.objects("reading")[index:]}
        check(wait(driver, lambda d: text(d, "fuel_on_board") in fuel(), 1.0), "a reading shown")
        page = driver.execute_script(
            "return Object.fromEntries(arguments[0].map(id => "
            "[id, document.getElementById(id).textContent]))", list(FIGURES))
        check([r for r in planner.objects("reading")
               if all(page[key] == shown(r) for key, shown in FIGURES.items())],
              f"the page's figures {page} are those of a reading")

        # The fixes passed, their idents as text: the flight plan's markup is never markup.
        check(wait(driver, lambda d: d.find_elements(By.CSS_SELECTOR, "#fixes tr"), 6), "a fix")
        fix = driver.find_element(By.CSS_SELECTOR, "#fixes tr td").text
        marked = picture_dir or fix.startswith("<b id=")
        check(fix == planner.objects("fix")[0]["ident"] and marked,
              f"the first fix as text: {fix!r}")
        check(driver.find_elements(By.ID, "marked") == [], "no element made of the fix's markup")
        # Strayed from the route past the first fix: how far, as the planner tells it. (The
        # flight of the pictures keeps to its route.)
        strayed = lambda: {FIGURES["off_route_nm"](r) for r in planner.objects("reading")
                           if r.get("off_route_nm") is not None}
        check(picture_dir or wait(driver, lambda d: text(d, "off_route_nm") in strayed(), 6),
              f"off the route: {text(driver, 'off_route_nm')!r}, told {strayed()}")
        lines = driver.execute_script("return [...document.querySelectorAll('#plot polyline')]"
                                      ".map(l => l.getAttribute('points'))")  # each reading redraws
        check(len(lines) == 2 and lines[1], f"the plot, planned and flown: {lines}")
        if picture_dir:
            pictures(driver, picture_dir)

        # The server stopped and going again: the page says so, and reconnects by itself.
        planner.process.send_signal(signal.SIGSTOP)
        check(wait(driver, lambda d: (text(d, "connection") or "").startswith(
            "Connection lost; figures of "), 3), f"lost told: {text(driver, 'connection')!r}")
        planner.process.send_signal(signal.SIGCONT)
        check(wait(driver, lambda d: text(d, "connection") == "Connected", 8), "reconnected")
        count = len(planner.objects("reading"))
        check(wait(driver, lambda d: len(planner.objects("reading")) > count, 3), "readings go on")

        # The landing.
        check(wait(driver, lambda d: text(d, "phase") == "landed", 15), "landed")
        check(wait(driver, lambda d: (text(d, "note") or "").startswith("Landed at "), 2), "note")
        csp = [entry["message"] for entry in driver.get_log("browser")
               if "Content Security Policy" in entry["message"]]
        check(csp == [], f"the page within its own policy: {csp}")
    finally:
        driver.quit()
        if planner:
            planner.process.terminate()
            planner.process.wait(10)
        stand_in.stdin.close()
        stand_in.wait(10)
        shutil.rmtree(work, ignore_errors=True)
    print(f"{len(failures)} failures" if failures else "the page in Chromium: all rows hold")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
