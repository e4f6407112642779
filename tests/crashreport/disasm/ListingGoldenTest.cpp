#include "KnownFunctions.h"
#include "KroDisAsm.h"
#include "KroLiveDisAsm.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string Golden(const std::string& Name) {
    std::ifstream In(std::string(KRO_GOLDEN_DIR) + "/" + Name, std::ios::binary);
    std::ostringstream Text;
    Text << In.rdbuf();
    return Text.str();
}

// Compares with the committed text; KRO_UPDATE_GOLDEN=1 writes the text instead (then review the difference).
void ExpectGolden(const std::string& Name, const std::string& Listing) {
    if (std::getenv("KRO_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(std::string(KRO_GOLDEN_DIR) + "/" + Name, std::ios::binary) << Listing;
        return;
    }
    EXPECT_EQ(Listing, Golden(Name)) << "the listing differs from " << KRO_GOLDEN_DIR << "/" << Name;
}

std::size_t CountLines(const std::string& Text) {
    std::size_t Lines = 1;
    for (std::size_t At = Text.find("\r\n"); At != std::string::npos; At = Text.find("\r\n", At + 2))
        ++Lines;
    return Lines;
}

} // namespace

// The report's setting: five lines of context, short labels. The call in the third case is where the exception
// happened.
TEST(ListingGoldenTest, SwitchFunctionAroundTheExceptionLineMatchesTheCommittedText) {
    const TKnownNames Names;
    std::string Listing;
    TFunctionInfo Info;
    ParseFunction(KroKnownAddress(KroKnownSwitch), Listing, KroKnownAddress(KroKnownSwitchCall), 5, false, Info);
    ASSERT_TRUE(Info.Succeeded) << Info.ErrorText;
    ExpectGolden("KroKnownSwitch-context5.txt", Listing);
    // "[...]", five lines, the exception line, five lines, "[...]".
    EXPECT_EQ(CountLines(Listing), 13u);
    EXPECT_EQ(Listing.rfind("[...]\r\n", 0), 0u);
    EXPECT_EQ(Listing.substr(Listing.size() - 7), "\r\n[...]");
    EXPECT_NE(Listing.find("0000000010000027 \xC2\xBB call"), std::string::npos);
}

TEST(ListingGoldenTest, WholeSwitchFunctionWithFullLabelsMatchesTheCommittedText) {
    const TKnownNames Names;
    std::string Listing;
    TFunctionInfo Info;
    ParseFunction(KroKnownAddress(KroKnownSwitch), Listing, KroKnownAddress(KroKnownSwitchCall), 0, true, Info);
    ExpectGolden("KroKnownSwitch-full.txt", Listing);
    // A listing that runs to its end has no line break behind its last line.
    ASSERT_GE(Listing.size(), 2u);
    EXPECT_NE(Listing.substr(Listing.size() - 2), "\r\n");
}

TEST(ListingGoldenTest, ContextCutKeepsTheStartWhenTheExceptionLineIsNearIt) {
    const TKnownNames Names;
    TFunctionInfo Info;
    std::string Listing;
    // The exception on the fifth line (the lea): with five lines of context, 5 <= 5 * 12 / 10 keeps the top.
    ParseFunction(KroKnownAddress(KroKnownSwitch), Listing, KroKnownAddress(KroKnownSwitch) + 9, 5, false, Info);
    EXPECT_EQ(Listing.rfind("0000000010000000 public KroKnownSwitch:", 0), 0u) << Listing;
    EXPECT_EQ(CountLines(Listing), 5u + 5u + 1u);
    // On the eighth line (the jump) it does not: 8 > 6.
    ParseFunction(KroKnownAddress(KroKnownSwitch), Listing, KroKnownAddress(KroKnownSwitch) + 0x17, 5, false, Info);
    EXPECT_EQ(Listing.rfind("[...]\r\n0000000010000004   cmp", 0), 0u) << Listing;
    // An exception address outside the function lists it whole.
    std::string Whole;
    ParseFunction(KroKnownAddress(KroKnownSwitch), Whole, 0x1234, 5, false, Info);
    EXPECT_EQ(Whole.find("[...]"), std::string::npos);
    EXPECT_EQ(Whole.find("\xC2\xBB"), std::string::npos);
    EXPECT_NE(Whole.find("0000000010100010   dd loc_10000039"), std::string::npos);
}
