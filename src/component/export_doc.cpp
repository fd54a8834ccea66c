// Payment-order lines: one PaymentDoc becomes one comma-separated line of the
// DP file (local payment, 15 fields) or the FP file (foreign payment, 34 fields),
// field by field as the table of export/payment_fields.h lays them out. Every
// field is quoted, checked against its maximum and its required flag, and
// appended with a trailing comma; the last comma goes before the line is written.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "component/cbankcl_vb.h"
#include "core/error_numbers.h"
#include "export/export_file.h"
#include "export/payment_fields.h"
#include "files/cfile.h"
#include "host/host_library.h"
#include "runtime/com_error.h"
#include "runtime/currency.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace norv {

void CBankCl_VB::IClientBank_ExportDoc(int32_t& DocType, PaymentDoc& Doc) {
  const std::unique_ptr<host::WaitIndicator> wait =
      host::HostLibrary::Current().CreateWaitIndicator();

  m_sDocNo = Doc.DocNumber;
  m_sDocDate = RegionalSettings::Current().FormatShortDate(Doc.DocDate);
  m_sLine.clear();

  const bool local = DocType == kLocalPayment;
  std::u16string scratch;
  for (const PaymentField& field : PaymentFields(DocType)) {
    if (field.payment_type && !IsPaymentType(Doc.PaymentType)) {
      throw ComError(kErrBadPaymentType, DocErrorText(field.label),
                     ErrorText(kErrBadPaymentType, field.label, IntToText(Doc.PaymentType)));
    }
    const std::u16string& value = field.value(Doc, scratch);
    if (field.parts > 0) {
      AddSplitField(field.label, value, field.parts, field.IsRequired(Doc), 1, field.max_length);
    } else {
      AddField(field.label, value, field.max_length, field.IsRequired(Doc));
    }
  }

  // Counted only once every field was accepted, before the line is written.
  CFile& target = local ? m_oExportFile->DPFile() : m_oExportFile->FPFile();
  CheckedIncrement(local ? m_iDPCount : m_iFPCount);

  if (!m_sLine.empty() && m_sLine.back() == u',') m_sLine.pop_back();
  m_sLine = LineConverterOnFirstUse().Convert(m_sLine, host::kConvertToBank);
  if (!target.WriteStr(m_sLine)) {
    throw ComError(kErrLineNotWritten, kDefaultErrorSource,
                   ErrorText(kErrLineNotWritten, target.FileName(), m_sLine));
  }
}

std::u16string CBankCl_VB::FormatAmount(const Currency& Amount) {
  return FormatPaymentAmount(Amount);
}

void CBankCl_VB::AddField(const std::u16string& Label, const std::u16string& Value, int16_t MaxLen,
                          bool Required, int16_t PartNo) {
  const auto label = [&] { return PartNo > 0 ? Label + u" " + IntToText(PartNo) : Label; };
  if (Value.empty() && Required) {
    throw ComError(kErrRequiredEmpty, DocErrorText(label()),
                   ErrorText(kErrRequiredEmpty, label(), Value));
  }
  const QuotedForm form = QuotingOf(Value);
  if (form.Length(Value.size()) > static_cast<size_t>(MaxLen)) {
    throw ComError(kErrValueTooLong, DocErrorText(label()),
                   ErrorText(kErrValueTooLong, label(), QuoteValue(Value)));
  }
  AppendQuoted(m_sLine, Value, form);
  m_sLine += u',';
}

std::u16string CBankCl_VB::QuoteValue(const std::u16string& Value) {
  const QuotedForm form = QuotingOf(Value);
  std::u16string quoted;
  quoted.reserve(form.Length(Value.size()));
  AppendQuoted(quoted, Value, form);
  return quoted;
}

void CBankCl_VB::AddSplitField(const std::u16string& Label, const std::u16string& Value,
                               int16_t PartCount, bool Required, int16_t PartNo,
                               int16_t PartWidth) {
  std::u16string_view rest = Value;
  std::u16string part;
  for (;;) {
    const std::optional<size_t> take = SplitCut(rest, PartWidth);
    // A rest with more quotes than the width leaves nothing to take: the
    // platform's Left refuses a negative length.
    if (!take) RaiseRuntime(kErrInvalidCall);
    part.assign(rest.substr(0, *take));
    rest.remove_prefix(*take);
    AddField(Label, part, PartWidth, Required, PartNo);
    CheckedIncrement(PartNo);
    if (PartNo > PartCount) return;  // what is left of the text is dropped
    Required = false;
  }
}

}  // namespace norv
