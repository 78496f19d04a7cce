#include "richtext/RtfReader.h"

#include "foundation/CodePage.h"
#include "richtext/RichTextStrings.h"
#include "richtext/RtfFormat.h"

#include <QCryptographicHash>
#include <QImage>
#include <QPointer>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

using namespace RtfFormat;

namespace {

// Field numbers only need to tell adjacent fields apart, also between texts
// pasted into one document.
std::atomic<int> g_nextFieldId{1};

// The input as a sequence of units: values below 256 are bytes of the RTF;
// values from 0x10000 on are characters that a QString held and that have no
// Windows-1252 byte (value - 0x10000).
struct TByteSource
{
    QByteArrayView data;
    qsizetype Size() const { return data.size(); }
    int At(qsizetype i) const { return static_cast<unsigned char>(data[i]); }
    QByteArray Raw(qsizetype from, qsizetype to) const { return data.sliced(from, to - from).toByteArray(); }
};

struct TStringSource
{
    QStringView data;
    qsizetype Size() const { return data.size(); }
    int At(qsizetype i) const
    {
        const char16_t c = data[i].unicode();
        if (c < 0x80)
            return c;
        const int b = CodePage1252::EncodeChar(c);
        return b >= 0 ? b : 0x10000 + c;
    }
    QByteArray Raw(qsizetype from, qsizetype to) const
    {
        return CodePage1252::Encode(data.sliced(from, to - from));
    }
};

enum class TDest : uint8_t {
    Text,
    Skip,
    FontTable,
    ColorTable,
    Picture,
    Field,
    FieldInst,
    Verbatim,
    Pn,
    PnTextBefore,
    PnTextAfter,
};

// Control words the reader acts on.
enum TWord : uint8_t {
    wUnknown,
    wRtf,
    wAnsi,
    wMac,
    wPc,
    wPca,
    wAnsicpg,
    wDeff,
    wUc,
    wU,
    wFonttbl,
    wColortbl,
    wPict,
    wField,
    wFldinst,
    wFldrslt,
    wVerbatimDest,
    wShppict,
    wPn,
    wPntxta,
    wPntxtb,
    wSkipDest,
    wF,
    wFcharset,
    wCpg,
    wFamily,
    wRed,
    wGreen,
    wBlue,
    wPlain,
    wB,
    wI,
    wUl,
    wUlnone,
    wUld,
    wUldb,
    wUldash,
    wUldashd,
    wUldashdd,
    wUlwave,
    wStrike,
    wCf,
    wCb,
    wFs,
    wSuper,
    wSub,
    wNosupersub,
    wUp,
    wDn,
    wV,
    wProtect,
    wPard,
    wQl,
    wQr,
    wQc,
    wQj,
    wLi,
    wRi,
    wFi,
    wSb,
    wSa,
    wSl,
    wSlmult,
    wTx,
    wTqr,
    wTqc,
    wTqdec,
    wLs,
    wPnlvlblt,
    wPnlvlbody,
    wPnlvlcont,
    wPndec,
    wPnlcltr,
    wPnucltr,
    wPnlcrm,
    wPnucrm,
    wPar,
    wLine,
    wTab,
    wCell,
    wChar, // a word that stands for one character
    wPngblip,
    wJpegblip,
    wPicw,
    wPich,
    wPicwgoal,
    wPichgoal,
    wPicscalex,
    wPicscaley,
    wBin,
    wViewkind,
};

struct TWordEntry
{
    const char *name;
    TWord word;
    char16_t ch; // for wChar
};

// Sorted by name (strcmp) for the binary search.
const TWordEntry g_words[] = {
    {"annotation", wVerbatimDest, 0},
    {"ansi", wAnsi, 0},
    {"ansicpg", wAnsicpg, 0},
    {"atnauthor", wSkipDest, 0},
    {"atndate", wSkipDest, 0},
    {"atnicn", wSkipDest, 0},
    {"atnid", wSkipDest, 0},
    {"atnparent", wSkipDest, 0},
    {"atnref", wSkipDest, 0},
    {"atntime", wSkipDest, 0},
    {"atrfend", wSkipDest, 0},
    {"atrfstart", wSkipDest, 0},
    {"author", wSkipDest, 0},
    {"b", wB, 0},
    {"bin", wBin, 0},
    {"bkmkend", wSkipDest, 0},
    {"bkmkstart", wSkipDest, 0},
    {"blipuid", wSkipDest, 0},
    {"blue", wBlue, 0},
    {"bullet", wChar, 0x2022},
    {"buptim", wSkipDest, 0},
    {"category", wSkipDest, 0},
    {"cb", wCb, 0},
    {"cell", wCell, 0},
    {"cf", wCf, 0},
    {"chcbpat", wCb, 0},
    {"colorschememapping", wSkipDest, 0},
    {"colortbl", wColortbl, 0},
    {"comment", wSkipDest, 0},
    {"company", wSkipDest, 0},
    {"cpg", wCpg, 0},
    {"creatim", wSkipDest, 0},
    {"datafield", wSkipDest, 0},
    {"datastore", wSkipDest, 0},
    {"defchp", wSkipDest, 0},
    {"deff", wDeff, 0},
    {"defpap", wSkipDest, 0},
    {"dn", wDn, 0},
    {"do", wSkipDest, 0},
    {"doccomm", wSkipDest, 0},
    {"docvar", wSkipDest, 0},
    {"dptxbxtext", wSkipDest, 0},
    {"emdash", wChar, 0x2014},
    {"emspace", wChar, 0x2003},
    {"endash", wChar, 0x2013},
    {"enspace", wChar, 0x2002},
    {"f", wF, 0},
    {"falt", wSkipDest, 0},
    {"fbidi", wFamily, 0},
    {"fcharset", wFcharset, 0},
    {"fdecor", wFamily, 0},
    {"ffdeftext", wSkipDest, 0},
    {"ffentrymcr", wSkipDest, 0},
    {"ffexitmcr", wSkipDest, 0},
    {"ffformat", wSkipDest, 0},
    {"ffhelptext", wSkipDest, 0},
    {"ffl", wSkipDest, 0},
    {"ffname", wSkipDest, 0},
    {"ffstattext", wSkipDest, 0},
    {"fi", wFi, 0},
    {"field", wField, 0},
    {"filetbl", wSkipDest, 0},
    {"fldinst", wFldinst, 0},
    {"fldrslt", wFldrslt, 0},
    {"fldtype", wSkipDest, 0},
    {"fmodern", wFamily, 0},
    {"fname", wSkipDest, 0},
    {"fnil", wFamily, 0},
    {"fontemb", wSkipDest, 0},
    {"fontfile", wSkipDest, 0},
    {"fonttbl", wFonttbl, 0},
    {"footer", wSkipDest, 0},
    {"footerf", wSkipDest, 0},
    {"footerl", wSkipDest, 0},
    {"footerr", wSkipDest, 0},
    {"footnote", wVerbatimDest, 0},
    {"formfield", wSkipDest, 0},
    {"froman", wFamily, 0},
    {"fs", wFs, 0},
    {"fscript", wFamily, 0},
    {"fswiss", wFamily, 0},
    {"ftech", wFamily, 0},
    {"ftncn", wSkipDest, 0},
    {"ftnsep", wSkipDest, 0},
    {"ftnsepc", wSkipDest, 0},
    {"generator", wSkipDest, 0},
    {"green", wGreen, 0},
    {"header", wSkipDest, 0},
    {"headerf", wSkipDest, 0},
    {"headerl", wSkipDest, 0},
    {"headerr", wSkipDest, 0},
    {"highlight", wCb, 0},
    {"hlinkbase", wSkipDest, 0},
    {"i", wI, 0},
    {"info", wSkipDest, 0},
    {"jpegblip", wJpegblip, 0},
    {"keywords", wSkipDest, 0},
    {"latentstyles", wSkipDest, 0},
    {"ldblquote", wChar, 0x201C},
    {"levelnumbers", wSkipDest, 0},
    {"leveltext", wSkipDest, 0},
    {"li", wLi, 0},
    {"lin", wLi, 0},
    {"line", wLine, 0},
    {"list", wSkipDest, 0},
    {"listname", wSkipDest, 0},
    {"listoverridetable", wSkipDest, 0},
    {"listpicture", wSkipDest, 0},
    {"listtable", wSkipDest, 0},
    {"listtext", wSkipDest, 0},
    {"lquote", wChar, 0x2018},
    {"ls", wLs, 0},
    {"ltrmark", wChar, 0x200E},
    {"mac", wMac, 0},
    {"manager", wSkipDest, 0},
    {"mmathPr", wSkipDest, 0},
    {"nestcell", wCell, 0},
    {"nestrow", wPar, 0},
    {"nesttableprops", wSkipDest, 0},
    {"nextfile", wSkipDest, 0},
    {"nonesttables", wSkipDest, 0},
    {"nonshppict", wSkipDest, 0},
    {"nosupersub", wNosupersub, 0},
    {"objdata", wSkipDest, 0},
    {"object", wVerbatimDest, 0},
    {"oldcprops", wSkipDest, 0},
    {"oldpprops", wSkipDest, 0},
    {"oldsprops", wSkipDest, 0},
    {"oldtprops", wSkipDest, 0},
    {"operator", wSkipDest, 0},
    {"page", wPar, 0},
    {"panose", wSkipDest, 0},
    {"par", wPar, 0},
    {"pard", wPard, 0},
    {"password", wSkipDest, 0},
    {"passwordhash", wSkipDest, 0},
    {"pc", wPc, 0},
    {"pca", wPca, 0},
    {"pgdsctbl", wSkipDest, 0},
    {"pich", wPich, 0},
    {"pichgoal", wPichgoal, 0},
    {"picprop", wSkipDest, 0},
    {"picscalex", wPicscalex, 0},
    {"picscaley", wPicscaley, 0},
    {"pict", wPict, 0},
    {"picw", wPicw, 0},
    {"picwgoal", wPicwgoal, 0},
    {"plain", wPlain, 0},
    {"pn", wPn, 0},
    {"pndec", wPndec, 0},
    {"pngblip", wPngblip, 0},
    {"pnlcltr", wPnlcltr, 0},
    {"pnlcrm", wPnlcrm, 0},
    {"pnlvlblt", wPnlvlblt, 0},
    {"pnlvlbody", wPnlvlbody, 0},
    {"pnlvlcont", wPnlvlcont, 0},
    {"pnseclvl", wSkipDest, 0},
    {"pntext", wSkipDest, 0},
    {"pntxta", wPntxta, 0},
    {"pntxtb", wPntxtb, 0},
    {"pnucltr", wPnucltr, 0},
    {"pnucrm", wPnucrm, 0},
    {"printim", wSkipDest, 0},
    {"private", wSkipDest, 0},
    {"propname", wSkipDest, 0},
    {"protect", wProtect, 0},
    {"protusertbl", wSkipDest, 0},
    {"pxe", wSkipDest, 0},
    {"qc", wQc, 0},
    {"qd", wQj, 0},
    {"qj", wQj, 0},
    {"ql", wQl, 0},
    {"qmspace", wChar, 0x2005},
    {"qr", wQr, 0},
    {"rdblquote", wChar, 0x201D},
    {"red", wRed, 0},
    {"result", wSkipDest, 0},
    {"revtbl", wSkipDest, 0},
    {"revtim", wSkipDest, 0},
    {"ri", wRi, 0},
    {"rin", wRi, 0},
    {"row", wPar, 0},
    {"rquote", wChar, 0x2019},
    {"rsidtbl", wSkipDest, 0},
    {"rtf", wRtf, 0},
    {"rtlmark", wChar, 0x200F},
    {"rxe", wSkipDest, 0},
    {"sa", wSa, 0},
    {"sb", wSb, 0},
    {"sect", wPar, 0},
    {"shp", wVerbatimDest, 0},
    {"shpgrp", wVerbatimDest, 0},
    {"shppict", wShppict, 0},
    {"shprslt", wSkipDest, 0},
    {"sl", wSl, 0},
    {"slmult", wSlmult, 0},
    {"sn", wSkipDest, 0},
    {"sp", wSkipDest, 0},
    {"strike", wStrike, 0},
    {"striked", wStrike, 0},
    {"stylesheet", wSkipDest, 0},
    {"sub", wSub, 0},
    {"subject", wSkipDest, 0},
    {"super", wSuper, 0},
    {"sv", wSkipDest, 0},
    {"tab", wTab, 0},
    {"tb", wTx, 0},
    {"tc", wSkipDest, 0},
    {"template", wSkipDest, 0},
    {"themedata", wSkipDest, 0},
    {"title", wSkipDest, 0},
    {"tqc", wTqc, 0},
    {"tqdec", wTqdec, 0},
    {"tqr", wTqr, 0},
    {"tx", wTx, 0},
    {"txe", wSkipDest, 0},
    {"u", wU, 0},
    {"uc", wUc, 0},
    {"ud", wSkipDest, 0},
    {"ul", wUl, 0},
    {"uld", wUld, 0},
    {"uldash", wUldash, 0},
    {"uldashd", wUldashd, 0},
    {"uldashdd", wUldashdd, 0},
    {"uldb", wUldb, 0},
    {"ulhwave", wUlwave, 0},
    {"ulnone", wUlnone, 0},
    {"ulth", wUl, 0},
    {"ulw", wUl, 0},
    {"ulwave", wUlwave, 0},
    {"up", wUp, 0},
    {"upr", wSkipDest, 0},
    {"userprops", wSkipDest, 0},
    {"v", wV, 0},
    {"viewkind", wViewkind, 0},
    {"wgrffmtfilter", wSkipDest, 0},
    {"windowcaption", wSkipDest, 0},
    {"writereservation", wSkipDest, 0},
    {"writereservhash", wSkipDest, 0},
    {"xe", wSkipDest, 0},
    {"xform", wSkipDest, 0},
    {"xmlattrname", wSkipDest, 0},
    {"xmlattrvalue", wSkipDest, 0},
    {"xmlclose", wSkipDest, 0},
    {"xmlname", wSkipDest, 0},
    {"xmlnstbl", wSkipDest, 0},
    {"xmlopen", wSkipDest, 0},
    {"zwj", wChar, 0x200D},
    {"zwnj", wChar, 0x200C},
};

const TWordEntry *FindWord(const char *name)
{
    Q_ASSERT(
        std::is_sorted(std::begin(g_words), std::end(g_words), [](const TWordEntry &a, const TWordEntry &b) {
            return std::strcmp(a.name, b.name) < 0;
        }));
    const auto *begin = std::begin(g_words);
    const auto *end = std::end(g_words);
    const auto *it = std::lower_bound(
        begin, end, name, [](const TWordEntry &e, const char *n) { return std::strcmp(e.name, n) < 0; });
    if (it != end && std::strcmp(it->name, name) == 0)
        return it;
    return nullptr;
}

bool IsTextDest(TDest d)
{
    return d == TDest::Text || d == TDest::Field;
}

int Clamp(int value, int low, int high)
{
    return std::min(std::max(value, low), high);
}

constexpr int MaxTwips = 31680; // 22 inches
constexpr int MaxTabs = 64;
constexpr int MaxFontName = 256;

struct TFontEntry
{
    QString name;
    QString kind;
    int charset = -1;
    int codePage = 0; // \cpg
};

struct TFrame
{
    TCharProps chars;
    TParaProps para;
    qsizetype start = 0;
    int field = -1; // index into the fields of this read
    uint8_t uc = 1;
    TDest dest = TDest::Text;
    bool ignorable = false;
    bool fresh = true; // nothing read in the group yet: \* may mark it
    qsizetype emittedAtStart = 0;
    uint8_t pendingTab = 0;
};

struct TField
{
    QByteArray instruction;
    int id = 0;
    int parent = -1; // a field inside this one's result
    bool hadResult = false;
};

struct TPicture
{
    QByteArray data;
    int nibble = -1;
    int kind = 0; // 1 PNG, 2 JPEG
    int goalWidth = 0;
    int goalHeight = 0;
    int scaleX = 100;
    int scaleY = 100;
};

// The bytes of a group that the text ended inside: without a truncated escape
// at the end, and with the closing braces it lacks, so that it stays one
// balanced group when written back.
QByteArray CompleteGroup(QByteArray raw)
{
    // A backslash that escapes nothing, or \' with fewer than two digits.
    for (qsizetype cut = std::max<qsizetype>(0, raw.size() - 3); cut < raw.size(); ++cut) {
        if (raw.at(cut) != '\\')
            continue;
        qsizetype before = 0;
        while (cut - before - 1 >= 0 && raw.at(cut - before - 1) == '\\')
            ++before;
        if (before % 2 != 0)
            continue; // this backslash is itself escaped
        const qsizetype tail = raw.size() - cut;
        if (tail == 1 || (raw.at(cut + 1) == '\'' && tail < 4)) {
            raw.truncate(cut);
            break;
        }
    }
    int depth = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw.at(i);
        if (c == '\\' && raw.mid(i + 1, 3) == "bin") {
            // Binary data may hold braces that are no groups.
            qsizetype j = i + 4;
            long long count = 0;
            while (j < raw.size() && raw.at(j) >= '0' && raw.at(j) <= '9') {
                if (count < 1000000000)
                    count = count * 10 + (raw.at(j) - '0');
                ++j;
            }
            if (j < raw.size() && raw.at(j) == ' ')
                ++j;
            if (j + count > raw.size()) {
                // Binary data cut off by the end: drop it, or the closing
                // braces would count as more of it.
                raw.truncate(i);
                break;
            }
            i = j + count - 1;
        } else if (c == '\\') {
            ++i;
        } else if (c == '{')
            ++depth;
        else if (c == '}')
            --depth;
    }
    if (depth > 0)
        raw.append(depth, '}');
    return raw;
}

