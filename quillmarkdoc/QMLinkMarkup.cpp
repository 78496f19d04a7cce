#include "quillmarkdoc/QMLinkMarkup.h"

namespace {

using namespace Qt::StringLiterals;

constexpr std::array<TLinkMarkup, LinkTypeCount> Markups = {{
    {u"\\{linkID=", u"\\}", u"", u"\\{linkID=%s%s%s\\}"},
    {u"\\{link=", u"\\}", u"Quill", u"\\{link=%sQuill%s@%s%s\\}"},
    {u"\\{link=", u"\\}", u"", u"\\{link=%s%s@%s%s\\}"},
    {u"\\{link=", u"\\}", u"", u"\\{link=%s! %s\\}"},
    {u"\\{link=", u"\\}", u"ExecFile", u"\\{link=*! ExecFile(\"%s\")\\}"},
    {u"\\{linkTarget=", u"\\}", u"", u"\\{linkTarget=%s%s%s\\}"},
    {u"\\{linkDelphi=", u"_Object\\}", u"_Object", u"\\{linkDelphi=%s%s_Object%s\\}"},
    {u"\\{linkDelphi=", u"_Property\\}", u"_Property", u"\\{linkDelphi=%s%s_Property%s\\}"},
    {u"\\{linkDelphi=", u"_Method\\}", u"_Method", u"\\{linkDelphi=%s%s_Method%s\\}"},
    {u"\\{linkDelphi=", u"_Event\\}", u"_Event", u"\\{linkDelphi=%s%s_Event%s\\}"},
    {u"\\{linkDelphi=", u"\\}", u"", u"\\{linkDelphi=%s%s%s\\}"},
}};

const std::array<QString, LinkTypeCount> &FoldedKeywords()
{
    static const std::array<QString, LinkTypeCount> keywords = [] {
        std::array<QString, LinkTypeCount> folded;
        for (size_t k = 0; k < folded.size(); ++k)
            folded[k] = Markups[k].keyword.toString().toCaseFolded();
        return folded;
    }();
    return keywords;
}

bool IsLineBlank(QChar c)
{
    return c == u' ' || c == u'\r' || c == u'\n';
}

bool IsEscapable(QChar c)
{
    return c == u'\\' || c == u'{' || c == u'}';
}

// Anchors without letters need no case folding, which keeps the common scan
// for "\{" a plain search.
Qt::CaseSensitivity SensitivityFor(QStringView anchor)
{
    for (QChar c : anchor) {
        if (c.isLetter())
            return Qt::CaseInsensitive;
    }
    return Qt::CaseSensitive;
}

TLinkedTextStyle StyleOf(QStringView body)
{
    if (body.startsWith(u'%'))
        return ltsNone;
    if (body.startsWith(u'*'))
        return ltsUnderline;
    return ltsGreenUnderline;
}

// The body after the opening: style prefix, then the target up to the
// closing.
void TakeBody(QStringView markup, const TLinkMarkup &row, TLinkInfo &info)
{
    QStringView body = markup.mid(row.opening.size());
    info.style = StyleOf(body);
    if (info.style != ltsGreenUnderline)
        body = body.mid(1);
    const qsizetype keep = body.size() - row.closing.size();
    info.target = keep > 0 ? body.left(keep).toString() : QString();
}

// A forward search that remembers its last answer. The candidates of one
// scan come in ascending order, and an answer found from one place holds for
// every place up to it: a text full of openings without closings, or of long
// control words, is searched once, not once per opening.
template <typename Search>
class TCachedSearch
{
public:
    TCachedSearch(QStringView text, Search search)
        : m_text(text)
        , m_search(search)
    {}
    qsizetype From(qsizetype from)
    {
        if (m_known && (m_found < 0 || m_found >= from) && m_from <= from)
            return m_found;
        m_from = from;
        m_found = m_search(m_text, from);
        m_known = true;
        return m_found;
    }

private:
    QStringView m_text;
    Search m_search;
    qsizetype m_from = 0;
    qsizetype m_found = -1;
    bool m_known = false;
};

qsizetype FindClosing(QStringView text, qsizetype from)
{
    return text.indexOf(u"\\}", from);
}

qsizetype FindLineBlank(QStringView text, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        if (IsLineBlank(text[i]))
            return i;
    }
    return -1;
}

