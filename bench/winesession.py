"""One Wine desktop for the benchmarks: a private Xvfb, a 32-bit prefix whose desktop shows the
taskbar and tray, and the programs started in it. Standard library only.

The prefix is made once per work folder and kept. The desktop and its shell come up once per
session, as on a desktop where a user starts a program; each program under test is ended (killed)
before the next one starts.
"""

import os
import re
import select
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

RECIPE = "kv-bench-1"  # change when the making of the prefix changes
APP_WIN = r"C:\bench"
DESKTOP_REG = (
    "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n\"Desktop\"=\"Default\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n\"Default\"=\"1024x768\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops\\Default]\r\n\"EnableShell\"=dword:00000001\r\n\r\n")


def wait_until(condition, timeout, interval=0.05, what="the condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            if not value:
                raise TimeoutError(f"waited {timeout} s for {what}")
            return value
        time.sleep(interval)


def run(cmd, env, timeout=300):
    """Runs cmd with its output in files (a Wine service may inherit and keep a pipe open)."""
    with tempfile.TemporaryFile() as out:
        rc = subprocess.run(cmd, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                            timeout=timeout).returncode
        out.seek(0)
        return rc, out.read().decode(errors="replace")


def start_xvfb():
    """A private X server on a display it picks; returns (process, display)."""
    read_fd, write_fd = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    os.close(write_fd)
    data = b""
    while not data.endswith(b"\n") and select.select([read_fd], [], [], 20)[0]:
        chunk = os.read(read_fd, 16)
        if not chunk:
            break
        data += chunk
    os.close(read_fd)
    if not data.strip().isdigit():
        proc.kill()
        raise RuntimeError("Xvfb reported no display")
    return proc, ":" + data.strip().decode()


class WineSession:
    def __init__(self, work, watcher):
        self.work = Path(work)
        self.prefix = self.work / "prefix"
        self.app_dir = self.prefix / "drive_c" / "bench"
        self.watcher = Path(watcher)
        self.xvfb, display = start_xvfb()
        self.env = {k: v for k, v in os.environ.items() if not k.startswith("WINE")}
        self.env.update(WINEPREFIX=str(self.prefix), WINEARCH="win32", WINEDEBUG="-all", DISPLAY=display,
                        WINEDLLOVERRIDES="mscoree,mshtml=", LANG="C.UTF-8", LC_ALL="C.UTF-8")
        self.env.pop("WAYLAND_DISPLAY", None)
        self.programs = []
        try:
            self._make_prefix()
            self.stop_wine()
            rc, out = self.watch("wait", "Shell_TrayWnd", 300000, timeout=600)
            if rc:
                raise RuntimeError(f"the taskbar did not come up: {out}")
        except BaseException:
            self.close()
            raise

    def _make_prefix(self):
        stamp = self.prefix / ".kv-bench"
        want = f"{run(['wine', '--version'], self.env)[1].strip()} {RECIPE}"
        if stamp.is_file() and stamp.read_text() == want:
            return
        shutil.rmtree(self.prefix, ignore_errors=True)
        self.work.mkdir(parents=True, exist_ok=True)
        (self.work / "desktop.reg").write_text(DESKTOP_REG, encoding="ascii")
        for cmd in (["wineboot", "-i"], ["wine", "reg", "import", str(self.work / "desktop.reg")]):
            rc, out = run(cmd, self.env, 1200)
            if rc:
                raise RuntimeError(f"{cmd} failed: {out[-2000:]}")
        fonts = self.prefix / "drive_c" / "windows" / "Fonts"  # "MS Sans Serif" among Wine's fonts
        for font in Path("/usr/share/wine/fonts").iterdir():
            if font.suffix in (".fon", ".ttf"):
                shutil.copy2(font, fonts / font.name)
        run(["wineserver", "-w"], self.env)
        stamp.write_text(want)

    def install(self, *paths):
        self.app_dir.mkdir(parents=True, exist_ok=True)
        for path in paths:
            shutil.copy2(path, self.app_dir / Path(path).name)

    def end_programs(self):
        for prog in self.programs:
            if prog.poll() is None:
                prog.kill()
                prog.wait(30)
        self.programs = []

    def stop_wine(self):
        run(["wineserver", "-k"], self.env, 60)
        run(["wineserver", "-w"], self.env, 60)
        self.end_programs()

    def start(self, program, *args, debug=None, out=None):
        """Starts C:\\bench\\<program> in its folder; returns the Popen (its pid is the program's)."""
        env = dict(self.env, WINEDEBUG=debug) if debug else self.env
        proc = subprocess.Popen(["wine", f"{APP_WIN}\\{program}", *map(str, args)], env=env, cwd=self.app_dir,
                                stdin=subprocess.DEVNULL, stdout=out or subprocess.DEVNULL,
                                stderr=subprocess.STDOUT if out else subprocess.DEVNULL)
        self.programs.append(proc)
        return proc

    def start_watch(self, *args, out):
        proc = subprocess.Popen(["wine", str(self.watcher), *map(str, args)], env=self.env, cwd=self.work,
                                stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL)
        self.programs.append(proc)
        return proc

    def watch(self, *args, timeout=120):
        """Runs kvwatch to its end; returns (exit code, its last JSON line as text)."""
        rc, out = run(["wine", str(self.watcher), *map(str, args)], self.env, timeout)
        lines = [line for line in out.splitlines() if line.startswith("{")]
        return rc, lines[-1] if lines else out

    def close(self):
        self.stop_wine()
        self.xvfb.terminate()
        self.xvfb.wait(10)


def guest_private_kb(pid):
    """Private (anonymous) memory of a 32-bit process in KB, from its mappings below 4 GiB: natively
    the same figure as RssAnon; under a user-mode emulator, the emulated program's without the
    emulator's own."""
    total = 0
    inside = False
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            head = re.match(r"^([0-9a-f]+)-[0-9a-f]+ ", line)
            if head:
                inside = int(head.group(1), 16) < 1 << 32
            elif inside and line.startswith("Anonymous:"):
                total += int(line.split()[1])
    return total
