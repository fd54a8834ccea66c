#!/usr/bin/env python3
"""What a user would write instead of `clientbank import`: the statement read
with the csv module, the documents of one account printed as JSON Lines (the
program's field mapping and text forms) and stored with sqlite3 in one
transaction. The reference of bench/run_program.sh.

    import_reference.py STATEMENT ACCOUNT DATABASE > documents.jsonl
"""
import csv
import datetime
import json
import os
import sqlite3
import sys

LOAN_OPERATIONS = {"PAGR", "PALU", "DELS"}


def amount(text):
    """A lt-LT amount ("1 234,56") as cents of a ten-thousandth: an integer."""
    text = text.replace("\u00a0", "").replace(" ", "").replace(",", ".")
    if not text:
        return 0
    whole, _, fraction = text.partition(".")
    sign = -1 if whole.startswith("-") else 1
    return sign * (abs(int(whole or "0")) * 10000 + int((fraction + "0000")[:4]))


def amount_text(raw):
    sign = "-" if raw < 0 else ""
    raw = abs(raw)
    return "%s%d.%04d" % (sign, raw // 10000, raw % 10000)


def serial(date_text):
    """yyyy.MM.dd as the day count from 1899-12-30 (0: no date)."""
    if not date_text:
        return 0.0
    year, month, day = (int(part) for part in date_text.split("."))
    return float((datetime.date(year, month, day) - datetime.date(1899, 12, 30)).days)


def main():
    statement, account, database = sys.argv[1:4]
    db = sqlite3.connect(database)
    db.execute(
        "CREATE TABLE IF NOT EXISTS statement_docs (id INTEGER PRIMARY KEY AUTOINCREMENT,"
        " imported_at REAL NOT NULL, file TEXT NOT NULL, account TEXT NOT NULL, DocKind INTEGER,"
        " ClientAccount TEXT, CorrAccount TEXT, CorrCode TEXT, CorrBankName TEXT, Amount INTEGER,"
        " CurrencyCode TEXT, IsDebit INTEGER, CurrencyKind INTEGER, DocNumber TEXT, OpDate REAL,"
        " Comment TEXT, ClientIban TEXT, CorrIban TEXT)")
    path = os.path.abspath(statement)
    out = sys.stdout
    dates = []
    rows = []
    with open(statement, encoding="cp1257", newline="") as f:
        for row in csv.reader(f, delimiter="\t"):
            if row == ["GALAS"]:
                break
            if row[2] == account:
                dates.append(row[1])
    first = min(dates, default="").replace(".", "-")
    last = max(dates, default="").replace(".", "-")
    out.write(json.dumps({"Account": account, "DateFrom": first, "DateTo": last,
                          "CreditSideDocs": False}, ensure_ascii=False, separators=(",", ":")) + "\n")
    stored = 0
    with db:  # one transaction
        with open(statement, encoding="cp1257", newline="") as f:
            for row in csv.reader(f, delimiter="\t"):
                if row == ["GALAS"] or row[2] != account:
                    continue
                credit = amount(row[10]) > 0
                balance = row[12] == "BALANSAS"
                currency = "LTL" if row[4] == "LT" else row[4]
                doc = {
                    "DocKind": 2 if balance else 1,
                    "ClientAccount": row[2],
                    "CorrAccount": row[7],
                    "CorrCode": row[19],
                    "CorrBankName": row[16],
                    "Amount": amount(row[10]) if credit and not balance else amount(row[8]),
                    "CurrencyCode": currency,
                    "IsDebit": not credit,
                    "CurrencyKind": 1 if currency == "LTL" else 2,
                    "DocNumber": row[22] if row[5] in LOAN_OPERATIONS else row[5],
                    "OpDate": row[1].replace(".", "-"),
                    "Comment": row[18],
                    "ClientIban": row[29],
                    "CorrIban": row[31],
                }
                db.execute(
                    "INSERT INTO statement_docs (imported_at, file, account, DocKind,"
                    " ClientAccount, CorrAccount, CorrCode, CorrBankName, Amount, CurrencyCode,"
                    " IsDebit, CurrencyKind, DocNumber, OpDate, Comment, ClientIban, CorrIban)"
                    " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                    (datetime.datetime.now().timestamp(), path, account, doc["DocKind"],
                     doc["ClientAccount"], doc["CorrAccount"], doc["CorrCode"],
                     doc["CorrBankName"], doc["Amount"], doc["CurrencyCode"], int(doc["IsDebit"]),
                     doc["CurrencyKind"], doc["DocNumber"], serial(row[1]), doc["Comment"],
                     doc["ClientIban"], doc["CorrIban"]))
                doc["Amount"] = amount_text(doc["Amount"])
                out.write(json.dumps(doc, ensure_ascii=False, separators=(",", ":")) + "\n")
                stored += 1
    # The program's last line; the script looks for no earlier imports (the
    # program does, which only makes the comparison harder for the program).
    out.write('{"Summary":{"New":%d,"AlreadyImported":0}}\n' % stored)


if __name__ == "__main__":
    main()
