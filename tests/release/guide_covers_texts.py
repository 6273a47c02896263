#!/usr/bin/env python3
"""Fails unless the operator's guide holds every text the program shows, exactly.

  guide_covers_texts.py GUIDE HEADER...

The texts come from the headers themselves, through scripts/gbk-literals.py --list, so a text
added to the program and not to the guide fails this check. A text of several lines is looked
for line by line; runs of spaces count as one, as the guide's tables and a web page show them.
"""
import os
import re
import subprocess
import sys

# Texts that the operator never reads as words.
NOT_SHOWN = {'kHintFontFace'}  # the name of the font the hint is drawn in

LISTER = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'scripts',
                      'gbk-literals.py')


def squeezed(text):
    return re.sub(r'\s+', ' ', text).strip()


def shown_texts(headers):
    listing = subprocess.run([sys.executable, LISTER, '--list', *headers], check=True,
                             capture_output=True, text=True, encoding='utf-8').stdout
    for row in listing.splitlines():
        name, _, text = row.partition('\t')
        if name in NOT_SHOWN:
            continue
        for line in text.split('\\r\\n'):
            if line.strip():
                yield name, line


def main(args):
    if len(args) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    with open(args[0], encoding='utf-8') as f:
        guide = squeezed(f.read())
    texts = list(shown_texts(args[1:]))
    missing = [(name, line) for name, line in texts if squeezed(line) not in guide]
    for name, line in missing:
        print(f'missing from the guide: {name}: {line}')
    print(f'{len(texts) - len(missing)} of {len(texts)} texts are in the guide')
    return 1 if missing or not texts else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
