#include "foundation/Exceptions.h"
#include "foundation/GStreams.h"

#include "QtPrinters.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

// A stream that hands out at most a few bytes per read, as a pipe would:
// every character boundary then falls on a fill boundary somewhere.
class TrickleStream : public TMemoryStream
{
public:
    TrickleStream(QByteArray data, int chunk)
        : TMemoryStream(std::move(data))
        , m_chunk(chunk)
    {}
    int64_t Read(void *buffer, int64_t count) override
    {
        return TMemoryStream::Read(buffer, std::min<int64_t>(count, m_chunk));
    }

private:
    int m_chunk;
};

QStringList ReadLines(TGTextStream &stream)
{
    QStringList lines;
    while (!stream.Eof())
        lines.append(stream.ReadLine());
    return lines;
}

QByteArray Bytes(const char *s, qsizetype n)
{
    return QByteArray(s, n);
}

struct LineCase
{
    const char *name;
    QByteArray bytes;
    const TEncoding *given;
    const TEncoding *expectedEncoding;
    QStringList lines;
};

class TextStreamLines : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(TextStreamLines, ReadsTheLinesInTheDetectedEncoding)
{
    const LineCase &c = GetParam();
    for (const int chunk : {1 << 20, 1, 3}) {
        TrickleStream source(c.bytes, chunk);
        TGTextStream stream(source, c.given);
        EXPECT_EQ(ReadLines(stream), c.lines) << "chunk " << chunk;
        EXPECT_EQ(stream.Encoding(), c.expectedEncoding);
        EXPECT_EQ(stream.ReadLine(), QString()) << "after the end";
    }
}

const QString kEuroQuotes = QStringLiteral("\u20AC\u201C\u0178\u0081\u00FF");

INSTANTIATE_TEST_SUITE_P(
    Cases, TextStreamLines,
    ::testing::Values(
        LineCase{"utf8Mark",
                 QByteArray("\xEF\xBB\xBF"
                            "A\r\nB"),
                 nullptr,
                 TEncoding::Utf8(),
                 {u"A"_qs, u"B"_qs}},
        LineCase{"noMarkIsAnsi", QByteArray("A\r\nB"), nullptr, TEncoding::Ansi(), {u"A"_qs, u"B"_qs}},
        LineCase{"utf16LEMark",
                 Bytes("\xFF\xFE"
                       "A\0\r\0\n\0\xE9\0",
                       10),
                 nullptr,
                 TEncoding::Utf16LE(),
                 {u"A"_qs, u"\u00E9"_qs}},
        LineCase{"utf16BEMark",
                 Bytes("\xFE\xFF\0A\0\n\x20\xAC", 8),
                 nullptr,
                 TEncoding::Utf16BE(),
                 {u"A"_qs, u"\u20AC"_qs}},
        // Without a mark UTF-16 is taken for ANSI; its zero bytes read as ends.
        LineCase{"utf16WithoutMark", Bytes("A\0B\0", 4), nullptr, TEncoding::Ansi(), {u"A"_qs, u"B"_qs}},
        LineCase{
            "ansiHighBytes", QByteArray("\x80\x93\x9F\x81\xFF\n"), nullptr, TEncoding::Ansi(), {kEuroQuotes}},
        LineCase{"lineEnds",
                 QByteArray("a\rb\nc\r\nd\r\re\n"),
                 nullptr,
                 TEncoding::Ansi(),
                 {u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, QString(), u"e"_qs}},
        // A given encoding skips its own mark, as detection would.
        LineCase{"givenUtf8WithMark",
                 QByteArray("\xEF\xBB\xBFx\xC3\xA9"),
                 TEncoding::Utf8(),
                 TEncoding::Utf8(),
                 {u"x\u00E9"_qs}},
        // Another encoding's mark is data in the given one.
        LineCase{"givenUtf16LEWithUtf8Mark",
                 Bytes("\xEF\xBB\xBF\0", 4),
                 TEncoding::Utf16LE(),
                 TEncoding::Utf16LE(),
                 {u"\uBBEF\u00BF"_qs}},
        LineCase{"givenUtf8WithoutMark",
                 QByteArray("x\xC3\xA9"),
                 TEncoding::Utf8(),
                 TEncoding::Utf8(),
                 {u"x\u00E9"_qs}},
        // The ANSI code page has no mark, so nothing is skipped.
        LineCase{"givenAnsiKeepsMarkBytes",
                 QByteArray("\xEF\xBB\xBF"
                            "A"),
                 TEncoding::Ansi(),
                 TEncoding::Ansi(),
                 {u"\u00EF\u00BB\u00BFA"_qs}},
        LineCase{"givenUtf16LEWithoutMark",
                 Bytes("h\0i\0", 4),
                 TEncoding::Utf16LE(),
                 TEncoding::Utf16LE(),
                 {u"hi"_qs}},
        LineCase{"invalidUtf8",
                 QByteArray("\xEF\xBB\xBF"
                            "a\xC3(\xFF\r\n\xE2\x82"),
                 nullptr,
                 TEncoding::Utf8(),
                 {u"a\uFFFD(\uFFFD"_qs, u"\uFFFD"_qs}},
        LineCase{"beyond16Bits",
                 QByteArray("\xEF\xBB\xBF\xF0\x9F\x98\x80!"),
                 nullptr,
                 TEncoding::Utf8(),
                 {QString::fromUcs4(U"\U0001F600!")}},
        // A character 0 reads as the end of the data; reading goes on after it.
        LineCase{"nulEndsTheLine",
                 QByteArray("ab\0cd\r\0ef", 9),
                 nullptr,
                 TEncoding::Ansi(),
                 {u"ab"_qs, u"cd"_qs, u"ef"_qs}},
        // Before the first read the stream cannot know that the mark is all there is.
        LineCase{"onlyAMark", QByteArray("\xEF\xBB\xBF"), nullptr, TEncoding::Utf8(), {QString()}},
        LineCase{"empty", QByteArray(), nullptr, nullptr, {}}),
    [](const auto &info) { return std::string(info.param.name); });

