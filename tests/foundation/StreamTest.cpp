#include "foundation/Stream.h"
#include "foundation/Exceptions.h"
#include "foundation/TextEncoding.h"

#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

class FileStreamTest : public ::testing::Test
{
protected:
    QString PathOf(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

TEST_F(FileStreamTest, CreateWritesAndOpenReadReadsBack)
{
    const QString path = PathOf("a.txt");
    {
        TFileStream out(path, fmCreate);
        out.WriteBuffer("hello", 5);
        EXPECT_EQ(out.Size(), 5);
        EXPECT_EQ(out.Position(), 5);
    }
    TFileStream in(path, fmOpenRead | fmShareDenyWrite);
    char buffer[8] = {};
    EXPECT_EQ(in.Read(buffer, 8), 5);
    EXPECT_EQ(QByteArray(buffer, 5), QByteArray("hello"));
    EXPECT_EQ(in.Read(buffer, 8), 0);
    EXPECT_EQ(in.Seek(-2, soEnd), 3);
    EXPECT_THROW(in.ReadBuffer(buffer, 3), EReadError);
}

TEST_F(FileStreamTest, OpenForWritingKeepsTheContents)
{
    const QString path = PathOf("b.txt");
    {
        TFileStream out(path, fmCreate);
        out.WriteBuffer("abcdef", 6);
    }
    for (const TFileMode mode : {fmOpenWrite, fmOpenReadWrite}) {
        TFileStream out(path, mode);
        EXPECT_EQ(out.Size(), 6);
        out.SetPosition(mode == fmOpenWrite ? 1 : 2);
        out.WriteBuffer("X", 1);
    }
    EXPECT_EQ(ReadAll(path), QByteArray("aXXdef"));
    {
        TFileStream truncate(path, fmCreate);
    }
    EXPECT_EQ(ReadAll(path), QByteArray());
}

TEST_F(FileStreamTest, FailedOpenNamesTheFileAndTheReason)
{
    const QString missing = PathOf("missing.txt");
    try {
        TFileStream in(missing, fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError &e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot open file \"") + missing + u"\". "_qs))
            << e.what();
        EXPECT_GT(e.Message().size(), missing.size() + 22) << "no reason given";
    }
    EXPECT_THROW(TFileStream(missing, fmOpenWrite), EFOpenError);
    EXPECT_THROW(TFileStream(missing, fmOpenReadWrite), EFOpenError);
    EXPECT_FALSE(QFile::exists(missing));

    const QString inMissingFolder = PathOf("no/such/folder.txt");
    try {
        TFileStream out(inMissingFolder, fmCreate);
        FAIL() << "created a file in a missing folder";
    } catch (const EFCreateError &e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot create file \"") + inMissingFolder))
            << e.what();
    }
}

TEST(MemoryStream, SeeksBeyondTheEndAndFillsTheGapWithZeros)
{
    TMemoryStream stream;
    EXPECT_EQ(stream.Seek(3, soBeginning), 3);
    stream.WriteBuffer("ab", 2);
    EXPECT_EQ(stream.Bytes(), QByteArray("\0\0\0ab", 5));
    EXPECT_EQ(stream.Seek(-1, soCurrent), 4);
    EXPECT_EQ(stream.Seek(-5, soEnd), 0);
    // A negative target leaves the position alone.
    EXPECT_EQ(stream.Seek(-1, soBeginning), 0);
    stream.SetSize(2);
    EXPECT_EQ(stream.Size(), 2);
    stream.SetPosition(2);
    char c;
    EXPECT_EQ(stream.Read(&c, 1), 0);
    EXPECT_THROW(stream.ReadBuffer(&c, 1), EReadError);
}

TEST(MemoryStream, CopyFromTakesAllOfTheSourceWhenCountIsZero)
{
    TMemoryStream source(QByteArray("0123456789"));
    source.SetPosition(7);
    TMemoryStream target;
    EXPECT_EQ(target.CopyFrom(source, 0), 10);
    EXPECT_EQ(target.Bytes(), QByteArray("0123456789"));
    source.SetPosition(2);
    EXPECT_EQ(target.CopyFrom(source, 3), 3);
    EXPECT_EQ(target.Bytes(), QByteArray("0123456789234"));
    EXPECT_THROW(target.CopyFrom(source, 100), EReadError);
}

TEST(StringStream, HoldsTheBytesInItsEncoding)
{
    const QString text = QStringLiteral("d\u00E9j\u00E0 \u20AC");
    struct Case
    {
        const TEncoding *encoding;
        QByteArray bytes;
    };
    const Case cases[] = {
        {TEncoding::Ansi(), QByteArray("d\xE9j\xE0 \x80")},
        {TEncoding::Utf8(), QByteArray("d\xC3\xA9j\xC3\xA0 \xE2\x82\xAC")},
        {TEncoding::Utf16BE(), QByteArray("\0d\0\xE9\0j\0\xE0\0 \x20\xAC", 12)},
        {nullptr, QByteArray("d\xE9j\xE0 \x80")},
    };
    for (const Case &c : cases) {
        TStringStream stream(text, c.encoding);
        EXPECT_EQ(stream.Bytes(), c.bytes);
        EXPECT_EQ(stream.Encoding(), c.encoding ? c.encoding : TEncoding::Ansi());
        EXPECT_EQ(stream.DataString(), text);
        EXPECT_EQ(stream.Position(), 0);
    }
}

