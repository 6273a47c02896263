#!/usr/bin/env python3
"""The program's texts as C++ constants: code-page-936 bytes beside their readable UTF-8 form.

Usage:
  scripts/gbk-literals.py NAME=TEXT ...       prints a text::GbkText constant for each TEXT
                                              (UTF-8; \\r\\n in TEXT stands for CR LF)
  scripts/gbk-literals.py --check HEADER ...  exits non-zero, naming each constant whose bytes
                                              are not its readable form in GBK, or whose plain
                                              string_view is not ASCII
  scripts/gbk-literals.py --list HEADER ...   prints every text constant of the headers, one a
                                              line: NAME, a tab, its text in UTF-8 with CR and LF
                                              written \\r and \\n
"""
import re
import sys

STRING = r'"(?:[^"\\\n]|\\.)*"'
GBK_TEXT = re.compile(r'inline\s+constexpr\s+text::GbkText\s+(\w+)\s*\{\s*u8(' + STRING +
                      r')\s*,\s*((?:' + STRING + r'\s*)+)\}\s*;')
PLAIN = re.compile(r'inline\s+constexpr\s+std::string_view\s+(\w+)\s*=\s*((?:' + STRING +
                   r'\s*)+);')
DECLARED = re.compile(r'constexpr\s+(?:text::GbkText|std::string_view)\s+(\w+)')
SIMPLE_ESCAPES = {'r': 0x0d, 'n': 0x0a, 't': 0x09, '"': 0x22, "'": 0x27, '\\': 0x5c, '0': 0x00}


def bytes_literal(text):
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


def readable_literal(text):
    # Escapes only for CR, LF, quotes and backslashes: everything else as it reads.
    body = text.replace('\\', '\\\\').replace('"', '\\"').replace('\r', '\\r').replace('\n', '\\n')
    return 'u8"' + body + '"'


def declaration(name, text):
    return (f'inline constexpr text::GbkText {name}{{{readable_literal(text)},\n'
            f'    {bytes_literal(text)}}};')


def unescape(literals):
    """The bytes of adjacent C++ string literals, each written with its quotes."""
    out = bytearray()
    for literal in re.findall(STRING, literals):
        body = literal[1:-1].encode('utf-8')
        at = 0
        while at < len(body):
            c = body[at]
            if c != 0x5c:
                out.append(c)
                at += 1
                continue
            kind = chr(body[at + 1])
            if kind == 'x':
                digits = re.match(rb'[0-9a-fA-F]+', body[at + 2:]).group()
                value = int(digits, 16)
                if value > 0xff:
                    raise ValueError(f'escape \\x{digits.decode()} does not fit a byte')
                out.append(value)
                at += 2 + len(digits)
            else:
                out.append(SIMPLE_ESCAPES[kind])
                at += 2
    return bytes(out)


def texts(header):
    """(name, readable text or None, bytes) for every text constant of `header`, in order."""
    source = open(header, encoding='utf-8').read()
    found = []
    for match in GBK_TEXT.finditer(source):
        found.append((match.start(), match[1], unescape(match[2]).decode('utf-8'), unescape(match[3])))
    for match in PLAIN.finditer(source):
        found.append((match.start(), match[1], None, unescape(match[2])))
    unread = set(DECLARED.findall(source)) - {entry[1] for entry in found}
    if unread:
        raise ValueError(f'{header}: cannot read {", ".join(sorted(unread))}')
    return [entry[1:] for entry in sorted(found)]


def check(headers):
    wrong = []
    for header in headers:
        for name, readable, data in texts(header):
            if readable is None:
                if any(c >= 0x80 for c in data):
                    wrong.append(f'{header}: {name} is not ASCII and has no readable form')
            elif readable.encode('gbk', errors='replace') != data:
                wrong.append(f'{header}: {name} is not "{readable}" in GBK')
    for line in wrong:
        print(line, file=sys.stderr)
    return 1 if wrong else 0


def list_texts(headers):
    for header in headers:
        for name, readable, data in texts(header):
            text = data.decode('ascii') if readable is None else readable
            print(name + '\t' + text.replace('\r', '\\r').replace('\n', '\\n'))
    return 0


def main(args):
    try:
        if args[:1] == ['--check']:
            return check(args[1:])
        if args[:1] == ['--list']:
            return list_texts(args[1:])
    except ValueError as error:
        print(error, file=sys.stderr)
        return 1
    if not args or args[0].startswith('-'):
        print(__doc__, file=sys.stderr)
        return 2
    for arg in args:
        name, _, text = arg.partition('=')
        print(declaration(name, text.replace('\\r\\n', '\r\n')))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