// Lines long enough to cross many fills, with characters of every length
// cut by the fill boundary at every offset.
TEST(TextStream, CharactersCutByTheBufferBoundaryReadWhole)
{
    const QString unit = QStringLiteral("ab\u00E9\u20AC") + QString::fromUcs4(U"\U0001F600") + u"\u201C"_qs;
    for (const TEncoding *encoding : {TEncoding::Utf8(), TEncoding::Utf16LE(), TEncoding::Utf16BE()}) {
        for (int shift = 0; shift < 4; ++shift) {
            QStringList lines;
            QString text = QString(shift, u'.');
            for (int i = 0; i < 700; ++i) {
                lines.append(unit.repeated(i % 13) + QString::number(i));
                text += lines.last() + (i % 3 == 0 ? u"\r\n"_qs : i % 3 == 1 ? u"\n"_qs : u"\r"_qs);
            }
            lines.first().prepend(QString(shift, u'.'));
            QByteArray bytes = encoding->Preamble().toByteArray() + encoding->Encode(text);
            ASSERT_GT(bytes.size(), 3 * TGBufferStream::BufferSize);
            TMemoryStream source(bytes);
            TGTextStream stream(source);
            EXPECT_EQ(ReadLines(stream), lines) << qPrintable(encoding->Name()) << " shift " << shift;
            EXPECT_EQ(stream.Encoding(), encoding);
        }
    }
}

TEST(TextStream, ReadCharReadsEveryCharacterAndZeroAtTheEnd)
{
    TMemoryStream source(QByteArray("\xEF\xBB\xBF"
                                    "a\xC3\xA9\xF0\x9F\x98\x80"));
    TGTextStream stream(source);
    EXPECT_EQ(stream.ReadChar(), u'a');
    EXPECT_EQ(stream.ReadChar(), u'\u00E9');
    const QString pair = QString::fromUcs4(U"\U0001F600");
    EXPECT_EQ(stream.ReadChar(), pair[0]);
    EXPECT_FALSE(stream.Eof());
    EXPECT_EQ(stream.ReadChar(), pair[1]);
    EXPECT_TRUE(stream.Eof());
    QChar c = u'x';
    EXPECT_FALSE(stream.ReadChar(c));
    EXPECT_EQ(c, QChar());
    EXPECT_EQ(stream.ReadChar(), QChar());
}

