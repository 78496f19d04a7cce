#include "richtext/RtfWriter.h"

#include "foundation/CodePage.h"
#include "richtext/RtfFormat.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <unordered_map>
#include <vector>

using namespace RtfFormat;

namespace {

struct TFontKey
{
    QString name;
    QString kind;
    int charset = -1;

    bool operator==(const TFontKey &) const = default;
};

// What the writer needs to know about one character format.
struct TRun
{
    TCharProps props;
    bool ansi = true; // the font's bytes are Windows-1252
    int fieldId = 0;
    QByteArray instruction;
    bool object = false;
    bool image = false;
    QByteArray raw;
    QString imageName;
    double width = 0;
    double height = 0;
};

struct TParaInfo
{
    TParaProps props;
    QString itemText;
};

const char g_hex[] = "0123456789abcdef";

class TWriter
{
public:
    TWriter(const QTextDocument &document, int from, int to, bool whole)
        : m_doc(document)
        , m_from(from)
        , m_to(to)
        , m_whole(whole)
    {
        const QFont font = document.defaultFont();
        m_defaultFamily = font.family();
        m_defaultHalfPoints = font.pointSizeF() > 0 ? qRound(font.pointSizeF() * 2) : 20;
    }

    QByteArray Run();

private:
    template<class F> void ForEachBlock(F &&f);
    const TRun &RunFor(int formatIndex, const QTextCharFormat &format);
    int FontIndex(const TFontKey &key);
    int ColorIndex(const QColor &color);
    TParaInfo ParaFor(const QTextBlock &block);

    void Word(const char *word);
    void Word(const char *word, int param);
    void Text(char c);
    void Char(char16_t c, bool ansi);
    void ChangeTo(const TCharProps &props);
    void WriteObject(const TRun &run, int count);
    void WriteParaProps(const TParaProps &props);
    void WriteNumbering(const TParaProps &props);
    void OpenField(const TRun &run);
    void CloseField();

    const QTextDocument &m_doc;
    const int m_from;
    const int m_to;
    const bool m_whole;
    QString m_defaultFamily;
    int m_defaultHalfPoints = 20;

    std::unordered_map<int, TRun> m_runs;
    std::vector<TFontKey> m_fonts;
    std::vector<QRgb> m_colors;
    int m_symbolFont = -1;

    QByteArray m_out;
    bool m_delimit = false;
    TCharProps m_state;
    TCharProps m_fieldSaved;
    int m_openField = 0;
    QByteArray m_openInstruction;
};

template<class F> void TWriter::ForEachBlock(F &&f)
{
    const QTextBlock first = m_doc.findBlock(m_from);
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        if (block.position() > m_to)
            break;
        if (block.position() == m_to && block != first && !m_whole)
            break;
        f(block);
    }
}

int TWriter::FontIndex(const TFontKey &key)
{
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts[i] == key)
            return int(i);
    }
    m_fonts.push_back(key);
    return int(m_fonts.size()) - 1;
}

int TWriter::ColorIndex(const QColor &color)
{
    const QRgb rgb = color.rgb() & 0xFFFFFF;
    for (size_t i = 0; i < m_colors.size(); ++i) {
        if (m_colors[i] == rgb)
            return int(i) + 1;
    }
    m_colors.push_back(rgb);
    return int(m_colors.size());
}

