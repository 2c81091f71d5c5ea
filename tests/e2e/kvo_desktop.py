"""The harness of the end-to-end tests: Kestavo on a private desktop, driven as a user would.

A Desktop is one run of the program: a private copy of the staged program folder, a private
home with its own XDG folders and odbc.ini, an Xvfb display, a session D-Bus and the
accessibility bus. Controls are found through the accessibility tree (pyatspi) by role and
name and driven with real X input (xdotool). Every wait polls with a deadline.

pyatspi binds the accessibility bus once per process, so a test process runs one program:
CMake makes every test method a CTest test, run in a process of its own.
"""
import contextlib
import copy
import ctypes
import glob
import hashlib
import os
import random
import re
import select
import shutil
import signal
import sqlite3
import subprocess
import tempfile
import time
import uuid

BUILD_DIR = os.environ.get("KVO_BUILD_DIR") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "build")
STAGED_PROGRAM = os.path.join(BUILD_DIR, "Kestavo")
AT_SPI_BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
FAKETIME_LIBRARY = next(iter(glob.glob("/usr/lib/*/faketime/libfaketime.so.1")), "libfaketime.so.1")

# A slow machine running the whole suite in parallel still answers well within these;
# KVO_E2E_TIMEOUT_SCALE stretches them for a program run under valgrind.
SCALE = float(os.environ.get("KVO_E2E_TIMEOUT_SCALE") or 1)
START_TIMEOUT = 60
TIMEOUT = 30
POLL = 0.1
DISPLAY_TRIES = 20
# A command the program is started under, e.g. "valgrind --error-exitcode=99" (same process id).
WRAPPER = os.environ.get("KVO_E2E_WRAPPER", "").split()
# The lines a sanitizer prints when it finds a fault (UBSan, ASan, LSan, TSan and the summary
# each ends with). Whatever the exit code, one of them in a program run's output fails the test:
# a run expected to end with 1 may end so because of the report.
SANITIZER_REPORT = re.compile(r"runtime error:|ERROR: \w*Sanitizer|WARNING: ThreadSanitizer|SUMMARY: \w*Sanitizer")
# The options a sanitized build reads (ASAN_OPTIONS, LSAN_OPTIONS, UBSAN_OPTIONS, TSAN_OPTIONS ...).
SANITIZER_VARIABLE = re.compile(r"[A-Z]+SAN_[A-Z_]+")


class DesktopError(AssertionError):
    pass


TEST_PROCESS = os.getpid()
PR_SET_PDEATHSIG = 1


def end_with_the_test():
    """In a child before it runs: it is killed when the test process dies, even by SIGKILL (a
    CTest time-out), so that no display, bus or server outlives its test. A test that died
    before that took effect kills nothing: then the child ends at once."""
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)
    if os.getppid() != TEST_PROCESS:
        os._exit(127)


def wait_for(what, probe, timeout=None):
    """Polls probe until it answers something true and returns that; fails after timeout."""
    timeout = (TIMEOUT if timeout is None else timeout) * SCALE
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = probe()
            if value:
                return value
        except Exception as error:   # the tree changes under us while windows come and go
            last_error = error
        if time.monotonic() > deadline:
            detail = f" (last error: {last_error!r})" if last_error else ""
            raise DesktopError(f"timed out after {timeout}s waiting for {what}{detail}")
        time.sleep(POLL)


def sanitizer_reports(text):
    """The lines of a program's output that tell of a sanitizer report."""
    return [line for line in text.splitlines() if SANITIZER_REPORT.search(line)]


def file_digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def read_rows(database, sql, params=()):
    """The rows of a query on a database file, read with SQLite itself (never through the program)."""
    uri = "file:" + database + "?mode=ro"
    with contextlib.closing(sqlite3.connect(uri, uri=True, timeout=10)) as db:
        return db.execute(sql, params).fetchall()


