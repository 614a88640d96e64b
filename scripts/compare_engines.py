#!/usr/bin/env python3
"""Runs two tevra binaries on the same random calculations and compares
everything they print: the resulting texts, the carets, the last results,
every log record and every memory cell.

Used to show that a change to the engine keeps its results and reports: build
the engine before the change into one binary and after it into another, then

    python3 scripts/compare_engines.py OLD_TEVRA NEW_TEVRA [--chains N] [--seed S]

The texts are infix chains of 2 to 2,000 terms (numbers in every notation,
names, memory cells, functions, series, factorials, stores, brackets, both
minus signs, signs of exponents, results that overflow or underflow) and short
hostile texts (unpaired brackets, stray operators). The chains stay within the
limits older engines had (32,768 characters, 2,000 nodes on a path), so both
binaries must calculate them. Exit status 0 when every output is the same.
"""
import argparse
import os
import random
import subprocess
import sys
import tempfile

NUMBERS = ["0", "1", "2", "3", "7", "10", "0.5", ".5", "5.", "1e-5", "2.5E+3", "1e400", "1e-400", "1e308",
           "1e-200", "1e+", "e5", "12345678901234567890", "3.000", "1e\u22122", "0.1", "1e-320"]
NAMES = ["x", "i", "y_1", "k"]
CELLS = ["mem[a]", "Mem[b]", "MEMORY{c}", "mem[ d ]", "mem(q)"]
KEYWORDS = ["pi", "e", "rslt", "Result", "rand", "\u03C0"]
FUNCTIONS = ["sin", "cos", "ln", "sqrt", "abs", "gamma", "exp", "lg", "sign", "tg", "atan", "ch", "acos", "\u221A"]
FACTORIALS = ["3!", "(2+1)!", "(3)!!", "171!", "23!", "0.5!", "(-1)!", "pi!", "(0)!!!"]
STORES = ["(5->mem[a])", "(2->mem[b]->mem[c])", "(1\u2212>mem[d])"]
SERIES = ["sum(i,1,3,i*2)", "prod(k,1,4,k)", "sum(i,1,2,i+x)", "j(1,2)", "y(0,1)", "sum(i,3,1,-1,i^2)"]
BROKEN = ["", "(", ")", "2*", "*2", "$", ")(", "1,2", "sin", "mem", "x!"]
INFIX = ["+", "-", "\u2212", "*", "\u00D7", "/", "\u00F7", "^"]


def pick_operator(rng, mix):
    return rng.choices(INFIX, weights=mix)[0]


def term(rng, depth, broken, first):
    if rng.random() < broken:
        return rng.choice(BROKEN)
    kind = rng.random()
    if kind < 0.40 or depth > 3:
        if rng.random() < 0.1:
            # A leading sign only starts a chain; exponent signs go anywhere.
            return rng.choice(["-", "+", "\u2212"]) + rng.choice(NUMBERS) if first else rng.choice(["2e+2", "3.e-1"])
        return rng.choice(NUMBERS)
    if kind < 0.48:
        return rng.choice(NAMES)
    if kind < 0.55:
        return rng.choice(CELLS)
    if kind < 0.62:
        return rng.choice(KEYWORDS)
    if kind < 0.72:
        return rng.choice(FUNCTIONS) + "(" + chain(rng, depth + 1, rng.randint(1, 4), None, broken) + ")"
    if kind < 0.80:
        # A sign directly behind an operator is a syntax error: "-(" only
        # starts a chain, unless the text is meant to be broken.
        brackets = [("(", ")"), ("[", "]"), ("{", "}"), ("(-", ")")]
        if first or rng.random() < broken:
            brackets.append(("-(", ")"))
        opening, closing = rng.choice(brackets)
        return opening + chain(rng, depth + 1, rng.randint(1, 5), None, broken) + closing
    if kind < 0.86:
        return rng.choice(FACTORIALS)
    if kind < 0.90:
        return rng.choice(STORES)
    if kind < 0.96:
        return rng.choice(SERIES)
    return "(1,2)"


def chain(rng, depth, count, mix, broken):
    mix = mix or [5, 4, 1, 3, 1, 3, 1, 1]
    parts = [term(rng, depth, broken, True)]
    for _ in range(count - 1):
        space = " " if rng.random() < 0.1 else ""
        parts.append(space + pick_operator(rng, mix) + space + term(rng, depth, broken, False))
    return "".join(parts)


MIXES = [
    [1, 1, 0, 0, 0, 0, 0, 0],  # sums and differences only
    [1, 1, 1, 0, 0, 0, 0, 0],  # with U+2212
    [0, 0, 0, 1, 1, 1, 1, 0],  # products and quotients
    [0, 0, 0, 0, 0, 0, 0, 1],  # powers
    [5, 4, 1, 3, 1, 3, 1, 1],  # everything
]


def statement(rng, terms):
    # Most statements are sound, so that long chains are evaluated to their
    # end; some hold a broken term somewhere.
    broken = 0.0 if rng.random() < 0.7 else rng.choice([0.0005, 0.002, 0.02])
    text = chain(rng, 0, terms, rng.choice(MIXES), broken)
    if rng.random() < 0.2:
        text += "->mem[z]"
    if rng.random() < 0.2:
        text += " = 99"
    return text


def significant_length(text):
    return len(text) - text.count(" ")


def chains(rng, count):
    out = []
    while len(out) < count:
        terms = rng.choice([2, 3, rng.randint(2, 50), rng.randint(2, 2000), rng.randint(1500, 1990)])
        text = statement(rng, terms)
        if significant_length(text) <= 32000:
            out.append(text)
    return out


def hostile(rng, count):
    alphabet = list("0123456789+-*/^!(),.e[]{} ") + ["mem", "sin", "->", "\u2212", "pi", "x", "$"]
    return ["".join(rng.choice(alphabet) for _ in range(rng.randint(1, 30))) for _ in range(count)]


def run(binary, files):
    done = subprocess.run([binary, "--json", "--seed", "7", "--"] + files, capture_output=True, timeout=600)
    return done.returncode, done.stdout


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("--chains", type=int, default=2000)
    parser.add_argument("--hostile", type=int, default=5000)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    texts = chains(rng, args.chains) + hostile(rng, args.hostile)
    differences = 0
    with tempfile.TemporaryDirectory() as folder:
        batch = 100
        for start in range(0, len(texts), batch):
            files = []
            for index, text in enumerate(texts[start:start + batch]):
                path = os.path.join(folder, "run%d.txt" % index)
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text)
                files.append(path)
            old = run(args.old, files)
            new = run(args.new, files)
            if old != new:
                old_lines = old[1].splitlines()
                new_lines = new[1].splitlines()
                for index, (a, b) in enumerate(zip(old_lines, new_lines)):
                    if a != b:
                        differences += 1
                        print("difference in run %d: %r" % (start + index, texts[start + index][:300]))
                        print("  old: %s" % a[:600].decode("utf-8", "replace"))
                        print("  new: %s" % b[:600].decode("utf-8", "replace"))
                        break
                else:
                    differences += 1
                    print("different exit status or line count in batch from %d: %d/%d, %d/%d" %
                          (start, old[0], new[0], len(old_lines), len(new_lines)))
    long_chains = sum(1 for t in texts[:args.chains] if t.count("+") + t.count("*") > 500)
    print("compared %d chains (%d with more than 500 operators) and %d hostile texts: %d differences"
          % (args.chains, long_chains, args.hostile, differences))
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
