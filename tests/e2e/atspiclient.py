"""An assistive-technology client for the end-to-end tests: starts the program, finds it on
the AT-SPI bus and reads and drives it as a screen reader or a switch-access tool does.

The calling test runs inside its own D-Bus session (dbus-run-session); the AT-SPI bus and its
registry start on demand from there.
"""

import os
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import GLib  # noqa: E402
import pyatspi  # noqa: E402

APP_NAME = "QuorbelAlphabet"


class Failure(Exception):
    pass


def step(text):
    print(f"-- [{time.monotonic() - _started:5.1f}s] {text}", flush=True)


_started = time.monotonic()


def pump(seconds=0.0):
    """Runs the main loop for a while, so queued accessibility events reach the listeners."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= deadline:
            return
        time.sleep(0.02)


def wait_for(what, probe, timeout=10.0):
    """Calls probe until it gives something true, pumping events between tries."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        pump()
        try:
            found = probe()
            if found:
                return found
        except GLib.Error as error:  # an object went away while being read
            last_error = error
        if time.monotonic() >= deadline:
            extra = f" (last error: {last_error})" if last_error else ""
            raise Failure(f"{what}: not within {timeout:.0f} s{extra}")
        time.sleep(0.1)


def fresh(accessible):
    """Drops what the client library remembers of an object, so the next read asks the program."""
    try:
        accessible.clear_cache()
    except (AttributeError, GLib.Error):
        pass
    return accessible


def children(accessible):
    result = []
    for index in range(accessible.childCount):
        child = accessible.getChildAtIndex(index)
        if child is not None:
            result.append(child)
    return result


def walk(accessible):
    yield accessible
    for child in children(accessible):
        yield from walk(child)


def role_of(accessible):
    return accessible.getRoleName()


def showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def find_all(root, name=None, role=None, only_showing=False):
    found = []
    for accessible in walk(root):
        try:
            if name is not None and accessible.name != name:
                continue
            if role is not None and role_of(accessible) != role:
                continue
            if only_showing and not showing(accessible):
                continue
        except GLib.Error:
            continue
        found.append(accessible)
    return found


def find(root, name=None, role=None, only_showing=False):
    found = find_all(root, name, role, only_showing)
    return found[0] if found else None


def action_names(accessible):
    try:
        action = accessible.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(index) for index in range(action.nActions)]


def act(accessible, action_name, within=1.0, ends_program=False):
    """Runs a named action and fails unless the call comes back within the time given. An
    action that ends the program may end it before its answer reaches the caller."""
    names = action_names(accessible)
    if action_name not in names:
        raise Failure(f"'{accessible.name}' has no action {action_name} (has {names})")
    began = time.monotonic()
    try:
        accessible.queryAction().doAction(names.index(action_name))
    except GLib.Error as error:
        if ends_program and "disconnected" in str(error):
            return time.monotonic() - began
        raise Failure(f"{action_name} on '{accessible.name}' failed after "
                      f"{time.monotonic() - began:.1f} s: {error}") from None
    took = time.monotonic() - began
    if took > within:
        raise Failure(f"{action_name} on '{accessible.name}' took {took:.2f} s "
                      f"(an assistive tool waits at most {within} s)")
    return took


def describe(root, depth=0, out=None):
    """The tree below root, one line an object: role, name and actions."""
    out = [] if out is None else out
    try:
        actions = action_names(root)
        state = "" if showing(root) else " (hidden)"
        out.append(f"{'  ' * depth}[{role_of(root)}] {root.name!r}"
                   f"{' ' + str(actions) if actions else ''}{state}")
        for child in children(root):
            describe(child, depth + 1, out)
    except GLib.Error as error:
        out.append(f"{'  ' * depth}(gone: {error})")
    return out


class NameEvents:
    """Collects the name changes the program announces on the bus."""

    def __init__(self):
        self.heard = []
        pyatspi.Registry.registerEventListener(self._heard,
                                               "object:property-change:accessible-name")

    def _heard(self, event):
        # The new name comes as the event's text, or Qt's bridge sends the object that has it.
        try:
            role = role_of(event.source)
            name = event.any_data if isinstance(event.any_data, str) else event.source.name
        except GLib.Error:
            role, name = "?", str(event.any_data)
        self.heard.append((role, name))

    def clear(self):
        pump()
        self.heard.clear()

    def wait(self, name, role=None, timeout=5.0):
        try:
            wait_for(f"a name-change event to '{name}'" + (f" on a {role}" if role else ""),
                     lambda: any(n == name and (role is None or r == role)
                                 for r, n in self.heard), timeout)
        except Failure as failure:
            raise Failure(f"{failure}; heard {self.heard}") from None

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._heard,
                                                 "object:property-change:accessible-name")


