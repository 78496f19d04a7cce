#include "foundation/GStreams.h"

#include "foundation/CodePage.h"
#include "foundation/Convert.h"
#include "foundation/Exceptions.h"
#include "foundation/FoundationStrings.h"

#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------------------
// TGBufferStream

TGBufferStream::TGBufferStream(TStream &stream)
    : m_stream(&stream)
    , m_buffer(std::make_unique<unsigned char[]>(BufferSize))
{}

TGBufferStream::~TGBufferStream()
{
    if (m_state == bsWriting) {
        try {
            Flush();
        } catch (...) {
            // A destructor cannot report; writers that care call FlushBuffer first.
        }
    }
}

int64_t TGBufferStream::BufferDelta() const
{
    switch (m_state) {
    case bsEmpty:
        return 0;
    case bsReading:
        return m_current - m_bufferEnd;
    case bsWriting:
        return m_current - m_buffer.get();
    default:
        throw EStreamError(FoundationStrings::InvalidBufferState());
    }
}

void TGBufferStream::LeaveWriting()
{
    if (m_state == bsWriting && !Flush())
        throw EWriteError(FoundationStrings::StreamWriteError());
    m_current = m_bufferEnd = nullptr;
    m_state = bsEmpty;
    m_writing = false;
}

int64_t TGBufferStream::Read(void *buffer, int64_t count)
{
    if (m_writing)
        LeaveWriting();
    auto *out = static_cast<unsigned char *>(buffer);
    int64_t copied = 0;
    while (copied < count) {
        if (Exhausted() && Fill() == 0)
            break;
        if (Exhausted())
            continue;
        const int64_t n = std::min<int64_t>(count - copied, m_bufferEnd - m_current);
        std::memcpy(out + copied, m_current, n);
        m_current += n;
        copied += n;
    }
    return copied;
}

int64_t TGBufferStream::Write(const void *buffer, int64_t count)
{
    if (!m_writing) {
        // Read-ahead the caller has not consumed must not be skipped over.
        if (m_state == bsReading && m_current != m_bufferEnd)
            m_stream->Seek(BufferDelta(), soCurrent);
        m_current = m_buffer.get();
        m_bufferEnd = m_buffer.get() + BufferSize;
        m_state = bsEmpty;
        m_writing = true;
        StartWriting();
    }
    const auto *in = static_cast<const unsigned char *>(buffer);
    int64_t written = 0;
    while (written < count) {
        const int64_t n = std::min<int64_t>(count - written, m_bufferEnd - m_current);
        std::memcpy(m_current, in + written, n);
        m_current += n;
        written += n;
        if (m_current == m_bufferEnd) {
            const int64_t pending = m_current - m_buffer.get();
            if (!Flush())
                return std::max<int64_t>(0, written - (pending - m_lastFlushWritten));
        }
    }
    m_state = m_current > m_buffer.get() ? bsWriting : bsEmpty;
    return written;
}

int64_t TGBufferStream::Seek(int64_t offset, TSeekOrigin origin)
{
    m_seekMoved = false;
    const int64_t current = m_stream->Position() + BufferDelta();
    int64_t target;
    switch (origin) {
    case soBeginning:
        target = offset;
        break;
    case soCurrent:
        target = current + offset;
        break;
    case soEnd:
        target = Size() + offset;
        break;
    default:
        throw EStreamError(FoundationStrings::InvalidOrigin().arg(int(origin)));
    }
    if (target == current)
        return current;
    if (m_state == bsWriting && !Flush())
        throw EStreamError(FoundationStrings::SeekBufferError());
    const int64_t result = m_stream->Seek(target, soBeginning);
    m_current = m_bufferEnd = nullptr;
    m_state = bsEmpty;
    m_writing = false;
    m_seekMoved = true;
    return result;
}

int64_t TGBufferStream::Size()
{
    const int64_t wrappedSize = m_stream->Size();
    if (m_state != bsWriting)
        return wrappedSize;
    return std::max(wrappedSize, m_stream->Position() + BufferDelta());
}

void TGBufferStream::SetSize(int64_t size)
{
    const int64_t position = Position();
    if (m_writing)
        LeaveWriting();
    m_stream->SetSize(size);
    m_stream->Seek(std::min(position, size), soBeginning);
    m_current = m_bufferEnd = nullptr;
    m_state = bsEmpty;
}

