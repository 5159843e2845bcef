"""The end-to-end harness: the real kestrovan99.exe under Wine on a private Xvfb, once for each build Wine
runs here (README.md tells more)."""
import contextlib, decimal, errno, fcntl, json, os, re, select, shutil, subprocess, sys, time, unittest
from pathlib import Path

from blocking_fs import caller  # a process's name

REPO = Path(__file__).resolve().parents[2]
WORK = Path(os.environ.get("KV_E2E_WORK", REPO / "build" / "native" / "e2e"))


class Build:
    def __init__(self, name, loader, bits):
        self.name, self.loader, self.bits = name, loader, bits
        self.dir = Path(os.environ.get(f"KV_E2E_{name.upper()}", REPO / "build" / name))


BUILDS = [Build("win32", "/usr/lib/wine/wine", 32), Build("win64", "/usr/lib/wine/wine64", 64)]
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


# help/*.txt: "context: N" and "title: ..." head every topic the help file is built from.
TITLES = {int(re.search(r"context: (\d+)", t)[1]): re.search(r"title: (.*)", t)[1]
          for t in (p.read_text() for p in (REPO / "help").glob("*.txt"))}
WM_CLOSE = 0x10


def viewer_at(s, topic):
    return next((w for w in s.windows("MS_WINHELP") if any(c["text"].startswith(TITLES[topic]) for c in w["children"])),
                None)


