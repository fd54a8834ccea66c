#include "demo_data.h"

#include <cstdio>
#include <vector>

#include "hostkit/book_layouts.h"
#include "hostkit/sqlite_books.h"
#include "runtime/codepage.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace clientbank {

using norv::Currency;
using norv::Date;
using norv::Utf8ToU16;
namespace hostkit = norv::hostkit;

namespace {

struct DemoCurrency {
  const char* code;
  const char* name;
  int amount;  // units a stored rate refers to
};

constexpr DemoCurrency kCurrencies[] = {
    {"EUR", "Euras", 1},
    {"USD", "JAV doleris", 1},
    {"GBP", "Didžiosios Britanijos svaras sterlingų", 1},
    {"PLN", "Lenkijos zlotas", 10},
    {"LTL", "Lietuvos litas", 1},
};

constexpr std::pair<const char*, const char*> kRateTypes[] = {
    {"LB", "Buhalterinis kursas"},      {"CashBuy", "Pirkimas grynais"},
    {"CashSell", "Pardavimas grynais"}, {"Buy", "Pirkimas sąskaitoje"},
    {"Sell", "Pardavimas sąskaitoje"},  {"Check", "Čekių supirkimas"},
};

// Rates in litas per unit, in the file's column order.
struct DemoRate {
  const char* code;
  const char* name;
  double rates[6];
};

constexpr DemoRate kRates[] = {
    {"EUR", "Euras", {3.4528, 3.4100, 3.4950, 3.4300, 3.4750, 3.4000}},
    {"USD", "JAV doleris", {3.1254, 3.0800, 3.1700, 3.0950, 3.1550, 3.0700}},
    {"GBP", "Svaras sterlingu", {4.0123, 3.9600, 4.0650, 3.9800, 4.0450, 3.9500}},
    {"PLN", "Lenkijos zlotas", {0.81234567, 0.8000, 0.8250, 0.8050, 0.8200, 0.7950}},
};

std::string BankLines(hostkit::DefaultHost& host, const std::vector<std::u16string>& lines) {
  auto converter = host.CreateLineConverter();
  std::string bytes;
  for (const std::u16string& line : lines) {
    bytes += norv::cp1257::Encode(converter->Convert(line, norv::host::kConvertToBank));
    bytes += "\r\n";
  }
  return bytes;
}

std::u16string Padded(std::u16string text, size_t width, bool right_aligned) {
  if (text.size() >= width) return text.substr(0, width);
  std::u16string blanks(width - text.size(), u' ');
  return right_aligned ? blanks + text : text + blanks;
}

std::u16string Tabbed(const std::vector<std::u16string>& fields) {
  std::u16string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line.push_back(u'\t');
    line += fields[i];
  }
  return line;
}

// A statement line of 32 fields; the fields not given are empty.
std::u16string StatementLine(const std::u16string& date, const std::u16string& account,
                             const std::u16string& doc_number, const std::u16string& corr_account,
                             double debit, double credit, const std::u16string& trans_no,
                             const std::u16string& corr_bank, const std::u16string& corr_name,
                             const std::u16string& comment, const std::u16string& corr_code,
                             const std::u16string& client_iban, const std::u16string& corr_iban) {
  const norv::RegionalSettings& regional = norv::RegionalSettings::Current();
  auto amount = [&](double value) { return regional.FormatNumber(value, u"0.00"); };
  std::vector<std::u16string> fields(32);
  fields[0] = u"00001";
  fields[1] = date;
  fields[2] = account;
  fields[3] = u"1";
  fields[4] = u"EUR";
  fields[5] = doc_number;
  fields[6] = u"73000";
  fields[7] = corr_account;
  fields[8] = amount(debit);
  fields[9] = amount(debit);
  fields[10] = amount(credit);
  fields[11] = amount(credit);
  fields[12] = trans_no;
  fields[13] = u"1";
  fields[14] = u"MK";
  fields[16] = corr_bank;
  fields[17] = corr_name;
  fields[18] = comment;
  fields[19] = corr_code;
  fields[29] = client_iban;
  fields[31] = corr_iban;
  return Tabbed(fields);
}

}  // namespace

Date DemoRateDate() { return Date::FromCivil(2024, 1, 31); }
Date DemoEndDate() { return Date::FromCivil(2024, 1, 31); }