struct TScan
{
    explicit TScan(QStringView text)
        : closes(text, FindClosing)
        , blanks(text, FindLineBlank)
    {}
    TCachedSearch<decltype(&FindClosing)> closes;
    TCachedSearch<decltype(&FindLineBlank)> blanks;
};

// Whether the candidate from the brace through the closing can be a link: the
// first four characters after "\{" that are left once control words and
// spaces are taken out must spell "link". This is the first test of
// RecognizeLinkMarkup, made on the text in place, so that an opening that is
// no link costs a few characters instead of a copy up to the closing.
bool OpensLink(QStringView text, qsizetype brace, qsizetype end, TScan &scan)
{
    static constexpr QStringView link = u"link";
    qsizetype matched = 0;
    const auto take = [&](QChar c) {
        if (c == u' ')
            return true;
        if (c.toCaseFolded() != link[matched])
            return false;
        ++matched;
        return true;
    };
    qsizetype i = brace + 1;
    while (i < end && matched < link.size()) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 >= end) {
            if (!take(c))
                return false;
            ++i;
        } else if (IsEscapable(text[i + 1])) {
            return false; // a backslash is never a letter of "link"
        } else {
            const qsizetype blank = scan.blanks.From(i + 2);
            i = blank < 0 || blank >= end ? end : blank + 1;
        }
    }
    return matched == link.size();
}

TLinkInfo FindLinkWith(QStringView text, QStringView anchor, int &position, TScan &scan)
{
    TLinkInfo none;
    if (anchor.isEmpty() || position < 0)
        return none;
    const bool braceAnchor = anchor == LinkAnchor;
    const Qt::CaseSensitivity cs = SensitivityFor(anchor);
    qsizetype from = position;
    while (from < text.size()) {
        const qsizetype at = text.indexOf(anchor, from, cs);
        if (at < 0)
            return none;
        if (at > 0 && text[at - 1] == u'\\') {
            from = at + 1;
            continue;
        }

        qsizetype brace = -1;
        if (braceAnchor) {
            brace = at + 1;
        } else {
            qsizetype i = at + anchor.size();
            while (i < text.size()) {
                const QChar c = text[i];
                if (IsLineBlank(c)) {
                    ++i;
                } else if (c == u'\\') {
                    if (i + 1 >= text.size() || text[i + 1] == u'\\')
                        break;
                    ++i;
                    while (i < text.size() && !IsLineBlank(text[i]) && text[i] != u'{')
                        ++i;
                } else if (c == u'{') {
                    brace = i;
                    break;
                } else {
                    break;
                }
            }
            if (brace < 0) {
                from = at + 1;
                continue;
            }
        }

        const qsizetype close = scan.closes.From(brace);
        if (close < 0)
            return none;
        if (!OpensLink(text, brace, close + 2, scan)) {
            from = at + 1;
            continue;
        }
        // "\" + the brace through the closing "\}".
        QString candidate;
        candidate.reserve(close + 3 - brace);
        candidate.append(u'\\');
        candidate.append(text.mid(brace, close + 2 - brace));

        TLinkInfo info;
        switch (RecognizeLinkMarkup(candidate, info)) {
        case TMarkupResult::NotALink:
            from = at + 1;
            continue;
        case TMarkupResult::NoForm:
            return none;
        case TMarkupResult::Link:
            if (!info.Found())
                return none;
            info.length = int(candidate.size());
            position = int(at);
            return info;
        }
    }
    return none;
}

} // namespace

