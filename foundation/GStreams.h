#pragma once

// Buffered and text streams: every text the programs read or write goes
// through TGTextStream, on top of a file, memory or string stream.
//
// A stream is used in one direction between seeks. Should a caller switch
// anyway, the buffer repositions itself first (reading after writing flushes,
// writing after reading drops the read-ahead), so no data is lost or written
// at the wrong place.

#include "foundation/Stream.h"
#include "foundation/TextEncoding.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

// Wraps another stream (not owned) with an 8192-byte buffer. Bytes read from
// the current buffer fill can be pushed back for look-ahead, and the
// position seen from outside is always the logical one.
class TGBufferStream : public TStream
{
public:
    static constexpr int BufferSize = 8192;

    // States of the buffer.
    enum : int { bsEmpty = 0, bsReading = 1, bsWriting = 2 };

    explicit TGBufferStream(TStream &stream);
    ~TGBufferStream() override;

    int64_t Read(void *buffer, int64_t count) override;
    int64_t Write(const void *buffer, int64_t count) override;
    // Seeking to the logical position moves nothing and flushes nothing.
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    // Includes bytes still waiting in the buffer.
    int64_t Size() override;
    void SetSize(int64_t size) override;

    // The buffer is used up and the wrapped stream is at its end.
    virtual bool Eof();

    // Push-back works only over bytes of the current fill: right after a
    // seek, at the start of a fill or while writing it fails with
    // "Overflow on push back".
    void UnreadByte(uint8_t byte);
    // The two bytes in the memory order of the value.
    void UnreadWord(uint16_t word);

    // Writes whatever waits in the buffer; EWriteError when the wrapped
    // stream takes less. Writers call it before they commit a file, since the
    // destructor has no way to report a failure.
    void FlushBuffer();

    TStream &Stream() const { return *m_stream; }
    int State() const { return m_state; }

    std::function<void(TGBufferStream &sender)> OnFillBuffer;
    std::function<void(TGBufferStream &sender)> OnFlushBuffer;

protected:
    // Refills the buffer from the wrapped stream; returns the byte count.
    virtual int64_t Fill();
    // Writes the buffer start .. Current; true when all of it was taken.
    virtual bool Flush();
    // Called when the buffer turns to writing, with Current at the buffer
    // start; a descendant may put a prefix there.
    virtual void StartWriting() {}

    // Keeps the unread bytes (a character split by the fill boundary), moves
    // them to the buffer start and reads after them.
    int64_t FillKeepingTail();
    // Logical position minus the wrapped stream's position.
    int64_t BufferDelta() const;
    bool Exhausted() const { return m_current == nullptr || m_current >= m_bufferEnd; }

    TStream *m_stream;
    std::unique_ptr<unsigned char[]> m_buffer;
    unsigned char *m_current = nullptr;
    unsigned char *m_bufferEnd = nullptr;
    int m_state = bsEmpty;
    // Between the first write and the next seek or read.
    bool m_writing = false;
    // Whether the last Seek changed the position.
    bool m_seekMoved = false;

    // Reading after writing: what was written goes out first.
    void LeaveWriting();

private:
    int64_t m_lastFlushWritten = 0;
};

// Reads and writes characters in a text encoding over a buffer stream.
//
// Reading detects the encoding from a byte-order mark when none was given
// (a wrapped string stream gives its own) and skips the mark. A character 0
// in the data reads as the end of the data. UTF-16 is read unit by unit; a
// UTF-8 character beyond the 16-bit range reads as its two surrogates, one
// ReadChar each.
//
// Writing encodes in the stream's encoding, the ANSI code page when none is
// set (it then becomes the stream's encoding). A character the encoding
// cannot hold is written as a stand-in: '?' in the ANSI code page, so a
// writer that must not lose text checks CodePage1252::CanEncode first and
// picks UTF-8; an unpaired surrogate becomes U+FFFD in UTF-8.
class TGTextStream : public TGBufferStream
{
public:
    // The wrapped stream is not owned. With an encoding given the stream
    // writes no byte-order mark by itself (see WriteEncodingPreamble).
    explicit TGTextStream(TStream &stream, const TEncoding *encoding = nullptr);
    // Opens the file itself (EFOpenError / EFCreateError) and owns it.
    TGTextStream(const QString &fileName, const TEncoding *encoding, TFileMode mode);
    ~TGTextStream() override;

