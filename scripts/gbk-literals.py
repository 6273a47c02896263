#!/usr/bin/env python3
"""Prints C++ string_view constants holding texts as code-page-936 bytes.

Usage: scripts/gbk-literals.py NAME=TEXT ...   (TEXT in UTF-8; \\r\\n in TEXT stands for CR LF)
"""
import sys


def literal(text):
    out = ''
    for c in text.encode('gbk'):
        hex_escape_open = len(out) >= 4 and out[-4:-2] == '\\x'
        if 0x20 <= c < 0x7f and c not in (0x22, 0x5c):
            if hex_escape_open and chr(c) in '0123456789abcdefABCDEF':
                out += '""'  # end the escape so the digit is not swallowed
            out += chr(c)
        else:
            out += {0x0d: '\\r', 0x0a: '\\n', 0x22: '\\"', 0x5c: '\\\\'}.get(c, '\\x%02x' % c)
    return '"' + out + '"'


for arg in sys.argv[1:]:
    name, _, text = arg.partition('=')
    text = text.replace('\\r\\n', '\r\n')
    print('// "' + text.replace('\r\n', '⏎') + '"')
    print(f'inline constexpr std::string_view {name} = {literal(text)};')
