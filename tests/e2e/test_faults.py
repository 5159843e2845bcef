"""Faults and hostile input, end to end: a settings file that cannot be used or written, odd
bytes in it, drives that do not answer, the shell forgetting the tray icon, and the process
killed while it saves. Each case ends in a clear message or the program's normal behaviour,
and the settings file keeps what was last committed, byte for byte.
"""

import os
import random
import signal
import subprocess
import time

import kvwine
from kvwine import OPTIONS, SMALL, TBAR, TWIPS_PER_PIXEL, KvTestCase, wait_until, write_cfg

CAPTION = "Kestrovan '99"
IDOK = 1
OKAY_BUTTON = 201  # the Options window's "Okay"
MIB = 1 << 20


def center(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def cfg_bytes(slots, left, top):
    """The settings file as the program writes it (slots as raw bytes)."""
    out = b"".join(b'"' + s + b'"\r\n' for s in slots)
    return out + f"{left}\r\n{top}\r\n".encode()


def slot_lines(window):
    """The drive window's line texts in slot order (lines sorted by place: row, then column)."""
    c = window["client"]
    lines = sorted(window["children"], key=lambda ch: (ch["rect"][1] - c[1], ch["rect"][0] - c[0]))
    return [ch["text"] for ch in lines]


class FaultCase(KvTestCase):
    def start(self, s, *args):
        prog = s.start_exe(*args)
        wait_until(lambda: s.tray_texts() or not prog.running, 60, 0.2, "the tray icon")
        self.assertTrue(prog.running, f"the program ended:\n{prog.output()}")
        sml = wait_until(lambda: s.visible(SMALL), 30, 0.2, "the drive window")
        self.assertTrue(s.idle(sml["pid"]))
        return prog, s.window(SMALL)

    def pid_of(self, s, prog):
        """The program's Windows process id, from its first window."""
        w = wait_until(lambda: s.windows() or not prog.running, 60, 0.1, "a window of the program")
        self.assertTrue(prog.running, f"the program ended:\n{prog.output()}")
        return w[0]["pid"]

    def boxes(self, s, pid):
        return [w for w in s.windows("#32770") if w["pid"] == pid and w["visible"]]

    def message(self, s, pid, what):
        """Waits for the program's one message box; returns (box, its text)."""
        box = wait_until(lambda: self.boxes(s, pid), 30, 0.2, what)
        self.assertEqual(len(box), 1, box)
        box = box[0]
        self.assertEqual(box["text"], CAPTION)
        buttons = [c["text"] for c in box["children"] if c["class"].lower() == "button"]
        self.assertEqual(buttons, ["OK"], "the program's messages have an OK button only")
        text = " ".join(c["text"] for c in box["children"] if c["class"].lower() == "static")
        return box, text

    def dismiss(self, s, box):
        s.command(box["hwnd"], IDOK)
        wait_until(lambda: not [w for w in s.windows("#32770") if w["hwnd"] == box["hwnd"]],
                   20, 0.2, "the message box to close")

    def assertSaveFailure(self, s, text):
        path = s.app_win + "\\kv99.cfg"
        self.assertIn("could not save", text)
        self.assertIn(path, text, "the message does not name the file")
        self.assertRegex(text, r"(?i)access|denied|permission",
                         "the message does not give the system's reason")

    def click_to_close(self, s, sml):
        c = sml["client"]
        s.click(c[0] + 150, c[3] - 4)  # the blank strip under the last row of lines

    def tray_menu(self, s, pid, caption):
        icons = s.tray()
        self.assertEqual(len(icons), 1, icons)
        s.click(*center(icons[0]["screen_rect"]), "right")
        menus = wait_until(lambda: [m for m in s.menu() if m["pid"] == pid], 10, 0.2,
                           "the tray menu")
        items = [i for i in menus[0]["items"] if i["text"] == caption]
        self.assertEqual(len(items), 1, menus[0]["items"])
        s.click(*center(items[0]["rect"]))

    def no_leftovers(self, s):
        strays = [p.name for p in s.app_dir.iterdir() if p.name.lower().startswith("kv99.cfg.")]
        self.assertEqual(strays, [], "temporary files were left beside the settings file")


class SettingsFileUnusable(FaultCase):
    def test_a_folder_named_kv99_cfg_gives_set_up_and_a_clear_message_and_stays_untouched(self):
        s = self.session()
        s.cfg.mkdir()
        (s.cfg / "inside.txt").write_bytes(b"keep me")
        prog = s.start_exe()
        pid = self.pid_of(s, prog)

        # Not a settings file: the set-up steps run; their save fails with a message.
        box, text = self.message(s, pid, "the message that saving failed")
        self.assertSaveFailure(s, text)
        self.assertEqual([r["data"] for r in s.help_requests()], [30000], "the set-up help")
        self.dismiss(s, box)
        opts = wait_until(lambda: s.visible(OPTIONS), 20, 0.2, "the set-up's Options window")

        # "Okay" saves again (and fails again, once) but starts no second set-up.
        s.command(opts["hwnd"], OKAY_BUTTON)
        box, text = self.message(s, pid, "the second message")
        self.assertSaveFailure(s, text)
        self.dismiss(s, box)
        wait_until(lambda: not s.visible(OPTIONS), 20, 0.2, "the Options window to close")
        wait_until(lambda: s.tray_texts(), 30, 0.2, "the tray icon after the set-up")
        self.assertTrue(s.idle(pid))
        self.assertIsNone(s.visible(OPTIONS), "the set-up started again")
        self.assertEqual(self.boxes(s, pid), [])
        self.assertEqual(len(s.help_requests()), 1, "the set-up help was asked for again")
        self.assertTrue(s.visible(SMALL), "the drive window went away")
        self.assertTrue(prog.running)

        self.assertTrue(s.cfg.is_dir(), "the folder was replaced")
        self.assertEqual(sorted(p.name for p in s.cfg.iterdir()), ["inside.txt"])
        self.assertEqual((s.cfg / "inside.txt").read_bytes(), b"keep me")
        self.no_leftovers(s)

    def test_a_read_only_settings_file_is_kept_and_the_program_goes_on(self):
        s = self.session()
        original = write_cfg(s, ["c:\\"], left=1500, top=1200)
        os.chmod(s.cfg, 0o444)
        prog, sml = self.start(s)
        pid = sml["pid"]
        self.assertEqual(s.help_requests(), [], "a read-only file is still a readable one")

        # Closing the drive window saves: the save fails with a message.
        self.click_to_close(s, sml)
        box, text = self.message(s, pid, "the message that saving failed")
        self.assertSaveFailure(s, text)
        self.dismiss(s, box)
        wait_until(lambda: not s.visible(SMALL), 20, 0.2, "the drive window to close")
        self.assertEqual(s.cfg.read_bytes(), original, "the committed file changed")

        # A left press on the tray icon shows it again, placed from the file it could read.
        s.click(*center(s.tray()[0]["screen_rect"]))
        shown = wait_until(lambda: s.visible(SMALL), 20, 0.2, "the drive window again")
        self.assertEqual(shown["rect"][:2], [1500 // TWIPS_PER_PIXEL, 1200 // TWIPS_PER_PIXEL])
        self.assertEqual(self.boxes(s, pid), [])

        # Quit saves once more, says so, and ends.
        self.tray_menu(s, pid, "&Quit")
        box, text = self.message(s, pid, "the message when quitting")
        self.assertSaveFailure(s, text)
        self.dismiss(s, box)
        prog.wait(20)
        self.assertEqual(s.cfg.read_bytes(), original)
        self.assertEqual(s.cfg.stat().st_mode & 0o777, 0o444, "the file lost its read-only mode")
        self.assertEqual(s.tray(), [], "the tray icon outlived the program")
        self.no_leftovers(s)

    def immutable(self, folder):
        """Makes the folder unwritable even for root (chattr +i), undone at the test's end."""
        r = subprocess.run(["chattr", "+i", str(folder)], capture_output=True, text=True)
        if r.returncode != 0:
            self.skipTest(f"this machine cannot make a read-only folder (chattr +i: "
                          f"{r.stderr.strip()}); root writes into any folder Wine can mark")
        self.addCleanup(subprocess.run, ["chattr", "-i", str(folder)], capture_output=True)
        probe = folder / "kv-write-probe"
        try:
            probe.write_bytes(b"")
        except OSError:
            return
        probe.unlink()
        self.skipTest("chattr +i did not stop writes into the folder")

    def test_a_read_only_folder_keeps_the_file_and_the_program_goes_on(self):
        s = self.session()
        original = write_cfg(s, ["c:\\", "z:\\"], left=1500, top=1200)
        self.immutable(s.app_dir)
        prog, sml = self.start(s)
        pid = sml["pid"]

        self.click_to_close(s, sml)
        box, text = self.message(s, pid, "the message that saving failed")
        self.assertSaveFailure(s, text)
        self.dismiss(s, box)
        wait_until(lambda: not s.visible(SMALL), 20, 0.2, "the drive window to close")
        self.assertEqual(s.cfg.read_bytes(), original, "the committed file changed")
        self.assertTrue(prog.running)
        self.assertEqual(len(s.tray()), 1)
        self.no_leftovers(s)

    def test_a_first_run_in_a_read_only_folder_asks_once_and_goes_on(self):
        s = self.session()
        self.immutable(s.app_dir)
        prog = s.start_exe()
        pid = self.pid_of(s, prog)
        box, text = self.message(s, pid, "the message that saving failed")
        self.assertSaveFailure(s, text)
        self.dismiss(s, box)
        opts = wait_until(lambda: s.visible(OPTIONS), 20, 0.2, "the set-up's Options window")
        s.command(opts["hwnd"], OKAY_BUTTON)
        box, _ = self.message(s, pid, "the second message")
        self.dismiss(s, box)
        wait_until(lambda: s.tray_texts(), 30, 0.2, "the tray icon after the set-up")
        self.assertTrue(s.idle(pid))
        self.assertIsNone(s.visible(OPTIONS), "the set-up started again: a loop")
        self.assertEqual(self.boxes(s, pid), [])
        self.assertEqual(len(s.help_requests()), 1)
        self.assertTrue(prog.running)
        self.assertFalse(s.cfg.exists())
        self.no_leftovers(s)


class HostileSettingsContent(FaultCase):
    def free_texts(self, s):
        """The drive window's six lines and the tooltip, once the lines have been filled."""
        sml = wait_until(lambda: (w := s.visible(SMALL)) and any(slot_lines(w)) and w, 20, 0.2,
                         "the drive window's lines")
        return slot_lines(sml), s.tray_texts()

    def save_and_read(self, s, sml):
        before = s.cfg.read_bytes()
        self.click_to_close(s, sml)
        wait_until(lambda: not s.visible(SMALL), 20, 0.2, "the drive window to close")
        wait_until(lambda: s.cfg.read_bytes() != before, 10, 0.1, "the file to be written")
        return s.cfg.read_bytes()

    def test_a_one_mebibyte_line(self):
        rest = [b"", b"", b"", b"", b""]
        with self.subTest("a slot of 1 MiB without a drive letter"), \
                self.fresh_session("slot") as s:
            s.cfg.write_bytes(cfg_bytes([b"x" * MIB] + rest, 1500, 1200))
            prog, sml = self.start(s)
            self.assertEqual(s.help_requests(), [], "a long slot is still a readable file")
            lines, tips = self.free_texts(s)
            # No ":" in the slot: no prefix, the root of the current drive.
            self.assertRegex(lines[0], r"^ \d+\.\d\d MB$")
            self.assertEqual(lines[1:], [""] * 5)
            self.assertEqual(len(tips), 1, tips)
            self.assertRegex(tips[0], r"^\d+MB$")
            self.assertEqual(self.save_and_read(s, s.window(SMALL)),
                             cfg_bytes([b"\\"] + rest, 1500, 1200),
                             "the slot is saved in its root form")
            self.assertTrue(prog.running)

        with self.subTest("a position line of 1 MiB of digits"), self.fresh_session("left") as s:
            data = cfg_bytes([b"c:\\"] + rest, 0, 1200).replace(b"\r\n0\r\n", b"\r\n" + b"9" * MIB + b"\r\n")
            s.cfg.write_bytes(data)
            prog = s.start_exe()
            opts = wait_until(lambda: s.visible(OPTIONS) or not prog.running, 60, 0.2,
                              "the set-up's Options window")
            self.assertTrue(prog.running, f"the program ended:\n{prog.output()}")
            self.assertEqual([r["data"] for r in s.help_requests()], [30000])
            # The slots read before the bad number stay; the position falls back to 0, 0.
            self.assertEqual(s.cfg.read_bytes(), cfg_bytes([b"c:\\"] + rest, 0, 0))
            self.assertEqual(self.boxes(s, opts["pid"]), [])

    def test_nul_bytes(self):
        rest = [b"", b"", b"", b""]
        with self.subTest("NUL bytes inside slots"), self.fresh_session("slots") as s:
            s.cfg.write_bytes(cfg_bytes([b"c:\\\0\0junk", b"\0\0\0"] + rest, 1500, 1200))
            prog, sml = self.start(s)
            self.assertEqual(s.help_requests(), [])
            lines, tips = self.free_texts(s)
            self.assertRegex(lines[0], r"^c: \d+\.\d\d MB$")
            self.assertRegex(lines[1], r"^ \d+\.\d\d MB$", "a slot without ':' shows no letter")
            self.assertRegex(tips[0], r"^c:\d+MB \d+MB$")
            self.assertEqual(self.save_and_read(s, s.window(SMALL)),
                             cfg_bytes([b"c:\\", b"\\"] + rest, 1500, 1200))
            self.assertTrue(prog.running)

        with self.subTest("a file of NUL bytes only"), self.fresh_session("all") as s:
            s.cfg.write_bytes(b"\0" * 4096)
            prog = s.start_exe()
            opts = wait_until(lambda: s.visible(OPTIONS) or not prog.running, 60, 0.2,
                              "the set-up's Options window")
            self.assertTrue(prog.running, f"the program ended:\n{prog.output()}")
            self.assertEqual([r["data"] for r in s.help_requests()], [30000])
            # The whole file was read as slot 1, which the drive window's first refresh turned
            # into the root of the current drive; the set-up's save wrote that and 0, 0.
            self.assertEqual(s.cfg.read_bytes(), cfg_bytes([b"\\"] + [b""] * 5, 0, 0))
            self.assertEqual(self.boxes(s, opts["pid"]), [])

    def test_non_ascii_bytes(self):
        # c:\ first, so that a failed query after it could only show c:'s figures if the
        # program kept the counters of the last drive.
        slots = [b"c:\\", b"\xe4:\\", b"\xff\xfe\x80", b"\xc3\xa4:\\", b"", b""]
        s = self.session()
        s.cfg.write_bytes(cfg_bytes(slots, 1500, 1200))
        prog, sml = self.start(s)
        self.assertEqual(s.help_requests(), [])
        lines, tips = self.free_texts(s)
        # Shown in the 8-bit code page (Windows-1252 here): E4 is a-umlaut, C3 A4 two letters.
        self.assertRegex(lines[0], r"^c: \d+\.\d\d MB$")
        self.assertEqual(lines[1], "\u00e4: 0.00 MB")
        self.assertRegex(lines[2], r"^ \d+\.\d\d MB$")
        self.assertEqual(lines[3], "\u00c3\u00a4: 0.00 MB")
        self.assertEqual(lines[4:], ["", ""])
        self.assertRegex(tips[0], "^c:\\d+MB \u00e4:0MB \\d+MB \u00c3\u00a4:0MB$")
        self.assertEqual(self.save_and_read(s, s.window(SMALL)),
                         cfg_bytes([b"c:\\", b"\xe4:\\", b"\\", b"\xc3\xa4:\\", b"", b""], 1500, 1200),
                         "the bytes of the slots must come back as they were read")
        self.assertTrue(prog.running)


class DrivesThatDoNotAnswer(FaultCase):
    def test_a_drive_that_does_not_exist(self):
        s = self.session()
        rc, q = s.fault("drive", "q:\\")
        self.assertFalse(q["listed"] or q["space_ok"], f"this prefix has a q: drive: {q}")
        original = write_cfg(s, ["c:\\", "q:\\"], left=1500, top=1200)
        prog, sml = self.start(s)
        lines = slot_lines(wait_until(lambda: (w := s.visible(SMALL)) and any(slot_lines(w))
                                      and w, 20, 0.2, "the lines"))
        self.assertRegex(lines[0], r"^c: \d+\.\d\d MB$")
        self.assertEqual(lines[1], "q: 0.00 MB", "a failed query must show 0, not another drive's figures")
        tips = s.tray_texts()
        self.assertRegex(tips[0], r"^c:\d+MB q:0MB$")
        self.assertEqual(self.boxes(s, sml["pid"]), [], "a message about the missing drive")
        self.assertEqual([w for w in s.windows("#32770") if w["visible"]], [], "a system dialog")
        self.assertEqual(s.cfg.read_bytes(), original)
        self.assertTrue(prog.running)

    @staticmethod
    def removable_drive(s):
        """Makes s: a floppy drive whose mount point is missing: Wine's drive without a disk."""
        os.symlink("/nonexistent/kv-floppy", s.prefix / "dosdevices" / "s:")
        reg = s.dir / "drives.reg"
        reg.write_bytes(b'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\r\n'
                        b'"s:"="floppy"\r\n\r\n')
        env = dict(s.env)
        kvwine._run(["wine", "regedit", "/S", str(reg)], env, 120, "regedit")
        # The mount manager reads the drive types when it starts: let this wineserver end.
        kvwine._run(["wineserver", "-w"], env, 120, "wineserver -w")

    def test_a_removable_drive_without_a_medium(self):
        s = self.session(prepare=self.removable_drive)
        rc, drive = s.fault("drive", "s:\\")
        if drive["type"] != 2 or not drive["listed"] or drive["space_ok"]:
            self.skipTest(f"Wine offers no removable drive without a medium here: {drive}")
        original = write_cfg(s, ["s:\\", "c:\\"], left=1500, top=1200)
        prog, sml = self.start(s)
        pid = sml["pid"]
        lines = slot_lines(wait_until(lambda: (w := s.visible(SMALL)) and any(slot_lines(w))
                                      and w, 20, 0.2, "the lines"))
        self.assertEqual(lines[0], "s: 0.00 MB")
        self.assertRegex(lines[1], r"^c: \d+\.\d\d MB$")
        self.assertRegex(s.tray_texts()[0], r"^s:0MB c:\d+MB$")

        # The drive list of the Options window offers it, without a label.
        self.tray_menu(s, pid, "&Options")
        opts = wait_until(lambda: s.visible(OPTIONS), 10, 0.2, "the Options window")
        combos = [c for c in opts["children"] if c["class"].lower() == "combobox"]
        self.assertEqual(len(combos), 1)
        self.assertIn("s:", combos[0]["items"], combos[0]["items"])
        self.assertEqual([w for w in s.windows("#32770") if w["visible"]], [], "a dialog box")
        self.assertEqual(s.cfg.read_bytes(), original)
        self.assertTrue(prog.running)


class ShellRestart(FaultCase):
    def test_taskbar_created_brings_the_icon_back_exactly_once(self):
        s = self.session()
        write_cfg(s, ["c:\\"], left=1500, top=1200)
        prog, sml = self.start(s)
        pid = sml["pid"]
        tbar = s.window(TBAR)
        first = s.tray()
        self.assertEqual(len(first), 1, first)

        with self.subTest("the broadcast while the icon is there"):
            rc, sent = s.fault("broadcast", "TaskbarCreated")
            self.assertTrue(sent["ok"], sent)
            self.assertTrue(s.idle(pid))
            icons = s.tray()
            self.assertEqual(len(icons), 1, f"icons after the broadcast: {icons}")

        with self.subTest("the shell lost the icon, then announces itself"):
            rc, gone = s.fault("traydelete", tbar["hwnd"], 1)
            self.assertTrue(gone["ok"], f"the shell did not know the icon (id 1): {gone}")
            wait_until(lambda: not s.tray(), 10, 0.2, "the icon to go")
            rc, sent = s.fault("broadcast", "TaskbarCreated")
            self.assertTrue(sent["ok"], sent)
            icons = wait_until(s.tray, 10, 0.2, "the icon to come back")
            self.assertTrue(s.idle(pid))
            icons = s.tray()
            self.assertEqual(len(icons), 1, f"icons after the shell came back: {icons}")
            self.assertRegex(icons[0]["text"], r"^c:\d+MB$")
            # The new icon is the program's: its right press opens the tray menu.
            s.click(*center(icons[0]["screen_rect"]), "right")
            menus = wait_until(lambda: [m for m in s.menu() if m["pid"] == pid], 10, 0.2,
                               "the tray menu from the new icon")
            self.assertIn("&Quit", [i["text"] for i in menus[0]["items"]])
            s.key(0x1B)
            wait_until(lambda: not s.menu(), 10, 0.2, "the menu to close")
        self.assertTrue(prog.running)


class KilledWhileSaving(FaultCase):
    ROUNDS = 8
    SAVES_PER_ROUND = 60

    def kill_while_writing(self, s, prog, deadline):
        """Kills the program as soon as a temporary settings file shows in its folder (True),
        or at the deadline (False)."""
        while time.monotonic() < deadline:
            if any(name.lower().startswith("kv99.cfg.") for name in os.listdir(s.app_dir)):
                os.kill(prog.popen.pid, signal.SIGKILL)
                return True
        os.kill(prog.popen.pid, signal.SIGKILL)
        return False

    def test_a_kill_in_the_middle_of_a_save_leaves_a_whole_file(self):
        """kvfault savestorm makes the program save about every 80 ms (a click that closes the
        drive window at a new place, a tray press that shows it again from the file). The
        process is killed with SIGKILL in odd rounds the moment a save's temporary file shows,
        in even rounds a random 0 to 80 ms after the storm announced a save, which is about
        when the program writes. The file must be one of the versions written."""
        seed = int(os.environ.get("KV_E2E_SEED", time.time_ns() % 100_000))
        rng = random.Random(seed)
        kvwine.log(f"kill rounds with seed {seed} (KV_E2E_SEED={seed} repeats them)")
        s = self.session()
        slots = [b"c:\\", b"", b"z:\\", b"", b"", b""]
        s.cfg.write_bytes(cfg_bytes(slots, 1500, 1200))
        valid = {s.cfg.read_bytes()}
        storm_log = s.dir / "storm.log"
        storm_log.write_bytes(b"")
        kills, strays, retries = [], set(), 0
        for round_no in range(1, self.ROUNDS + 1):
            before_help = len(s.help_requests())
            prog, sml = self.start(s)
            self.assertEqual(len(s.help_requests()), before_help,
                             f"round {round_no}: the file left by the last kill did not read")
            tbar = s.window(TBAR)
            logged = len(storm_log.read_text().splitlines())
            saves = rng.randint(2, 12)
            offset = rng.uniform(0.0, 0.08)
            storm = s._spawn([str(s.probe_exe.with_name("kvfault.exe")), "savestorm",
                              str(tbar["hwnd"]), str(round_no * 100), str(self.SAVES_PER_ROUND),
                              s.win_of_host(storm_log)], "savestorm")
            wait_until(lambda: len(storm_log.read_text().splitlines()) >= logged + saves
                       or not storm.running, 30, 0.002, f"save {saves} of the storm")
            self.assertTrue(storm.running, f"the storm ended early: {storm.output()}")
            if round_no % 2:
                # Odd rounds: the moment the temporary file of a save is there, mid-write.
                caught = self.kill_while_writing(s, prog, time.monotonic() + 3)
            else:
                time.sleep(offset)  # the random moment of the kill within a save, not a wait
                os.kill(prog.popen.pid, signal.SIGKILL)
                caught = None
            prog.popen.wait(10)
            storm.wait(30)
            retries += storm.output().count("clicking again")
            for entry in storm_log.read_text().splitlines():
                _, x, y = map(int, entry.split())
                valid.add(cfg_bytes(slots, x * TWIPS_PER_PIXEL, y * TWIPS_PER_PIXEL))
            data = s.cfg.read_bytes()
            left = {p.name for p in s.app_dir.iterdir() if p.name.lower().startswith("kv99.cfg.")}
            kills.append((round_no, saves, "mid-write" if caught else
                          "no write seen" if caught is False else f"{offset * 1000:.0f} ms",
                          data in valid, sorted(left - strays)))
            strays |= left
            self.assertIn(data, valid, f"round {round_no} (seed {seed}): the file after the kill "
                          f"is no version the program wrote: {data!r}")
            wait_until(lambda: not s.windows(), 20, 0.2, "the killed program's windows to go")
            # The killed program's icon may linger in the shell: forget it, as a new shell would.
            if s.tray():
                s.fault("traydelete", tbar["hwnd"], 1)
                wait_until(lambda: not s.tray(), 10, 0.2, "the dead program's icon to go")
        kvwine.log(f"kills (round, saves before it, moment, file whole, temporary files "
                   f"left): {kills}; clicks made twice: {retries}")
        self.assertGreater(len(valid), 2 * self.ROUNDS, "the storms saved too little to mean anything")
        # The last file reads: the program starts without the set-up steps.
        before_help = len(s.help_requests())
        prog, sml = self.start(s)
        self.assertEqual(len(s.help_requests()), before_help)
        self.assertTrue(prog.running)


if __name__ == "__main__":
    kvwine.main()
