"""The settings page's fields as a person uses them, in headless Chromium: what is typed is stored
exactly, a field shows the file's value unless it is being edited, a refusal sits beside its
field until its cause is gone, the colour's three controls agree, and a text too long for one
change is announced before it is sent."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from browser_support import PageTestCase  # noqa: E402

from selenium.webdriver.common.keys import Keys  # noqa: E402


class FieldsInBrowserTest(PageTestCase):
    def test_an_empty_text_is_an_empty_field_and_typing_stores_it_exactly(self):
        self.assertEqual(self.served.prefs("unset", "texstmsg").returncode, 0)
        self.open()
        self.show("messages")
        self.assertEqual(self.value_of("texstmsg"), "")
        self.type_into("texstmsg", "Hi there ✓ — «ünï» 😀")
        self.until_stored("texstmsg", "Hi there ✓ — «ünï» 😀")
        self.assertEqual(self.value_of("texstmsg"), "Hi there ✓ — «ünï» 😀")
        # Spaces around a text are part of it.
        self.type_into("texstmsg", "  padded  ")
        self.until_stored("texstmsg", "  padded  ")

    def test_a_field_shows_the_files_value_unless_it_is_being_edited(self):
        self.open()
        self.show("feed")
        # Focused but untouched, a field follows a change made elsewhere.
        self.field("watchr").click()
        self.assertEqual(self.served.prefs("set", "watchr", "77").returncode, 0)
        self.wait(5).until(lambda d: self.value_of("watchr") == "77")

        # Refused while the person is still in the field: their text stays for them to correct.
        self.type_into("watchr", "lots")
        self.wait(5).until(lambda d: "lots" in self.error_of("watchr"))
        self.assertEqual(self.value_of("watchr"), "lots")
        self.leave()
        self.wait(5).until(lambda d: self.value_of("watchr") == "77")
        self.assertEqual(self.error_of("watchr"), "")

        # Refused as the person leaves (the change that leaving sends): the field shows the file's
        # value, the refusal stays beside it until the file's value changes.
        self.type_into("watchr", "many", end=Keys.TAB)
        self.wait(5).until(lambda d: "many" in self.error_of("watchr"))
        self.assertEqual(self.value_of("watchr"), "77")
        self.assertEqual(self.served.prefs("set", "watchr", "78").returncode, 0)
        self.wait(5).until(lambda d: self.value_of("watchr") == "78")
        self.wait(5).until(lambda d: self.error_of("watchr") == "")

        # A refused value, then another app and back: the file's value, and no stale refusal.
        self.type_into("watchr", "few")
        self.wait(5).until(lambda d: "few" in self.error_of("watchr"))
        self.show("messages")
        self.show("feed")
        self.assertEqual(self.value_of("watchr"), "78")
        self.assertEqual(self.error_of("watchr"), "")
        self.assertEqual(self.stored("watchr"), 78)

    def test_refusals_say_what_is_wrong_and_what_the_page_can_do(self):
        self.open()
        self.show("feed")
        self.type_into("watchr", "12.5")
        self.wait(5).until(lambda d: self.error_of("watchr"))
        self.assertIn("whole number", self.error_of("watchr"))
        self.assertEqual(self.driver.find_element("id", "alert").get_attribute("textContent"),
                         self.error_of("watchr"))
        # A file that cannot be read is left alone; the page offers what it can, not --force.
        good = self.served.file_bytes()
        self.served.write_file(b"not a property list")
        self.wait(5).until(lambda d: "Cannot read" in d.find_element("id", "file").text)
        self.type_into("watchr", "5")
        self.wait(5).until(lambda d: "cannot read" in self.error_of("watchr"))
        self.assertNotIn("--force", self.error_of("watchr"))
        self.assertIn("repair or remove", self.error_of("watchr"))
        self.assertEqual(self.served.file_bytes(), b"not a property list")
        self.served.write_file(good)
        self.type_into("watchr", "6")
        self.until_stored("watchr", 6)
        self.wait(5).until(lambda d: self.error_of("watchr") == "")

    def colour_controls(self, key):
        return self.driver.execute_script(
            "const row = document.querySelector('.setting[data-key=\"' + arguments[0] + '\"]');"
            "return [row.querySelector('input[type=color]').value,"
            "        +row.querySelector('input[type=range]').value,"
            "        row.querySelector('input[type=text]').value];", key)

    def test_the_picker_the_alpha_and_the_text_show_one_colour(self):
        self.open()
        self.show("every")
        for typed, stored, hex_, alpha in [("red", "red", "#ff0000", 1),
                                           ("#abcdef80", "#abcdef80", "#abcdef", 0x80 / 255),
                                           ("rgba(0, 0, 255, 0.25)", "rgba(0, 0, 255, 0.25)",
                                            "#0000ff", 0.25),
                                           ("#f0a", "#f0a", "#ff00aa", 1)]:
            with self.subTest(typed):
                self.type_into("barxx", typed)
                self.until_stored("barxx", stored)
                self.wait(5).until(lambda d: self.colour_controls("barxx")[0] == hex_)
                picker, shown_alpha, text = self.colour_controls("barxx")
                self.assertAlmostEqual(shown_alpha, alpha, places=6)
                self.assertEqual(text, typed)
        # Dragging the alpha shows the value it will send in the text as it moves.
        alpha = self.part("barxx", 'input[type="range"]')
        self.driver.execute_script("arguments[0].value = '0.4';"
                                   "arguments[0].dispatchEvent(new Event('input'));", alpha)
        self.assertEqual(self.value_of("barxx"), "#ff00aa:0.40")
        # A state pushed mid-drag (a change made elsewhere) leaves the dragged colour alone.
        self.assertEqual(self.served.prefs("set", "colors7a", "#010203").returncode, 0)
        self.wait(5).until(lambda d: self.value_of("colors7a") == "#010203")
        self.assertEqual(self.value_of("barxx"), "#ff00aa:0.40")
        self.driver.execute_script("arguments[0].dispatchEvent(new Event('change'));", alpha)
        self.until_stored("barxx", "#ff00aa:0.40")
        self.wait(5).until(lambda d: self.colour_controls("barxx") == ["#ff00aa", 0.4,
                                                                      "#ff00aa:0.40"])
        # A refused colour, left: all three show the file's colour again.
        self.type_into("barxx", "#12345", end=Keys.TAB)
        self.wait(5).until(lambda d: "#12345" in self.error_of("barxx"))
        self.assertEqual(self.colour_controls("barxx"), ["#ff00aa", 0.4, "#ff00aa:0.40"])

    def test_a_long_text_keeps_the_layout_and_the_limit_is_said_before_it_is_hit(self):
        long_text = "Unbroken" * 300 + " and words " * 60
        self.assertEqual(self.served.prefs("set", "texstmsg", long_text).returncode, 0)
        for size in ["desktop", "phone"]:
            with self.subTest(size):
                self.open(size)
                self.show("messages")
                self.assertEqual(self.value_of("texstmsg"), long_text)
                self.assertLessEqual(self.sideways_overflow(), 0)
        self.open()
        self.show("messages")
        limit = self.driver.execute_script("return state.bodyLimit")
        meaning = self.part("texstmsg", ".meaning").text
        self.assertIn(str(limit), meaning)
        # Near the limit the field counts the bytes; past it, it says so and sends nothing.
        field = self.field("texstmsg")
        self.driver.execute_script("arguments[0].value = arguments[1];", field, "a" * 3000)
        field.click()
        field.send_keys(Keys.END, "✓")
        self.wait(5).until(lambda d: f"of {limit} bytes" in self.part("texstmsg", ".hint").text)
        self.driver.execute_script("arguments[0].value = arguments[1];", field, "a" * (limit - 40))
        field.send_keys(Keys.END, "✓" * 20)
        self.wait(5).until(lambda d: "too long" in self.error_of("texstmsg"))
        before = self.served.file_bytes()
        field.send_keys("\n")
        time.sleep(0.5)
        self.assertEqual(self.served.file_bytes(), before)
        self.assertIn("too long", self.driver.find_element("id", "alert").get_attribute("textContent"))


if __name__ == "__main__":
    unittest.main()