TEST(TextStream, UnreadCharGivesTheCharacterBack)
{
    TMemoryStream source(QByteArray("\xEF\xBB\xBF\xE2\x82\xAC\xF0\x9F\x98\x80z"));
    TGTextStream stream(source);
    const QChar euro = stream.ReadChar();
    stream.UnreadChar(euro);
    EXPECT_EQ(stream.Position(), 3);
    EXPECT_EQ(stream.ReadChar(), euro);
    const QChar high = stream.ReadChar();
    const QChar low = stream.ReadChar();
    stream.UnreadChar(low);
    stream.UnreadChar(high);
    EXPECT_EQ(stream.Position(), 6);
    EXPECT_EQ(stream.ReadLine(), QString::fromUcs4(U"\U0001F600z"));
}

TEST(TextStream, PushBackWorksOnlyOverBytesOfTheCurrentFill)
{
    TMemoryStream source(QByteArray(TGBufferStream::BufferSize + 10, 'x'));
    TGBufferStream stream(source);
    auto expectOverflow = [](auto &&pushBack) {
        try {
            pushBack();
            ADD_FAILURE() << "push-back accepted";
        } catch (const EStreamError &e) {
            EXPECT_EQ(e.Message(), u"Overflow on push back"_qs);
        }
    };
    expectOverflow([&] { stream.UnreadByte('a'); });
    char buffer[TGBufferStream::BufferSize];
    stream.ReadBuffer(buffer, 2);
    stream.UnreadWord(0x4241);
    stream.ReadBuffer(buffer, 2);
    EXPECT_EQ(QByteArray(buffer, 2), QByteArray("AB")); // memory order of the value
    expectOverflow([&] {
        stream.UnreadByte('1');
        stream.UnreadByte('2');
        stream.UnreadByte('3');
    });
    stream.SetPosition(TGBufferStream::BufferSize - 1);
    expectOverflow([&] { stream.UnreadByte('a'); });
    stream.SetPosition(0);
    stream.ReadBuffer(buffer, TGBufferStream::BufferSize - 1);
    stream.ReadBuffer(buffer, 2); // the last byte of a fill and the first of the next
    stream.UnreadByte('b');
    expectOverflow([&] { stream.UnreadByte('a'); });
    EXPECT_EQ(stream.Position(), TGBufferStream::BufferSize);

    TMemoryStream text(QByteArray("\xC3\xA9"));
    TGTextStream utf8(text, TEncoding::Utf8());
    utf8.ReadBuffer(buffer, 1);
    expectOverflow([&] { utf8.UnreadChar(u'\u00E9'); });
}

TEST(TextStream, TokensIntegersAndWhitespace)
{
    TMemoryStream source(QByteArray("  42 rest\talpha\r\n-7\n  $1F x\n\n"));
    TGTextStream stream(source);
    EXPECT_EQ(stream.ReadInteger(), 42);
    EXPECT_EQ(stream.ReadChar(), u' ');
    EXPECT_EQ(stream.ReadToken(), u"rest"_qs);
    EXPECT_EQ(stream.ReadToken(), QString()) << "a delimiter ends an empty token";
    stream.SkipWhitespace();
    EXPECT_EQ(stream.ReadToken(), u"alpha"_qs);
    EXPECT_EQ(stream.ReadInteger(), -7);
    EXPECT_EQ(stream.ReadInteger(), 31);
    try {
        stream.ReadInteger();
        ADD_FAILURE() << "x read as a number";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), u"'x' is not a valid integer value"_qs);
    }
    EXPECT_TRUE(stream.SkipLineEnd());
    EXPECT_TRUE(stream.SkipLineEnd());
    EXPECT_FALSE(stream.SkipLineEnd()) << "at the end";
    EXPECT_EQ(stream.ReadToken(), QString());
}

