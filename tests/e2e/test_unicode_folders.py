#!/usr/bin/env python3
"""Names and texts on every code page. A user whose temporary folder has
letters the ANSI code page lacks: the user's environment in the prefix's
registry (HKCU\\Environment, where Windows programs look) names
C:\\users\\<name>\\Temp for a name of Cyrillic and one of Greek letters, on
Wine's Western code page. The whole run works there: the payload is restored
into that folder, Setup.ins, the picture and the read-me are read from it,
the installation copies from it and leaves the uninstall entry pointing at
the installed uninstaller. A Western picture name on a Japanese system (code
page 932) is restored and shown under the name the system makes of it, and a
screensaver name whose last four characters hold a Western letter gives the
uninstaller copy, the info file and the uninstall entry one base name.

Installers that speak the user's language (build --language): one with
German and Japanese texts on a German and on a Japanese system, every page,
question and box in that language, driven by its translated access keys
through the installation; one without translations stays English on a German
system; and a Russian one takes the Cyrillic letters of its captions as
access keys."""
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))
sys.path.insert(0, HERE)
import e2ecase  # noqa: E402
import payloads  # noqa: E402
import setuprun  # noqa: E402
from installer import EXIT_CANCELLED, EXIT_INSTALLED, Installer, extraction_folders  # noqa: E402
from setuprun import SetupRun, install_through, read_file, uninstall_key  # noqa: E402
from wineenv import wait_for  # noqa: E402

sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
import translations  # noqa: E402

# 8-bit text of the Western code page, which stays 8-bit in the memo.
READ_ME = ["Welcome to the Lumora screensaver.", "Gr\xfc\xdfe aus K\xf6ln!"]
TITLE = "Aurora f\xfcr alle"

# Texts in other scripts: "Northern lights", "(c) Ivan Petrov", a read-me in
# Russian and Japanese, and the screensaver "Glow", in Russian; "Aurora" in
# Japanese.
NORTHERN_LIGHTS = "\u0421\u0435\u0432\u0435\u0440\u043d\u043e\u0435 \u0441\u0438\u044f\u043d\u0438\u0435"
AURORA = "\u30aa\u30fc\u30ed\u30e9"
FOOTER = "\u00a9 \u0418\u0432\u0430\u043d \u041f\u0435\u0442\u0440\u043e\u0432, 2026"
SCRIPTS_READ_ME = ["\u0414\u043e\u0431\u0440\u043e \u043f\u043e\u0436\u0430\u043b\u043e\u0432\u0430\u0442\u044c!",
                   "\u30aa\u30fc\u30ed\u30e9\u3078\u3088\u3046\u3053\u305d"]
SAVER = "\u0421\u0438\u044f\u043d\u0438\u0435"
# A Polish author's texts in code page 1250: "Aurora - firefly", the
# screensaver "Dawn", the publisher "Firefly Studio" and a read-me that
# holds every Polish letter beyond ASCII.
POLISH_TITLE = "Zorza \u2013 \u015awietlik"
POLISH_FOOTER = "\u00a9 \u015awietlik Studio 2026"
POLISH_READ_ME = ["Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144"]
POLISH_SAVER = "\u015awit"
PUBLISHER = "\u015awietlik Studio"
# Wine's trace (trace+font) of a font asked for, of the file it chose for
# one asked for first, of the font selected into a context, and of a text
# drawn with it: NtGdiExtTextOutW ... L"...", characters beyond ASCII as
# \XXXX.
ASKED = re.compile(r'font_SelectFont L"([^"]*)", (h=.*?) orient')
CHOSEN = re.compile(r'select_font Chosen: .*?\(L"\\\\\?\?\\\\Z:([^"]*)"')
SELECTED = re.compile(r'font_SelectFont 0x[0-9a-f]+ L"')
DRAWN = re.compile(r'NtGdiExtTextOutW .*?L"((?:[^"\\]|\\.)*)"')


def drawn_texts(trace):
    """{text: the font file of this machine it was drawn with (None for one
    of the prefix's own)} of every text drawn, as Wine traced it."""
    files, asked, current, drawn = {}, None, None, {}
    for line in trace.splitlines():
        if ASKED.search(line):
            asked = ASKED.search(line).groups()
        elif CHOSEN.search(line) and asked:
            files[asked] = CHOSEN.search(line).group(1).replace("\\\\", "/")
        elif SELECTED.search(line):
            current = files.get(asked)
        elif DRAWN.search(line):
            text = re.sub(r"\\([0-9a-f]{4})", lambda m: chr(int(m.group(1), 16)), DRAWN.search(line).group(1))
            drawn[text] = current
    return drawn


