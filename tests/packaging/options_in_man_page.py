#!/usr/bin/env python3
"""Every option that a program's --help lists has its own entry in the
OPTIONS section of its man page.

    options_in_man_page.py PROGRAM MAN_PAGE
"""
import re
import subprocess
import sys

OPTION = re.compile(r'(?<![\w-])(--?[A-Za-z][A-Za-z0-9-]*)')


def help_options(program):
    """The option names of the help text's "Options:" list: the start of
    each entry, up to the gap before its description."""
    text = subprocess.run([program, '--help'], capture_output=True, text=True, check=True).stdout
    names, inside = [], False
    for line in text.splitlines():
        if line.rstrip().endswith(':') and not line.startswith(' '):
            inside = line.strip() == 'Options:'
            continue
        if inside and line.startswith('  -'):
            names += OPTION.findall(re.split(r'\s{2,}', line.strip())[0])
    return sorted(set(names))


def man_entries(path):
    """The option names of the tag lines (the line after each .TP) in the
    OPTIONS section, with roff's escapes and font changes taken out."""
    names, section, tag_next = set(), None, False
    for line in open(path, encoding='utf-8'):
        line = line.rstrip('\n')
        if line.startswith('.SH'):
            section = line[3:].strip().strip('"')
            continue
        if section != 'OPTIONS':
            continue
        if line.startswith('.TP'):
            tag_next = True
            continue
        if tag_next:
            plain = re.sub(r'\\f[BIRP]', '', line).replace('\\-', '-')
            names.update(OPTION.findall(plain))
            tag_next = False
    return names


def main():
    program, page = sys.argv[1], sys.argv[2]
    listed = help_options(program)
    if not listed:
        print('no options found in the --help of %s' % program)
        return 1
    entries = man_entries(page)
    missing = [name for name in listed if name not in entries]
    for name in missing:
        print('%s: %s is in --help but has no entry under OPTIONS' % (page, name))
    if not missing:
        print('%s: all %d options of --help have an entry: %s' % (page, len(listed), ' '.join(listed)))
    return 1 if missing else 0


if __name__ == '__main__':
    sys.exit(main())
