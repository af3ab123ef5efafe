"""A small W3C WebDriver client for the browser tests: one interface over two transports.

Chromium is driven through chromedriver's HTTP endpoints (urllib only), Firefox ESR through
its own Marionette socket (length-prefixed JSON; no geckodriver needed). Both speak the same
W3C commands, so a test is written once: open a page, run script, send real keys and
pointer actions (trusted events), take a screenshot. Also a static server for the site.

Run with /usr/bin/python3 (the system Python): nothing beyond the standard library.
"""

import base64
import functools
import http.server
import json
import os
import shutil
import socket
import subprocess
import tempfile
import threading
import time
import urllib.error
import urllib.request

# W3C key values for the keys the tests press (the WebDriver "normalised key" code points).
KEYS = {
    "Backspace": "\ue003", "Tab": "\ue004", "Enter": "\ue007", "Shift": "\ue008",
    "Control": "\ue009", "Alt": "\ue00a", "Escape": "\ue00c", "PageUp": "\ue00e",
    "PageDown": "\ue00f", "End": "\ue010", "Home": "\ue011", "Left": "\ue012", "Up": "\ue013",
    "Right": "\ue014", "Down": "\ue015", "Insert": "\ue016", "Delete": "\ue017",
}
KEYS.update({"F%d" % n: chr(0xE031 + n - 1) for n in range(1, 13)})
# Characters a US keyboard types with Shift held: typed as a person does, Shift pressed
# before the key and released after it (the control acts on the Shift key's own release).
SHIFTED = set("ABCDEFGHIJKLMNOPQRSTUVWXYZ~!@#$%^&*()_+{}|:\"<>?")

ELEMENT_KEY = "element-6066-11e4-a52f-4ffb4b9dc4ab"


class WebDriverError(Exception):
    pass


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Key:
    """A named key, optionally with modifiers held: Key("F1"), Key("c", "Control")."""

    def __init__(self, name, *modifiers):
        self.value = KEYS.get(name, name)
        self.modifiers = [KEYS[m] for m in modifiers]


def key_actions(parts):
    """W3C key action items for a sequence of texts (typed key by key) and Keys."""
    items = []
    for part in parts:
        if isinstance(part, str):
            for ch in part:
                press = [{"type": "keyDown", "value": ch}, {"type": "keyUp", "value": ch}]
                if ch in SHIFTED:
                    shift = KEYS["Shift"]
                    press = [{"type": "keyDown", "value": shift}] + press + [
                        {"type": "keyUp", "value": shift}]
                items += press
        else:
            items += [{"type": "keyDown", "value": m} for m in part.modifiers]
            items += [{"type": "keyDown", "value": part.value},
                      {"type": "keyUp", "value": part.value}]
            items += [{"type": "keyUp", "value": m} for m in reversed(part.modifiers)]
    return items


class Browser:
    """The interface the tests use. Subclasses supply _command(name, params)."""

    name = "?"

    # ---- transport (subclass) ----
    def _command(self, name, params):
        raise NotImplementedError

    # ---- W3C commands ----
    def open(self, url):
        self._command("navigate", {"url": url})

    def run(self, script, *args):
        """Runs a function body (arguments[i] are args); a returned promise is awaited."""
        return self._command("execute", {"script": script, "args": list(args)})

    def perform(self, actions):
        self._command("actions", {"actions": actions})
        self._command("release", {})

    def keys(self, *parts):
        """Real key presses into the focused element: texts and Key(...)s."""
        self.perform([{"type": "key", "id": "keyboard", "actions": key_actions(parts)}])

    def _pointer(self, steps):
        self.perform([{"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
                       "actions": steps}])

    @staticmethod
    def _move(x, y, duration=0):
        return {"type": "pointerMove", "origin": "viewport", "x": int(round(x)),
                "y": int(round(y)), "duration": duration}

    def click(self, x, y, button=0, count=1):
        """Clicks (button 0 left, 2 right) at viewport pixels; count 2 is a double click."""
        steps = [self._move(x, y)]
        for _ in range(count):
            steps += [{"type": "pointerDown", "button": button},
                      {"type": "pointerUp", "button": button}]
        self._pointer(steps)

    def drag(self, x1, y1, x2, y2, steps=4):
        """Presses the left button at (x1, y1), moves in a few steps to (x2, y2), releases."""
        items = [self._move(x1, y1), {"type": "pointerDown", "button": 0}]
        for i in range(1, steps + 1):
            items.append(self._move(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps, 20))
        items.append({"type": "pointerUp", "button": 0})
        self._pointer(items)

    def screenshot(self, path):
        data = self._command("screenshot", {})
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def set_size(self, width, height):
        self._command("window", {"width": width, "height": height})

    def quit(self):
        raise NotImplementedError


CHROMIUM_ARGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--window-size=1000,700"]


