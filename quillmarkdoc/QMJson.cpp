#include "quillmarkdoc/QMJson.h"

#include "foundation/Font.h"
#include "foundation/Persistent.h"
#include "quillmarkdoc/QMContents.h"
#include "quillmarkdoc/QMTopics.h"
#include "quillmarkdoc/QMTypes.h"
#include "quillmarkdoc/QMWriter.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QVariant>

namespace {

void AppendUtf8(QByteArray &out, char32_t cp)
{
    if (cp < 0x80) {
        out.append(char(cp));
    } else if (cp < 0x800) {
        out.append(char(0xC0 | (cp >> 6)));
        out.append(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.append(char(0xE0 | (cp >> 12)));
        out.append(char(0x80 | ((cp >> 6) & 0x3F)));
        out.append(char(0x80 | (cp & 0x3F)));
    } else {
        out.append(char(0xF0 | (cp >> 18)));
        out.append(char(0x80 | ((cp >> 12) & 0x3F)));
        out.append(char(0x80 | ((cp >> 6) & 0x3F)));
        out.append(char(0x80 | (cp & 0x3F)));
    }
}

void AppendKey(QByteArray &out, const char *name, bool &first)
{
    if (!first)
        out.append(", ");
    first = false;
    out.append('"');
    out.append(name);
    out.append("\": ");
}

void AppendValue(QByteArray &out, const QMetaProperty &property, const QVariant &value);

} // namespace

namespace QMJson {

void AppendString(QByteArray &out, QStringView text)
{
    static const char hex[] = "0123456789abcdef";
    out.append('"');
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    while (p < end) {
        // Plain runs go out in one piece: RTF bodies are mostly ASCII.
        const char16_t *run = p;
        while (p < end && *p >= 0x20 && *p < 0x80 && *p != u'"' && *p != u'\\')
            ++p;
        if (p > run) {
            const qsizetype at = out.size();
            out.resize(at + (p - run));
            char *dst = out.data() + at;
            for (const char16_t *q = run; q < p; ++q)
                *dst++ = char(*q);
        }
        if (p == end)
            break;
        const char16_t c = *p++;
        switch (c) {
        case u'"':
            out.append("\\\"");
            break;
        case u'\\':
            out.append("\\\\");
            break;
        case u'\n':
            out.append("\\n");
            break;
        case u'\r':
            out.append("\\r");
            break;
        case u'\t':
            out.append("\\t");
            break;
        default:
            if (c < 0x20) {
                out.append("\\u00");
                out.append(hex[c >> 4]);
                out.append(hex[c & 15]);
            } else if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
                AppendUtf8(out, QChar::surrogateToUcs4(c, *p++));
            } else if (QChar::isSurrogate(c)) {
                AppendUtf8(out, 0xFFFD);
            } else {
                AppendUtf8(out, c);
            }
        }
    }
    out.append('"');
}

void AppendStringArray(QByteArray &out, const QStringList &strings)
{
    out.append('[');
    for (qsizetype i = 0; i < strings.size(); ++i) {
        if (i > 0)
            out.append(", ");
        AppendString(out, strings.at(i));
    }
    out.append(']');
}

void AppendGadget(QByteArray &out, const void *gadget, const QMetaObject &meta)
{
    out.append('{');
    bool first = true;
    for (int i = 0; i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        if (!property.isReadable() || !property.isStored())
            continue;
        AppendKey(out, property.name(), first);
        AppendValue(out, property, property.readOnGadget(gadget));
    }
    out.append('}');
}

void AppendObject(QByteArray &out, const TObject &object)
{
    // The gadget pointer must be that of the dynamic class.
    AppendGadget(out, dynamic_cast<const void *>(&object), *object.MetaObject());
    if (const auto *item = dynamic_cast<const TQMContentsItem *>(&object)) {
        out.chop(1);
        bool first = out.endsWith('{');
        AppendKey(out, "Topic", first);
        if (const TQMTopic *topic = item->Topic())
            out.append(QByteArray::number(topic->TopicID()));
        else
            out.append("null");
        out.append('}');
    }
}

} // namespace QMJson

namespace {

void AppendValue(QByteArray &out, const QMetaProperty &property, const QVariant &value)
{
    const QMetaType type = value.metaType();
    if (type == QMetaType::fromType<TFontStyles>()) {
        QMJson::AppendString(out, TQMWriter::StyleLine(value.value<TFontStyles>()));
        return;
    }
    if (type == QMetaType::fromType<TAlignment>()) {
        // The file's number, which a reader of the dump compares with the file.
        out.append(QByteArray::number(value.toInt()));
        return;
    }
    if (property.isEnumType()) {
        const QMetaEnum enumerator = property.enumerator();
        const int number = value.toInt();
        const char *key = enumerator.isFlag() ? nullptr : enumerator.valueToKey(number);
        if (enumerator.isFlag()) {
            QMJson::AppendString(out, QString::fromLatin1(enumerator.valueToKeys(number)));
        } else if (key) {
            out.append('"');
            out.append(key);
            out.append('"');
        } else {
            // A damaged file can carry a value the enumeration has no name for.
            out.append(QByteArray::number(number));
        }
        return;
    }
    if (type.flags().testFlag(QMetaType::PointerToGadget)) {
        const void *pointer = *static_cast<const void *const *>(value.constData());
        if (pointer && type.metaObject())
            QMJson::AppendGadget(out, pointer, *type.metaObject());
        else
            out.append("null");
        return;
    }
    switch (type.id()) {
    case QMetaType::Bool:
        out.append(value.toBool() ? "true" : "false");
        break;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
        out.append(QByteArray::number(value.toInt()));
        break;
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
        out.append(QByteArray::number(value.toUInt()));
        break;
    case QMetaType::Long:
    case QMetaType::LongLong:
        out.append(QByteArray::number(value.toLongLong()));
        break;
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        out.append(QByteArray::number(value.toULongLong()));
        break;
    case QMetaType::Float:
    case QMetaType::Double:
        out.append(QByteArray::number(value.toDouble(), 'g', 9));
        break;
    case QMetaType::QStringList:
        QMJson::AppendStringArray(out, value.toStringList());
        break;
    case QMetaType::QString:
        QMJson::AppendString(out, value.toString());
        break;
    default:
        if (value.canConvert<QString>())
            QMJson::AppendString(out, value.toString());
        else
            out.append("null");
    }
}

} // namespace