const TRun &TWriter::RunFor(int formatIndex, const QTextCharFormat &format)
{
    const auto it = m_runs.find(formatIndex);
    if (it != m_runs.end())
        return it->second;
    TRun run;
    TFontKey font;
    const QStringList families = format.fontFamilies().toStringList();
    font.name = families.value(0);
    if (font.name.isEmpty())
        font.name = m_defaultFamily;
    if (format.hasProperty(PropFontCharset))
        font.charset = format.intProperty(PropFontCharset);
    font.kind = format.stringProperty(PropFontKind);
    run.props.font = FontIndex(font);
    run.ansi = font.charset < 0 || CodePageForCharset(font.charset, 1252) == 1252;
    if (format.hasProperty(QTextFormat::FontPointSize))
        run.props.halfPoints = std::clamp(qRound(format.fontPointSize() * 2), 2, 3276);
    else
        run.props.halfPoints = m_defaultHalfPoints;
    run.props.bold = format.fontWeight() >= QFont::DemiBold;
    run.props.italic = format.fontItalic();
    run.props.strike = format.fontStrikeOut();
    QTextCharFormat::UnderlineStyle underline = format.underlineStyle();
    if (underline == QTextCharFormat::SpellCheckUnderline)
        underline = QTextCharFormat::SingleUnderline;
    run.props.underline = static_cast<uint8_t>(underline);
    run.props.doubleUnderline =
        underline == QTextCharFormat::SingleUnderline && format.boolProperty(PropDoubleUnderline);
    switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript:
        run.props.vertical = TVertical::Super;
        break;
    case QTextCharFormat::AlignSubScript:
        run.props.vertical = TVertical::Sub;
        break;
    default:
        break;
    }
    if (format.foreground().style() != Qt::NoBrush)
        run.props.color = ColorIndex(format.foreground().color());
    if (format.background().style() != Qt::NoBrush)
        run.props.background = ColorIndex(format.background().color());
    run.props.hidden = format.boolProperty(PropHidden);
    run.props.protect = format.boolProperty(PropProtected);
    if (format.hasProperty(PropFieldInstruction)) {
        run.instruction = format.property(PropFieldInstruction).toByteArray();
        run.fieldId = format.intProperty(PropFieldId);
        if (run.instruction.isEmpty())
            run.fieldId = 0;
    }
    if (format.isImageFormat()) {
        run.image = true;
        const QTextImageFormat image = format.toImageFormat();
        run.imageName = image.name();
        run.width = image.width();
        run.height = image.height();
        run.raw = format.property(PropRawRtf).toByteArray();
    } else if (format.objectType() == RawObjectType) {
        run.object = true;
        run.raw = format.property(PropRawRtf).toByteArray();
    }
    return m_runs.emplace(formatIndex, std::move(run)).first->second;
}

TParaInfo TWriter::ParaFor(const QTextBlock &block)
{
    TParaInfo info;
    info.props = PropsFromBlockFormat(block.blockFormat());
    if (QTextList *list = block.textList()) {
        const QTextListFormat format = list->format();
        switch (format.style()) {
        case QTextListFormat::ListDecimal:
            info.props.numbering = TNumbering::Decimal;
            break;
        case QTextListFormat::ListLowerAlpha:
            info.props.numbering = TNumbering::LowerAlpha;
            break;
        case QTextListFormat::ListUpperAlpha:
            info.props.numbering = TNumbering::UpperAlpha;
            break;
        case QTextListFormat::ListLowerRoman:
            info.props.numbering = TNumbering::LowerRoman;
            break;
        case QTextListFormat::ListUpperRoman:
            info.props.numbering = TNumbering::UpperRoman;
            break;
        default:
            info.props.numbering = TNumbering::Bullet;
            break;
        }
        if (info.props.numbering != TNumbering::Bullet) {
            info.props.numberPrefix = format.numberPrefix();
            info.props.numberSuffix = format.numberSuffix();
            info.itemText = list->itemText(block);
        }
    }
    return info;
}

void TWriter::Word(const char *word)
{
    m_out.append('\\');
    m_out.append(word);
    m_delimit = true;
}

void TWriter::Word(const char *word, int param)
{
    m_out.append('\\');
    m_out.append(word);
    m_out.append(QByteArray::number(param));
    m_delimit = true;
}

void TWriter::Text(char c)
{
    if (m_delimit) {
        m_out.append(' ');
        m_delimit = false;
    }
    m_out.append(c);
}

