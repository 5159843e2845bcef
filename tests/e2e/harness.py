"""The end-to-end harness: the real kestrovan99.exe under Wine on a private Xvfb.

A Session is one clean world: an Xvfb of its own, a Wine prefix copied from a template made once
per build folder, the program copied into its folder (C:\\Kestrovan99 unless told otherwise) with
kestrovan99.hlp, and one kvprobe.exe that answers commands for the whole session (window tree,
tray tips, messages, keys). Pointer input comes from xdotool, pictures from ImageMagick. A failed
session's folder is kept with a picture of the screen; every process is ended in any case.

The tests run in a user namespace of their own, where a folder can be mounted read-only for the
program alone. On a host that runs no 32-bit x86 code, i386 programs (Wine's 32-bit side) go to
qemu-i386-static there: the same tests, many times slower (waits scale with KV_E2E_SLOW).
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
DESKTOP_REG = ('\n[Software\\\\Wine\\\\Explorer]\n"Desktop"="Default"\n\n[Software\\\\Wine\\\\Explorer\\\\Desktops]\n'
               '"Default"="1024x768"\n\n[Software\\\\Wine\\\\Explorer\\\\Desktops\\\\Default]\n"EnableShell"=dword:00000001\n')
QEMU_I386 = (r":kv-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:"
             r"\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F")


def slow():
    return float(os.environ.get("KV_E2E_SLOW", "1"))


def wait_until(condition, what, timeout=20):
    """Asks condition() until it gives something true and returns that; fails after timeout seconds."""
    deadline = time.monotonic() + timeout * slow()
    while not (value := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f"waited {timeout * slow():g} s for {what}; last answer {value!r}")
        time.sleep(0.05)
    return value


def wine_env(prefix, display, extra=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith("WINE")}
    env.update(WINEPREFIX=str(prefix), WINEARCH="win32", WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
               DISPLAY=display, LANG="C.UTF-8", LC_ALL="C.UTF-8")
    return dict(env, **(extra or {}))


def run(cmd, env, timeout=600):
    """Runs cmd to its end; output goes to files, as a wineserver it starts may hold a pipe open."""
    with open(os.devnull, "wb") as null:
        subprocess.run(cmd, env=env, stdin=null, stdout=null, stderr=null, timeout=timeout * slow(), check=True)


def template(display):
    """<work>/prefix-template: a 32-bit prefix with the desktop above and Wine's fonts, made once."""
    tpl, stamp = WORK / "prefix-template", WORK / "prefix-template" / ".kv-template"
    want = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout + RECIPE
    if stamp.is_file() and stamp.read_text() == want:
        return tpl
    shutil.rmtree(tpl, ignore_errors=True)
    env = wine_env(tpl, display)
    run(["wine", "wineboot", "-i"], env)
    run(["wineserver", "-w"], env)
    with open(tpl / "user.reg", "a") as reg:
        reg.write(DESKTOP_REG)
    shutil.copytree("/usr/share/wine/fonts", tpl / "drive_c/windows/Fonts", dirs_exist_ok=True)
    stamp.write_text(want)
    return tpl