template<class TSource> class TParser
{
public:
    TParser(const TSource &source, QTextCursor &cursor, bool wholeDocument)
        : m_src(source)
        , m_cursor(cursor)
        , m_whole(wholeDocument)
    {
        m_originalBlockFormat = cursor.blockFormat();
        m_frames.reserve(64);
        m_frames.emplace_back();
    }

    QStringList Run();

private:
    TFrame &Top() { return m_frames.back(); }

    void Report(const QString &message)
    {
        if (!m_messages.contains(message))
            m_messages.append(message);
    }

    void ParseRtf(qsizetype pos);
    void ReadPlainText();

    void OpenGroup(qsizetype pos);
    void CloseGroup(qsizetype pos);
    qsizetype ControlWord(qsizetype pos);
    void HandleWord(const char *name, TWord word, char16_t ch, bool hasParam, int param, qsizetype &pos);
    void HandleByte(int byte);
    void HandleChar(char16_t c);
    void HandleUnicode(int value);
    void TextChar(char16_t c);
    void EmitChar(char16_t c);

    int CurrentCodePage();
    void FlushBytes();
    void ResolveHighSurrogate();
    void FlushText();
    void EndParagraph();
    void BreakParagraph(const TParaProps &para, const TCharProps &chars);
    void MaterialisePar();
    void ApplyParagraph(const TParaProps &props);
    void InsertObject(const QTextCharFormat &format);
    // A nested field's result is also its outer field's; the text keeps the
    // innermost instruction.
    void MarkResult(int field)
    {
        for (; field >= 0 && !m_fields[field].hadResult; field = m_fields[field].parent)
            m_fields[field].hadResult = true;
    }
    void InsertRaw(const TCharProps &props, int field, qsizetype from, qsizetype to);
    void FinishPicture(const TFrame &frame, qsizetype end);
    void CommitFont();
    void CommitColor();

    QTextCharFormat FormatFor(const TCharProps &props, int field);
    // A group kept whole holds what was read, not what was mended on the way:
    // written back as it came, it would need mending again on every read.
    QByteArray RawGroup(qsizetype from, qsizetype to) const
    {
        const qsizetype end = std::min(to, m_src.Size());
        auto repair = std::lower_bound(m_repairs.begin(), m_repairs.end(), from,
                                       [](const TRepair &r, qsizetype at) { return r.from < at; });
        QByteArray raw;
        qsizetype at = from;
        for (; repair != m_repairs.end() && repair->to <= end; ++repair) {
            raw.append(m_src.Raw(at, repair->from));
            if (repair->delimit)
                raw.append(' ');
            at = repair->to;
        }
        raw.append(m_src.Raw(at, end));
        return to > m_src.Size() ? CompleteGroup(std::move(raw)) : raw;
    }

    const TSource &m_src;
    QTextCursor &m_cursor;
    const bool m_whole;
    QTextBlockFormat m_originalBlockFormat;
    std::vector<TFrame> m_frames;
    QStringList m_messages;
    int m_overflow = 0;
    int m_extraClose = 0;
    int m_skip = 0;          // fallback characters still to skip after \u
    qsizetype m_emitted = 0; // characters and objects put into the document
    // Escapes that were dropped as unreadable, in the order of the text.
    struct TRepair
    {
        qsizetype from, to;
        bool delimit; // a control word ends right before it
    };
    std::vector<TRepair> m_repairs;
    qsizetype m_wordEnd = -1; // where the last control word ended without a space

    int m_ansiCodePage = 1252;
    int m_defaultFont = 0;
    std::map<int, TFontEntry> m_fonts;
    TFontEntry m_font;
    int m_fontId = -1;
    bool m_fontOpen = false;
    QByteArray m_fontNameBytes;

    QList<QColor> m_colors;
    bool m_sawFontTable = false;
    bool m_sawColorTable = false;
    int m_red = -1, m_green = -1, m_blue = -1;

    QByteArray m_bytes;
    int m_bytesCodePage = 1252;
    char16_t m_high = 0;

    QString m_text;
    TCharProps m_textProps;
    int m_textField = -1;

    TCharProps m_formatProps;
    int m_formatField = -2;
    QTextCharFormat m_format;

    std::vector<TField> m_fields;
    TPicture m_picture;
    int m_pnLevel = 0; // 1 bullet, 2 body, 3 continuation
    TNumbering m_pnStyle = TNumbering::None;
    QString m_pnBefore, m_pnAfter;

    QPointer<QTextList> m_list;
    QTextBlock m_listBlock;
    TParaProps m_finalPara;
    bool m_haveFinalPara = false;
    // A \par of a whole document waits until something follows it: the last
    // one ends the last paragraph instead of starting an empty one.
    bool m_pendingPar = false;
    TParaProps m_pendingPara;
    TCharProps m_pendingChars;
    bool m_sawFirstWord = false;
    TCodePageDecoder m_decoder;
};

