#include <gtest/gtest.h>

#include "plugins/UserFilterTable.h"

namespace orbet {
namespace {

UserFilterTable twoFilters() {
    UserFilterTable t;
    t.row(0) = {FilterValue::ofText("PNG画像"), FilterValue::ofText("*.png"), FilterValue::ofNumber(0)};
    t.row(1) = {FilterValue::ofText("Logs"), FilterValue::ofText("*.log;*.out"), FilterValue::ofText("1")};
    return t;
}

TEST(FilterFile, TwoFiltersThenEmptyRows) {
    const QByteArray bytes = twoFilters().serialize();
    const QByteArray head = "\"PNG\xe7\x94\xbb\xe5\x83\x8f\",\"*.png\",0,\"Logs\",\"*.log;*.out\",\"1\",";
    ASSERT_TRUE(bytes.startsWith(head));
    EXPECT_EQ(bytes.mid(head.size()), QByteArray(2994, ','));
}

TEST(FilterFile, ReadsBackWhatItWrote) {
    UserFilterTable back;
    EXPECT_EQ(back.deserialize(twoFilters().serialize()), UserFilterTable::Values);
    EXPECT_EQ(back.names(), (QStringList{"PNG画像", "Logs"}));
    EXPECT_EQ(back.row(0).method, FilterValue::ofNumber(0));
    EXPECT_EQ(back.row(1).method, FilterValue::ofText("1"));
    EXPECT_EQ(back.serialize(), twoFilters().serialize());
}

TEST(FilterFile, ToleratesMissingFinalCommaBlanksAndShortFiles) {
    UserFilterTable t;
    QByteArray bytes = twoFilters().serialize();
    bytes.chop(1);
    EXPECT_EQ(t.deserialize(bytes),
              UserFilterTable::Values - 1); // the empty last value has nothing left to read
    EXPECT_EQ(t.names().size(), 2);
    UserFilterTable full;
    full.row(UserFilterTable::Rows - 1).method = FilterValue::ofNumber(2);
    QByteArray fullBytes = full.serialize();
    fullBytes.chop(1);
    EXPECT_EQ(t.deserialize(fullBytes), UserFilterTable::Values);
    EXPECT_EQ(t.row(UserFilterTable::Rows - 1).method, FilterValue::ofNumber(2));

    UserFilterTable s;
    s.row(3).name = FilterValue::ofText("kept");
    EXPECT_EQ(s.deserialize(" \"A\" , \"*.a\" ,2,\r\n"), 3);
    EXPECT_EQ(s.row(0).name.text, QStringLiteral("A"));
    EXPECT_EQ(s.row(0).method, FilterValue::ofNumber(2));
    EXPECT_EQ(s.row(3).name.text, QStringLiteral("kept")); // beyond the data: untouched
}

TEST(FilterFile, CommasInsideQuotesAndUnbalancedQuotes) {
    UserFilterTable t;
    t.deserialize("\"a,b\",\"*.x\",1,\"open");
    EXPECT_EQ(t.row(0).name.text, QStringLiteral("a,b"));
    EXPECT_EQ(t.row(1).name.text, QStringLiteral("open")); // runs to the end
    UserFilterTable g;
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 131) & 0xff);
    const int read = g.deserialize(garbage); // must not crash or hang
    EXPECT_GT(read, 0);
    EXPECT_LE(read, UserFilterTable::Values);
    // Whatever came in, the table saves as one line that reads back unchanged.
    const QByteArray saved = g.serialize();
    EXPECT_FALSE(saved.contains('\n'));
    UserFilterTable again;
    again.deserialize(saved);
    EXPECT_EQ(again.serialize(), saved);
}

TEST(FilterFile, AQuoteInsideATextCannotShiftLaterValues) {
    UserFilterTable t;
    t.row(0) = {FilterValue::ofText("say \"hi\""), FilterValue::ofText("*.hi"), FilterValue::ofNumber(1)};
    t.row(1) = {FilterValue::ofText("next"), FilterValue::ofText("*.n"), FilterValue::ofNumber(2)};
    UserFilterTable back;
    back.deserialize(t.serialize());
    EXPECT_EQ(back.row(0).name.text, QStringLiteral("say 'hi'"));
    EXPECT_EQ(back.row(1).name.text, QStringLiteral("next"));
    EXPECT_EQ(back.row(1).method, FilterValue::ofNumber(2));
}

} // namespace
} // namespace orbet