class Session:
    """with Session(self) as s: a started world for one test; kept on disk when the block fails."""

    def __init__(self, test, folder="C:\\Kestrovan99", help_file=True, registry="", env=None):
        self.name, self.folder, self.help_file = test.id().rsplit(".", 1)[-1], folder, help_file
        self.registry, self.extra_env = registry, env or {}
        self.dir = WORK / "runs" / self.name
        self.prefix = self.dir / "prefix"
        self.app = self.host_path(folder)
        self.cfg = self.app / "kv99.cfg"
        self.xvfb = self.probe = None
        self.programs = []

    def host_path(self, windows_path):
        return self.prefix.joinpath("drive_c", *windows_path[3:].split("\\"))

    def __enter__(self):
        shutil.rmtree(self.dir, ignore_errors=True)
        self.dir.mkdir(parents=True)
        try:
            self.start()
        except BaseException:
            self.__exit__(AssertionError, None, None)
            raise
        return self

    def start(self):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten",
                                      "tcp"], pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        select.select([read], [], [], 30)
        self.display = ":" + os.read(read, 16).decode().strip()
        os.close(read)
        subprocess.run(["cp", "-a", str(template(self.display)), str(self.prefix)], check=True)
        with open(self.prefix / "system.reg", "a") as reg:
            reg.write(self.registry)
        self.env = wine_env(self.prefix, self.display, self.extra_env)
        self.app.mkdir(parents=True, exist_ok=True)
        shutil.copy2(BUILD / "kestrovan99.exe", self.app)
        if self.help_file:
            shutil.copy2(BUILD / "kestrovan99.hlp", self.app)
        self.probe = self.spawn(["wine", str(BUILD / "kvprobe.exe"), "serve"], "probe", stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE)
        wait_until(lambda: [w for w in self.windows("Shell_TrayWnd") if w["visible"]], "the taskbar", 120)

    def __exit__(self, failed, *_):
        if failed and self.probe and self.probe.poll() is None:
            try:
                (self.dir / "windows.json").write_text(json.dumps(self.windows(""), indent=1))
                self.picture(self.dir / "screen.png")
            except Exception as e:
                print("no picture of the failure:", e, file=sys.stderr)
        if hasattr(self, "env"):
            subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        for p in self.programs + [self.xvfb]:
            if p and p.poll() is None:
                p.kill()
                p.wait()
        if failed:
            shutil.rmtree(self.prefix / "drive_c" / "windows", ignore_errors=True)
            print(f"{self.name} failed: its folder is kept at {self.dir}", file=sys.stderr)
        else:
            shutil.rmtree(self.dir, ignore_errors=True)

    def spawn(self, argv, tag, env=None, **kw):
        """Starts a process in the program's folder; its output (p.out) goes to a file in the session's."""
        out_path = self.dir / f"{len(self.programs):02d}-{tag}.out"
        with open(out_path, "wb") as out:
            kw.setdefault("stdout", out)
            p = subprocess.Popen(argv, env=dict(self.env, **(env or {})), cwd=self.app, stderr=out, **kw)
        p.out = out_path
        self.programs.append(p)
        return p

    def start_exe(self, *args, env=None):
        """Starts the program: the wine process is the program's own."""
        return self.spawn(["wine", self.folder + "\\kestrovan99.exe", *args], "kestrovan99", env)

    def finish(self, program, timeout=30):
        """Waits for a process's end and returns its exit code."""
        return program.wait(timeout * slow())

    # -- inside Wine, through the probe

    def ask(self, *command, timeout=30):
        self.probe.stdin.write((" ".join(map(str, command)) + "\n").encode())
        self.probe.stdin.flush()
        if not select.select([self.probe.stdout], [], [], timeout * slow())[0]:
            raise AssertionError(f"kvprobe gave no answer to {command}")
        return json.loads(self.probe.stdout.readline())

    def windows(self, class_prefix="Kestrovan99_"):
        return self.ask("windows", class_prefix)

    def window(self, cls):
        """The one top-level window of exactly this class, or None."""
        found = [w for w in self.windows(cls) if w["class"] == cls]
        assert len(found) < 2, f"{len(found)} windows of class {cls}"
        return found[0] if found else None

    def shown(self, cls):
        w = self.window(cls)
        return w if w and w["visible"] else None

    def tips(self):
        return self.ask("tips")

    def send(self, hwnd, message, wparam=0, lparam=0, count=1):
        return self.ask("send", hwnd, message, wparam, lparam, count, timeout=60)

    def tray_menu(self, letter, button=3):
        """Opens the tray menu with a press on the icon and chooses the entry of this letter."""
        icons = wait_until(self.tips, "the tray icon")
        assert len(icons) == 1, icons
        self.click(*center(icons[0]["rect"]), button)
        assert self.ask("key", ord(letter), "menu")["ok"], "no popup menu opened"

    # -- outside Wine

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=dict(os.environ, DISPLAY=self.display), check=True)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", x, y, "click", button)

    def picture(self, path):
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)], check=True, timeout=60)


def center(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def cfg_bytes(slots, left=0, top=0):
    """A settings file as the program writes it: six quoted slots, then left and top in twips."""
    slots = list(slots) + [""] * (6 - len(slots))
    return "".join(f'"{s}"\r\n' for s in slots).encode("latin-1") + f"{left}\r\n{top}\r\n".encode()


def main():
    """Runs the test file's cases inside a user namespace of their own (see above)."""
    if "KV_E2E_NS" not in os.environ:
        os.environ["KV_E2E_NS"] = "1"
        os.execvp("unshare", ["unshare", "--user", "--map-root-user", "--mount", sys.executable, *sys.argv])
    if subprocess.run(["/usr/lib/wine/wine", "--version"], capture_output=True).returncode != 0:
        subprocess.run(["mount", "-t", "binfmt_misc", "binfmt_misc", "/proc/sys/fs/binfmt_misc"], check=True)
        Path("/proc/sys/fs/binfmt_misc/register").write_text(QEMU_I386)
        os.environ.setdefault("KV_E2E_SLOW", "10")
    WORK.mkdir(parents=True, exist_ok=True)
    unittest.main(verbosity=2)