DemoCounts AddDemoReferenceData(hostkit::DefaultHost& host, const std::string& folder) {
  hostkit::BookStore store(host.database());
  DemoCounts counts;
  host.database()->Transaction([&] {
    for (const DemoCurrency& currency : kCurrencies) {
      store.Put(*hostkit::FindBook(u"REFCurrency"),
                {{u"CurrencyCode", Utf8ToU16(currency.code)}, {u"Name", Utf8ToU16(currency.name)}});
      ++counts.currencies;
    }
    for (const auto& [code, name] : kRateTypes) {
      store.Put(*hostkit::FindBook(u"REFRateType"),
                {{u"Code", Utf8ToU16(code)}, {u"Name", Utf8ToU16(name)}});
      ++counts.rate_types;
    }
    for (const DemoCurrency& currency : kCurrencies) {
      for (const auto& [code, name] : kRateTypes) {
        store.Put(*hostkit::FindBook(u"REFCurrencyRateType"),
                  {{u"RateTypeCode", Utf8ToU16(code)},
                   {u"CurrencyCode", Utf8ToU16(currency.code)},
                   {u"Amount", Currency::FromInteger(currency.amount)},
                   {u"IsReverse", int32_t{0}}});
        ++counts.currency_rate_types;
      }
    }
    for (const char16_t* key : {u"RazizeRuveRO", u"ClientBank"}) {
      store.Put(*hostkit::FindBook(u"PathKey"),
                {{u"Key", std::u16string(key)}, {u"EntryPath", Utf8ToU16(folder)}});
      ++counts.path_keys;
    }
  });
  return counts;
}

std::string DemoPaymentsJson() {
  return R"([
  {"DocType": 1, "DocNumber": "000125", "DocDate": "2024-01-15", "PayerCode": "123456789",
   "PayerName": "Pavyzdys ir Ko", "PayerBankCode": "70440", "PayerAccount": "LT323456789012345678",
   "Amount": "1234.50", "CurrencyCode": "EUR", "PayeeName": "Tiekėjas UAB", "PayeeBankCode": "73000",
   "PayeeAccount": "LT026543210987654321", "Purpose": "Sąskaita Nr. 15"},
  {"DocType": 1, "DocNumber": "126", "DocDate": "2024-01-16", "PayerCode": "123456789",
   "PayerName": "Pavyzdys ir Ko", "PayerBankCode": "70440", "PayerAccount": "LT323456789012345678",
   "Amount": 89.99, "CurrencyCode": "EUR", "PayeeCode": "110012345", "PayeeName": "Elektros tinklai AB",
   "PayeeBankCode": "70440", "PayeeAccount": "LT977044060000000001", "PurposeCode": "10",
   "Purpose": "Už elektrą, sausis"},
  {"DocType": 2, "DocNumber": "7", "DocDate": "2024-01-17", "PaymentType": 1, "CurrencyCode": "USD",
   "Amount": "2500.00", "PayerAccount": "LT323456789012345678", "PayerBankCode": "70440",
   "PayeeBankSwift": "BANKDEFF", "PayeeBankName": "Beispiel Bank", "PayeeAccount": "DE44123456780000000000",
   "PayeeName": "Muster GmbH", "Purpose": "Invoice 2024-15", "ForeignBankCharges": 3}
]
)";
}

std::string DemoStatementBytes(hostkit::DefaultHost& host) {
  const norv::RegionalSettings& regional = norv::RegionalSettings::Current();
  auto day = [&](int d) { return regional.FormatShortDate(Date::FromCivil(2024, 1, d)); };
  const std::u16string account = Utf8ToU16(kDemoAccount);
  const std::u16string iban = u"LT121000011101001000";
  return BankLines(
      host, {StatementLine(day(2), account, u"", u"", 1000.00, 0, u"BALANSAS", u"", u"", u"Likutis",
                           u"", iban, u""),
             StatementLine(day(5), account, u"1001", u"LT601010012345678901", 0, 150.00, u"T0001",
                           u"AB SEB bankas", u"Pirkėjas UAB", u"Apmokėjimas pagal sąskaitą Nr. 77",
                           u"111222333", iban, u"LT601010012345678901"),
             StatementLine(day(15), account, u"125", u"LT026543210987654321", 1234.50, 0, u"T0002",
                           u"Swedbank, AB", u"Tiekėjas UAB", u"Sąskaita Nr. 15", u"222333444", iban,
                           u"LT026543210987654321"),
             StatementLine(day(20), u"98765432109", u"3", u"LT601010012345678901", 0, 42.00,
                           u"T0003", u"AB SEB bankas", u"Kitas klientas",
                           u"Kitos sąskaitos operacija", u"", u"", u""),
             u"GALAS"});
}

std::string DemoRateFileBytes(hostkit::DefaultHost& host) {
  std::vector<std::u16string> lines;
  int number = 1;
  for (const DemoRate& rate : kRates) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%03d", number++);
    std::u16string line =
        Utf8ToU16(prefix) + Utf8ToU16(rate.code) + Padded(u" " + Utf8ToU16(rate.name), 32, false);
    for (size_t column = 0; column < 6; ++column) {
      char value[32];
      std::snprintf(value, sizeof value, "%.8g", rate.rates[column]);
      if (column > 0) line += u" ";
      line += Padded(Utf8ToU16(value), 17, true);
    }
    lines.push_back(line);
  }
  lines.push_back(norv::RegionalSettings::Current().FormatShortDate(DemoRateDate()));
  lines.push_back(u"GALAS");
  return BankLines(host, lines);
}

}  // namespace clientbank
