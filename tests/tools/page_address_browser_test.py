"""The settings page's address, in headless Chromium: the shown app is kept in it, so a reload or
a shared link shows the same app, and an address whose token is missing or no longer valid says
so and how to get a new one, instead of a blank page or a connection lost for ever."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from browser_support import PageTestCase  # noqa: E402

from selenium.webdriver.common.by import By  # noqa: E402


class AddressInBrowserTest(PageTestCase):
    def shown_app(self):
        return self.driver.find_element(
            By.CSS_SELECTOR, '#apps button[aria-current="true"]').get_attribute("data-app")

    def test_the_shown_app_survives_a_reload_and_a_shared_link(self):
        self.open()
        self.show("feed")
        self.assertIn("token=" + self.served.token, self.driver.current_url)
        self.assertTrue(self.driver.current_url.endswith("#app=feed"), self.driver.current_url)
        self.driver.refresh()
        self.wait(10).until(lambda d: d.find_elements(By.CSS_SELECTOR, ".setting[data-key]"))
        self.assertEqual(self.shown_app(), "feed")
        self.assertTrue(self.row("watchr").is_displayed())
        # A link with another app opens on it; an app that does not exist opens on the first.
        self.open(address=self.served.url + "#app=phone")
        self.assertEqual(self.shown_app(), "phone")
        self.open(address=self.served.url + "#app=nothing")
        self.assertEqual(self.shown_app(), "safari")
        # Editing the fragment by hand switches too.
        self.driver.execute_script("location.hash = '#app=messages'")
        self.wait(5).until(lambda d: self.shown_app() == "messages")

    def notice(self, address):
        self.driver.get(address)
        notice = self.wait(10).until(
            lambda d: d.find_element(By.ID, "notice").is_displayed() and d.find_element(By.ID, "notice"))
        return notice.text

    def test_a_missing_or_stale_token_says_how_to_get_a_new_address(self):
        base = f"http://127.0.0.1:{self.served.port}/"
        for name, address in [("missing", base), ("stale", base + "?token=" + "0" * 32),
                              ("stale with an app", base + "?token=" + "1" * 32 + "#app=feed")]:
            with self.subTest(name):
                text = self.notice(address)
                self.assertIn("vorla-sim --serve", text)
                self.assertIn("address it prints", text)
                self.assertIn("no token" if name == "missing" else "no longer valid", text)
                self.assertNotIn("trying again", self.driver.find_element(By.ID, "status").text)
                self.assertEqual(self.driver.find_element(By.ID, "notice").get_attribute("role"),
                                 "alert")

    def test_a_stopped_server_is_said_to_be_lost_with_what_to_do(self):
        self.open()
        self.served.stop()
        status = self.wait(10).until(lambda d: d.find_element(By.ID, "status").text)
        self.assertIn("lost", status)
        self.assertIn("vorla-sim --serve", status)


if __name__ == "__main__":
    unittest.main()