template<class TSource> QStringList TParser<TSource>::Run()
{
    const qsizetype n = m_src.Size();
    qsizetype pos = 0;
    while (pos < n && (m_src.At(pos) == ' ' || m_src.At(pos) == '\t' || m_src.At(pos) == '\r' ||
                       m_src.At(pos) == '\n' || m_src.At(pos) == 0))
        ++pos;
    if (pos < n && m_src.At(pos) == '{') {
        ParseRtf(pos);
        return m_messages;
    }
    // Junk before the RTF: look for its start a little further on.
    for (qsizetype i = pos; i + 4 < n && i < pos + 4096; ++i) {
        if (m_src.At(i) == '{' && m_src.At(i + 1) == '\\' && m_src.At(i + 2) == 'r' &&
            m_src.At(i + 3) == 't' && m_src.At(i + 4) == 'f') {
            Report(RichTextStrings::TextBeforeRtf());
            ParseRtf(i);
            return m_messages;
        }
    }
    if (n > 0)
        Report(RichTextStrings::NotRtf());
    ReadPlainText();
    return m_messages;
}

template<class TSource> void TParser<TSource>::ReadPlainText()
{
    const qsizetype n = m_src.Size();
    QByteArray bytes;
    bytes.reserve(n);
    bool literal = false;
    for (qsizetype i = 0; i < n; ++i) {
        const int u = m_src.At(i);
        if (u >= 0x10000)
            literal = true;
        bytes.append(static_cast<char>(u & 0xFF));
    }
    QString text;
    if (literal) {
        // Only a QString source has literal characters; take it as it is.
        for (qsizetype i = 0; i < n; ++i) {
            const int u = m_src.At(i);
            text.append(u >= 0x10000 ? QChar(char16_t(u - 0x10000)) : QChar(CodePage1252::DecodeByte(u)));
        }
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8);
        text = utf8.decode(bytes);
        if (utf8.hasError())
            text = CodePage1252::Decode(bytes);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QString clean;
    clean.reserve(text.size());
    for (QChar c : std::as_const(text)) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\n' && u != u'\t') || u == 0xFDD0 || u == 0xFDD1 || u == 0x2029)
            continue;
        clean.append(c);
    }
    m_cursor.insertText(clean);
}

