"""A DLL planted beside kestrovan99.exe is not loaded.

The planted DLL is kvplant.dll under another name: it does nothing but leave a mark file
("<its path>.loaded", holding the path of the program that loaded it). The names are those
that system code inside the program loads by name while the program runs, found with
WINEDEBUG=+loaddll,+module: imm32 loads ole32.dll (CoRegisterInitializeSpy) when the first
window is activated, and uxtheme loads msimg32.dll when the Options and about windows paint.
The program's own static imports (and what their start-up code loads) come before any code
of the program runs and are not the program's to guard.

Wine prefers its builtin DLLs for those names: with its own load order a DLL of that name in
the program's folder is ignored by every program. So the test sets Wine's load order for the
planted names to native-first (WINEDLLOVERRIDES "<name>=n,b"), which is how Windows treats a
DLL that is not one of its known DLLs, and proves both sides under it: kvloadlib.exe, a control
of ours in the same folder, loads the planted DLL by its bare name (the mark appears), and
kestrovan99.exe, which restricts the DLL search to the system folder at start, does not.
A second test keeps Wine's own load order and plants every DLL name the program's process
loads, those of its static imports included: a name that Wine takes from an application's
folder first (as it does for dwmapi.dll, the control there) must still not be taken.
"""

import shutil

import kvwine
from kvwine import ABOUT, OPTIONS, SMALL, KvTestCase, wait_until, write_cfg

RUN_TIME_NAMES = ("ole32.dll", "msimg32.dll")
# Wine builds dwmapi.dll to be taken from an application's folder when one is there: the control
# for the marks under Wine's own load order.
NATIVE_FIRST_NAME = "dwmapi.dll"
SYSTEM32 = "c:\\windows\\system32\\"


