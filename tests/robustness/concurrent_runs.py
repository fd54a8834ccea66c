#!/usr/bin/env python3
"""Runs of the real program clientbank at the same time against one database and
one bank folder, in a temporary folder (no network).

  concurrent_runs.py CLIENTBANK pairs              two-process cases, each checked exactly
  concurrent_runs.py CLIENTBANK stress SECONDS [N] N workers (8) for SECONDS, then checks

Exits 0 when every check holds; prints what failed otherwise."""
import fcntl, glob, json, os, random, re, shutil, signal, sqlite3, subprocess, sys, tempfile
import threading, time

PROGRAM = os.path.abspath(sys.argv[1])
FAILURES = []
SQL_WORDS = re.compile(r"INSERT |SELECT |UPDATE |DELETE FROM|BEGIN|COMMIT|SAVEPOINT")
END_DATES = {"2024-01-31": "240131", "2024-02-29": "240229"}


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAILED:", what, file=sys.stderr)


def run(args, db, wait=True, **popen):
    command = [PROGRAM, "--db", db] + args
    if not wait:
        return subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **popen)
    done = subprocess.run(command, capture_output=True, timeout=300, **popen)
    return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode("utf-8", "replace")


def clear_error(status, err):
    """An exit of 0, or 2 with 'error NUMBER: SOURCE: ...' lines and no SQL text."""
    if status == 0:
        return True
    return status == 2 and re.match(r"error -?\d+: [^:]+: ", err) is not None and not SQL_WORDS.search(err)


class Setup:
    """The demo's sample files, a database with the demo books, and the oracles: the
    lines a payment gives and the books after a serial load of each rate file."""

    def __init__(self, root):
        self.root, self.bank = root, os.path.join(root, "bank")
        os.makedirs(self.bank)
        demo = os.path.join(root, "demo")
        os.makedirs(demo)
        subprocess.run([PROGRAM, "demo"], env=dict(os.environ, TMPDIR=demo), capture_output=True, check=True)
        made = glob.glob(os.path.join(demo, "clientbank-demo-*"))[0]
        self.payments = json.load(open(os.path.join(made, "payments.json"), encoding="utf-8"))
        self.statement = shutil.copy(os.path.join(made, "bank", "israsas.txt"), self.bank)
        rates = open(os.path.join(made, "bank", "kursai.txt"), "rb").read()
        self.rate_files = [os.path.join(self.bank, "kursai.txt"), os.path.join(self.bank, "kursai2.txt")]
        open(self.rate_files[0], "wb").write(rates)
        open(self.rate_files[1], "wb").write(rates.replace(b"2024.01.31", b"2024.02.29"))
        self.db = self.fresh_db("cb.db")
        self.rate_options = sum((["--" + c, c] for c in ("LB", "Buy", "Sell")), [])
        reference = self.fresh_db("reference.db")
        for file in self.rate_files:
            check(run(["rates"] + self.rate_options + [file], reference)[0] == 0, "serial rate load")
        self.books = self.rates_in(reference)
        self.template = self.reference_lines()

    def fresh_db(self, name):
        db = os.path.join(self.root, name)
        check(run(["init", "--demo"], db)[0] == 0, "init --demo")
        return db

    def rates_in(self, db):
        status, out, _ = run(["books", "list", "REFCurrencyRate"], db)
        rows = [json.loads(line) for line in out.splitlines()]
        return sorted((r["CurrencyCode"], r["RateTypeCode"], r["DateRate"], r["Rate"]) for r in rows)

    def docs(self, tag, count):
        """`count` copies of the demo payments, each numbered `tag` * 100000 + 10 * i + j."""
        docs = []
        for i in range(count):
            for j, doc in enumerate(self.payments):
                docs.append(dict(doc, DocNumber=str(tag * 100000 + i * 10 + j)))
        return docs

    def reference_lines(self):
        """The demo payments' lines without their leading number, checked against a serial run."""
        folder = os.path.join(self.root, "reference")
        os.makedirs(folder)
        docs_file = os.path.join(self.root, "reference.json")
        json.dump(self.docs(1, 2), open(docs_file, "w", encoding="utf-8"))
        status, _, err = run(["export", "--end-date", "2024-01-31", "--folder", folder, docs_file], self.db)
        check(status == 0, "serial export: " + err)
        lines = []
        for ext in ("mok", "tar"):
            lines += open(os.path.join(folder, "240131." + ext), "rb").read().split(b"\r\n")[:-1]
        template = {}
        for line in lines:
            number, rest = line.split(b",", 1)
            template[int(number) % 10] = b"," + rest
        self.template = template
        got = [open(os.path.join(folder, "240131." + ext), "rb").read() for ext in ("mok", "tar")]
        check(self.expected(1, 2) == got, "the line oracle agrees with a serial export")
        return template

    def expected(self, tag, count):
        """The DP and FP files that a run of docs(tag, count) writes, byte for byte."""
        files = [[], []]
        for doc in self.docs(tag, count):
            number = int(doc["DocNumber"])
            files[doc["DocType"] - 1].append(str(number).encode() + self.template[number % 10] + b"\r\n")
        return [b"".join(lines) for lines in files]

    def export(self, tag, count, end_date, wait=True):
        docs_file = os.path.join(self.root, "docs%d.json" % tag)
        json.dump(self.docs(tag, count), open(docs_file, "w", encoding="utf-8"))
        args = ["--busy-timeout", "20000", "export", "--end-date", end_date, "--folder", self.bank, docs_file]
        return run(args, self.db, wait)

    def paths(self, end_date):
        return [os.path.join(self.bank, END_DATES[end_date] + ext) for ext in (".mok", ".tar")]

    def stored_docs(self):
        with sqlite3.connect(self.db) as db:
            return db.execute("SELECT count(*) FROM statement_docs").fetchone()[0]

    def final_checks(self, loaded_dates):
        """One rate per key, each the value of its file (for the files loaded), integrity."""
        books = self.rates_in(self.db)
        check(len({row[:3] for row in books}) == len(books), "one rate per key")
        check(books == [row for row in self.books if row[2] in loaded_dates], "the books hold the files' rates")
        with sqlite3.connect(self.db) as db:
            check(db.execute("PRAGMA integrity_check").fetchone()[0] == "ok", "integrity_check")