bool TGBufferStream::Eof()
{
    return Exhausted() && m_stream->Position() == m_stream->Size();
}

void TGBufferStream::UnreadByte(uint8_t byte)
{
    if (m_current == nullptr || m_writing || m_current - m_buffer.get() < 1)
        throw EStreamError(FoundationStrings::PushBackOverflow());
    *--m_current = byte;
}

void TGBufferStream::UnreadWord(uint16_t word)
{
    if (m_current == nullptr || m_writing || m_current - m_buffer.get() < 2)
        throw EStreamError(FoundationStrings::PushBackOverflow());
    m_current -= 2;
    std::memcpy(m_current, &word, 2);
}

void TGBufferStream::FlushBuffer()
{
    if (m_state == bsWriting && !Flush())
        throw EWriteError(FoundationStrings::StreamWriteError());
}

int64_t TGBufferStream::Fill()
{
    const int64_t n = m_stream->Read(m_buffer.get(), BufferSize);
    if (n > 0) {
        m_current = m_buffer.get();
        m_bufferEnd = m_buffer.get() + n;
        m_state = bsReading;
    } else if (m_current == nullptr) {
        m_current = m_bufferEnd = m_buffer.get();
        m_state = bsEmpty;
    }
    // An empty fill at the end keeps the last fill, so its bytes can still be pushed back.
    if (OnFillBuffer)
        OnFillBuffer(*this);
    return std::max<int64_t>(n, 0);
}

int64_t TGBufferStream::FillKeepingTail()
{
    const int64_t tail = m_current ? m_bufferEnd - m_current : 0;
    if (tail > 0)
        std::memmove(m_buffer.get(), m_current, tail);
    const int64_t n = std::max<int64_t>(m_stream->Read(m_buffer.get() + tail, BufferSize - tail), 0);
    m_current = m_buffer.get();
    m_bufferEnd = m_buffer.get() + tail + n;
    m_state = m_bufferEnd > m_current ? bsReading : bsEmpty;
    if (OnFillBuffer)
        OnFillBuffer(*this);
    return n;
}

bool TGBufferStream::Flush()
{
    const int64_t pending = m_current - m_buffer.get();
    m_lastFlushWritten = pending > 0 ? m_stream->Write(m_buffer.get(), pending) : 0;
    m_current = m_buffer.get();
    m_state = bsEmpty;
    if (OnFlushBuffer)
        OnFlushBuffer(*this);
    return m_lastFlushWritten == pending;
}

// ---------------------------------------------------------------------------
// TGTextStream

namespace {

const QString &DefaultDelimiters()
{
    static const QString delimiters = QStringLiteral(" \r\n\t");
    return delimiters;
}

// The code page's characters in reach of the inner loops (no call per byte).
struct AnsiTable
{
    AnsiTable()
    {
        for (int b = 0; b < 256; ++b)
            chars[b] = CodePage1252::DecodeByte(uint8_t(b));
    }
    char16_t chars[256];
};

const AnsiTable &Ansi1252()
{
    static const AnsiTable table;
    return table;
}

bool IsUtf8(const TEncoding *e)
{
    return e == TEncoding::Utf8();
}

} // namespace

TGTextStream::TGTextStream(TStream &stream, const TEncoding *encoding)
    : TGBufferStream(stream)
    , m_encodingDetermined(encoding != nullptr)
    , m_checkGivenMark(encoding != nullptr)
    , m_delimiters(DefaultDelimiters())
    , m_encoding(encoding)
{}

TGTextStream::TGTextStream(const QString &fileName, const TEncoding *encoding, TFileMode mode)
    : TGTextStream(std::make_unique<TFileStream>(fileName, mode), encoding)
{}

TGTextStream::TGTextStream(std::unique_ptr<TFileStream> file, const TEncoding *encoding)
    : TGBufferStream(*file)
    , m_ownedStream(std::move(file))
    , m_encodingDetermined(encoding != nullptr)
    , m_checkGivenMark(encoding != nullptr)
    , m_delimiters(DefaultDelimiters())
    , m_encoding(encoding)
{}

TGTextStream::~TGTextStream()
{
    // The owned file goes before the base destructor runs, so flush now.
    if (m_state == bsWriting) {
        try {
            Flush();
        } catch (...) {
        }
        m_state = bsEmpty;
    }
}

