"""The settings page in headless Chromium: a switch, a colour and a refused value change the file
and the preview (or show the refusal and leave the file alone), and a change made with
vorla-prefs reaches the open page within a second. Keeps a screenshot of the page at 1400x900."""

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
from selenium.webdriver.common.keys import Keys  # noqa: E402
from selenium.webdriver.support.ui import WebDriverWait  # noqa: E402

SCREENSHOT = os.environ["VORLA_SCREENSHOT"]


class PageInBrowserTest(unittest.TestCase):
    def setUp(self):
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
        self.driver.set_script_timeout(10)
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 1400, "height": 900, "deviceScaleFactor": 1, "mobile": False})
        self.driver.get(self.served.url)
        self.wait(10).until(lambda d: d.find_elements(By.CSS_SELECTOR, "#apps button"))

    def wait(self, seconds):
        return WebDriverWait(self.driver, seconds, poll_frequency=0.05)

    def show(self, app):
        self.driver.find_element(By.CSS_SELECTOR, f'#apps button[data-app="{app}"]').click()

    def setting(self, key, part):
        return self.driver.find_element(By.CSS_SELECTOR, f'.setting[data-key="{key}"] {part}')

    def set_by_script(self, element, value):
        self.driver.execute_script("arguments[0].value = arguments[1];"
                                   "arguments[0].dispatchEvent(new Event('change'));",
                                   element, value)

    def changed_rows(self):
        # Read in one script: the preview may be drawn again between two calls.
        return self.driver.execute_script(
            "return [...document.querySelectorAll('#preview tr.changed')].map(r => r.innerText);")

    def test_changes_from_the_page_and_from_vorla_prefs(self):
        self.show("messages")
        self.assertIs(self.served.stored()["slidermsg"], True)
        self.setting("slidermsg", ".switch").click()
        self.wait(10).until(lambda d: self.served.stored()["slidermsg"] is False)
        rows = self.wait(15).until(lambda d: self.changed_rows())
        self.assertIn("setConversationCellHeight:", " ".join(rows))

        self.show("every")
        self.set_by_script(self.setting("barxx", 'input[type="color"]'), "#123456")
        self.wait(10).until(lambda d: self.served.stored()["barxx"] == "#123456")
        self.wait(15).until(lambda d: any("#123456" in row for row in self.changed_rows()))
        self.set_by_script(self.setting("barxx", 'input[type="range"]'), "0.5")
        self.wait(10).until(lambda d: self.served.stored()["barxx"] == "#123456:0.50")
        self.wait(15).until(lambda d: any("#12345680" in row for row in self.changed_rows()))
        self.driver.execute_script("arguments[0].scrollIntoView({block: 'center'});"
                                   "document.querySelector('tr.changed').scrollIntoView();",
                                   self.setting("barxx", "input"))
        self.driver.save_screenshot(SCREENSHOT)

        self.show("feed")
        before = self.served.file_bytes()
        field = self.setting("watchr", 'input[type="text"]')
        field.click()
        field.send_keys(Keys.CONTROL, "a")
        field.send_keys("99999999999999999999\n")
        shown = self.wait(10).until(lambda d: "9999" in self.setting("watchr", ".error-text").text
                                    and self.setting("watchr", ".error-text").text)
        printed = self.served.prefs("set", "watchr", "99999999999999999999").stderr
        self.assertEqual("vorla-prefs: " + shown + "\n", printed)
        self.assertEqual(self.served.file_bytes(), before)

        self.show("messages")
        self.assertEqual(self.served.prefs("set", "texstmsg", "Set elsewhere").returncode, 0)
        set_at = time.monotonic()
        field = self.setting("texstmsg", 'input[type="text"]')
        self.wait(5).until(lambda d: field.get_attribute("value") == "Set elsewhere")
        self.assertLess(time.monotonic() - set_at, 1.0)
        # Scripts and the content security policy report nothing; the refusal above is the
        # only failed request.
        logged = [e for e in self.driver.get_log("browser")
                  if e["level"] == "SEVERE" and "status of 422" not in e["message"]]
        self.assertEqual(logged, [])


if __name__ == "__main__":
    unittest.main()