template<class TSource> void TParser<TSource>::ParseRtf(qsizetype pos)
{
    const qsizetype n = m_src.Size();
    m_cursor.beginEditBlock();
    while (pos < n) {
        const int c = m_src.At(pos);
        if (c == '{') {
            FlushBytes();
            OpenGroup(pos);
            ++pos;
            continue;
        }
        if (c == '}') {
            FlushBytes();
            CloseGroup(pos);
            ++pos;
            continue;
        }
        if (m_overflow > 0) {
            // Inside groups deeper than we follow: only braces count, and a
            // backslash escapes the next unit so an escaped brace is not one.
            pos += (c == '\\') ? 2 : 1;
            continue;
        }
        if (c == '\\') {
            pos = ControlWord(pos);
            continue;
        }
        ++pos;
        if (c == '\r' || c == '\n' || c == 0)
            continue;
        if (c >= 0x10000) {
            FlushBytes();
            HandleChar(char16_t(c - 0x10000));
        } else if (c >= 0x80) {
            HandleByte(c);
        } else {
            FlushBytes();
            if (c == '\t')
                HandleChar(u'\t');
            else if (c >= 0x20)
                HandleChar(char16_t(c));
        }
    }
    FlushBytes();
    if (m_overflow > 0 || m_frames.size() > 1)
        Report(RichTextStrings::MissingCloseBraces().arg(m_overflow + int(m_frames.size()) - 1));
    if (m_extraClose > 0)
        Report(RichTextStrings::ExtraCloseBraces().arg(m_extraClose));
    // Groups left open still end where the text ends, so that what they were
    // collecting (a picture, a kept group) is not lost.
    while (m_frames.size() > 1)
        CloseGroup(n);
    ResolveHighSurrogate();
    FlushText();
    if (m_whole) {
        if (m_pendingPar)
            ApplyParagraph(m_pendingPara);
        else
            ApplyParagraph(m_haveFinalPara ? m_finalPara : Top().para);
    }
    m_cursor.endEditBlock();
}

template<class TSource> void TParser<TSource>::OpenGroup(qsizetype pos)
{
    m_skip = 0;
    if (m_overflow > 0 || int(m_frames.size()) > TRtfReader::MaxDepth) {
        if (m_overflow == 0)
            Report(RichTextStrings::NestedTooDeep().arg(TRtfReader::MaxDepth));
        ++m_overflow;
        return;
    }
    TFrame frame = Top();
    frame.start = pos;
    frame.ignorable = false;
    frame.fresh = true;
    frame.emittedAtStart = m_emitted;
    m_frames.push_back(std::move(frame));
}

template<class TSource> void TParser<TSource>::CloseGroup(qsizetype pos)
{
    m_skip = 0;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_frames.size() <= 1) {
        ++m_extraClose;
        return;
    }
    TFrame frame = std::move(m_frames.back());
    m_frames.pop_back();
    // Past the text's end when the text ended inside the group.
    const qsizetype end = pos + 1;
    TFrame &parent = Top();
    switch (frame.dest) {
    case TDest::FontTable:
        if (parent.dest != TDest::FontTable || m_fontOpen)
            CommitFont();
        break;
    case TDest::ColorTable:
        if (parent.dest != TDest::ColorTable && (m_red >= 0 || m_green >= 0 || m_blue >= 0))
            CommitColor();
        break;
    case TDest::Picture:
        if (parent.dest != TDest::Picture)
            FinishPicture(frame, end);
        break;
    case TDest::FieldInst:
        if (parent.dest != TDest::FieldInst && frame.field >= 0)
            m_fields[frame.field].instruction = RawGroup(frame.start, end);
        break;
    case TDest::Field:
        if (parent.dest == TDest::Field && parent.field == frame.field)
            break;
        if (frame.field >= 0 && !m_fields[frame.field].hadResult)
            InsertRaw(parent.chars, parent.field, frame.start, end);
        break;
    case TDest::Verbatim:
        if (parent.dest != TDest::Verbatim)
            InsertRaw(parent.chars, parent.field, frame.start, end);
        break;
    case TDest::Pn:
        if (parent.dest != TDest::Pn) {
            TNumbering numbering = TNumbering::None;
            if (m_pnLevel == 1)
                numbering = TNumbering::Bullet;
            else if (m_pnLevel == 2)
                numbering = m_pnStyle == TNumbering::None ? TNumbering::Decimal : m_pnStyle;
            parent.para.numbering = numbering;
            if (numbering != TNumbering::None && numbering != TNumbering::Bullet) {
                parent.para.numberPrefix = m_pnBefore;
                parent.para.numberSuffix = m_pnAfter;
            } else {
                parent.para.numberPrefix.clear();
                parent.para.numberSuffix.clear();
            }
        }
        break;
    default:
        break;
    }
    if (m_frames.size() == 1) {
        m_finalPara = frame.para;
        m_haveFinalPara = true;
    }
}

