"""hcluster's tree outputs checked with SciPy as the independent implementation.

Usage: interchange_check.py HCLUSTER FOLDER

For every method on data without ties: the JSON's "linkage" is a valid SciPy linkage
whose dendrogram shows the leaves in our item order; its heights equal those of SciPy's
own linkage of the same data (where SciPy has the method); "membership" equals SciPy's
cut_tree of that linkage, renumbered by first appearance; "--cut" equals fcluster's
distance criterion; R's "merge"/"height"/"order" say the same tree; the Newick file parses
back to the same leaves and heights. Then the picture files, a tie notice, and the inputs
that must fail without touching an existing file. Prints what fails and exits 1.
"""
import json
import os
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

import numpy as np
from scipy.cluster import hierarchy
from scipy.spatial.distance import pdist

HCLUSTER, FOLDER = sys.argv[1], sys.argv[2]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(*args):
    return subprocess.run([HCLUSTER, *args], capture_output=True, text=True)


def first_appearance(labels):
    """Cluster numbers renumbered 1..k in the order of their first item."""
    seen = {}
    return [seen.setdefault(c, len(seen) + 1) for c in labels]


def parse_newick(text):
    """(leaf labels in order, root-to-leaf path lengths) of a Newick tree."""
    pos, leaves, depths = 0, [], []

    def until(stops):
        nonlocal pos
        start = pos
        while text[pos] not in stops:
            pos += 1
        return text[start:pos]

    def name():
        nonlocal pos
        if text[pos] != "'":
            return until(",():;").replace("_", " ")
        out = ""
        pos += 1
        while not (text[pos] == "'" and text[pos + 1] != "'"):
            out += text[pos]
            pos += 2 if text[pos] == "'" else 1
        pos += 1
        return out

    def length():
        nonlocal pos
        if text[pos] != ":":
            return 0.0
        pos += 1
        return float(until(",();"))

    def node():
        nonlocal pos
        if text[pos] != "(":
            leaves.append(name())
            depths.append(length())
            return
        first_leaf = len(leaves)
        pos += 1
        node()
        while text[pos] == ",":
            pos += 1
            node()
        assert text[pos] == ")"
        pos += 1
        branch = length()
        for i in range(first_leaf, len(leaves)):
            depths[i] += branch

    node()
    assert text[pos] == ";", text[pos:pos + 20]
    return leaves, depths


# Data without ties: 40 points, labels that Newick must quote.
rng = np.random.default_rng(20)
X = rng.normal(size=(40, 3))
X[:15] += 3.0
labels = [f"item {i}" if i % 7 == 0 else f"it'em_{i}" if i % 11 == 0 else f"p{i}" for i in range(40)]
data = os.path.join(FOLDER, "points.csv")
with open(data, "w") as f:
    for label, row in zip(labels, X):
        quoted = '"' + label + '"'
        f.write(quoted + "," + ",".join(repr(float(v)) for v in row) + "\n")
D = pdist(X)
assert len(set(np.round(D, 12))) == len(D), "the data must be without ties"

scipy_methods = {"single": "single", "complete": "complete", "average": "average", "centroid": "centroid",
                 "ward": "ward", "flexible": None}
for method, scipy_method in scipy_methods.items():
    out = os.path.join(FOLDER, method + ".json")
    nwk = os.path.join(FOLDER, method + ".nwk")
    r = run(data, "-l", "-M", method, "--clusters", "2-4,7", "--no-matrix", "--json", out, "--newick", nwk)
    check(r.returncode == 0, f"{method}: exit {r.returncode}: {r.stderr}")
    if r.returncode != 0:
        continue
    doc = json.load(open(out))
    check(doc["distance_matrix"] is None, f"{method}: --no-matrix left a matrix")
    check(doc["input"]["method"] == method, f"{method}: input.method {doc['input']['method']}")
    Z = np.array(doc["linkage"], dtype=float)
    check(hierarchy.is_valid_linkage(Z), f"{method}: not a valid linkage")
    order = doc["order"]
    leaves = hierarchy.dendrogram(Z, no_plot=True)["leaves"]
    check([leaf + 1 for leaf in leaves] == order, f"{method}: dendrogram leaves {leaves} != order {order}")
    # R's layout says the same tree as the linkage.
    n = len(labels)
    to_r = lambda c: -(int(c) + 1) if c < n else int(c) - n + 1
    check(doc["merge"] == [[to_r(a), to_r(b)] for a, b in Z[:, :2]], f"{method}: merge differs from linkage")
    check(doc["height"] == list(Z[:, 2]), f"{method}: height differs from linkage")
    # SciPy's own linkage of the same data: heights and memberships.
    reference = Z if scipy_method is None else hierarchy.linkage(X, scipy_method)
    check(np.allclose(np.sort(Z[:, 2]), np.sort(reference[:, 2]), rtol=1e-10, atol=1e-12),
          f"{method}: heights differ from SciPy's")
    for k in (2, 3, 4, 7):
        theirs = first_appearance(hierarchy.cut_tree(reference, n_clusters=k)[:, 0])
        check(doc["membership"][str(k)] == theirs, f"{method}: membership for k={k} differs from cut_tree")
    # --cut between two heights agrees with fcluster's distance criterion.
    if method in ("single", "complete", "average"):
        level = (Z[-4, 2] + Z[-3, 2]) / 2
        r = run(data, "-l", "-M", method, "--cut", repr(level), "--json", "-")
        cut = json.loads(r.stdout)
        check(cut["cut"]["clusters"] == 4, f"{method}: --cut gave {cut['cut']}")
        theirs = first_appearance(hierarchy.fcluster(reference, level, criterion="distance"))
        check(cut["membership"]["4"] == theirs, f"{method}: --cut membership differs from fcluster")
    # Newick: the same leaves in the same order, each at the root's height (monotone trees).
    names, depths = parse_newick(open(nwk).read())
    check(names == [labels[i - 1] for i in order], f"{method}: Newick leaves differ")
    if method != "centroid":
        check(np.allclose(depths, Z[-1, 2], rtol=1e-12), f"{method}: Newick path lengths differ from the root height")

