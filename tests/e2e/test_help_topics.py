"""Help requests made by the user reach the help viewer (the session's MS_WINHELP stub) with
the help file beside the program, the command HELP_CONTEXT and the window's topic: "&Help"
in the tray menu asks for topic 400, F1 in the Options window for topic 200."""

import kvwine
from kvwine import OPTIONS, SMALL, KvTestCase, wait_until, write_cfg

HELP_CONTEXT = 1
WINEHELP_MAGIC = 0xA1DE505
VK_F1 = 0x70


def center(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


class HelpTopics(KvTestCase):
    def choose_in_tray_menu(self, s, pid, text):
        icons = s.tray()
        self.assertEqual(len(icons), 1, icons)
        s.click(*center(icons[0]["screen_rect"]), "right")
        menus = wait_until(lambda: [m for m in s.menu() if m["pid"] == pid], 10, 0.2, "the tray menu")
        items = [i for i in menus[0]["items"] if i["text"] == text]
        self.assertEqual(len(items), 1, menus[0]["items"])
        s.click(*center(items[0]["rect"]))
        wait_until(lambda: not s.menu(), 10, 0.2, "the tray menu to close")

    def assertRequest(self, s, request, pid, topic):
        self.assertEqual(request["magic"], WINEHELP_MAGIC)
        self.assertEqual(request["file"], s.app_win + "\\kestrovan99.hlp", "help file")
        self.assertEqual(request["command"], HELP_CONTEXT, "help command")
        self.assertEqual(request["data"], topic, "help topic")
        self.assertEqual(request["from_pid"], pid)

    def test_tray_menu_help_asks_for_400_and_f1_in_options_for_200(self):
        s = self.session()
        write_cfg(s, ["c:\\"], left=1500, top=1200)
        prog = s.start_exe()
        wait_until(lambda: s.tray_texts() or not prog.running, 60, 0.2, "the tray icon")
        self.assertTrue(prog.running, f"the program ended:\n{prog.output()}")
        sml = wait_until(lambda: s.visible(SMALL), 30, 0.2, "the drive window")
        pid = sml["pid"]
        self.assertTrue(s.idle(pid))
        self.assertEqual(s.help_requests(), [], "help was asked for at a normal start")

        self.choose_in_tray_menu(s, pid, "&Help")
        requests = wait_until(lambda: s.help_requests(), 10, 0.2, "the help request of the tray menu")
        self.assertTrue(s.idle(pid))
        requests = s.help_requests()
        self.assertEqual(len(requests), 1, requests)
        self.assertRequest(s, requests[0], pid, 400)

        self.choose_in_tray_menu(s, pid, "&Options")
        wait_until(lambda: (w := s.visible(OPTIONS)) and w["foreground"], 10, 0.2,
                   "the Options window in the foreground")
        self.assertTrue(s.idle(pid))
        s.key(VK_F1)
        wait_until(lambda: len(s.help_requests()) > 1, 10, 0.2, "the help request of F1 in Options")
        self.assertTrue(s.idle(pid))
        requests = s.help_requests()
        self.assertEqual(len(requests), 2, f"one F1 made {len(requests) - 1} requests: {requests[1:]}")
        self.assertRequest(s, requests[1], pid, 200)
        self.assertTrue(s.visible(OPTIONS), "F1 closed the Options window")
        self.assertTrue(prog.running)


if __name__ == "__main__":
    kvwine.main()
