#!/usr/bin/python3
"""The button pictures on the real control window: every image button shows its
own picture, centred (button 2, one pixel taller, keeps 2 pixels above and 3
below it), and moves one pixel right and down only while it is held."""
import subprocess
import time

import guitest
import screen_pixels

# Picture n is shown by this button.
OWNERS = {0: 1, 1: 2, 2: 4, 3: 5, 4: 6, 5: 7, 6: 15, 7: 16}
# The face's border (2 pixels, 4 with visual styles) and a focus rectangle
# just inside it may cover the picture's rim; comparisons stay inside that.
INSET = 5
# Mean difference per colour channel below which a place counts as a match:
# the screen shows the decoded stream exactly, as ImageMagick decodes the file.
MATCH = 1.0
# A picture one pixel off differs from itself by more than this.
DISTINCT = 5.0
# Seconds a repaint may lag behind the input that asked for it.
REPAINT_WAIT = 3.0


class PicturesTest(guitest.ProgramTest):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.pictures = {n: screen_pixels.picture(n) for n in OWNERS}

    def setUp(self):
        super().setUp()
        self.park_pointer()

    def park_pointer(self):
        """Moves the mouse off the program's windows: a pointer resting on a
        button brings up its tooltip over the picture."""
        subprocess.run(["xdotool", "mousemove", "1020", "760"], env=self.env, check=True)

    def shoot(self, control_id):
        """The control's client area as it is on the screen now."""
        origin = self.program.geometry("main")
        c = self.program.control(control_id)
        return screen_pixels.grab(self.env["DISPLAY"], origin["client_x"] + c["x"],
                                  origin["client_y"] + c["y"], c["w"], c["h"])

    def hold(self, control_id):
        """Holds the mouse button down over the control. The first mouse press
        after start-up can go astray under Wine; it is given another go."""
        for _ in range(3):
            if self.drive("press", control_id)["pushed"]:
                return
            self.drive("release", control_id)
        self.fail("control %d cannot be held down" % control_id)

    def assertPictureAt(self, number, left, top):
        # On a loaded machine Wine may repaint the face a moment after the
        # press or release that changed it: look again for a while.
        deadline = time.monotonic() + REPAINT_WAIT
        while True:
            shot = self.shoot(OWNERS[number])
            where, best, second = screen_pixels.placement(shot, self.pictures[number], INSET)
            if (where == (left, top) and best < MATCH) or time.monotonic() > deadline:
                break
            time.sleep(0.1)
        self.assertEqual(where, (left, top), "picture %d" % number)
        self.assertLess(best, MATCH, "picture %d does not match the button" % number)
        self.assertGreater(second, DISTINCT, "picture %d: no single place" % number)

    def test_every_button_shows_its_own_picture_centred(self):
        self.program.screenshot("main", "pictures_main")
        for number, control_id in OWNERS.items():
            with self.subTest(picture=number):
                c = self.program.control(control_id)
                self.assertEqual(c["w"], 52)
                left, top = (c["w"] - 48) // 2, (c["h"] - 48) // 2
                self.assertPictureAt(number, left, top)
        # No two buttons show the same picture.
        shot = self.shoot(OWNERS[0])
        for number in range(1, 8):
            self.assertGreater(screen_pixels.mismatch(shot, self.pictures[number], 2, 2, INSET),
                               DISTINCT, "button 1 looks like picture %d" % number)

    def test_button_2_keeps_2_pixels_above_and_3_below(self):
        c = self.program.control(2)
        self.assertEqual((c["w"], c["h"]), (52, 53))
        self.assertPictureAt(1, 2, 2)
        shot = self.shoot(2)
        pic = self.pictures[1]
        # Row 2 is the picture's top row; rows 50 to 52 are face, not picture.
        top_row = sum(abs(a - b) for x in range(INSET, 52 - INSET)
                      for a, b in zip(shot.at(x, 2), pic.at(x - 2, 0))) / (3 * (52 - 2 * INSET))
        self.assertLess(top_row, MATCH)
        face = shot.at(26, 50)
        self.assertEqual(len({shot.at(x, 50) for x in range(INSET, 52 - INSET)}), 1,
                         "row 50 is not plain face")
        self.assertNotEqual(face, pic.at(24, 47))

    def test_a_held_button_shifts_its_picture_by_one_pixel(self):
        self.assertPictureAt(2, 2, 2)
        self.hold(4)
        self.assertPictureAt(2, 3, 3)
        self.drive("release", 4)
        # The click ran the blank check, which has no port and says so.
        box = self.drive.try_call("msgbox", 5000)
        if box is not None:
            self.drive("answer", "ok")
        self.park_pointer()
        self.assertPictureAt(2, 2, 2)

    def test_a_pressed_toggle_is_not_shifted(self):
        self.hold(15)
        self.assertPictureAt(6, 3, 3)
        self.drive("release", 15)
        self.park_pointer()
        self.assertEqual(self.drive("state", 15)["state"], 1)
        self.assertFalse(self.program.control(15)["pushed"])
        self.assertPictureAt(6, 2, 2)
        self.program.screenshot("main", "pictures_help_open")
        self.drive("click", 15)
        self.park_pointer()
        self.assertEqual(self.drive("state", 15)["state"], 0)
        self.assertPictureAt(6, 2, 2)


if __name__ == "__main__":
    guitest.main()
