#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

The seeds are small valid inputs of each format (and a few near misses), so
that the fuzzer starts from lines, files and documents that reach deep into
the parsers. Run it again after changing a target's input layout.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The character alphabet of FuzzInput::Characters (fuzz_support.h), in order.
ALPHABET = ("0123456789 ,.\"\t-+Ee/:AaZzĄąČčĘęĖėĮįŠšŲųŪūŽž\u00a0;'()$?GALSB")

LT_LT, LT_LT_2010, EN_US, INVARIANT = 0, 1, 2, 3


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("cp1257")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def statement_fields(changes=None, count=32):
    fields = ["00042", "2024.01.15", "LT001", "1", "EUR", "D-17", "73000",
              "LT601010012345678901", "0", "0", "150", "150", "T-100", "1", "MK",
              "2024.01.15", "AB bankas", '"UAB ""Žiedas"""', "Apmokėjimas už prekes",
              "123456789", "", "", "", "Pavedimas", "111111111", "73000", "UAB Klientas",
              "Vilnius", "EUR", "LT017300010000000001", "HABALT22", "LT601010012345678902"]
    for number, text in (changes or {}).items():
        fields[number - 1] = text
    return "\t".join(fields[:count])


def statements():
    line = statement_fields()
    cases = {
        "valid": line,
        "galas": "GALAS",
        "balance": statement_fields({9: "1000,00", 11: "1200,00", 13: "BALANSAS"}),
        "loan": statement_fields({6: "PALU", 23: "A-17"}),
        "quotes": statement_fields({17: '""', 18: '"A""B"', 19: '"open'}),
        "short": statement_fields(count=9),
        "extra_field": line + "\textra",
        "grouped_amount": statement_fields({9: "1 234,50", 11: "-0,25"}),
        "en_amount": statement_fields({9: "1,234.50", 11: "1.5E3"}),
        "long_comment": statement_fields({19: "Ą" * 254}),
    }
    for name, text in cases.items():
        write("statement_line", name, bytes([LT_LT]) + text.encode("cp1257"))
    write("statement_line", "en_us_valid", bytes([EN_US]) + statement_fields(
        {2: "1/15/2024", 9: "1,234.50"}).encode("cp1257"))

    other = statement_fields({3: "LT002", 2: "2024.02.01"})
    files = {
        "crlf": "\r\n".join([line, other, statement_fields({2: "2024.01.20"}), "GALAS"]) + "\r\n",
        "lf_only": "\n".join([line, other, "GALAS"]) + "\n",
        "mixed_ends": line + "\r\n" + other + "\n" + statement_fields({2: "2024.01.03"}) + "\r" + "GALAS",
        "after_galas": "\r\n".join([line, "GALAS", statement_fields({2: "2024.03.01"})]) + "\r\n",
        "blank_line": "\r\n".join([line, "", "GALAS"]) + "\r\n",
        "balance": "\r\n".join([statement_fields({13: "BALANSAS", 9: "1000", 11: "1200"}), line,
                               "GALAS"]) + "\r\n",
        "no_account": "\r\n".join([other, "GALAS"]) + "\r\n",
    }
    for name, text in files.items():
        write("statement_import", name, text)


def rate_line(code, rates):
    line = "001" + code + " " * 32
    for rate in rates:
        if len(line) > 38:
            line += " "
        line += " " * (17 - len(rate)) + rate
    return line


def rates():
    six = ["3.4528", "3.4000", "3.5000", "3.4400", "3.4600", "3.3900"]
    files = {
        "valid": [rate_line("USD", six), rate_line("EUR", ["0.03123456"] * 6),
                  "2006.03.31 kursai", "GALAS"],
        "short_line": [rate_line("USD", ["3.4528"])[:50], "2006.03.31", "GALAS"],
        "zero_rates": [rate_line("USD", ["0"] * 6), "2006.03.31", "GALAS"],
        "no_end": [rate_line("USD", six), "2006.03.31"],
        "lower_end": [rate_line("USD", six), "2006.03.31", "galas"],
        "other_date_form": [rate_line("EUR", six), "2006-03-31", "GALAS"],
        "bad_rate": [rate_line("USD", ["abc"] + six[1:]), "2006.03.31", "GALAS"],
        "unknown_currency": [rate_line("XYZ", six), "2006.03.31", "GALAS"],
    }
    for name, lines in files.items():
        write("rate_file", name, "\r\n".join(lines) + "\r\n")
    write("rate_file", "lf_only", ("\n".join(files["valid"]) + "\n").encode("cp1257"))


