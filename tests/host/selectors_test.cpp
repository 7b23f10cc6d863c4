// The selectors and the registry value against a described system.
#include <gtest/gtest.h>

#include "install/registrytable.h"
#include "install/selectors.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace {

class DescribedSystem : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = platform::PosixSystem();
    platform::PosixSystem() = platform::FakeSystem();
    platform::ResetPosixRegistry();
  }
  void TearDown() override { platform::PosixSystem() = saved_; }
  platform::FakeSystem& System() { return platform::PosixSystem(); }

 private:
  platform::FakeSystem saved_;
};

TEST_F(DescribedSystem, AdminSelectShowsItsMessageOnlyWhenRequiredAndMissing) {
  CAdminSelect admin;
  admin.SetText(u"need admin");
  admin.SetCaption(u"Setup");
  System().administrator = false;
  EXPECT_EQ(admin.Evaluate(), 0);  // not required
  admin.SetRequired(1);
  EXPECT_EQ(admin.Evaluate(), 2);
  EXPECT_EQ(System().messages_shown, 1);
  EXPECT_EQ(System().last_text, u"need admin");
  EXPECT_EQ(System().last_caption, u"Setup");
  System().administrator = true;
  EXPECT_EQ(admin.Evaluate(), 0);
  EXPECT_EQ(System().messages_shown, 1);
}

TEST_F(DescribedSystem, OsSelectOnVistaAndLaterSeesCodeZero) {
  COSSelect os;
  os.AddSystem(0x15002);
  System().version = {2, 5, 1};
  EXPECT_EQ(os.Evaluate(), 0);
  System().version = {2, 6, 1};
  EXPECT_EQ(os.Evaluate(), 2);
  EXPECT_EQ(System().messages_shown, 1);
  os.AddSystem(0);
  EXPECT_EQ(os.Evaluate(), 0);
}

TEST_F(DescribedSystem, AutoSelectHoldsWhenAConditionFits) {
  CAutoSelect autosel;
  System().version = {2, 6, 1};
  System().default_lang = 0x0804;
  EXPECT_EQ(autosel.Evaluate(), 2);
  autosel.GetConditions().Add(std::make_shared<CInstallCondition>(u"us", 0, u"", 0x0409));
  EXPECT_EQ(autosel.Evaluate(), 2);
  autosel.GetConditions().Add(std::make_shared<CInstallCondition>(u"tw", 0, u"", 0x0404));
  EXPECT_EQ(autosel.Evaluate(), 0);
  EXPECT_EQ(CLangSelect().Evaluate(), 0);
  EXPECT_EQ(System().messages_shown, 0);
}

TEST_F(DescribedSystem, RegistryValueSetsDeletesAndRefusesIncompleteValues) {
  CRegistryValue value;
  value.SetRootKey(platform::kLocalMachine);
  value.SetKeyPath(u"SOFTWARE\\Tavrin\\Glimmora");
  value.SetValueName(u"Count");
  value.SetType(platform::kRegDword);
  EXPECT_FALSE(value.Apply()) << "no data";
  value.SetData({7, 0, 0, 0});
  ASSERT_TRUE(value.Apply());
  platform::RegKey key = platform::RegKey::Open(platform::kLocalMachine, u"SOFTWARE\\Tavrin\\Glimmora");
  ASSERT_TRUE(key.IsValid());
  uint32_t type = 0;
  auto stored = key.QueryValue(u"Count", &type);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(*stored, (std::vector<uint8_t>{7, 0, 0, 0}));
  EXPECT_EQ(type, platform::kRegDword);

  value.SetDelete(true);
  EXPECT_TRUE(value.Apply());
  EXPECT_FALSE(key.QueryValue(u"Count").has_value());

  CRegistryValue no_root = value;
  no_root.SetRootKey(0);
  EXPECT_FALSE(no_root.Apply());
  CRegistryValue no_name = value;
  no_name.SetValueName(u"");
  EXPECT_FALSE(no_name.Apply());
}

}  // namespace
