"""Runs kestrovan99.exe under Wine on a private Xvfb and watches it from outside.

One Session is one clean world: its own X server on a free display, its own Wine
prefix copied from a template that is made once per build folder, a working folder
C:\\Kestrovan99 holding a copy of the program (and its help file when there is one),
and a help stub standing in for the Windows Help viewer. kvprobe.exe, run inside the
same prefix, reads windows, tray tips and menus and acts as the user; every probe
command prints JSON.

Tests derive from KvTestCase and ask for sessions with self.session(). When a test
fails, its folder is kept (with a screenshot and the window and tray state at the
moment of failure) and its path is printed; otherwise the folder is removed. Every
process a session started is ended in any case.

Standard library only.
"""

import argparse
import contextlib
import fcntl
import json
import ntpath
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
DESKTOP_W, DESKTOP_H = 1024, 768
TWIPS_PER_PIXEL = 15  # at the 96 dots per inch of a fresh prefix
TEMPLATE_RECIPE = "kv-template-4"  # change when the template's making changes
KEEP_FAILED_RUNS = 5  # failed-run folders kept under <work>/runs; older ones go

# The program's top-level window classes.
SMALL = "Kestrovan99_smallwindow"
OPTIONS = "Kestrovan99_optionswindow"
ABOUT = "Kestrovan99_aboutwindow"
TBAR = "Kestrovan99_tbarw"

CONFIG = {
    "exe": REPO / "build" / "win32" / "kestrovan99.exe",
    "probe": REPO / "build" / "win32" / "kvprobe.exe",
    "work": REPO / "build" / "native" / "e2e",
    "keep": False,
}


class WineError(RuntimeError):
    """Something in the Wine/Xvfb machinery failed (not the program under test)."""


class ProbeError(WineError):
    pass


def log(msg):
    print(f"[kvwine {time.strftime('%H:%M:%S')}] {msg}", file=sys.stderr, flush=True)


def wait_until(condition, timeout, interval=0.1, what="the condition"):
    """Polls condition() until it returns something truthy, and returns that.

    Raises TimeoutError, naming what was awaited and the last value seen, when the
    deadline passes first. The condition is always asked once more at the deadline.
    """
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"waited {timeout:g} s for {what}; last value: {value!r}")
        time.sleep(interval)


def _pid_alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


def _cmdline(pid):
    try:
        return Path(f"/proc/{pid}/cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace")
    except OSError:
        return ""


# ------------------------------------------------------------------- Xvfb


class Xvfb:
    """A private X server; Xvfb picks a free display itself and reports it."""

    def __init__(self, width=DESKTOP_W, height=DESKTOP_H, log_path=None):
        self.width, self.height = width, height
        self.log_path = log_path
        self.proc = None
        self.display = None

    def start(self, timeout=20):
        read_fd, write_fd = os.pipe()
        out = open(self.log_path, "ab") if self.log_path else subprocess.DEVNULL
        try:
            self.proc = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                 f"{self.width}x{self.height}x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=out, stderr=out)
        finally:
            os.close(write_fd)
            if out is not subprocess.DEVNULL:
                out.close()
        data = b""
        deadline = time.monotonic() + timeout
        try:
            while not data.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or self.proc.poll() is not None:
                    break
                ready, _, _ = select.select([read_fd], [], [], left)
                if ready:
                    chunk = os.read(read_fd, 64)
                    if not chunk:
                        break
                    data += chunk
        finally:
            os.close(read_fd)
        if not data.strip().isdigit():
            self.stop()
            raise WineError(f"Xvfb did not report a display within {timeout} s")
        self.display = ":" + data.strip().decode()
        return self

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(5)
        self.proc = None


# ---------------------------------------------------------- the template


def base_env(prefix, display):
    env = {k: v for k, v in os.environ.items() if not k.startswith("WINE")}
    env.update({
        "WINEPREFIX": str(prefix),
        "WINEARCH": "win32",
        "WINEDEBUG": "-all",
        "WINEDLLOVERRIDES": "mscoree,mshtml=",
        "DISPLAY": display,
        # A neutral locale: Wine maps it to English (United States), "." as decimal separator.
        "LANG": "C.UTF-8",
        "LC_ALL": "C.UTF-8",
    })
    env.pop("WAYLAND_DISPLAY", None)
    return env


