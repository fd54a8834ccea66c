#!/usr/bin/env python3
"""What a user would write instead of `clientbank export`: the payments read
with the json module and written as the DP (local) and FP (foreign) lines the
bank reads, Windows-1257, CR LF. The reference of bench/run_program.sh.

    export_reference.py DOCS.json FOLDER YYMMDD
"""
import json
import sys


def encloses(value):
    return " " in value or '"' in value


def field(value):
    quoted = value.replace('"', '""')
    return '"%s"' % quoted if encloses(value) else quoted


def split(value, parts):
    """A text over several fields of at most 35 characters as written (quotes included)."""
    out = []
    for _ in range(parts):
        quoted = len(value) + (2 if encloses(value) else 0) + value.count('"')
        if quoted > 35:
            quotes = quoted - len(value) + value.count('"')
            out.append(field(value[:35 - quotes]))
            value = value[35 - quotes:]
        else:
            out.append(field(value))
            value = ""
    return out


def doc_number(text):
    digits = ""
    for c in text.replace(" ", ""):
        if not c.isdigit():
            break
        digits += c
    return str(int(digits or "0"))


def line(doc):
    get = lambda key: doc.get(key) or ""
    amount = "%.2f" % float(doc.get("Amount", 0))
    date = get("DocDate").replace("-", ".")
    if doc.get("DocType") == 1:
        purpose = get("Purpose") if len(get("Purpose")) <= 140 else get("AltPurpose")[:138]
        fields = [field(doc_number(get("DocNumber"))), date] + [field(get(k)) for k in (
            "PayerCode", "PayerName", "PayerBankCode", "PayerAccount")] + [
            amount, field(get("CurrencyCode"))] + [field(get(k)) for k in (
                "PayeeCode", "PayeeName", "PayeeBankCode", "PayeeAccount")] + [
            "", field(get("PurposeCode")), field(purpose)]
    else:
        fields = ([field(doc_number(get("DocNumber"))), date, str(doc.get("PaymentType", 0)),
                   field(get("CurrencyCode")), amount, field(get("PayerAccount")),
                   field(get("PayerBankCode"))] + [""] * 6 +
                  [field(get("PayeeBankSwift")), field(get("PayeeBankCode"))] +
                  split(get("PayeeBankName"), 2) + split(get("PayeeBankAddress"), 2) +
                  [field(get("PayeeAccount"))] + split(get("PayeeName"), 2) +
                  split(get("PayeeAddress"), 2) + split(get("Purpose"), 4) +
                  [str(doc.get("ForeignBankCharges", 0))] + [""] * 3 +
                  [field(get("ChargesAccount")), field(get("ChargesCurrency"))])
    return ",".join(fields) + "\r\n"


def main():
    docs_file, folder, name = sys.argv[1:4]
    with open(docs_file, encoding="utf-8") as f:
        docs = json.load(f)
    with open("%s/%s.mok" % (folder, name), "w", encoding="cp1257", errors="replace",
              newline="") as dp, open("%s/%s.tar" % (folder, name), "w", encoding="cp1257",
                                      errors="replace", newline="") as fp:
        for doc in docs:
            (dp if doc.get("DocType") == 1 else fp).write(line(doc))


if __name__ == "__main__":
    main()
