"""vorla-sim reads enable keys of any kind as the library does and takes its command line as
people type it; scripts/demo keeps the user's settings and its standard output for the report."""

import itertools
import json
import os
import plistlib
import shutil
import stat
import subprocess
import tempfile
import unittest

SIM = os.environ["VORLA_SIM"]
SOURCE = os.environ["VORLA_SOURCE_DIR"]
EXAMPLE = os.path.join(SOURCE, "examples", "settings.plist")
SETTINGS_UNDER_ROOT = "var/mobile/Library/Preferences/com.pellobrast.vorla.plist"


def run(*command, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=120, **options)


def hooks_of(report):
    return [hook for section in report["sections"] for hook in section["hooks"]]


class SimOptionsTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="vorla-sim-options-")
        self.addCleanup(shutil.rmtree, self.root, True)
        self.settings = os.path.join(self.root, SETTINGS_UNDER_ROOT)
        os.makedirs(os.path.dirname(self.settings))

    def report(self, *words):
        result = run(SIM, "--root=" + self.root, "--format=json", *words)
        self.assertEqual(result.returncode, 0, result.stderr)
        return json.loads(result.stdout)

    def test_enable_keys_of_any_kind_read_as_the_library_reads_them(self):
        apps = ["camera", "cydia", "feed"]
        keys = sorted({h["enableKey"] for h in hooks_of(self.report(*apps)) if h["enableKey"]})
        readings = [({"a": 1}, False), ([1], False), (b"data", False), ("YES", True), (1, True)]
        chosen = dict(zip(keys, itertools.cycle(readings)))
        with open(self.settings, "wb") as f:
            plistlib.dump({key: value for key, (value, _) in chosen.items()}, f)
        for hook in hooks_of(self.report(*apps)):
            if hook["enableKey"] in chosen and hook["status"] != "class-absent":
                with self.subTest(hook["enableKey"]):
                    on = chosen[hook["enableKey"]][1]
                    self.assertEqual(hook["status"] == "key-off", not on, hook)

    def test_texts_are_shown_escaped_on_one_line(self):
        with open(self.settings, "wb") as f:
            plistlib.dump({"EnableNoSIM": True, "NoSIM": 'two\nlines "q"'}, f)
        shown = run(SIM, "--root", self.root, "springboard").stdout
        self.assertIn('host got "two\\nlines \\"q\\""', shown)

    def test_app_names_fold_case_merge_and_take_the_settings_alias(self):
        report = self.report("SAFARI", "safari", "Settings", "preferences")
        self.assertEqual([s["app"] for s in report["sections"]], ["safari", "every", "preferences"])
        self.assertEqual(report["summary"]["hooks"], len(hooks_of(report)))
        usage = run(SIM, "--help").stdout
        names = run(SIM, "notes").stderr.split("the apps are")[1].split("(")[0].split()
        self.assertTrue(names and all(name in usage for name in names + ["settings"]), usage)

    def test_refusals_in_the_simulator_s_own_words(self):
        refusals = {
            ("--format=", "cydia"): "--format needs a value, not an empty one",
            ("--root=", "cydia"): "--root needs a value, not an empty one",
            ("cydia", "--format"): "--format needs a value",
            ("cydia", "-x"): "unknown option -x",
            ("--serve=1",): "unknown option --serve=1",
            ("--watch", "safari", "--watch=phone"): "--watch takes one app",
            ("--format", "json", "--format", "pdf"): 'unknown format "pdf" (text, json or html)',
        }
        for words, message in refusals.items():
            with self.subTest(words=words):
                # In a folder of its own: a refusal taken for a root would be made there.
                result = run(SIM, *words, cwd=self.root)
                refusal = (f"vorla-sim: {message}"
                           f" (vorla-sim --help shows the usage)\n")
                self.assertEqual((result.returncode, result.stdout, result.stderr),
                                 (2, "", refusal))
        self.assertEqual(os.listdir(self.root), ["var"])

    def test_the_last_value_counts_and_help_is_anywhere(self):
        report = self.report("--format", "html", "cydia", "--format=text", "--format", "json")
        self.assertEqual([s["app"] for s in report["sections"]], ["cydia", "every"])
        usage = run(SIM, "--help").stdout
        for words in (["cydia", "--help"], ["--bogus", "-h"], ["--format", "pdf", "-h"],
                      ["-h", "--root"]):
            self.assertEqual(run(SIM, *words).stdout, usage, words)
        taken = run(SIM, "--settings", "--root", cwd=self.root)
        self.assertEqual(taken.stderr,
                         "vorla-sim: cannot read the settings file --root: no such file\n")

    def test_options_after_watch_are_options(self):
        process = subprocess.Popen([SIM, "--watch", "--settings", EXAMPLE, "safari"],
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            lines = iter(process.stdout.readline, "")
            self.assertTrue(any(line.startswith("Watching") for line in lines))
        finally:
            process.terminate()
            process.communicate(timeout=10)


class DemoScriptTest(unittest.TestCase):
    """scripts/demo, run in a copy of the tree with the build and the simulator stood in for."""

    def setUp(self):
        self.tree = tempfile.mkdtemp(prefix="vorla-demo-")
        self.addCleanup(shutil.rmtree, self.tree, True)
        stubs = {"scripts/deps": "echo installing",
                 "bin/cmake": "echo building",
                 "build/tools/vorla-sim": 'echo "{\\"report\\": \\"$*\\"}"'}
        for path, body in stubs.items():
            full = os.path.join(self.tree, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w") as f:
                f.write("#!/bin/sh\n" + body + "\n")
            os.chmod(full, stat.S_IRWXU)
        shutil.copy(os.path.join(SOURCE, "scripts", "demo"), os.path.join(self.tree, "scripts"))
        self.edited = os.path.join(self.tree, "build", "device-root", "edited")
        os.makedirs(os.path.dirname(self.edited))
        open(self.edited, "w").close()

    def demo(self, *words):
        env = dict(os.environ, PATH=os.path.join(self.tree, "bin") + ":" + os.environ["PATH"])
        return run(os.path.join(self.tree, "scripts", "demo"), *words, env=env)

    def test_only_the_report_on_stdout_and_edits_kept_unless_reset(self):
        result = self.demo("--format", "json")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(json.loads(result.stdout), {"report": "--format json"})
        self.assertIn("building", result.stderr)
        self.assertIn(SETTINGS_UNDER_ROOT, result.stderr)
        self.assertTrue(os.path.exists(self.edited))
        self.assertEqual(self.demo("--reset", "safari").stdout, '{"report": "safari"}\n')
        self.assertFalse(os.path.exists(self.edited))


if __name__ == "__main__":
    unittest.main()
