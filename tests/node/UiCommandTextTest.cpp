#include <gtest/gtest.h>

#include "UiCommandText.h"

namespace {

TEST(UiCommandText, FlagCommandsTakeDeviceIdThenFlag) {
    EXPECT_EQ(UiCommandText::enableBindButton(2, true), "enableBindButton 2 1");
    EXPECT_EQ(UiCommandText::enableBindButton(0, false), "enableBindButton 0 0");
    EXPECT_EQ(UiCommandText::updateLiveCheckbox(-3, false), "updateLiveCheckbox -3 0");
    EXPECT_EQ(UiCommandText::updateLiveCheckbox(12, true), "updateLiveCheckbox 12 1");
    EXPECT_EQ(UiCommandText::takeBaked(3), "tulvexTakeBaked 3");
}

TEST(UiCommandText, TextCommandsPutABlankBetweenTheTextAndTheId) {
    EXPECT_EQ(UiCommandText::displayMessage("Awaiting Skeleton Definition", 0),
              "displayMessage \"Awaiting Skeleton Definition\" 0");
    EXPECT_EQ(UiCommandText::displayAvailableIPs("Your local IPs:\t\t\t10.0.0.5", 17),
              "displayAvailableIPs \"Your local IPs:\t\t\t10.0.0.5\" 17");
    EXPECT_EQ(UiCommandText::error("Port in Use."), "error \"Port in Use.\"");
}

TEST(UiCommandText, QuotedTextsEscapeQuotesBackslashesAndLineBreaks) {
    EXPECT_EQ(UiCommandText::displayMessage("say \"hi\" to C:\\take", 3),
              "displayMessage \"say \\\"hi\\\" to C:\\\\take\" 3");
    EXPECT_EQ(UiCommandText::error("two\nlines\\"), "error \"two\\nlines\\\\\"");
}

}  // namespace
