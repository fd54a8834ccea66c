// The line converters: identity, and the Baltic DOS code page 775 whose text,
// once written through Windows-1257 as the component writes, is cp775 on disk.
#include <gtest/gtest.h>

#include "hostkit/cp775.h"
#include "hostkit/line_converters.h"
#include "runtime/codepage.h"
#include "runtime/error_matchers.h"

namespace norv::hostkit {
namespace {

// Lithuanian letters and their code page 775 bytes.
constexpr char16_t kLetters[] = u"ąčęėįšųūžĄČĘĖĮŠŲŪŽ";
const std::string kLetterBytes =
    "\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD7\xD8\xB5\xB6\xB7\xB8\xBD\xBE\xC6\xC7\xCF";

TEST(Cp775Test, LithuanianLettersTakeTheirBytesAndEveryByteRoundTrips) {
  EXPECT_EQ(cp775::Encode(kLetters), kLetterBytes);
  EXPECT_EQ(cp775::Decode(kLetterBytes), kLetters);
  EXPECT_EQ(cp775::Encode(u"Kaina 5 €"), "Kaina 5 ?");  // the code page has no euro sign
  std::string all;                                      // every byte survives decode and encode
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(cp775::Encode(cp775::Decode(all)), all);
}

TEST(LineConverterTest, DosBalticPutsCp775BytesOnDisk) {
  auto converter = MakeLineConverter(kCodePageDosBaltic);
  const std::u16string line = u"125,\"Tiekėjas UAB\",Šiauliai";
  // What the component writes: the converted line through Windows-1257.
  std::string on_disk = cp1257::Encode(converter->Convert(line, 1));
  EXPECT_EQ(on_disk, cp775::Encode(line));
  EXPECT_EQ(on_disk, "125,\"Tiek\xD3jas UAB\",\xBEiauliai");
  // Reading back: the bytes through Windows-1257, then mode 0.
  EXPECT_EQ(converter->Convert(cp1257::Decode(on_disk), 0), line);
}

TEST(LineConverterTest, IdentityKeepsTheTextAndUnknownModesAndCodePagesAreErrors) {
  auto identity = MakeLineConverter(kCodePageWindowsBaltic);
  EXPECT_EQ(identity->Convert(kLetters, 1), kLetters);
  EXPECT_EQ(identity->Convert(kLetters, 0), kLetters);
  EXPECT_RAISES(MakeLineConverter(kCodePageDosBaltic)->Convert(u"x", 2), kErrInvalidCall);
  EXPECT_RAISES(MakeLineConverter(kCodePageWindowsBaltic)->Convert(u"x", -1), kErrInvalidCall);
  EXPECT_RAISES(MakeLineConverter(850), kErrInvalidCall);
}

}  // namespace
}  // namespace norv::hostkit
