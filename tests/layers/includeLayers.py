#!/usr/bin/python3
"""Checks that every library includes only its own headers and those of the
layers below it. Usage: includeLayers.py SOURCE_DIR. Prints each upward or
sideways include and exits 1 when there is one."""
import pathlib
import re
import sys

# From the bottom up; a layer may include its own headers and those of the
# layers before it. The apps share the top layer but not each other's headers.
LAYERS = [
    ("log", ["vok_support/src/log"]),
    ("process", ["vok_support/src/process"]),
    ("cmdline", ["vok_support/src/cmdline"]),
    ("messages", ["vok_support/src/messages"]),
    ("transport", ["vok_support/src/transport"]),
    ("app", ["vok_support/src/app"]),
    ("common", ["common/src"]),
    ("client", ["vok_support/src/client"]),
    ("records", ["common/records/remote_control", "common/records/camera"]),
]
APPS = ["Apps/VOK_App/src", "Apps/vok_launcher/src", "servo_controller/src", "consumer/src", "consumer/frame_feed/src",
        "command_feed/src", "camera/src", "dds_bridge/src"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCES = {".h", ".hpp", ".cpp", ".c"}


def owners(root):
    """(rank, owner) of each folder: layers ranked bottom up, the apps above all."""
    table = [(rank, name, folder) for rank, (name, folders) in enumerate(LAYERS) for folder in folders]
    table += [(len(LAYERS), app, app) for app in APPS]
    return [(rank, name, root / folder) for rank, name, folder in table]


def owner_of(path, table):
    # The deepest folder that holds the file: servo_controller/src/drivers is servo_controller's.
    holders = [(len(folder.parts), rank, name) for rank, name, folder in table if folder in path.parents]
    return max(holders)[1:] if holders else None


def main(root):
    table = owners(root)
    headers = {}
    for _, _, folder in table:
        for header in folder.rglob("*.h"):
            headers.setdefault(header.name, []).append(owner_of(header, table))
    faults = []
    for _, _, folder in table:
        for source in sorted(folder.rglob("*")):
            if source.suffix not in SOURCES:
                continue
            rank, name = owner_of(source, table)
            for included in INCLUDE.findall(source.read_text(errors="replace")):
                candidates = headers.get(pathlib.PurePath(included).name)
                if not candidates:
                    continue  # system, generated or third-party
                allowed = [c for c in candidates if c[0] < rank or c[1] == name]
                if not allowed:
                    faults.append(f"{source.relative_to(root)}: includes {included} of {candidates[0][1]}")
    for fault in faults:
        print(fault)
    print(f"{len(faults)} include(s) against the layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1]).resolve()))
