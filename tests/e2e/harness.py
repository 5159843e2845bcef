"""The end-to-end harness: the real kestrovan99.exe under Wine on a private Xvfb (README.md tells more).

A Session is one clean world: its own Xvfb, a Wine prefix linked from a template made once, the
program in its folder with kestrovan99.hlp, and one kvprobe.exe answering for the whole session.
A failed session keeps its folder with a picture of the screen; every process is ended in any case.
"""
import json, os, select, shutil, subprocess, sys, time, unittest
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("KV_E2E_BUILD", REPO / "build" / "win32"))
WORK = Path(os.environ.get("KV_E2E_WORK", REPO / "build" / "native" / "e2e"))
SMALL, OPTIONS, ABOUT, TBAR = (f"Kestrovan99_{n}" for n in ("smallwindow", "optionswindow", "aboutwindow", "tbarw"))
TWIPS = 15  # per pixel, at the 96 dots per inch of a fresh prefix
RECIPE = "kv-template-5"  # change when the template's making changes
# One virtual desktop of 1024 x 768 with taskbar and tray (Wine 8 shows them only with EnableShell).
DESKTOP_REG = r'''
[Software\\Wine\\Explorer] 1796611640
"Desktop"="Default"
[Software\\Wine\\Explorer\\Desktops] 1796611640
"Default"="1024x768"
[Software\\Wine\\Explorer\\Desktops\\Default] 1796611640
"EnableShell"=dword:00000001
'''


def wait_until(condition, what, timeout=20):
    """Asks condition() until it gives something true and returns that; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f"waited {timeout:g} s for {what}; last answer {value!r}")
        time.sleep(0.05)
    return value


def wine_env(prefix, display):
    env = {k: v for k, v in os.environ.items() if not k.startswith("WINE")}
    return dict(env, WINEPREFIX=str(prefix), WINEARCH="win32", WINEDEBUG="-all", DISPLAY=display, LANG="C.UTF-8",
                LC_ALL="C.UTF-8", WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")


def template(display):
    """<work>/prefix-template: a 32-bit prefix with the desktop above and Wine's fonts, made once."""
    tpl, stamp = WORK / "prefix-template", WORK / "prefix-template" / ".kv-template"
    want = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout + RECIPE
    if stamp.is_file() and stamp.read_text() == want:
        return tpl
    shutil.rmtree(tpl, ignore_errors=True)
    for step in (["wine", "wineboot", "-i"], ["wineserver", "-w"]):  # wineboot may end before the prefix is done
        subprocess.run(step, env=wine_env(tpl, display), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=600)
    assert (tpl / "drive_c/windows/system32/kernel32.dll").is_file(), "wineboot made no prefix"
    with open(tpl / "user.reg", "a") as reg:
        reg.write(DESKTOP_REG)
    shutil.copytree("/usr/share/wine/fonts", tpl / "drive_c/windows/Fonts", dirs_exist_ok=True)
    stamp.write_text(want)
    return tpl


