#include "runtime/regional.h"

#include "runtime/com_error.h"

namespace norv {
namespace {

RegionalSettings& ThreadSettings() {
  thread_local RegionalSettings settings = RegionalSettings::LtLT();
  return settings;
}

}  // namespace

RegionalSettings RegionalSettings::LtLT() {
  RegionalSettings s;
  s.name = u"lt-LT";
  s.decimal_separator = u',';
  s.grouping_separator = u'\u00A0';
  s.short_date_pattern = u"yyyy.MM.dd";
  s.long_time_pattern = u"HH:mm:ss";
  s.currency_symbol = u"Lt";
  s.currency_symbol_first = false;
  return s;
}

RegionalSettings RegionalSettings::LtLT2010() {
  RegionalSettings s = LtLT();
  s.name = u"lt-LT-2010";
  s.short_date_pattern = u"yyyy-MM-dd";
  return s;
}

RegionalSettings RegionalSettings::EnUS() {
  RegionalSettings s;
  s.name = u"en-US";
  s.decimal_separator = u'.';
  s.grouping_separator = u',';
  s.short_date_pattern = u"M/d/yyyy";
  s.long_time_pattern = u"h:mm:ss tt";
  s.currency_symbol = u"$";
  s.currency_symbol_first = true;
  return s;
}

RegionalSettings RegionalSettings::Invariant() {
  RegionalSettings s;
  s.name = u"invariant";
  s.decimal_separator = u'.';
  s.grouping_separator = u',';
  s.short_date_pattern = u"MM/dd/yyyy";
  s.long_time_pattern = u"HH:mm:ss";
  s.currency_symbol = u"\u00A4";
  s.currency_symbol_first = true;
  return s;
}

RegionalSettings RegionalSettings::Preset(std::u16string_view name) {
  if (name == u"lt-LT") return LtLT();
  if (name == u"lt-LT-2010") return LtLT2010();
  if (name == u"en-US") return EnUS();
  if (name == u"invariant") return Invariant();
  RaiseRuntime(kErrInvalidCall, std::u16string(name));
}

const RegionalSettings& RegionalSettings::Current() { return ThreadSettings(); }

void RegionalSettings::SetCurrent(const RegionalSettings& settings) { ThreadSettings() = settings; }

}  // namespace norv