void TWriter::Char(char16_t c, bool ansi)
{
    switch (c) {
    case u'\\':
    case u'{':
    case u'}':
        m_out.append('\\');
        m_out.append(static_cast<char>(c));
        m_delimit = false;
        return;
    case u'\t':
        Word("tab");
        return;
    case 0x2028:
        Word("line");
        return;
    case 0x00A0:
        m_out.append("\\~");
        m_delimit = false;
        return;
    case 0x00AD:
        m_out.append("\\-");
        m_delimit = false;
        return;
    case 0x2011:
        m_out.append("\\_");
        m_delimit = false;
        return;
    default:
        break;
    }
    if (c < 0x20)
        return;
    if (c < 0x80) {
        Text(static_cast<char>(c));
        return;
    }
    if (ansi) {
        const int b = CodePage1252::EncodeChar(c);
        if (b >= 0) {
            m_out.append("\\'");
            m_out.append(g_hex[b >> 4]);
            m_out.append(g_hex[b & 15]);
            m_delimit = false;
            return;
        }
    }
    Word("u", c > 0x7FFF ? int(c) - 0x10000 : int(c));
    m_out.append('?');
    m_delimit = false;
}

void TWriter::ChangeTo(const TCharProps &p)
{
    TCharProps &s = m_state;
    if (p.color != s.color)
        Word("cf", p.color);
    if (p.background != s.background)
        Word("highlight", p.background);
    if (p.bold != s.bold)
        p.bold ? Word("b") : Word("b", 0);
    if (p.italic != s.italic)
        p.italic ? Word("i") : Word("i", 0);
    if (p.underline != s.underline || p.doubleUnderline != s.doubleUnderline) {
        switch (p.underline) {
        case QTextCharFormat::NoUnderline:
            Word("ulnone");
            break;
        case QTextCharFormat::DotLine:
            Word("uld");
            break;
        case QTextCharFormat::DashUnderline:
            Word("uldash");
            break;
        case QTextCharFormat::DashDotLine:
            Word("uldashd");
            break;
        case QTextCharFormat::DashDotDotLine:
            Word("uldashdd");
            break;
        case QTextCharFormat::WaveUnderline:
            Word("ulwave");
            break;
        default:
            Word(p.doubleUnderline ? "uldb" : "ul");
            break;
        }
    }
    if (p.strike != s.strike)
        p.strike ? Word("strike") : Word("strike", 0);
    if (p.vertical != s.vertical) {
        if (p.vertical == TVertical::Super)
            Word("super");
        else if (p.vertical == TVertical::Sub)
            Word("sub");
        else
            Word("nosupersub");
    }
    if (p.hidden != s.hidden)
        p.hidden ? Word("v") : Word("v", 0);
    if (p.protect != s.protect)
        p.protect ? Word("protect") : Word("protect", 0);
    if (p.font != s.font)
        Word("f", p.font);
    if (p.halfPoints != s.halfPoints)
        Word("fs", p.halfPoints);
    s = p;
}

void TWriter::WriteObject(const TRun &run, int count)
{
    QByteArray group = run.raw;
    if (group.isEmpty() && run.image) {
        QImage image;
        const QVariant resource = m_doc.resource(QTextDocument::ImageResource, QUrl(run.imageName));
        if (resource.canConvert<QImage>())
            image = resource.value<QImage>();
        else if (resource.typeId() == QMetaType::QByteArray)
            image.loadFromData(resource.toByteArray());
        if (!image.isNull()) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            const double width = run.width > 0 ? run.width : image.width();
            const double height = run.height > 0 ? run.height : image.height();
            group = "{\\pict\\pngblip\\picw" + QByteArray::number(image.width()) + "\\pich" +
                    QByteArray::number(image.height()) + "\\picwgoal" +
                    QByteArray::number(PixelsToTwips(width)) + "\\pichgoal" +
                    QByteArray::number(PixelsToTwips(height)) + "\r\n" + png.toHex() + "}";
        }
    }
    if (group.isEmpty())
        return;
    for (int i = 0; i < count; ++i)
        m_out.append(group);
    m_delimit = false;
}

void TWriter::WriteParaProps(const TParaProps &p)
{
    if (p.first != 0)
        Word("fi", p.first);
    if (p.left != 0)
        Word("li", p.left);
    if (p.right != 0)
        Word("ri", p.right);
    if (p.before != 0)
        Word("sb", p.before);
    if (p.after != 0)
        Word("sa", p.after);
    if (p.lineSpacing != 0)
        Word("sl", p.lineSpacing);
    if (p.lineMultiple != 0)
        Word("slmult", p.lineMultiple);
    switch (p.align) {
    case TAlign::Right:
        Word("qr");
        break;
    case TAlign::Center:
        Word("qc");
        break;
    case TAlign::Justify:
        Word("qj");
        break;
    default:
        break;
    }
    for (const TTab &tab : p.tabs) {
        if (tab.kind == 1)
            Word("tqc");
        else if (tab.kind == 2)
            Word("tqr");
        else if (tab.kind == 3)
            Word("tqdec");
        Word("tx", tab.position);
    }
}

