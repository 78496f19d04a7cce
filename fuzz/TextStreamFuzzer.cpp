// Arbitrary bytes read through TGTextStream as lines, tokens, integers and
// characters in every encoding. The first byte picks the encoding, how many
// bytes the wrapped stream hands out per read and the mix of operations; the
// second seeds the order of operations.
//
// Checks: reading never crashes or throws anything but a conversion error;
// lines equal those cut from the whole text decoded at once; a stream whose
// fills are a few bytes long reads exactly what a stream with one big fill
// reads; a character pushed back reads again from the same position.

#include "foundation/Exceptions.h"
#include "foundation/GStreams.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

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

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// How the stream is set up: given encoding, or detection over a plain or a string stream.
struct Setup
{
    const TEncoding *given = nullptr;
    const TEncoding *stringStream = nullptr;
};

Setup SetupFor(int selector)
{
    switch (selector & 7) {
    case 1:
        return {TEncoding::Ansi(), nullptr};
    case 2:
        return {TEncoding::Utf8(), nullptr};
    case 3:
        return {TEncoding::Utf16LE(), nullptr};
    case 4:
        return {TEncoding::Utf16BE(), nullptr};
    case 5:
        return {nullptr, TEncoding::Utf8()};
    case 6:
        return {nullptr, TEncoding::Utf16BE()};
    default:
        return {};
    }
}

// A string stream holding exactly the given bytes in its encoding.
class RawStringStream : public TStringStream
{
public:
    RawStringStream(const QByteArray &bytes, const TEncoding *encoding)
        : TStringStream(encoding)
    {
        WriteBuffer(bytes.constData(), bytes.size());
        SetPosition(0);
    }
};

std::unique_ptr<TStream> MakeSource(const QByteArray &data, const Setup &setup, int chunk)
{
    if (setup.stringStream)
        return std::make_unique<RawStringStream>(data, setup.stringStream);
    return std::make_unique<TrickleStream>(data, chunk);
}

// The lines the stream should give: the whole text decoded at once, cut at
// CR, LF, CR LF and at a character 0 (which reads as the end of the data).
QStringList ExpectedLines(const QByteArray &data, const Setup &setup)
{
    const TEncoding *encoding = setup.given ? setup.given : setup.stringStream;
    if (encoding == nullptr) {
        encoding = TEncoding::Ansi();
        for (const TEncoding *e : {TEncoding::Utf8(), TEncoding::Utf16LE(), TEncoding::Utf16BE()}) {
            if (e->StartsWithPreamble(data)) {
                encoding = e;
                break;
            }
        }
    }
    // Detected or given, the encoding's own mark at the start is skipped.
    const qsizetype skip = encoding->StartsWithPreamble(data) ? encoding->PreambleLength() : 0;
    const QString text = encoding->Decode(QByteArrayView(data).sliced(skip));
    QStringList lines;
    if (data.isEmpty())
        return lines;
    if (text.isEmpty())
        lines.append(QString()); // only a mark: not at the end before the first read
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype start = i;
        while (i < n && text[i] != u'\r' && text[i] != u'\n' && text[i] != u'\0')
            ++i;
        lines.append(text.mid(start, i - start));
        if (i == n)
            break;
        const QChar stop = text[i++];
        if (stop == u'\r' && i < n && (text[i] == u'\n' || text[i] == u'\0'))
            ++i;
    }
    return lines;
}

struct Recorder
{
    QStringList results;
    void Add(const QString &s) { results.append(s); }
    void Add(int64_t v) { results.append(QString::number(v)); }
};

void RunOperations(TGTextStream &stream, uint32_t seed, int mix, Recorder &out)
{
    for (int step = 0; step < 4096 && !stream.Eof(); ++step) {
        seed = seed * 1103515245u + 12345u;
        const int op = int((seed >> 16) % 8);
        if (mix == 1 && op > 2)
            continue; // tokens, integers and lines only
        switch (op) {
        case 0:
            out.Add(stream.ReadLine());
            break;
        case 1:
            out.Add(stream.ReadToken());
            break;
        case 2:
            try {
                out.Add(stream.ReadInteger());
            } catch (const EConvertError &e) {
                out.Add(e.Message());
            }
            break;
        case 3: {
            QChar c;
            out.Add(stream.ReadChar(c) ? 1 : 0);
            out.Add(QString(c));
            break;
        }
        case 4:
            stream.SkipWhitespace();
            break;
        case 5:
            out.Add(stream.SkipLineEnd() ? 1 : 0);
            break;
        case 6:
            out.Add(stream.Position());
            break;
        default:
            if (mix == 2) {
                stream.SetDelimiters(QStringLiteral(",;\u00A7\u20AC"));
            } else if (mix == 3) {
                stream.SetPosition(0);
            }
            out.Add(stream.Position());
            break;
        }
    }
    out.Add(stream.Position());
}

// ReadChar, UnreadChar, ReadChar gives the same character at the same position.
void CheckPushBack(const QByteArray &data, const Setup &setup)
{
    auto source = MakeSource(data, setup, 1 << 20);
    TGTextStream stream(*source, setup.given);
    QChar c;
    while (stream.ReadChar(c)) {
        const int64_t after = stream.Position();
        try {
            stream.UnreadChar(c);
        } catch (const EStreamError &) {
            continue; // the character is no longer in the buffer, or has no bytes of its own
        }
        QChar again;
        Check(stream.ReadChar(again));
        Check(again == c);
        Check(stream.Position() == after);
    }
    Check(stream.Eof() || c.isNull());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    if (size < 2)
        return 0;
    const int selector = bytes[0];
    const uint32_t seed = bytes[1];
    const QByteArray data(reinterpret_cast<const char *>(bytes + 2), qsizetype(size - 2));
    const Setup setup = SetupFor(selector);
    const int chunk = 1 + ((selector >> 3) & 7);
    const int mix = (selector >> 6) & 3;

    {
        auto source = MakeSource(data, setup, chunk);
        TGTextStream stream(*source, setup.given);
        QStringList lines;
        while (!stream.Eof())
            lines.append(stream.ReadLine());
        Check(lines == ExpectedLines(data, setup));
        Check(stream.ReadLine().isEmpty());
    }

    Recorder whole;
    Recorder trickled;
    {
        auto source = MakeSource(data, setup, 1 << 20);
        TGTextStream stream(*source, setup.given);
        RunOperations(stream, seed, mix, whole);
    }
    {
        auto source = MakeSource(data, setup, chunk);
        TGTextStream stream(*source, setup.given);
        RunOperations(stream, seed, mix, trickled);
    }
    Check(whole.results == trickled.results);

    CheckPushBack(data, setup);
    return 0;
}
