"""What the program starts and loads: help from a folder whose name is not ASCII, the HTML program
with the address and no temporary file left, and no DLL planted beside it (while a control in the
same folder does load one); on a Windows without a help viewer, the help page at its topics."""
import urllib.parse
from harness import *

ADDRESS = "http://kestrovan.example/"
RECORDER = "C:\\KvRecorder\\kvrecorder.exe"  # records its command line, a windowed program as a browser is
HTML_PROGRAM = r'''
[Software\\Classes\\.htm] 1796611640
@="htmlfile"

[Software\\Classes\\htmlfile\\shell\\open\\command] 1796611640
@="\"C:\\KvRecorder\\kvrecorder.exe\" \"%1\""
'''
# System code inside the program loads these by name while it runs (imm32 loads ole32 when a window
# is activated, uxtheme loads msimg32 when the about window paints). Wine prefers its own DLLs for
# them; native-first is how Windows treats a name that is not one of its known DLLs.
PLANTED = ("ole32.dll", "msimg32.dll")
VK_F1 = 0x70
NATIVE_FIRST = {"WINEDLLOVERRIDES": "mscoree,mshtml=;ole32,msimg32=n,b"}


def pages(s):
    return {p for p in (s.prefix / "drive_c").rglob("*") if p.suffix.lower() in (".htm", ".html")}


def html_program(s):
    """The recorder put in as the HTML program; the log it returns gets each start's command line."""
    s.host_path(RECORDER).parent.mkdir()
    shutil.copy2(s.build.dir / "kvrecorder.exe", s.host_path(RECORDER))
    return s.host_path(RECORDER + ".log")


def last_address(log):
    """The address of the recorder's last whole line: it creates the log before it writes the line."""
    lines = [l for l in log.read_text().splitlines(keepends=True) if l.endswith("\n")] if log.exists() else []
    return lines and lines[-1].split()[-1]


class Launch(unittest.TestCase):
    def test_the_address_goes_to_the_html_program_and_no_planted_dll_is_loaded(self):
        with Session(self, folder="C:\\Kestr\u00f6v\u00e4n", registry=HTML_PROGRAM) as s:
            log = html_program(s)
            shutil.copy2(s.build.dir / "kvprobe.exe", s.app)
            for name in PLANTED:
                shutil.copy2(s.build.dir / "kvplant.dll", s.app / name)
                control = s.spawn([*s.wine, s.folder + "\\kvprobe.exe", "load", name], "control", NATIVE_FIRST)
                self.assertEqual(control.wait(30), 0)
                mark = s.app / (name + ".loaded")
                self.assertTrue(mark.exists(), f"the control did not load the planted {name}: the test proves nothing")
                mark.unlink()

            s.cfg.write_bytes(cfg_bytes(["c:\\"], 1500, 1200))
            program = s.start_exe(env=dict(NATIVE_FIRST, WINEDEBUG="+loaddll"))
            wait_until(lambda: s.shown(SMALL) and s.tips(), "the program", 60)
            before = pages(s)
            s.tray_menu("A")
            about = wait_until(lambda: s.shown(ABOUT), "the about window")
            self.assertTrue(s.ask("key", VK_F1)["ok"])
            s.ask("post", wait_until(lambda: viewer_at(s, 300), "the help viewer at the about topic")["hwnd"], WM_CLOSE, 0, 0)
            wait_until(lambda: not viewer_at(s, 300), "the help viewer to close")  # or it may take the click below
            for name in PLANTED:  # the names that tempt: the program does load them, from the system folder
                wait_until(lambda: f'loaded l"c:\\\\windows\\\\system32\\\\{name}"' in program.out.read_text(errors="replace").lower(),
                           f"{name} from the system folder")
            self.assertEqual(list(s.app.glob("*.loaded")), [], "the program loaded a planted DLL")
            label = [c for c in about["children"] if c["text"] == "kestrovan.example"]
            s.click(*center(label[0]["rect"]))
            self.assertEqual(wait_until(lambda: last_address(log), "the HTML program's start"), ADDRESS, log.read_text())
            wait_until(lambda: pages(s) == before, "no temporary page left")
            self.assertIsNone(program.poll(), "the program ended")

    def test_without_a_help_viewer_the_first_run_and_f1_open_the_help_page(self):
        with Session(self, folder="C:\\Kestr\u00f6v\u00e4n", registry=HTML_PROGRAM, windows="win10") as s:
            log = html_program(s)
            program = s.start_exe()  # a first run: the drive window, the start-up topic, then Options
            options = wait_until(lambda: s.shown(OPTIONS), "the set-up's Options window", 60)
            self.assertTrue(s.shown(SMALL), "the drive window is not shown")
            self.assert_page_opened(s, log, 30000)
            s.ask("post", options["hwnd"], WM_CLOSE, 0, 0)
            wait_until(lambda: not s.shown(OPTIONS) and (w := s.shown(SMALL))["foreground"] and w["topmost"],
                       "the drive window in front and on top again")
            self.assertTrue(s.ask("key", VK_F1)["ok"])
            self.assert_page_opened(s, log, 100)
            self.assertEqual(s.windows("MS_WINHELP"), [], "the help viewer was started")
            self.assertIsNone(program.poll(), "the program ended")

    def assert_page_opened(self, s, log, topic):
        """The HTML program's last start names the help page at the topic, a file that exists (the name
        compared as Windows compares names: the F1 file is spelled in capitals)."""
        address = wait_until(lambda: (a := last_address(log)) and a.endswith(f"#topic-{topic}") and a, f"topic {topic}")
        self.assertTrue(address.lower().endswith(f"kestrovan99.htm#topic-{topic}"), address)
        page = s.host_path(urllib.parse.unquote(address.removeprefix("file:///").split("#")[0]).replace("/", "\\"))
        self.assertIn(page.name.lower(), [p.name.lower() for p in page.parent.iterdir()], address)


if __name__ == "__main__":
    main()
