"""A real X server (Xvfb) for black-box runs of the built program, and the
few things a window manager or a user does to a window: find it by its
title, read its geometry, take a screenshot, ask it to close."""

import os
import subprocess
import time

from Xlib import X, display, error, protocol


class XSession:
    def __init__(self, width=1024, height=768):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             f"{width}x{height}x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("Xvfb did not start")
                number += chunk
        self.name = ":" + number.decode().strip()
        self.display = display.Display(self.name)
        self.root = self.display.screen().root

    def close(self):
        try:
            self.display.close()
        except Exception:
            pass
        self.server.terminate()
        self.server.wait(timeout=10)

    def environment(self, **extra):
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        env.pop("WAYLAND_DISPLAY", None)
        env["DISPLAY"] = self.name
        env.update(extra)
        return env

    def _title(self, window):
        try:
            name = window.get_full_text_property(
                self.display.intern_atom("_NET_WM_NAME"),
                self.display.intern_atom("UTF8_STRING"))
            if not name:
                name = window.get_wm_name()
            return name
        except error.XError:
            return None

    def find_window(self, title, timeout=60.0):
        """The mapped top-level window with this title, or None."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                children = self.root.query_tree().children
            except error.XError:
                children = []
            for window in children:
                if self._title(window) != title:
                    continue
                try:
                    if window.get_attributes().map_state == X.IsViewable:
                        return window
                except error.XError:
                    continue
            time.sleep(0.05)
        return None

    def geometry(self, window):
        g = window.get_geometry()
        return g.width, g.height

    def screenshot(self, path, window=None):
        target = hex(window.id) if window is not None else "root"
        subprocess.run(["import", "-display", self.name, "-window", target, path],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def launch(self, program, title, **env):
        """Starts program with the extra environment and waits for its
        window. Returns (process, window, output); when no window came, the
        process is killed, window is None and output holds what it printed."""
        process = subprocess.Popen([program], env=self.environment(**env),
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        window = self.find_window(title)
        if window is None:
            process.kill()
            return process, None, process.communicate()[0].decode(errors="replace")
        return process, window, ""

    def close_program(self, process, window, timeout=30):
        """Closes the window as a window manager does and waits for the
        program to end. Returns (exit code, output); the exit code is None
        when the program did not end in time (it is killed then)."""
        self.request_close(window)
        try:
            output = process.communicate(timeout=timeout)[0].decode(errors="replace")
        except subprocess.TimeoutExpired:
            process.kill()
            process.communicate()
            return None, ""
        return process.returncode, output

    def request_close(self, window):
        """What a window manager sends when the user closes a window."""
        protocols = self.display.intern_atom("WM_PROTOCOLS")
        delete = self.display.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(
            window=window, client_type=protocols,
            data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event, event_mask=X.NoEventMask)
        self.display.flush()
