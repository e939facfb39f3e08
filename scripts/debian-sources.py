#!/usr/bin/env python3
"""Writes deb-src entries that mirror the system's own Debian 12 entries, for bookworm and
for trixie (its suites -updates and -security included), so that apt-get source finds the
libraries we build from Debian's source packages. The archive addresses are the system's own.

    debian-sources.py OUTPUT.sources
"""
import glob
import re
import sys

RELEASE, NEXT = "bookworm", "trixie"


def entries():
    """(uris, suites, components, signed_by) of every 'deb' entry of the system's sources."""
    for path in glob.glob("/etc/apt/sources.list.d/*.sources"):
        with open(path) as f:
            for block in re.split(r"\n\s*\n", f.read()):
                fields = {}
                for line in block.splitlines():
                    if line.startswith("#") or ":" not in line:
                        continue
                    key, value = line.split(":", 1)
                    fields[key.strip()] = value.strip()
                if "deb" in fields.get("Types", "").split():
                    yield (fields.get("URIs", ""), fields.get("Suites", "").split(),
                           fields.get("Components", "main"), fields.get("Signed-By"))
    for path in ["/etc/apt/sources.list"] + glob.glob("/etc/apt/sources.list.d/*.list"):
        try:
            lines = open(path).read().splitlines()
        except OSError:
            continue
        for line in lines:
            words = line.split("#", 1)[0].split()
            if len(words) >= 3 and words[0] == "deb" and not words[1].startswith("["):
                yield words[1], [words[2]], " ".join(words[3:]) or "main", None


def main():
    stanzas = []
    for uris, suites, components, signed_by in entries():
        ours = [s for s in suites if s == RELEASE or s.startswith(RELEASE + "-")]
        if not ours:
            continue
        ours += [NEXT + s[len(RELEASE):] for s in ours]
        stanza = ["Types: deb-src", "URIs: " + uris, "Suites: " + " ".join(ours),
                  "Components: main"]
        if signed_by:
            stanza.append("Signed-By: " + signed_by)
        stanzas.append("\n".join(stanza))
    if not stanzas:
        sys.exit("debian-sources.py: no Debian 12 entry among the system's apt sources")
    with open(sys.argv[1], "w") as f:
        f.write("# Written by scripts/debian-sources.py: Debian's source packages.\n")
        f.write("\n\n".join(stanzas) + "\n")


if __name__ == "__main__":
    main()
