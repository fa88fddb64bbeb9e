#!/usr/bin/env python3
"""Mutation testing, run by hand: how many small faults do the suites catch?

One mutation at a time in the files named (an operator, a constant, a
boolean, a call statement removed), an incremental build of the suites named,
then those suites in order until the first failure. The file is always put
back, even on Ctrl-C; still, run it in a tree you are not editing (a copy,
or `git worktree add`), since a build meanwhile would see the mutant.

  python3 scripts/mutants.py --build build-mut --suites test_tours,test_donne \\
      --slow test_parties --sample 100 --seed 1 game/*.cpp
  python3 scripts/mutants.py --list game/tours.cpp          # the mutants, nothing run
  python3 scripts/mutants.py --only 17,42 --suites ... game/*.cpp   # those again

Operators are mutated only where spaced as binary operators (` < `), which
leaves templates, `->` and `<<` alone; comments, strings and preprocessor
lines are never touched. A suite that outlives its time limit (--factor times
its own time on the unmutated tree, plus 20 s) has caught the mutant: a game
that never ends is a fault found.
"""
import argparse, os, random, re, signal, subprocess, sys, time

SWAPS = [(' < ', ' <= '), (' <= ', ' < '), (' > ', ' >= '), (' >= ', ' > '),
         (' == ', ' != '), (' != ', ' == '), (' && ', ' || '), (' || ', ' && '),
         (' + 1', ' - 1'), (' - 1', ' + 1'), ('true', 'false'), ('false', 'true')]
NUMBER = re.compile(r'(?<![\w.])\d+(?![\w.\'])')
CALL = re.compile(r'\s*[A-Za-z_][\w:]*(?:(?:->|\.)[A-Za-z_]\w*|\[[^\]]*\])*\(.*\);\s*$')
running = []   # the suite under way: its whole process group is ended on any stop


def code_only(line, in_block):
    """The line with comments and the insides of literals blanked out."""
    out, i = [], 0
    while i < len(line):
        if in_block or line.startswith('/*', i):
            j = line.find('*/', i + (0 if in_block else 2))
            end = len(line) if j < 0 else j + 2
            out.append(' ' * (end - i))
            i, in_block = end, j < 0
        elif line.startswith('//', i):
            break
        elif line[i] in '"\'':
            j = i + 1
            while j < len(line) and line[j] != line[i]:
                j += 2 if line[j] == '\\' else 1
            out.append(line[i] + ' ' * (min(j, len(line)) - i - 1) + line[i])
            i = j + 1
        else:
            out.append(line[i])
            i += 1
    return ''.join(out)[:len(line)].ljust(len(line)), in_block


def mutants_of(path, text):
    """Every mutant of one file: (path, line index, column, old text, new text)."""
    found, in_block = [], False
    for n, line in enumerate(text.split('\n')):
        code, in_block = code_only(line, in_block)
        if code.lstrip().startswith('#'):
            continue
        for old, new in SWAPS:
            pattern = r'\b%s\b' % old if old.isalpha() else re.escape(old)
            pattern += r'(?![\w.])' if old[-1].isdigit() else ''   # `+ 10` is not `+ 1`
            found += [(path, n, m.start(), old, new) for m in re.finditer(pattern, code)]
        found += [(path, n, m.start(), m.group(), str(int(m.group()) + 1))
                  for m in NUMBER.finditer(code)]
        if CALL.match(code) and code.count('(') == code.count(')') \
                and not re.match(r'\s*(return|delete|case)\b', code):
            found.append((path, n, 0, line, ''))   # removed: '' marks it
    return found


def apply(text, mut):
    path, n, col, old, new = mut
    lines = text.split('\n')
    line = lines[n]
    if new == '':   # an empty statement keeps an `if` around the call whole
        lines[n] = line[:len(line) - len(line.lstrip())] + ';'
    else:
        assert line[col:col + len(old)] == old
        lines[n] = line[:col] + new + line[col + len(old):]
    return '\n'.join(lines)


def describe(mut, text):
    path, n, col, old, new = mut
    line = text.split('\n')[n]
    if new == '':
        return '%s:%d  removed: %s' % (path, n + 1, line.split('//')[0].strip())
    left = re.search(r'\S*\s?$', line[:col]).group()
    right = re.match(r'\s?[^\s;]*', line[col + len(old):]).group()
    return '%s:%d  %s -> %s' % (path, n + 1, (left + old + right).strip(), (left + new + right).strip())


