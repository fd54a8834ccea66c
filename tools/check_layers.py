#!/usr/bin/env python3
"""Fails on any #include of src/ or apps/ that goes against the layer order.

The order (docs/decisions.md, "Layers"), lowest first:

  runtime <- host <- forms <- core <- files <- export | import | rates
          <- component <- hostkit <- qt | jobs <- apps

A folder may include its own headers and those of the folders in its ALLOWED
entry, nothing else: not a layer above it, and not a sibling (export, import
and rates know nothing of each other; qt and jobs neither). hostkit, qt, jobs
and apps sit on the component's installed headers only: export, import and
rates are not in their lists, and of core, files and component they may
include only PUBLIC_HEADERS (kept in step with cmake/NorvInstall.cmake).
Tests, fuzz targets and benchmarks reach into every layer on purpose and are
not checked.

Usage: tools/check_layers.py [ROOT]   (exit status 1 on any violation)
"""
import os
import re
import sys

COMPONENT = ["runtime", "host", "forms", "core", "files", "export", "import", "rates",
             "component"]
PUBLIC = ["runtime", "host", "forms", "core", "files", "export", "component"]
# What a host sees of the component (the installed headers): all of runtime,
# host and forms, and these few of the layers above them.
PUBLIC_HEADERS = {"core/client_bank.h", "core/records.h", "core/error_numbers.h",
                  "core/resource_ids.h", "core/err_description.h", "files/browse_path.h",
                  "export/payment_fields.h",
                  "component/registration.h"}

# folder -> the folders its files may include (besides its own)
ALLOWED = {
    "runtime": [],
    "host": ["runtime"],
    "forms": ["runtime", "host"],
    "core": ["runtime", "host", "forms"],
    "files": ["runtime", "host", "forms", "core"],
    "export": ["runtime", "host", "forms", "core", "files"],
    "import": ["runtime", "host", "forms", "core", "files"],
    "rates": ["runtime", "host", "forms", "core", "files"],
    "component": ["runtime", "host", "forms", "core", "files", "export", "import", "rates"],
    "hostkit": PUBLIC,
    "qt": PUBLIC + ["hostkit"],
    "jobs": PUBLIC + ["hostkit"],
    "apps": PUBLIC + ["hostkit", "qt", "jobs"],
}
ORDER = list(ALLOWED)  # dict order is the layer order, lowest first

INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]')


def layer_of_file(root, path):
    rel = os.path.relpath(path, root).split(os.sep)
    if rel[0] == "src" and len(rel) > 2:
        return rel[1]
    if rel[0] == "apps":
        return "apps"
    return None


def resolve_include(root, including_file, target):
    """(folder, path under src/) of the header an include names, or (None, None)
    for a header outside src/."""
    # A quoted include is looked up beside the including file first.
    beside = os.path.normpath(os.path.join(os.path.dirname(including_file), target))
    if os.path.isfile(beside) and layer_of_file(root, beside) is not None:
        rel = os.path.relpath(beside, os.path.join(root, "src"))
        return layer_of_file(root, beside), rel.replace(os.sep, "/")
    first = target.split("/")[0]
    if "/" in target and first in ALLOWED and os.path.isfile(os.path.join(root, "src", target)):
        return first, target
    return None, None


SIBLINGS = [{"export", "import", "rates"}, {"qt", "jobs"}]


def why(layer, used):
    if used not in ORDER:
        return "unknown layer"
    if any(layer in group and used in group for group in SIBLINGS):
        return "sibling layer"
    if ORDER.index(used) > ORDER.index(layer):
        return "layer above"
    if ORDER.index(used) < ORDER.index(layer) and layer in ALLOWED and used in ALLOWED:
        # Lower but not allowed: a sibling's or an internal layer of the component.
        return "not a layer %s may use" % layer
    return "not allowed"


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(__file__), ".."))
    problems = []
    for top in ("src", "apps"):
        for dirpath, _, names in os.walk(os.path.join(root, top)):
            for name in sorted(names):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(dirpath, name)
                layer = layer_of_file(root, path)
                if layer is None:
                    continue
                if layer not in ALLOWED:
                    problems.append("%s: folder %s is not in the layer table" %
                                    (os.path.relpath(path, root), layer))
                    continue
                with open(path, encoding="utf-8") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        used, header = resolve_include(root, path, m.group(1))
                        if used is None or used == layer:
                            continue
                        if used in ALLOWED[layer]:
                            if (layer in COMPONENT or used not in COMPONENT or
                                    used in ("runtime", "host", "forms") or
                                    header in PUBLIC_HEADERS):
                                continue
                            problems.append("%s:%d includes %s (internal to the component)" %
                                            (os.path.relpath(path, root), number, m.group(1)))
                            continue
                        problems.append("%s:%d includes %s (%s)" %
                                        (os.path.relpath(path, root), number, m.group(1),
                                         why(layer, used)))
    for p in problems:
        print(p)
    if problems:
        print("check_layers: %d include(s) against the layer order" % len(problems))
        return 1
    print("check_layers: every include keeps to the layer order")
    return 0


if __name__ == "__main__":
    sys.exit(main())
