#!/usr/bin/env bash
# Moves the product code to the naming style of .clang-tidy; re-runnable.
#
#   tools/apply-naming.sh [repo]      default: the current directory
#
# Scope: the names declared in engine/, core/, editor/ and framework/ (the
# code tools/check-naming.sh checks). Their uses everywhere (tests, tools,
# benchmarks, Windows-only sources) follow; names declared in tests/,
# tools/ and bench/ are left as they are.
#
# Steps, each idempotent (a renamed tree comes out unchanged):
#   1. hand-made fix-ups clang-tidy cannot make: NOLINT for names imposed
#      from outside (the standard library's container and lock protocols,
#      the VST 2.4 ABI header), and members spelled m<lower>..._ that
#      clang-tidy would mangle (it takes their "m" for the prefix);
#   2. clang-tidy's readability-identifier-naming over every translation
#      unit of a Linux build (.clang-tidy holds the style); only the fixes
#      of declarations in the product directories are applied, each with
#      all its uses in that unit; repeated until nothing is left;
#   3. the same old -> new names applied to the Windows-only sources, which
#      no Linux build compiles: private members (foo_) as words, the others
#      only after "." "->" or "::", long distinctive names as words;
#   4. tools/check-naming.sh.
# Needs clang-tidy-14 (run-clang-tidy-14, clang-apply-replacements-14),
# python3 with yaml, cmake. Build tree: build-rename/ (removed at the end).
# Afterwards build and test as usual (and tools/windows-tests.sh).
set -euo pipefail

repo=$(cd "${1:-.}" && pwd)
cd "$repo"
[ -f .clang-tidy ] || { echo "no .clang-tidy in $repo" >&2; exit 2; }

build=build-rename
work=$(mktemp -d)
mapping="$work/mapping.tsv"
: >"$mapping"
trap 'rm -rf "$work"' EXIT
jobs=$(nproc 2>/dev/null || echo 2)

# --- 1. fix-ups by hand ------------------------------------------------------

python3 - "$repo" <<'PY'
import re, sys, pathlib
repo = pathlib.Path(sys.argv[1])
marker = "  // NOLINT(readability-identifier-naming)"

def mark(name, pattern):
    """Appends the marker to every line of file name matching pattern."""
    path = repo / name
    if not path.exists():
        return
    lines = path.read_text().split("\n")
    changed = False
    for i, line in enumerate(lines):
        if re.search(pattern, line) and "NOLINT" not in line:
            lines[i] = line + marker
            changed = True
    if changed:
        path.write_text("\n".join(lines))

# std::unique_lock takes the plug-in lock by the standard names.
mark("framework/plugin/PluginLock.h", r"^\s*(void lock\(\);|bool try_lock\(\);|void unlock\(\);)")
mark("framework/plugin/PluginLock.cpp", r"^(void PluginLock::lock\(\)|bool PluginLock::try_lock\(\)|void PluginLock::unlock\(\))")
# ChordNotes is a container: range-for and the algorithms use its standard names.
mark("engine/ChordNotes.h",
     r"^\s*(bool push_back\(|void clear\(\)|void pop_front\(\)|std::size_t size\(\)|bool empty\(\)|"
     r"const int\* begin\(\)|const int\* end\(\)|int front\(\)|int back\(\)|bool contains\()")
mark("engine/ChordNotes.cpp", r"^(void ChordNotes::pop_front\(\)|bool ChordNotes::contains\()")

# The plug-in ABIs keep their own names (effClose, AEffect, clap_plugin_t).
def fence(name, guard):
    path = repo / name
    if not path.exists():
        return
    text = path.read_text()
    if "NOLINTBEGIN(readability-identifier-naming)" in text:
        return
    # Between the include guard's #define and its closing #endif.
    start = text.index(guard) + len(guard)
    end = text.rindex("#endif")
    text = (text[:start] + "// The binary interface keeps its own names.\n"
            "// NOLINTBEGIN(readability-identifier-naming)\n" + text[start:end] +
            "// NOLINTEND(readability-identifier-naming)\n" + text[end:])
    path.write_text(text)

fence("framework/plugin/vst2/Vst2Abi.h", "#define VELMORA_VST2_ABI_H\n")
fence("framework/plugin/clap/ClapAbi.h", "#define VELMORA_CLAP_ABI_H\n")

# Members spelled m<lower>..._ : clang-tidy would turn mono_ into mOno.
product = ["engine", "core", "editor", "framework"]
files = [p for d in product for p in (repo / d).rglob("*") if p.suffix in (".h", ".cpp")]
names = set()
for p in files:
    names |= set(re.findall(r"\b(m[a-z][A-Za-z0-9]*)_\b", p.read_text()))
