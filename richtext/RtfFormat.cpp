#include "richtext/RtfFormat.h"

#include "foundation/CodePage.h"

#include <QTextOption>

#include <cmath>

namespace RtfFormat {

int PixelsToTwips(double pixels)
{
    const double twips = std::round(pixels * TwipsPerPixel);
    if (!(twips > -1e9 && twips < 1e9))
        return 0;
    return static_cast<int>(twips);
}

QTextBlockFormat BlockFormatFromProps(const TParaProps &props)
{
    QTextBlockFormat format;
    switch (props.align) {
    case TAlign::Left:
        format.setAlignment(Qt::AlignLeft);
        break;
    case TAlign::Right:
        format.setAlignment(Qt::AlignRight);
        break;
    case TAlign::Center:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case TAlign::Justify:
        format.setAlignment(Qt::AlignJustify);
        break;
    }
    if (props.left != 0)
        format.setLeftMargin(TwipsToPixels(props.left));
    if (props.right != 0)
        format.setRightMargin(TwipsToPixels(props.right));
    if (props.first != 0)
        format.setTextIndent(TwipsToPixels(props.first));
    if (props.before != 0)
        format.setTopMargin(TwipsToPixels(props.before));
    if (props.after != 0)
        format.setBottomMargin(TwipsToPixels(props.after));
    if (props.lineSpacing != 0)
        format.setProperty(PropLineSpacing, props.lineSpacing);
    if (props.lineMultiple != 0)
        format.setProperty(PropLineSpacingMultiple, props.lineMultiple);
    if (!props.tabs.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        tabs.reserve(props.tabs.size());
        for (const TTab &tab : props.tabs) {
            QTextOption::TabType type = QTextOption::LeftTab;
            QChar delimiter;
            switch (tab.kind) {
            case 1:
                type = QTextOption::CenterTab;
                break;
            case 2:
                type = QTextOption::RightTab;
                break;
            case 3:
                type = QTextOption::DelimiterTab;
                delimiter = u'.';
                break;
            default:
                break;
            }
            tabs.append(QTextOption::Tab(TwipsToPixels(tab.position), type, delimiter));
        }
        format.setTabPositions(tabs);
    }
    return format;
}

TParaProps PropsFromBlockFormat(const QTextBlockFormat &format)
{
    TParaProps props;
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignJustify)
        props.align = TAlign::Justify;
    else if (align & Qt::AlignHCenter)
        props.align = TAlign::Center;
    else if (align & Qt::AlignRight)
        props.align = TAlign::Right;
    props.left = PixelsToTwips(format.leftMargin());
    props.right = PixelsToTwips(format.rightMargin());
    props.first = PixelsToTwips(format.textIndent());
    props.before = PixelsToTwips(format.topMargin());
    props.after = PixelsToTwips(format.bottomMargin());
    props.lineSpacing = format.intProperty(PropLineSpacing);
    props.lineMultiple = format.intProperty(PropLineSpacingMultiple);
    const QList<QTextOption::Tab> tabs = format.tabPositions();
    for (const QTextOption::Tab &tab : tabs) {
        TTab t;
        t.position = PixelsToTwips(tab.position);
        switch (tab.type) {
        case QTextOption::CenterTab:
            t.kind = 1;
            break;
        case QTextOption::RightTab:
            t.kind = 2;
            break;
        case QTextOption::DelimiterTab:
            t.kind = 3;
            break;
        default:
            t.kind = 0;
            break;
        }
        props.tabs.append(t);
    }
    return props;
}

int CodePageForCharset(int charset, int ansiCodePage)
{
    switch (charset) {
    case 77:
        return 10000;
    case 78:
        return 10001;
    case 79:
        return 10003;
    case 80:
        return 10008;
    case 81:
        return 10002;
    case 83:
        return 10005;
    case 84:
        return 10004;
    case 85:
        return 10006;
    case 86:
        return 10081;
    case 87:
        return 10021;
    case 88:
        return 10029;
    case 89:
        return 10007;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    case 2:
        // Symbol fonts draw their bytes directly; keep them as the ANSI characters
        // of the same value, which the writer turns back into the same bytes.
        return 1252;
    default:
        return ansiCodePage;
    }
}

namespace {

// ICU knows these code pages under these names; unlisted ones are tried as
// "windows-N" and "ibm-N".
const char *CodePageName(int codePage)
{
    switch (codePage) {
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 10000:
        return "macintosh";
    case 10001:
        return "Shift_JIS";
    case 10007:
        return "x-mac-cyrillic";
    case 65001:
        return "UTF-8";
    default:
        return nullptr;
    }
}

std::unique_ptr<QStringDecoder> MakeDecoder(int codePage)
{
    if (codePage <= 0 || codePage > 65535)
        return nullptr;
    if (const char *name = CodePageName(codePage)) {
        auto decoder = std::make_unique<QStringDecoder>(name, QStringConverter::Flag::Stateless);
        if (decoder->isValid())
            return decoder;
    }
    for (const char *prefix : {"windows-", "ibm-"}) {
        const QByteArray name = QByteArray(prefix) + QByteArray::number(codePage);
        auto decoder = std::make_unique<QStringDecoder>(name.constData(), QStringConverter::Flag::Stateless);
        if (decoder->isValid())
            return decoder;
    }
    return nullptr;
}

} // namespace

bool TCodePageDecoder::IsKnown(int codePage)
{
    return codePage == 1252 || MakeDecoder(codePage) != nullptr;
}

QString TCodePageDecoder::Decode(int codePage, QByteArrayView bytes)
{
    if (codePage != 1252) {
        auto it = m_decoders.find(codePage);
        if (it == m_decoders.end())
            it = m_decoders.emplace(codePage, MakeDecoder(codePage)).first;
        if (it->second)
            return it->second->decode(bytes);
    }
    return CodePage1252::Decode(bytes);
}

} // namespace RtfFormat