def text(value):
    out = bytearray([len(value)])
    for ch in value:
        index = ALPHABET.find(ch)
        if index >= 0 and index < 0xC0:
            out.append(index)
        else:
            out.append(0xFF)
            out += struct.pack("<H", ord(ch))
    return bytes(out)


def payment(preset, doc_type, doc):
    # Field order of ReadDoc in payment_line_fuzzer.cpp.
    order = ["DocNumber", "PayerCode", "PayerName", "PayerBankCode", "PayerAccount",
             "CurrencyCode", "PayeeCode", "PayeeName", "PayeeBankCode", "PayeeAccount",
             "PurposeCode", "Purpose", "AltPurpose", "PayeeBankSwift", "PayeeBankName",
             "PayeeBankAddress", "PayeeAddress", "ChargesAccount", "ChargesCurrency"]
    data = bytearray([preset, 0 if doc_type == 1 else 1])
    for name in order:
        data += text(doc.get(name, ""))
    data.append(1)  # the amount in cents
    data += struct.pack("<i", doc.get("cents", 0))
    data += struct.pack("<I", doc.get("days", 0) + 657434)
    data.append(0)
    data.append(doc.get("PaymentType", 0) + 1)
    data.append(doc.get("ForeignBankCharges", 0) + 1)
    return bytes(data)


def payments():
    day = 38061  # 2004-03-15
    local = {"DocNumber": "000125", "PayerCode": "123456789", "PayerName": "Pavyzdys ir Ko",
             "PayerBankCode": "70440", "PayerAccount": "LT123456789012345678",
             "CurrencyCode": "LTL", "PayeeName": "Tiekejas", "PayeeBankCode": "73000",
             "PayeeAccount": "LT876543210987654321", "Purpose": "Saskaita Nr. 15",
             "cents": 123450, "days": day}
    foreign = {"DocNumber": "7", "PaymentType": 1, "CurrencyCode": "EUR", "cents": 250000,
               "PayerAccount": "LT123456789012345678", "PayerBankCode": "70440",
               "PayeeBankSwift": "BANKDEFF", "PayeeBankName": "Beispiel Bank",
               "PayeeAccount": "DE00123456780000000000", "PayeeName": "Muster GmbH",
               "Purpose": "Invoice 2004-15", "ForeignBankCharges": 3, "days": day}
    write("payment_line", "local", payment(LT_LT, 1, local))
    write("payment_line", "foreign", payment(LT_LT, 2, foreign))
    write("payment_line", "foreign_split", payment(EN_US, 2, dict(
        foreign, PayeeName='UAB "Žalgirio prekyba" ir partneriai, Vilnius',
        Purpose="P" * 200, ForeignBankCharges=2, ChargesAccount="LT1", ChargesCurrency="EUR")))
    write("payment_line", "local_long_purpose", payment(LT_LT_2010, 1, dict(
        local, Purpose="x" * 141, AltPurpose='"' * 10 + "y" * 150)))
    write("payment_line", "local_quotes", payment(INVARIANT, 1, dict(
        local, PayerName='12"A', PayeeName="Vilnius,LT")))


def regional():
    numbers = ["12,5", "12.5", "1 234,5", "1\u00a0234,5", "1,234.5", " -0,25 ", "+7", ",5",
               "5,", ".5", "1,5E3", "1.5E3", "1E", "0,00005", "0,00015", "-0,00025",
               "922337203685477,5807", "1E308", "1E309", "(5)", "--1"]
    for i, value in enumerate(numbers):
        for preset in (LT_LT, EN_US):
            data = bytes([preset]) + b"".join(text(ch)[1:] for ch in value)
            write("regional_number", "n%02d_%d" % (i, preset), data)
    dates = ["2006.03.31", "2006-3-31", "2006/03/31", "3/31/2006", "31.03.2006", "06.03.31",
             "2006.02.29", "2004.02.29 13:07", "2006.03.31 1:07:09 PM", "2006.03.31T10:00",
             "2006.03.31.", "0100.01.01", "9999.12.31 23:59:59"]
    for i, value in enumerate(dates):
        for preset in (LT_LT, LT_LT_2010, EN_US, INVARIANT):
            data = bytes([preset]) + b"".join(text(ch)[1:] for ch in value)
            write("regional_date", "d%02d_%d" % (i, preset), data)


if __name__ == "__main__":
    statements()
    rates()
    payments()
    regional()
