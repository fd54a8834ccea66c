// The resource module "NorvFormRes": a Lithuanian text for every id and caption
// marker the component uses (listed in tests/data/resource_texts), and
// LocalizeForm over a form's captions.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "core/err_description.h"
#include "core/error_numbers.h"
#include "forms/control.h"
#include "forms/form.h"
#include "hostkit/resource_module.h"
#include "runtime/error_matchers.h"
#include "runtime/text.h"
#include "support/data_files.h"

namespace norv::hostkit {
namespace {

// Letters of the Lithuanian alphabet beyond ASCII, and the typographic quotes.
bool IsLithuanianText(const std::u16string& text) {
  const std::u16string extra = u"ąčęėįšųūžĄČĘĖĮŠŲŪŽ„“";
  for (char16_t c : text) {
    bool ascii = c >= 0x20 && c < 0x7f;
    if (!ascii && extra.find(c) == std::u16string::npos) return false;
  }
  return true;
}

// tests/data/resource_texts: the ids the component uses with the placeholders
// of their texts, and the error numbers whose descriptions the module holds.
TEST(NorvFormResTest, EveryTextTheComponentUsesIsLithuanianWithItsPlaceholders) {
  ResourceModuleService resources;
  std::vector<int32_t> ids;
  for (const testing::Row& row : testing::Manifest("resource_texts", 3)) {
    const int32_t number = std::stoi(row[1]);
    if (row[0] == "error") {
      const int32_t id = CErrDescription::ResourceIdOf(number);
      EXPECT_NE(id, 0) << number;
      EXPECT_NE(NorvFormResText(id), u"") << number;
      continue;
    }
    ids.push_back(number);
    const std::u16string text = resources.LoadText(number);
    EXPECT_FALSE(TrimBlanks(text).empty()) << number;
    EXPECT_TRUE(IsLithuanianText(text)) << number << ": " << U16ToUtf8(text);
    std::istringstream placeholders(row[2]);
    int count = 0;
    for (std::string placeholder; placeholders >> placeholder; ++count) {
      EXPECT_NE(text.find(Utf8ToU16(placeholder)), std::u16string::npos) << number << placeholder;
    }
    EXPECT_EQ(text.find(u"%" + IntToText(count)), std::u16string::npos) << number;
  }
  EXPECT_EQ(NorvFormResIds(), ids);
  EXPECT_EQ(resources.LoadText(981), u"");
}

class MarkedForm : public forms::Form {
 public:
  MarkedForm() : Form(u"MarkedForm", u"#4017") {
    AddControl<forms::Frame>(u"Frame1", u"#4014");
    AddControl<forms::Label>(u"Label1", u"#4016");
    AddControl<forms::Label>(u"Label9", u"#9999");  // the module has no such id
    AddControl<forms::CommandButton>(u"btOk", u"OK");
    AddControl<forms::CheckBox>(u"chOption", u"#40x6");
  }
};

TEST(NorvFormResTest, LocalizeFormReplacesOnlyMarkersTheModuleHas) {
  MarkedForm form;
  ResourceModuleService resources;
  resources.LocalizeForm(form);
  EXPECT_EQ(form.Caption(), u"Valiutų kursų importas");
  EXPECT_EQ(form.FindControl(u"Frame1")->Caption(), u" Importuoti iš : ");
  EXPECT_EQ(form.FindControl(u"Label1")->Caption(), u"Čekių supirkimo : ");
  EXPECT_EQ(form.FindControl(u"Label9")->Caption(), u"#9999");
  EXPECT_EQ(form.FindControl(u"btOk")->Caption(), u"OK");
  EXPECT_EQ(form.FindControl(u"chOption")->Caption(), u"#40x6");
  // Only "NorvFormRes" is installed.
  EXPECT_RAISES(resources.UseResourceModule(u"OtherRes"), kErrFileNotFound);
  resources.UseResourceModule(u"NorvFormRes");
  EXPECT_EQ(resources.CurrentModule(), u"NorvFormRes");
}

}  // namespace
}  // namespace norv::hostkit
