#!/usr/bin/env python3
"""Check the seven phrase lists in assets/phrases.

For every list this prints the number of rows against the number the game
expects, the share of rows that pass the host's repeat test, duplicates,
rows with trailing spaces, rows holding the code page's right single quote
(byte 0x92) and rows with digits.  It also flags rows the host could never
use well: blank rows, tabs, bytes that are not defined in Windows-1252, and
rows that pass the repeat test but that guessing word by word never reveals
in full.

Exit status is non-zero when a count is wrong, a file is missing or cannot
be decoded, fewer than 90 % of a list's rows pass the repeat test, or a
passing row cannot be solved.

Usage: tools/check_phrases.py [phrase-folder] [-v]
    -v  also list the rows that fail the repeat test
"""

import os
import sys

# (file name, category number, category name, rows the game starts with)
LISTS = [
    ("general.txt", 0, "General", 626),
    ("actions.txt", 1, "actions", 469),
    ("phrase.txt", 2, "Phrase", 885),
    ("musicgroups.txt", 3, "music groups", 488),
    ("movies.txt", 4, "movies", 994),
    ("tvshows.txt", 5, "TV shows", 743),
    ("food.txt", 6, "food and drink", 446),
]

MIN_PASS_SHARE = 0.90


def ascii_upper(text):
    """Upper case for the letters a-z only, as the host makes it."""
    return "".join(chr(ord(c) - 32) if "a" <= c <= "z" else c for c in text)


def passes_repeat_test(phrase):
    """The host's repeat test.

    The phrase is split at each single space.  Walking the words in order,
    a word that occurs (in any case of a-z, as a substring) in the text that
    follows it -- everything after that word's space -- rejects the phrase.
    Empty words, made by neighbouring or trailing spaces, never reject.
    """
    phrase = ascii_upper(phrase)
    words = phrase.split(" ")
    pos = 0
    for word in words:
        rest_start = pos + len(word) + 1
        if word and word in phrase[rest_start:]:
            return False
        pos = rest_start
    return True


def is_whole(phrase, pos, length):
    starts = pos == 0 or phrase[pos - 1] == " "
    ends = pos + length == len(phrase) or phrase[pos + length] == " "
    return starts and ends


def solvable(phrase):
    """Guesses the phrase word by word as the host judges it; True when the
    mask ends up fully revealed."""
    phrase = ascii_upper(phrase)
    mask = list("".join(" " if c == " " else "_" for c in phrase) + " ")
    for word in phrase.split(" "):
        if not word:
            continue
        at = phrase.find(word)
        while at >= 0 and not is_whole(phrase, at, len(word)):
            at = phrase.find(word, at + 1)
        if at >= 0:
            mask[at:at + len(word)] = word
    return "_" not in mask


def read_rows(path):
    with open(path, "rb") as f:
        data = f.read()
    # Bytes that Windows-1252 leaves undefined; Python's codec refuses them,
    # which is what we want.
    text = data.decode("cp1252")
    if text.endswith("\r\n"):
        text = text[:-2]
    elif text.endswith("\n"):
        text = text[:-1]
    rows = text.split("\n")
    return [r[:-1] if r.endswith("\r") else r for r in rows], data


def check_list(folder, name, number, title, expected, verbose):
    path = os.path.join(folder, name)
    problems = []
    try:
        rows, data = read_rows(path)
    except FileNotFoundError:
        return None, ["%s: missing" % path]
    except UnicodeDecodeError as e:
        return None, ["%s: not Windows-1252 (%s)" % (path, e)]

    count = len(rows)
    passing = [r for r in rows if passes_repeat_test(r)]
    share = len(passing) / count if count else 0.0
    seen = {}
    for r in rows:
        seen[r] = seen.get(r, 0) + 1
    duplicates = sum(n - 1 for n in seen.values() if n > 1)
    trailing = sum(1 for r in rows if r.endswith(" "))
    quote92 = data.count(b"\x92")
    quote_rows = sum(1 for r in rows if "\u2019" in r)
    digits = sum(1 for r in rows if any(c.isdigit() for c in r))
    blank = sum(1 for r in rows if r.strip() == "")
    tabs = sum(1 for r in rows if "\t" in r)

    stats = {
        "name": name,
        "number": number,
        "title": title,
        "count": count,
        "expected": expected,
        "share": share,
        "duplicates": duplicates,
        "trailing": trailing,
        "quote_rows": quote_rows,
        "quote_bytes": quote92,
        "digits": digits,
        "failing": [r for r in rows if not passes_repeat_test(r)],
        "unsolvable": [r for r in passing if not solvable(r)],
    }
    if count != expected:
        problems.append("%s: %d rows, expected %d" % (name, count, expected))
    if share < MIN_PASS_SHARE:
        problems.append("%s: only %.1f%% pass the repeat test (need %.0f%%)"
                        % (name, share * 100, MIN_PASS_SHARE * 100))
    for r in stats["unsolvable"]:
        problems.append("%s: %r can never be fully revealed" % (name, r))
    if blank:
        problems.append("%s: %d blank rows" % (name, blank))
    if tabs:
        problems.append("%s: %d rows with a tab" % (name, tabs))
    return stats, problems


def main(argv):
    verbose = "-v" in argv
    args = [a for a in argv if a != "-v"]
    here = os.path.dirname(os.path.abspath(__file__))
    folder = args[0] if args else os.path.join(here, "..", "assets", "phrases")

    print("%-16s %3s %-15s %6s %8s %7s %5s %6s %6s %6s"
          % ("file", "cat", "name", "rows", "expected", "pass%", "dups",
             "trail", "0x92", "digits"))
    all_problems = []
    total = 0
    total_expected = 0
    for name, number, title, expected in LISTS:
        stats, problems = check_list(folder, name, number, title, expected,
                                     verbose)
        all_problems += problems
        total_expected += expected
        if stats is None:
            print("%-16s %3d %-15s %6s" % (name, number, title, "-"))
            continue
        total += stats["count"]
        print("%-16s %3d %-15s %6d %8d %6.1f%% %5d %6d %6d %6d"
              % (name, number, title, stats["count"], expected,
                 stats["share"] * 100, stats["duplicates"], stats["trailing"],
                 stats["quote_rows"], stats["digits"]))
        if verbose:
            for r in stats["failing"]:
                print("    fails repeat test: %r" % r)
    print("%-16s %3s %-15s %6d %8d" % ("total", "", "", total, total_expected))

    for p in all_problems:
        print("PROBLEM: " + p, file=sys.stderr)
    return 1 if all_problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