class FocusEvents:
    """Follows the keyboard focus as a screen reader does; an open pop-up menu is found only this
    way, since an application does not list its pop-ups among its windows."""

    KIND = "object:state-changed:focused"

    def __init__(self):
        self.focused = []
        pyatspi.Registry.registerEventListener(self._heard, self.KIND)

    def _heard(self, event):
        if event.detail1:
            self.focused.append(event.source)

    def wait(self, role, timeout=5.0):
        """The next object of that role to take the focus."""
        def probe():
            for index, source in enumerate(self.focused):
                try:
                    if role_of(source) == role:
                        del self.focused[:index + 1]
                        return source
                except GLib.Error:
                    continue
            return None

        return wait_for(f"the focus on a {role}", probe, timeout)

    def clear(self):
        pump()
        self.focused.clear()

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._heard, self.KIND)


class Program:
    """The real program, started in the background with accessibility on."""

    def __init__(self, path, environment=None):
        self.path = path
        self.log = tempfile.NamedTemporaryFile(prefix="quorbel-a11y-", suffix=".log", delete=False)
        env = dict(os.environ)
        env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        env.update(environment or {})
        # Its own runtime folder unless the session gives one (a Wayland session does).
        if not env.get("XDG_RUNTIME_DIR"):
            self.runtime = tempfile.TemporaryDirectory(prefix="quorbel-a11y-runtime-")
            env["XDG_RUNTIME_DIR"] = self.runtime.name
        self.process = subprocess.Popen([path], stdout=self.log, stderr=subprocess.STDOUT, env=env)
        self.app = None

    def find_app(self, timeout=20.0):
        desktop = pyatspi.Registry.getDesktop(0)

        def probe():
            if self.process.poll() is not None:
                raise Failure(f"the program ended with status {self.process.returncode}")
            for app in children(desktop):
                try:
                    if app.name == APP_NAME and app.get_process_id() == self.process.pid:
                        return app
                except GLib.Error:
                    continue
            return None

        self.app = wait_for(f"the application {APP_NAME} on the accessibility bus", probe, timeout)
        return self.app

    def windows(self):
        """The program's top-level windows and pop-ups, as it lists them now."""
        return children(fresh(self.app))

    @staticmethod
    def titled(window, title):
        # A window's name is its title, or says more than the title ("About Quorbel Alphabet").
        return window.name == title or window.name.startswith(title + " ")

    def window(self, title, timeout=10.0):
        """Waits for a showing top-level window with that title."""
        return wait_for(f"a window '{title}'",
                        lambda: next((w for w in self.windows()
                                      if self.titled(w, title) and showing(w)), None), timeout)

    def window_gone(self, title, timeout=10.0):
        wait_for(f"window '{title}' to close",
                 lambda: not any(self.titled(w, title) and showing(w) for w in self.windows()),
                 timeout)

    def running(self):
        return self.process.poll() is None

    def stop(self):
        if self.running():
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def output(self):
        self.log.flush()
        with open(self.log.name, encoding="utf-8", errors="replace") as log:
            return log.read()

    def remove_log(self):
        os.unlink(self.log.name)


def run(test, program):
    """Runs test(program) and reports; on failure prints the tree and the program's output."""
    pyatspi.setTimeout(3000, 3000)
    status = 0
    try:
        test(program)
        print(f"PASS [{os.path.basename(sys.argv[0])}]")
    except Failure as failure:
        status = 1
        print(f"FAIL: {failure}", file=sys.stderr)
        if program.app is not None:
            print("---- accessible tree ----", file=sys.stderr)
            print("\n".join(describe(program.app)), file=sys.stderr)
    finally:
        program.stop()
        if status:
            print("---- program output ----", file=sys.stderr)
            print(program.output(), file=sys.stderr)
        program.remove_log()
    return status