void TGTextStream::SetDelimiters(const QString &delimiters)
{
    m_delimiters = delimiters;
    m_tokenStops.builtFor = nullptr;
}

int TGTextStream::PreambleLength() const
{
    return m_encoding ? m_encoding->PreambleLength() : 0;
}

int64_t TGTextStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int64_t position = TGBufferStream::Seek(offset, origin);
    if (m_seekMoved) {
        m_encodingDetermined = position > 0;
        m_checkGivenMark = false;
        m_pendingLow = 0;
    }
    return position;
}

bool TGTextStream::Eof()
{
    return m_pendingLow == 0 && TGBufferStream::Eof();
}

int64_t TGTextStream::Fill()
{
    const int64_t n = TGBufferStream::Fill();
    if (n > 0 && (!m_encodingDetermined || m_checkGivenMark))
        DetermineEncoding();
    return n;
}

void TGTextStream::DetermineEncoding()
{
    // A wrapped stream that hands out fewer bytes than asked must not hide a mark.
    while (m_bufferEnd - m_current < 3) {
        const int64_t room = m_buffer.get() + BufferSize - m_bufferEnd;
        const int64_t n = m_stream->Read(m_bufferEnd, room);
        if (n <= 0)
            break;
        m_bufferEnd += n;
    }
    const QByteArrayView head(reinterpret_cast<const char *>(m_current), m_bufferEnd - m_current);
    if (m_encoding == nullptr) {
        if (const auto *strings = dynamic_cast<const TStringStream *>(m_stream))
            m_encoding = strings->Encoding();
    }
    int skip = 0;
    if (m_encoding == nullptr) {
        for (const TEncoding *candidate : {TEncoding::Utf8(), TEncoding::Utf16LE(), TEncoding::Utf16BE()}) {
            if (candidate->StartsWithPreamble(head)) {
                m_encoding = candidate;
                skip = candidate->PreambleLength();
                break;
            }
        }
        if (m_encoding == nullptr)
            m_encoding = TEncoding::Ansi();
    } else if (m_encoding->StartsWithPreamble(head)) {
        skip = m_encoding->PreambleLength();
    }
    if (head.size() < skip)
        throw EStreamError(FoundationStrings::EncodingDeterminationEof());
    m_current += skip;
    m_encodingDetermined = true;
    m_checkGivenMark = false;
}

void TGTextStream::StartWriting()
{
    m_pendingLow = 0;
    m_checkGivenMark = false;
    if (m_encodingDetermined)
        return;
    if (m_encoding == nullptr)
        m_encoding = TEncoding::Ansi();
    const QByteArrayView mark = m_encoding->Preamble();
    if (!mark.isEmpty()) {
        std::memcpy(m_current, mark.data(), mark.size());
        m_current += mark.size();
        m_state = bsWriting;
    }
    m_encodingDetermined = true;
}

bool TGTextStream::EnsureData()
{
    if (m_writing)
        LeaveWriting();
    while (Exhausted()) {
        if (Fill() == 0)
            return false;
    }
    return true;
}

const TEncoding *TGTextStream::ReadEncoding()
{
    if (m_encoding == nullptr)
        m_encoding = TEncoding::Ansi();
    return m_encoding;
}

bool TGTextStream::PeekChar(char32_t &codePoint, int &length)
{
    if (!EnsureData())
        return false;
    const TEncoding *encoding = ReadEncoding();
    length = encoding->DecodeNext(m_current, m_bufferEnd - m_current, false, codePoint);
    while (length == 0) {
        // The character continues in the next fill.
        const bool atEnd = FillKeepingTail() == 0;
        length = encoding->DecodeNext(m_current, m_bufferEnd - m_current, atEnd, codePoint);
    }
    return true;
}

bool TGTextStream::ReadChar(QChar &c)
{
    if (m_pendingLow != 0) {
        c = QChar(m_pendingLow);
        m_pendingLow = 0;
        return true;
    }
    if (m_encoding == TEncoding::Ansi() && !m_writing && !Exhausted()) {
        c = QChar(Ansi1252().chars[*m_current++]);
        return !c.isNull();
    }
    char32_t cp;
    int length;
    if (!PeekChar(cp, length)) {
        c = QChar();
        return false;
    }
    m_current += length;
    if (cp >= 0x10000) {
        c = QChar(QChar::highSurrogate(cp));
        m_pendingLow = QChar::lowSurrogate(cp);
        return true;
    }
    c = QChar(char16_t(cp));
    return cp != 0;
}

