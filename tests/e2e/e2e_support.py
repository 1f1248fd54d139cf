# SPDX-License-Identifier: MIT
"""Runs the real velmora under its own Xvfb, D-Bus session and accessibility bus, drives it with
xdotool and hears it the way a screen reader does, through AT-SPI. Everything started here is
stopped by its process id on every way out."""

import importlib.util
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77  # SKIP_RETURN_CODE in tests/e2e/CMakeLists.txt
TOOLS = ("Xvfb", "xdotool", "xprop", "xset", "dbus-run-session")
MODULES = ("pyatspi", "Xlib")
BUS_MARK = "VELMORA_E2E_BUS"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def in_own_session():
    """Skips the test when a tool is missing; otherwise runs this script again inside a D-Bus
    session of its own, which ends with it."""
    missing = [t for t in TOOLS if shutil.which(t) is None]
    missing += ["python3 module " + m for m in MODULES if importlib.util.find_spec(m) is None]
    if missing:
        print("SKIPPED: missing " + ", ".join(missing) + " (scripts/setup test installs them)")
        sys.exit(SKIP)
    if os.environ.get(BUS_MARK) != "1":
        # A runtime folder of its own too: the accessibility bus puts its socket there, and tests
        # that run side by side must not share it.
        # Settings in memory: what the accessibility bus is told (a screen reader runs, or not) stays
        # with the test, and the desktop's own settings neither reach it nor are changed by it.
        env = dict(os.environ, XDG_RUNTIME_DIR=tempfile.mkdtemp(prefix="velmora-e2e-"), GSETTINGS_BACKEND="memory",
                   **{BUS_MARK: "1"})
        os.execvpe("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv], env)


def pump():
    from gi.repository import GLib

    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def wait_for(condition, what, timeout=10.0):
    """Polls `condition` (delivering AT-SPI events meanwhile) until it gives a true value."""
    end = time.monotonic() + timeout
    while True:
        pump()
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(0.01)


def sentences(texts_program):
    """What the lesson can say, by key, from the core's own texts."""
    out = subprocess.run([texts_program], check=True, capture_output=True, text=True).stdout
    return dict(line.split("\t", 1) for line in out.splitlines())


def ends_with_us():
    """For a child: the kernel stops it if this script is killed before it can stop it itself."""
    import ctypes

    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


class Processes:
    """The processes a test started; stop() ends each by its id, the last started first."""

    def __init__(self):
        self.started = []

    def add(self, process):
        self.started.append(process)
        return process

    def stop(self):
        for p in reversed(self.started):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(3)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        self.started.clear()
        # What the session bus started for us (the accessibility bus and its registry) are the
        # children of our session's dbus-daemon, which dbus-run-session started beside us.
        for pid in bus_services():
            try:
                os.kill(pid, signal.SIGTERM)
            except ProcessLookupError:
                pass


def children_of(parent):
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    stat = f.read()
            except OSError:
                continue
            if int(stat.rpartition(")")[2].split()[1]) == parent:
                found.append(int(entry))
    return found


def bus_services():
    if os.environ.get(BUS_MARK) != "1":
        return []
    daemons = [pid for pid in children_of(os.getppid()) if pid != os.getpid()]
    found, todo = [], [c for d in daemons for c in children_of(d)]
    while todo:
        pid = todo.pop()
        found.append(pid)
        todo += children_of(pid)
    return found


def start_xvfb(processes):
    """An Xvfb on a display it picks itself; returns the display name once it accepts
    connections. -noreset: a client that leaves (xset, xprop) must not reset the server while the
    program connects."""
    read_end, write_end = os.pipe()
    processes.add(
        subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                          "-noreset"],
                         pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                         preexec_fn=ends_with_us))
    os.close(write_end)
    number = b""
    end = time.monotonic() + 10
    while not number.endswith(b"\n"):
        ready, _, _ = select.select([read_end], [], [], max(0.0, end - time.monotonic()))
        chunk = os.read(read_end, 16) if ready else b""
        check(chunk, "Xvfb did not report its display")
        number += chunk
    os.close(read_end)
    return ":" + number.decode().strip()


def run(args, env):
    return subprocess.run(args, env=env, check=True, capture_output=True, text=True, timeout=30).stdout


class Speech:
    """A speech-dispatcher of the test's own, reached at `address`, whose one synthesizer writes
    down each piece it is asked to say (it says each sentence as a piece) with its language."""

    def __init__(self, processes):
        if shutil.which("speech-dispatcher") is None:
            print("SKIPPED: missing speech-dispatcher (scripts/setup test installs it)")
            sys.exit(SKIP)
        folder = tempfile.mkdtemp(prefix="speech-", dir=os.environ["XDG_RUNTIME_DIR"])
        os.makedirs(os.path.join(folder, "modules"))
        self.log = os.path.join(folder, "said")
        with open(os.path.join(folder, "speechd.conf"), "w") as f:
            f.write('AudioOutputMethod "alsa"\nAudioALSADevice "null"\n'
                    'AddModule "log" "sd_generic" "log.conf"\nDefaultModule log\n')
        with open(os.path.join(folder, "modules", "log.conf"), "w") as f:
            f.write(f"GenericExecuteSynth \"printf '%s\\\\t%s\\\\n' '$LANGUAGE' '$DATA' >> {self.log}\"\n")
            for language in ("en", "de"):
                f.write(f'AddVoice "{language}" "MALE1" "{language}"\nGenericLanguage "{language}" "{language}" "utf-8"\n')
        socket = os.path.join(folder, "socket")
        self.process = processes.add(subprocess.Popen(["speech-dispatcher", "-s", "-t", "0", "-C", folder, "-S", socket, "-c",
                                        "unix_socket", "-P", os.path.join(folder, "pid"), "-L", folder],
                                       # It ends at start in a locale the machine lacks; the language
                                       # comes with each sentence.
                                       env=dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8"),
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=ends_with_us))
        wait_for(lambda: os.path.exists(socket), "speech-dispatcher's socket")
        self.address = "unix_socket:" + socket

    def said(self):
        """Everything said so far, as (languages, text): the pieces' languages and their text joined."""
        try:
            with open(self.log, encoding="utf-8") as f:
                pieces = [line.rstrip("\n").split("\t", 1) for line in f if "\t" in line]
        except FileNotFoundError:
            return set(), ""
        return {language for language, _ in pieces}, "".join(text for _, text in pieces)


