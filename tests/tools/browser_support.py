"""The settings page in headless Chromium, on a server of the test's own: opened at desktop or
phone width in the light or dark scheme, typed into as a person types, and photographed."""

import os
import tempfile
import unittest

from serve_support import Served

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

SIZES = {"desktop": (1400, 900, False), "phone": (390, 844, True)}
SCREENSHOTS = os.environ.get("VORLA_SCREENSHOTS", tempfile.gettempdir())


class PageTestCase(unittest.TestCase):
    def setUp(self):
        self.served = Served()
        self.addCleanup(self.served.stop)
        self.downloads = tempfile.TemporaryDirectory(prefix="vorla-downloads-")
        self.addCleanup(self.downloads.cleanup)
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
        self.driver.execute_cdp_cmd("Browser.setDownloadBehavior", {
            "behavior": "allow", "downloadPath": self.downloads.name})

    def open(self, size="desktop", scheme="light", address=None):
        width, height, mobile = SIZES[size]
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile})
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
            "features": [{"name": "prefers-color-scheme", "value": scheme}]})
        # From a blank page, so that an address differing only in its fragment is loaded anew.
        self.driver.get("about:blank")
        self.driver.get(address or self.served.url)
        self.wait(10).until(lambda d: d.find_elements(By.CSS_SELECTOR, ".setting[data-key]"))

    def wait(self, seconds):
        return WebDriverWait(self.driver, seconds, poll_frequency=0.05)

    def show(self, app):
        self.driver.find_element(By.CSS_SELECTOR, f'#apps button[data-app="{app}"]').click()
        self.wait(5).until(lambda d: d.find_elements(
            By.CSS_SELECTOR, f'#apps button[data-app="{app}"][aria-current="true"]'))

    def row(self, key):
        return self.driver.find_element(By.CSS_SELECTOR, f'.setting[data-key="{key}"]')

    def part(self, key, css):
        return self.row(key).find_element(By.CSS_SELECTOR, css)

    def field(self, key):
        return self.part(key, 'input[type="text"]')

    def value_of(self, key):
        return self.field(key).get_attribute("value")

    def error_of(self, key):
        return self.part(key, ".error-text").text

    def type_into(self, key, text, end="\n"):
        """Clicks into the field, selects what it holds and types over it, as a person does."""
        field = self.field(key)
        field.click()
        self.driver.execute_script("arguments[0].select()", field)
        field.send_keys(text + end)
        return field

    def leave(self):
        """Moves the focus away from the field, as a click elsewhere does."""
        self.driver.find_element(By.TAG_NAME, "h1").click()
        self.driver.execute_script("document.activeElement.blur()")

    def stored(self, key, default=None):
        return self.served.stored().get(key, default)

    def until_stored(self, key, value, seconds=10):
        self.wait(seconds).until(lambda d: self.stored(key) == value,
                                 f"{key} never became {value!r}; it is {self.stored(key)!r}")

    def sideways_overflow(self):
        return self.driver.execute_script(
            "return document.documentElement.scrollWidth - document.documentElement.clientWidth")

    def screenshot(self, name):
        path = os.path.join(SCREENSHOTS, name + ".png")
        self.driver.save_screenshot(path)
        return path