void TWriter::WriteNumbering(const TParaProps &p)
{
    if (p.numbering == TNumbering::None)
        return;
    if (p.numbering == TNumbering::Bullet) {
        m_out.append("{\\*\\pn\\pnlvlblt\\pnf");
        m_out.append(QByteArray::number(m_symbolFont));
        m_out.append("\\pnindent0{\\pntxtb\\'b7}}");
        m_delimit = false;
        return;
    }
    m_out.append("{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1");
    switch (p.numbering) {
    case TNumbering::LowerAlpha:
        m_out.append("\\pnlcltr");
        break;
    case TNumbering::UpperAlpha:
        m_out.append("\\pnucltr");
        break;
    case TNumbering::LowerRoman:
        m_out.append("\\pnlcrm");
        break;
    case TNumbering::UpperRoman:
        m_out.append("\\pnucrm");
        break;
    default:
        m_out.append("\\pndec");
        break;
    }
    for (const auto &[word, text] :
         {std::pair{"pntxtb", &p.numberPrefix}, std::pair{"pntxta", &p.numberSuffix}}) {
        if (text->isEmpty())
            continue;
        m_out.append("{\\");
        m_out.append(word);
        m_delimit = true;
        for (QChar c : *text)
            Char(c.unicode(), true);
        m_out.append('}');
    }
    m_out.append('}');
    m_delimit = false;
}

void TWriter::OpenField(const TRun &run)
{
    m_out.append("{\\field");
    m_out.append(run.instruction);
    m_out.append("{\\fldrslt");
    m_delimit = true;
    m_fieldSaved = m_state;
    m_openField = run.fieldId;
    m_openInstruction = run.instruction;
}

void TWriter::CloseField()
{
    if (m_openField == 0)
        return;
    m_out.append("}}");
    m_delimit = false;
    m_state = m_fieldSaved;
    m_openField = 0;
}