def stop(proc):
    if proc.poll() is None:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()


def passes(build, suite, limit):
    """True if the suite passes within its limit."""
    proc = subprocess.Popen(['ctest', '--test-dir', build, '-R', '^%s$' % suite],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    running.append(proc)
    try:
        return proc.wait(timeout=limit) == 0
    except subprocess.TimeoutExpired:
        return False
    finally:
        stop(proc)
        running.remove(proc)


def builds(args, targets):
    return subprocess.run(['cmake', '--build', args.build, '-j', str(args.jobs), '--target'] + targets,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def main():
    p = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    p.add_argument('files', nargs='+')
    p.add_argument('--build', default='build-mut', help='a configured build folder, best not sanitized')
    p.add_argument('--suites', default='', help='fast suites, comma-separated, run first')
    p.add_argument('--slow', default='', help='suites run only once the fast ones pass')
    p.add_argument('--sample', type=int, default=0, help='this many mutants drawn at random')
    p.add_argument('--seed', type=int, default=1)
    p.add_argument('--only', default='', help='mutant numbers, comma-separated')
    p.add_argument('--jobs', type=int, default=2)
    p.add_argument('--factor', type=float, default=4)
    p.add_argument('--list', action='store_true', help='list the mutants and stop')
    args = p.parse_args()

    originals = {f: open(f, encoding='utf-8').read() for f in args.files}
    everything = [m for f in args.files for m in mutants_of(f, originals[f])]
    chosen = list(range(len(everything)))
    if args.only:
        chosen = [int(i) for i in args.only.split(',')]
    elif 0 < args.sample < len(everything):
        chosen = sorted(random.Random(args.seed).sample(chosen, args.sample))
    if args.list:
        for i in chosen:
            print('#%d %s' % (i, describe(everything[i], originals[everything[i][0]])))
        print('%d mutants in all' % len(everything))
        return 0
    suites = [s for s in (args.suites + ',' + args.slow).split(',') if s]
    if not suites:
        p.error('name at least one suite')

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))   # the finally below still runs
    signal.signal(signal.SIGHUP, lambda *_: sys.exit(130))
    tally, survivors, limits = {'killed': 0, 'survived': 0, 'not built': 0}, [], {}
    try:
        if not builds(args, suites):
            sys.exit('the unmutated tree does not build')
        for s in suites:
            start = time.time()
            if not passes(args.build, s, 3600):
                sys.exit('%s fails on the unmutated tree' % s)
            limits[s] = int(args.factor * (time.time() - start)) + 20
        print('time limits: ' + ', '.join('%s %d s' % kv for kv in limits.items()), flush=True)
        for i in chosen:
            mut = everything[i]
            path, start = mut[0], time.time()
            with open(path, 'w', encoding='utf-8') as out:
                out.write(apply(originals[path], mut))
            if not builds(args, suites):
                verdict = 'not built'
            else:
                failed = next((s for s in suites if not passes(args.build, s, limits[s])), None)
                verdict = 'killed by ' + failed if failed else 'SURVIVED'
            with open(path, 'w', encoding='utf-8') as out:
                out.write(originals[path])
            tally[verdict.split(' by ')[0].lower()] += 1
            line = '#%d %s' % (i, describe(mut, originals[path]))
            if verdict == 'SURVIVED':
                survivors.append(line)
            print('%s  %s (%d s)' % (line, verdict, time.time() - start), flush=True)
    except KeyboardInterrupt:
        print('interrupted', flush=True)
    finally:
        for proc in list(running):
            stop(proc)
        for f, text in originals.items():
            if open(f, encoding='utf-8').read() != text:
                with open(f, 'w', encoding='utf-8') as out:
                    out.write(text)
    ran = tally['killed'] + tally['survived']
    if survivors:
        print('survivors:\n  ' + '\n  '.join(survivors))
    if ran:
        print('%d mutants: %d killed, %d survived, %d not built; score %.1f %% (killed of those built)'
              % (ran + tally['not built'], tally['killed'], tally['survived'], tally['not built'],
                 100.0 * tally['killed'] / ran))
    return 0


if __name__ == '__main__':
    sys.exit(main())