def has_every_glyph(font_file, text):
    """Whether the font file has a glyph for every character of `text`, as
    fontconfig, through which Wine finds the machine's fonts, tells."""
    codes = " ".join("%x" % ord(c) for c in set(text) if c != " ")
    listed = subprocess.run(["fc-list", ":file=%s:charset=%s" % (font_file, codes), "file"], capture_output=True,
                            text=True, check=True).stdout
    return bool(font_file) and font_file in listed


class UnicodeFoldersTest(e2ecase.SessionTestCase):

    def use_temporary_folder(self, user):
        """Makes C:\\users\\<user>\\Temp and names it as the user's TEMP and
        TMP in the registry; returns the folder on this machine."""
        folder = os.path.join(self.session.prefix, "drive_c", "users", user, "Temp")
        os.makedirs(folder, exist_ok=True)
        windows = "C:\\\\users\\\\%s\\\\Temp" % user
        text = ("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Environment]\r\n"
                '"TEMP"="%s"\r\n"TMP"="%s"\r\n' % (windows, windows))
        with open(os.path.join(self.session.prefix, "drive_c", "environment.reg"), "wb") as f:
            f.write(b"\xff\xfe" + text.encode("utf-16-le"))
        rc, out = self.session.run("regedit", "/s", "C:\\environment.reg")
        self.assertEqual(rc, 0, out)
        return folder

    def installer(self):
        staging = os.path.join(self.artifacts, "payload")
        os.makedirs(staging, exist_ok=True)
        with open(os.path.join(staging, "ReadMe.txt"), "wb") as f:
            f.write("".join(line + "\r\n" for line in READ_ME).encode("latin-1"))
        files = [os.path.join(staging, "ReadMe.txt")]
        for name in ("Aurora.scr", "Lmunist.exe", "Install.exe"):
            files.append(payloads.sample_file(e2ecase.PATHS, name))
        settings = payloads.settings(ShowReadMe="True", ReadMeFile="ReadMe.txt", TitleText=TITLE)
        return payloads.installer_with(e2ecase.PATHS, self.artifacts, "unicode-setup.exe", settings, files)

    def check_whole_run(self, user):
        folder = self.use_temporary_folder(user)
        path = self.installer()
        setuprun.replace_rundll32(self, e2ecase.PATHS)
        setuprun.write_trace(self.session, setuprun.EARLIER_TRACE)
        # No message on the way: the restore and the settings succeeded.
        run = SetupRun(self, path, "unicode-setup.exe")
        [extraction] = extraction_folders(self.session, folder)
        for name in ("cd.jpg", "Aurora.scr", "Lmunist.exe", "Install.exe", "ReadMe.txt", "Setup.ins"):
            self.assertTrue(os.path.isfile(os.path.join(extraction, name.lower())), "%s not restored" % name)

        # The read-me, read from the folder, in the statements memo.
        run.wizard.wait_page("1")
        self.assertEqual(run.wizard.memo_lines("1"), READ_ME)
        # The picture, read from the folder, at the top right of the
        # backdrop: not the red of the gradient beside it. The main window's
        # place is read now it is maximised: when it first showed, it may
        # still have had its designed size.
        self.assertTrue(self.picture_shown(run, "statements"), "no picture at the top right")

        run.wizard.key("alt+y")
        install_through(run)
        target = run.wizard.label4()
        windows = os.path.join(self.session.prefix, "drive_c", "windows")
        self.assertEqual(read_file(os.path.join(windows, "Aurora.scr")),
                         read_file(payloads.sample_file(e2ecase.PATHS, "Aurora.scr")))
        self.assertEqual(read_file(os.path.join(windows, "Aurora.exe")),
                         read_file(payloads.sample_file(e2ecase.PATHS, "Lmunist.exe")))
        values = wait_for(lambda: self.session.reg_query(uninstall_key("Aurora")), 60, "the uninstall entry")
        self.assertEqual(values["UninstallString"], target + "\\Aurora.exe")
        self.assertEqual(self.session.find_host_path(values["UninstallString"]), os.path.join(windows, "Aurora.exe"))
        run.finish()
        self.assertEqual(os.listdir(folder), [])

    def picture_shown(self, run, shot):
        """The backdrop's picture at the top right: not the colour of the
        gradient beside it."""
        hwnd = run.wizard.main["hwnd"]
        wait_for(lambda: self.session.window(hwnd)["zoomed"], 60, "the main window to be maximised")
        main = self.session.window(hwnd)["rect"]
        self.screenshot(shot)
        picture_row = self.session.screen_pixels([main[2] - 150, main[1] + 100, main[2] - 149, main[1] + 101])
        gradient_row = self.session.screen_pixels([main[0] + 300, main[1] + 100, main[0] + 301, main[1] + 101])
        return picture_row != gradient_row

    def sample_copy(self, name, as_name):
        """A copy of the sample payload's file `name` named `as_name`, in the
        test's staging folder; returns its path."""
        staging = os.path.join(self.artifacts, "payload")
        os.makedirs(staging, exist_ok=True)
        copy = os.path.join(staging, as_name)
        with open(payloads.sample_file(e2ecase.PATHS, name), "rb") as f, open(copy, "wb") as g:
            g.write(f.read())
        return copy

    def test_a_western_picture_name_on_a_japanese_system(self):
        # The picture comes before Setup.ins: a name that ended the restore
        # would leave the settings unread.
        picture = self.sample_copy("cd.jpg", "caf\u00e9.jpg")
        settings = payloads.write_settings(os.path.dirname(picture),
                                           payloads.settings(ImageFile="caf\xe9.jpg", CustomImageFile="caf\xe9.jpg"))
        files = [picture, settings] + [payloads.sample_file(e2ecase.PATHS, name)
                                       for name in ("Aurora.scr", "Lmunist.exe", "Install.exe")]
        path = payloads.pack(files, self.artifacts, "cafe-setup.exe", e2ecase.PATHS.setuppack, e2ecase.PATHS.stub)
        self.session.env["LC_ALL"] = "ja_JP.UTF-8"
        # No message on the way: every file was restored, Setup.ins read.
        run = SetupRun(self, path, "cafe-setup.exe")
        [folder] = extraction_folders(self.session)
        names = os.listdir(folder)
        self.assertEqual(len(names), 5, names)
        # The installer records the code page of its name, 1252.
        self.assertIn("caf\u00e9.jpg", names, "the name was made on code page 932")
        self.assertTrue(self.picture_shown(run, "picture"), "no picture at the top right")

    def test_a_western_letter_in_the_screensavers_last_four_characters(self):
        saver = self.sample_copy("Aurora.scr", "Aurora.sc\u00e9")
        path = payloads.installer_with(e2ecase.PATHS, self.artifacts, "sce-setup.exe",
                                       payloads.settings(ScreenSaverFile="Aurora.sc\xe9"),
                                       [saver] + [payloads.sample_file(e2ecase.PATHS, name)
                                                  for name in ("Lmunist.exe", "Install.exe")])
        setuprun.replace_rundll32(self, e2ecase.PATHS)
        run = SetupRun(self, path, "sce-setup.exe")
        install_through(run)
        windows = os.path.join(self.session.prefix, "drive_c", "windows")
        self.assertEqual(read_file(os.path.join(windows, "Aurora.sc\u00e9")), read_file(saver))
        self.assertEqual(read_file(os.path.join(windows, "Aurora.exe")),
                         read_file(payloads.sample_file(e2ecase.PATHS, "Lmunist.exe")))
        self.assertTrue(os.path.isfile(os.path.join(windows, "Aurora.nfo")))
        values = wait_for(lambda: self.session.reg_query(uninstall_key("Aurora")), 60, "the uninstall entry")
        self.assertEqual(self.session.find_host_path(values["UninstallString"]), os.path.join(windows, "Aurora.exe"))
        run.finish()

    def scripts_installer(self, name, codepage, title, footer, read_me, saver, options=()):
        """An installer of the sample's files with the title, footer, read-me
        and screensaver name given, its texts written with --codepage, built
        with the `options` given."""
        encoding = "utf-8" if codepage == "utf-8" else "cp" + codepage
        staging = os.path.join(self.artifacts, name + ".files")
        os.makedirs(staging, exist_ok=True)
        settings = payloads.settings(TitleText=title, FooterText=footer, ScreenSaverFile=saver + ".scr",
                                     ShowReadMe="True", ReadMeFile="ReadMe.txt")
        with open(os.path.join(staging, "Setup.ins"), "wb") as f:
            f.write("".join(line + "\r\n" for line in settings).encode(encoding))
        with open(os.path.join(staging, "ReadMe.txt"), "wb") as f:
            f.write("".join(line + "\r\n" for line in read_me).encode(encoding))
        files = [os.path.join(staging, "Setup.ins"), os.path.join(staging, "ReadMe.txt"),
                 self.sample_copy("Aurora.scr", saver + ".scr")]
        files += [payloads.sample_file(e2ecase.PATHS, f) for f in ("cd.jpg", "Lmunist.exe", "Install.exe")]
        return payloads.pack(files, self.artifacts, name, e2ecase.PATHS.setuppack, e2ecase.PATHS.stub,
                             ("--codepage", codepage, *options))

    def first_page_on(self, locale, code_page, path, name, shot, args=(), title=setuprun.MAIN_TITLE):
        """Runs the installer with `args` on a system of the locale (its ANSI
        code page checked) to the wizard's first page, in the main window
        titled `title`, with Wine's trace of every text drawn; returns the
        read-me as the memo holds it and the texts drawn. The installer is
        ended with the session's server."""
        self.session.use_locale(locale)
        self.assertEqual(self.session.driver("code-page")["ansi"], code_page)
        self.session.env["WINEDEBUG"] = "trace+font"
        try:
            installer = Installer(self.session, path, name).start(*args)
        finally:
            self.session.env["WINEDEBUG"] = "-all"
        run = SetupRun(self, installer=installer, title=title)
        run.wizard.wait_page("1")
        read_me = run.wizard.memo_lines("1")
        self.screenshot(shot)
        self.session.use_locale(None)
        with open(installer.proc.log_path, "rb") as f:
            return read_me, drawn_texts(f.read().decode("latin-1"))

    def assert_drawn_in_glyphs(self, drawn, texts):
        """Each text was drawn, as written, in a font with its glyphs."""
        for text in texts:
            self.assertIn(text, drawn)
            self.assertTrue(has_every_glyph(drawn[text], text), "%r drawn in %s" % (text, drawn[text]))

    def test_texts_in_other_scripts_on_other_systems(self):
        # An installer of code page 1251 on a Russian system: its title,
        # footer and read-me as written.
        cyrillic = self.scripts_installer("cp1251-setup.exe", "1251", NORTHERN_LIGHTS, FOOTER, SCRIPTS_READ_ME[:1],
                                          SAVER)
        read_me, drawn = self.first_page_on("ru_RU.UTF-8", 1251, cyrillic, "cp1251-setup.exe", "1251-on-1251")
        self.assertEqual(read_me, SCRIPTS_READ_ME[:1])
        self.assert_drawn_in_glyphs(drawn, [NORTHERN_LIGHTS, FOOTER])

        # One of UTF-8 texts in two scripts, on a Western and a Japanese
        # system alike.
        title, footer = NORTHERN_LIGHTS + " " + AURORA, FOOTER + " " + AURORA
        unicode = self.scripts_installer("utf8-setup.exe", "utf-8", title, footer, SCRIPTS_READ_ME, SAVER)
        for locale, code_page in ((None, 1252), ("ja_JP.UTF-8", 932)):
            with self.subTest(code_page=code_page):
                read_me, drawn = self.first_page_on(locale, code_page, unicode, "utf8-setup.exe",
                                                    "utf8-on-%d" % code_page)
                self.assertEqual(read_me, SCRIPTS_READ_ME)
                # The memo draws its lines in runs (a word, then the
                # punctuation): its Japanese line is one word.
                self.assert_drawn_in_glyphs(drawn, [title, footer, SCRIPTS_READ_ME[1]])

        # Installed without windows on the Western system: the names as
        # written, the info file in UTF-8, the uninstall entry in Unicode.
        installer = Installer(self.session, unicode, "utf8-setup.exe")
        self.assertEqual(self.session.run(installer.windows_path, "/S", timeout=300)[0], 0)
        windows = os.path.join(self.session.prefix, "drive_c", "windows")
        self.assertEqual(read_file(os.path.join(windows, SAVER + ".scr")),
                         read_file(payloads.sample_file(e2ecase.PATHS, "Aurora.scr")))
        self.assertEqual(read_file(os.path.join(windows, SAVER + ".exe")),
                         read_file(payloads.sample_file(e2ecase.PATHS, "Lmunist.exe")))
        self.assertEqual(read_file(os.path.join(windows, SAVER + ".nfo")),
                         ("\ufeff%s.scr\r\nC:\\windows\r\n" % SAVER).encode("utf-8"))
        values = setuprun.export_key(self.session, uninstall_key(SAVER))
        self.assertEqual(values["DisplayName"], SAVER + " Uninstall")
        self.assertEqual(values["UninstallString"], "C:\\\\windows\\\\%s.exe" % SAVER)

        # The sample uninstaller reads the info file and removes it all.
        self.assertEqual(self.session.run(os.path.join(windows, SAVER + ".exe"), "/S", timeout=120)[0], 0)
        self.assertEqual([n for n in os.listdir(windows) if n.startswith(SAVER)], [])
        self.assertIsNone(setuprun.export_key(self.session, uninstall_key(SAVER)))

    def test_a_polish_installer_of_code_page_1250_on_a_japanese_system(self):
        texts = {table.tag: table.texts for table in translations.read_folder(
            os.path.join(HERE, "..", "..", "translations"))[1]}
        path = self.scripts_installer("pl-setup.exe", "1250", POLISH_TITLE, POLISH_FOOTER, POLISH_READ_ME,
                                      POLISH_SAVER, ("--language", "de,ja,pl", "--product", "Zorza",
                                                     "--publisher", PUBLISHER))
        # Its texts in Polish, as /LANG=pl asks, and its own texts drawn as
        # written, though the system's code page is 932.
        read_me, drawn = self.first_page_on("ja_JP.UTF-8", 932, path, "pl-setup.exe", "1250-on-932-lang-pl",
                                            ("/LANG=pl",), texts["pl"]["main.caption"])
        self.assertEqual(read_me, POLISH_READ_ME)
        self.assert_drawn_in_glyphs(drawn, [POLISH_TITLE, POLISH_FOOTER, texts["pl"]["wizard.caption"]])

        # Installed without windows on the Japanese system, a tag it does not
        # know falling back: the names as written, the info file in UTF-8, the
        # entry's Publisher right.
        self.session.use_locale("ja_JP.UTF-8")
        installer = Installer(self.session, path, "pl-setup.exe")
        rc, _ = self.session.run(installer.windows_path, "/S", "/LANG=xx", "/LOG=C:\\pl.log", timeout=300)
        self.assertEqual(rc, EXIT_INSTALLED)
        log = [line.split(" ", 2)[2] for line in
               read_file(self.session.host_path("C:\\pl.log")).decode("utf-8").splitlines()]
        self.assertIn("language: /LANG=xx names no language this installer knows: the user's language", log)
        self.assertIn("code page: the texts are read in code page 1250", log)
        windows = os.path.join(self.session.prefix, "drive_c", "windows")
        self.assertEqual(read_file(os.path.join(windows, POLISH_SAVER + ".nfo")),
                         ("\ufeff%s.scr\r\nC:\\windows\r\n" % POLISH_SAVER).encode("utf-8"))
        values = setuprun.export_key(self.session, uninstall_key(POLISH_SAVER))
        self.assertEqual((values["DisplayName"], values["Publisher"]), ("Zorza", PUBLISHER))

        # The uninstaller in Japanese, titled by the product; No keeps all.
        uninstaller = os.path.join(windows, POLISH_SAVER + ".exe")
        for locale, tag in (("ja_JP.UTF-8", "ja"), ("de_DE.UTF-8", "de")):
            self.session.use_locale(locale)
            caption = texts[tag]["uninstall.caption"].replace("%s", "Zorza")
            proc = self.session.start(uninstaller)
            box = self.session.settled_message_box(self.session.wait_for_window(caption, timeout=60)["hwnd"])
            self.assertEqual(box["text"], texts[tag]["uninstall.confirm"].replace(
                "%s", "Zorza", 1).replace("%s", "C:\\windows\\%s.scr" % POLISH_SAVER, 1))
            self.screenshot("uninstaller-" + tag)
            self.session.driver("click-button", box["hwnd"], box["buttons"][0 if tag == "de" else 1])
            self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)
        # Yes in German: the finisher's report in German.
        report = self.session.settled_message_box(self.session.wait_for_window(caption, timeout=60)["hwnd"])
        self.assertEqual(report["text"], texts["de"]["uninstall.removed"].replace("%s", "Zorza"))
        self.screenshot("uninstaller-de-report")
        self.session.driver("click-button", report["hwnd"], report["buttons"][0])
        wait_for(lambda: setuprun.export_key(self.session, uninstall_key(POLISH_SAVER)) is None, 60,
                 "the entry to go")

    def translated_installer(self, name, languages=None):
        """An installer of the sample's files that opens on its statements
        page, built with --language `languages` (none: without it)."""
        staging = os.path.join(self.artifacts, name + ".files")
        os.makedirs(staging, exist_ok=True)
        with open(os.path.join(staging, "ReadMe.txt"), "wb") as f:
            f.write(b"Licence terms\r\n")
        files = [os.path.join(staging, "ReadMe.txt")] + [payloads.sample_file(e2ecase.PATHS, f)
                                                         for f in ("Aurora.scr", "Lmunist.exe", "Install.exe")]
        return payloads.installer_with(e2ecase.PATHS, self.artifacts, name,
                                       payloads.settings(ShowReadMe="True", ReadMeFile="ReadMe.txt"), files,
                                       ("--language", languages) if languages else ())

    def assert_box(self, run, caption, text, buttons):
        box = run.wait_box()
        self.assertEqual((box["caption"], box["text"], box["buttons"]), (caption, text, buttons))
        return box

    def install_in(self, locale, path, name, texts, shot):
        """Runs the installer on a system of `locale` from its statements page
        through the installation to its end, by the access keys of the table
        `texts` ({key: text}), and checks every page, question and box shows
        that table's texts."""
        def press(key):
            run.wizard.key("alt+" + translations.accelerator(texts[key]).lower())

        self.session.use_locale(locale)
        setuprun.replace_rundll32(self, e2ecase.PATHS)
        run = SetupRun(self, path, name, title=texts["main.caption"])
        wizard = run.wizard
        wizard.wait_page("1")
        self.assertEqual(wizard.window()["text"], texts["wizard.caption"])
        self.assertEqual(wizard.controls("1", "Static")[0]["text"], texts["wizard.statements"])
        self.screenshot(shot + "-page-1")
        press("button.yes")
        wizard.wait_page("2")
        self.assertEqual([w["text"] for w in wizard.controls("2", "Static")][0], texts["wizard.default_folder"])
        self.assertEqual(wizard.controls("2", "Button")[0]["text"], texts["wizard.path_box"])
        self.screenshot(shot + "-page-2")
        press("button.next")
        wizard.wait_page("4")
        self.assertEqual(wizard.controls("4", "Static")[0]["text"], texts["wizard.configured"])
        self.assertEqual(wizard.memo_lines("4"), [texts["summary.setup_type"], "  " + texts["summary.complete"], " ",
                                                  texts["summary.target_folder"], "  C:\\WINDOWS", " "])
        self.screenshot(shot + "-page-4")
        # The question, in the installer's words with its buttons; No stays.
        press("button.cancel")
        box = self.assert_box(run, texts["box.warning"], texts["message.leave"],
                              [texts["button.yes"], texts["button.no"]])
        self.screenshot(shot + "-question")
        run.answer(box, texts["button.no"])
        press("button.next")
        box = self.assert_box(run, texts["box.warning"], texts["message.activex_caution"], [texts["box.ok"]])
        self.screenshot(shot + "-caution")
        self.assertEqual(wizard.page(), "5")
        self.assertEqual(wizard.controls("5", "Static")[0]["text"], texts["wizard.finish_text"])
        run.answer(box, texts["box.ok"])
        run.dismiss_activex_box()
        self.session.wait_idle()
        self.screenshot(shot + "-page-5")
        windows = os.path.join(self.session.prefix, "drive_c", "windows")
        self.assertEqual(read_file(os.path.join(windows, "Aurora.scr")),
                         read_file(payloads.sample_file(e2ecase.PATHS, "Aurora.scr")))
        press("button.finish")
        wizard.wait_exit_without_boxes(EXIT_INSTALLED)
        self.assertIsNotNone(wait_for(lambda: self.session.reg_query(uninstall_key("Aurora")), 60,
                                      "the uninstall entry"))

    def test_installers_in_the_users_language(self):
        reference, tables, problems = translations.read_folder(os.path.join(HERE, "..", "..", "translations"))
        self.assertEqual(problems, [])
        texts = {table.tag: table.texts for table in tables}
        self.assertEqual(texts["de"]["button.next"], "&Weiter >")

        # Without --language, English on a German system: the main window's
        # title, the wizard's pages and the question with its buttons.
        english = self.translated_installer("english-setup.exe")
        self.session.use_locale("de_DE.UTF-8")
        run = SetupRun(self, english, "english-setup.exe")
        run.wizard.wait_page("1")
        self.assertEqual(run.wizard.window()["text"], "Setup Wizard")
        self.assertEqual(run.wizard.controls("1", "Static")[0]["text"], texts["en"]["wizard.statements"])
        run.wizard.key("alt+y")
        run.wizard.wait_page("2")
        run.wizard.key("alt+c")
        box = self.assert_box(run, "Warning", texts["en"]["message.leave"], ["&Yes", "&No"])
        self.screenshot("english-on-de")
        run.answer(box, "&Yes")
        self.assertEqual(run.installer.wait_exit(timeout=60), EXIT_CANCELLED)

        # One installer with German and Japanese texts, on a German and then
        # on a Japanese system (a prefix of its own each).
        both = self.translated_installer("de-ja-setup.exe", "de,ja")
        self.install_in("de_DE.UTF-8", both, "de-ja-setup.exe", texts["de"], "de")
        self.session.close()
        self.session.__enter__()
        self.install_in("ja_JP.UTF-8", both, "de-ja-setup.exe", texts["ja"], "ja")

    def test_cyrillic_access_keys(self):
        # xdotool types through the X keyboard map, which has no Cyrillic
        # keys here: the characters come as the messages an Alt+letter on a
        # Russian keyboard makes (WM_SYSCHAR with the letter's UTF-16 unit).
        ru = {table.tag: table.texts for table in translations.read_folder(
            os.path.join(HERE, "..", "..", "translations"))[1]}["ru"]
        path = self.translated_installer("ru-setup.exe", "ru")
        self.session.use_locale("ru_RU.UTF-8")
        run = SetupRun(self, path, "ru-setup.exe", title=ru["main.caption"])
        wizard = run.wizard
        wizard.wait_page("1")
        hwnd = wizard.window()["hwnd"]

        def alt(letter):
            self.session.post(hwnd, "WM_SYSCHAR", "0x%x" % ord(letter), "0x20000001")

        # Latin N and H, which look like the Cyrillic letter of "&Нет", are
        # no access keys; lower-case "д" is the one of "&Да". Messages are
        # handled in order: had N ended the installer, page 2 would never
        # show.
        self.assertEqual([translations.accelerator(ru[k]) for k in ("button.yes", "button.no", "button.back")],
                         ["\u0414", "\u041d", "\u0437"])
        alt("N")
        alt("H")
        alt("\u0434")
        wizard.wait_page("2")
        alt("\u0414")  # "&Далее >"
        wizard.wait_page("4")
        alt("\u0417")  # "< На&зад", in upper case
        wizard.wait_page("2")
        alt("\u043e")  # "&Отмена"
        box = self.assert_box(run, ru["box.warning"], ru["message.leave"], [ru["button.yes"], ru["button.no"]])
        self.screenshot("ru-question")
        run.answer(box, ru["button.yes"])
        self.assertEqual(run.installer.wait_exit(timeout=60), EXIT_CANCELLED)

    def test_a_user_name_of_cyrillic_letters(self):
        self.check_whole_run("\u0418\u0432\u0430\u043d")

    def test_a_user_name_of_greek_letters(self):
        self.check_whole_run("\u0395\u03bb\u03ad\u03bd\u03b7")


if __name__ == "__main__":
    e2ecase.main()
