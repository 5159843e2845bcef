"""The real help viewer: Wine's winhlp32, started by the program's own WinHelpA calls (no help
stub in these sessions), opens the built kestrovan99.hlp at each of the program's topics.

What the viewer shows is read from outside: its main window has the class MS_WINHELP and the
topic is in a RichEdit20A child (id 1793) whose text is the topic's title followed by its
paragraphs. The expected titles and first paragraphs come from help/*.txt, the sources the
help file is built from.

With KV_E2E_SCREENSHOTS=<folder> set, the picture of the viewer on the start-up topic is also
written there as help-30000.png (docs/screenshots holds the committed one).
"""

import os
import re
import shutil
import subprocess
from pathlib import Path

import kvwine
from kvwine import ABOUT, OPTIONS, REPO, SMALL, KvTestCase, wait_until, write_cfg

VIEWER = "MS_WINHELP"
TOPIC_TEXT_ID = 1793
VK_F1 = 0x70
FIRST_CHARS = 80  # of the first paragraph compared (kvprobe reads 1024 characters of a control)


def help_topics():
    """context number -> (title, first paragraph as the viewer shows it), from help/*.txt."""
    topics = {}
    for source in sorted((REPO / "help").glob("*.txt")):
        head, _, body = source.read_text(encoding="ascii").partition("\n\n")
        fields = dict(line.split(": ", 1) for line in head.splitlines())
        paragraph = []
        for line in body.splitlines():
            if not line.strip():
                if paragraph:
                    break
                continue
            paragraph.append(line.strip())
        # A jump [shown text](200) shows as its text.
        first = re.sub(r"\[([^\]]*)\]\(\d+\)", r"\1", " ".join(paragraph))
        topics[int(fields["context"])] = (fields["title"], first)
    return topics


TOPICS = help_topics()