if names:
    everywhere = files + [p for d in ("tests", "tools", "bench") for p in (repo / d).rglob("*")
                          if p.suffix in (".h", ".cpp")]
    for p in everywhere:
        text = p.read_text()
        new = text
        for n in names:
            new = re.sub(r"\b" + n + r"_\b", "m" + n[0].upper() + n[1:], new)
        if new != text:
            p.write_text(new)
PY

# --- 2. clang-tidy over the Linux build ---------------------------------------

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
# clang does not know some of gcc's flags: the database without them.
mkdir -p "$work/db"
sed -e 's/ -fvect-cost-model=[a-z]*//g' "$build/compile_commands.json" >"$work/db/compile_commands.json"

tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
runner=$(command -v run-clang-tidy-14 || command -v run-clang-tidy)
apply=$(command -v clang-apply-replacements-14 || command -v clang-apply-replacements)
units="^$repo/(engine|core|editor|framework|tests|tools|bench)/"

for round in 1 2 3 4; do
  rm -rf "$work/round" && mkdir -p "$work/round"
  "$runner" -p "$work/db" -clang-tidy-binary "$tidy" -j "$jobs" -quiet \
            -export-fixes "$work/all.yaml" "$units" >/dev/null 2>&1 || true
  [ -s "$work/all.yaml" ] || break
  # Keep the fixes of product declarations; note their old -> new names.
  kept=$(python3 - "$repo" "$work/all.yaml" "$work/round/fixes.yaml" "$mapping" <<'PY'
import re, sys, yaml
repo, source, target, mapping = sys.argv[1:5]
data = yaml.safe_load(open(source)) or {}
product = re.compile(re.escape(repo) + r"/(engine|core|editor|framework)/")
kept, pairs, cache = [], set(), {}
for diag in data.get("Diagnostics", []):
    message = diag.get("DiagnosticMessage", {})
    if not product.match(message.get("FilePath", "")):
        continue
    replacements = message.get("Replacements") or []
    if not replacements:
        continue
    kept.append(diag)
    for r in replacements:
        path = r["FilePath"]
        if path not in cache:
            cache[path] = open(path, "rb").read()
        old = cache[path][r["Offset"]:r["Offset"] + r["Length"]].decode("utf-8", "replace")
        if re.fullmatch(r"[A-Za-z_]\w*", old) and old != r["ReplacementText"]:
            pairs.add((old, r["ReplacementText"]))
data["Diagnostics"] = kept
yaml.safe_dump(data, open(target, "w"))
with open(mapping, "a") as out:
    for old, new in sorted(pairs):
        out.write(f"{old}\t{new}\n")
print(len(kept))
PY
)
  rm -f "$work/all.yaml"
  [ "$kept" -gt 0 ] || break
  "$apply" "$work/round"
done

# --- 3. the same names where no Linux build looks -----------------------------

sort -u "$mapping" -o "$mapping"
python3 - "$repo" "$mapping" <<'PY'
import re, sys, pathlib
repo, mapping = pathlib.Path(sys.argv[1]), sys.argv[2]
pairs = [line.rstrip("\n").split("\t") for line in open(mapping) if "\t" in line]
windows_only = set()
for pattern in ("engine/**/win/*", "core/**/win/*", "editor/**/win/*", "framework/**/win/*", "tests/windows/**/*"):
    windows_only |= {p for p in repo.glob(pattern) if p.suffix in (".h", ".cpp")}
def rules(old, new):
    o = re.escape(old)
    if old.endswith("_") or (len(old) >= 8 and re.search(r"[a-z][A-Z]", old)):
        return [(r"(?<![\w])" + o + r"(?![\w])", new)]
    # A field renamed lowerCamel is never called: Rect::W() stays W().
    after = r"(?![\w(])" if new[0].islower() else r"(?![\w])"
    found = [(r"(\.|->|::)" + o + after, r"\g<1>" + new)]
    if old[0].islower() and new[0].isupper():
        # A method called on this without "this->": discard() -> Discard().
        found.append((r"(?<![\w.>:])" + o + r"(?=\()", new))
    return found
compiled = [(re.compile(a), b) for old, new in pairs for a, b in rules(old, new)]
# Private members that only Windows code declares (foo_) follow the same rule.
own = re.compile(r"(?<![\w])([a-z][A-Za-z0-9]*)_(?![\w])")
for path in sorted(windows_only):
    text = path.read_text()
    new = text
    for regex, rep in compiled:
        new = regex.sub(rep, new)
    if not path.parts[len(repo.parts)] == "tests":
        new = own.sub(lambda m: "m" + m.group(1)[0].upper() + m.group(1)[1:], new)
    if new != text:
        path.write_text(new)
PY

# --- 4. the check ---------------------------------------------------------------

tools/check-naming.sh "$build"
rm -rf "$build"
echo "apply-naming: done"
