#!/usr/bin/env python3
"""The installation as a user runs it under Wine (an NT-family system): the
wizard clicked through to its final page, and what the installation steps
leave behind: the screensaver and the uninstaller copy in the Windows
folder, the two-line info file, the uninstall entry, all in place before
the caution box that comes before the ActiveX update installer, the ActiveX stand-in's trace and
the command line of the screensaver registration through rundll32 (a
command recorder in place of the prefix's rundll32). Also a second run
after Back, a payload without the uninstaller (which installs nothing), and
"&Finish".

The target folder T is read from the wizard's folder page, where the
installer shows the Windows folder."""
import os
import re
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))
sys.path.insert(0, HERE)
import e2ecase  # noqa: E402
import payloads  # noqa: E402
from installer import EXIT_COPY_FAILED, extraction_folders  # noqa: E402
import setuprun  # noqa: E402
from driversession import centre  # noqa: E402
from setuprun import (ACTIVEX_CAPTION, ACTIVEX_EXE, APP_TITLE, CAUTION_CAPTION, CAUTION_TEXT,  # noqa: E402
                      EARLIER_TRACE, PRODUCT_PAGE_PATH, PUBLISHER, TRACE, TRACE_LINE, UNINSTALL_VALUES, SetupRun,
                      caption_pattern, changed_lines, exported_hklm, install_through, processes_named, read_file,
                      read_record, split_command_line, trace_lines, uninstall_key, uninstall_subkeys,
                      user_programs_folder, windows_folder_files)
from wineenv import SCREEN_HEIGHT, SCREEN_WIDTH, wait_for  # noqa: E402

ENTRY_POINT = "desk.cpl,InstallScreenSaver "


