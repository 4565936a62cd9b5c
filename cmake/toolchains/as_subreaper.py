#!/usr/bin/python3
"""Runs a command as the reaper of its orphaned descendants.

qemu-user refuses prctl(PR_SET_CHILD_SUBREAPER) for the program it emulates,
so the integration tests, which adopt the daemons they start, get the
attribute from this host-side launcher; it survives the exec into qemu.
"""
import ctypes
import os
import sys

PR_SET_CHILD_SUBREAPER = 36

if ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
    sys.exit("as_subreaper: prctl: " + os.strerror(ctypes.get_errno()))
os.execv(sys.argv[1], sys.argv[1:])