def center(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def loaded_modules(output):
    """(path, kind) of every "Loaded" line of WINEDEBUG=+loaddll, paths in lower case."""
    found = []
    for line in output.splitlines():
        if ":trace:loaddll:" in line and "Loaded L\"" in line:
            path = line.split('Loaded L"', 1)[1].split('"', 1)[0].replace("\\\\", "\\")
            kind = line.rsplit(":", 1)[1].strip()
            found.append((path.lower(), kind))
    return found


class PlantedDll(KvTestCase):
    def plant(self, s, names):
        tools = s.probe_exe.parent
        shutil.copy2(tools / "kvloadlib.exe", s.app_dir / "kvloadlib.exe")
        for name in names:
            shutil.copy2(tools / "kvplant.dll", s.app_dir / name)

    def marks(self, s):
        """name -> text of every mark file in the program's folder (and removes them)."""
        found = {}
        for mark in s.app_dir.glob("*.loaded"):
            found[mark.name[:-len(".loaded")].lower()] = mark.read_text(errors="replace").strip()
            mark.unlink()
        return found

    def control(self, s, name, restricted=False):
        """kvloadlib.exe in the program's folder loads `name` by its bare name."""
        args = [s.app_win + "\\kvloadlib.exe", name] + (["system32"] if restricted else [])
        rc, out, err = kvwine.run_to_files(["wine", *args], s.env, 60, cwd=str(s.app_dir))
        text = out.decode(errors="replace").strip()
        self.assertIn(rc, (0, 1), f"kvloadlib {name}: {text} {err.decode(errors='replace')[-500:]}")
        return kvwine.json.loads(text.splitlines()[-1])

    def run_program(self, s):
        """Starts the program with the loader's log, opens Options and About from the tray menu
        and returns (program, the DLLs its process loaded)."""
        s.env["WINEDEBUG"] = "+loaddll"
        try:
            prog = s.start_exe()
        finally:
            s.env["WINEDEBUG"] = "-all"
        wait_until(lambda: s.tray_texts() or not prog.running, 60, 0.2, "the tray icon")
        self.assertTrue(prog.running, f"the program ended:\n{prog.output()[-3000:]}")
        sml = wait_until(lambda: s.visible(SMALL), 30, 0.2, "the drive window")
        pid = sml["pid"]
        self.assertTrue(s.idle(pid))
        for caption, cls in (("&Options", OPTIONS), ("&About", ABOUT)):
            icons = s.tray()
            s.click(*center(icons[0]["screen_rect"]), "right")
            menus = wait_until(lambda: [m for m in s.menu() if m["pid"] == pid], 10, 0.2,
                               "the tray menu")
            item = [i for i in menus[0]["items"] if i["text"] == caption]
            self.assertEqual(len(item), 1, menus[0]["items"])
            s.click(*center(item[0]["rect"]))
            wait_until(lambda: s.visible(cls), 10, 0.2, f"the {caption} window")
            self.assertTrue(s.idle(pid))
        return prog, loaded_modules(prog.output())

    def quit(self, s, prog):
        icons = s.tray()
        s.click(*center(icons[0]["screen_rect"]), "right")
        menus = wait_until(s.menu, 10, 0.2, "the tray menu")
        item = [i for i in menus[0]["items"] if i["text"] == "&Quit"]
        s.click(*center(item[0]["rect"]))
        prog.wait(20)
        wait_until(lambda: not s.tray(), 20, 0.2, "the tray icon to go")

    def test_a_dll_planted_under_a_name_loaded_at_run_time_is_not_loaded(self):
        s = self.session()
        write_cfg(s, ["c:\\"], left=1500, top=1200)
        self.plant(s, RUN_TIME_NAMES)
        stems = ",".join(n[:-len(".dll")] for n in RUN_TIME_NAMES)
        s.env["WINEDLLOVERRIDES"] = s.env["WINEDLLOVERRIDES"] + f";{stems}=n,b"

        for name in RUN_TIME_NAMES:
            with self.subTest(f"the control loads the planted {name}"):
                plain = self.control(s, name)
                marks = self.marks(s)
                self.assertTrue(plain["loaded"], plain)
                self.assertIn(name, marks, f"kvloadlib did not load the planted {name}: {plain}; "
                              "the planted DLL cannot be loaded at all, so the test proves nothing")
                self.assertTrue(marks[name].lower().endswith("\\kvloadlib.exe"), marks[name])
            with self.subTest(f"the control restricted to the system folder does not load {name}"):
                restricted = self.control(s, name, restricted=True)
                self.assertTrue(restricted["restricted_set"], restricted)
                self.assertEqual(self.marks(s), {}, f"loaded from the program's folder: {restricted}")
                self.assertTrue(restricted["path"].lower().startswith(SYSTEM32), restricted)

        prog, modules = self.run_program(s)
        marks = self.marks(s)
        by_name = {}
        for path, kind in modules:
            by_name.setdefault(path.rsplit("\\", 1)[-1], []).append((path, kind))
        for name in RUN_TIME_NAMES:
            with self.subTest(f"kestrovan99.exe and {name}"):
                self.assertNotIn(name, marks, f"kestrovan99.exe loaded the planted {name} "
                                 f"(mark: {marks.get(name)!r}); the loader says {by_name.get(name)}")
                self.assertIn(name, by_name, f"the program no longer loads {name} while it runs: "
                              "plant a name it does load")
                self.assertEqual([p for p, _ in by_name[name]], [SYSTEM32 + name],
                                 f"{name} came from elsewhere: {by_name[name]}")
        self.assertTrue(prog.running, f"the program ended:\n{prog.output()[-3000:]}")

    def test_with_wines_own_load_order_no_planted_name_is_loaded(self):
        s = self.session()
        write_cfg(s, ["c:\\"], left=1500, top=1200)

        # Every DLL the program's process loads from the system folder, once without plants.
        prog, modules = self.run_program(s)
        names = sorted({p.rsplit("\\", 1)[-1] for p, _ in modules
                        if p.startswith(SYSTEM32) and p.endswith(".dll")})
        for name in RUN_TIME_NAMES:
            self.assertIn(name, names, f"{name} was not loaded: {names}")
        self.quit(s, prog)

        self.plant(s, names + [NATIVE_FIRST_NAME])
        with self.subTest("the marks work: the control loads a name Wine takes from its folder"):
            loaded = self.control(s, NATIVE_FIRST_NAME)
            self.assertIn(NATIVE_FIRST_NAME, self.marks(s), loaded)

        again, loaded = self.run_program(s)
        marks = self.marks(s)
        taken = [(p, kind) for p, kind in loaded if p.rsplit("\\", 1)[-1] in marks]
        self.assertEqual(marks, {}, f"kestrovan99.exe loaded planted DLLs: {taken}; planted: {names}")
        self.assertTrue(again.running, f"the program ended:\n{again.output()[-3000:]}")


if __name__ == "__main__":
    kvwine.main()
