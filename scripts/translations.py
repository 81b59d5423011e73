#!/usr/bin/env python3
"""The installer's text tables (translations/*.txt): read, checked, and
turned into C++ at build time, so that the tables are the one source of
every fixed text.

    translations.py check FOLDER
        checks every table against en.txt: each key and no other, the %s
        kept, an "&" where the English text has one (and none where it has
        none), the letters of the buttons of each page told apart, the
        language's number; exit code 1 with one line per problem
    translations.py generate FOLDER HEADER TABLES
        checks, then writes HEADER (the keys as the enumeration TextId, the
        English texts and the mark of the list of keys) and TABLES (every
        table, for the packing tool)

The mark ("LMTEXTS1" and eight hexadecimal digits of the CRC-32 of the keys
in their order) starts the tables that the packing tool puts into an
installer: a setup stub built from other keys does not take them for its
own.
"""
import os
import re
import sys
import zlib

REFERENCE = "en"
ESCAPES = {"n": "\n", "t": "\t", "\\": "\\"}


class Table:
    def __init__(self, tag, path):
        self.tag = tag
        self.path = path
        self.langid = None
        self.texts = {}   # key -> text, in file order
        self.pages = []   # lists of keys whose accelerators differ
        self.problems = []


def unescape(text, where, problems):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\":
            if i + 1 < len(text) and text[i + 1] in ESCAPES:
                out.append(ESCAPES[text[i + 1]])
                i += 2
                continue
            problems.append("%s: a backslash that is none of \\n, \\t and \\\\" % where)
        out.append(c)
        i += 1
    return "".join(out)


def read_table(path):
    tag = os.path.splitext(os.path.basename(path))[0]
    table = Table(tag, path)
    with open(path, "rb") as f:
        data = f.read()
    try:
        content = data.decode("utf-8")
    except UnicodeDecodeError as e:
        table.problems.append("%s: not UTF-8 (%s)" % (path, e))
        return table
    if content.startswith("\ufeff"):
        content = content[1:]
    for number, line in enumerate(content.split("\n"), 1):
        line = line[:-1] if line.endswith("\r") else line
        where = "%s:%d" % (path, number)
        if not line or line.startswith("#"):
            continue
        if line.startswith("@page "):
            table.pages.append((where, line.split()[1:]))
            continue
        key, sep, text = line.partition("=")
        if not sep or not re.fullmatch(r"[a-z][a-z0-9_.]*", key):
            table.problems.append("%s: no KEY=TEXT line" % where)
            continue
        if key == "langid":
            if re.fullmatch(r"0x[0-9A-Fa-f]{4}", text) and int(text, 16) & 0x3FF:
                table.langid = int(text, 16)
            else:
                table.problems.append("%s: langid is no language number such as 0x0407" % where)
            continue
        if key in table.texts:
            table.problems.append("%s: %s is given twice" % (where, key))
        table.texts[key] = unescape(text, where, table.problems)
    if table.langid is None:
        table.problems.append("%s: no langid line" % path)
    return table


def accelerator(text):
    """The character after the first "&" that is not part of "&&", or None."""
    i = 0
    while i + 1 < len(text):
        if text[i] == "&":
            if text[i + 1] != "&":
                return text[i + 1]
            i += 1
        i += 1
    return None


def check_table(table, reference):
    problems = list(table.problems)
    where = table.path
    for key in reference.texts:
        if key not in table.texts:
            problems.append("%s: %s is missing" % (where, key))
    for key, text in table.texts.items():
        if key not in reference.texts:
            problems.append("%s: %s is no key of %s.txt" % (where, key, REFERENCE))
            continue
        english = reference.texts[key]
        if re.findall(r"%.", text) != re.findall(r"%.", english):
            problems.append("%s: %s has %s where the English text has %s" % (
                where, key, re.findall(r"%.", text) or "no %s", re.findall(r"%.", english) or "none"))
        if (accelerator(text) is None) != (accelerator(english) is None):
            problems.append("%s: %s has %s \"&\" letter, and the English text %s" % (
                where, key, "no" if accelerator(text) is None else "an",
                "has one" if accelerator(english) else "has none"))
        elif accelerator(text) is None and "&" in text:
            problems.append("%s: %s has an \"&\" that marks no letter" % (where, key))
        if not text.strip():
            problems.append("%s: %s is empty" % (where, key))
    for page_where, keys in reference.pages:
        letters = {}
        for key in keys:
            letter = accelerator(table.texts.get(key, ""))
            if letter is None:
                continue
            folded = letter.upper()
            if folded in letters:
                problems.append("%s: %s and %s share the letter %s, and show on one page (%s)" % (
                    where, letters[folded], key, letter, page_where))
            letters[folded] = key
    return problems


