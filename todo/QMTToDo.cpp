#include "todo/QMTToDo.h"

#include "todo/ToDoStrings.h"

#include "foundation/Convert.h"
#include "foundation/FoundationStrings.h"

#include <QDomDocumentType>
#include <QDomNamedNodeMap>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace {

bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Characters XML 1.0 cannot carry at all (control characters, lone
// surrogates) would make the saved file unreadable, and an unreadable side
// file is never written again; they are dropped.
QString XmlSafe(const QString &text)
{
    const bool clean = std::all_of(text.cbegin(), text.cend(),
                                   [](QChar c) { return !c.isSurrogate() && IsXmlChar(c.unicode()); });
    if (clean)
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            result += c;
            result += text[++i];
        } else if (!c.isSurrogate() && IsXmlChar(c.unicode())) {
            result += c;
        }
    }
    return result;
}

// A carriage return written as itself comes back as a line feed; written as
// a character reference it survives.
void WriteCharacters(QXmlStreamWriter &writer, const QString &text, bool cdata)
{
    const QString safe = XmlSafe(text);
    // The parser drops text that is only blanks; in a CDATA section it stays.
    if (!cdata && !safe.isEmpty() && safe.trimmed().isEmpty() && !safe.contains(u'\r'))
        cdata = true;
    qsizetype start = 0;
    while (start <= safe.size()) {
        qsizetype cr = safe.indexOf(u'\r', start);
        const qsizetype end = cr < 0 ? safe.size() : cr;
        if (end > start) {
            const QString part = safe.mid(start, end - start);
            if (cdata)
                writer.writeCDATA(part);
            else
                writer.writeCharacters(part);
        }
        if (cr < 0)
            break;
        writer.writeEntityReference(QStringLiteral("#13"));
        start = cr + 1;
    }
}