QByteArray TWriter::Run()
{
    // First pass: the fonts and colours in the order of first use.
    ForEachBlock([&](const QTextBlock &block) {
        if (block.textList() && ParaFor(block).props.numbering == TNumbering::Bullet && m_symbolFont < 0)
            m_symbolFont = FontIndex(TFontKey{QStringLiteral("Symbol"), QString(), 2});
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int position = fragment.position(); // a tree walk each time it is asked
            if (position + fragment.length() <= m_from || position >= m_to)
                continue;
            RunFor(fragment.charFormatIndex(), fragment.charFormat());
        }
        const QTextBlock next = block.next();
        const int separator = block.position() + block.length() - 1;
        if (next.isValid() && separator >= m_from && separator < m_to)
            RunFor(next.charFormatIndex(), next.charFormat());
    });
    if (m_fonts.empty())
        FontIndex(TFontKey{m_defaultFamily, QString(), -1});

    m_out.reserve(m_to - m_from + 512);
    m_out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl");
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        const TFontKey &font = m_fonts[i];
        m_out.append("{\\f");
        m_out.append(QByteArray::number(qsizetype(i)));
        m_out.append(font.kind.isEmpty() ? QByteArray("\\fnil") : "\\f" + font.kind.toLatin1());
        if (font.charset >= 0) {
            m_out.append("\\fcharset");
            m_out.append(QByteArray::number(font.charset));
        }
        m_delimit = true;
        // The name's bytes are read in the font's own code page.
        const bool ansi = font.charset < 0 || CodePageForCharset(font.charset, 1252) == 1252;
        for (QChar c : font.name) {
            if (c == u';')
                continue;
            Char(c.unicode(), ansi);
        }
        m_out.append(";}");
        m_delimit = false;
    }
    m_out.append("}\r\n");
    if (!m_colors.empty()) {
        m_out.append("{\\colortbl ;");
        for (QRgb rgb : m_colors) {
            m_out.append("\\red" + QByteArray::number(qRed(rgb)) + "\\green" +
                         QByteArray::number(qGreen(rgb)) + "\\blue" + QByteArray::number(qBlue(rgb)) + ";");
        }
        m_out.append("}");
    }
    m_out.append("\\viewkind4\\uc1");
    m_delimit = true;

    // The reader's state at the start, except that font and size are always
    // written once, as the control writes them.
    m_state = TCharProps();
    m_state.font = -1;
    m_state.halfPoints = -1;

    bool havePara = false;
    TParaProps lastPara;
    ForEachBlock([&](const QTextBlock &block) {
        const TParaInfo para = ParaFor(block);
        const bool changed = !havePara || para.props != lastPara;
        if (changed)
            Word("pard");
        if (para.props.numbering != TNumbering::None) {
            // The numbering text is for readers that do not number; ours skips it.
            m_out.append("{\\pntext");
            if (para.props.numbering == TNumbering::Bullet) {
                m_out.append("\\f");
                m_out.append(QByteArray::number(m_symbolFont));
                m_out.append("\\'b7");
            } else {
                m_delimit = true;
                for (QChar c : para.itemText)
                    Char(c.unicode(), true);
            }
            m_out.append("\\tab}");
            m_delimit = false;
        }
        if (changed) {
            WriteNumbering(para.props);
            WriteParaProps(para.props);
            havePara = true;
            lastPara = para.props;
        }
        const int blockEnd = block.position() + block.length() - 1;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int position = fragment.position();
            const int start = std::max(position, m_from);
            const int end = std::min(position + fragment.length(), m_to);
            if (start >= end)
                continue;
            const TRun &run = RunFor(fragment.charFormatIndex(), fragment.charFormat());
            if (run.fieldId != m_openField || (run.fieldId != 0 && run.instruction != m_openInstruction)) {
                CloseField();
                if (run.fieldId != 0)
                    OpenField(run);
            }
            ChangeTo(run.props);
            const QString text = fragment.text();
            const int offset = start - position;
            if (run.image || run.object) {
                WriteObject(run, end - start);
                continue;
            }
            for (int i = offset; i < offset + (end - start); ++i)
                Char(text.at(i).unicode(), run.ansi);
        }
        CloseField();
        const QTextBlock next = block.next();
        if (next.isValid() && blockEnd >= m_from && blockEnd < m_to) {
            ChangeTo(RunFor(next.charFormatIndex(), next.charFormat()).props);
            Word("par");
            m_out.append("\r\n");
            m_delimit = false;
        } else if (!next.isValid() && m_whole) {
            // The last paragraph mark, as the control writes it; the reader
            // takes a final \par as the end of the last paragraph.
            Word("par");
            m_out.append("\r\n");
            m_delimit = false;
        }
    });
    m_out.append('}');
    return m_out;
}

} // namespace

QByteArray TRtfWriter::Write(const QTextDocument &document)
{
    TWriter writer(document, 0, document.characterCount() - 1, true);
    return writer.Run();
}

QByteArray TRtfWriter::Write(const QTextDocument &document, int from, int to)
{
    const int last = document.characterCount() - 1;
    from = std::clamp(from, 0, last);
    to = std::clamp(to, from, last);
    TWriter writer(document, from, to, false);
    return writer.Run();
}

QStringList TRtfWriter::SplitLines(const QByteArray &rtf)
{
    QStringList lines;
    qsizetype start = 0;
    while (true) {
        const qsizetype end = rtf.indexOf("\r\n", start);
        if (end < 0) {
            lines.append(CodePage1252::Decode(QByteArrayView(rtf).sliced(start)));
            break;
        }
        lines.append(CodePage1252::Decode(QByteArrayView(rtf).sliced(start, end - start)));
        start = end + 2;
    }
    return lines;
}

QStringList TRtfWriter::WriteLines(const QTextDocument &document)
{
    return SplitLines(Write(document));
}

QString TRtfWriter::WriteString(const QTextDocument &document)
{
    return CodePage1252::Decode(Write(document));
}