def center(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def viewers(windows):
    return [w for w in windows if w["class"].upper() == VIEWER]


def topic_text(viewer):
    for child in viewer["children"]:
        if child["id"] == TOPIC_TEXT_ID and child["class"].lower().startswith("richedit"):
            return child["text"]
    return None


def shows_topic(text, number):
    """The viewer's text is the topic's title, then its first paragraph."""
    if text is None:
        return False
    title, first = TOPICS[number]
    lines = [line.strip() for line in text.replace("\r\n", "\n").split("\n")]
    return len(lines) >= 2 and lines[0] == title and lines[1].startswith(first[:FIRST_CHARS])


def question_boxes(windows):
    """Visible dialog boxes (#32770) of any process: message boxes and questions."""
    return [w for w in windows if w["class"] == "#32770" and w["visible"]]


class HelpViewerCase(KvTestCase):
    def viewer_on(self, s, number, timeout=30):
        """Waits until the one viewer window shows topic `number`; returns that window."""
        def on_topic():
            found = viewers(s.windows(""))
            if len(found) > 1:
                self.fail(f"{len(found)} help viewer windows: {[w['hwnd'] for w in found]}")
            return found[0] if found and shows_topic(topic_text(found[0]), number) else None

        try:
            return wait_until(on_topic, timeout, 0.2, f"the viewer on topic {number}")
        except TimeoutError:
            found = viewers(s.windows(""))
            text = topic_text(found[0]) if found else None
            self.fail(f"the viewer does not show topic {number} ({TOPICS[number][0]!r}); "
                      f"viewer windows: {len(found)}, its text begins {str(text)[:160]!r}")

    def open_menu(self, s, pid):
        menus = wait_until(lambda: [m for m in s.menu() if m["pid"] == pid], 10, 0.2,
                           "a popup menu of the program")
        self.assertEqual(len(menus), 1, menus)
        self.assertIsNone(menus[0]["error"], menus[0])
        return menus[0]

    def choose(self, s, menu, caption):
        items = [i for i in menu["items"] if i["text"].split("\t")[0] == caption]
        self.assertEqual(len(items), 1, f"{caption!r} in {[i['text'] for i in menu['items']]}")
        s.click(*center(items[0]["rect"]))
        wait_until(lambda: not s.menu(), 10, 0.2, "the menu to close")

    def tray_menu(self, s, pid, caption):
        icons = s.tray()
        self.assertEqual(len(icons), 1, icons)
        s.click(*center(icons[0]["screen_rect"]), "right")
        self.choose(s, self.open_menu(s, pid), caption)

    def foreground(self, s, hwnd):
        s.fault("foreground", hwnd)
        return wait_until(lambda: (w := [x for x in s.windows("") if x["hwnd"] == hwnd])
                          and w[0]["foreground"] and w[0], 10, 0.2, f"window {hwnd} in front")


class HelpViewer(HelpViewerCase):
    def test_first_run_shows_the_welcome_topic_then_the_options_window(self):
        s = self.session(helpstub=False)
        self.assertTrue((s.app_dir / "kestrovan99.hlp").is_file(), "the build made no help file")
        prog = s.start_exe()

        # Poll both, and keep the first look at which each was there: help comes first.
        looks = {"help": None, "options": None}
        count = [0]

        def both_up():
            count[0] += 1
            ws = s.windows("")
            found = viewers(ws)
            if looks["help"] is None and found and shows_topic(topic_text(found[0]), 30000):
                looks["help"] = count[0]
            if looks["options"] is None and any(
                    w["class"] == OPTIONS and w["visible"] for w in ws):
                looks["options"] = count[0]
            return (looks["help"] and looks["options"]) or not prog.running

        wait_until(both_up, 60, 0.05, "the viewer on topic 30000 and the Options window")
        self.assertTrue(prog.running, f"the program ended during set-up:\n{prog.output()}")
        self.assertLessEqual(looks["help"], looks["options"],
                             "the Options window showed before the viewer had topic 30000")
        viewer = self.viewer_on(s, 30000)
        self.assertNotEqual(viewer["pid"], s.window(SMALL)["pid"], "the viewer is its own process")

        # Nothing waits on a question: no dialog box of any process, the program is idle
        # in its modal Options window, and the drive window is up behind it.
        sml = s.window(SMALL)
        self.assertTrue(sml["visible"], "the set-up steps show the drive window")
        self.assertTrue(s.idle(sml["pid"]))
        ws = s.windows("")
        self.assertEqual(question_boxes(ws), [], "a dialog box is waiting")
        opts = [w for w in ws if w["class"] == OPTIONS]
        self.assertEqual(len(opts), 1)
        self.assertTrue(opts[0]["enabled"], "the Options window is disabled: something else is modal")
        self.assertTrue(s.cfg.is_file(), "the set-up steps wrote no settings file")

        # The picture of the viewer on topic 30000, in front of everything.
        viewer = self.foreground(s, viewer["hwnd"])
        self.save_viewer_picture(s, viewer)

    def save_viewer_picture(self, s, viewer):
        left, top, right, bottom = viewer["rect"]
        left, top = max(left, 0), max(top, 0)
        picture = s.dir / "help-30000.png"
        subprocess.run(["import", "-display", s.xvfb.display, "-window", "root", "-crop",
                        f"{right - left}x{bottom - top}+{left}+{top}", "+repage", str(picture)],
                       check=True, timeout=60, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.assertGreater(picture.stat().st_size, 10_000, "the picture is nearly empty")
        folder = os.environ.get("KV_E2E_SCREENSHOTS")
        if folder:
            Path(folder).mkdir(parents=True, exist_ok=True)
            shutil.copy2(picture, Path(folder) / "help-30000.png")

    def test_tray_popup_options_and_about_open_their_topics(self):
        s = self.session(helpstub=False)
        write_cfg(s, ["c:\\"], left=1500, top=1200)
        # Started from another folder: help must still find the file beside the program.
        prog = s.start_exe(cwd=s.dir)
        wait_until(lambda: s.tray_texts() or not prog.running, 60, 0.2, "the tray icon")
        self.assertTrue(prog.running, f"the program ended:\n{prog.output()}")
        sml = wait_until(lambda: s.visible(SMALL), 30, 0.2, "the drive window")
        pid = sml["pid"]
        self.assertTrue(s.idle(pid))
        self.assertEqual(viewers(s.windows("")), [], "a viewer runs before any help request")

        with self.subTest("tray menu &Help: topic 400"):
            self.tray_menu(s, pid, "&Help")
            viewer = self.viewer_on(s, 400)
            self.assertNotEqual(viewer["pid"], pid)

        with self.subTest("drive window popup &Help: topic 100"):
            sml = s.window(SMALL)
            s.click(sml["client"][0] + 20, sml["client"][1] + 12, "right")
            self.choose(s, self.open_menu(s, pid), "&Help")
            self.viewer_on(s, 100)

        with self.subTest("F1 in the Options window: topic 200"):
            self.tray_menu(s, pid, "&Options")
            opts = wait_until(lambda: s.visible(OPTIONS), 10, 0.2, "the Options window")
            self.foreground(s, opts["hwnd"])
            s.key(VK_F1)
            self.viewer_on(s, 200)

        with self.subTest("F1 in the about window: topic 300"):
            self.tray_menu(s, pid, "&About")
            about = wait_until(lambda: s.visible(ABOUT), 10, 0.2, "the about window")
            self.foreground(s, about["hwnd"])
            s.key(VK_F1)
            self.viewer_on(s, 300)

        with self.subTest("the Options window's menu entry &Help: topic 200"):
            opts = self.foreground(s, s.window(OPTIONS)["hwnd"])
            # The menu bar lies between the caption and the client area; its first title
            # opens the Options menu.
            s.click(opts["client"][0] + 16, opts["client"][1] - 9)
            self.choose(s, self.open_menu(s, pid), "&Help")
            self.viewer_on(s, 200)

        with self.subTest("F1 in the drive window: topic 100"):
            self.foreground(s, s.window(SMALL)["hwnd"])
            s.key(VK_F1)
            self.viewer_on(s, 100)

        ws = s.windows("")
        self.assertEqual(question_boxes(ws), [], "a dialog box is waiting")
        self.assertEqual(len(viewers(ws)), 1, "every request went to the one viewer")
        self.assertTrue(prog.running)


class HelpFileMissing(HelpViewerCase):
    def test_the_request_still_goes_to_the_viewer_which_says_so_and_the_program_runs_on(self):
        s = self.session(helpstub=False)
        (s.app_dir / "kestrovan99.hlp").unlink()
        original = write_cfg(s, ["c:\\"], left=1500, top=1200)
        prog = s.start_exe()
        wait_until(lambda: s.tray_texts() or not prog.running, 60, 0.2, "the tray icon")
        self.assertTrue(prog.running, f"the program ended:\n{prog.output()}")
        sml = wait_until(lambda: s.visible(SMALL), 30, 0.2, "the drive window")
        pid = sml["pid"]
        self.assertTrue(s.idle(pid))

        self.tray_menu(s, pid, "&Help")

        # The viewer's own words, in the viewer's process, naming the missing file.
        def complaint():
            boxes = [w for w in question_boxes(s.windows("")) if w["pid"] != pid]
            return boxes and boxes[0]

        box = wait_until(complaint, 30, 0.2, "the viewer's message about the missing file")
        texts = " ".join(c["text"] for c in box["children"])
        self.assertIn(s.app_win + "\\kestrovan99.hlp", texts.replace("/", "\\"),
                      f"the viewer's message does not name the file: {texts!r}")
        own = [w for w in question_boxes(s.windows("")) if w["pid"] == pid]
        self.assertEqual(own, [], "the program reported the missing help file itself")

        # Answer the viewer ("No": do not look for the file) and the program goes on.
        buttons = {c["text"].replace("&", ""): c["id"] for c in box["children"]
                   if c["class"].lower() == "button"}
        answer = buttons.get("No", buttons.get("OK", buttons.get("Cancel")))
        self.assertIsNotNone(answer, f"no button to answer with: {buttons}")
        s.command(box["hwnd"], answer)
        wait_until(lambda: not complaint(), 20, 0.2, "the viewer's message to close")

        self.assertTrue(prog.running, "the program ended after the help request")
        self.assertTrue(s.idle(pid))
        icons = s.tray()
        self.assertEqual(len(icons), 1, icons)
        s.click(*center(icons[0]["screen_rect"]), "right")
        menu = self.open_menu(s, pid)
        s.key(0x1B)
        wait_until(lambda: not s.menu(), 10, 0.2, "the tray menu to close")
        self.assertIn("&Quit", [i["text"] for i in menu["items"]], "the tray menu did not open")
        self.assertTrue(s.visible(SMALL), "the drive window went away")
        self.assertEqual(s.cfg.read_bytes(), original, "a help request changed the settings file")
        self.assertFalse((s.app_dir / "kestrovan99.hlp").exists(), "a help file appeared")


if __name__ == "__main__":
    kvwine.main()
