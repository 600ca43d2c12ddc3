#!/usr/bin/python3
"""What the user does with the control window alone: the two toggles, the
ROM-type selector, the keyboard, and closing the windows."""
from guitest import BUFFER_TITLE_PREFIX, ProgramTest, main


class HelpToggle(ProgramTest):
    def test_pressing_twice_grows_then_restores_the_window(self):
        before = self.program.geometry("main")
        self.assertEqual(self.drive("click", 15)["state"], 1)
        grown = self.program.geometry("main")
        self.assertEqual((grown["w"], grown["h"]), (335, 297))
        self.assertEqual((grown["x"], grown["y"]), (before["x"], before["y"]))
        self.assertEqual(self.drive("click", 15)["state"], 0)
        after = self.program.geometry("main")
        self.assertEqual((after["x"], after["y"], after["w"], after["h"]), (200, 200, 335, 169))

    def test_help_texts_show_only_in_the_taller_window(self):
        self.drive("click", 15)
        box = self.program.geometry("main")
        rule = self.program.control(22)
        self.assertLessEqual(rule["y"] + rule["h"], box["h"])
        self.assertFalse(rule["enabled"])  # drawn greyed
        self.drive("click", 15)
        self.assertGreater(rule["y"], self.program.geometry("main")["h"])

    def test_resizing_keeps_a_moved_window_where_the_user_put_it(self):
        self.drive("drag-title", "main", 60, 40)
        moved = self.program.geometry("main")
        self.assertEqual((moved["x"], moved["y"]), (260, 240))
        self.drive("click", 15)
        grown = self.program.geometry("main")
        self.assertEqual((grown["x"], grown["y"], grown["h"]), (260, 240, 297))
        self.drive("click", 15)
        box = self.program.geometry("main")
        self.assertEqual((box["x"], box["y"], box["w"], box["h"]), (260, 240, 335, 169))


class BufferToggle(ProgramTest):
    def test_shows_the_window_at_the_right_edge_and_hides_it_again(self):
        self.assertEqual(self.drive("click", 16)["state"], 1)
        box = self.program.geometry("buffer")
        self.assertTrue(box["visible"])
        self.assertEqual((box["x"], box["y"]), (509, 0))
        self.assertEqual(box["title"], BUFFER_TITLE_PREFIX + "27C64")
        # The control window keeps the keyboard focus, on the toggle just used.
        focus = self.drive("focus")
        self.assertEqual(focus["active"], "Программатор ПЗУ")
        self.assertEqual(focus["focus_id"], 16)
        self.assertEqual(self.drive("click", 16)["state"], 0)
        self.assertFalse(self.program.geometry("buffer")["visible"])

    def test_hiding_empties_the_row_editor_but_keeps_the_listing(self):
        self.drive("click", 16)
        self.assertEqual(self.drive("select-row", 53)["selected"], 53)
        self.assertEqual(self.drive("text", 101)["text"], "      01A8")
        self.assertEqual(self.drive("text", 102)["text"], "   00")
        self.assertTrue(self.program.control(110)["enabled"])
        self.drive("activate", "main")
        self.drive("click", 16)
        self.drive("click", 16)
        self.assertTrue(self.program.geometry("buffer")["visible"])
        for field in range(101, 110):
            self.assertEqual(self.drive("text", field)["text"], "", field)
        self.assertFalse(self.program.control(110)["enabled"])
        self.assertEqual(self.drive("row-count"), {"rows": 1024, "selected": 53})


class Selector(ProgramTest):
    def test_choosing_another_rom_type_changes_neither_rows_nor_title(self):
        self.drive("click", 16)
        chosen = self.drive("select-item", 9, 2)
        self.assertEqual(chosen["selected"], 2)
        self.assertEqual(self.drive("text", 9)["text"], "       27C256")
        self.assertEqual(self.drive("row-count")["rows"], 1024)
        self.assertEqual(self.program.geometry("buffer")["title"], BUFFER_TITLE_PREFIX + "27C64")
        self.assertEqual(self.drive("cell", 1023, 0)["text"], "      1FF8")


class Keyboard(ProgramTest):
    def test_tab_walks_the_buttons_toggles_and_selectors_in_creation_order(self):
        self.drive("click", 16)  # the last stop takes the focus; the second click
        self.drive("click", 16)  # puts the toggle back
        order = []
        for _ in range(10):
            self.drive("key", "tab")
            order.append(self.drive("focus")["focus_id"])
        self.assertEqual(order, [1, 2, 4, 5, 6, 7, 8, 9, 15, 16])
        self.drive("key", "shift+tab")
        self.assertEqual(self.drive("focus")["focus_id"], 15)

    def test_space_on_a_focused_toggle_flips_it(self):
        self.drive("click", 15)
        self.drive("click", 15)
        self.drive("key", "space")
        self.assertEqual(self.drive("state", 15)["state"], 1)
        self.assertEqual(self.program.geometry("main")["h"], 297)

    def test_enter_and_escape_do_not_run_the_file_commands(self):
        # The dialog manager would turn them into IDOK (1) and IDCANCEL (2),
        # the ids of the open and save buttons.
        self.drive("click", 16)
        self.drive("click", 16)
        self.drive("key", "enter", "escape")
        self.assertIsNone(self.drive.try_call("file-dialog", 500))
        self.assertIsNone(self.drive.try_call("msgbox", 200))


class Closing(ProgramTest):
    def test_a_close_request_for_the_buffer_window_does_nothing(self):
        self.drive("click", 16)
        self.drive("close", "buffer")
        box = self.program.geometry("buffer")
        self.assertTrue(box["visible"])
        self.assertEqual((box["x"], box["y"], box["w"], box["h"]), (509, 0, 502, 570))
        self.assertIsNone(self.drive.try_call("wait-exit", 300))

    def test_closing_the_main_window_ends_the_program_with_code_0(self):
        self.drive("click", 16)  # buffer window shown: no question either way
        self.assertEqual(self.program.close(), 0)


if __name__ == "__main__":
    main()