// The declaration is rewritten for what is actually written: the file is
// always UTF-8, so a loaded encoding name other than that would lie.
QString DeclarationData(const QString &loaded)
{
    static const QRegularExpression pseudoAttribute(
        QStringLiteral(R"re((version|encoding|standalone)\s*=\s*(?:"([^"]*)"|'([^']*)'))re"));
    QString version = QStringLiteral("1.0");
    bool hasEncoding = false;
    QString standalone;
    for (auto it = pseudoAttribute.globalMatch(loaded); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString value = m.captured(2).isNull() ? m.captured(3) : m.captured(2);
        if (m.captured(1) == u"version")
            version = value;
        else if (m.captured(1) == u"encoding")
            hasEncoding = true;
        else
            standalone = value;
    }
    QString data = QStringLiteral("version=\"%1\"").arg(version);
    if (hasEncoding)
        data += QStringLiteral(" encoding=\"UTF-8\"");
    if (!standalone.isEmpty())
        data += QStringLiteral(" standalone=\"%1\"").arg(standalone);
    return data;
}

QString QuotedId(const QString &id)
{
    const QChar quote = id.contains(u'"') ? u'\'' : u'"';
    return quote + id + quote;
}

void WriteDoctype(QXmlStreamWriter &writer, const QDomDocumentType &type)
{
    if (type.isNull() || type.name().isEmpty())
        return;
    QString dtd = QStringLiteral("<!DOCTYPE ") + type.name();
    if (!type.publicId().isEmpty())
        dtd += QStringLiteral(" PUBLIC ") + QuotedId(type.publicId()) + u' ' + QuotedId(type.systemId());
    else if (!type.systemId().isEmpty())
        dtd += QStringLiteral(" SYSTEM ") + QuotedId(type.systemId());
    if (!type.internalSubset().isEmpty())
        dtd += QStringLiteral(" [") + type.internalSubset() + u']';
    dtd += u'>';
    writer.writeDTD(dtd);
}

void WriteStartOfElement(QXmlStreamWriter &writer, const QDomElement &element)
{
    writer.writeStartElement(element.tagName());
    for (const QString &name : OrderedAttributeNames(element))
        writer.writeAttribute(name, XmlSafe(element.attribute(name)));
}

// Walks the tree without recursion, so nesting depth costs no stack.
void WriteDocument(QXmlStreamWriter &writer, const QDomDocument &document)
{
    bool doctypeWritten = false;
    const auto writeDoctypeOnce = [&] {
        if (!doctypeWritten)
            WriteDoctype(writer, document.doctype());
        doctypeWritten = true;
    };
    QDomNode node = document.firstChild();
    while (!node.isNull()) {
        const bool topLevel = node.parentNode() == document;
        if (topLevel && !(node.isProcessingInstruction() && node.nodeName() == u"xml"))
            writeDoctypeOnce();
        bool descend = false;
        switch (node.nodeType()) {
        case QDomNode::ElementNode:
            WriteStartOfElement(writer, node.toElement());
            descend = node.hasChildNodes();
            if (!descend)
                writer.writeEndElement();
            break;
        case QDomNode::TextNode:
            WriteCharacters(writer, node.nodeValue(), false);
            break;
        case QDomNode::CDATASectionNode:
            WriteCharacters(writer, node.nodeValue(), true);
            break;
        case QDomNode::CommentNode:
            writer.writeComment(XmlSafe(node.nodeValue()));
            break;
        case QDomNode::ProcessingInstructionNode: {
            const QDomProcessingInstruction pi = node.toProcessingInstruction();
            if (pi.target() == u"xml") {
                if (topLevel)
                    writer.writeProcessingInstruction(QStringLiteral("xml"), DeclarationData(pi.data()));
                writeDoctypeOnce();
            } else {
                writer.writeProcessingInstruction(pi.target(), XmlSafe(pi.data()));
            }
            break;
        }
        case QDomNode::EntityReferenceNode:
            descend = node.hasChildNodes();
            break;
        default:
            break;
        }
        if (descend) {
            node = node.firstChild();
            continue;
        }
        // Climb until a next sibling turns up, closing elements on the way.
        while (!node.isNull()) {
            const QDomNode next = node.nextSibling();
            if (!next.isNull()) {
                node = next;
                break;
            }
            node = node.parentNode();
            if (node.isNull() || node.isDocument()) {
                node = QDomNode();
                break;
            }
            if (node.isElement())
                writer.writeEndElement();
        }
    }
    writeDoctypeOnce();
}

// Indentation grows with depth, so a deeply nested file would be written
// quadratically larger; past a sane depth it is written without line breaks.
constexpr int kMaxIndentedDepth = 64;

bool DeeperThan(const QDomDocument &document, int limit)
{
    int depth = 0;
    QDomNode node = document.firstChild();
    while (!node.isNull()) {
        if (node.hasChildNodes()) {
            if (++depth > limit)
                return true;
            node = node.firstChild();
            continue;
        }
        while (!node.isNull() && node.nextSibling().isNull()) {
            node = node.parentNode();
            --depth;
            if (node.isDocument())
                return false;
        }
        if (!node.isNull())
            node = node.nextSibling();
    }
    return false;
}

// Building the DOM takes time quadratic in the nesting depth, so a small
// crafted file could hang the program at open. No to-do file nests more than
// a few levels; a deeper one is refused like a file that is not well-formed.
constexpr int kMaxDepth = 1000;

bool IsWritableName(QStringView name)
{
    return XmlSafe(name.toString()) == name;
}

// Two things the DOM parser lets through would make a file the program could
// never write back readably: nesting too deep to build, and names holding
// characters XML cannot carry (a declared encoding can decode to lone
// surrogates). Both are refused like a file that is not well-formed, so the
// file is left as it is.
void RefuseWhatCannotBeKept(const QByteArray &xml, const QString &sourceName)
{
    QXmlStreamReader reader(xml);
    int depth = 0;
    const auto refuse = [&](const QString &message) {
        const int line = static_cast<int>(reader.lineNumber());
        const int column = static_cast<int>(reader.columnNumber());
        throw EToDoParseError(ToDoStrings::ParseError().arg(sourceName, message).arg(line).arg(column),
                              sourceName, message, line, column);
    };
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (++depth > kMaxDepth)
                refuse(ToDoStrings::NestedTooDeep().arg(kMaxDepth));
            bool writable = IsWritableName(reader.qualifiedName());
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                writable = writable && IsWritableName(attribute.qualifiedName());
            if (!writable)
                refuse(ToDoStrings::UnwritableName());
        } else if (token == QXmlStreamReader::ProcessingInstruction) {
            if (!IsWritableName(reader.processingInstructionTarget()))
                refuse(ToDoStrings::UnwritableName());
        } else if (token == QXmlStreamReader::DTD) {
            if (!IsWritableName(reader.dtdName()) || !IsWritableName(reader.dtdPublicId()) ||
                !IsWritableName(reader.dtdSystemId()))
                refuse(ToDoStrings::UnwritableName());
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    // Other errors are left to the DOM parser, whose message is the one shown.
}

bool OnlyBlanks(const QByteArray &bytes)
{
    qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return false;
    }
    return true;
}

QString ComparablePath(const QString &fileName)
{
    const QFileInfo info(fileName);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

QString ToDoFileName(const QString &projectFileName)
{
    const qsizetype slash = projectFileName.lastIndexOf(u'/');
    const qsizetype dot = projectFileName.lastIndexOf(u'.');
    const QString stem = dot > slash ? projectFileName.left(dot) : projectFileName;
    return stem + ToDoStrings::FileExtension();
}

EToDoParseError::EToDoParseError(QString message, QString fileName, QString parserMessage, int line,
                                 int column)
    : EReadError(std::move(message))
    , m_fileName(std::move(fileName))
    , m_parserMessage(std::move(parserMessage))
    , m_line(line)
    , m_column(column)
{}

// ---------------------------------------------------------------------------
// TXMLToDoType

QString TXMLToDoType::ChildText(const QString &name) const
{
    return m_element.firstChildElement(name).text();
}

void TXMLToDoType::SetChildText(const QString &name, const QString &value)
{
    if (m_element.isNull())
        return;
    QDomElement child = m_element.firstChildElement(name);
    if (child.isNull()) {
        child = m_element.ownerDocument().createElement(name);
        m_element.appendChild(child);
    } else if (child.text() == value) {
        return;
    }
    while (child.hasChildNodes())
        child.removeChild(child.firstChild());
    if (!value.isEmpty())
        child.appendChild(m_element.ownerDocument().createTextNode(value));
}

void TXMLToDoType::SetAttributeText(const QString &name, const QString &value)
{
    if (m_element.isNull())
        return;
    if (m_element.hasAttribute(name) && m_element.attribute(name) == value)
        return;
    m_element.setAttribute(name, value);
}

QString TXMLToDoType::Status() const
{
    return m_element.attribute(ToDoStrings::StatusName());
}

void TXMLToDoType::SetStatus(const QString &value)
{
    SetAttributeText(ToDoStrings::StatusName(), value);
}

QString TXMLToDoType::Priority() const
{
    return m_element.attribute(ToDoStrings::PriorityName());
}

void TXMLToDoType::SetPriority(const QString &value)
{
    SetAttributeText(ToDoStrings::PriorityName(), value);
}

bool TXMLToDoType::HasTopic() const
{
    return m_element.hasAttribute(ToDoStrings::TopicName());
}

QString TXMLToDoType::TopicText() const
{
    return m_element.attribute(ToDoStrings::TopicName());
}

int64_t TXMLToDoType::Topic() const
{
    const QString text = TopicText();
    if (const auto value = TryStrToInt64(text))
        return *value;
    ThrowConvertError(text);
}

void TXMLToDoType::SetTopic(int64_t value)
{
    SetAttributeText(ToDoStrings::TopicName(), QString::number(value));
}

QString TXMLToDoType::Author() const
{
    return ChildText(ToDoStrings::AuthorName());
}

void TXMLToDoType::SetAuthor(const QString &value)
{
    SetChildText(ToDoStrings::AuthorName(), value);
}

QString TXMLToDoType::Category() const
{
    return ChildText(ToDoStrings::CategoryName());
}

void TXMLToDoType::SetCategory(const QString &value)
{
    SetChildText(ToDoStrings::CategoryName(), value);
}

QString TXMLToDoType::Text() const
{
    return ChildText(ToDoStrings::TextName());
}

void TXMLToDoType::SetText(const QString &value)
{
    SetChildText(ToDoStrings::TextName(), value);
}

QString TXMLToDoType::Field(const QString &name) const
{
    const QDomElement child = m_element.firstChildElement(name);
    return child.isNull() ? m_element.attribute(name) : child.text();
}

void TXMLToDoType::SetField(const QString &name, const QString &value)
{
    if (m_element.firstChildElement(name).isNull())
        SetAttributeText(name, value);
    else
        SetChildText(name, value);
}

// ---------------------------------------------------------------------------
// TXMLToDoListType

TXMLToDoListType::TXMLToDoListType()
{
    *this = NewToDoList();
}

int TXMLToDoListType::Count() const
{
    int count = 0;
    for (QDomElement e = m_root.firstChildElement(ToDoStrings::ToDoElement()); !e.isNull();
         e = e.nextSiblingElement(ToDoStrings::ToDoElement()))
        ++count;
    return count;
}

TXMLToDoType TXMLToDoListType::Item(int index) const
{
    if (index >= 0) {
        int i = 0;
        for (QDomElement e = m_root.firstChildElement(ToDoStrings::ToDoElement()); !e.isNull();
             e = e.nextSiblingElement(ToDoStrings::ToDoElement()), ++i) {
            if (i == index)
                return TXMLToDoType(e);
        }
    }
    ThrowListIndexError(index);
}

QList<TXMLToDoType> TXMLToDoListType::Items() const
{
    QList<TXMLToDoType> items;
    for (QDomElement e = m_root.firstChildElement(ToDoStrings::ToDoElement()); !e.isNull();
         e = e.nextSiblingElement(ToDoStrings::ToDoElement()))
        items.append(TXMLToDoType(e));
    return items;
}

TXMLToDoType TXMLToDoListType::Add()
{
    return Insert(Count());
}

TXMLToDoType TXMLToDoListType::Insert(int index)
{
    const int count = Count();
    if (index < 0 || index > count)
        ThrowListIndexError(index);
    QDomElement element = m_document.createElement(ToDoStrings::ToDoElement());
    if (index == count)
        m_root.appendChild(element);
    else
        m_root.insertBefore(element, Item(index).Element());
    return TXMLToDoType(element);
}

void TXMLToDoListType::Delete(int index)
{
    m_root.removeChild(Item(index).Element());
}

void TXMLToDoListType::Clear()
{
    for (const TXMLToDoType &item : Items())
        m_root.removeChild(item.Element());
}

TXMLToDoType TXMLToDoListType::AddNewToDo(std::optional<int64_t> topic)
{
    TXMLToDoType item = Add();
    item.SetStatus(ToDoStrings::NewStatus());
    item.SetPriority(ToDoStrings::NewPriority());
    if (topic)
        item.SetTopic(*topic);
    item.SetAuthor(QString());
    item.SetCategory(QString());
    item.SetText(QString());
    return item;
}

QByteArray TXMLToDoListType::ToXml() const
{
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(!DeeperThan(m_document, kMaxIndentedDepth));
    writer.setAutoFormattingIndent(2);
    WriteDocument(writer, m_document);
    // The writer's formatting opens every top-level node with a line break,
    // but a declaration is only valid at the very start.
    while (bytes.startsWith('\n'))
        bytes.remove(0, 1);
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes += '\n';
    return bytes;
}

bool TXMLToDoListType::IsUnreadableFile(const QString &fileName) const
{
    return !m_unreadableFile.isEmpty() && ComparablePath(fileName) == ComparablePath(m_unreadableFile);
}

void TXMLToDoListType::MarkUnreadableFile(const QString &fileName, const QString &error)
{
    m_unreadableFile = QFileInfo(fileName).absoluteFilePath();
    m_readError = error;
}

// ---------------------------------------------------------------------------

TXMLToDoListType NewToDoList()
{
    QDomDocument document;
    document.appendChild(
        document.createProcessingInstruction(QStringLiteral("xml"), QStringLiteral("version=\"1.0\"")));
    QDomElement root = document.createElement(ToDoStrings::RootElement());
    document.appendChild(root);
    return TXMLToDoListType(document, root);
}

TXMLToDoListType ParseToDoList(const QByteArray &xml, const QString &sourceName)
{
    // An empty file holds nothing worth guarding; it reads as an empty list
    // and may be written over.
    if (OnlyBlanks(xml))
        return NewToDoList();
    RefuseWhatCannotBeKept(xml, sourceName);
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(xml, false, &message, &line, &column))
        throw EToDoParseError(ToDoStrings::ParseError().arg(sourceName, message).arg(line).arg(column),
                              sourceName, message, line, column);
    QDomElement root = document.documentElement();
    if (root.isNull()) {
        root = document.createElement(ToDoStrings::RootElement());
        document.appendChild(root);
    }
    return TXMLToDoListType(document, root);
}

TXMLToDoListType ReadToDoFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(ToDoStrings::OpenError().arg(fileName, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFOpenError(ToDoStrings::OpenError().arg(fileName, file.errorString()));
    return ParseToDoList(bytes, fileName);
}

TXMLToDoListType LoadToDoList(const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        return NewToDoList();
    try {
        return ReadToDoFile(fileName);
    } catch (const Exception &error) {
        TXMLToDoListType list = NewToDoList();
        list.MarkUnreadableFile(fileName, error.Message());
        return list;
    }
}

TToDoWriteResult WriteToDoFile(const TXMLToDoListType &list, const QString &fileName)
{
    if (list.IsUnreadableFile(fileName))
        return TToDoWriteResult::KeptUnreadableFile;
    if (list.Count() == 0 && !QFileInfo::exists(fileName))
        return TToDoWriteResult::NothingToWrite;
    const QByteArray bytes = list.ToXml();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFCreateError(ToDoStrings::CreateError().arg(fileName, file.errorString()));
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw EWriteError(ToDoStrings::WriteError().arg(fileName, reason));
    }
    if (!file.commit())
        throw EWriteError(ToDoStrings::WriteError().arg(fileName, file.errorString()));
    return TToDoWriteResult::Written;
}

QStringList OrderedAttributeNames(const QDomElement &element)
{
    static const QString leading[] = {ToDoStrings::StatusName(), ToDoStrings::PriorityName(),
                                      ToDoStrings::TopicName()};
    const QDomNamedNodeMap attributes = element.attributes();
    QStringList others;
    for (int i = 0; i < attributes.count(); ++i)
        others.append(attributes.item(i).nodeName());
    others.sort();
    QStringList names;
    for (const QString &name : leading) {
        if (others.removeOne(name))
            names.append(name);
    }
    return names + others;
}
