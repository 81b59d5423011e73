#!/usr/bin/env python3
"""The check of the translation tables that the build runs
(scripts/translations.py): the tables of translations/ pass it, and each
fault a translator can make in a copy of them is refused with its file and
key.

Usage: translations_test.py SOURCE_DIR"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = None


def check(folder):
    done = subprocess.run([sys.executable, os.path.join(SOURCE, "scripts", "translations.py"), "check", folder],
                          capture_output=True, text=True, timeout=60)
    return done.returncode, done.stdout + done.stderr


class TranslationsTest(unittest.TestCase):

    def test_the_tables_pass(self):
        rc, said = check(os.path.join(SOURCE, "translations"))
        self.assertEqual(rc, 0, said)
        self.assertIn("11 tables of 37 texts, sound", said)

    def test_each_fault_is_refused(self):
        cases = [
            # what, file, the line changed (old, new), the words said
            ("a key left out", "de.txt", ("button.next=&Weiter >\n", ""), "de.txt: button.next is missing"),
            ("a value left out", "fr.txt", ("Remplace la version %s par %s", "Remplace la version %s"),
             "summary.replaces has ['%s'] where the English text has ['%s', '%s']"),
            ("one letter for two buttons of a page", "ru.txt", ("< На&зад", "< &Назад"),
             "button.back and button.no share the letter"),
            ("no letter to press", "ja.txt", ("完了(&F)", "完了"), "button.finish has no \"&\" letter"),
            ("a letter where English has none", "pl.txt", ("box.ok=OK", "box.ok=&OK"), "box.ok has an \"&\" letter"),
            ("a key of no text", "nl.txt", ("box.ok=OK", "box.okay=OK"), "box.okay is no key of en.txt"),
            ("a backslash that means nothing", "es.txt", ("Lumora Install Program:\\n", "Lumora Install Program:\\x"),
             "a backslash that is none of"),
            ("no language number", "it.txt", ("langid=0x0410", "langid=Italian"), "langid is no language number"),
            ("the number of another table", "pt-BR.txt", ("langid=0x0416", "langid=0x0407"),
             "langid 0x0407 is de's already"),
            ("a page of English that names no key", "en.txt", ("button.finish button.cancel", "button.end"),
             "@page names button.end, which is no key"),
        ]
        for what, name, (old, new), words in cases:
            with self.subTest(what), tempfile.TemporaryDirectory() as tmp:
                folder = os.path.join(tmp, "translations")
                shutil.copytree(os.path.join(SOURCE, "translations"), folder)
                path = os.path.join(folder, name)
                with open(path, encoding="utf-8") as f:
                    text = f.read()
                self.assertIn(old, text)
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text.replace(old, new, 1))
                rc, said = check(folder)
                self.assertEqual(rc, 1, said)
                self.assertIn(words, said)


if __name__ == "__main__":
    SOURCE = sys.argv[1]
    unittest.main(argv=sys.argv[:1] + sys.argv[2:], verbosity=2)