TEST(TextStream, TokensEndAtCustomDelimitersInAnyEncoding)
{
    const QString text = QStringLiteral("one\u00A7two;\u20ACthree");
    for (const TEncoding *encoding : {TEncoding::Ansi(), TEncoding::Utf8(), TEncoding::Utf16BE()}) {
        TStringStream source(text, encoding);
        TGTextStream stream(source);
        stream.SetDelimiters(QStringLiteral(";\u00A7"));
        EXPECT_EQ(stream.ReadToken(), u"one"_qs);
        EXPECT_EQ(stream.ReadChar(), u'\u00A7');
        EXPECT_EQ(stream.ReadToken(), u"two"_qs);
        EXPECT_EQ(stream.ReadChar(), u';');
        EXPECT_EQ(stream.ReadToken(), u"\u20ACthree"_qs);
    }
}

struct LineEndCase
{
    QByteArray bytes;
    bool result;
    QChar next;
};

TEST(TextStream, SkipLineEnd)
{
    const LineEndCase cases[] = {
        {"  \r\nX", true, u'X'}, {" \t\rX", true, u'X'},  {"\nX", true, u'X'},  {"\r\rX", true, u'\r'},
        {"  X\n", false, u'X'},  {"   ", false, QChar()}, {"", false, QChar()},
    };
    for (const LineEndCase &c : cases) {
        TMemoryStream source(c.bytes);
        TGTextStream stream(source);
        EXPECT_EQ(stream.SkipLineEnd(), c.result) << c.bytes.constData();
        EXPECT_EQ(stream.ReadChar(), c.next) << c.bytes.constData();
    }
}

TEST(TextStream, StringStreamGivesItsEncoding)
{
    TStringStream utf16(QStringLiteral("\u00E9t\u00E9\r\nx"), TEncoding::Utf16BE());
    TGTextStream stream(utf16);
    EXPECT_EQ(stream.ReadLine(), u"\u00E9t\u00E9"_qs);
    EXPECT_EQ(stream.Encoding(), TEncoding::Utf16BE());

    // Its mark, when the data begins with one, is skipped.
    TStringStream marked(QStringLiteral("\uFEFFok"), TEncoding::Utf8());
    TGTextStream markedStream(marked);
    EXPECT_EQ(markedStream.ReadLine(), u"ok"_qs);

    TKvStringStream ansi(QStringLiteral("d\u00E9j\u00E0\n"));
    EXPECT_EQ(ansi.Position(), 0);
    EXPECT_EQ(ansi.Bytes(), QByteArray("d\xE9j\xE0\n"));
    TGTextStream ansiStream(ansi);
    EXPECT_EQ(ansiStream.ReadLine(), u"d\u00E9j\u00E0"_qs);
    EXPECT_EQ(ansiStream.Encoding(), TEncoding::Ansi());
}

TEST(TextStream, SeekingBackToTheStartDetectsTheMarkAgain)
{
    TMemoryStream source(QByteArray("\xFF\xFE"
                                    "a\0\n\0b\0",
                                    8));
    TGTextStream stream(source);
    EXPECT_EQ(stream.ReadLine(), u"a"_qs);
    EXPECT_EQ(stream.Position(), 6);
    EXPECT_TRUE(stream.EncodingDetermined());
    stream.SetPosition(0);
    EXPECT_FALSE(stream.EncodingDetermined());
    EXPECT_EQ(stream.ReadLine(), u"a"_qs);
    stream.SetPosition(6);
    EXPECT_EQ(stream.ReadLine(), u"b"_qs);

    // With the encoding given the mark is skipped at the first read and again
    // after a seek back to it, but not read in the middle of the data.
    TMemoryStream marked(QByteArray("\xEF\xBB\xBFx\n\xEF\xBB\xBFy"));
    TGTextStream given(marked, TEncoding::Utf8());
    EXPECT_EQ(given.ReadLine(), u"x"_qs);
    EXPECT_EQ(given.ReadLine(), u"\uFEFFy"_qs);
    given.SetPosition(0);
    EXPECT_EQ(given.ReadLine(), u"x"_qs);
    given.SetPosition(5);
    EXPECT_EQ(given.ReadLine(), u"\uFEFFy"_qs);
}

