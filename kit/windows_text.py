#!/usr/bin/env python3
"""A text file of the author's kit as every Windows shows it in Notepad: CRLF line ends and
the Western code page (Windows-1252), no byte-order mark.

usage: windows_text.py copy IN OUT
"""
import sys


def main():
    if len(sys.argv) != 4 or sys.argv[1] != "copy":
        sys.exit(__doc__.split("\n\n")[1])
    with open(sys.argv[2], encoding="utf-8") as file:
        lines = file.read().splitlines()
    with open(sys.argv[3], "wb") as file:
        file.write("\r\n".join(lines).rstrip("\r\n").encode("cp1252") + b"\r\n")


if __name__ == "__main__":
    main()