def read_folder(folder):
    """(the English table, every table sorted by tag with English first,
    the problems found)."""
    paths = sorted(os.path.join(folder, name) for name in os.listdir(folder) if name.endswith(".txt"))
    tables = [read_table(path) for path in paths]
    by_tag = {table.tag: table for table in tables}
    if REFERENCE not in by_tag:
        return None, tables, ["%s: no %s.txt" % (folder, REFERENCE)]
    reference = by_tag[REFERENCE]
    problems = []
    for page_where, keys in reference.pages:
        for key in keys:
            if key not in reference.texts:
                problems.append("%s: @page names %s, which is no key" % (page_where, key))
    numbers = {}
    for table in tables:
        problems += check_table(table, reference)
        if table.langid in numbers:
            problems.append("%s: langid 0x%04X is %s's already" % (table.path, table.langid, numbers[table.langid]))
        numbers.setdefault(table.langid, table.tag)
    tables.sort(key=lambda t: (t.tag != REFERENCE, t.tag))
    return reference, tables, problems


def mark(reference):
    return "LMTEXTS1%08X" % zlib.crc32("\n".join(reference.texts).encode())


def identifier(key):
    return "".join(part.capitalize() for part in re.split(r"[._]", key))


def literal(text):
    """A C++ string literal of the text's UTF-8 bytes."""
    out = []
    for byte in text.encode("utf-8"):
        c = chr(byte)
        if c in "\"\\":
            out.append("\\" + c)
        elif 0x20 <= byte < 0x7F and c != "?":
            out.append(c)
        else:
            # Octal: a hexadecimal escape would take the letters after it.
            out.append("\\%03o" % byte)
    return '"' + "".join(out) + '"'


def header(reference, tables):
    keys = list(reference.texts)
    lines = [
        "// Made by scripts/translations.py from translations/%s.txt at build time." % REFERENCE,
        "#pragma once",
        "#include <cstddef>",
        "",
        "namespace lumora {",
        "",
        "// The installer's fixed texts, in the order of the keys of the tables.",
        "enum class TextId {",
    ]
    lines += ["    %s,  // %s" % (identifier(key), key) for key in keys]
    lines += [
        "};",
        "",
        "inline constexpr std::size_t kTextCount = %d;" % len(keys),
        "",
        "// The texts in English, by TextId.",
        "inline constexpr const char* kEnglishTexts[kTextCount] = {",
    ]
    lines += ["    %s," % literal(reference.texts[key]) for key in keys]
    lines += [
        "};",
        "",
        "// The first bytes of tables of these keys, in this order.",
        "inline constexpr char kTextTablesMark[] = \"%s\";" % mark(reference),
        "",
        "// The languages there are tables for: their tags and Windows numbers.",
        "struct LanguageTag {",
        "    const char* tag;",
        "    unsigned short language;",
        "};",
        "inline constexpr LanguageTag kLanguageTags[] = {",
    ]
    lines += ["    {%s, 0x%04X}," % (literal(table.tag), table.langid) for table in tables]
    lines += [
        "};",
        "",
        "}  // namespace lumora",
        "",
    ]
    return "\n".join(lines)


def tables_source(reference, tables):
    keys = list(reference.texts)
    lines = [
        "// Made by scripts/translations.py from translations/*.txt at build time.",
        '#include "author/Translations.h"',
        "",
        "namespace setuppack {",
        "",
        "const std::vector<Translation>& Translations()",
        "{",
        "    static const std::vector<Translation> tables = {",
    ]
    for table in tables:
        lines.append("        {%s, 0x%04X, {" % (literal(table.tag), table.langid))
        lines += ["            %s," % literal(table.texts[key]) for key in keys]
        lines.append("        }},")
    lines += ["    };", "    return tables;", "}", "", "}  // namespace setuppack", ""]
    return "\n".join(lines)


def write_if_changed(path, text):
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main(argv):
    if len(argv) < 2 or argv[0] not in ("check", "generate") or (argv[0] == "generate") != (len(argv) == 4):
        print(__doc__, file=sys.stderr)
        return 2
    reference, tables, problems = read_folder(argv[1])
    for problem in problems:
        print("translations: " + problem, file=sys.stderr)
    if problems:
        return 1
    if argv[0] == "generate":
        write_if_changed(argv[2], header(reference, tables))
        write_if_changed(argv[3], tables_source(reference, tables))
    else:
        print("translations: %d tables of %d texts, sound" % (len(tables), len(reference.texts)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
