"""What the black-box runs share: the built trainer with data and settings in a folder of its own, its
window found by title on the X server xvfb-run started, keys pressed into it, and a close as a window
manager sends it."""
import os, subprocess, sys, time

from Xlib import X, XK, display, protocol
from Xlib.ext import xtest

started = []


def wait(condition, what, seconds=60):
    """The condition's result once it has one; else every program started is killed and the run fails."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if result := condition():
            return result
        time.sleep(0.05)
    for process in started:
        process.kill()
    sys.exit(f"no {what}")


def environment(top, **extra):
    # On the X server xvfb-run started, whatever platform the caller's environment names.
    return dict(os.environ, XDG_RUNTIME_DIR=top, QT_QPA_PLATFORM="xcb", **extra,
                **{name: os.path.join(top, name) for name in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME")})


def start(arguments, top, title, **extra):
    process = subprocess.Popen(arguments, env=environment(top, **extra))
    started.append(process)
    x = display.Display()
    name = x.intern_atom("_NET_WM_NAME")
    window = wait(lambda: [w for w in x.screen().root.query_tree().children
                           if w.get_full_property(name, 0) and w.get_full_property(name, 0).value.decode() == title
                           and w.get_attributes().map_state == X.IsViewable], "window titled " + title)[0]
    return process, x, window


def press(x, window, *names):
    window.set_input_focus(X.RevertToParent, X.CurrentTime)
    for name in names:
        code = x.keysym_to_keycode(XK.string_to_keysym(name))
        for kind in (X.KeyPress, X.KeyRelease):
            xtest.fake_input(x, kind, code)
        x.sync()


def close(x, window):
    close = [x.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]
    window.send_event(protocol.event.ClientMessage(window=window, client_type=x.intern_atom("WM_PROTOCOLS"),
                                                   data=(32, close)))
    x.flush()
