#!/usr/bin/env python3
"""Prints one line per object of a PDF as qpdf reads it: "N kind key,key,..." (kind is
dict, stream, array or value; keys of dictionaries and stream dictionaries in byte order)."""
import json
import subprocess
import sys

data = json.loads(subprocess.run(["qpdf", "--json=2", "--json-key=qpdf", sys.argv[1]],
                                 check=False, capture_output=True).stdout)
for key, obj in data["qpdf"][1].items():
    if not key.startswith("obj:"):
        continue
    number = int(key[4:].split()[0])
    if "stream" in obj:
        kind, keys = "stream", obj["stream"]["dict"].keys()
    elif isinstance(obj.get("value"), dict):
        kind, keys = "dict", obj["value"].keys()
    elif isinstance(obj.get("value"), list):
        kind, keys = "array", []
    else:
        kind, keys = "value", []
    names = sorted(k[1:].encode("utf-8") for k in keys)
    print(number, kind, ",".join(n.decode("utf-8", "replace") for n in names))
