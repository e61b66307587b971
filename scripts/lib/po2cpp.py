#!/usr/bin/env python3
"""po2cpp.py TEMPLATE.pot LANG.po OUT.cpp: compiles a gettext catalog into
the program as a sorted table (core/language.h's Catalog). Fails, naming the
text, when a text the code marks has no translation, when a translation is
fuzzy or empty, or when its {0} placeholders differ from the English."""
import re
import sys


def parse(path):
    """The entries of a PO file: dicts of msgid, msgid_plural, msgstr[...],
    flags; obsolete entries (#~) are left out."""
    entries, entry, key = [], None, None

    def finish():
        if entry is not None and "msgid" in entry:
            entries.append(entry)

    with open(path, encoding="utf-8") as file:
        for raw in file:
            line = raw.rstrip("\n")
            if not line.strip():
                finish()
                entry, key = None, None
                continue
            if line.startswith("#~"):
                continue
            if entry is None:
                entry = {"flags": set(), "msgstr": {}}
            if line.startswith("#,"):
                entry["flags"].update(f.strip() for f in line[2:].split(","))
                continue
            if line.startswith("#"):
                continue
            match = re.match(r'^(msgid_plural|msgid|msgstr(?:\[(\d)\])?)\s+(".*")$', line)
            if match:
                name, index, text = match.groups()
                if name.startswith("msgstr"):
                    key = ("msgstr", int(index) if index is not None else 0)
                else:
                    key = (name, None)
                store(entry, key, unquote(text))
                continue
            if line.startswith('"'):
                store(entry, key, unquote(line), append=True)
                continue
            sys.exit(f"po2cpp: {path}: cannot read: {line}")
    finish()
    return entries


def store(entry, key, text, append=False):
    name, index = key
    if name == "msgstr":
        entry["msgstr"][index] = entry["msgstr"].get(index, "") + text if append else text
    else:
        entry[name] = entry.get(name, "") + text if append else text


def unquote(quoted):
    body = quoted.strip()[1:-1]
    out, i = [], 0
    while i < len(body):
        c = body[i]
        if c == "\\" and i + 1 < len(body):
            nxt = body[i + 1]
            out.append({"n": "\n", "t": "\t", '"': '"', "\\": "\\"}.get(nxt, nxt))
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out)


def literal(text):
    if text is None:
        return "nullptr"
    out = []
    for byte in text.encode("utf-8"):
        if 32 <= byte < 127 and chr(byte) not in '"\\?':
            out.append(chr(byte))
        else:
            out.append("\\%03o" % byte)
    return '"' + "".join(out) + '"'


def placeholders(text):
    return sorted(set(re.findall(r"\{\d\}", text)))


def main():
    template, po, out = sys.argv[1:4]
    marked = [e for e in parse(template) if e["msgid"]]
    translated = {}
    for e in parse(po):
        if e["msgid"]:
            translated[(e["msgid"], e.get("msgid_plural"))] = e
    problems = []
    rows = []
    for m in marked:
        key = (m["msgid"], m.get("msgid_plural"))
        e = translated.get(key)
        name = repr(m["msgid"][:70])
        if e is None:
            problems.append(f"no Czech text for {name}")
            continue
        if "fuzzy" in e["flags"]:
            problems.append(f"the Czech text of {name} is marked fuzzy")
            continue
        forms = 3 if key[1] is not None else 1
        texts = [e["msgstr"].get(i, "") for i in range(forms)]
        if any(not t for t in texts):
            problems.append(f"the Czech text of {name} is empty")
            continue
        english = placeholders(key[0]) if key[1] is None else placeholders(key[0] + key[1])
        for t in texts:
            if placeholders(t) != english:
                problems.append(f"the Czech text of {name} has the placeholders "
                                f"{placeholders(t)}, the English {english}")
        rows.append((key[0], key[1], texts))
    if problems:
        sys.exit("po2cpp: " + po + ":\n  " + "\n  ".join(problems))
    rows.sort(key=lambda r: (r[0].encode("utf-8"), (r[1] or "").encode("utf-8")))
    with open(out, "w", encoding="ascii") as file:
        file.write("// Made by scripts/lib/po2cpp.py from po/cs.po; do not edit.\n")
        file.write('#include "core/language.h"\n\nnamespace {\n\n')
        # An array of none is no C++: an empty catalog holds one blank entry
        # that it does not count.
        file.write("const CatalogEntry Entries[] = {\n")
        if not rows:
            file.write('    {"", nullptr, {"", nullptr, nullptr}},\n')
        for english, plural, texts in rows:
            forms = ", ".join(literal(t) for t in texts + [None] * (3 - len(texts)))
            file.write(f"    {{{literal(english)}, {literal(plural)}, {{{forms}}}}},\n")
        file.write("};\n\nconst char* const Marked[] = {\n")
        if not marked:
            file.write('    "",\n')
        for m in marked:
            file.write(f"    {literal(m['msgid'])},\n")
        file.write("};\n\n} // namespace\n\n")
        file.write("const Catalog& CzechCatalog() {\n")
        file.write(f"    static const Catalog catalog = {{Entries, {len(rows)}, Marked, {len(marked)}}};\n")
        file.write("    return catalog;\n}\n")


main()