def read_shared(path):
    """The file's bytes under a shared lock (None: missing): a writer is never seen half way."""
    try:
        with open(path, "rb") as file:
            fcntl.flock(file, fcntl.LOCK_SH)
            return file.read()
    except FileNotFoundError:
        return None


def step(name, started=[time.monotonic()]):
    print("%6.1f s  %s" % (time.monotonic() - started[0], name), flush=True)


def pairs(setup):
    # An export holding its DP file, stopped half way: a second export and an import of
    # that file are refused at once and name the file and its holder.
    first_expected = setup.expected(7, 10000)
    for attempt in range(5):
        for path in setup.paths("2024-01-31"):
            if os.path.exists(path):
                os.remove(path)
        first = setup.export(7, 10000, "2024-01-31", wait=False)
        dp, fp = setup.paths("2024-01-31")
        while first.poll() is None and not os.path.exists(dp):
            time.sleep(0.001)
        os.kill(first.pid, signal.SIGSTOP)
        if first.poll() is None and os.path.exists(dp):
            break
        os.kill(first.pid, signal.SIGCONT)
        first.communicate()
    else:
        check(False, "the first export was never caught while writing")
        return
    held = open(dp, "rb").read()
    in_use = "file in use: %s (held by process %d clientbank)" % (dp, first.pid)
    status, _, err = setup.export(8, 3, "2024-01-31")
    check(status == 2 and "error 70: " in err and "Permission denied" in err and in_use in err,
          "second export refused: %d %s" % (status, err))
    status, _, err = run(["import", "--account", "12345678901", dp], setup.db)
    check(status == 2 and "error 70: " in err and in_use in err, "import of a file being written: " + err)
    check(open(dp, "rb").read() == held and not glob.glob(os.path.join(setup.bank, "*.bak")),
          "the refused runs left the first one's file alone")
    os.kill(first.pid, signal.SIGCONT)
    out, err = first.communicate()
    check(first.returncode == 0, "first export: " + err.decode())
    check([read_shared(p) for p in (dp, fp)] == first_expected, "the first export's lines, byte for byte")

    step("Six rate loads")
    # Six rate loads of each file at once all end 0 with the books of a serial load.
    loads = [run(["rates"] + setup.rate_options + [f], setup.db, wait=False) for f in setup.rate_files * 6]
    for load in loads:
        out, err = load.communicate()
        check(load.returncode == 0, "concurrent rate load: " + err.decode())

    step("A load")
    # A load while another program holds the database says so and how long it waited.
    holder = sqlite3.connect(setup.db, isolation_level=None)
    holder.execute("BEGIN IMMEDIATE")
    status, _, err = run(["--busy-timeout", "200", "rates"] + setup.rate_options + [setup.rate_files[0]], setup.db)
    holder.execute("ROLLBACK")
    check(status == 2 and "another program held it for all of the 200 ms" in err and clear_error(status, err),
          "rate load against a held database: " + err)

    step("Two imports")
    # Two imports of one statement at once both end 0 and store their documents.
    before = setup.stored_docs()
    imports = [run(["import", "--account", "12345678901", "--credit-side", setup.statement], setup.db,
                   wait=False) for _ in range(2)]
    stored = 0
    for one in imports:
        out, err = one.communicate()
        check(one.returncode == 0, "concurrent import: " + err.decode())
        stored += len(out.splitlines()) - 1
    check(stored > 0 and setup.stored_docs() - before == stored, "stored documents of two imports")

    step("Two changes")
    # Two changes of one book at once both end 0 and leave one record per key.
    book = os.path.join(setup.root, "currencies.json")
    json.dump([{"CurrencyCode": "C%02d" % i, "Name": "x"} for i in range(50)], open(book, "w"))
    adds = [run(["books", "add", "REFCurrency", book], setup.db, wait=False) for _ in range(2)]
    for add in adds:
        out, err = add.communicate()
        check(add.returncode == 0, "concurrent books add: " + err.decode())
    status, out, _ = run(["books", "list", "REFCurrency"], setup.db)
    codes = [json.loads(line)["CurrencyCode"] for line in out.splitlines()]
    check(len(codes) == len(set(codes)) and sum(c.startswith("C") for c in codes) == 50, "one record per key")
    setup.final_checks({"2024-01-31", "2024-02-29"})