    // The next character, or character 0 at the end of the data.
    QChar ReadChar();
    // False at the end of the data (and on a character 0, which it consumes).
    bool ReadChar(QChar &c);
    // Pushes the encoded character back so the next read returns it.
    void UnreadChar(QChar c);

    // Up to the next CR, LF or CR LF (the line end is consumed); at the end
    // of the data what was left, possibly an empty string.
    QString ReadLine();
    // Up to the next delimiter, which stays unread.
    QString ReadToken();
    // Drops characters below 33 (not the one after them).
    void SkipWhitespace();
    // SkipWhitespace, ReadToken, then the integer conversion (EConvertError).
    int32_t ReadInteger();
    // Drops blanks up to and including the next line end and returns true;
    // false when a visible character (left unread) or the end comes first.
    bool SkipLineEnd();

    TGTextStream &WriteStr(QStringView text);
    TGTextStream &WriteChar(QChar c);
    TGTextStream &WriteInt(int32_t value);
    TGTextStream &WriteSpace();
    TGTextStream &WriteLn();
    TGTextStream &WriteLine(QStringView text);

    // The length of the encoding's byte-order mark (0 without an encoding).
    int PreambleLength() const;

    // Moving back to position 0 makes the next read detect the mark again
    // and the next write emit it again.
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    bool Eof() override;

    const TEncoding *Encoding() const { return m_encoding; }
    bool EncodingDetermined() const { return m_encodingDetermined; }
    bool OwnsStream() const { return m_ownedStream != nullptr; }

    // Default: space, carriage return, line feed, tab.
    const QString &Delimiters() const { return m_delimiters; }
    void SetDelimiters(const QString &delimiters);

protected:
    int64_t Fill() override;
    void StartWriting() override;

private:
    TGTextStream(std::unique_ptr<TFileStream> file, const TEncoding *encoding);

    // Which bytes a run may not swallow: a stop byte (or any byte that must be
    // looked at as a character) ends the run.
    struct StopSet
    {
        std::array<uint8_t, 256> byteStop{};
        const TEncoding *builtFor = nullptr;
    };
    enum class RunEnd { End, Nul, Stop };

    bool EnsureData();
    const TEncoding *ReadEncoding();
    void DetermineEncoding();
    // Decodes the character at Current without consuming it; false at the end.
    bool PeekChar(char32_t &codePoint, int &length);
    template<typename IsStop> RunEnd ReadRun(QString &out, const StopSet &stops, IsStop isStop);
    void AppendRun(QString &out, const unsigned char *from, const unsigned char *to, bool complete);
    void BuildStops(StopSet &set, const TEncoding *encoding, QStringView stopChars);
    // After a CR: drops the LF of a CR LF (and a character 0, which reads as the end).
    void SkipLineFeedAfterCarriageReturn();
    bool IsDelimiter(char32_t codePoint) const;

    std::unique_ptr<TFileStream> m_ownedStream;
    bool m_encodingDetermined;
    // A stream given its encoding still skips that encoding's mark when the
    // data it reads first begins with one: a file saved with a mark must read
    // the same whether its encoding is detected or named by the caller.
    bool m_checkGivenMark;
    QString m_delimiters;
    const TEncoding *m_encoding;
    // Second half of a character beyond 16 bits that ReadChar has not returned yet.
    char16_t m_pendingLow = 0;
    StopSet m_lineStops;
    StopSet m_tokenStops;
    QByteArray m_scratch;
};

// Writes the byte-order mark of the encoding (none for nullptr, the ANSI code
// page) and returns its length.
int WriteEncodingPreamble(TStream &stream, const TEncoding *encoding);

// The bytes of a string in the ANSI code page, positioned at the start.
class TKvStringStream : public TStringStream
{
public:
    explicit TKvStringStream(const QString &text);
};
