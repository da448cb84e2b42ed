"""How the settings page looks and reads, in headless Chromium at desktop and phone widths, light
and dark: the columns stack at phone width with nothing scrolling sideways, the scheme follows
the system's, every control has a name a screen reader reads and a visible focus, a refusal is
announced once. Prints the first render, a vorla-prefs change reaching the page, and 30 rapid
changes; keeps screenshots (and, when asked, the README's picture)."""

import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from browser_support import SIZES, PageTestCase  # noqa: E402

from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

README_PICTURE = os.environ.get("VORLA_README_PICTURE")


class LookInBrowserTest(PageTestCase):
    def box(self, element_id):
        return self.driver.execute_script(
            "const r = document.getElementById(arguments[0]).getBoundingClientRect();"
            "return {top: r.top + scrollY, bottom: r.bottom + scrollY, left: r.left,"
            "        right: r.right};", element_id)

    def background(self):
        return self.driver.execute_script("return getComputedStyle(document.body).backgroundColor")

    def test_each_width_and_scheme_fits_and_follows_the_system(self):
        for size in SIZES:
            for scheme in ["light", "dark"]:
                with self.subTest(size=size, scheme=scheme):
                    self.open(size, scheme)
                    self.show("every")
                    self.assertLessEqual(self.sideways_overflow(), 0)
                    settings, preview = self.box("settings"), self.box("preview-pane")
                    if size == "phone":
                        self.assertGreaterEqual(preview["top"], settings["bottom"] - 1)
                        self.assertLessEqual(settings["right"], SIZES[size][0])
                    else:
                        self.assertLess(settings["right"], preview["left"] + 1)
                    red, green, blue = [int(c) for c in self.background()[4:-1].split(",")[:3]]
                    self.assertEqual(red + green + blue < 150, scheme == "dark", self.background())
                    self.screenshot(f"page_{size}_{scheme}")
                    if size == "phone":
                        self.driver.execute_script("document.getElementById('preview-pane')"
                                                   ".scrollIntoView({block: 'start'})")
                        self.screenshot(f"page_{size}_{scheme}_preview")

    def unnamed_controls(self):
        """Controls without a name from a label, aria-label or aria-labelledby."""
        return self.driver.execute_script(
            "return [...document.querySelectorAll('input, select, button, [tabindex=\"0\"]')]"
            ".filter(c => c.type !== 'file' && c.offsetParent !== null)"
            ".filter(c => !(c.labels && [...c.labels].some(l => l.textContent.trim()))"
            "          && !c.getAttribute('aria-label') && !c.getAttribute('aria-labelledby')"
            "          && !(c.tagName === 'BUTTON' && c.textContent.trim()))"
            ".map(c => c.outerHTML.slice(0, 80));")

    def test_controls_are_named_focus_is_seen_and_a_refusal_is_announced_once(self):
        self.open()
        for app in ["every", "phone", "feed"]:
            self.show(app)
            self.assertEqual(self.unnamed_controls(), [])
        self.assertEqual(self.part("watchr", "button.reset").get_attribute("aria-label"),
                         "Reset watchr to its default")
        # The keyboard reaches the header's tools, then the apps, then the settings, each drawn
        # with a visible outline.
        self.driver.find_element(By.TAG_NAME, "h1").click()
        order = []
        for _ in range(12):
            ActionChains(self.driver).send_keys(Keys.TAB).perform()
            focused = self.driver.switch_to.active_element
            # A switch's box is invisible: the track beside it carries the outline.
            outline = self.driver.execute_script(
                "const shown = arguments[0].matches('.switch input') ?"
                "  arguments[0].nextElementSibling : arguments[0];"
                "const s = getComputedStyle(shown);"
                "return s.outlineStyle !== 'none' && parseFloat(s.outlineWidth) >= 2;", focused)
            self.assertTrue(outline, focused.get_attribute("outerHTML")[:80])
            order.append(self.driver.execute_script(
                "return arguments[0].closest('header') ? 'header' :"
                "       arguments[0].closest('#apps') ? 'apps' : 'settings'", focused))
        self.assertEqual(order, sorted(order, key=["header", "apps", "settings"].index))
        self.assertEqual(len(set(order)), 2)
        # One live region announces a refusal; the rows' own texts are not alerts.
        self.type_into("watchr", "many")
        self.wait(5).until(lambda d: self.error_of("watchr"))
        alerts = self.driver.find_elements(By.CSS_SELECTOR, '[role="alert"]')
        self.assertEqual([a.get_attribute("id") for a in alerts], ["alert"])
        self.assertEqual(alerts[0].get_attribute("textContent"), self.error_of("watchr"))
        field = self.field("watchr")
        self.assertEqual(field.get_attribute("aria-invalid"), "true")
        described = field.get_attribute("aria-describedby").split()
        self.assertIn(self.part("watchr", ".error-text").get_attribute("id"), described)

    def test_measured_first_render_a_change_from_vorla_prefs_and_rapid_changes(self):
        self.open()
        first = self.driver.execute_script(
            "return performance.getEntriesByName('vorla-first-state')[0].startTime")
        print(f"first render on the bundled example: {first / 1000:.3f} s", file=sys.stderr)
        self.show("messages")
        self.assertEqual(self.served.prefs("set", "texstmsg", "Measured").returncode, 0)
        set_at = time.monotonic()
        self.wait(5).until(lambda d: self.value_of("texstmsg") == "Measured")
        print(f"vorla-prefs set to the field: {time.monotonic() - set_at:.3f} s", file=sys.stderr)
        # Thirty changes typed one after another, each sent with Enter: the file ends with the
        # last, and the field with it.
        field = self.field("sliderKeymsg")
        field.click()
        started = time.monotonic()
        for n in range(1, 31):
            field.send_keys(Keys.CONTROL, "a")
            field.send_keys(f"{n}\n")
        self.wait(15).until(lambda d: self.stored("sliderKeymsg") == 30)
        self.leave()
        self.wait(5).until(lambda d: self.value_of("sliderKeymsg") == "30")
        print(f"30 rapid changes typed and stored: {time.monotonic() - started:.3f} s",
              file=sys.stderr)
        self.assertLess(first, 5000)

    def test_the_readmes_picture(self):
        self.open()
        self.show("every")
        self.assertEqual(self.served.prefs("set", "barxx", "#12345680").returncode, 0)
        self.wait(15).until(lambda d: d.find_elements(By.CSS_SELECTOR, "#preview tr.changed"))
        self.driver.execute_script("document.querySelector('.setting[data-key=\"barxx\"]')"
                                   ".scrollIntoView({block: 'center'});"
                                   "document.querySelector('#preview tr.changed')"
                                   ".scrollIntoView({block: 'center'})")
        path = self.screenshot("settings_page_readme")
        if README_PICTURE:
            shutil.copy(path, README_PICTURE)


if __name__ == "__main__":
    unittest.main()