template<class TSource> qsizetype TParser<TSource>::ControlWord(qsizetype pos)
{
    const qsizetype n = m_src.Size();
    const qsizetype at = pos;
    ++pos; // the backslash
    if (pos >= n) {
        Report(RichTextStrings::TruncatedEscape().arg(at));
        return pos;
    }
    const int c = m_src.At(pos);
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter) {
        ++pos;
        if (c == '\'') {
            if (pos + 2 > n) {
                Report(RichTextStrings::TruncatedEscape().arg(at));
                return n;
            }
            int value = 0;
            for (int k = 0; k < 2; ++k) {
                const int h = m_src.At(pos);
                int digit = -1;
                if (h >= '0' && h <= '9')
                    digit = h - '0';
                else if (h >= 'a' && h <= 'f')
                    digit = h - 'a' + 10;
                else if (h >= 'A' && h <= 'F')
                    digit = h - 'A' + 10;
                if (digit < 0) {
                    // Inside a group that is skipped or kept as it stands the
                    // escape is not read, so nothing was repaired.
                    const TDest d = Top().dest;
                    if (d != TDest::Skip && d != TDest::Verbatim && d != TDest::FieldInst &&
                        d != TDest::Picture) {
                        Report(RichTextStrings::InvalidHexEscape().arg(at));
                        m_repairs.push_back({at, pos, m_wordEnd == at});
                    }
                    return pos;
                }
                value = value * 16 + digit;
                ++pos;
            }
            if (m_skip > 0) {
                --m_skip;
                return pos;
            }
            HandleByte(value);
            return pos;
        }
        FlushBytes();
        if (m_skip > 0 && c != '{' && c != '}' && c != '\\') {
            --m_skip;
            return pos;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            HandleChar(char16_t(c));
            break;
        case '~':
            HandleChar(u'\u00A0');
            break;
        case '-':
            HandleChar(u'\u00AD');
            break;
        case '_':
            HandleChar(u'\u2011');
            break;
        case '*':
            // Only a group's first word can be an ignorable destination.
            if (Top().fresh)
                Top().ignorable = true;
            break;
        case '\r':
        case '\n':
            HandleWord("par", wPar, 0, false, 0, pos);
            break;
        case '\t':
            HandleChar(u'\t');
            break;
        default:
            break; // \: \| and others have no meaning here
        }
        return pos;
    }
    FlushBytes();
    char name[33];
    int length = 0;
    while (pos < n) {
        const int l = m_src.At(pos);
        if (!((l >= 'a' && l <= 'z') || (l >= 'A' && l <= 'Z')))
            break;
        if (length < 32)
            name[length] = static_cast<char>(l);
        ++length;
        ++pos;
    }
    const bool tooLong = length > 32;
    name[std::min(length, 32)] = 0;
    bool hasParam = false;
    bool negative = false;
    long long value = 0;
    if (pos < n && m_src.At(pos) == '-' && pos + 1 < n && m_src.At(pos + 1) >= '0' &&
        m_src.At(pos + 1) <= '9') {
        negative = true;
        ++pos;
    }
    while (pos < n && m_src.At(pos) >= '0' && m_src.At(pos) <= '9') {
        hasParam = true;
        if (value < 100000000000LL)
            value = value * 10 + (m_src.At(pos) - '0');
        ++pos;
    }
    if (negative)
        value = -value;
    value = std::clamp<long long>(value, INT32_MIN, INT32_MAX);
    m_wordEnd = pos;
    if (pos < n && m_src.At(pos) == ' ')
        ++pos;
    const TWordEntry *entry = tooLong ? nullptr : FindWord(name);
    const TWord word = entry ? entry->word : wUnknown;
    if (m_skip > 0) {
        --m_skip;
        if (word == wBin && hasParam && value > 0)
            pos += std::min<qsizetype>(value, n - pos);
        return pos;
    }
    HandleWord(name, word, entry ? entry->ch : 0, hasParam, static_cast<int>(value), pos);
    return pos;
}

