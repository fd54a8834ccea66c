// FormatTemplate: "%i" placeholders filled from the last argument down to the first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/messages.h"
#include "runtime/currency.h"
#include "runtime/text.h"

namespace norv {
namespace {

struct TemplateCase {
  const char* name;
  std::u16string templ;
  std::vector<Variant> args;
  std::u16string expected;
};

std::vector<Variant> TwelveArgs() {
  std::vector<Variant> args;
  for (int i = 0; i < 12; ++i) args.emplace_back(u"<" + IntToText(i) + u">");
  return args;
}

TEST(FormatTemplate, FillsPlaceholdersFromTheLastArgumentDown) {
  for (const TemplateCase& c :
       {TemplateCase{"OrderFollowsNumbersNotPositions", u"a%1b%0c", {u"X", u"Y"}, u"aYbXc"},
        TemplateCase{"TenBeforeOne", u"%10|%1|%11", TwelveArgs(), u"<10>|<1>|<11>"},
        TemplateCase{"EveryOccurrence", u"%0-%0-%0", {u"z"}, u"z-z-z"},
        TemplateCase{"EmptyTemplateStaysEmpty", u"", {u"X", u"Y"}, u""},
        TemplateCase{"NoArgumentsLeavesPlaceholders", u"%0 ir %1", {}, u"%0 ir %1"},
        TemplateCase{"PlaceholderBeyondArgumentsStays", u"%0 %2", {u"A", u"B"}, u"A %2"},
        // Text brought in by a higher argument meets the later, lower replacements...
        TemplateCase{"BroughtInTextIsReplacedLater", u"[%1]", {u"nulis", u"%0!"}, u"[nulis!]"},
        // ...but not the higher ones already done.
        TemplateCase{"BroughtInHigherPlaceholderStays", u"[%0]", {u"%1", u"vienas"}, u"[%1]"},
        TemplateCase{"DigitsAfterPlaceholderAreText", u"%01", {u"A", u"B"}, u"A1"},
        TemplateCase{"EmptyArgumentRemovesPlaceholder", u"x%0y", {u""}, u"xy"},
        TemplateCase{"CaseAndPercentKept", u"100% %0", {u"Gerai"}, u"100% Gerai"},
        TemplateCase{
            "NonTextArguments", u"%0/%1/%2", {int32_t{42}, std::monostate{}, true}, u"42//True"},
        TemplateCase{
            "LithuanianLetters", u"Failas „%0“", {u"išrašas.txt"}, u"Failas „išrašas.txt“"}}) {
    EXPECT_EQ(FormatTemplate(c.templ, c.args), c.expected) << c.name;
  }
  EXPECT_EQ(FormatTemplate(u"Suma %0", {Currency::FromRaw(12345000)}),
            u"Suma " + VariantToText(Currency::FromRaw(12345000)));
}

}  // namespace
}  // namespace norv