class Desktop:
    """One run of Kestavo on a private desktop. Use as a context manager: everything it started
    is stopped when the block ends, also after a failure."""

    def __init__(self, prepare=None, fake_time=None, obey_file_permissions=False, quick_help=False):
        """prepare(program_folder) may change the private program folder before the start;
        fake_time ("YYYY-mm-dd HH:MM:SS") starts the program's clock there (it runs on);
        obey_file_permissions runs the program without root's power to write read-only files;
        quick_help leaves the quick-help window to open at the start, as it does by default."""
        self.prepare = prepare
        self.fake_time = fake_time
        self.obey_file_permissions = obey_file_permissions
        self.quick_help = quick_help
        self.marker = uuid.uuid4().hex
        self.root = tempfile.mkdtemp(prefix="kvo-e2e-")
        self.program_dir = os.path.join(self.root, "Kestavo")
        self.home = os.path.join(self.root, "home")
        self.processes = []
        # Every run of the program on this desktop (another_copy's views share the list): its
        # process and log, and whether the test looked at its exit code.
        self.runs = []
        self.program = None
        self.display = None
        self.dbus_pid = None
        self.exit_code = None
        self._app = None

    # ----- life cycle -----------------------------------------------------------------------

    def __enter__(self):
        try:
            self._make_folders()
            self._start_display()
            self._start_buses()
            self._start_program()
        except BaseException:
            self.stop(failing=True)
            raise
        return self

    def __exit__(self, kind, value, trace):
        if kind is not None:
            self._take_evidence_picture()
        self.stop(failing=kind is not None)
        return False

    def _make_folders(self):
        if not os.path.exists(os.path.join(STAGED_PROGRAM, "Kestavo")):
            raise DesktopError(f"no staged program in {STAGED_PROGRAM}: run ./scripts/build.sh")
        shutil.copytree(STAGED_PROGRAM, self.program_dir, symlinks=True)
        # Every test starts from the empty template, whatever the developer's own runs left.
        for leftover in ("dbbackups", "kvo.dat", "tmp.db"):
            path = os.path.join(self.program_dir, leftover)
            if os.path.isdir(path):
                shutil.rmtree(path)
            elif os.path.exists(path):
                os.remove(path)
        shutil.copyfile(self.path("KestavoEmpty.db"), self.database)
        for folder in ("runtime", "data", "config", "cache"):
            os.makedirs(os.path.join(self.home, folder), mode=0o700)
        self.env = {
            "PATH": "/usr/bin:/bin",
            "HOME": self.home,
            "LANG": "C.UTF-8",
            "XDG_RUNTIME_DIR": os.path.join(self.home, "runtime"),
            "XDG_DATA_HOME": os.path.join(self.home, "data"),
            "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
            "XDG_CACHE_HOME": os.path.join(self.home, "cache"),
            "ODBCINI": os.path.join(self.home, "odbc.ini"),
            # Every process of this desktop carries the marker, so that the clean-up finds the
            # ones that daemons started on their own (the accessibility registry).
            "KVO_E2E_SESSION": self.marker,
        }
        # A sanitized build's options and suppressions (tools/sanitize) reach the program.
        self.env.update({key: value for key, value in os.environ.items() if SANITIZER_VARIABLE.fullmatch(key)})
        if self.prepare:
            self.prepare(self.program_dir)
        if not self.quick_help:
            self._turn_off_quick_help()

    def _turn_off_quick_help(self):
        """The quick-help window opens at every start unless the options file says otherwise: a
        test that does not ask for it starts with startup_help 0 (its own options kept)."""
        path = self.path("kvo.dat")
        lines = ["kvo_v_10:", "kvo_end:"]
        if os.path.exists(path):
            with open(path, newline="") as f:
                lines = f.read().splitlines()
        if any(line.startswith("startup_help:") for line in lines):
            return
        lines.insert(1, "startup_help: 0")
        with open(path, "w", newline="") as f:
            f.write("\n".join(lines) + "\n")

    def _start_display(self):
        # A display number of our own, away from the low ones that every "Xvfb -displayfd" hands
        # out first: on these machines a low number can answer to an X server of another
        # namespace that the program cannot reach.
        tried = set()
        while len(tried) < DISPLAY_TRIES:
            number = random.randrange(100, 1000)
            if number in tried:
                continue
            tried.add(number)
            if self._display_answers(number) or os.path.exists(f"/tmp/.X{number}-lock"):
                continue   # somebody else's
            if self._start_xvfb(number) and self._display_answers(number):
                self.display = f":{number}"
                self.env["DISPLAY"] = self.display
                return
            self._stop_xvfb()
        raise DesktopError(f"no display of our own in {DISPLAY_TRIES} tries (see xvfb.log)")

    def _display_answers(self, number):
        env = dict(self.env, DISPLAY=f":{number}")
        with contextlib.suppress(subprocess.TimeoutExpired):
            return subprocess.run(["xdpyinfo", "-display", f":{number}"], env=env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL, timeout=10).returncode == 0
        return False

    def _start_xvfb(self, number):
        """Starts Xvfb on the number; True once it has said it is ready (-displayfd)."""
        read_end, write_end = os.pipe()
        try:
            self.xvfb = self._spawn(["Xvfb", f":{number}", "-displayfd", str(write_end), "-screen", "0",
                                     "1280x800x24", "-nolisten", "tcp"], pass_fds=(write_end,), log="xvfb.log")
            os.close(write_end)
            write_end = None
            said = b""
            deadline = time.monotonic() + START_TIMEOUT
            while not said.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or self.xvfb.poll() is not None:
                    return False
                ready, _, _ = select.select([read_end], [], [], left)
                if ready:
                    chunk = os.read(read_end, 16)
                    if not chunk:
                        return False
                    said += chunk
            return said.strip() == str(number).encode()
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)

    def _stop_xvfb(self):
        xvfb, self.xvfb = getattr(self, "xvfb", None), None
        if xvfb and xvfb.poll() is None:
            xvfb.kill()
            xvfb.wait(timeout=10)

    def _start_buses(self):
        # --exit-with-x11: the bus also ends with the display, whatever becomes of this process.
        out = subprocess.run(["dbus-launch", "--sh-syntax", "--exit-with-x11"], env=self.env,
                             capture_output=True, text=True, timeout=START_TIMEOUT, check=True).stdout
        for line in out.splitlines():
            if line.startswith("DBUS_SESSION_BUS_ADDRESS="):
                self.env["DBUS_SESSION_BUS_ADDRESS"] = line.split("=", 1)[1].rstrip(";").strip("'")
            elif line.startswith("DBUS_SESSION_BUS_PID="):
                self.dbus_pid = int(line.split("=", 1)[1].rstrip(";"))
        if "DBUS_SESSION_BUS_ADDRESS" not in self.env or not self.dbus_pid:
            raise DesktopError("dbus-launch gave no session bus: " + out)
        self._spawn([AT_SPI_BUS_LAUNCHER, "--launch-immediately"], log="at-spi.log")
        # This process talks to the same buses; pyatspi reads them when it is first imported.
        for key in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"):
            os.environ[key] = self.env[key]
        wait_for("the accessibility bus", self._accessibility_bus_address, START_TIMEOUT)

    def _accessibility_bus_address(self):
        out = subprocess.run(
            ["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus", "/org/a11y/bus",
             "org.a11y.Bus.GetAddress"], env=self.env, capture_output=True, text=True, timeout=10)
        return out.returncode == 0 and "unix:" in out.stdout

    def _start_program(self):
        self.program = self._launch_program()

    def another_copy(self):
        """The program started once more on this desktop's program folder, as a user who starts
        it again: a view of this desktop whose program, windows and exit are the new run's (the
        desktop stops it with everything else and checks its output as the first run's)."""
        view = copy.copy(self)
        view._app = None
        view.exit_code = None
        view.program = self._launch_program()
        return view

    def _launch_program(self):
        """Every run of the program starts here, so that stop() checks each one's output and end."""
        env = dict(self.env, QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        if self.fake_time:
            env.update(LD_PRELOAD=FAKETIME_LIBRARY, FAKETIME="@" + self.fake_time,
                       FAKETIME_DONT_FAKE_MONOTONIC="1", FAKETIME_DONT_RESET="1")
        unprivileged = []
        if self.obey_file_permissions and os.geteuid() == 0:
            unprivileged = ["setpriv", "--inh-caps=-dac_override,-dac_read_search",
                            "--bounding-set=-dac_override,-dac_read_search"]
        log = "program.log" if not self.runs else f"program-{len(self.runs) + 1}.log"
        process = self._spawn(unprivileged + WRAPPER + [os.path.join(self.program_dir, "Kestavo")], env=env,
                              cwd=self.program_dir, log=log)
        self.runs.append(ProgramRun(process, log))
        return process

    def _spawn(self, argv, env=None, cwd=None, pass_fds=(), log=None):
        out = open(os.path.join(self.root, log), "ab") if log else subprocess.DEVNULL
        try:
            process = subprocess.Popen(argv, env=env or self.env, cwd=cwd, pass_fds=pass_fds,
                                       stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                                       preexec_fn=end_with_the_test)
        finally:
            if log:
                out.close()
        self.processes.append(process)
        return process

    def stop(self, failing=False):
        """Stops the program and everything the desktop started, then removes its folder. A run
        of the program that printed a sanitizer report, or that died on its own with an exit code
        the test never looked at, fails the test (unless it is failing already): its output is
        kept as evidence either way."""
        died = [death for death in map(ProgramRun.death, self.runs) if death]
        for run in self.runs:
            if run.process.poll() is None:
                run.process.kill()
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
        # A short grace for all of them together; what is still there then is killed.
        deadline = time.monotonic() + 2
        for process in reversed(self.processes):
            try:
                process.wait(timeout=max(0.1, deadline - time.monotonic()))
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(timeout=5)
        if self.dbus_pid:
            with contextlib.suppress(ProcessLookupError):
                os.kill(self.dbus_pid, signal.SIGTERM)
        self._stop_marked_processes()
        # Only now is every output whole: a report may come after the exit the test checked.
        faults = died + [fault for run in self.runs for fault in run.reports(self.root)]
        if faults or failing:
            for fault in faults:
                print(fault)
            self._keep_evidence()
        shutil.rmtree(self.root, ignore_errors=True)
        if faults and not failing:
            raise DesktopError("\n".join(faults))

    def _stop_marked_processes(self):
        """Daemons forked by the buses (the second dbus-daemon, the registry) carry the marker."""
        needle = ("KVO_E2E_SESSION=" + self.marker).encode()
        for _ in range(50):
            marked = []
            for entry in os.listdir("/proc"):
                if not entry.isdigit() or int(entry) == os.getpid():
                    continue
                with contextlib.suppress(OSError):
                    with open(f"/proc/{entry}/environ", "rb") as f:
                        if needle in f.read().split(b"\0"):
                            marked.append(int(entry))
            if not marked:
                return
            for pid in marked:
                with contextlib.suppress(ProcessLookupError):
                    os.kill(pid, signal.SIGKILL)
            time.sleep(POLL)

    def _take_evidence_picture(self):
        """After a failure, while the display is still there: the screen as it was."""
        if os.environ.get("KVO_E2E_EVIDENCE"):
            with contextlib.suppress(Exception):
                self.screenshot(os.path.join(self.root, "screen.png"))

    def _keep_evidence(self):
        """After a failure: the logs (every program run's) and the screenshot go where CTest's
        output names them."""
        keep = os.environ.get("KVO_E2E_EVIDENCE")
        if not keep:
            return
        os.makedirs(keep, exist_ok=True)
        names = [run.log for run in self.runs] + ["xvfb.log", "at-spi.log", "screen.png", "screen.xwd"]
        for name in names:
            with contextlib.suppress(OSError):
                shutil.copy(os.path.join(self.root, name), keep)
        print(f"evidence kept in {keep}")

    # ----- the program and its files ----------------------------------------------------------

    def path(self, *parts):
        return os.path.join(self.program_dir, *parts)

    @property
    def database(self):
        return self.path("Kestavo.db")

    def backups(self):
        folder = self.path("dbbackups")
        return sorted(os.listdir(folder)) if os.path.isdir(folder) else []

    def rows(self, sql, params=()):
        return read_rows(self.database, sql, params)

    def backups_rows(self, name, sql, params=()):
        return read_rows(self.path("dbbackups", name), sql, params)

    def wait_for_exit(self, timeout=TIMEOUT):
        """The exit code of this view's run, once it has ended; the test then judges it."""
        timeout *= SCALE
        try:
            self.exit_code = self.program.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise DesktopError(f"the program did not end within {timeout}s") from None
        next(run for run in self.runs if run.process is self.program).exit_seen = True
        return self.exit_code

    def running(self):
        return self.program.poll() is None

    def screenshot(self, path):
        """The whole screen as the user sees it: a .png when ImageMagick is there, else an .xwd file.
        A picture is evidence, not a verdict: one that cannot be taken or converted is noted in a
        .txt file beside it and never fails the test. Answers the picture's path, or None."""
        xwd = os.path.splitext(path)[0] + ".xwd"
        try:
            subprocess.run(["xwd", "-root", "-silent", "-out", xwd], env=self.env, check=True,
                           capture_output=True, timeout=30)
        except (OSError, subprocess.SubprocessError) as failure:
            self._note_picture_failure(path, "xwd could not take the screen", failure)
            return None
        if path.endswith(".png") and shutil.which("convert"):
            layers = []
            try:
                layers = self._window_pictures(os.path.dirname(path) or ".")
                command = ["convert", xwd]
                for picture, x, y in layers:
                    command += [picture, "-geometry", f"+{x}+{y}", "-composite"]
                subprocess.run(command + [path], check=True, capture_output=True, timeout=30)
                os.remove(xwd)
                return path
            except (OSError, subprocess.SubprocessError) as failure:
                self._note_picture_failure(path, "convert could not make the PNG; the .xwd is kept", failure)
            finally:
                for picture, _, _ in layers:
                    with contextlib.suppress(OSError):
                        os.remove(picture)
        return xwd

    @staticmethod
    def _note_picture_failure(path, what, failure):
        detail = getattr(failure, "stderr", None) or b""
        if isinstance(detail, bytes):
            detail = detail.decode(errors="replace")
        with contextlib.suppress(OSError):
            with open(os.path.splitext(path)[0] + ".txt", "a") as note:
                note.write(f"{what}: {failure}\n{detail}")

    def _window_pictures(self, folder):
        """Each shown top-level window taken on its own, bottom first, with its place: Xvfb leaves
        the windows of modal dialogs black in a picture of the root window."""
        out = subprocess.run(["xwininfo", "-root", "-children"], env=self.env, capture_output=True,
                             text=True, timeout=30).stdout
        pictures = []
        for line in reversed(out.splitlines()):   # xwininfo lists the topmost window first
            found = re.match(r"\s*(0x[0-9a-f]+) .*\s\d+x\d+[+-]-?\d+[+-]-?\d+\s+\+(-?\d+)\+(-?\d+)$", line)
            if not found:
                continue
            window, x, y = found.groups()
            info = subprocess.run(["xwininfo", "-id", window], env=self.env, capture_output=True,
                                  text=True, timeout=30).stdout
            if "IsViewable" not in info:
                continue
            picture = os.path.join(folder, f".window-{window}.xwd")
            taken = subprocess.run(["xwd", "-id", window, "-silent", "-out", picture], env=self.env,
                                   capture_output=True, timeout=30)
            if taken.returncode == 0:   # a window partly off the screen cannot be taken alone
                pictures.append((picture, int(x), int(y)))
            elif os.path.exists(picture):
                os.remove(picture)
        return pictures

    def keep_screenshot(self, name):
        """A picture of the screen as it is now, kept with the test's evidence (see the README)."""
        keep = os.environ.get("KVO_E2E_EVIDENCE")
        if not keep:
            return None
        os.makedirs(keep, exist_ok=True)
        return self.screenshot(os.path.join(keep, name + ".png"))

    # ----- the accessibility tree ---------------------------------------------------------------

    @property
    def app(self):
        """The program's node of the accessibility tree (found by its process id)."""
        import pyatspi

        def find():
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and app.get_process_id() == self.program.pid:
                    return app
            return None

        if self._app is None:
            self._app = wait_for("the program on the accessibility bus", find, START_TIMEOUT)
        return self._app

    def windows(self):
        """The program's top-level windows that are on the screen."""
        import pyatspi
        app = self.app
        shown = []
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if window is not None and window.getState().contains(pyatspi.STATE_SHOWING):
                shown.append(window)
        return shown

    def window(self, title, timeout=TIMEOUT):
        """Waits for the shown window with this title."""
        return wait_for(f"the window {title!r}",
                        lambda: next((w for w in self.windows() if w.name == title), None), timeout)

    def no_window(self, title, timeout=TIMEOUT):
        wait_for(f"the window {title!r} to close",
                 lambda: all(w.name != title for w in self.windows()), timeout)

    def message_box(self, caption, containing="", timeout=TIMEOUT):
        """Waits for a message box by its caption (and a part of its text) and answers the box
        and its text, white space made single blanks."""
        def find():
            for window in self.windows():
                if window.name == caption:
                    text = " ".join(" ".join(l.name for l in find_all(window, "label") if l.name).split())
                    if containing in text:
                        return window, text
            return None
        return wait_for(f"the message {caption!r} saying {containing!r}", find, timeout)

    def answer(self, caption, button, containing="", timeout=TIMEOUT):
        """Waits for the message box and clicks one of its buttons; answers its text."""
        box, text = self.message_box(caption, containing, timeout)
        self.press(box, button)
        return text

    def control(self, within, role, name, timeout=TIMEOUT):
        """Waits for a shown control of a window by its role ("push button", "text", "list" ...)
        and its accessible name."""
        return wait_for(f"the {role} {name!r} in {within.name!r}",
                        lambda: next(find_all(within, role, name, showing=True), None), timeout)

    def labelled(self, within, role, label, timeout=TIMEOUT):
        """Waits for a shown control by the label that names it: for controls whose accessible
        name is their content, like a combo box named after its current entry."""
        return wait_for(f"the {role} labelled {label!r} in {within.name!r}",
                        lambda: next((c for c in find_all(within, role, showing=True)
                                      if label in labels_of(c)), None), timeout)

    def combo_box(self, within, label=None, timeout=TIMEOUT):
        """Waits for a shown combo box of a window. Qt names a combo box after its current entry,
        so it is found by the label that names it (its buddy), or as the window's only one."""
        if label is not None:
            return self.labelled(within, "combo box", label, timeout)
        return self.control(within, "combo box", None, timeout)

    def menu_item(self, name, timeout=TIMEOUT):
        """Waits for a shown menu item (menu bar entries and items of open menus) by its name."""
        import pyatspi

        def find():
            for window in self.windows():
                for item in find_all(window, "menu item", name, showing=True):
                    return item
            for i in range(self.app.childCount):   # open pop-up menus are windows of their own
                window = self.app.getChildAtIndex(i)
                if window is not None and window.getRoleName() == "menu" and \
                        window.getState().contains(pyatspi.STATE_SHOWING):
                    for item in find_all(window, "menu item", name, showing=True):
                        return item
            return None
        return wait_for(f"the menu item {name!r}", find, timeout)

    def menu(self, *path):
        """Opens a command of the menu bar with the mouse: menu, then item."""
        for name in path:
            self.click(self.menu_item(name))

    def choose_file(self, title, path):
        """Types a path into the file dialog with this title and accepts it with Enter."""
        dialog = self.window(title)
        self.fill(self.control(dialog, "text", "File name:"), path)
        self.keys("Return")
        self.no_window(title)

    # ----- real input ---------------------------------------------------------------------------

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=30)

    def click(self, node):
        """Moves the mouse to the middle of the control and clicks it, as a user would."""
        x, y = centre(node)
        # xdotool's --sync waits some fifteen seconds for a move to where the pointer already is.
        if self.pointer() != (x, y):
            self.xdotool("mousemove", "--sync", str(x), str(y))
        self.xdotool("click", "1")

    def pointer(self):
        out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env, check=True,
                             capture_output=True, text=True, timeout=30).stdout
        place = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(place["X"]), int(place["Y"])

    def activate(self, window):
        """Gives the window the keyboard focus by a click on one of its labels (there is no window
        manager to do it), and waits until it is the active window."""
        import pyatspi
        if not window.getState().contains(pyatspi.STATE_ACTIVE):
            label = wait_for(f"a label in {window.name!r}",
                             lambda: next(find_all(window, "label", showing=True), None))
            self.click(label)
        wait_for(f"{window.name!r} active", lambda: window.getState().contains(pyatspi.STATE_ACTIVE))

    def keys(self, *keys):
        """Presses keys ("alt+f", "Return", "ctrl+a") in order on the focused window."""
        for key in keys:
            self.xdotool("key", "--delay", "30", key)

    def type_text(self, text):
        self.xdotool("type", "--delay", "20", text)

    def fill(self, field, text):
        """Clicks into a text box, replaces what it holds by typing, and waits until it shows it."""
        self.click(field)
        wait_for(f"the focus in {field.name!r}", lambda: has_focus(field))
        self.keys("ctrl+a", "BackSpace")
        self.type_text(text)
        wait_for(f"{text!r} in {field.name!r}", lambda: text_of(field) == text)

    def choose(self, combo, entry):
        """Picks an entry of a drop-down list as a user would: a click opens the list, the arrow
        keys walk to the entry (a long list scrolls) and Enter takes it."""
        import pyatspi
        entries = wait_for(f"{entry!r} among the entries of {combo.name!r}",
                           lambda: entry in list_items(combo) and list_items(combo))
        self.click(combo)
        popup = next(find_all(combo, "list"))
        wait_for("the drop-down list open", lambda: popup.getState().contains(pyatspi.STATE_SHOWING))
        self.keys("Home", *["Down"] * entries.index(entry), "Return")
        wait_for(f"{entry!r} chosen", lambda: combo.name == entry)

    def x_window(self, title):
        """The X window of the program's shown top-level window with this title."""
        def find():
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(title)}$"],
                                   env=self.env, capture_output=True, text=True, timeout=30).stdout.split()
            return found[0] if len(found) == 1 else None
        return wait_for(f"the X window {title!r}", find)

    def minimum_size(self, title):
        """The smallest size the window lets a window manager give it (WM_NORMAL_HINTS)."""
        return self._size_hint(title, "minimum")

    def maximum_size(self, title):
        """The largest size the window lets a window manager give it; waits until it says one."""
        return self._size_hint(title, "maximum")

    def _size_hint(self, title, which):
        def find():
            hints = subprocess.run(["xprop", "-id", self.x_window(title), "WM_NORMAL_HINTS"], env=self.env,
                                   capture_output=True, text=True, timeout=30).stdout
            found = re.search(which + r" size: (\d+) by (\d+)", hints)
            return found and (int(found.group(1)), int(found.group(2)))
        return wait_for(f"the {which} size of {title!r}", find)

    def resize(self, window, width, height):
        """Resizes a window as a window manager would (there is none) and waits until the
        program shows it at that size."""
        self.xdotool("windowsize", self.x_window(window.name), str(width), str(height))
        wait_for(f"{window.name!r} at {width}x{height}", lambda: extents(window)[2:] == (width, height))

    def press(self, within, name, role="push button"):
        """Clicks the button of a window by its name."""
        button = self.control(within, role, name)
        wait_for(f"{name!r} enabled", lambda: enabled(button))
        self.click(button)


