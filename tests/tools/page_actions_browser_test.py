"""What the settings page does across settings, in headless Chromium: the search across apps,
reset of a setting, an app or everything and its undo, export and import of the settings file
(refused files change nothing), the link between a setting and its preview rows, and the note on
settings whose enable key is off."""

import os
import plistlib
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from browser_support import PageTestCase  # noqa: E402

from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402


class ActionsInBrowserTest(PageTestCase):
    def shown_keys(self):
        return [r.get_attribute("data-key")
                for r in self.driver.find_elements(By.CSS_SELECTOR, "#settings .setting[data-key]")]

    def click(self, element_id):
        self.driver.find_element(By.ID, element_id).click()

    def test_the_search_finds_settings_of_every_app(self):
        self.open()
        search = self.driver.find_element(By.ID, "search")
        for query, wanted, unwanted in [("watchr", {"watchr"}, {"barxx"}),
                                        ("CYDIA", {"cydia", "cydiadark"}, {"watchr"}),
                                        ("separatorcolor", {"colors4a"}, {"cydia"}),
                                        ("colour enable", set(), {"watchr"})]:
            with self.subTest(query):
                search.clear()
                search.send_keys(query)
                self.wait(5).until(lambda d: wanted <= set(self.shown_keys()))
                self.assertFalse(unwanted & set(self.shown_keys()))
        search.clear()
        search.send_keys("zzzz-nothing")
        self.wait(5).until(lambda d: "No setting" in d.find_element(By.ID, "settings").text)
        # A found setting is changed where it was found, in another app than the one shown.
        search.clear()
        search.send_keys("watchr")
        self.type_into("watchr", "31")
        self.until_stored("watchr", 31)

    def test_reset_a_setting_an_app_and_everything_each_undone(self):
        self.open()
        original = self.served.stored()
        self.show("feed")
        self.part("watchr", "button.reset").click()
        self.wait(10).until(lambda d: "watchr" not in self.served.stored())
        self.click("undo")
        self.wait(10).until(lambda d: self.served.stored() == original)

        self.show("phone")
        phone = self.shown_keys()
        self.click("reset-app")
        self.wait(10).until(lambda d: not set(phone) & set(self.served.stored()))
        left = self.served.stored()
        self.assertEqual({k: v for k, v in original.items() if k not in phone}, left)
        self.assertEqual(self.driver.find_element(By.ID, "undo").text, "Undo the reset of Phone")
        self.click("undo")
        self.wait(10).until(lambda d: self.served.stored() == original)

        self.click("reset-all")
        self.wait(10).until(lambda d: self.served.stored() == {})
        self.wait(5).until(lambda d: self.value_of("Numberclor4") != "#c2185b")
        self.click("undo")
        self.wait(10).until(lambda d: self.served.stored() == original)
        self.wait(5).until(lambda d: self.value_of("Numberclor4") == "#c2185b")
        # Each undo was taken back once: nothing is left to undo.
        self.assertEqual(self.driver.find_element(By.ID, "undo").get_attribute("disabled"), "true")

    def test_export_then_import_and_refused_files_change_nothing(self):
        self.open()
        original = self.served.file_bytes()
        self.click("export")
        exported = os.path.join(self.downloads.name, os.path.basename(self.served.settings))
        self.wait(10).until(lambda d: os.path.exists(exported) and os.path.getsize(exported) > 0)
        with open(exported, "rb") as f:
            self.assertEqual(f.read(), original)

        self.assertEqual(self.served.prefs("set", "watchr", "5").returncode, 0)
        self.assertEqual(self.served.prefs("unset", "barxx").returncode, 0)
        chooser = self.driver.find_element(By.ID, "import-file")
        chooser.send_keys(exported)
        self.wait(10).until(lambda d: self.served.stored() == plistlib.loads(original))

        bad = {"garbage": (b"\x00not a plist", "not a settings file"),
               "wrong kind": (plistlib.dumps({"barxx": True}), "barxx"),
               "not a dictionary": (plistlib.dumps(["barxx"]), "not a dictionary"),
               "too large": (plistlib.dumps({"texstmsg": "x" * 5000}), "at most 4096 bytes")}
        for name, (content, said) in bad.items():
            with self.subTest(name):
                path = os.path.join(self.downloads.name, name.replace(" ", "-") + ".plist")
                with open(path, "wb") as f:
                    f.write(content)
                before = self.served.file_bytes()
                chooser.send_keys(path)
                self.wait(10).until(lambda d: said in d.find_element(By.ID, "status").text)
                self.assertEqual(self.served.file_bytes(), before)

        # An import is undone as a whole.
        smaller = os.path.join(self.downloads.name, "smaller.plist")
        with open(smaller, "wb") as f:
            f.write(plistlib.dumps({"watchr": 12, "someOtherKey": "kept"}))
        chooser.send_keys(smaller)
        self.wait(10).until(lambda d: self.served.stored() == {"watchr": 12, "someOtherKey": "kept"})
        self.click("undo")
        self.wait(10).until(lambda d: self.served.stored() == plistlib.loads(original))

    def linked_rows(self):
        return self.driver.execute_script(
            "return [...document.querySelectorAll('#preview tr.linked')].map(r => r.dataset.keys)")

    def test_a_setting_and_its_preview_rows_point_at_each_other(self):
        self.open()
        self.show("every")
        ActionChains(self.driver).move_to_element(self.row("barxx")).perform()
        rows = self.wait(5).until(lambda d: self.linked_rows())
        self.assertTrue(all("barxx" in keys.split(" ") for keys in rows), rows)
        self.assertGreaterEqual(len(rows), 4)
        # Focus does it as well as the pointer, and a row points back at its settings.
        row = self.driver.find_element(By.CSS_SELECTOR, '#preview tr[data-keys~="colors4a"]')
        self.driver.execute_script("arguments[0].scrollIntoView()", row)
        ActionChains(self.driver).move_to_element(row).perform()
        self.wait(5).until(lambda d: "linked" in self.row("colors4a").get_attribute("class"))
        self.assertIn("linked", self.row("colors4").get_attribute("class"))
        self.assertNotIn("linked", self.row("barxx").get_attribute("class"))

    def test_settings_whose_enable_key_is_off_say_so(self):
        self.assertEqual(self.served.prefs("set", "editWatchr", "off").returncode, 0)
        self.open()
        self.show("feed")
        self.assertIn("inactive", self.row("watchr").get_attribute("class"))
        self.assertIn("editWatchr is off", self.row("watchr").text)
        banner = self.driver.find_element(By.CSS_SELECTOR, ".gate-banner")
        self.assertTrue(banner.is_displayed())
        self.part("editWatchr", ".switch").click()
        self.until_stored("editWatchr", True)
        self.wait(5).until(lambda d: "inactive" not in self.row("watchr").get_attribute("class"))
        self.assertFalse(banner.is_displayed())
        self.assertNotIn("is off", self.row("watchr").text)


if __name__ == "__main__":
    unittest.main()
