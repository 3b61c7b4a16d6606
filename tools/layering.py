#!/usr/bin/env python3
# Lists includes that go upward in the layering the README's layout section writes down; exits
# non-zero when there is one. Usage: tools/layering.py [SOURCE_DIR]
import os, re, sys
order = ['platform','protocol','address','lan','router','fleet','widgets','assets','host','webserve','board','features','windows','client/core','client','app','quillet-host','lobby','web']
rank = {d:i for i,d in enumerate(order)}
def folder(path):
    if path.startswith('client/core/'): return 'client/core'
    top = path.split('/')[0]
    return top if top in rank else None
root = sys.argv[1] if len(sys.argv) > 1 else '.'
bad = 0
for d in order:
    base = os.path.join(root, d)
    for dirpath, _, files in os.walk(base):
        if d == 'client' and 'core' in dirpath.split(os.sep)[-1:]: continue
        for f in files:
            if not f.endswith(('.cpp','.h')): continue
            rel = os.path.relpath(os.path.join(dirpath,f), root)
            me = folder(rel)
            for line in open(os.path.join(dirpath,f), errors='replace'):
                m = re.match(r'#include "([^"]+)"', line)
                if not m: continue
                them = folder(m.group(1))
                if them and rank[them] > rank[me]:
                    print(f"{rel}: {m.group(1)}"); bad += 1
print(bad, "upward includes")
sys.exit(1 if bad else 0)
