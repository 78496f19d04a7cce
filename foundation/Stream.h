#pragma once

// Byte streams: the abstract base every reader and writer works against, and
// the three concrete kinds the programs need (a file, a block of memory, the
// bytes of a string in a given encoding). Positions and sizes are 64-bit.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>

class TEncoding;

enum TSeekOrigin : int { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream
{
public:
    TStream() = default;
    TStream(const TStream &) = delete;
    TStream &operator=(const TStream &) = delete;
    virtual ~TStream();

    // Transfer up to count bytes; the result is the number actually moved,
    // which is short only at the end of the data or when the medium is full.
    virtual int64_t Read(void *buffer, int64_t count) = 0;
    virtual int64_t Write(const void *buffer, int64_t count) = 0;
    // soEnd counts from the end: an offset of -2 stands two bytes before it.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t position) { Seek(position, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t size);

    // The whole count or an EReadError / EWriteError.
    void ReadBuffer(void *buffer, int64_t count);
    void WriteBuffer(const void *buffer, int64_t count);

    // Copies count bytes from source at its position (count 0: all of source,
    // from its start); returns the number copied.
    int64_t CopyFrom(TStream &source, int64_t count);
};

// File open modes. The share flags are accepted so callers can state their
// intent, but have no effect: the platform here has no share modes.
using TFileMode = unsigned;
inline constexpr TFileMode fmOpenRead = 0x0000;
inline constexpr TFileMode fmOpenWrite = 0x0001;
inline constexpr TFileMode fmOpenReadWrite = 0x0002;
inline constexpr TFileMode fmShareExclusive = 0x0010;
inline constexpr TFileMode fmShareDenyWrite = 0x0020;
inline constexpr TFileMode fmShareDenyNone = 0x0040;
inline constexpr TFileMode fmCreate = 0xFF00;

class TFileStream : public TStream
{
public:
    // fmCreate creates the file or truncates it and opens it for reading and
    // writing; the open modes need an existing file and never truncate it.
    // A failed open raises EFCreateError or EFOpenError naming the file and
    // the system's reason.
    TFileStream(const QString &fileName, TFileMode mode);
    ~TFileStream() override;

    int64_t Read(void *buffer, int64_t count) override;
    int64_t Write(const void *buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override;
    void SetSize(int64_t size) override;

    const QString &FileName() const { return m_fileName; }

private:
    QString m_fileName;
    QFile m_file;
};

class TMemoryStream : public TStream
{
public:
    TMemoryStream() = default;
    explicit TMemoryStream(QByteArray data)
        : m_data(std::move(data))
    {}

    int64_t Read(void *buffer, int64_t count) override;
    int64_t Write(const void *buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return m_data.size(); }
    void SetSize(int64_t size) override;

    const QByteArray &Bytes() const { return m_data; }
    const char *Memory() const { return m_data.constData(); }
    void Clear();

private:
    QByteArray m_data;
    int64_t m_position = 0;
};

// The bytes of a text in one encoding (never none: a missing encoding means
// the ANSI code page). Readers that wrap a string stream take its encoding.
class TStringStream : public TMemoryStream
{
public:
    explicit TStringStream(const TEncoding *encoding = nullptr);
    TStringStream(const QString &text, const TEncoding *encoding);

    const TEncoding *Encoding() const { return m_encoding; }
    // The bytes decoded in the stream's encoding.
    QString DataString() const;

private:
    const TEncoding *m_encoding;
};