class Session:
    """with Session(self) as s: a started world for one test; kept on disk when the block fails."""

    def __init__(self, test, folder="C:\\Kestrovan99", help_file=True, registry=""):
        self.name, self.folder, self.help_file, self.registry = test.id().rsplit(".", 1)[-1], folder, help_file, registry
        self.dir = WORK / "runs" / self.name
        self.prefix = self.dir / "prefix"
        self.app = self.host_path(folder)
        self.cfg = self.app / "kv99.cfg"
        self.programs, self.env, self.menus = [], None, 0

    def host_path(self, windows_path):
        return self.prefix.joinpath("drive_c", *windows_path[3:].split("\\"))

    def __enter__(self):
        shutil.rmtree(self.dir, ignore_errors=True)
        self.dir.mkdir(parents=True)
        try:
            self.start()
        except BaseException:
            self.__exit__(True)
            raise
        return self

    def start(self):
        read, write = os.pipe()
        with open(self.dir / "xvfb.log", "wb") as log:
            self.programs.append(subprocess.Popen(["Xvfb", "-displayfd", str(write), "-noreset", "-screen", "0",
                                                   "1024x768x24"], pass_fds=(write,), stderr=log))
        os.close(write)
        select.select([read], [], [], 30)
        self.display = ":" + os.read(read, 16).decode().strip()  # read stays open: a newline may follow
        # Hard links: Wine writes no file of the template in place, but the registry, which gets copies.
        subprocess.run(["cp", "-al", str(template(self.display)), str(self.prefix)], check=True)
        for reg in self.prefix.glob("*.reg"):
            data = reg.read_bytes() + (self.registry.encode() if reg.name == "system.reg" else b"")
            reg.unlink()
            reg.write_bytes(data)
        self.env = wine_env(self.prefix, self.display)
        self.app.mkdir(parents=True, exist_ok=True)
        for name in ("kestrovan99.exe", "kestrovan99.hlp")[:1 + self.help_file]:
            shutil.copy2(BUILD / name, self.app)
        self.probe = self.spawn(["wine", str(BUILD / "kvprobe.exe"), "serve"], "probe", stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE)
        wait_until(lambda: [w for w in self.windows("Shell_TrayWnd") if w["visible"]], "the taskbar", 120)

    def __exit__(self, failed, *_):
        if failed and self.env:
            try:
                (self.dir / "windows.json").write_text(json.dumps(self.windows(""), indent=1))
                subprocess.run(["import", "-display", self.display, "-window", "root", self.dir / "screen.png"])
            except Exception as e:
                print("no picture of the failure:", e, file=sys.stderr)
        if self.env:
            subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        for p in self.programs:
            p.kill()
            p.wait()
            for pipe in (p.stdin, p.stdout):
                pipe and pipe.close()
        if failed:
            shutil.rmtree(self.prefix / "drive_c" / "windows", ignore_errors=True)
            print(f"{self.name} failed: its folder is kept at {self.dir}", file=sys.stderr)
        else:
            shutil.rmtree(self.dir, ignore_errors=True)

    def spawn(self, argv, tag, env=None, **kw):
        """Starts a process in the program's folder; its output (p.out) goes to a file in the session's."""
        p_out = self.dir / f"{len(self.programs):02d}-{tag}.out"
        with open(p_out, "wb") as out:
            kw.setdefault("stdout", out)
            p = subprocess.Popen(argv, env=dict(self.env, **(env or {})), cwd=self.app, stderr=out, **kw)
        p.out = p_out
        self.programs.append(p)
        return p

    def start_exe(self, *args, env=None):
        """Starts the program: the wine process is the program's own."""
        return self.spawn(["wine", self.folder + "\\kestrovan99.exe", *args], "kestrovan99", env)

    def finish(self, program, timeout=30):
        return program.wait(timeout)

    # -- inside Wine, through the probe

    def ask(self, *command, timeout=60):
        self.probe.stdin.write((" ".join(map(str, command)) + "\n").encode())
        self.probe.stdin.flush()
        if not select.select([self.probe.stdout], [], [], timeout)[0]:
            raise AssertionError(f"kvprobe gave no answer to {command}")
        return json.loads(self.probe.stdout.readline())

    def windows(self, class_prefix="Kestrovan99_"):
        return self.ask("windows", class_prefix)

    def shown(self, cls):
        """The one top-level window of exactly this class while it is visible, else None."""
        found = [w for w in self.windows(cls) if w["class"] == cls]
        assert len(found) < 2, f"{len(found)} windows of class {cls}"
        return found[0] if found and found[0]["visible"] else None

    def window(self, cls):
        return next(w for w in self.windows(cls) if w["class"] == cls)

    def tips(self):
        return self.ask("tips")

    def send(self, hwnd, message, wparam=0, lparam=0, count=1):
        return self.ask("send", hwnd, message, wparam, lparam, count)

    def tray_menu(self, letter):
        """Opens the tray menu with a right press on the icon and chooses the entry of this letter."""
        icons = wait_until(self.tips, "the tray icon")
        assert len(icons) == 1, icons
        x, y = center(icons[0]["rect"])
        self.menus += 1  # each press a few pixels from the last: two in a row would be a double click
        self.click(x + (5 if self.menus % 2 else -5), y, 3)
        wait_until(lambda: [w for w in self.windows("#32768") if w["visible"]], "the tray menu")
        assert self.ask("key", ord(letter))["ok"]

    # -- outside Wine: xdotool for the pointer

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=dict(os.environ, DISPLAY=self.display), check=True)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", x, y, "click", button)


def center(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def cfg_bytes(slots, left=0, top=0):
    """A settings file as the program writes it: six quoted slots, then left and top in twips."""
    slots = list(slots) + [""] * (6 - len(slots))
    return "".join(f'"{s}"\r\n' for s in slots).encode() + f"{left}\r\n{top}\r\n".encode()


SKIPPED = 77  # ctest's SKIP_RETURN_CODE for these files


def main():
    """Runs the file's tests in a user and mount namespace of their own, where a folder can be made
    read-only for the program alone (root writes anywhere otherwise)."""
    if "KV_E2E_NS" not in os.environ:
        os.environ["KV_E2E_NS"] = "1"
        os.execvp("unshare", ["unshare", "--user", "--map-root-user", "--mount", sys.executable, *sys.argv])
    if subprocess.run(["wine", "--version"], capture_output=True).returncode != 0:
        # A kernel without 32-bit x86 (ia32_emulation off) cannot start Wine's i386 loader; ctest
        # reports the file as skipped, not passed.
        print("SKIPPED: wine does not start here (no 32-bit x86 code on this host: Exec format error)")
        sys.exit(SKIPPED)
    WORK.mkdir(parents=True, exist_ok=True)
    unittest.main(verbosity=2)