def wait_until(condition, what, timeout=20):
    """condition()'s first true answer; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f"waited {timeout:g} s for {what}; last answer {value!r}")
        time.sleep(0.05)
    return value


def wine_env(build, prefix, display):
    env = {k: v for k, v in os.environ.items() if not k.startswith("WINE")}
    return dict(env, WINEARCH=build.name, WINELOADER=build.loader, WINEPREFIX=str(prefix), WINEDEBUG="-all", DISPLAY=display, LANG="C.UTF-8",
                LC_ALL="C.UTF-8", WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")


def start_xvfb(log, size="1024x768"):
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-noreset", "-screen", "0", f"{size}x24"],
                            pass_fds=(write,), stderr=log)
    os.close(write)
    select.select([read], [], [], 30)
    display = ":" + os.read(read, 16).decode().strip()
    xvfb.display_pipe = read  # stays open: a newline may follow
    return xvfb, display


def stop(p):
    p.kill()
    p.wait()
    for pipe in (p.stdin, p.stdout):
        pipe and pipe.close()
    getattr(p, "display_pipe", None) and os.close(p.display_pipe)


@contextlib.contextmanager
def holding(name):
    """<work>/<name>.lock held: files run side by side (ctest -j) share the templates and what is kept beside them."""
    WORK.mkdir(parents=True, exist_ok=True)
    with open(WORK / f"{name}.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        yield


def template_recipe():
    return subprocess.run(["wineserver", "--version"], capture_output=True, text=True).stderr + RECIPE


def template(build, display):
    """<work>/prefix-<build>: the build's word size, the desktop above and Wine's fonts, made once."""
    with holding(f"prefix-{build.name}"):
        return made_template(build, display)


def made_template(build, display):
    tpl = WORK / f"prefix-{build.name}"
    stamp = tpl / ".kv-template"
    want = template_recipe()
    if stamp.is_file() and stamp.read_text() == want:
        return tpl
    shutil.rmtree(tpl, ignore_errors=True)
    # wineboot may end before the prefix is done.
    for step in ([build.loader, "wineboot", "-i"], ["wineserver", "-w"]):
        subprocess.run(step, env=wine_env(build, tpl, display), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=600)
    assert (tpl / "drive_c/windows/system32/kernel32.dll").is_file(), "wineboot made no prefix"
    with open(tpl / "user.reg", "a") as reg:
        reg.write(DESKTOP_REG)
    shutil.copytree("/usr/share/wine/fonts", tpl / "drive_c/windows/Fonts", dirs_exist_ok=True)
    stamp.write_text(want)
    return tpl


def clone(tpl, prefix, extra_system_reg="", extra_user_reg=""):
    """A prefix hard-linked from the template; the registry files, which Wine rewrites, copied."""
    subprocess.run(["cp", "-al", str(tpl), str(prefix)], check=True)
    for reg in prefix.glob("*.reg"):
        data = reg.read_bytes() + {"system.reg": extra_system_reg, "user.reg": extra_user_reg}.get(reg.name, "").encode()
        reg.unlink()
        reg.write_bytes(data)


class Session:
    """with Session(self) as s: a started world (Xvfb, prefix, program, probe) for one test on Session.build;
    kept on disk with a picture of the screen when the block fails."""
    build = BUILDS[0]

    def __init__(self, test, folder="C:\\Kestrovan99", help_file=True, registry="", windows=None, dpi=None,
                 desktop="1024x768"):
        self.name, self.folder, self.help_file, self.registry = test.id().rsplit(".", 1)[-1], folder, help_file, registry
        # The Windows the prefix reports (win10, win7, winxp; the template's 7), the DPI (96) and the desktop's size.
        self.user_registry = f'\n[Software\\\\Wine] 1796611640\n"Version"="{windows}"\n' if windows else ""
        self.user_registry += f'\n[Control Panel\\\\Desktop] 1796611640\n"LogPixels"=dword:{dpi:08x}\n' if dpi else ""
        self.desktop = desktop
        self.user_registry += f'\n[Software\\\\Wine\\\\Explorer\\\\Desktops] 1796611640\n"Default"="{desktop}"\n'
        self.dir = WORK / "runs" / f"{self.build.name}-{self.name}{dpi or ''}"
        self.wine = [self.build.loader]
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
        with open(self.dir / "xvfb.log", "wb") as log:
            xvfb, self.display = start_xvfb(log, self.desktop)
        self.programs.append(xvfb)
        clone(template(self.build, self.display), self.prefix, self.registry, self.user_registry)
        self.env = wine_env(self.build, self.prefix, self.display)
        self.app.mkdir(parents=True, exist_ok=True)
        for name in ("kestrovan99.exe", "kestrovan99.hlp", "kestrovan99.htm")[:1 + 2 * self.help_file]:
            shutil.copy2(self.build.dir / name, self.app)
        self.probe = self.spawn([*self.wine, str(self.build.dir / "kvprobe.exe"), "serve"], "probe",
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE)
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
            stop(p)
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

    def server_files(self):
        """How many files the session's wineserver holds open: one for each file handle a program keeps."""
        prefix = self.prefix.stat()  # the server works in a folder named after the prefix's device and inode
        want = f"/server-{prefix.st_dev:x}-{prefix.st_ino:x}"
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                if caller(pid).startswith("wineserver") and os.readlink(f"/proc/{pid}/cwd").endswith(want):
                    return len(os.listdir(f"/proc/{pid}/fd"))
            except OSError:
                continue
        raise AssertionError("the session has no wineserver")

    def map_drive(self, letter, folder):
        (self.prefix / "dosdevices" / f"{letter.lower()}:").symlink_to(folder)

    def free_texts(self, root):
        """The drive's figures for the tooltip and the drive window from the system's own counters."""
        answer = self.ask("free", root)
        assert answer["ok"], f"the system does not know {root}"
        mb = decimal.Decimal(answer["clusters"]) * answer["cluster_bytes"] / 1048576
        whole, two = (mb.quantize(decimal.Decimal(q), decimal.ROUND_HALF_UP) for q in ("1", "0.01"))
        return f"{root[:2]}{whole}MB", f"{root[:2]} {two} MB"

    def start_exe(self, *args, env=None):
        return self.spawn([*self.wine, self.folder + "\\kestrovan99.exe", *args], "kestrovan99", env)

    def ask(self, *command, timeout=60):
        self.probe.stdin.write((" ".join(map(str, command)) + "\n").encode())
        self.probe.stdin.flush()
        if not select.select([self.probe.stdout], [], [], timeout)[0]:
            raise AssertionError(f"kvprobe gave no answer to {command}")
        return json.loads(self.probe.stdout.readline())

    def windows(self, class_prefix="Kestrovan99_"):
        return self.ask("windows", class_prefix)

    def shown(self, cls):
        """The one top-level window of this class while it is visible."""
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
        """A right press on the icon, then the menu's entry of this letter."""
        icons = wait_until(self.tips, "the tray icon")
        assert len(icons) == 1, icons
        x, y = center(icons[0]["rect"])
        self.menus += 1  # each press a few pixels from the last: two in a row would be a double click
        self.click(x + (5 if self.menus % 2 else -5), y, 3)
        wait_until(lambda: [w for w in self.windows("#32768") if w["visible"]], "the tray menu")
        assert self.ask("key", ord(letter))["ok"]

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=dict(os.environ, DISPLAY=self.display), check=True)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", x, y, "click", button)