template<class TSource>
void TParser<TSource>::HandleWord(const char *name, TWord word, char16_t ch, bool hasParam, int param,
                                  qsizetype &pos)
{
    TFrame &f = Top();
    const int on = hasParam ? param : 1;
    if (!m_sawFirstWord) {
        m_sawFirstWord = true;
        if (word != wRtf)
            Report(RichTextStrings::MissingRtfHeader());
    }

    // \bin is data in every destination.
    if (word == wBin) {
        const qsizetype n = m_src.Size();
        qsizetype count = std::max(0, param);
        if (count > n - pos) {
            Report(RichTextStrings::TruncatedBinary());
            count = n - pos;
        }
        if (f.dest == TDest::Picture) {
            m_picture.data.reserve(m_picture.data.size() + count);
            for (qsizetype i = 0; i < count; ++i)
                m_picture.data.append(static_cast<char>(m_src.At(pos + i) & 0xFF));
        }
        pos += count;
        return;
    }

    const bool ignorable = f.ignorable;
    f.ignorable = false;
    f.fresh = false;
    // Inside what is skipped or kept as it stands, no word means anything.
    if (f.dest == TDest::Skip || f.dest == TDest::Verbatim || f.dest == TDest::FieldInst)
        return;
    // Tables, pictures and numbering hold no destinations of their own but
    // the numbering texts.
    const bool destination = word == wFonttbl || word == wColortbl || word == wPict || word == wField ||
                             word == wFldinst || word == wFldrslt || word == wVerbatimDest ||
                             word == wShppict || word == wPn || word == wPntxta || word == wPntxtb ||
                             word == wSkipDest;
    if (destination && !IsTextDest(f.dest) &&
        !(f.dest == TDest::Pn && (word == wPntxta || word == wPntxtb))) {
        f.dest = TDest::Skip;
        return;
    }
    // A group kept whole must not have shown part of itself already.
    if ((word == wPict || word == wField || word == wVerbatimDest) && m_emitted != f.emittedAtStart) {
        f.dest = TDest::Skip;
        return;
    }

    // Destinations.
    switch (word) {
    // A document has one font table and one colour table; another one later
    // (pasted documents inside fields or objects) must not redefine them.
    case wFonttbl:
        f.dest = m_sawFontTable ? TDest::Skip : TDest::FontTable;
        m_sawFontTable = true;
        m_fontOpen = false;
        return;
    case wColortbl:
        f.dest = m_sawColorTable ? TDest::Skip : TDest::ColorTable;
        m_sawColorTable = true;
        return;
    case wPict:
        if (IsTextDest(f.dest)) {
            f.dest = TDest::Picture;
            m_picture = TPicture();
        } else if (f.dest != TDest::Picture) {
            f.dest = TDest::Skip;
        }
        return;
    case wField:
        if (IsTextDest(f.dest)) {
            f.dest = TDest::Field;
            TField field;
            field.id = g_nextFieldId.fetch_add(1, std::memory_order_relaxed);
            field.parent = f.field;
            m_fields.push_back(field);
            f.field = int(m_fields.size()) - 1;
        } else {
            f.dest = TDest::Skip;
        }
        return;
    case wFldinst:
        // One instruction per field, before its result.
        if (f.dest == TDest::Field && f.field >= 0 && m_fields[f.field].instruction.isEmpty() &&
            !m_fields[f.field].hadResult)
            f.dest = TDest::FieldInst;
        else
            f.dest = TDest::Skip;
        return;
    case wFldrslt:
        if (f.dest == TDest::Field) {
            f.dest = TDest::Text;
        } else {
            f.dest = TDest::Skip;
        }
        return;
    case wVerbatimDest:
        f.dest = IsTextDest(f.dest) ? TDest::Verbatim : TDest::Skip;
        return;
    case wShppict:
        if (!IsTextDest(f.dest))
            f.dest = TDest::Skip;
        return;
    case wPn:
        if (IsTextDest(f.dest)) {
            f.dest = TDest::Pn;
            m_pnLevel = 0;
            m_pnStyle = TNumbering::None;
            m_pnBefore.clear();
            m_pnAfter.clear();
        } else {
            f.dest = TDest::Skip;
        }
        return;
    case wPntxta:
    case wPntxtb:
        if (f.dest == TDest::Pn)
            f.dest = word == wPntxta ? TDest::PnTextAfter : TDest::PnTextBefore;
        else
            f.dest = TDest::Skip;
        return;
    case wSkipDest:
        f.dest = TDest::Skip;
        return;
    default:
        break;
    }
    if (ignorable && word == wUnknown) {
        f.dest = TDest::Skip;
        return;
    }
    switch (f.dest) {
    case TDest::Skip:
    case TDest::Verbatim:
    case TDest::FieldInst:
        return;
    case TDest::FontTable:
        switch (word) {
        case wF:
            if (m_fontOpen)
                CommitFont();
            m_font = TFontEntry();
            m_fontId = param;
            m_fontOpen = true;
            m_fontNameBytes.clear();
            return;
        case wFcharset:
            m_font.charset = Clamp(param, 0, 255);
            return;
        case wCpg:
            m_font.codePage = param;
            return;
        case wFamily:
            // \fnil is what a font without a family word is; only others are kept.
            if (std::strcmp(name, "fnil") != 0)
                m_font.kind = QString::fromLatin1(name + 1);
            return;
        case wU:
            HandleUnicode(param);
            m_skip = f.uc;
            return;
        case wPard:
        case wPar:
        case wPlain:
        case wViewkind:
            // A font table that never closed: the body follows inside it.
            CommitFont();
            for (TFrame &frame : m_frames) {
                if (frame.dest == TDest::FontTable)
                    frame.dest = TDest::Text;
            }
            Report(RichTextStrings::MissingCloseBraces().arg(1));
            break; // handled as a body word below
        default:
            if (word == wAnsicpg || word == wDeff || word == wUc)
                break;
            return;
        }
        break;
    case TDest::ColorTable:
        switch (word) {
        case wRed:
            m_red = Clamp(param, 0, 255);
            return;
        case wGreen:
            m_green = Clamp(param, 0, 255);
            return;
        case wBlue:
            m_blue = Clamp(param, 0, 255);
            return;
        default:
            return;
        }
    case TDest::Picture:
        switch (word) {
        case wPngblip:
            m_picture.kind = 1;
            return;
        case wJpegblip:
            m_picture.kind = 2;
            return;
        case wPicwgoal:
            m_picture.goalWidth = Clamp(param, 0, 0x7FFF * 20);
            return;
        case wPichgoal:
            m_picture.goalHeight = Clamp(param, 0, 0x7FFF * 20);
            return;
        case wPicscalex:
            m_picture.scaleX = Clamp(param, 1, 1000);
            return;
        case wPicscaley:
            m_picture.scaleY = Clamp(param, 1, 1000);
            return;
        default:
            return;
        }
    case TDest::Pn:
        switch (word) {
        case wPnlvlblt:
            m_pnLevel = 1;
            return;
        case wPnlvlbody:
            m_pnLevel = 2;
            return;
        case wPnlvlcont:
            m_pnLevel = 3;
            return;
        case wPndec:
            m_pnStyle = TNumbering::Decimal;
            return;
        case wPnlcltr:
            m_pnStyle = TNumbering::LowerAlpha;
            return;
        case wPnucltr:
            m_pnStyle = TNumbering::UpperAlpha;
            return;
        case wPnlcrm:
            m_pnStyle = TNumbering::LowerRoman;
            return;
        case wPnucrm:
            m_pnStyle = TNumbering::UpperRoman;
            return;
        default:
            if (std::strncmp(name, "pnlvl", 5) == 0 && hasParam)
                m_pnLevel = 2;
            return;
        }
    case TDest::PnTextBefore:
    case TDest::PnTextAfter:
        if (word == wU) {
            HandleUnicode(param);
            m_skip = f.uc;
        } else if (word == wChar) {
            HandleChar(ch);
        } else if (word == wTab || word == wLine) {
            // What the text itself may hold, so also what it is written as.
            HandleChar(word == wTab ? u'\t' : u'\u2028');
        }
        return;
    default:
        break;
    }

    // Text destinations: document-wide, character and paragraph words.
    TCharProps &cp = Top().chars;
    TParaProps &pp = Top().para;
    switch (word) {
    case wAnsi:
        m_ansiCodePage = 1252;
        break;
    case wMac:
        m_ansiCodePage = 10000;
        break;
    case wPc:
        m_ansiCodePage = 437;
        break;
    case wPca:
        m_ansiCodePage = 850;
        break;
    case wAnsicpg:
        m_ansiCodePage = TCodePageDecoder::IsKnown(param) ? param : 1252;
        break;
    case wDeff:
        m_defaultFont = param;
        break;
    case wUc:
        Top().uc = static_cast<uint8_t>(Clamp(param, 0, 255));
        break;
    case wU:
        HandleUnicode(param);
        m_skip = Top().uc;
        break;
    case wF:
        cp.font = param;
        break;
    case wPlain:
        cp = TCharProps();
        break;
    case wB:
        cp.bold = on != 0;
        break;
    case wI:
        cp.italic = on != 0;
        break;
    case wUl:
        cp.underline = on != 0 ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
        cp.doubleUnderline = false;
        break;
    case wUlnone:
        cp.underline = QTextCharFormat::NoUnderline;
        cp.doubleUnderline = false;
        break;
    case wUld:
    case wUldash:
    case wUldashd:
    case wUldashdd:
    case wUlwave:
    case wUldb: {
        QTextCharFormat::UnderlineStyle style = QTextCharFormat::SingleUnderline;
        if (word == wUld)
            style = QTextCharFormat::DotLine;
        else if (word == wUldash)
            style = QTextCharFormat::DashUnderline;
        else if (word == wUldashd)
            style = QTextCharFormat::DashDotLine;
        else if (word == wUldashdd)
            style = QTextCharFormat::DashDotDotLine;
        else if (word == wUlwave)
            style = QTextCharFormat::WaveUnderline;
        cp.underline = on != 0 ? style : QTextCharFormat::NoUnderline;
        cp.doubleUnderline = on != 0 && word == wUldb;
        break;
    }
    case wStrike:
        cp.strike = on != 0;
        break;
    case wCf:
        cp.color = std::max(0, param);
        break;
    case wCb:
        cp.background = std::max(0, param);
        break;
    case wFs:
        if (!hasParam)
            cp.halfPoints = 24;
        else if (param > 0)
            cp.halfPoints = Clamp(param, 2, 3276);
        break;
    case wSuper:
        cp.vertical = on != 0 ? TVertical::Super : TVertical::Normal;
        break;
    case wSub:
        cp.vertical = on != 0 ? TVertical::Sub : TVertical::Normal;
        break;
    case wNosupersub:
        cp.vertical = TVertical::Normal;
        break;
    case wUp:
        cp.vertical = (!hasParam || param > 0) ? TVertical::Super : TVertical::Normal;
        break;
    case wDn:
        cp.vertical = (!hasParam || param > 0) ? TVertical::Sub : TVertical::Normal;
        break;
    case wV:
        cp.hidden = on != 0;
        break;
    case wProtect:
        cp.protect = on != 0;
        break;
    case wPard:
        pp = TParaProps();
        Top().pendingTab = 0;
        break;
    case wQl:
        pp.align = TAlign::Left;
        break;
    case wQr:
        pp.align = TAlign::Right;
        break;
    case wQc:
        pp.align = TAlign::Center;
        break;
    case wQj:
        pp.align = TAlign::Justify;
        break;
    case wLi:
        pp.left = Clamp(param, -MaxTwips, MaxTwips);
        break;
    case wRi:
        pp.right = Clamp(param, -MaxTwips, MaxTwips);
        break;
    case wFi:
        pp.first = Clamp(param, -MaxTwips, MaxTwips);
        break;
    case wSb:
        pp.before = Clamp(param, 0, MaxTwips);
        break;
    case wSa:
        pp.after = Clamp(param, 0, MaxTwips);
        break;
    case wSl:
        pp.lineSpacing = Clamp(param, -MaxTwips, MaxTwips);
        break;
    case wSlmult:
        pp.lineMultiple = param != 0 ? 1 : 0;
        break;
    case wTqr:
        Top().pendingTab = 2;
        break;
    case wTqc:
        Top().pendingTab = 1;
        break;
    case wTqdec:
        Top().pendingTab = 3;
        break;
    case wTx:
        if (pp.tabs.size() < MaxTabs && hasParam) {
            TTab tab;
            tab.position = Clamp(param, 0, MaxTwips);
            tab.kind = Top().pendingTab;
            pp.tabs.append(tab);
        }
        Top().pendingTab = 0;
        break;
    case wLs:
        // Word's lists are shown as bullets.
        pp.numbering = TNumbering::Bullet;
        pp.numberPrefix.clear();
        pp.numberSuffix.clear();
        break;
    case wPar:
        EndParagraph();
        break;
    case wLine:
        HandleChar(u'\u2028');
        break;
    case wTab:
    case wCell:
        HandleChar(u'\t');
        break;
    case wChar:
        HandleChar(ch);
        break;
    default:
        break;
    }
}

