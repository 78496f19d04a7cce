#include "foundation/CodePage.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage1252, EveryByteSurvivesADecodeAndAnEncode)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = CodePage1252::Decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_TRUE(CodePage1252::CanEncode(text));
    EXPECT_EQ(CodePage1252::Encode(text), all);
}

TEST(CodePage1252, HighControlsMapToTheirCharacters)
{
    EXPECT_EQ(CodePage1252::DecodeByte(0x80), u'\u20AC');
    EXPECT_EQ(CodePage1252::DecodeByte(0x93), u'\u201C');
    EXPECT_EQ(CodePage1252::DecodeByte(0x9F), u'\u0178');
    // The five undefined bytes stand for the C1 controls of the same value.
    for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(CodePage1252::DecodeByte(b), char16_t(b));
}

TEST(CodePage1252, CharactersOutsideBecomeOneQuestionMarkEach)
{
    QByteArray out;
    // Greek alpha, then a character outside the basic plane (a surrogate pair).
    const QString text = QStringLiteral("a\u03B1b") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("c");
    EXPECT_FALSE(CodePage1252::EncodeAppend(text, out));
    EXPECT_EQ(out, QByteArray("a?b?c"));
    EXPECT_FALSE(CodePage1252::CanEncode(text));
    EXPECT_EQ(CodePage1252::EncodeChar(u'\u0080'), -1);
}

TEST(CodePage1252, CharacterOutsideIsFoundWhereverItStands)
{
    // Long ASCII runs are tested in blocks; the one character that does not
    // fit may stand first, last, at a block's edge or in a short tail, and
    // encodable characters above ASCII never count against the text.
    const QString ascii = QString(40, u'x');
    const struct
    {
        QString text;
        bool fits;
    } cases[] = {
        {QString(), true},
        {ascii, true},
        {ascii + u'\u00E9' + ascii + u'\u20AC', true},
        {u'\u03B1' + ascii, false},
        {ascii + u'\u03B1', false},
        {ascii.left(15) + u'\u03B1' + ascii, false},
        {ascii.left(16) + u'\u03B1' + ascii, false},
        {ascii.left(33) + u'\u03B1', false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(CodePage1252::CanEncode(c.text), c.fits);
        // Encoding appends to what the buffer held and says the same.
        QByteArray expected("head:");
        for (QChar ch : c.text) {
            const int byte = CodePage1252::EncodeChar(ch.unicode());
            expected.append(byte < 0 ? '?' : char(byte));
        }
        QByteArray out("head:");
        EXPECT_EQ(CodePage1252::EncodeAppend(c.text, out), c.fits);
        EXPECT_EQ(out, expected);
    }
}

} // namespace
