#!/usr/bin/env python3
"""The packing tool's folders and the way their includes run: every unit
lies in one of the folders of tools/setuppack/CMakeLists.txt, and each
folder includes only the folders below it (a header-only part would pass
the link even so). A copy of the tree with an include upwards, or a unit
outside the folders, is refused.

Usage: tool_layers_test.py SOURCE_DIR"""
import os
import re
import shutil
import sys
import tempfile
import unittest

SOURCE = None
# Top to bottom.
LAYERS = ["commands", "payload", "author", "image", "input"]
INCLUDE = re.compile(r'^#include "([^"/]+)/[^"]+"', re.MULTILINE)


def faults(tool):
    """What breaks the rule in the tool's folder `tool`, one text each."""
    found = []
    for folder, _, names in os.walk(tool):
        layer = os.path.relpath(folder, tool).split(os.sep)[0]
        for name in names:
            if not name.endswith((".h", ".cpp")):
                continue
            if layer not in LAYERS:
                found.append("%s lies in no folder of the tool" % name)
                continue
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                for used in INCLUDE.findall(f.read()):
                    if used in LAYERS and LAYERS.index(used) < LAYERS.index(layer):
                        found.append("%s/%s includes %s/" % (layer, name, used))
    return found


class ToolLayersTest(unittest.TestCase):

    def test_the_tree_keeps_the_rule(self):
        self.assertEqual(faults(os.path.join(SOURCE, "tools", "setuppack")), [])

    def test_an_include_upwards_and_a_unit_outside_are_found(self):
        cases = [
            ("payload/ProgressLine.h", '#include "commands/Command.h"\n', ["payload/ProgressLine.h includes commands/"]),
            ("image/IconFile.h", '#include "author/CodePage.h"\n', ["image/IconFile.h includes author/"]),
            ("Stray.cpp", "", ["Stray.cpp lies in no folder of the tool"]),
        ]
        for path, line, said in cases:
            with self.subTest(path), tempfile.TemporaryDirectory() as tmp:
                tool = os.path.join(tmp, "setuppack")
                shutil.copytree(os.path.join(SOURCE, "tools", "setuppack"), tool)
                with open(os.path.join(tool, path), "a", encoding="utf-8") as f:
                    f.write(line)
                self.assertEqual(faults(tool), said)


if __name__ == "__main__":
    SOURCE = sys.argv[1]
    unittest.main(argv=sys.argv[:1] + sys.argv[2:], verbosity=2)