class InstallationTest(e2ecase.SessionTestCase):

    # ----- helpers ----------------------------------------------------------
    def program(self, name):
        return payloads.sample_file(e2ecase.PATHS, name)

    def installer_with(self, name, settings, files):
        """An installer made now: the sample's picture, `settings` as
        Setup.ins and `files` {name in the payload: source}."""
        staging = os.path.join(self.artifacts, name + ".payload")
        os.makedirs(staging, exist_ok=True)
        paths = []
        for payload_name, source in files.items():
            paths.append(os.path.join(staging, payload_name))
            shutil.copyfile(source, paths[-1])
        return payloads.installer_with(e2ecase.PATHS, self.artifacts, name, settings, paths)

    def start(self, path, name, before_start=None):
        """Puts the recorder in place of rundll32 and an earlier line into the
        trace, calls `before_start`, then starts the installer; returns the
        run."""
        setuprun.replace_rundll32(self, e2ecase.PATHS)
        setuprun.write_trace(self.session, EARLIER_TRACE)
        if before_start:
            before_start()
        return SetupRun(self, path, name)

    def target_folder(self, run):
        """T as the folder page shows it: the prefix's Windows folder,
        without a trailing backslash."""
        run.wizard.wait_page("2")
        target = run.wizard.label4()
        self.assertFalse(target.endswith("\\"), target)
        windows = os.path.join(self.session.prefix, "drive_c", "windows")
        self.assertEqual(self.session.find_host_path(target), windows,
                         "the folder page does not show the Windows folder: %r" % target)
        return target

    def in_target(self, target, name):
        return self.session.find_host_path(target + "\\" + name)

    def target_data(self, target, name):
        path = self.in_target(target, name)
        self.assertIsNotNone(path, "%s\\%s is missing" % (target, name))
        return read_file(path)

    def entry_complete(self, base):
        values = self.session.reg_query(uninstall_key(base))
        return values if values and len(values) == len(UNINSTALL_VALUES) else None

    def check_caution(self, box):
        self.assertEqual((box["caption"], box["text"], box["icon"], box["buttons"]),
                         (CAUTION_CAPTION, CAUTION_TEXT, "warning", ["OK"]))
        x, y = centre(box["rect"])
        self.assertAlmostEqual(x, SCREEN_WIDTH / 2.0, delta=2, msg="the caution is not centred")
        self.assertAlmostEqual(y, SCREEN_HEIGHT / 2.0, delta=2, msg="the caution is not centred")

    def check_nothing_started(self, trace_before):
        """No ActiveX installer has run or runs, no registration was started."""
        self.assertEqual(processes_named(self.session, ACTIVEX_EXE), [])
        self.assertEqual(self.session.matching_windows(title=ACTIVEX_CAPTION), [])
        self.assertEqual(trace_lines(self.session), trace_before)
        self.assertIsNone(read_record(self.session), "rundll32 was started")

    def check_activex_run(self, run, trace_before, screenshot=None):
        """The stand-in's box shows and the trace has grown by one line; the
        box is answered."""
        box = run.wait_activex_box()
        if screenshot:
            self.screenshot(screenshot)
        self.assertEqual((box["icon"], box["buttons"]), ("information", ["OK"]))
        lines = trace_lines(self.session)
        self.assertEqual(lines[:-1], trace_before)
        self.assertEqual(len(lines), len(trace_before) + 1)
        self.assertRegex(lines[-1], TRACE_LINE)
        run.dismiss_activex_box()
        return lines

    def check_registration(self, target, screensaver):
        """rundll32 (the recorder at the system's rundll32) was started in
        "c:\\" with the NT form: the System folder + "\\RunDll32.exe" and the
        parameters " desk.cpl,InstallScreenSaver T\\S".

        Wine's ShellExecute hands the program over in quotes and puts one
        blank between the closing quote and the parameters as they were
        passed; so the parameters' own leading blank makes two blanks there."""
        record = wait_for(lambda: read_record(self.session), 60, "rundll32 to be started")
        module, command_line, folder = record
        self.assertEqual(module.lower(), setuprun.RUNDLL32.lower(), "another program ran")
        program, rest = split_command_line(command_line)
        system_folder = module.rsplit("\\", 1)[0]
        self.assertEqual(program, system_folder + "\\RunDll32.exe")
        self.assertEqual(rest[:1], " ", "Wine's separator blank")
        self.assertEqual(rest[1:], " " + ENTRY_POINT + target + "\\" + screensaver)
        self.assertEqual(folder.lower(), "c:\\")

    def check_installed(self, target, screensaver, root="HKLM"):
        """T\\S and T\\B.exe are the payload's screensaver and uninstaller,
        T\\B.nfo has the two lines, the key B Uninstall (in the list of
        `root`) has its values and is the only key of that name."""
        base = screensaver[:-4]
        self.assertEqual(self.target_data(target, screensaver), read_file(self.program("Aurora.scr")))
        self.assertEqual(self.target_data(target, base + ".exe"), read_file(self.program("Lmunist.exe")))
        self.assertEqual(self.target_data(target, base + ".nfo"),
                         ("%s\r\n%s\r\n" % (screensaver, target)).encode("latin-1"))

        values = self.session.reg_query(uninstall_key(base, root))
        self.assertIsNotNone(values, "no uninstall entry")
        self.assertEqual(sorted(values), UNINSTALL_VALUES)
        self.assertEqual(values["DisplayName"], base + " Uninstall")
        self.assertRegex(values["HelpLink"], r"^https?://[^/\s]+" + re.escape(PRODUCT_PAGE_PATH) + "$")
        self.assertEqual(values["Publisher"], PUBLISHER)
        self.assertEqual(values["UninstallString"], target + "\\" + base + ".exe")
        self.assertRegex(values["UrlinfoAbout"], r"^https?://[^/\s]+/?$")
        self.assertEqual([k for k in uninstall_subkeys(self.session, root)
                          if k.lower() == (base + " uninstall").lower()], [base + " Uninstall"])

    # ----- tests ------------------------------------------------------------
    def test_sample_installer_installs_before_the_caution(self):
        sample = self.require_file(e2ecase.PATHS.sample, "The sample installer")
        run = self.start(sample, "sample-setup.exe")
        target = self.target_folder(run)
        trace = trace_lines(self.session)
        self.screenshot("folder-page")

        run.wizard.key("alt+n")
        run.wizard.wait_page("4")
        next_caption = caption_pattern(self.session, run.wizard)
        run.wizard.key("alt+n")
        caution = run.wait_box()
        self.screenshot("caution")
        # The caution comes once the copies, the info file and the uninstall
        # entry are complete, and before anything is started: the two
        # programs, which nothing calls back, start only once nothing is
        # left to undo.
        self.check_nothing_started(trace)
        self.check_installed(target, "Aurora.scr")
        self.check_caution(caution)
        # The final page with "&Finish", pressed, while the steps run.
        self.assertEqual(run.wizard.page(), "5")
        finish_caption = caption_pattern(self.session, run.wizard)
        self.assertTrue(finish_caption != next_caption, "the forward button still reads \"&Next >\"")

        run.answer(caution)
        self.check_activex_run(run, trace, screenshot="activex")
        self.check_registration(target, "Aurora.scr")
        wait_for(lambda: self.entry_complete("Aurora"), 60, "the uninstall entry")
        self.check_installed(target, "Aurora.scr")
        self.assertEqual(run.boxes(), [])
        self.assertEqual(run.wizard.page(), "5")
        self.session.wait_idle()
        self.assertTrue(caption_pattern(self.session, run.wizard) == finish_caption,
                        "the forward button's caption changed after the steps")
        self.screenshot("installed")
        run.finish()

    def test_back_and_forward_installs_again(self):
        # A screensaver of another name: every name follows ScreenSaverFile.
        path = self.installer_with("nebula-setup.exe", payloads.settings(ScreenSaverFile="Nebula.scr"), {
            "Nebula.scr": self.program("Aurora.scr"),
            "Lmunist.exe": self.program("Lmunist.exe"),
            "Install.exe": self.program("Install.exe"),
        })
        run = self.start(path, "nebula-setup.exe")
        target = self.target_folder(run)
        trace = trace_lines(self.session)
        caution = setuprun.run_to_caution(run)
        self.check_nothing_started(trace)
        self.check_caution(caution)
        run.answer(caution)
        trace = self.check_activex_run(run, trace)
        self.check_registration(target, "Nebula.scr")
        wait_for(lambda: self.entry_complete("Nebula"), 60, "the uninstall entry")
        self.check_installed(target, "Nebula.scr")
        for name in ("Aurora.scr", "Aurora.exe", "Aurora.nfo"):
            self.assertIsNone(self.in_target(target, name))
        self.assertIsNone(self.session.reg_query(uninstall_key("Aurora")))

        # Spoil what the first run left, so that the second must rewrite it:
        # longer files with other bytes, an entry with a changed and a
        # missing value.
        for name in ("Nebula.scr", "Nebula.exe", "Nebula.nfo"):
            path = self.in_target(target, name)
            data = read_file(path)
            with open(path, "wb") as f:
                f.write(bytes(b ^ 0x5A for b in data) + b"left over\r\n" * 100)
        key = uninstall_key("Nebula")
        for args in (["add", key, "/v", "DisplayName", "/d", "stale", "/f"],
                     ["delete", key, "/v", "Publisher", "/f"]):
            rc, out = self.session.run("reg", *args)
            self.assertEqual(rc, 0, out)
        os.remove(self.session.find_host_path(setuprun.RECORD))

        run.wizard.key("alt+b")
        run.wizard.wait_page("4")
        self.assertEqual(run.wizard.memo_lines("4")[4], "  " + target.upper())
        run.wizard.key("alt+n")
        caution = run.wait_box()
        self.check_nothing_started(trace)
        self.check_caution(caution)
        self.assertEqual(run.wizard.page(), "5")
        run.answer(caution)
        self.check_activex_run(run, trace)
        self.check_registration(target, "Nebula.scr")
        wait_for(lambda: self.entry_complete("Nebula") and
                 self.session.reg_query(key, "DisplayName") == "Nebula Uninstall", 60,
                 "the uninstall entry to be rewritten")
        self.check_installed(target, "Nebula.scr")
        self.screenshot("installed-twice")
        run.finish()

    def test_a_system_of_the_other_family_installs_without_the_caution(self):
        # Wine reports the Windows 98 platform: no access lists, no caution,
        # and rundll32 from the Windows folder in the other form.
        rc, out = self.session.run("reg", "add", "HKCU\\Software\\Wine", "/v", "Version", "/d", "win98", "/f")
        self.assertEqual(rc, 0, out)
        run = self.start(self.require_file(e2ecase.PATHS.sample, "The sample installer"), "win98-setup.exe")
        windows = self.session.host_path("C:\\windows")
        shutil.copyfile(setuprun.command_recorder(e2ecase.PATHS), os.path.join(windows, "rundll32.exe"))
        target = self.target_folder(run)
        trace = trace_lines(self.session)
        run.wizard.key("alt+n")
        run.wizard.wait_page("4")
        run.wizard.key("alt+n")
        self.check_activex_run(run, trace)
        module, command_line, folder = wait_for(lambda: read_record(self.session), 60, "rundll32 to be started")
        self.assertEqual(module.lower(), (target + "\\rundll32.exe").lower())
        program, rest = split_command_line(command_line)
        self.assertEqual(program.rstrip(), target + "\\rundll32.exe")
        self.assertEqual(rest.strip(), ENTRY_POINT + target + "\\Aurora.scr")
        wait_for(lambda: self.entry_complete("Aurora"), 60, "the uninstall entry")
        self.check_installed(target, "Aurora.scr")
        self.assertEqual(run.boxes(), [])
        run.finish()

    def test_an_installer_for_the_current_user_installs_into_the_users_programs_folder(self):
        # Built with --per-user, without the product: its folder is named
        # after the screensaver, made as the installation begins.
        path = payloads.installer_with(e2ecase.PATHS, self.artifacts, "user-setup.exe", payloads.settings(),
                                       [self.program(name) for name in ("Aurora.scr", "Lmunist.exe", "Install.exe")],
                                       ("--per-user",))
        before = {}
        trace_file = {TRACE.rsplit("\\", 1)[1].lower()}

        def take_stock():
            before["hklm"] = exported_hklm(self.session)
            before["windows"] = windows_folder_files(self.session, leave_out=trace_file)
        run = self.start(path, "user-setup.exe", take_stock)
        run.wizard.wait_page("2")
        target = run.wizard.label4()
        self.assertEqual(target, user_programs_folder(self.session) + "\\Aurora")
        self.screenshot("folder-page")
        install_through(run)
        # The user's display settings are given the screensaver's full path.
        self.check_registration(target, "Aurora.scr")
        self.check_installed(target, "Aurora.scr", "HKCU")
        run.finish()
        # Nothing of the installer's in the Windows folder (the ActiveX
        # stand-in, the author's helper, adds its trace line there) or under
        # HKEY_LOCAL_MACHINE.
        self.assertEqual(windows_folder_files(self.session, leave_out=trace_file), before["windows"])
        self.assertEqual(changed_lines(before["hklm"], exported_hklm(self.session)), [])

    def test_payload_without_uninstaller_installs_nothing(self):
        path = self.installer_with("no-uninstaller.exe", payloads.settings(), {
            "Aurora.scr": self.program("Aurora.scr"),
            "Install.exe": self.program("Install.exe"),
        })
        run = self.start(path, "no-uninstaller.exe")
        target = self.target_folder(run)
        trace = trace_lines(self.session)
        run.wizard.key("alt+n")
        run.wizard.wait_page("4")
        run.wizard.key("alt+n")

        # The application's error box, with the full stop it appends; no
        # caution comes before it.
        box = run.wait_box()
        [folder] = extraction_folders(self.session)
        extraction = self.session.temp_folder() + "\\" + os.path.basename(folder) + "\\"
        self.assertTrue(os.path.isfile(os.path.join(folder, "install.exe")),
                        "the payload was not restored into %s" % extraction)
        self.assertEqual((box["caption"], box["text"], box["icon"], box["buttons"]),
                         (APP_TITLE, "Cannot open file " + extraction + "Lmunist.exe.", "error", ["OK"]))
        self.assertEqual(run.wizard.page(), "5")
        self.screenshot("error")
        run.answer(box)

        # Without its uninstaller the screensaver is not installed either;
        # nothing after the failed copies happened.
        run.finish(EXIT_COPY_FAILED)
        for name in ("Aurora.scr", "Aurora.exe", "Aurora.nfo"):
            self.assertIsNone(self.in_target(target, name))
        self.assertIsNone(self.session.reg_query(uninstall_key("Aurora")))
        self.check_nothing_started(trace)


if __name__ == "__main__":
    e2ecase.main()