class Chromium(Browser):
    """Headless Chromium through chromedriver's HTTP protocol."""

    name = "chromium"
    ROUTES = {"navigate": ("POST", "url"), "execute": ("POST", "execute/sync"),
              "actions": ("POST", "actions"), "release": ("DELETE", "actions"),
              "screenshot": ("GET", "screenshot"), "window": ("POST", "window/rect")}

    def __init__(self, binary="/usr/bin/chromium", driver="/usr/bin/chromedriver", args=()):
        self.profile = tempfile.mkdtemp(prefix="tavi-chromium-")
        self.port = free_port()
        self.driver = subprocess.Popen([driver, "--port=%d" % self.port],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.base = "http://127.0.0.1:%d" % self.port
        for _ in range(100):
            try:
                if self._http("GET", "/status").get("ready"):
                    break
            except (OSError, WebDriverError):
                pass
            time.sleep(0.1)
        caps = {"browserName": "chrome", "goog:chromeOptions": {
            "binary": binary,
            "args": CHROMIUM_ARGS + list(args) + ["--user-data-dir=" + self.profile]}}
        self.session = self._http("POST", "/session", {"capabilities": {"alwaysMatch": caps}})[
            "sessionId"]

    def _http(self, method, path, body=None):
        data = json.dumps(body if body is not None else {}).encode() if method == "POST" else None
        req = urllib.request.Request(self.base + path, data=data, method=method,
                                     headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(req, timeout=60) as r:
                reply = json.loads(r.read())
        except urllib.error.HTTPError as e:
            reply = json.loads(e.read() or b"{}")
            value = reply.get("value", {})
            raise WebDriverError("%s: %s" % (value.get("error"), value.get("message", "")[:600]))
        return reply.get("value", reply)

    def _command(self, name, params):
        method, path = self.ROUTES[name]
        return self._http(method, "/session/%s/%s" % (self.session, path), params)

    def quit(self):
        try:
            self._http("DELETE", "/session/" + self.session)
        except (OSError, WebDriverError):
            pass
        self.driver.terminate()
        self.driver.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


class Firefox(Browser):
    """Headless Firefox ESR through its Marionette protocol (the W3C commands by name)."""

    name = "firefox"
    COMMANDS = {"navigate": "WebDriver:Navigate", "execute": "WebDriver:ExecuteScript",
                "actions": "WebDriver:PerformActions", "release": "WebDriver:ReleaseActions",
                "screenshot": "WebDriver:TakeScreenshot", "window": "WebDriver:SetWindowRect"}

    def __init__(self, binary="/usr/bin/firefox-esr"):
        self.profile = tempfile.mkdtemp(prefix="tavi-firefox-")
        port = free_port()
        prefs = {"marionette.port": port, "browser.shell.checkDefaultBrowser": False,
                 "app.update.enabled": False, "datareporting.policy.dataSubmissionEnabled": False,
                 "browser.startup.homepage_override.mstone": "ignore",
                 "network.captive-portal-service.enabled": False,
                 "toolkit.telemetry.reportingpolicy.firstRun": False}
        with open(os.path.join(self.profile, "user.js"), "w") as f:
            for k, v in prefs.items():
                f.write("user_pref(%s, %s);\n" % (json.dumps(k), json.dumps(v)))
        env = dict(os.environ, MOZ_HEADLESS_WIDTH="1000", MOZ_HEADLESS_HEIGHT="700")
        self.process = subprocess.Popen(
            [binary, "--headless", "--marionette", "--no-remote", "--profile", self.profile,
             "about:blank"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        for _ in range(300):
            try:
                self.sock = socket.create_connection(("127.0.0.1", port))
                break
            except OSError:
                time.sleep(0.1)
        else:
            raise WebDriverError("Marionette did not listen on port %d" % port)
        self.stream = self.sock.makefile("rb")
        self.next_id = 0
        self._read()  # the greeting
        self._send("WebDriver:NewSession", {})

    def _read(self):
        length = b""
        while (c := self.stream.read(1)) != b":":
            if not c:
                raise WebDriverError("Marionette closed the connection")
            length += c
        return json.loads(self.stream.read(int(length)))

    def _send(self, name, params):
        self.next_id += 1
        body = json.dumps([0, self.next_id, name, params]).encode()
        self.sock.sendall(str(len(body)).encode() + b":" + body)
        while True:
            reply = self._read()
            if reply[0] == 1 and reply[1] == self.next_id:
                break
        if reply[2]:
            error = reply[2]
            raise WebDriverError("%s: %s" % (error.get("error"), error.get("message", "")[:600]))
        result = reply[3]
        return result.get("value", result) if isinstance(result, dict) else result

    def _command(self, name, params):
        return self._send(self.COMMANDS[name], params)

    def quit(self):
        try:
            self._send("WebDriver:DeleteSession", {})
        except (OSError, WebDriverError):
            pass
        self.sock.close()
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        shutil.rmtree(self.profile, ignore_errors=True)


def start(name):
    return {"chromium": Chromium, "firefox": Firefox}[name]()


# ---- The site ----

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


def assemble_site(site=os.path.join(ROOT, "build", "web", "site")):
    """The folder tools/run --web serves: the pages of web/, the module and the sample."""
    os.makedirs(site, exist_ok=True)
    web = os.path.join(ROOT, "web")
    for name in os.listdir(web):
        path = os.path.join(web, name)
        if os.path.isfile(path):
            shutil.copy2(path, site)
    for name in ("tavi-color-text.js", "tavi-color-text.wasm"):
        shutil.copy2(os.path.join(ROOT, "build", "web", name), site)
    shutil.copy2(os.path.join(ROOT, "examples", "sample.scr"), site)
    os.makedirs(os.path.join(site, "examples"), exist_ok=True)
    shutil.copy2(os.path.join(ROOT, "examples", "sample.scr"), os.path.join(site, "examples"))
    return site


class _Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript",
                      ".mjs": "text/javascript", ".scr": "text/plain; charset=utf-8"}

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, *args):
        pass


class Server:
    """Serves a folder on a free 127.0.0.1 port from a thread; url(path) gives addresses."""

    def __init__(self, folder):
        handler = functools.partial(_Handler, directory=folder)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def url(self, path=""):
        return "http://127.0.0.1:%d/%s" % (self.httpd.server_address[1], path)

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()
