#!/usr/bin/python3
"""Runs a target program under qemu-user, as CTest's emulator.

    run_emulated.py QEMU TRIPLE PROGRAM [ARGS...]

Two things qemu-user does not do for the program it emulates are done here:
- prctl(PR_SET_CHILD_SUBREAPER) is refused inside qemu, so the integration
  tests, which adopt the daemons they start, get the attribute from this
  host-side launcher; it survives the exec into qemu.
- A program that executes itself again (GoogleTest's thread-safe death tests
  run argv[0]) would hand the kernel a target binary it cannot run. The
  program is therefore told that its argv[0] is a small host script of the
  same name (in the folder reexec/ beside it) that runs it under qemu again;
  the same name, since programs take their own name from argv[0].
"""
import ctypes
import os
import sys

PR_SET_CHILD_SUBREAPER = 36


def qemu_command(qemu, triple):
    prefix = "/usr/" + triple
    return [qemu, "-L", prefix, "-E", "LD_LIBRARY_PATH=" + prefix + "/lib"]


def reexec_script(program, command):
    """Writes reexec/PROGRAM beside PROGRAM (atomically: tests run in parallel)."""
    folder = os.path.join(os.path.dirname(program), "reexec")
    os.makedirs(folder, exist_ok=True)
    script = os.path.join(folder, os.path.basename(program))
    words = command + ["-0", script, program]
    text = "#!/bin/sh\nexec " + " ".join("'" + w + "'" for w in words) + ' "$@"\n'
    temporary = "%s.%d" % (script, os.getpid())
    with open(temporary, "w") as handle:
        handle.write(text)
    os.chmod(temporary, 0o755)
    os.rename(temporary, script)
    return script


def main():
    qemu, triple, program = sys.argv[1], sys.argv[2], os.path.abspath(sys.argv[3])
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        sys.exit("run_emulated: prctl: " + os.strerror(ctypes.get_errno()))
    command = qemu_command(qemu, triple)
    script = reexec_script(program, command)
    os.execv(qemu, command + ["-0", script, program] + sys.argv[4:])


main()