QChar TGTextStream::ReadChar()
{
    QChar c;
    ReadChar(c);
    return c;
}

void TGTextStream::UnreadChar(QChar c)
{
    if (m_encoding == nullptr) {
        UnreadWord(c.unicode());
        return;
    }
    char32_t cp = c.unicode();
    if (IsUtf8(m_encoding) && c.isLowSurrogate() && m_pendingLow == 0) {
        // The second half of a character whose bytes are already consumed.
        m_pendingLow = c.unicode();
        return;
    }
    if (m_pendingLow != 0) {
        // Only the first half of the pending character can go in front of it.
        if (!c.isHighSurrogate())
            throw EStreamError(FoundationStrings::PushBackOverflow());
        cp = QChar::surrogateToUcs4(c.unicode(), m_pendingLow);
    }
    unsigned char bytes[4];
    const int n = m_encoding->EncodeChar(cp, bytes);
    if (m_current == nullptr || m_writing || m_current - m_buffer.get() < n)
        throw EStreamError(FoundationStrings::PushBackOverflow());
    m_pendingLow = 0;
    m_current -= n;
    std::memcpy(m_current, bytes, n);
}

void TGTextStream::BuildStops(StopSet &set, const TEncoding *encoding, QStringView stopChars)
{
    set.byteStop.fill(0);
    set.byteStop[0] = 1;
    if (encoding == TEncoding::Ansi()) {
        for (int b = 1; b < 256; ++b)
            set.byteStop[b] = stopChars.contains(QChar(CodePage1252::DecodeByte(uint8_t(b))));
    } else {
        bool wide = false;
        for (const QChar c : stopChars) {
            if (c.unicode() < 0x80)
                set.byteStop[c.unicode()] = 1;
            else
                wide = true;
        }
        // A stop character beyond ASCII needs every multi-byte character looked at.
        for (int b = 0x80; b < 256; ++b)
            set.byteStop[b] = wide;
    }
    set.builtFor = encoding;
}

void TGTextStream::AppendRun(QString &out, const unsigned char *from, const unsigned char *to, bool complete)
{
    const qsizetype start = out.size();
    out.resize(start + (to - from));
    char16_t *o = reinterpret_cast<char16_t *>(out.data()) + start;
    const unsigned char *p = from;
    if (m_encoding == TEncoding::Ansi()) {
        const char16_t *chars = Ansi1252().chars;
        for (; p < to; ++p)
            *o++ = chars[*p];
    } else {
        while (p < to) {
            if (*p < 0x80) {
                *o++ = *p++;
                continue;
            }
            char32_t cp;
            const int n = m_encoding->DecodeNext(p, to - p, complete, cp);
            if (n == 0)
                break; // continues in the next fill; the character path takes it
            p += n;
            if (cp >= 0x10000) {
                *o++ = QChar::highSurrogate(cp);
                *o++ = QChar::lowSurrogate(cp);
            } else {
                *o++ = char16_t(cp);
            }
        }
    }
    out.truncate(o - reinterpret_cast<char16_t *>(out.data()));
    m_current = const_cast<unsigned char *>(p);
}

template<typename IsStop>
TGTextStream::RunEnd TGTextStream::ReadRun(QString &out, const StopSet &stops, IsStop isStop)
{
    for (;;) {
        if (!EnsureData())
            return RunEnd::End;
        const TEncoding *encoding = ReadEncoding();
        if (encoding == TEncoding::Ansi() || encoding == TEncoding::Utf8()) {
            const unsigned char *p = m_current;
            const unsigned char *end = m_bufferEnd;
            const unsigned char *q = p;
            while (q < end && !stops.byteStop[*q])
                ++q;
            if (q > p) {
                // Stops before the bytes of a character cut by the fill boundary, if any;
                // the character path below takes that one.
                AppendRun(out, p, q, q < end);
                if (m_current == end)
                    continue;
            }
        }
        char32_t cp;
        int length;
        if (!PeekChar(cp, length))
            return RunEnd::End;
        if (cp == 0) {
            m_current += length;
            return RunEnd::Nul;
        }
        if (isStop(cp))
            return RunEnd::Stop;
        m_current += length;
        AppendCodePoint(out, cp);
    }
}