// ---------------------------------------------------------------------------
// Encodings

TEST(Encoding, PreamblesAndIdentity)
{
    EXPECT_EQ(TEncoding::Ansi()->Preamble().toByteArray(), QByteArray());
    EXPECT_EQ(TEncoding::Utf8()->Preamble().toByteArray(), QByteArray("\xEF\xBB\xBF"));
    EXPECT_EQ(TEncoding::Utf16LE()->Preamble().toByteArray(), QByteArray("\xFF\xFE"));
    EXPECT_EQ(TEncoding::Utf16BE()->Preamble().toByteArray(), QByteArray("\xFE\xFF"));
    EXPECT_EQ(TEncoding::Utf8(), TEncoding::Utf8());
    EXPECT_FALSE(TEncoding::Ansi()->StartsWithPreamble(QByteArrayView("abc")));
    EXPECT_TRUE(TEncoding::Utf16LE()->StartsWithPreamble(QByteArrayView("\xFF\xFE")));
    EXPECT_FALSE(TEncoding::Utf8()->StartsWithPreamble(QByteArrayView("\xEF\xBB")));
}

struct DecodeCase
{
    const char *name;
    QByteArray bytes;
    QString text;
};

class Utf8Decode : public ::testing::TestWithParam<DecodeCase>
{
};

TEST_P(Utf8Decode, WholeAndSplitAtEveryByteAgree)
{
    const DecodeCase &c = GetParam();
    EXPECT_EQ(TEncoding::Utf8()->Decode(c.bytes), c.text);
    for (qsizetype split = 0; split <= c.bytes.size(); ++split) {
        TTextDecoder decoder(TEncoding::Utf8());
        QString out;
        decoder.Decode(QByteArrayView(c.bytes).first(split), out);
        decoder.Decode(QByteArrayView(c.bytes).sliced(split), out);
        decoder.Finish(out);
        EXPECT_EQ(out, c.text) << "split at " << split;
    }
}

const QString kReplacement = QStringLiteral("\uFFFD");

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Decode,
    ::testing::Values(
        DecodeCase{"ascii", QByteArray("plain"), QStringLiteral("plain")},
        DecodeCase{"twoThreeFour", QByteArray("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
                   QStringLiteral("\u00E9\u20AC") + QString::fromUcs4(U"\U0001F600")},
        DecodeCase{"truncatedAtEnd", QByteArray("a\xE2\x82"), QStringLiteral("a\uFFFD")},
        DecodeCase{"truncatedBeforeAscii",
                   QByteArray("\xE2\x82"
                              "A\xC3"),
                   QStringLiteral("\uFFFDA\uFFFD")},
        DecodeCase{"strayContinuation", QByteArray("\x80\xBF"), kReplacement + kReplacement},
        DecodeCase{"overlong", QByteArray("\xC0\xAF\xE0\x80\xAF"), QString(5, QChar(0xFFFD))},
        DecodeCase{"surrogateForm", QByteArray("\xED\xA0\x80"), QString(3, QChar(0xFFFD))},
        DecodeCase{"beyondUnicode", QByteArray("\xF4\x90\x80\x80\xF5"), QString(5, QChar(0xFFFD))},
        DecodeCase{"highestCharacter", QByteArray("\xF4\x8F\xBF\xBF"), QString::fromUcs4(U"\U0010FFFF")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Encoding, EveryEncodingRoundTripsText)
{
    const QString text = QStringLiteral("A\u00E9\u20AC\u0081\r\n") + QString::fromUcs4(U"\U0001F600");
    for (const TEncoding *e : {TEncoding::Utf8(), TEncoding::Utf16LE(), TEncoding::Utf16BE()}) {
        const QByteArray bytes = e->Encode(text);
        EXPECT_EQ(e->Decode(bytes), text) << qPrintable(e->Name());
        // Split anywhere, including inside a surrogate pair's units.
        for (qsizetype split = 0; split <= bytes.size(); ++split) {
            TTextDecoder decoder(e);
            QString out;
            decoder.Decode(QByteArrayView(bytes).first(split), out);
            decoder.Decode(QByteArrayView(bytes).sliced(split), out);
            decoder.Finish(out);
            EXPECT_EQ(out, text) << qPrintable(e->Name()) << " split at " << split;
        }
    }
    EXPECT_EQ(TEncoding::Utf16LE()->Encode(u"A\u20AC"), QByteArray("A\0\xAC\x20", 4));
    EXPECT_EQ(TEncoding::Utf16LE()->Decode(QByteArray("A\0B", 3)), QStringLiteral("A\uFFFD"));
}

TEST(Encoding, CharactersWithoutAFormGetAStandIn)
{
    QByteArray out;
    EXPECT_FALSE(TEncoding::Ansi()->EncodeAppend(u"a\u03B1", out));
    EXPECT_EQ(out, QByteArray("a?"));
    out.clear();
    const char16_t loneHigh[] = {u'x', 0xD800, u'y'};
    EXPECT_FALSE(TEncoding::Utf8()->EncodeAppend(QStringView(loneHigh, 3), out));
    EXPECT_EQ(out, QByteArray("x\xEF\xBF\xBDy"));
    out.clear();
    EXPECT_TRUE(TEncoding::Utf16BE()->EncodeAppend(QStringView(loneHigh, 3), out));
    EXPECT_EQ(TEncoding::Utf16BE()->Decode(out), QStringView(loneHigh, 3).toString());
}

} // namespace
