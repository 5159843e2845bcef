"""Faults made mechanically in C++ sources, for scripts/mutate --random: the slips a hand makes without
meaning to. Each mutant is one line of one file changed in one way:

  a comparison flipped          a == b  ->  a != b,  a < b  ->  a >= b, ...
  a condition negated           if (x)  ->  if (!(x))
  an integer constant moved     2000    ->  2001 (or 1999)
  a call statement dropped      f(x);   ->  ;
  two arguments swapped         f(a, b) ->  f(b, a)

Lines of comments, of the preprocessor and of static assertions are left alone, and so is anything
inside a string or character literal. Whether a mutant compiles is for the caller to find out."""
import random, re

FLIPS = {" == ": " != ", " != ": " == ", " < ": " >= ", " > ": " <= ", " <= ": " > ", " >= ": " < "}
KEYWORDS = {"return", "if", "while", "for", "switch", "case", "delete", "throw", "sizeof", "static_assert"}


def in_literal(line, at):
    """Whether position at lies inside a string or character literal of the line."""
    quote, i = None, 0
    while i < at:
        c = line[i]
        if quote and c == "\\":
            i += 1
        elif quote and c == quote:
            quote = None
        elif not quote and c in "\"'":
            quote = c
        i += 1
    return quote is not None


def closing(line, opening):
    """The index of the parenthesis that closes the one at opening, on the same line, or -1."""
    depth = 0
    for i in range(opening, len(line)):
        depth += {"(": 1, ")": -1}.get(line[i], 0)
        if depth == 0:
            return i
    return -1


def line_mutants(line):
    """(kind, new line) for every way the line can be changed."""
    code = line.split("//")[0]
    stripped = code.strip()
    if not stripped or stripped.startswith(("#", "*", "/*", "static_assert")):  # nothing that runs
        return []
    out = []
    for old, new in FLIPS.items():
        for m in re.finditer(re.escape(old), code):
            if not in_literal(line, m.start()):
                out.append(("a comparison flipped", line[:m.start()] + new + line[m.end():]))
    for m in re.finditer(r"\b(if|while) \(", code):
        end = closing(line, m.end() - 1)
        if end > 0 and not in_literal(line, m.start()):
            inner = line[m.end():end]
            out.append(("a condition negated", line[:m.end()] + "!(" + inner + ")" + line[end:]))
    for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.'])", code):
        if not in_literal(line, m.start()):
            n = int(m[1])
            for moved in {n + 1, max(n - 1, 0)} - {n}:
                out.append(("a constant moved by one", line[:m.start()] + str(moved) + line[m.end():]))
    call = re.match(r"^(\s*)([A-Za-z_][\w:]*(?:(?:\.|->)[A-Za-z_]\w*)*)\(.*\);\s*$", line)
    if call and call[2].split("::")[0].split(".")[0] not in KEYWORDS:
        out.append(("a call statement dropped", call[1] + ";\n"))
    for m in re.finditer(r"\b\w+\(([^(),\"']+), ([^(),\"']+)\)", code):
        if m[1].strip() != m[2].strip():
            out.append(("two arguments swapped", line[:m.start(1)] + m[2] + ", " + m[1] + line[m.end(2):]))
    return out


def mutants(paths, seed):
    """Every mutant of the files, as (path, line index, kind, new line), in an order the seed decides."""
    found = []
    for path in paths:
        for index, line in enumerate(open(path).read().splitlines(keepends=True)):
            found += [(path, index, kind, new) for kind, new in line_mutants(line)]
    random.Random(seed).shuffle(found)
    return found
