#!/usr/bin/env python3
"""Checks that the desktop entry and the AppStream metainfo carry their texts in every language
the program is translated into: a language added to HOURLARK_LANGUAGES without them would show
an English menu entry and software-centre page beside a translated program.
    check-desktop-texts.py DESKTOP_FILE METAINFO_FILE LANGUAGE...
"""
import configparser
import sys
import xml.etree.ElementTree as ET

LANG = "{http://www.w3.org/XML/1998/namespace}lang"


def main(desktop_file, metainfo_file, *languages):
    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(desktop_file, encoding="utf-8")
    keys = entry["Desktop Entry"]
    component = ET.parse(metainfo_file).getroot()
    paragraphs = component.findall("description/p")
    english = sum(1 for p in paragraphs if LANG not in p.attrib)
    missing = []
    for language in languages:
        if language == "en":
            continue
        for key in ("Name", "GenericName", "Comment", "Keywords"):
            if not keys.get(f"{key}[{language}]", "").strip():
                missing.append(f"{desktop_file}: {key}[{language}]")
        for tag in ("name", "summary"):
            if not any(e.get(LANG) == language and (e.text or "").strip()
                       for e in component.findall(tag)):
                missing.append(f'{metainfo_file}: <{tag} xml:lang="{language}">')
        translated = sum(1 for p in paragraphs if p.get(LANG) == language)
        if translated != english:
            missing.append(f'{metainfo_file}: {translated} of {english} description paragraphs '
                           f'in xml:lang="{language}"')
    for line in missing:
        print("missing", line)
    return 1 if missing else 0


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