TEST(TextStream, LayeredOnATextStream)
{
    TMemoryStream source(QByteArray("\xEF\xBB\xBFhead\r\n\xC3\xA9one\r\ntwo\r\ntail"));
    TGTextStream outer(source);
    EXPECT_EQ(outer.ReadLine(), u"head"_qs);
    TGTextStream inner(outer, outer.Encoding());
    EXPECT_EQ(inner.ReadLine(), u"\u00E9one"_qs);
    EXPECT_EQ(inner.Position(), 16);
    EXPECT_EQ(inner.ReadLine(), u"two"_qs);
    // The inner stream read ahead from the outer one; its position says where it stands.
    EXPECT_EQ(inner.Position(), 21);
    outer.SetPosition(inner.Position());
    EXPECT_EQ(outer.ReadLine(), u"tail"_qs);

    TMemoryStream target;
    {
        TGTextStream file(target, TEncoding::Utf8());
        WriteEncodingPreamble(file, TEncoding::Utf8());
        file.WriteLine(u"head");
        {
            TGTextStream block(file, TEncoding::Utf8());
            block.WriteLine(u"\u00E9");
        }
        file.WriteStr(u"end");
    }
    EXPECT_EQ(target.Bytes(), QByteArray("\xEF\xBB\xBFhead\r\n\xC3\xA9\r\nend"));
}

// ---------------------------------------------------------------------------
// Writing

TEST(TextStream, WritingWithoutAnEncodingWritesAnsiAndNoMark)
{
    TMemoryStream target;
    {
        TGTextStream stream(target);
        stream.WriteStr(u"x");
        EXPECT_EQ(stream.Encoding(), TEncoding::Ansi());
        EXPECT_EQ(stream.PreambleLength(), 0);
    }
    EXPECT_EQ(target.Bytes(), QByteArray("x"));
}

TEST(TextStream, WriteEncodingPreambleWritesExactlyOneMark)
{
    struct Case
    {
        const TEncoding *encoding;
        QByteArray expected;
    };
    const Case cases[] = {
        {TEncoding::Utf8(), QByteArray("\xEF\xBB\xBFx")},
        {TEncoding::Utf16LE(), QByteArray("\xFF\xFEx\0", 4)},
        {TEncoding::Utf16BE(), QByteArray("\xFE\xFF\0x", 4)},
        {TEncoding::Ansi(), QByteArray("x")},
    };
    for (const Case &c : cases) {
        TMemoryStream target;
        {
            TGTextStream stream(target, c.encoding);
            // Asking for the position must not make the stream write a mark of its own.
            EXPECT_EQ(stream.Position(), 0);
            EXPECT_EQ(WriteEncodingPreamble(stream, c.encoding), c.encoding->PreambleLength());
            stream.WriteStr(u"x");
            EXPECT_EQ(stream.PreambleLength(), c.encoding->PreambleLength());
        }
        EXPECT_EQ(target.Bytes(), c.expected) << qPrintable(c.encoding->Name());
    }
    TMemoryStream none;
    EXPECT_EQ(WriteEncodingPreamble(none, nullptr), 0);
    EXPECT_EQ(none.Size(), 0);
}

TEST(TextStream, WriteCallsChain)
{
    TMemoryStream target;
    {
        TGTextStream stream(target, TEncoding::Ansi());
        stream.WriteStr(u"a").WriteSpace().WriteInt(-12).WriteChar(u'\u20AC').WriteLn().WriteLine(u"\u03B1b");
        stream.WriteInt(std::numeric_limits<int32_t>::min());
    }
    // Greek alpha has no byte in the ANSI code page.
    EXPECT_EQ(target.Bytes(), QByteArray("a -12\x80\r\n?b\r\n-2147483648"));
}