namespace QMLinkMarkup {

const TLinkMarkup &Markup(TLinkType type)
{
    const int index = int(type);
    return Markups[size_t(index >= 0 && index < LinkTypeCount ? index : 0)];
}

QStringView StylePrefix(TLinkedTextStyle style)
{
    switch (style) {
    case ltsNone:
        return u"%";
    case ltsUnderline:
        return u"*";
    case ltsGreenUnderline:
        break;
    }
    return u"";
}

QStringView DelphiMemberFormat()
{
    return u"\\{linkDelphi=%s%s_%s\\}";
}

QStringView WebSearchFormat()
{
    return u"http://search.example.com/search?q=%s+site%%3Alibrary-docs.example.org";
}

QString FillFormat(QStringView format, std::initializer_list<QStringView> values)
{
    QString out;
    out.reserve(format.size() + 32);
    auto value = values.begin();
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'%' && i + 1 < format.size()) {
            if (format[i + 1] == u's') {
                if (value != values.end())
                    out.append(*value++);
                ++i;
                continue;
            }
            if (format[i + 1] == u'%') {
                out.append(u'%');
                ++i;
                continue;
            }
        }
        out.append(c);
    }
    return out;
}

QString PlainForm(QStringView rtf)
{
    QString out;
    out.reserve(rtf.size());
    for (QChar c : rtf) {
        if (c != u'\\')
            out.append(c);
    }
    return out;
}

QString RemoveControlWords(QStringView text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 >= text.size()) {
            out.append(c);
            ++i;
        } else if (IsEscapable(text[i + 1])) {
            out.append(c);
            out.append(text[i + 1]);
            i += 2;
        } else {
            i += 2;
            while (i < text.size() && !IsLineBlank(text[i]))
                ++i;
            if (i < text.size())
                ++i; // the space or line end belongs to the control word
        }
    }
    return out;
}

} // namespace QMLinkMarkup

TMarkupResult RecognizeLinkMarkup(QStringView markup, TLinkInfo &info)
{
    const QString m = QMLinkMarkup::RemoveControlWords(markup);

    // At least six visible characters, the first of them "\{link".
    QString head;
    for (qsizetype i = 0; i < m.size() && head.size() < 6; ++i) {
        if (m[i] != u' ')
            head.append(m[i]);
    }
    if (head.size() < 6)
        return TMarkupResult::NotALink;
    if (!head.startsWith(u"\\{link", Qt::CaseInsensitive))
        return TMarkupResult::NotALink;

    for (int t = 0; t < LinkTypeCount; ++t) {
        const TLinkMarkup &row = Markups[size_t(t)];
        if (m.size() < row.opening.size() + row.closing.size())
            continue;
        if (!m.startsWith(row.opening, Qt::CaseInsensitive) || !m.endsWith(row.closing, Qt::CaseInsensitive))
            continue;
        info.type = TLinkType(t);
        // Folded once: six case-insensitive searches per link would cost
        // more than the rest of the scan.
        const QString folded = m.toCaseFolded();
        for (int k = 0; k < LinkTypeCount; ++k) {
            const QString &keyword = FoldedKeywords()[size_t(k)];
            if (!keyword.isEmpty() && folded.contains(keyword)) {
                info.type = TLinkType(k);
                break;
            }
        }
        TakeBody(m, row, info);
        return TMarkupResult::Link;
    }
    return TMarkupResult::NoForm;
}

TLinkInfo FindLink(QStringView text, QStringView anchor, int &position)
{
    TScan scan(text);
    return FindLinkWith(text, anchor, position, scan);
}

TLinkInfo FindLinkOfType(QStringView text, TLinkTypes types, int &position, QStringView anchor)
{
    TScan scan(text);
    for (;;) {
        TLinkInfo info = FindLinkWith(text, anchor, position, scan);
        if (!info.Found() || types.Contains(info.type))
            return info;
        position += info.length;
    }
}
