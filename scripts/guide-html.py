#!/usr/bin/env python3
"""Writes the operator's guide as a web page, for a school PC to open with a double click.

  scripts/guide-html.py GUIDE.md PAGE.html

Pictures keep their relative paths, so the page needs the guide's images/ folder beside it.
"""
import html
import sys

import markdown

PAGE = """<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>{title}</title>
<style>
body {{ font-family: "Microsoft YaHei", "SimSun", "WenQuanYi Zen Hei", sans-serif;
       max-width: 52em; margin: 2em auto; padding: 0 1em; line-height: 1.6; }}
img {{ max-width: 100%; border: 1px solid #aaa; }}
table {{ border-collapse: collapse; }}
th, td {{ border: 1px solid #aaa; padding: 0.3em 0.6em; vertical-align: top; }}
code {{ background: #f2f2f2; padding: 0 0.2em; }}
</style>
</head>
<body>
{body}
</body>
</html>
"""


def main(args):
    if len(args) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    source, page = args
    with open(source, encoding='utf-8') as f:
        text = f.read()
    title = text.splitlines()[0].lstrip('# ').strip()
    body = markdown.markdown(text, extensions=['tables', 'fenced_code'])
    with open(page, 'w', encoding='utf-8') as f:
        f.write(PAGE.format(title=html.escape(title), body=body))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
