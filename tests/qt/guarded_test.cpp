// What a slot's body raises reaches the user as an error box, and the slot returns.
#include <QMessageBox>
#include <stdexcept>

#include <gtest/gtest.h>

#include "qt/guarded.h"
#include "qt_test_host.h"
#include "runtime/com_error.h"

namespace norv::qttest {
namespace {

TEST(GuardedTest, ARaisedErrorBecomesAnErrorBox) {
  SeenMessage com;
  AnswerNextMessageBox(com);
  EXPECT_FALSE(qt::Guarded([] { throw ComError(53, u"jobs", u"Failas nerastas"); }));
  EXPECT_TRUE(com.seen);
  EXPECT_EQ(com.icon, QMessageBox::Critical);
  EXPECT_EQ(com.text, QStringLiteral("Failas nerastas"));
  EXPECT_TRUE(com.informative.contains(QStringLiteral("53")));
  EXPECT_TRUE(com.informative.contains(QStringLiteral("jobs")));
  EXPECT_EQ(com.buttons, QStringList{QStringLiteral("Gerai")});

  SeenMessage other;
  AnswerNextMessageBox(other);
  EXPECT_FALSE(qt::Guarded([] { throw std::runtime_error("out of range"); }));
  EXPECT_TRUE(other.seen);
  EXPECT_EQ(other.icon, QMessageBox::Critical);
  EXPECT_EQ(other.text, QStringLiteral("out of range"));

  EXPECT_TRUE(qt::Guarded([] {}));
}

}  // namespace
}  // namespace norv::qttest
