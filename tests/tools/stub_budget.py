#!/usr/bin/env python3
"""The setup stub's size budget: fails when the stub has grown past LIMIT
bytes. A link gives the same bytes every time, so this is a plain assertion.

Usage: stub_budget.py STUB LIMIT"""
import os
import sys


def main(stub, limit):
    size = os.path.getsize(stub)
    if size > limit:
        print("%s is %d bytes, %d over its budget of %d; bench/size shows what each library "
              "brings (size_report, from the link map %s)"
              % (stub, size, size - limit, limit, os.path.splitext(stub)[0] + ".map"))
        return 1
    print("%s is %d bytes, %d under its budget of %d" % (stub, size, limit - size, limit))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], int(sys.argv[2])))
