"""One Wine desktop for the benchmarks: a private Xvfb, a prefix of the build's word size whose
desktop shows the taskbar and tray, and the programs started in it. Standard library only.

A build is one cross build as Wine runs it: its folder, Wine's loader for its word size and the
prefix's WINEARCH. Each build has its own work folder (build/bench/<build>); its prefix is made
once there and kept. The desktop and its shell come up once per session, as on a desktop where a
user starts a program; each program under test is ended (killed) before the next one starts.
"""

import errno
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
RECIPE = "kv-bench-2"  # change when the making of the prefix changes
APP_WIN = r"C:\bench"
SIX_ROOTS = [f"{letter}:\\" for letter in "klmnop"]  # each on a folder of its own: roots that answer at once
DESKTOP_REG = (
    "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n\"Desktop\"=\"Default\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n\"Default\"=\"1024x768\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops\\Default]\r\n\"EnableShell\"=dword:00000001\r\n\r\n")


class Build:
    def __init__(self, name, loader, bits, folder=None):
        self.name, self.loader, self.bits = name, loader, bits
        self.arch = name  # WINEARCH: win32 or win64
        self.dir = Path(folder or ROOT / "build" / name)


BUILDS = {b.name: b for b in (Build("win32", "/usr/lib/wine/wine", 32),
                              Build("win64", "/usr/lib/wine/wine64", 64))}


def build_arguments(parser):
    """--build NAME and --dir FOLDER (the build's folder, build/NAME by default)."""
    parser.add_argument("--build", choices=sorted(BUILDS), default="win32")
    parser.add_argument("--dir", type=Path, help="the build's folder (default build/NAME)")


def chosen_build(args):
    build = BUILDS[args.build]
    return Build(build.name, build.loader, build.bits, args.dir)


