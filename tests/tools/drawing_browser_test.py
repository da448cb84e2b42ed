"""The app's picture beside the preview, in headless Chromium at desktop and phone widths, light
and dark: each app has one, its parts carry the values the preview's rows answer, a change made
with vorla-prefs or through the page redraws it, a hostile text stays text. Keeps screenshots."""

import os
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from serve_support import Served  # noqa: E402

from selenium import webdriver  # noqa: E402
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.support.ui import WebDriverWait  # noqa: E402

SCREENSHOTS = os.environ["VORLA_SCREENSHOTS"]
SIZES = {"desktop": (1400, 900, False), "phone": (390, 844, True)}
HOSTILE = "<img src=x onerror=alert(1)>"


class DrawingInBrowserTest(unittest.TestCase):
    def setUp(self):
        # A server of each test's own: the changes one test makes are not another's values.
        self.served = Served()
        self.addCleanup(self.served.stop)
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        profile = tempfile.TemporaryDirectory(prefix="vorla-chromium-")
        self.addCleanup(profile.cleanup)
        for argument in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                         "--no-first-run", "--disable-background-networking",
                         "--disable-component-update", "--disable-sync",
                         "--user-data-dir=" + profile.name]:
            options.add_argument(argument)
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.addCleanup(self.driver.quit)
        self.driver.set_page_load_timeout(20)

    def open(self, size, scheme="light"):
        width, height, mobile = SIZES[size]
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile})
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
            "features": [{"name": "prefers-color-scheme", "value": scheme}]})
        self.driver.get(self.served.url)
        self.wait(10).until(lambda d: d.find_elements(By.CSS_SELECTOR, "#drawing svg"))

    def wait(self, seconds):
        return WebDriverWait(self.driver, seconds, poll_frequency=0.05)

    def show(self, app):
        self.driver.find_element(By.CSS_SELECTOR, f'#apps button[data-app="{app}"]').click()
        self.wait(5).until(lambda d: d.find_elements(By.CSS_SELECTOR,
                                                     f'#drawing svg[data-app="{app}"]'))

    def with_cell(self, hook):
        """The preview table's "with the library" text of the hook's row, as the page shows it."""
        return self.driver.execute_script(
            "for (const row of document.querySelectorAll('#preview tbody tr')) {"
            "  const hook = [...row.cells[0].querySelectorAll('code')].map(c => c.textContent);"
            "  if (hook.join(' ') === arguments[0]) return row.cells[4].textContent;"
            "} return null;", hook)

    def parts(self, part, attribute):
        return self.driver.execute_script(
            "return [...document.querySelectorAll('#drawing [data-part=\"' + arguments[0] + '\"]')]"
            ".map(n => arguments[1] === 'text' ? n.textContent : n.getAttribute(arguments[1]));",
            part, attribute)

    def screenshot(self, name):
        path = os.path.join(SCREENSHOTS, name + ".png")
        self.driver.save_screenshot(path)
        return path

    def test_every_app_is_drawn_with_its_rows_values(self):
        for size in SIZES:
            with self.subTest(size=size):
                self.open(size)
                apps = [b.get_attribute("data-app")
                        for b in self.driver.find_elements(By.CSS_SELECTOR, "#apps button")]
                self.assertEqual(len(apps), 11)
                for app in apps:
                    self.show(app)
                    if size == "desktop":
                        self.driver.find_element(By.ID, "drawing").screenshot(
                            os.path.join(SCREENSHOTS, f"drawing_of_{app}.png"))
                    # Every app shows the status bar, coloured as the shared rows answer.
                    self.assertEqual(self.parts("status-text", "fill"), ["#00c853"])
                self.show("springboard")
                self.assertEqual(self.with_cell("SBDockView setBackgroundAlpha:"), "host got 0")
                self.assertEqual(self.parts("dock", "fill-opacity"), ["0"])
                self.show("every")
                self.assertEqual(self.with_cell("UITableViewCell setSeparatorColor:"),
                                 "host got #fdd835")
                self.assertEqual(set(self.parts("separator", "stroke")), {"#fdd835"})
                self.assertEqual(self.parts("keyboard", "fill"), ["#00ffff"])
                self.show("phone")
                self.assertEqual(self.parts("tab", "text"), ["Recents", "Contacts", "Keypad"])
                self.show("preferences")
                self.assertEqual(self.parts("title", "text"), ["Vorla Settings"])
                self.assertEqual(self.parts("title", "fill"), ["#5e35b1"])
                # The page's own layout stacks its columns at phone width; until it does, the
                # picture is measured where there is room for it.
                if size == "desktop":
                    width = self.driver.execute_script(
                        "return document.getElementById('drawing').getBoundingClientRect().width")
                    self.assertGreater(width, 150)
                for scheme in ["light", "dark"]:
                    self.open(size, scheme)
                    self.show("springboard")
                    self.driver.execute_script(
                        "document.getElementById('drawing').scrollIntoView({block: 'start'})")
                    self.screenshot(f"drawing_{size}_{scheme}")

    def test_changes_redraw_it_and_a_hook_off_draws_the_apps_own_value(self):
        self.open("desktop")
        self.show("every")
        self.assertEqual(self.served.prefs("set", "barxx", "#123456").returncode, 0)
        set_at = time.monotonic()
        self.wait(15).until(lambda d: self.parts("status-text", "fill") == ["#123456"])
        print(f"vorla-prefs set to the picture redrawn: {time.monotonic() - set_at:.2f} s",
              file=sys.stderr)
        # The table and the picture are drawn from one state: never a second apart.
        self.assertEqual(self.with_cell("_UIStatusBarStyleAttributes textColor"),
                         "caller got #123456")
        field = self.driver.find_element(
            By.CSS_SELECTOR, '.setting[data-key="barxx"] input[type="text"]')
        self.driver.execute_script("arguments[0].value = '#abcdef80';"
                                   "arguments[0].dispatchEvent(new Event('change'));", field)
        self.wait(15).until(lambda d: self.parts("battery-fill", "fill") == ["#abcdef"])
        self.assertEqual(self.parts("battery-fill", "fill-opacity"), [str(0x80 / 255)])

        self.show("springboard")
        self.assertEqual(self.served.prefs("set", "dock", "off").returncode, 0)
        self.wait(20).until(lambda d: self.parts("dock", "fill-opacity") == ["0.5"])
        self.assertEqual(self.with_cell("SBDockView setBackgroundAlpha:"), "host got 0.5")

    def test_a_hostile_text_is_drawn_as_text(self):
        self.open("desktop")
        self.show("springboard")
        for key, value in [("EnableNoSIM", "on"), ("NoSIM", HOSTILE)]:
            self.assertEqual(self.served.prefs("set", key, value).returncode, 0)
        self.wait(20).until(lambda d: self.parts("carrier", "text") == [HOSTILE])
        self.assertEqual(self.driver.find_elements(By.CSS_SELECTOR, "#drawing img, img"), [])
        self.driver.find_element(By.ID, "drawing").screenshot(
            os.path.join(SCREENSHOTS, "drawing_hostile_text.png"))


if __name__ == "__main__":
    unittest.main()