template<class TSource> int TParser<TSource>::CurrentCodePage()
{
    const TFrame &f = Top();
    if (f.dest == TDest::FontTable) {
        if (m_font.codePage > 0)
            return m_font.codePage;
        return m_font.charset >= 0 ? CodePageForCharset(m_font.charset, m_ansiCodePage) : m_ansiCodePage;
    }
    const int id = f.chars.font >= 0 ? f.chars.font : m_defaultFont;
    const auto it = m_fonts.find(id);
    if (it == m_fonts.end())
        return m_ansiCodePage;
    if (it->second.codePage > 0)
        return it->second.codePage;
    return it->second.charset >= 0 ? CodePageForCharset(it->second.charset, m_ansiCodePage) : m_ansiCodePage;
}

template<class TSource> void TParser<TSource>::HandleByte(int byte)
{
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    const TDest d = Top().dest;
    if (!IsTextDest(d) && d != TDest::FontTable && d != TDest::PnTextBefore && d != TDest::PnTextAfter)
        return;
    const int codePage = CurrentCodePage();
    if (codePage == 1252 && m_bytes.isEmpty()) {
        TextChar(CodePage1252::DecodeByte(static_cast<unsigned char>(byte)));
        return;
    }
    if (!m_bytes.isEmpty() && m_bytesCodePage != codePage)
        FlushBytes();
    m_bytesCodePage = codePage;
    m_bytes.append(static_cast<char>(byte));
}

template<class TSource> void TParser<TSource>::FlushBytes()
{
    if (m_bytes.isEmpty())
        return;
    const QString text = m_decoder.Decode(m_bytesCodePage, m_bytes);
    m_bytes.clear();
    for (QChar c : text)
        TextChar(c.unicode());
}

template<class TSource> void TParser<TSource>::HandleChar(char16_t c)
{
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    TextChar(c);
}

template<class TSource> void TParser<TSource>::HandleUnicode(int value)
{
    if (value < 0)
        value += 65536;
    if (value < 0 || value > 0xFFFF)
        value = 0xFFFD;
    TextChar(char16_t(value));
}

template<class TSource> void TParser<TSource>::TextChar(char16_t c)
{
    TFrame &f = Top();
    f.fresh = false;
    switch (f.dest) {
    case TDest::Text:
    case TDest::Field:
        break;
    case TDest::FontTable:
        if (c == u';') {
            CommitFont();
        } else if (m_fontOpen && m_font.name.size() < MaxFontName) {
            m_font.name.append(QChar(c));
        }
        return;
    case TDest::ColorTable:
        if (c == u';')
            CommitColor();
        return;
    case TDest::Picture: {
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return;
        if (m_picture.nibble < 0) {
            m_picture.nibble = digit;
        } else {
            m_picture.data.append(static_cast<char>(m_picture.nibble * 16 + digit));
            m_picture.nibble = -1;
        }
        return;
    }
    case TDest::PnTextBefore:
        if (m_pnBefore.size() < 32)
            m_pnBefore.append(QChar(c));
        return;
    case TDest::PnTextAfter:
        if (m_pnAfter.size() < 32)
            m_pnAfter.append(QChar(c));
        return;
    default:
        return;
    }
    if (QChar::isHighSurrogate(c)) {
        if (m_high != 0)
            EmitChar(u'\uFFFD');
        m_high = c;
        return;
    }
    if (QChar::isLowSurrogate(c)) {
        if (m_high != 0) {
            const char16_t high = m_high;
            m_high = 0;
            EmitChar(high);
            EmitChar(c);
        } else {
            Report(RichTextStrings::InvalidSurrogate());
            EmitChar(u'\uFFFD');
        }
        return;
    }
    ResolveHighSurrogate();
    // Characters that would break a paragraph or a frame in the document.
    if ((c < 0x20 && c != u'\t') || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1)
        return;
    EmitChar(c);
}

template<class TSource> void TParser<TSource>::ResolveHighSurrogate()
{
    if (m_high != 0) {
        m_high = 0;
        Report(RichTextStrings::InvalidSurrogate());
        EmitChar(u'\uFFFD');
    }
}

template<class TSource> void TParser<TSource>::EmitChar(char16_t c)
{
    const TFrame &f = Top();
    if (m_pendingPar)
        MaterialisePar();
    if (!m_text.isEmpty() && (f.chars != m_textProps || f.field != m_textField))
        FlushText();
    if (m_text.isEmpty()) {
        m_textProps = f.chars;
        m_textField = f.field;
    }
    MarkResult(f.field);
    ++m_emitted;
    m_text.append(QChar(c));
}

