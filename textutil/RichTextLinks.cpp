#include "textutil/RichTextLinks.h"

#include "richtext/RichTextBuffer.h"

namespace {

// At least this many characters must follow the opening brace before a
// markup can stand there.
constexpr int MinMarkupTail = 7;

bool IsLineBlank(QChar c)
{
    return c == u' ' || c == u'\r' || c == u'\n';
}

QString TrimTrailing(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].unicode() <= u' ')
        --end;
    return text.left(end);
}

// The name part of a path in either separator convention.
QString NamePart(const QString &path)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(slash + 1);
}

bool IsDelphiType(TLinkType type)
{
    return type >= ltDelphiObject && type <= ltDelphiType;
}

const QColor HotSpotColor(0, 128, 0);
const QColor MarkupColor(128, 0, 0);

} // namespace

TLinkInfo FindLinkInControl(const TRichTextBuffer &buffer, const QString &anchor, int &position)
{
    TLinkInfo none;
    if (anchor.isEmpty())
        return none;
    const QString text = buffer.Text();
    int from = std::max(position, 0);
    while (from < text.size()) {
        const int at = buffer.Find(anchor, from, -1, {});
        if (at < 0)
            return none;
        qsizetype i = at + anchor.size();
        while (i < text.size() && IsLineBlank(text[i]))
            ++i;
        if (i < text.size() && text[i] == u'{' && text.size() - i - 1 >= MinMarkupTail) {
            const qsizetype close = text.indexOf(u'}', i);
            if (close < 0)
                return none;
            const QString candidate = u'\\' + text.mid(i, close - i) + QStringLiteral("\\}");
            for (int t = 0; t < LinkTypeCount; ++t) {
                const TLinkMarkup &row = QMLinkMarkup::Markup(TLinkType(t));
                if (candidate.size() < row.opening.size() + row.closing.size() ||
                    !candidate.startsWith(row.opening, Qt::CaseInsensitive) ||
                    !candidate.endsWith(row.closing, Qt::CaseInsensitive))
                    continue;
                QStringView body = QStringView(candidate).mid(row.opening.size());
                TLinkInfo info;
                if (body.startsWith(u'%'))
                    info.style = ltsNone;
                else if (body.startsWith(u'*'))
                    info.style = ltsUnderline;
                if (info.style != ltsGreenUnderline)
                    body = body.mid(1);
                info.type = TLinkType(t);
                const qsizetype keep = body.size() - row.closing.size();
                info.target = keep > 0 ? body.left(keep).toString() : QString();
                if (!info.Found())
                    return none;
                info.length = int(close + 1 - at);
                position = at;
                return info;
            }
            return none;
        }
        from = at + 1;
    }
    return none;
}

QString MakeLink(TRichTextBuffer &buffer, const QString &target, const QString &windowName, bool popup,
                 TLinkType type, TLinkedTextStyle style, const QString &fileName, const QString &memberKind,
                 bool useDelphiLinks)
{
    using namespace QMLinkMarkup;
    const QString name = TrimTrailing(target);
    const QString member = TrimTrailing(memberKind);
    const QString file = NamePart(fileName).trimmed();
    const QString window = windowName.isEmpty() ? QString() : u'>' + windowName;
    const QStringView prefix = StylePrefix(style);

    if (style == ltsGreenUnderline || style == ltsUnderline) {
        buffer.SetSelColor(HotSpotColor);
        buffer.SetSelStyle(buffer.SelAttributes().style | (popup ? fsUnderline : fsStrikeOut));
    }
    const int insertAt = buffer.SelStart() + buffer.SelLength();
    buffer.SetSelection(insertAt, 0);

    QString markup;
    if (IsDelphiType(type) && !name.isEmpty()) {
        if (useDelphiLinks) {
            markup = FillFormat(DelphiMemberFormat(), {prefix, name, member});
        } else {
            const QString address = FillFormat(WebSearchFormat(), {name});
            markup = FillFormat(Markup(ltInternet).format, {address});
        }
    } else if (IsDelphiType(type)) {
        // Without a name the member kind stands in its place.
        markup = FillFormat(Markup(type).format, {prefix, member, u""});
    } else if (type == ltQuillmarkFile || type == ltHelpFile) {
        markup = FillFormat(Markup(type).format, {prefix, name, file, window});
    } else if (type == ltInternet) {
        markup = FillFormat(Markup(type).format, {name});
    } else {
        markup = FillFormat(Markup(type).format, {prefix, name, window});
    }
    markup = PlainForm(markup);

    buffer.SetSelText(markup);
    buffer.SetSelection(insertAt, int(markup.size()));
    buffer.SetSelColor(MarkupColor);
    buffer.SetSelStyle(buffer.SelAttributes().style & ~TFontStyles(fsUnderline | fsStrikeOut));
    return markup;
}