# Similarities: the complement scale gives a valid linkage in our leaf order.
r = run(os.path.join(os.path.dirname(__file__), "..", "..", "examples", "animals.csv"), "-t", "binomial", "-l",
        "--json", "-")
doc = json.loads(r.stdout)
Z = np.array(doc["linkage"], dtype=float)
check(hierarchy.is_valid_linkage(Z) and hierarchy.is_monotonic(Z), "similarities: linkage not valid and monotone")
check(doc["height_scale"] == "max_val_minus_level", f"similarities: scale {doc['height_scale']}")

# Pictures: SVG parses, PNG and PDF have the documented size (720 points, 110 + 14 n).
for extension in ("svg", "png", "pdf"):
    picture = os.path.join(FOLDER, "tree." + extension)
    r = run(data, "-l", "--clusters", "3", "--picture", picture)
    check(r.returncode == 0 and os.path.exists(picture), f"picture {extension}: {r.stderr}")
    height = 110 + 14 * len(labels)
    if extension == "svg":
        root = ET.parse(picture).getroot()
        check(root.tag.endswith("svg") and root.get("width") == "720pt" and root.get("height") == f"{height}pt",
              f"svg: {root.tag} {root.attrib}")
    elif extension == "png":
        head = open(picture, "rb").read(24)
        check(head[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", head[16:24]) == (1440, 2 * height),
              f"png: {struct.unpack('>II', head[16:24])}")
    else:
        pdf = open(picture, "rb").read()
        check(pdf.startswith(b"%PDF") and f"/MediaBox [ 0 0 720 {height} ]".encode() in pdf, "pdf: size")

# A tie at the cut: four items all at distance 1.
tied = os.path.join(FOLDER, "tied.csv")
with open(tied, "w") as f:
    f.write("0,1,1,1\n1,0,1,1\n1,1,0,1\n1,1,1,0\n")
r = run(tied, "-t", "distance", "--clusters", "2", "--json", "-")
check("the 2-cluster solution is not unique: steps 1, 2 and 3 of the schedule join at the same level 1" in r.stderr,
      f"tie notice: {r.stderr}")
check(json.loads(r.stdout)["membership_ties"] == {"2": {"steps": [1, 2, 3], "level": 1}}, "tie in the JSON")

# Inputs that fail: status 2, the message, and an existing destination left as it was.
keep = os.path.join(FOLDER, "keep.nwk")
undefined = os.path.join(FOLDER, "constant.csv")
with open(undefined, "w") as f:
    f.write("1,1\n1,1\n1,1\n")
for args, message in (
        ([data, "-l", "--clusters", "41", "--newick", keep], "hcluster: --clusters 41: the data hold only 40 items"),
        ([undefined, "-m", "correlation", "--newick", keep],
         "hcluster: there is no tree for --newick: the distance/similarity matrix is undefined")):
    with open(keep, "w") as f:
        f.write("precious")
    r = run(*args)
    check(r.returncode == 2 and r.stderr.strip() == message, f"{args}: exit {r.returncode}, {r.stderr!r}")
    check(open(keep).read() == "precious" and sorted(os.listdir(FOLDER)).count("keep.nwk") == 1,
          f"{args}: the existing file was touched")
    check(not [name for name in os.listdir(FOLDER) if name.startswith("keep.nwk.")], f"{args}: a temporary file is left")

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