class Lesson:
    """The program running under its own X server, on the accessibility bus, its window focused
    as a window manager would focus it. `args` go to the program; `screen_reader` False leaves the
    bus on without saying a screen reader runs; `speech` gives the program a speech-dispatcher of
    the test's own (Lesson.speech)."""

    def __init__(self, program, key_repeat=None, args=(), screen_reader=True, speech=False):
        self.program = program
        self.key_repeat = key_repeat  # (delay ms, rate per s) for `xset r rate`
        self.args, self.screen_reader, self.with_speech = list(args), screen_reader, speech
        self.processes = Processes()
        self.heard = []  # what a screen reader speaks, in order

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.processes.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.atspi.Registry.deregisterEventListener(self._on_event, "object:state-changed:showing")
        self.processes.stop()

    def _start(self):
        self.env = dict(os.environ, DISPLAY=start_xvfb(self.processes))
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON"):
            self.env.pop(name, None)
        if self.key_repeat:
            run(["xset", "r", "rate", *map(str, self.key_repeat)], self.env)
        import pyatspi

        self.atspi = pyatspi
        if self.with_speech:
            self.speech = Speech(self.processes)
            self.env["SPEECHD_ADDRESS"] = self.speech.address
        # A screen reader starts the accessibility bus and says it is running, as Orca does.
        from gi.repository import Gio, GLib

        session = Gio.bus_get_sync(Gio.BusType.SESSION)
        for flag, value in (("IsEnabled", True), ("ScreenReaderEnabled", self.screen_reader)):
            session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                              GLib.Variant("(ssv)", ("org.a11y.Status", flag, GLib.Variant("b", value))),
                              None, Gio.DBusCallFlags.NONE, 5000)
        pyatspi.Registry.registerEventListener(self._on_event, "object:state-changed:showing")
        # Its messages, if any, go to the test's log.
        self.app = self.processes.add(subprocess.Popen([self.program, *self.args], env=self.env, stdout=subprocess.DEVNULL,
                                                       preexec_fn=ends_with_us))
        self.window = wait_for(self._find_window, "the program's window")
        run(["xdotool", "windowfocus", "--sync", self.window], self.env)
        self.frame = wait_for(self._find_frame, "the program's window on the accessibility bus")
        wait_for(lambda: self.frame.getState().contains(pyatspi.STATE_ACTIVE), "the window to be active")

    def _find_window(self):
        check(self.app.poll() is None, f"velmora ended at start with status {self.app.returncode}")
        found = self.windows()
        return found[-1] if found else None

    def windows(self):
        """The program's windows that show: its form, and a menu while one is open."""
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.app.pid)], env=self.env,
                              capture_output=True, text=True).stdout.split()

    def _find_frame(self):
        for app in self.atspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.app.pid and app.childCount > 0:
                return app[0]
        return None

    def _on_event(self, event):
        # A notification is spoken as it shows, with its name then (Qt's name change carries no text).
        if event.source is not None and event.source.getRole() == self.atspi.ROLE_NOTIFICATION and event.detail1 == 1:
            self.heard.append(event.source.name)

    # What the window shows, as AT-SPI tells it.
    def control(self, name):
        for child in self.frame:
            if child.name == name:
                return child
        raise Failure(f"no control named {name!r} on the accessibility bus")

    def showing(self):
        return {c.name for c in self.frame if c.getState().contains(self.atspi.STATE_SHOWING) and c.name}

    def stage(self):
        return self.frame.description

    def centre(self, name):
        x, y, w, h = self.extents(name)
        return x + w // 2, y + h // 2

    def extents(self, name):
        """The control's rectangle on the screen, where xdotool points."""
        return self.control(name).queryComponent().getExtents(self.atspi.DESKTOP_COORDS)

    def xdotool(self, *args):
        run(["xdotool", *map(str, args)], self.env)

    def focus(self):
        return next((c.name for c in self.frame if c.getState().contains(self.atspi.STATE_FOCUSED)), None)

    def keys(self, *keys):
        # Typed through XTest into the focused window, as from the keyboard.
        self.xdotool("key", *keys)

    def hear(self, sentence, after=0, timeout=10.0):
        """Waits until `sentence` has been heard since the first `after` sentences."""
        wait_for(lambda: sentence in self.heard[after:], f"to hear {sentence!r}; heard {self.heard[after:]}",
                 timeout)
        return len(self.heard)

    def ended(self, timeout):
        try:
            return self.app.wait(timeout)
        except subprocess.TimeoutExpired:
            return None


def main(cases):
    """Runs the case named on the command line: case(program, texts program)."""
    in_own_session()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    name, program, texts = sys.argv[1], sys.argv[2], sys.argv[3]
    started = time.monotonic()
    try:
        cases[name](program, sentences(texts))
    except Failure as failure:
        print(f"FAILED: {failure}")
        sys.exit(1)
    finally:
        shutil.rmtree(os.environ["XDG_RUNTIME_DIR"], ignore_errors=True)
        print(f"({time.monotonic() - started:.1f} s)")