DESKTOP_REG = r"""REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops\Default]
"EnableShell"=dword:00000001

"""


def wine_version():
    try:
        return run_to_files(["wine", "--version"], None, 60)[1].decode().strip()
    except (OSError, subprocess.TimeoutExpired) as e:
        raise WineError(f"wine is not usable: {e}") from e


WINE_FONTS = Path("/usr/share/wine/fonts")


def install_wine_fonts(prefix):
    """Puts Wine's own fonts (fonts-wine: "MS Sans Serif" among them) into the prefix's
    Fonts folder; Debian's Wine does not find them where the package leaves them."""
    fonts = prefix / "drive_c" / "windows" / "Fonts"
    fonts.mkdir(parents=True, exist_ok=True)
    if not WINE_FONTS.is_dir():
        raise WineError(f"{WINE_FONTS} is missing: scripts/setup installs fonts-wine")
    for font in WINE_FONTS.iterdir():
        if font.suffix.lower() in (".fon", ".ttf"):
            shutil.copy2(font, fonts / font.name)


def ensure_template(work, display):
    """Makes <work>/prefix-template once (wineboot is slow); later calls only check it.

    The template is a 32-bit prefix whose one virtual desktop, "Default", is 1024 x 768
    with the shell's taskbar and tray (Wine 8 shows the taskbar on a desktop other than
    "shell" only with EnableShell set).
    """
    work.mkdir(parents=True, exist_ok=True)
    template = work / "prefix-template"
    stamp = template / ".kv-template"
    want = f"{wine_version()}\n{TEMPLATE_RECIPE}\n"
    with open(work / "prefix-template.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if stamp.is_file() and stamp.read_text() == want:
            return template
        log(f"making the Wine prefix template {template} (once per build folder)")
        fresh = work / f"prefix-template.new-{os.getpid()}"
        shutil.rmtree(fresh, ignore_errors=True)
        env = base_env(fresh, display)
        try:
            _run(["wineboot", "-i"], env, 600, "wineboot -i")
            reg = work / f"desktop-{os.getpid()}.reg"
            reg.write_text(DESKTOP_REG.replace("\n", "\r\n"), encoding="ascii")
            _run(["wine", "reg", "import", str(reg)], env, 120, "reg import")
            reg.unlink()
            install_wine_fonts(fresh)
            _run(["wineserver", "-w"], env, 120, "wineserver -w")
        except BaseException:
            subprocess.run(["wineserver", "-k"], env=env, timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            shutil.rmtree(fresh, ignore_errors=True)
            raise
        user_reg = (fresh / "user.reg").read_text(errors="replace")
        if '"EnableShell"=dword:00000001' not in user_reg:
            shutil.rmtree(fresh, ignore_errors=True)
            raise WineError("the desktop settings did not reach the template's registry")
        (fresh / ".kv-template").write_text(want)
        if template.exists():
            shutil.rmtree(template)
        fresh.rename(template)
        return template


def run_to_files(cmd, env, timeout, cwd=None):
    """Runs cmd with its output in temporary files; returns (exit code, stdout, stderr).

    Never through pipes: a Wine process may start wineserver or a system service that
    inherits its standard handles and outlives it, and a pipe would then stay open.
    """
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        proc = subprocess.Popen(cmd, env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                                stdout=out, stderr=err)
        try:
            rc = proc.wait(timeout)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
            raise
        out.seek(0)
        err.seek(0)
        return rc, out.read(), err.read()


def _run(cmd, env, timeout, what):
    try:
        rc, out, err = run_to_files(cmd, env, timeout)
    except subprocess.TimeoutExpired as e:
        raise WineError(f"{what} did not finish within {timeout} s") from e
    if rc != 0:
        raise WineError(f"{what} failed ({rc}): {err.decode(errors='replace').strip()[-2000:]}")
    return out


# ---------------------------------------------------------------- session


class Program:
    """One started copy of a Windows program (the `wine` process is the program)."""

    def __init__(self, popen, args, out_path):
        self.popen = popen
        self.args = args
        self.out_path = out_path
        self.started = time.time()

    @property
    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout):
        """Waits for the end of the process; returns its exit code or raises TimeoutError."""
        try:
            return self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TimeoutError(f"{self.args} still runs after {timeout:g} s") from None

    def kill(self):
        if self.popen.poll() is None:
            self.popen.kill()
            with contextlib.suppress(subprocess.TimeoutExpired):
                self.popen.wait(10)

    def output(self):
        try:
            return Path(self.out_path).read_text(errors="replace")
        except OSError:
            return ""


class Session:
    """A private X display and Wine prefix with a copy of the program in C:\\Kestrovan99."""

    def __init__(self, name="session", app_folder=r"C:\Kestrovan99", exe=None, probe=None,
                 work=None, helpstub=True, prepare=None):
        self.exe = Path(exe or CONFIG["exe"])
        self.probe_exe = Path(probe or CONFIG["probe"])
        self.work = Path(work or CONFIG["work"])
        safe = re.sub(r"[^A-Za-z0-9_.-]+", "_", name)[:80]
        self.dir = self.work / "runs" / f"{safe}-{time.strftime('%Y%m%d-%H%M%S')}-{os.getpid()}"
        self.prefix = self.dir / "prefix"
        self.app_win = app_folder.rstrip("\\")
        self.app_dir = self.unix_path(self.app_win)
        self.exe_win = self.app_win + "\\kestrovan99.exe"
        self.cfg = self.app_dir / "kv99.cfg"
        self.help_log = self.dir / "help.log"
        self.use_helpstub = helpstub
        # prepare(session): runs once the program is in place and before any Wine process
        # of the session starts (drive links and registry the services read at start).
        self.prepare = prepare
        self.xvfb = None
        self.env = None
        self.programs = []
        self._counter = 0
        self.closed = False

    # -- paths

    def unix_path(self, win_path):
        """Host path of a C: path inside this session's prefix."""
        drive, rest = ntpath.splitdrive(win_path)
        if drive.lower() != "c:":
            raise ValueError(f"only C: paths map into the prefix: {win_path}")
        parts = [p for p in rest.replace("/", "\\").split("\\") if p]
        return self.prefix.joinpath("drive_c", *parts)

    # -- start and stop

    def start(self):
        for path, what in ((self.exe, "the program"), (self.probe_exe, "kvprobe.exe")):
            if not path.is_file():
                raise WineError(f"{what} is missing: {path} (build the win32 tree first)")
        reap_stale_runs(self.work)
        self.dir.mkdir(parents=True)
        try:
            self.xvfb = Xvfb(log_path=self.dir / "xvfb.log").start()
            self._record()
            template = ensure_template(self.work, self.xvfb.display)
            r = subprocess.run(["cp", "-a", str(template), str(self.prefix)],
                               capture_output=True, text=True)
            if r.returncode != 0:
                raise WineError(f"copying the prefix template failed: {r.stderr}")
            self.env = base_env(self.prefix, self.xvfb.display)
            self._record()
            self.app_dir.mkdir(parents=True, exist_ok=True)
            shutil.copy2(self.exe, self.app_dir / "kestrovan99.exe")
            hlp = self.exe.with_name("kestrovan99.hlp")
            if hlp.is_file():
                shutil.copy2(hlp, self.app_dir / "kestrovan99.hlp")
            if self.prepare:
                self.prepare(self)
            if self.use_helpstub:
                self.start_helpstub()
            else:
                # Some program must bring the desktop and its shell up before the test starts.
                self.probe("now")
            wait_until(self._shell_ready, 60, 0.2, "the desktop's taskbar (Shell_TrayWnd)")
        except BaseException:
            self.close(failed=True)
            raise
        return self

    def _shell_ready(self):
        for w in self.windows("Shell_TrayWnd"):
            if w["visible"] and w["rect"][2] > w["rect"][0]:
                return w
        return None

    def _record(self):
        info = {"owner_pid": os.getpid(), "prefix": str(self.prefix),
                "xvfb_pid": self.xvfb.proc.pid if self.xvfb and self.xvfb.proc else None,
                "display": self.xvfb.display if self.xvfb else None}
        (self.dir / "session.json").write_text(json.dumps(info))

    def start_helpstub(self):
        """Runs kvprobe's MS_WINHELP window, which records every WinHelp request."""
        prog = self._spawn([str(self.probe_exe), "helpstub", self.win_of_host(self.help_log),
                            self.app_win + "\\kv99.cfg"], "helpstub", cwd=self.dir)
        wait_until(lambda: self._find_first("MS_WINHELP") or not prog.running, 60, 0.2,
                   "the help stub's MS_WINHELP window")
        if not prog.running:
            raise WineError(f"the help stub ended at once: {prog.output()}")
        return prog

    def win_of_host(self, path):
        """Windows path (Z:) of a host path."""
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def close(self, failed=False, label=None):
        if self.closed:
            return
        self.closed = True
        if failed and self.env and self.xvfb and self.xvfb.proc:
            self._save_diagnostics()
        if self.env:
            with contextlib.suppress(Exception):
                run_to_files(["wineserver", "-k"], self.env, 30)
            with contextlib.suppress(Exception):
                run_to_files(["wineserver", "-w"], self.env, 30)
        for prog in self.programs:
            prog.kill()
        if self.xvfb:
            self.xvfb.stop()
        with contextlib.suppress(OSError):
            (self.dir / "session.json").unlink()
        if failed or CONFIG["keep"]:
            why = "failed" if failed else "kept"
            # The Windows folder is the template's (about 0.6 GB); the program's folder,
            # the registry and the logs stay.
            shutil.rmtree(self.prefix / "drive_c" / "windows", ignore_errors=True)
            log(f"{label or 'session'} {why}: its folder is kept at {self.dir}")
            prune_failed_runs(self.work, keep=KEEP_FAILED_RUNS, current=self.dir)
        else:
            shutil.rmtree(self.dir, ignore_errors=True)

    def _save_diagnostics(self):
        diag = self.dir / "failure"
        diag.mkdir(exist_ok=True)
        with contextlib.suppress(Exception):
            self.screenshot(diag / "screen.png")
        for name, args in (("windows.json", ["windows", ""]), ("tooltips.json", ["tooltips"]),
                           ("menu.json", ["menu"])):
            with contextlib.suppress(Exception):
                rc, data = self.probe_rc(*args, timeout=20)
                (diag / name).write_text(json.dumps(data, indent=1))

    # -- programs

    def _spawn(self, argv, tag, cwd=None):
        self._counter += 1
        out_path = self.dir / f"{self._counter:02d}-{tag}.out"
        with open(out_path, "wb") as out:
            popen = subprocess.Popen(["wine", *argv], env=self.env, cwd=str(cwd or self.dir),
                                     stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
        prog = Program(popen, argv, out_path)
        self.programs.append(prog)
        return prog

    def start_exe(self, *args, cwd=None):
        """Starts C:\\Kestrovan99\\kestrovan99.exe with the given command-line arguments,
        in its own folder unless another current folder is given."""
        return self._spawn([self.exe_win, *map(str, args)], "kestrovan99", cwd=cwd or self.app_dir)

    def start_program(self, host_path, *args, tag="program"):
        return self._spawn([str(host_path), *map(str, args)], tag, cwd=self.dir)

    # -- probe

    def probe_rc(self, *args, timeout=30):
        """Runs kvprobe.exe; returns (exit code, parsed JSON). Exit code 1 means "not found"."""
        what = "kvprobe " + " ".join(map(str, args))
        try:
            rc, out, err = run_to_files(["wine", str(self.probe_exe), *map(str, args)], self.env,
                                        timeout, cwd=str(self.dir))
        except subprocess.TimeoutExpired as e:
            raise ProbeError(f"{what} hung for {timeout} s") from e
        text = out.decode("utf-8", errors="replace").strip()
        if rc not in (0, 1) or not text:
            raise ProbeError(f"{what} failed ({rc}): {text} {err.decode(errors='replace')[-1000:]}")
        try:
            return rc, json.loads(text.splitlines()[-1])
        except json.JSONDecodeError as e:
            raise ProbeError(f"{what} printed no JSON: {text!r}") from e

    def probe(self, *args, timeout=30):
        return self.probe_rc(*args, timeout=timeout)[1]

    def fault(self, *args, timeout=30):
        """Runs kvfault.exe (beside kvprobe.exe); returns (exit code, parsed JSON)."""
        tool = self.probe_exe.with_name("kvfault.exe")
        what = "kvfault " + " ".join(map(str, args))
        try:
            rc, out, err = run_to_files(["wine", str(tool), *map(str, args)], self.env, timeout,
                                        cwd=str(self.dir))
        except subprocess.TimeoutExpired as e:
            raise ProbeError(f"{what} hung for {timeout} s") from e
        text = out.decode("utf-8", errors="replace").strip()
        if rc not in (0, 1) or not text:
            raise ProbeError(f"{what} failed ({rc}): {text} {err.decode(errors='replace')[-1000:]}")
        return rc, json.loads(text.splitlines()[-1])

    def windows(self, class_prefix="Kestrovan99_", pid=None):
        ws = self.probe("windows", class_prefix)
        if pid is not None:
            ws = [w for w in ws if w["pid"] == pid]
        return ws

    def _find_first(self, cls):
        for w in self.windows(cls):
            if w["class"].lower() == cls.lower():
                return w
        return None

    def window(self, cls):
        """The one top-level window of exactly this class, or None; two are an error."""
        found = [w for w in self.windows(cls) if w["class"].lower() == cls.lower()]
        if len(found) > 1:
            raise AssertionError(f"{len(found)} top-level windows of class {cls}: {found}")
        return found[0] if found else None

    def tray(self, include_gone=False):
        """The tray's icons as their tips: dicts with text and the icon's screen_rect.

        Wine 8's shell keeps one tooltip per icon and does not destroy it when the icon
        is deleted: it only empties the tool's rectangle. Those are left out unless asked.
        """
        data = self.probe("tooltips")
        if data.get("error"):
            raise ProbeError(f"reading the tray failed: {data['error']}")
        return [t for t in data["tools"] if include_gone or t["displayed"]]

    def taskbar_buttons(self):
        """Handles of the windows that have a visible button on the taskbar.

        Wine's shell gives each taskbar button the control id of the window it stands for
        (the Start button has id 0).
        """
        bar = self._shell_ready()
        if not bar:
            return []
        return [c["id"] & 0xFFFFFFFF for c in bar["children"]
                if c["class"].lower() == "button" and c["visible"] and c["id"]]

    def tray_texts(self):
        return [t["text"] for t in self.tray()]

    def freespace(self, root):
        d = self.probe("freespace", root)
        # Megabytes as the program computes them: clusters / 1024 * cluster bytes / 1024.
        d["mb"] = d["free_clusters"] / 1024.0 * (d["bytes_per_sector"] * d["sectors_per_cluster"]) / 1024.0
        return d

    def help_requests(self):
        try:
            lines = self.help_log.read_text(encoding="utf-8").splitlines()
        except FileNotFoundError:
            return []
        return [json.loads(line) for line in lines if line.strip()]

    def regmsg(self, name, hwnd):
        return self.probe("regmsg", name, hwnd)

    def visible(self, cls):
        """The window of this class when it exists and is visible, else None."""
        w = self.window(cls)
        return w if w and w["visible"] else None

    def idle(self, pid, timeout_ms=20000):
        """Waits until the process waits for input with an empty queue (WaitForInputIdle)."""
        return self.probe("idle", pid, timeout_ms, timeout=timeout_ms / 1000 + 30)["idle"]

    def screen_info(self):
        return self.probe("now")

    def click(self, x, y, button="left"):
        return self.probe("click", x, y, button)

    def press(self, x, y, button="left"):
        return self.probe("press", x, y, button)

    def release(self, x, y, button="left"):
        return self.probe("release", x, y, button)

    def move(self, x, y):
        return self.probe("move", x, y)

    def key(self, vk, *mods):
        return self.probe("key", vk, *mods)

    def command(self, hwnd, control_id):
        return self.probe("command", hwnd, control_id)

    def send(self, hwnd, msg, wparam=0, lparam=0):
        return self.probe("send", hwnd, msg, wparam, lparam)

    def menu(self):
        return self.probe("menu")

    def procmem(self, pid):
        return self.probe("procmem", pid)

    def screenshot(self, path):
        path = Path(path)
        if not path.is_absolute():
            path = self.dir / path
        subprocess.run(["import", "-display", self.xvfb.display, "-window", "root", str(path)],
                       check=True, timeout=60, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        return path


def reap_stale_runs(work):
    """Ends what runs of killed test processes left behind (their Xvfb and wineserver)."""
    runs = Path(work) / "runs"
    if not runs.is_dir():
        return
    for info_path in runs.glob("*/session.json"):
        try:
            info = json.loads(info_path.read_text())
        except (OSError, ValueError):
            continue
        owner = info.get("owner_pid")
        if not owner or owner == os.getpid() or _pid_alive(owner):
            continue
        prefix = info.get("prefix")
        if prefix and Path(prefix).is_dir():
            env = dict(os.environ, WINEPREFIX=prefix)
            with contextlib.suppress(Exception):
                subprocess.run(["wineserver", "-k"], env=env, timeout=30,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        xpid = info.get("xvfb_pid")
        if xpid and _pid_alive(xpid) and "Xvfb" in _cmdline(xpid):
            with contextlib.suppress(OSError):
                os.kill(xpid, signal.SIGTERM)
        with contextlib.suppress(OSError):
            info_path.unlink()


def prune_failed_runs(work, keep, current=None):
    runs = sorted((p for p in (Path(work) / "runs").iterdir() if p.is_dir()),
                  key=lambda p: p.stat().st_mtime)
    runs = [p for p in runs if p != current and not (p / "session.json").exists()]
    for old in runs[:max(0, len(runs) - (keep - 1))]:
        shutil.rmtree(old, ignore_errors=True)


# ---------------------------------------------------------- test support


class KvTestCase(unittest.TestCase):
    """A TestCase whose sessions are closed after the test, kept when it failed."""

    def session(self, tag=None, **kw):
        """A started session that lives until the end of the test."""
        name = self.id().split(".", 1)[-1] + (f"-{tag}" if tag else "")
        s = Session(name=name, **kw)
        self._kv_sessions.append(s)
        return s.start()

    @contextlib.contextmanager
    def fresh_session(self, tag=None, **kw):
        """A session for one block (one subTest, say): closed at its end, kept if it raised."""
        s = self.session(tag=tag, **kw)
        try:
            yield s
        except BaseException:
            s.close(failed=True, label=f"{self.id()} [{tag}]")
            raise
        s.close(failed=False)

    def run(self, result=None):
        self._kv_sessions = []
        if result is None:
            result = self.defaultTestResult()
        before = len(result.failures) + len(result.errors)
        try:
            return super().run(result)
        finally:
            failed = len(result.failures) + len(result.errors) > before
            for s in self._kv_sessions:
                try:
                    s.close(failed=failed, label=self.id())
                except Exception as e:  # teardown must reach every session
                    log(f"closing a session failed: {e}")

    # Assertions shared by the tests

    def assertCfgBytes(self, session, expected, msg=None):
        try:
            data = session.cfg.read_bytes()
        except FileNotFoundError:
            self.fail(msg or f"{session.cfg.name} was not written")
        self.assertEqual(data, expected, msg)


def write_cfg(session, slots, left=0, top=0):
    """Writes a valid settings file: six quoted slots, then left and top in twips."""
    slots = list(slots) + [""] * (6 - len(slots))
    text = "".join(f'"{s}"\r\n' for s in slots) + f"{left}\r\n{top}\r\n"
    session.cfg.write_bytes(text.encode("ascii"))
    return text.encode("ascii")


def main():
    """Entry of every test file: takes --exe/--probe/--work, then runs unittest."""
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--exe", type=Path)
    parser.add_argument("--probe", type=Path)
    parser.add_argument("--work", type=Path)
    parser.add_argument("--keep", action="store_true",
                        help="keep every session's folder, passed or failed")
    known, rest = parser.parse_known_args()
    for key in ("exe", "probe", "work"):
        value = getattr(known, key) or os.environ.get(f"KV_E2E_{key.upper()}")
        if value:
            CONFIG[key] = Path(value).resolve()
    CONFIG["keep"] = known.keep or os.environ.get("KV_E2E_KEEP") == "1"

    def on_term(signum, frame):
        raise KeyboardInterrupt(f"signal {signum}")

    signal.signal(signal.SIGTERM, on_term)
    unittest.main(module="__main__", argv=[sys.argv[0], *rest], verbosity=2)
