// The resource module "NorvFormRes": a Lithuanian text for every id and caption
// marker the component uses, and LocalizeForm over a form's captions.
#include <gtest/gtest.h>

#include <string>

#include "core/err_description.h"
#include "core/error_numbers.h"
#include "forms/control.h"
#include "forms/form.h"
#include "hostkit/resource_module.h"
#include "runtime/error_matchers.h"
#include "runtime/text.h"

namespace norv::hostkit {
namespace {

std::vector<int32_t> IdsTheComponentUses() {
  std::vector<int32_t> ids{980};
  for (int32_t id = 984; id <= 998; ++id) ids.push_back(id);
  for (int32_t id : {1002, 1004, 1005, 1006, 1196, 1197, 1198, 1199, 1200, 1203, 1220}) {
    ids.push_back(id);
  }
  for (int32_t id = 4000; id <= 4017; ++id) {
    if (id != 4007 && id != 4015) ids.push_back(id);
  }
  ids.push_back(4026);
  return ids;
}

// Letters of the Lithuanian alphabet beyond ASCII, and the typographic quotes.
bool IsLithuanianText(const std::u16string& text) {
  const std::u16string extra = u"ąčęėįšųūžĄČĘĖĮŠŲŪŽ„“";
  for (char16_t c : text) {
    bool ascii = c >= 0x20 && c < 0x7f;
    if (!ascii && extra.find(c) == std::u16string::npos) return false;
  }
  return true;
}

TEST(NorvFormResTest, EveryIdTheComponentUsesHasALithuanianText) {
  ResourceModuleService resources;
  for (int32_t id : IdsTheComponentUses()) {
    std::u16string text = resources.LoadText(id);
    EXPECT_FALSE(TrimBlanks(text).empty()) << id;
    EXPECT_TRUE(IsLithuanianText(text)) << id << ": " << U16ToUtf8(text);
  }
  EXPECT_EQ(NorvFormResIds(), IdsTheComponentUses());
  EXPECT_EQ(resources.LoadText(981), u"");
}

TEST(NorvFormResTest, EveryErrorNumberWithATextFindsIt) {
  for (int32_t number : {1100, 1103, 1104, 1105, 1106, 1107, 1108, 1111, kErrBadPaymentType,
                         kErrRequiredEmpty, kErrValueTooLong, kObjectErrorBase + 114}) {
    int32_t id = CErrDescription::ResourceIdOf(number);
    ASSERT_NE(id, 0) << number;
    EXPECT_NE(NorvFormResText(id), u"") << number;
  }
}

TEST(NorvFormResTest, TemplatesHoldTheirPlaceholders) {
  struct Case {
    int32_t id;
    std::vector<std::u16string> placeholders;
  };
  for (const Case& c :
       {Case{1198, {u"%0", u"%1", u"%2"}}, Case{1199, {u"%0", u"%1"}}, Case{1200, {u"%0"}}}) {
    std::u16string text = NorvFormResText(c.id);
    for (const std::u16string& placeholder : c.placeholders) {
      EXPECT_NE(text.find(placeholder), std::u16string::npos)
          << c.id << " " << U16ToUtf8(placeholder);
    }
    EXPECT_EQ(text.find(u"%" + IntToText(static_cast<long long>(c.placeholders.size()))),
              std::u16string::npos)
        << c.id;
  }
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