class Picture:
    """The screen as ImageMagick's import takes it (a binary PPM), read by its pixels."""

    def __init__(self, s):
        self.ppm = subprocess.run(["import", "-display", s.display, "-window", "root", "-depth", "8", "ppm:-"],
                                  capture_output=True, check=True).stdout
        head = re.match(rb"P6\s+(\d+)\s+\d+\s+255\s", self.ppm)
        self.width, self.pixels = int(head[1]), self.ppm[head.end():]

    def ink(self, rect):
        """The box [left, top, right, bottom] (screen pixels, right and bottom outside) of the pixels in rect
        that differ from its bottom right one, its background; None where none does."""
        left, top, right, bottom = rect
        at = lambda x, y: self.pixels[3 * (y * self.width + x):3 * (y * self.width + x + 1)]
        inked = [(x, y) for y in range(top, bottom) for x in range(left, right) if at(x, y) != at(right - 1, bottom - 1)]
        return [min(inked)[0], inked[0][1], max(inked)[0] + 1, inked[-1][1] + 1] if inked else None

    def save(self, name, rect):
        """Saves the rect as <KV_E2E_PICTURES>/<name>.png (the folder relative to the project) when that is set."""
        if folder := os.environ.get("KV_E2E_PICTURES"):
            crop = f"{rect[2] - rect[0]}x{rect[3] - rect[1]}+{rect[0]}+{rect[1]}"
            subprocess.run(["convert", "ppm:-", "-crop", crop, "+repage", "-strip", REPO / folder / f"{name}.png"],
                           input=self.ppm, check=True)


def center(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def cfg_bytes(slots, left=0, top=0):
    slots = list(slots) + [""] * (6 - len(slots))
    return "".join(f'"{s}"\r\n' for s in slots).encode() + f"{left}\r\n{top}\r\n".encode()


def runs_here(build):
    """Whether Wine runs this build's kvprobe.exe here; only Exec format error (no IA-32 emulation) says no.
    Asked once for a template and a kvprobe.exe: the answer is kept beside the template."""
    probe = (build.dir / "kvprobe.exe").stat()
    key = f"{template_recipe()}\n{probe.st_size} {probe.st_mtime_ns}\n"
    kept = WORK / f"prefix-{build.name}.runs"
    with holding(f"runs-{build.name}"):
        known = kept.read_text() if kept.is_file() else ""
        if known.startswith(key):
            return known[len(key):] == "yes"
        answer = wine_runs(build)
        kept.write_text(key + ("yes" if answer else "no"))
        return answer


def wine_runs(build):
    check = WORK / f"check-{build.name}"
    shutil.rmtree(check, ignore_errors=True)
    with open(os.devnull, "wb") as log:
        xvfb, display = start_xvfb(log)
    try:
        clone(template(build, display), check)
        env = wine_env(build, check, display)
        answer = subprocess.run([build.loader, str(build.dir / "kvprobe.exe"), "bits"], env=env,
                                capture_output=True, text=True, timeout=120).stdout.strip()
        subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
        assert answer == str(build.bits), f"{build.name}'s kvprobe.exe answered {answer!r}, not {build.bits}"
        return True
    except OSError as e:
        if e.errno == errno.ENOEXEC:
            return False
        raise
    finally:
        stop(xvfb)
        shutil.rmtree(check, ignore_errors=True)


def chosen_builds():
    names = os.environ.get("KV_E2E_BUILDS", "").replace(",", " ").split() or [b.name for b in BUILDS]
    unknown = set(names) - {b.name for b in BUILDS}
    if unknown:
        sys.exit(f"KV_E2E_BUILDS names no build called {', '.join(sorted(unknown))}: win32, win64")
    return [b for b in BUILDS if b.name in names]


def running_builds(what):
    """The chosen builds Wine runs here, said as "<what> on win32 and win64"; fails where none runs."""
    WORK.mkdir(parents=True, exist_ok=True)
    chosen = chosen_builds()
    running = [b for b in chosen if runs_here(b)]
    if not running:
        sys.exit(f"FAILED: Wine runs none of {[b.name for b in chosen]} on this machine")
    why = "" if len(running) == len(BUILDS) else " only: " + (
        "this machine runs no 32-bit code" if len(running) < len(chosen) else "KV_E2E_BUILDS=" + os.environ["KV_E2E_BUILDS"])
    print(f"{what} on {' and '.join(b.name for b in running)}{why}", flush=True)
    return running


def main():
    """The file's tests for each build, in a user and mount namespace (a folder read-only for the program alone)."""
    if "KV_E2E_NS" not in os.environ:
        os.environ["KV_E2E_NS"] = "1"
        os.execvp("unshare", ["unshare", "--user", "--map-root-user", "--mount", sys.executable, *sys.argv])
    running = running_builds("e2e")
    passed = True
    for build in running:
        Session.build = build
        print(f"== {build.name}: {build.dir / 'kestrovan99.exe'}", flush=True)
        suite = unittest.defaultTestLoader.loadTestsFromModule(sys.modules["__main__"])
        passed &= unittest.TextTestRunner(verbosity=2).run(suite).wasSuccessful()
    sys.exit(0 if passed else 1)
