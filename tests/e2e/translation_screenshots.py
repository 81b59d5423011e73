#!/usr/bin/env python3
"""Screenshots of every page, question and box of an installer built with
--language all, in each language of translations/ on a system of that
language, for a reviewer or a translator to look at: whether each text fits
its label or button, wraps within it, and is never cut. Not a test of the
suite: it asserts only that each screen shows its table's texts.

Run it like an end-to-end test (see README.md), with the same arguments;
one language with e.g. TranslationScreenshots.test_de. Each language's
screens are kept in ARTIFACTS/translation_screenshots/test_<tag>/, and the
wizard's part of them side by side in sheet.png there."""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
sys.path.insert(0, HERE)
import e2ecase  # noqa: E402
import payloads  # noqa: E402
import setuprun  # noqa: E402
import translations  # noqa: E402
from installer import Installer  # noqa: E402
from setuprun import SetupRun  # noqa: E402
from wineenv import wait_for  # noqa: E402

TABLES = {table.tag: table.texts
          for table in translations.read_folder(os.path.join(HERE, "..", "..", "translations"))[1]}
# The system of each language, by the locale Wine takes it from.
LOCALES = {"en": None, "de": "de_DE.UTF-8", "fr": "fr_FR.UTF-8", "es": "es_ES.UTF-8", "it": "it_IT.UTF-8",
           "pt-BR": "pt_BR.UTF-8", "nl": "nl_NL.UTF-8", "pl": "pl_PL.UTF-8", "ru": "ru_RU.UTF-8",
           "ja": "ja_JP.UTF-8", "zh-CN": "zh_CN.UTF-8"}
# The wizard and the boxes over it, on the 1024 x 768 screen.
WIZARD_AREA = "440x320+292+240"


class TranslationScreenshots(e2ecase.SessionTestCase):

    def screens(self, tag):
        texts = TABLES[tag]
        staging = os.path.join(self.artifacts, "files")
        os.makedirs(staging, exist_ok=True)
        with open(os.path.join(staging, "ReadMe.txt"), "wb") as f:
            f.write(b"Licence terms\r\n")
        files = [os.path.join(staging, "ReadMe.txt")] + [payloads.sample_file(e2ecase.PATHS, name)
                                                         for name in ("Aurora.scr", "Lmunist.exe", "Install.exe")]
        path = payloads.installer_with(e2ecase.PATHS, self.artifacts, "setup.exe",
                                       payloads.settings(ShowReadMe="True", ReadMeFile="ReadMe.txt"), files,
                                       ("--language", "all"))
        self.session.use_locale(LOCALES[tag])
        setuprun.replace_rundll32(self, e2ecase.PATHS)
        shots = []

        def shot(name):
            self.session.wait_idle()
            shots.append(self.screenshot(name))

        def press(key):
            letter = translations.accelerator(texts[key])
            if letter.isascii():
                run.wizard.key("alt+" + letter.lower())
            else:
                # The X keyboard map has no Cyrillic keys: the message an
                # Alt+letter of a Russian keyboard makes.
                self.session.post(run.wizard.window()["hwnd"], "WM_SYSCHAR", "0x%x" % ord(letter), "0x20000001")

        run = SetupRun(self, path, "setup.exe", title=texts["main.caption"])
        run.wizard.wait_page("1")
        self.assertEqual(run.wizard.window()["text"], texts["wizard.caption"])
        shot("1-statements")
        press("button.yes")
        run.wizard.wait_page("2")
        shot("2-folder")
        press("button.next")
        run.wizard.wait_page("4")
        shot("3-summary")
        press("button.cancel")
        box = run.wait_box()
        self.assertEqual((box["caption"], box["text"]), (texts["box.warning"], texts["message.leave"]))
        shot("4-question")
        run.answer(box, texts["button.no"])
        press("button.next")
        box = run.wait_box()
        self.assertEqual((box["caption"], box["text"]), (texts["box.warning"], texts["message.activex_caution"]))
        shot("5-caution")
        run.answer(box, texts["box.ok"])
        # The ActiveX stand-in's box is the system's, with its buttons in the
        # system's language ("Aceptar" on a Spanish one).
        box = run.wait_activex_box()
        run.answer(box, box["buttons"][0])
        shot("6-final")
        press("button.finish")
        run.wizard.wait_exit_without_boxes(0)

        # The list of switches, a box of its own.
        help_run = Installer(self.session, path, "help.exe").start("/?")
        box = wait_for(lambda: self.session.message_boxes(pid=help_run.pid), 60, "the /? box")[0]
        self.assertEqual((box["caption"], box["text"].replace("\n", "")),
                         (texts["box.information"], texts["switches.help"].replace("\n", "")))
        self.session.wait_idle()
        shots.append(self.screenshot("7-switches"))
        crops = []
        for path_ in shots:
            crop = path_[:-4] + "-wizard.png"
            area = WIZARD_AREA if not path_.endswith("7-switches.png") else "600x400+212+184"
            subprocess.run(["convert", path_, "-crop", area, "+repage", crop], check=True)
            crops.append(crop)
        subprocess.run(["convert", *crops[:4], "+append", os.path.join(self.artifacts, "row1.png")], check=True)
        subprocess.run(["convert", *crops[4:], "+append", os.path.join(self.artifacts, "row2.png")], check=True)
        subprocess.run(["convert", os.path.join(self.artifacts, "row1.png"), os.path.join(self.artifacts, "row2.png"),
                        "-append", os.path.join(self.artifacts, "sheet.png")], check=True)


for _tag in LOCALES:
    setattr(TranslationScreenshots, "test_" + _tag.replace("-", "_"),
            lambda self, tag=_tag: self.screens(tag))


if __name__ == "__main__":
    e2ecase.main()
