#pragma once

// What the RTF reader stores in a QTextDocument beyond Qt's own format
// properties, and the small state records that the reader and the writer share.
// Lengths of the paragraph format are kept in the document in pixels at 96 dpi
// (15 twips each) as exact fractions, so that twips survive a read and a write.

#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QTextFormat>

#include <cstdint>
#include <map>
#include <memory>

namespace RtfFormat {

// Character format properties.
enum : int {
    PropFontCharset = QTextFormat::UserProperty + 0x5200, // int, the \fcharset of the font entry
    PropFontKind,                                         // QString, the family word ("froman") unless "fnil"
    PropHidden,                                           // bool, \v
    PropProtected,                                        // bool, \protect
    PropDoubleUnderline,                                  // bool, \uldb (drawn as a single line)
    PropFieldInstruction,                                 // QByteArray, the {\*\fldinst ...} group as read
    PropFieldId,                                          // int, tells adjacent fields apart
    PropRawRtf,                                           // QByteArray, a group kept unchanged
    // Block format properties.
    PropLineSpacing,         // int, \sl
    PropLineSpacingMultiple, // int, \slmult
};

// The object type of a character that stands for a group the engine keeps but
// cannot show (a picture in another format, an embedded object, a footnote).
inline constexpr int RawObjectType = QTextFormat::UserObject + 0x52;

inline constexpr double TwipsPerPixel = 15.0;

inline double TwipsToPixels(int twips)
{
    return twips / TwipsPerPixel;
}
int PixelsToTwips(double pixels);

enum class TVertical : uint8_t { Normal, Super, Sub };

// Character properties as an RTF reader holds them between control words.
struct TCharProps
{
    int font = -1;         // font number (reader: the \f id; writer: its own table index)
    int halfPoints = 24;   // \fs
    int color = 0;         // colour table index, 0 = automatic
    int background = 0;    // colour table index, 0 = none
    uint8_t underline = 0; // QTextCharFormat::UnderlineStyle
    TVertical vertical = TVertical::Normal;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    bool protect = false;
    bool doubleUnderline = false;

    bool operator==(const TCharProps &) const = default;
};

enum class TAlign : uint8_t { Left, Right, Center, Justify };

// The numbering of a paragraph: none, a bullet, or a numbered list style.
enum class TNumbering : uint8_t { None, Bullet, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

struct TTab
{
    int position = 0; // twips
    uint8_t kind = 0; // 0 left, 1 centre, 2 right, 3 decimal

    bool operator==(const TTab &) const = default;
};

struct TParaProps
{
    TAlign align = TAlign::Left;
    TNumbering numbering = TNumbering::None;
    int left = 0;   // \li, twips
    int right = 0;  // \ri
    int first = 0;  // \fi
    int before = 0; // \sb
    int after = 0;  // \sa
    int lineSpacing = 0;
    int lineMultiple = 0;
    QList<TTab> tabs;
    QString numberPrefix; // numbered lists only
    QString numberSuffix;

    bool operator==(const TParaProps &) const = default;
};

QTextBlockFormat BlockFormatFromProps(const TParaProps &props);
TParaProps PropsFromBlockFormat(const QTextBlockFormat &format);

// The code page that \'hh bytes of a font with this \fcharset are in;
// ansiCodePage for the ANSI and default character sets.
int CodePageForCharset(int charset, int ansiCodePage);

// Decodes the bytes of one code page; unknown code pages read as Windows-1252.
class TCodePageDecoder
{
public:
    static bool IsKnown(int codePage);
    QString Decode(int codePage, QByteArrayView bytes);

private:
    std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;
};

} // namespace RtfFormat
