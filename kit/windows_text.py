#!/usr/bin/env python3
"""Text files of the author's kit as every Windows shows them in Notepad: CRLF line ends and
the Western code page (Windows-1252), no byte-order mark.

usage: windows_text.py section README.md HEADING OUT   the README's "## HEADING" part, as text
       windows_text.py copy IN OUT                      a text file as it stands
"""
import re
import sys


def section(markdown, heading):
    """The lines of "## heading" up to the next heading of that level."""
    lines = markdown.splitlines()
    start = lines.index("## " + heading)
    end = next((i for i in range(start + 1, len(lines)) if lines[i].startswith("## ")),
               len(lines))
    return lines[start:end]


def plain(lines):
    """Markdown as text: headings underlined, code indented instead of fenced, inline marks
    gone, tables as rows of columns, links with their address."""
    out = []
    code = False
    for line in lines:
        if line.startswith("```"):
            code = not code
            continue
        if code:
            out.append("    " + line)
            continue
        heading = re.match(r"(#+) (.*)", line)
        if heading:
            out += [heading.group(2), ("=" if len(heading.group(1)) <= 2 else "-") *
                    len(heading.group(2))]
            continue
        if re.fullmatch(r"\|[-|]+\|", line):
            continue
        if line.startswith("|"):
            line = "  ".join(cell.strip() for cell in line.strip("|").split("|"))
        line = re.sub(r"\[([^]]+)\]\(([^)]+)\)", r"\1 (\2)", line)
        out.append(line.replace("`", "").replace("**", ""))
    return out


def write(path, lines):
    with open(path, "wb") as file:
        file.write("\r\n".join(lines).rstrip("\r\n").encode("cp1252", "replace") + b"\r\n")


def main():
    if len(sys.argv) == 5 and sys.argv[1] == "section":
        with open(sys.argv[2], encoding="utf-8") as file:
            write(sys.argv[4], plain(section(file.read(), sys.argv[3])))
    elif len(sys.argv) == 4 and sys.argv[1] == "copy":
        with open(sys.argv[2], encoding="utf-8") as file:
            write(sys.argv[3], file.read().splitlines())
    else:
        sys.exit(__doc__.split("\n\n")[1])


if __name__ == "__main__":
    main()
