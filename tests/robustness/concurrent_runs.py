#!/usr/bin/env python3
# Runs of the real program clientbank at the same time on one database and one bank
# folder, all inside a temporary folder.
#
#   concurrent_runs.py CLIENTBANK pairs              two-process cases, each checked exactly
#   concurrent_runs.py CLIENTBANK stress SECONDS [N] N programs at once (8), then the checks
#
# Exits 0 when every check held.
import decimal, fcntl, glob, json, os, random, re, shutil, signal, sqlite3, subprocess, sys, tempfile
import threading, time

PROGRAM = os.path.abspath(sys.argv[1])
FAILURES = []
SQL_TEXT = re.compile(r"INSERT |SELECT |UPDATE |DELETE FROM|BEGIN|COMMIT|SAVEPOINT")
NAMES = {"2024-01-31": "240131", "2024-02-29": "240229"}  # end date -> file name


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAILED:", what, file=sys.stderr)


def start(args, db):
    return subprocess.Popen([PROGRAM, "--db", db, "--busy-timeout", "20000"] + args,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def finish(process):
    out, err = process.communicate(timeout=300)
    return process.returncode, out.decode("utf-8", "replace"), err.decode("utf-8", "replace")


def together(*arg_lists, db):
    return [finish(p) for p in [start(args, db) for args in arg_lists]]


def summary(out):
    # (new, already imported) of an import's last line.
    counts = json.loads(out.splitlines()[-1])["Summary"]
    return counts["New"], counts["AlreadyImported"]


def clear_error(status, err):
    # 0, or 2 with "error NUMBER: SOURCE: ..." first and no SQL text anywhere.
    return status == 0 or (status == 2 and re.match(r"error -?\d+: [^:]+: ", err) is not None
                           and not SQL_TEXT.search(err))


def read_shared(path):
    # The bytes under a shared lock, so never a file half written (None: missing).
    try:
        with open(path, "rb") as file:
            fcntl.flock(file, fcntl.LOCK_SH)
            return file.read()
    except FileNotFoundError:
        return None


def holds_a_file(pid):
    # Whether the process holds a lock of the file layer (seen without taking one).
    return any(line.split()[1:2] == ["FLOCK"] and line.split()[4] == str(pid)
               for line in open("/proc/locks"))


class Setup:
    # The demo's sample files, a database with the demo books, and the oracles: the
    # line of each demo payment (from a serial export) and the books of serial loads.

    def __init__(self, root):
        self.root, self.bank = root, os.path.join(root, "bank")
        os.makedirs(os.path.join(root, "demo"))
        subprocess.run([PROGRAM, "demo"], env=dict(os.environ, TMPDIR=os.path.join(root, "demo")),
                       capture_output=True, check=True)
        made = glob.glob(os.path.join(root, "demo", "clientbank-demo-*"))[0]
        shutil.copytree(os.path.join(made, "bank"), self.bank)
        self.payments = json.load(open(os.path.join(made, "payments.json"), encoding="utf-8"))
        self.statement = os.path.join(self.bank, "israsas.txt")
        self.rate_files = {"2024-01-31": os.path.join(self.bank, "kursai.txt"),
                           "2024-02-29": os.path.join(self.bank, "kursai2.txt")}
        rates = open(self.rate_files["2024-01-31"], "rb").read()
        open(self.rate_files["2024-02-29"], "wb").write(rates.replace(b"2024.01.31", b"2024.02.29"))
        self.rates_options = ["rates", "--LB", "LB", "--Buy", "Buy", "--Sell", "Sell"]
        reference, self.db = self.new_db("reference.db"), self.new_db("cb.db")
        for file in self.rate_files.values():
            check(together(self.rates_options + [file], db=reference)[0][0] == 0, "serial rate load")
        self.books = self.rates_in(reference)
        status, _, err = self.export(1, 1, "2024-01-31")
        check(status == 0, "serial export: " + err)
        lines = b"".join(open(p, "rb").read() for p in self.paths("2024-01-31")).split(b"\r\n")[:-1]
        self.tails = {int(line.split(b",")[0]) % 10: line[line.index(b","):] for line in lines}
        check(self.expected(1, 1) == [read_shared(p) for p in self.paths("2024-01-31")], "line oracle")
        for path in self.paths("2024-01-31"):
            os.remove(path)

    def new_db(self, name):
        check(together(["init", "--demo"], db=os.path.join(self.root, name))[0][0] == 0, "init")
        return os.path.join(self.root, name)

    def rates_in(self, db):
        rows = [json.loads(line) for line in together(["books", "list", "REFCurrencyRate"], db=db)[0][1].splitlines()]
        return sorted((r["CurrencyCode"], r["RateTypeCode"], r["DateRate"], r["Rate"]) for r in rows)

    def amount(self, j, i):
        # Copy i of payment j is i units more, so that no two payments of a run repeat.
        return b"%.2f" % (decimal.Decimal(str(self.payments[j]["Amount"])) + i)

    def docs(self, tag, copies):
        # Copies of the demo payments; copy i of payment j is numbered tag * 100000 + 10 i + j.
        return [dict(doc, DocNumber=str(tag * 100000 + i * 10 + j), Amount=self.amount(j, i).decode())
                for i in range(copies) for j, doc in enumerate(self.payments)]

    def expected(self, tag, copies):
        # The DP and FP files of an export of docs(tag, copies), byte for byte.
        files = [[], []]
        for doc in self.docs(tag, copies):
            number = int(doc["DocNumber"])
            j, i = number % 10, number % 100000 // 10
            tail = self.tails[j].replace(b"," + self.amount(j, 0) + b",", b"," + self.amount(j, i) + b",")
            files[doc["DocType"] - 1].append(b"%d%s\r\n" % (number, tail))
        return [b"".join(lines) for lines in files]

    def export(self, tag, copies, end_date, wait=True):
        docs = os.path.join(self.root, "docs%d.json" % tag)
        json.dump(self.docs(tag, copies), open(docs, "w", encoding="utf-8"))
        process = start(["export", "--end-date", end_date, "--folder", self.bank, docs], self.db)
        return finish(process) if wait else process

    def paths(self, end_date):
        return [os.path.join(self.bank, NAMES[end_date] + ext) for ext in (".mok", ".tar")]

    def stored_docs(self):
        with sqlite3.connect(self.db) as db:
            return db.execute("SELECT count(*) FROM statement_docs").fetchone()[0]

    def final_checks(self, loaded_dates):
        books = self.rates_in(self.db)
        check(len({row[:3] for row in books}) == len(books), "one rate per key")
        check(books == [row for row in self.books if row[2] in loaded_dates], "the files' rates")
        with sqlite3.connect(self.db) as db:
            check(db.execute("PRAGMA integrity_check").fetchone()[0] == "ok", "integrity_check")


def export_pair(setup):
    # An export stopped while it holds its DP file: a second export and an import of that
    # file are refused at once, name the file and its holder, and change nothing.
    dp, fp = setup.paths("2024-01-31")
    for attempt in range(5):
        first = setup.export(7, 10000, "2024-01-31", wait=False)
        while first.poll() is None and not holds_a_file(first.pid):
            time.sleep(0.001)
        if first.poll() is None:
            os.kill(first.pid, signal.SIGSTOP)
            if holds_a_file(first.pid):
                break
            os.kill(first.pid, signal.SIGCONT)
        finish(first)
        [os.remove(p) for p in glob.glob(setup.bank + "/240131.*")]
    else:
        return check(False, "the first export was never caught writing")
    held = open(dp, "rb").read()
    in_use = "\nfile in use: %s (held by process %d clientbank)\n" % (dp, first.pid)
    status, _, err = setup.export(8, 1, "2024-01-31")
    check(status == 2 and err.startswith("error 70: ") and "Permission denied" in err and in_use in err,
          "second export: " + err)
    status, _, err = together(["import", "--account", "12345678901", dp], db=setup.db)[0]
    check(status == 2 and "error 70: " in err and in_use in err, "import of a file being written: " + err)
    check(open(dp, "rb").read() == held and not glob.glob(setup.bank + "/*.bak"), "first run's file intact")
    os.kill(first.pid, signal.SIGCONT)
    check(finish(first)[0] == 0, "first export")
    check([read_shared(dp), read_shared(fp)] == setup.expected(7, 10000), "first export's lines")


def pairs(setup):
    export_pair(setup)

    # Six loads of each rate file at once all end 0; the books are those of serial loads.
    for status, _, err in together(*[setup.rates_options + [f] for f in setup.rate_files.values()] * 6,
                                   db=setup.db):
        check(status == 0, "concurrent rate load: " + err)
    setup.final_checks(set(setup.rate_files))

    # Two imports of one statement at once both end 0 and store it once.
    runs = together(*[["import", "--account", "12345678901", "--credit-side", setup.statement]] * 2,
                    db=setup.db)
    check([r[0] for r in runs] == [0, 0], "concurrent imports: %r" % runs)
    summaries = sorted(summary(r[1]) for r in runs)
    docs = len(runs[0][1].splitlines()) - 2  # the header and the summary
    check(summaries == [(0, docs), (docs, 0)] and setup.stored_docs() == docs > 0,
          "statement stored once: %r" % summaries)

    # Two changes of one book at once both end 0 and leave one record per key.
    book = os.path.join(setup.root, "currencies.json")
    json.dump([{"CurrencyCode": "C%02d" % i} for i in range(50)], open(book, "w"))
    runs = together(*[["books", "add", "REFCurrency", book]] * 2, db=setup.db)
    check([r[0] for r in runs] == [0, 0], "concurrent books add: %r" % runs)
    listed = together(["books", "list", "REFCurrency"], db=setup.db)[0][1].splitlines()
    codes = [json.loads(line)["CurrencyCode"] for line in listed]
    check(len(codes) == len(set(codes)) and sum(c.startswith("C") for c in codes) == 50, "one per key")


def stress(setup, seconds, workers):
    lock, deadline = threading.Lock(), time.monotonic() + seconds
    outcomes, runs, loaded_dates = {}, {}, set()  # runs: tag -> the files of that export
    figures = dict(imported=0)

    def whole_lines_of_one_run(content):
        lines = (content or b"").split(b"\r\n")
        if lines[-1] or not all(re.match(rb"\d+,", line) for line in lines[:-1]):
            return False  # a torn line
        tags = {int(line.split(b",")[0]) // 100000 for line in lines[:-1]}
        return not tags or (len(tags) == 1 and any(f.startswith(content) for f in runs[tags.pop()]))

    def work(index):
        rng = random.Random(index)
        for seq in range(1000):
            if time.monotonic() > deadline:
                return
            job, date = rng.choice(["export", "export", "import", "rates"]), rng.choice(list(NAMES))
            if job == "export":
                tag = index * 1000 + seq + 1
                with lock:
                    runs[tag] = setup.expected(tag, 400)
                status, out, err = setup.export(tag, 400, date)
                seen = [read_shared(p) for p in setup.paths(date)] if status == 0 else None
            else:
                args = (["import", "--account", "12345678901", "--credit-side", setup.statement]
                        if job == "import" else setup.rates_options + [setup.rate_files[date]])
                status, out, err = together(args, db=setup.db)[0]
            with lock:
                kind = (job, status, err.split(":", 1)[0] if status else "")
                outcomes[kind] = outcomes.get(kind, 0) + 1
                check(clear_error(status, err), "%s ended %d: %s" % (job, status, err))
                if status == 0 and job == "export":  # else a later export replaced the files
                    check(seen == runs[tag] or all(map(whole_lines_of_one_run, seen)), "run %d lost lines" % tag)
                if status == 0 and job == "import":
                    figures["imported"] += summary(out)[0]
                    figures["statement"] = len(out.splitlines()) - 2
                if status == 0 and job == "rates":
                    loaded_dates.add(date)

    def worker(index):
        try:
            work(index)
        except Exception as error:  # a check that could not run failed
            check(False, "worker %d: %r" % (index, error))

    threads = [threading.Thread(target=worker, args=(i,)) for i in range(workers)]
    [thread.start() for thread in threads]
    [thread.join() for thread in threads]
    for path in glob.glob(setup.bank + "/*.mok*") + glob.glob(setup.bank + "/*.tar*"):
        check(whole_lines_of_one_run(read_shared(path)), path + " holds whole lines of one run")
    check(setup.stored_docs() == figures["imported"] == figures.get("statement", 0),
          "the statement stored once: %d documents" % setup.stored_docs())
    setup.final_checks(loaded_dates)
    print("%d programs, runs by outcome: %r" % (workers, sorted(outcomes.items())))


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(2))  # a timeout still removes the folder
    root = tempfile.mkdtemp(prefix="concurrent-runs-")
    try:
        setup = Setup(root)
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