TEST(TextStream, SeekingToThePositionWhileWritingDoesNotFlush)
{
    TMemoryStream target;
    TGTextStream stream(target, TEncoding::Utf8());
    int flushes = 0;
    stream.OnFlushBuffer = [&](TGBufferStream &) { ++flushes; };
    stream.WriteStr(u"0123456789");
    EXPECT_EQ(stream.Position(), 10);
    stream.SetPosition(10);
    EXPECT_EQ(stream.Seek(0, soCurrent), 10);
    EXPECT_EQ(flushes, 0);
    EXPECT_EQ(target.Size(), 0);
    // The end counts the bytes still in the buffer.
    EXPECT_EQ(stream.Size(), 10);
    EXPECT_EQ(stream.Seek(-2, soEnd), 8);
    EXPECT_EQ(flushes, 1);
    EXPECT_EQ(target.Bytes(), QByteArray("0123456789"));
    stream.WriteStr(u"xy");
    stream.SetPosition(0);
    EXPECT_EQ(flushes, 2);
    EXPECT_EQ(target.Bytes(), QByteArray("01234567xy"));
    // Back at the start the encoding's mark is written again.
    stream.WriteStr(u"z");
    stream.FlushBuffer();
    EXPECT_EQ(target.Bytes(), QByteArray("\xEF\xBB\xBFz4567xy"));
}

TEST(TextStream, SeekErrors)
{
    TMemoryStream target;
    TGBufferStream stream(target);
    try {
        stream.Seek(0, static_cast<TSeekOrigin>(7));
        ADD_FAILURE() << "odd origin accepted";
    } catch (const EStreamError &e) {
        EXPECT_EQ(e.Message(), u"Invalid Origin Point specified: 7"_qs);
    }
}

// A stream that refuses to take more than a few bytes, like a full disk.
class FullStream : public TMemoryStream
{
public:
    int64_t Write(const void *buffer, int64_t count) override
    {
        const int64_t room = std::max<int64_t>(0, 4 - Size());
        return TMemoryStream::Write(buffer, std::min(count, room));
    }
};

TEST(TextStream, AFullMediumIsAnError)
{
    FullStream target;
    TGTextStream stream(target);
    stream.WriteStr(u"abcdef");
    EXPECT_THROW(stream.FlushBuffer(), EWriteError);

    FullStream seekTarget;
    TGTextStream seeking(seekTarget);
    seeking.WriteStr(u"abcdef");
    try {
        seeking.SetPosition(0);
        ADD_FAILURE() << "seek hid a lost write";
    } catch (const EStreamError &e) {
        EXPECT_EQ(e.Message(), u"Error seeking in buffer"_qs);
    }
    FullStream big;
    TGTextStream bigStream(big);
    EXPECT_THROW(bigStream.WriteStr(QString(TGBufferStream::BufferSize + 1, u'x')), EWriteError);
}

TEST(TextStream, SwitchingDirectionWithoutASeekKeepsTheData)
{
    TMemoryStream target(QByteArray("abcdef"));
    {
        TGTextStream stream(target, TEncoding::Ansi());
        EXPECT_EQ(stream.ReadChar(), u'a');
        stream.WriteStr(u"X");
        EXPECT_EQ(stream.Position(), 2);
        EXPECT_EQ(stream.ReadLine(), u"cdef"_qs);
    }
    EXPECT_EQ(target.Bytes(), QByteArray("aXcdef"));
}

TEST(TextStream, OpensAndOwnsItsFile)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"no/such/dir/file.txt"_qs);
    EXPECT_THROW(TGTextStream(missing, nullptr, fmOpenRead), EFOpenError);
    EXPECT_THROW(TGTextStream(missing, nullptr, fmCreate), EFCreateError);
    const QString path = dir.filePath(u"owned.txt"_qs);
    {
        TGTextStream out(path, TEncoding::Utf16LE(), fmCreate);
        EXPECT_TRUE(out.OwnsStream());
        WriteEncodingPreamble(out, TEncoding::Utf16LE());
        out.WriteLine(u"\u00E9");
    }
    TGTextStream in(path, nullptr, fmOpenRead);
    EXPECT_EQ(in.ReadLine(), u"\u00E9"_qs);
    EXPECT_EQ(in.Encoding(), TEncoding::Utf16LE());
    EXPECT_TRUE(in.Eof());
}

TEST(TextStream, FillsAreCountedPerBuffer)
{
    TMemoryStream source(QByteArray(3 * TGBufferStream::BufferSize, 'x') + "\n");
    TGTextStream stream(source);
    int fills = 0;
    stream.OnFillBuffer = [&](TGBufferStream &) { ++fills; };
    EXPECT_EQ(stream.ReadLine().size(), 3 * TGBufferStream::BufferSize);
    EXPECT_EQ(fills, 4);
}

} // namespace
