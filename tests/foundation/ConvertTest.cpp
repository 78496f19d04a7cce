#include "foundation/Convert.h"
#include "foundation/Exceptions.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct IntCase
{
    const char16_t *text;
    std::optional<int32_t> expected;
};

const IntCase kIntCases[] = {
    {u"42", 42},
    {u"  -17", -17},
    {u"+5", 5},
    {u"$FF", 255},
    {u"0x10", 16},
    {u"$FFFFFFFF", -1},
    {u"2147483647", 2147483647},
    {u"-2147483648", INT32_MIN},
    {u"2147483648", std::nullopt},
    {u"-2147483649", std::nullopt},
    {u"", std::nullopt},
    {u"-", std::nullopt},
    {u"12a", std::nullopt},
    {u"12 ", std::nullopt},
    {u"$", std::nullopt},
    {u"99999999999999999999", std::nullopt},
};

TEST(Convert, TryStrToIntTable)
{
    for (const IntCase &c : kIntCases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(TryStrToInt(text), c.expected) << text.toStdString();
    }
}

TEST(Convert, TryStrToInt64WidensTheSameSyntax)
{
    EXPECT_EQ(TryStrToInt64(u"9223372036854775807"), INT64_MAX);
    EXPECT_EQ(TryStrToInt64(u"-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(TryStrToInt64(u"9223372036854775808"), std::nullopt);
    EXPECT_EQ(TryStrToInt64(u"$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(TryStrToInt64(u"$10000000000000000"), std::nullopt);
    EXPECT_EQ(TryStrToInt64(u" 4294967296"), 4294967296LL);
    EXPECT_EQ(TryStrToInt64(u"12x"), std::nullopt);
}

TEST(Convert, StrToIntNamesTheTextInItsError)
{
    try {
        StrToInt(QStringLiteral("abc"));
        FAIL() << "no error raised";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'abc' is not a valid integer value"));
    }
}

} // namespace