template<class TSource> QTextCharFormat TParser<TSource>::FormatFor(const TCharProps &props, int field)
{
    if (props == m_formatProps && field == m_formatField)
        return m_format;
    QTextCharFormat format;
    const auto font = m_fonts.find(props.font >= 0 ? props.font : m_defaultFont);
    if (font != m_fonts.end()) {
        format.setFontFamilies(QStringList{font->second.name});
        if (font->second.charset >= 0)
            format.setProperty(PropFontCharset, font->second.charset);
        if (!font->second.kind.isEmpty())
            format.setProperty(PropFontKind, font->second.kind);
    }
    format.setFontPointSize(props.halfPoints / 2.0);
    format.setFontWeight(props.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(props.italic);
    format.setUnderlineStyle(static_cast<QTextCharFormat::UnderlineStyle>(props.underline));
    format.setFontStrikeOut(props.strike);
    format.setVerticalAlignment(props.vertical == TVertical::Super ? QTextCharFormat::AlignSuperScript
                                : props.vertical == TVertical::Sub ? QTextCharFormat::AlignSubScript
                                                                   : QTextCharFormat::AlignNormal);
    const QColor color = m_colors.value(props.color);
    if (props.color > 0 && color.isValid())
        format.setForeground(color);
    const QColor background = m_colors.value(props.background);
    if (props.background > 0 && background.isValid())
        format.setBackground(background);
    if (props.hidden)
        format.setProperty(PropHidden, true);
    if (props.protect)
        format.setProperty(PropProtected, true);
    if (props.doubleUnderline)
        format.setProperty(PropDoubleUnderline, true);
    if (field >= 0) {
        format.setProperty(PropFieldInstruction, m_fields[field].instruction);
        format.setProperty(PropFieldId, m_fields[field].id);
    }
    m_formatProps = props;
    m_formatField = field;
    m_format = format;
    return format;
}

template<class TSource> void TParser<TSource>::FlushText()
{
    if (m_text.isEmpty())
        return;
    m_cursor.insertText(m_text, FormatFor(m_textProps, m_textField));
    m_text.clear();
}

template<class TSource> void TParser<TSource>::ApplyParagraph(const TParaProps &props)
{
    QTextBlock block = m_cursor.block();
    // Setting the block format drops the list membership, so the list comes after.
    if (QTextList *list = block.textList())
        list->remove(block);
    m_cursor.setBlockFormat(BlockFormatFromProps(props));
    if (props.numbering == TNumbering::None) {
        m_list = nullptr;
        m_listBlock = QTextBlock();
        return;
    }
    QTextListFormat::Style style = QTextListFormat::ListDisc;
    switch (props.numbering) {
    case TNumbering::Decimal:
        style = QTextListFormat::ListDecimal;
        break;
    case TNumbering::LowerAlpha:
        style = QTextListFormat::ListLowerAlpha;
        break;
    case TNumbering::UpperAlpha:
        style = QTextListFormat::ListUpperAlpha;
        break;
    case TNumbering::LowerRoman:
        style = QTextListFormat::ListLowerRoman;
        break;
    case TNumbering::UpperRoman:
        style = QTextListFormat::ListUpperRoman;
        break;
    default:
        break;
    }
    const bool continues = m_list && m_listBlock.isValid() && m_listBlock == block.previous() &&
                           m_list->format().style() == style &&
                           m_list->format().numberPrefix() == props.numberPrefix &&
                           m_list->format().numberSuffix() == props.numberSuffix;
    if (continues) {
        m_list->add(block);
    } else {
        QTextListFormat listFormat;
        listFormat.setStyle(style);
        listFormat.setIndent(1);
        if (style != QTextListFormat::ListDisc) {
            listFormat.setNumberPrefix(props.numberPrefix);
            listFormat.setNumberSuffix(props.numberSuffix);
        }
        m_list = m_cursor.createList(listFormat);
    }
    m_listBlock = block;
}

template<class TSource> void TParser<TSource>::BreakParagraph(const TParaProps &para, const TCharProps &chars)
{
    ApplyParagraph(para);
    // The new block carries what follows the insertion point, so it keeps the
    // paragraph format (and list) that the text had there.
    m_cursor.insertBlock(m_originalBlockFormat, FormatFor(chars, -1));
}

template<class TSource> void TParser<TSource>::MaterialisePar()
{
    if (!m_pendingPar)
        return;
    m_pendingPar = false;
    BreakParagraph(m_pendingPara, m_pendingChars);
}

template<class TSource> void TParser<TSource>::EndParagraph()
{
    ResolveHighSurrogate();
    FlushText();
    MaterialisePar();
    // A paragraph break is content too: a field or group that made one is not
    // kept whole afterwards.
    MarkResult(Top().field);
    ++m_emitted;
    if (m_whole) {
        m_pendingPar = true;
        m_pendingPara = Top().para;
        m_pendingChars = Top().chars;
    } else {
        BreakParagraph(Top().para, Top().chars);
    }
}

template<class TSource> void TParser<TSource>::InsertObject(const QTextCharFormat &format)
{
    ResolveHighSurrogate();
    FlushText();
    MaterialisePar();
    ++m_emitted;
    m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
}

template<class TSource>
void TParser<TSource>::InsertRaw(const TCharProps &props, int field, qsizetype from, qsizetype to)
{
    MarkResult(field);
    QTextCharFormat format = FormatFor(props, field);
    format.setObjectType(RawObjectType);
    format.setProperty(PropRawRtf, RawGroup(from, to));
    InsertObject(format);
}

template<class TSource> void TParser<TSource>::FinishPicture(const TFrame &frame, qsizetype end)
{
    const TFrame &parent = Top();
    if (!IsTextDest(parent.dest))
        return;
    if (m_picture.kind != 0) {
        QImage image;
        image.loadFromData(m_picture.data, m_picture.kind == 1 ? "PNG" : "JPEG");
        if (!image.isNull()) {
            const QByteArray raw = RawGroup(frame.start, end);
            const QString name =
                QStringLiteral("rtfpict:") +
                QString::fromLatin1(QCryptographicHash::hash(raw, QCryptographicHash::Md5).toHex());
            QTextDocument *document = m_cursor.document();
            document->addResource(QTextDocument::ImageResource, QUrl(name), image);
            QTextImageFormat format;
            format.merge(FormatFor(parent.chars, parent.field));
            format.setObjectType(QTextFormat::ImageObject);
            format.setName(name);
            double width = m_picture.goalWidth > 0 ? TwipsToPixels(m_picture.goalWidth) : image.width();
            double height = m_picture.goalHeight > 0 ? TwipsToPixels(m_picture.goalHeight) : image.height();
            width = width * m_picture.scaleX / 100.0;
            height = height * m_picture.scaleY / 100.0;
            format.setWidth(width);
            format.setHeight(height);
            format.setProperty(PropRawRtf, raw);
            MarkResult(parent.field);
            InsertObject(format);
            m_picture = TPicture();
            return;
        }
        Report(RichTextStrings::UnreadablePicture());
    }
    m_picture = TPicture();
    InsertRaw(parent.chars, parent.field, frame.start, end);
}

template<class TSource> void TParser<TSource>::CommitFont()
{
    if (!m_fontOpen)
        return;
    // Control characters have no place in a font name (and would not survive
    // being written as control words).
    m_font.name.removeIf([](QChar c) { return c.unicode() < 0x20; });
    m_font.name = m_font.name.trimmed();
    m_fonts[m_fontId] = m_font;
    m_fontOpen = false;
}

template<class TSource> void TParser<TSource>::CommitColor()
{
    if (m_red < 0 && m_green < 0 && m_blue < 0)
        m_colors.append(QColor());
    else
        m_colors.append(QColor(std::max(0, m_red), std::max(0, m_green), std::max(0, m_blue)));
    m_red = m_green = m_blue = -1;
}

template<class TSource> QStringList ReadInto(const TSource &source, QTextCursor &cursor, bool whole)
{
    TParser<TSource> parser(source, cursor, whole);
    return parser.Run();
}

template<class TSource> QStringList ReadDocument(QTextDocument &document, const TSource &source)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    const QStringList messages = ReadInto(source, cursor, true);
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
    return messages;
}

} // namespace

QStringList TRtfReader::Read(QTextDocument &document, QByteArrayView rtf)
{
    return ReadDocument(document, TByteSource{rtf});
}

QStringList TRtfReader::Read(QTextDocument &document, QStringView rtf)
{
    return ReadDocument(document, TStringSource{rtf});
}

QStringList TRtfReader::Read(QTextDocument &document, const QStringList &lines)
{
    const QString rtf = lines.join(QStringLiteral("\r\n"));
    return Read(document, QStringView(rtf));
}

QStringList TRtfReader::Insert(QTextCursor &cursor, QByteArrayView rtf)
{
    cursor.removeSelectedText();
    return ReadInto(TByteSource{rtf}, cursor, false);
}

QStringList TRtfReader::Insert(QTextCursor &cursor, QStringView rtf)
{
    cursor.removeSelectedText();
    return ReadInto(TStringSource{rtf}, cursor, false);
}