void TGTextStream::SkipLineFeedAfterCarriageReturn()
{
    char32_t cp;
    int length;
    if (PeekChar(cp, length) && (cp == u'\n' || cp == 0))
        m_current += length;
}

QString TGTextStream::ReadLine()
{
    QString line;
    if (m_pendingLow != 0) {
        line.append(QChar(m_pendingLow));
        m_pendingLow = 0;
    }
    if (!EnsureData())
        return line;
    if (m_lineStops.builtFor != ReadEncoding())
        BuildStops(m_lineStops, m_encoding, u"\r\n");
    const RunEnd end = ReadRun(line, m_lineStops, [](char32_t c) { return c == u'\r' || c == u'\n'; });
    if (end == RunEnd::Stop) {
        char32_t cp;
        int length;
        PeekChar(cp, length);
        m_current += length;
        if (cp == u'\r')
            SkipLineFeedAfterCarriageReturn();
    }
    return line;
}

bool TGTextStream::IsDelimiter(char32_t cp) const
{
    if (cp < 0x10000)
        return m_delimiters.contains(QChar(char16_t(cp)));
    const char16_t pair[2] = {QChar::highSurrogate(cp), QChar::lowSurrogate(cp)};
    return m_delimiters.contains(QStringView(pair, 2));
}

QString TGTextStream::ReadToken()
{
    QString token;
    if (m_pendingLow != 0) {
        if (m_delimiters.contains(QChar(m_pendingLow)))
            return token;
        token.append(QChar(m_pendingLow));
        m_pendingLow = 0;
    }
    if (!EnsureData())
        return token;
    if (m_tokenStops.builtFor != ReadEncoding())
        BuildStops(m_tokenStops, m_encoding, m_delimiters);
    ReadRun(token, m_tokenStops, [this](char32_t c) { return IsDelimiter(c); });
    return token;
}

void TGTextStream::SkipWhitespace()
{
    if (m_pendingLow != 0)
        return;
    char32_t cp;
    int length;
    while (PeekChar(cp, length)) {
        if (cp >= 33)
            return;
        m_current += length;
        if (cp == 0)
            return;
    }
}

int32_t TGTextStream::ReadInteger()
{
    SkipWhitespace();
    return StrToInt(ReadToken());
}

bool TGTextStream::SkipLineEnd()
{
    if (m_pendingLow != 0)
        return false;
    char32_t cp;
    int length;
    while (PeekChar(cp, length)) {
        if (cp >= 33)
            return false;
        m_current += length;
        if (cp == 0)
            return false;
        if (cp == u'\n')
            return true;
        if (cp == u'\r') {
            SkipLineFeedAfterCarriageReturn();
            return true;
        }
    }
    return false;
}

TGTextStream &TGTextStream::WriteStr(QStringView text)
{
    if (m_encoding == nullptr)
        m_encoding = TEncoding::Ansi();
    m_scratch.clear();
    m_encoding->EncodeAppend(text, m_scratch);
    WriteBuffer(m_scratch.constData(), m_scratch.size());
    return *this;
}

TGTextStream &TGTextStream::WriteChar(QChar c)
{
    return WriteStr(QStringView(&c, 1));
}

TGTextStream &TGTextStream::WriteInt(int32_t value)
{
    return WriteStr(QString::number(value));
}

TGTextStream &TGTextStream::WriteSpace()
{
    return WriteStr(u" ");
}

TGTextStream &TGTextStream::WriteLn()
{
    return WriteStr(u"\r\n");
}

TGTextStream &TGTextStream::WriteLine(QStringView text)
{
    WriteStr(text);
    return WriteLn();
}

// ---------------------------------------------------------------------------

int WriteEncodingPreamble(TStream &stream, const TEncoding *encoding)
{
    if (encoding == nullptr)
        return 0;
    const QByteArrayView mark = encoding->Preamble();
    stream.WriteBuffer(mark.data(), mark.size());
    return int(mark.size());
}

TKvStringStream::TKvStringStream(const QString &text)
    : TStringStream(text, TEncoding::Ansi())
{
    SetPosition(0);
}