def wine_env(build, prefix, display=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith("WINE")}
    env.update(WINEPREFIX=str(prefix), WINEARCH=build.arch, WINELOADER=build.loader, WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=", LANG="C.UTF-8", LC_ALL="C.UTF-8")
    if display:
        env["DISPLAY"] = display
    env.pop("WAYLAND_DISPLAY", None)
    return env


def settings(slots):
    """kv99.cfg with these drive slots, the rest empty, and the drive window at 100, 80."""
    slots = list(slots) + [""] * (6 - len(slots))
    return "".join(f'"{slot}"\r\n' for slot in slots).encode() + b"1500\r\n1200\r\n"


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


def make_prefix(build, work, env):
    """<work>/prefix for the build, made once and kept while Wine and the recipe stay the same."""
    work = Path(work).resolve()
    prefix = work / "prefix"
    stamp = prefix / ".kv-bench"
    want = f"{run([build.loader, '--version'], env)[1].strip()} {build.arch} {RECIPE}"
    if stamp.is_file() and stamp.read_text() == want:
        return
    shutil.rmtree(prefix, ignore_errors=True)
    work.mkdir(parents=True, exist_ok=True)
    (work / "desktop.reg").write_text(DESKTOP_REG, encoding="ascii")
    for cmd in ([build.loader, "wineboot", "-i"], [build.loader, "reg", "import", str(work / "desktop.reg")]):
        rc, out = run(cmd, env, 1200)
        if rc:
            raise RuntimeError(f"{cmd} failed: {out[-2000:]}")
    fonts = prefix / "drive_c" / "windows" / "Fonts"  # "MS Sans Serif" among Wine's fonts
    for font in Path("/usr/share/wine/fonts").iterdir():
        if font.suffix in (".fon", ".ttf"):
            shutil.copy2(font, fonts / font.name)
    run(["wineserver", "-w"], env)
    stamp.write_text(want)


def runs_here(build, work):
    """True when Wine runs the build's code on this machine: its prefix made and its own kvwatch.exe
    answering with its word size. False when the kernel cannot run code of that word size (the
    loader's start fails with an Exec format error); any other trouble raises."""
    xvfb, display = start_xvfb()
    env = wine_env(build, Path(work).resolve() / "prefix", display)
    try:
        make_prefix(build, work, env)
        rc, out = run([build.loader, str(build.dir / "kvwatch.exe"), "bits"], env, 120)
        if rc or out.strip().splitlines()[-1:] != [f'{{"bits": {build.bits}}}']:
            raise RuntimeError(f"{build.name}'s kvwatch.exe answered {out.strip()[-300:]!r}, "
                               f"not {build.bits} bits")
        return True
    except OSError as e:
        if e.errno == errno.ENOEXEC:
            return False
        raise
    finally:
        run(["wineserver", "-k"], env, 60)
        xvfb.terminate()
        xvfb.wait(10)


class WineSession:
    def __init__(self, work, build):
        self.work = Path(work).resolve()
        self.build = build
        self.prefix = self.work / "prefix"
        self.app_dir = self.prefix / "drive_c" / "bench"
        self.watcher = build.dir / "kvwatch.exe"
        self.xvfb, display = start_xvfb()
        self.env = wine_env(build, self.prefix, display)
        self.programs = []
        try:
            make_prefix(build, self.work, self.env)
            self.fresh_shell()
        except BaseException:
            self.close()
            raise

    def fresh_shell(self):
        """Wine's server and shell started anew: a killed program's tray icon stays in the shell's
        tray, and a tray that fills up with them slows every later start (by 100 ms after fifty)."""
        for _ in range(3):  # now and then the first program of a new server finds no desktop yet
            self.stop_wine()
            rc, out = self.watch("wait", "Shell_TrayWnd", 60000, timeout=120)
            if not rc:
                return
        raise RuntimeError(f"the taskbar did not come up: {out}")

    def install(self, *paths):
        self.app_dir.mkdir(parents=True, exist_ok=True)
        for path in paths:
            shutil.copy2(path, self.app_dir / Path(path).name)

    def map_drives(self, roots):
        """The drives of SIX_ROOTS among roots there, each a folder of the work folder; the others gone."""
        for root in SIX_ROOTS:
            link = self.prefix / "dosdevices" / root[:2]
            if link.is_symlink():
                link.unlink()
            if root in roots:
                folder = self.work / "drives" / root[0]
                folder.mkdir(parents=True, exist_ok=True)
                link.symlink_to(folder)

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
        proc = subprocess.Popen([self.build.loader, f"{APP_WIN}\\{program}", *map(str, args)], env=env,
                                cwd=self.app_dir, stdin=subprocess.DEVNULL, stdout=out or subprocess.DEVNULL,
                                stderr=subprocess.STDOUT if out else subprocess.DEVNULL)
        self.programs.append(proc)
        return proc

    def start_watch(self, *args, out):
        proc = subprocess.Popen([self.build.loader, str(self.watcher), *map(str, args)], env=self.env,
                                cwd=self.work, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL)
        self.programs.append(proc)
        return proc

    def watch(self, *args, timeout=120):
        """Runs kvwatch to its end; returns (exit code, its last JSON line as text)."""
        rc, out = run([self.build.loader, str(self.watcher), *map(str, args)], self.env, timeout)
        lines = [line for line in out.splitlines() if line.startswith("{")]
        return rc, lines[-1] if lines else out

    def close(self):
        self.stop_wine()
        self.xvfb.terminate()
        self.xvfb.wait(10)


def guest_private_kb(pid, bits):
    """Private (anonymous) memory of a process of the build's word size in KB. A 32-bit one's counts
    its mappings below 4 GiB: natively the same figure as RssAnon; under a user-mode emulator, the
    emulated program's without the emulator's own. A 64-bit one's counts them all (RssAnon)."""
    total = 0
    inside = False
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            head = re.match(r"^([0-9a-f]+)-[0-9a-f]+ ", line)
            if head:
                inside = bits == 64 or int(head.group(1), 16) < 1 << 32
            elif inside and line.startswith("Anonymous:"):
                total += int(line.split()[1])
    return total


if __name__ == "__main__":
    # winesession.py runs NAME WORK: exit 0 when Wine runs the build here, 3 when this machine runs
    # no code of its word size; any other trouble fails.
    if len(sys.argv) != 4 or sys.argv[1] != "runs" or sys.argv[2] not in BUILDS:
        sys.exit("usage: winesession.py runs win32|win64 WORK")
    sys.exit(0 if runs_here(BUILDS[sys.argv[2]], sys.argv[3]) else 3)
