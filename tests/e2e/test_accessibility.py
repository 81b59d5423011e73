#!/usr/bin/env python3
"""The wizard as a screen reader sees it under Wine: the test driver asks the
wizard's window for its accessible object from its own process, as
accessibility clients do, and reads the children: the page container (a
window) and one element per painted push button, with name, role, keyboard
shortcut, states, place and default action. A caption change is announced
by a name-change event; the buttons' default action moves the wizard on."""
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))
sys.path.insert(0, HERE)
import e2ecase  # noqa: E402
import test_wizard_pages as wizard_pages  # noqa: E402
from driversession import walk  # noqa: E402
from wineenv import WineError, wait_for  # noqa: E402

OBJID_CLIENT = -4
ROLE_SYSTEM_PUSHBUTTON = 43
STATE_SYSTEM_PRESSED, STATE_SYSTEM_HOTTRACKED = 0x8, 0x80


class AccessibilityTest(e2ecase.SessionTestCase):

    def children(self, hwnd):
        """The wizard's accessible children: the first is the page container
        (an object of its own), the rest are the buttons, by name."""
        children = self.session.driver("accessible", hwnd)["children"]
        self.assertEqual(len(children), 4, [c["name"] for c in children])
        self.assertIsNone(children[0]["id"], "the first child is no object of its own")
        return children[0], {c["name"]: c for c in children[1:]}

    def check_buttons(self, buttons, client, expected):
        """`expected`: (name, shortcut, layout rectangle) of each button, left
        to right; all enabled, visible, up."""
        self.assertEqual(list(buttons), [name for name, _, _ in expected])
        for number, (name, shortcut, (left, top, width, height)) in enumerate(expected, start=2):
            button = buttons[name]
            self.assertEqual(
                (button["id"], button["role"], button["shortcut"], button["action"],
                 button["state"], button["location"]),
                (number, ROLE_SYSTEM_PUSHBUTTON, shortcut, "Press", 0,
                 [client[0] + left, client[1] + top, width, height]), name)

    def wait_states(self, hwnd, expected, before_each=None):
        """Waits until the buttons' states are `expected`, {name: states};
        `before_each`, if given, runs before each look."""
        seen = []

        def states():
            if before_each:
                before_each()
            _, buttons = self.children(hwnd)
            seen[:] = [{name: button["state"] for name, button in buttons.items()}]
            return seen[0] == expected
        try:
            wait_for(states, 30, "the states %s" % expected, interval=0.25)
        except WineError as e:
            raise AssertionError("%s; last seen: %s" % (e, seen[0]))

    def name_changes(self, listener, hwnd):
        """{child id: name} of the name-change events of the wizard's client
        area that the listener has reported so far (the latest name wins)."""
        names = {}
        with open(listener.log_path, "rb") as log:
            for line in log.read().decode("utf-8", "replace").splitlines():
                if not line.startswith("{"):
                    continue
                event = json.loads(line)
                if event.get("hwnd") == hwnd and event.get("object") == OBJID_CLIENT:
                    names[event["child"]] = event["name"]
        return names

    def test_buttons_are_named_elements_that_announce_and_do_their_action(self):
        wizard = wizard_pages.WizardPagesTest.start(self, "accessible.exe", "True")
        self.assertEqual(wizard.page(), "1")
        window = wizard.window()
        hwnd, client = window["hwnd"], window["client"]
        _, buttons = self.children(hwnd)
        self.assertEqual(list(buttons), ["< Back", "Yes", "No"])
        self.assertEqual(buttons["Yes"]["shortcut"], "Alt+Y")

        # "Yes" pressed as a screen reader does: the folder page, and the new
        # captions announced with the names they have now.
        listener = self.session.start_driver("accessible-events", hwnd)
        self.session.started_output(listener)
        self.session.driver("accessible-do", hwnd, "Yes")
        wizard.wait_page("2")
        self.assertEqual(wizard.label4(), wizard_pages.WINDOWS_FOLDER)
        wait_for(lambda: self.name_changes(listener, hwnd) == {3: "Next >", 4: "Cancel"}, 30,
                 "the name changes of the forward and leave buttons", interval=0.25)
        container, buttons = self.children(hwnd)
        self.check_buttons(buttons, client, [("< Back", "Alt+B", wizard_pages.BACK),
                                             ("Next >", "Alt+N", wizard_pages.FORWARD),
                                             ("Cancel", "Alt+C", wizard_pages.LEAVE)])
        pages = [w for w in walk(window) if w["class"] == "TNotebook"][0]
        self.assertEqual(container["hwnd"], pages["hwnd"])

        # Under the pointer, "Next >" is hot (while its program is the
        # active one); held by the mouse, pressed and hot; moved off and
        # released, up again. Each step waits for the one before: the X
        # server may still report an older pointer position for a moment.
        # The button's hover timer asks for the pointer's position, and when
        # the older one comes back the hover ends with no move to start it
        # again (seen on a loaded machine): the move is made again until the
        # button is hot, as it stays over a pointer that rests there.
        self.session.activate(wizard.main["hwnd"])
        x, y = wizard_pages.FORWARD[0] + 30, wizard_pages.FORWARD[1] + 13
        self.wait_states(hwnd, {"< Back": 0, "Next >": STATE_SYSTEM_HOTTRACKED, "Cancel": 0},
                         before_each=lambda: self.session.driver("mouse", "move", hwnd, x, y))
        self.session.driver("mouse", "down", hwnd, x, y)
        self.wait_states(hwnd, {"< Back": 0, "Next >": STATE_SYSTEM_PRESSED | STATE_SYSTEM_HOTTRACKED, "Cancel": 0})
        self.session.driver("mouse", "move", hwnd, x, y + 60)
        self.session.driver("mouse", "up", hwnd, x, y + 60)
        self.wait_states(hwnd, {"< Back": 0, "Next >": 0, "Cancel": 0})

        # "Next >" by its default action: the summary, as a click shows it.
        self.session.driver("accessible-do", hwnd, "Next >")
        wizard.wait_page("4")
        self.assertEqual(wizard.memo_lines("4")[4], "  C:\\WINDOWS")


if __name__ == "__main__":
    e2ecase.main()