def stress(setup, seconds, workers):
    lock = threading.Lock()
    outcomes, runs = {}, {}  # outcomes: (job, status) -> count; runs: tag -> expected files
    loaded_dates = set()
    figures = {"exports ok": 0, "verified": 0, "replaced later": 0, "imported docs": 0}
    deadline = time.monotonic() + seconds

    def one_file_of_one_run(content):
        if content is None or content == b"":
            return True
        lines = content.split(b"\r\n")[:-1]
        if not all(re.match(rb"\d+,", line) for line in lines):
            return False  # a torn line
        tags = {int(line.split(b",", 1)[0]) // 100000 for line in lines}
        if len(tags) != 1 or not content.endswith(b"\r\n"):
            return False
        files = runs.get(tags.pop())
        return files is not None and any(f.startswith(content) for f in files)

    def worker(index):
        try:
            work(index)
        except Exception as error:  # a check that cannot run is a failed one
            check(False, "worker %d: %r" % (index, error))

    def work(index):
        rng = random.Random(index)
        for seq in range(1000):
            if time.monotonic() > deadline:
                return
            job = rng.choice(["export", "export", "import", "rates"])
            if job == "export":
                tag, end_date = index * 1000 + seq + 1, rng.choice(list(END_DATES))
                with lock:
                    runs[tag] = setup.expected(tag, 400)
                status, out, err = setup.export(tag, 400, end_date)
                if status == 0:
                    seen = [read_shared(p) for p in setup.paths(end_date)]
                    with lock:
                        figures["exports ok"] += 1
                        if seen == runs[tag]:
                            figures["verified"] += 1
                        else:  # a later export replaced the files: whole lines of one run
                            figures["replaced later"] += 1
                            check(all(one_file_of_one_run(c) for c in seen), "run %d lost lines" % tag)
            elif job == "import":
                status, out, err = run(["--busy-timeout", "20000", "import", "--account", "12345678901",
                                        "--credit-side", setup.statement], setup.db)
                if status == 0:
                    with lock:
                        figures["imported docs"] += len(out.splitlines()) - 1
            else:
                file = rng.choice(setup.rate_files)
                status, out, err = run(["--busy-timeout", "20000", "rates"] + setup.rate_options + [file],
                                       setup.db)
                if status == 0:
                    with lock:
                        loaded_dates.add("2024-01-31" if file == setup.rate_files[0] else "2024-02-29")
            with lock:
                kind = (job, status, err.split(":", 1)[0] if status else "")
                outcomes[kind] = outcomes.get(kind, 0) + 1
                check(clear_error(status, err), "%s ended %d: %s" % (job, status, err))

    started = time.monotonic()
    threads = [threading.Thread(target=worker, args=(i,)) for i in range(workers)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    elapsed = time.monotonic() - started
    for path in glob.glob(os.path.join(setup.bank, "*.mok*")) + glob.glob(os.path.join(setup.bank, "*.tar*")):
        check(one_file_of_one_run(read_shared(path)), "%s holds whole lines of one run" % path)
    check(setup.stored_docs() == figures["imported docs"], "stored documents = those of the ended imports")
    setup.final_checks(loaded_dates)
    print("%d workers, %.1f s, %d runs" % (workers, elapsed, sum(outcomes.values())))
    for (job, status, error), count in sorted(outcomes.items()):
        print("  %-6s exit %d %s: %d" % (job, status, error, count))
    print("  exports ended 0: %(exports ok)d, read back byte for byte: %(verified)d, "
          "replaced by a later export before the check: %(replaced later)d; "
          "documents stored by the imports: %(imported docs)d" % figures)


def main():
    root = tempfile.mkdtemp(prefix="concurrent-runs-")
    try:
        setup = Setup(root)
        step("set up")
        if sys.argv[2] == "pairs":
            pairs(setup)
        else:
            stress(setup, float(sys.argv[3]), int(sys.argv[4]) if len(sys.argv) > 4 else 8)
    finally:
        shutil.rmtree(root, ignore_errors=True)
    print("%d failed checks" % len(FAILURES))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
