#!/usr/bin/python3
"""Message boxes and file dialogs as the toolkit shows them: captions, texts,
icons, buttons, filter lists, their owner, and the program's other windows
disabled while they are open."""
from guitest import ProgramTest, main

PORT_UNAVAILABLE = "Порт  Не доступен!"  # no port in this prefix: the name is empty


class MessageBoxes(ProgramTest):
    def test_warning_box_is_owned_by_the_control_window_and_disables_the_other(self):
        self.drive("click", 16)  # buffer window shown
        self.drive("click", 4)  # blank check: no port here
        box = self.drive("msgbox", 5000)
        self.assertEqual(box["caption"], "")
        self.assertEqual(box["text"], PORT_UNAVAILABLE)
        self.assertEqual(box["icon"], "exclamation")
        self.assertEqual([b["id"] for b in box["buttons"]], [1])
        self.assertEqual(box["owner"], "Программатор ПЗУ")
        self.assertEqual(box["windows"], {"main_enabled": False, "buffer_enabled": False})
        # Clicks on the disabled windows do nothing while the box is open.
        self.drive("click", 15)
        self.assertEqual(self.drive("state", 15)["state"], 0)
        self.assertEqual(self.drive("answer", "ok"), {"closed": True})
        self.assertTrue(self.program.geometry("main")["enabled"])
        self.assertTrue(self.program.geometry("buffer")["enabled"])
        # The program takes clicks again.
        self.assertEqual(self.drive("click", 15)["state"], 1)

    def test_a_hidden_buffer_window_is_left_alone(self):
        self.drive("click", 7)
        box = self.drive("msgbox", 5000)
        self.assertEqual(box["windows"], {"main_enabled": False, "buffer_enabled": True})
        self.drive("answer", "ok")
        self.assertFalse(self.program.geometry("buffer")["visible"])


class FileDialogs(ProgramTest):
    def test_open_dialog_title_filters_and_owner(self):
        self.drive("click", 16)
        self.drive("click", 1)
        dialog = self.drive("file-dialog", 5000)
        self.assertEqual(dialog["title"], "Открыть Файл.")
        self.assertEqual(dialog["filters"], ["Файлы *.hex *.bin", "Все файлы (*.*)"])
        self.assertEqual(dialog["filter"], 0)
        self.assertEqual(dialog["name"], "")
        self.assertEqual(dialog["owner"], "Программатор ПЗУ")
        self.assertEqual(dialog["windows"], {"main_enabled": False, "buffer_enabled": False})
        self.assertEqual(self.drive("file-cancel"), {"closed": True})
        # A cancel does nothing more: no box follows, the windows take input.
        self.assertIsNone(self.drive.try_call("msgbox", 500))
        self.assertTrue(self.program.geometry("buffer")["enabled"])
        self.assertEqual(self.drive("click", 15)["state"], 1)

    def test_save_dialog_title_filters_and_chosen_entry(self):
        self.drive("click", 2)
        dialog = self.drive("file-dialog", 5000)
        self.assertEqual(dialog["title"], "Сохранить Буфер.")
        self.assertEqual(dialog["filters"], ["HEX файл (*.hex)", "Бинарный файл (*.bin)"])
        self.assertEqual(dialog["filter"], 0)
        self.drive("file-cancel")
        self.assertIsNone(self.drive.try_call("msgbox", 500))


if __name__ == "__main__":
    main()