class ProgramRun:
    """One start of the program: its process, the log of its output and whether the test has
    looked at its exit code."""

    def __init__(self, process, log):
        self.process = process
        self.log = log
        self.exit_seen = False

    def death(self):
        """What is wrong with a run that ended on its own, without the test looking at how."""
        code = self.process.poll()
        if code is None or code == 0 or self.exit_seen:
            return None
        how = f"was killed by signal {-code}" if code < 0 else f"ended with exit code {code}"
        return f"the program (pid {self.process.pid}, {self.log}) {how} and the test never looked at its end"

    def reports(self, root):
        """The run's output as a sanitizer report, when it holds one."""
        with contextlib.suppress(OSError):
            with open(os.path.join(root, self.log), errors="replace") as f:
                lines = sanitizer_reports(f.read())
            if lines:
                return [f"a sanitizer report in the output of the program ({self.log}):\n  " + "\n  ".join(lines)]
        return []


# ----- helpers on accessibility nodes -----------------------------------------------------------

def find_all(node, role, name=None, showing=False, depth=0):
    """The nodes below node with the role (and the name), depth first."""
    import pyatspi
    if depth > 30 or node is None:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        if child.getRoleName() == role and (name is None or child.name == name) and \
                (not showing or child.getState().contains(pyatspi.STATE_SHOWING)):
            yield child
        yield from find_all(child, role, name, showing, depth + 1)


def extents(node):
    """x, y, width and height of a node on the screen."""
    import pyatspi
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def centre(node):
    import pyatspi
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    if box.width <= 0 or box.height <= 0:
        raise DesktopError(f"{node.name!r} has no area on the screen")
    return box.x + box.width // 2, box.y + box.height // 2


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def enabled(node):
    import pyatspi
    return node.getState().contains(pyatspi.STATE_ENABLED)


def has_focus(node):
    import pyatspi
    return node.getState().contains(pyatspi.STATE_FOCUSED)


def table_cells(table):
    """The texts of a table's data rows (title row left out)."""
    t = table.queryTable()
    return [[t.getAccessibleAt(r, c).name for c in range(t.nColumns)] for r in range(t.nRows)]


def labels_of(node):
    """The names of the labels that name a control (its buddies)."""
    import pyatspi
    names = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return names


def list_items(node):
    return [item.name for item in find_all(node, "list item")]


def checked(node):
    import pyatspi
    return node.getState().contains(pyatspi.STATE_CHECKED)


def table_cell(table, row, column):
    return table.queryTable().getAccessibleAt(row, column)

