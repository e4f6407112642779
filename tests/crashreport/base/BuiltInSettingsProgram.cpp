#include "KroExceptSettings.h"

#include <gtest/gtest.h>

TEST(BuiltInSettingsTest, AProgramWithoutItsOwnRecordCarriesTheBuiltInValues) {
    EXPECT_TRUE(ExceptSettings == BuiltInSettings);
    EXPECT_EQ(ExceptSettings.MailAddress.View(), KROEXCEPT_MAIL_ADDRESS);
}
