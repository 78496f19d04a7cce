// qmtool dump FILE [--encoding ENC]: the loaded document as one JSON object.

#include "CommandLine.h"
#include "EncodingOption.h"

#include "quillmarkdoc/QMJson.h"
#include "quillmarkdoc/QuillmarkDoc.h"

namespace {

// Large projects print tens of megabytes: the output leaves in pieces of
// about this size instead of being held whole.
constexpr qsizetype FlushSize = 1 << 20;

void FlushIfLarge(QByteArray &out)
{
    if (out.size() >= FlushSize) {
        qmtool::WriteOut(out);
        out.clear();
    }
}

template<class Collection> void AppendItems(QByteArray &out, const char *key, const Collection &items)
{
    out.append(",\n  \"");
    out.append(key);
    out.append("\": [");
    for (int i = 0; i < items.Count(); ++i) {
        out.append(i > 0 ? ",\n    " : "\n    ");
        QMJson::AppendObject(out, *items.Items(i));
        FlushIfLarge(out);
    }
    out.append(items.Count() > 0 ? "\n  ]" : "]");
}

void AppendList(QByteArray &out, const char *key, const TStringList &list)
{
    out.append(",\n  \"");
    out.append(key);
    out.append("\": ");
    QMJson::AppendStringArray(out, list.ToQStringList());
}

int RunDump(const QStringList &arguments)
{
    QStringList args = arguments;
    const TEncoding *encoding = qmtool::TakeEncoding(args);
    qmtool::ExpectArgumentCount(args, 1);

    TQuillmarkDoc doc;
    doc.LoadFromFile(args.at(0), encoding);

    QByteArray out;
    out.reserve(FlushSize + FlushSize / 4);
    out.append("{\n  \"options\": ");
    QMJson::AppendObject(out, *doc.Options());
    AppendItems(out, "topics", *doc.Topics());
    AppendList(out, "windowDefinitions", *doc.WindowDefinitions());
    AppendList(out, "contentsLinks", *doc.ContentsLinks());
    AppendList(out, "contentsIndices", *doc.ContentsIndices());
    AppendItems(out, "contents", *doc.Contents());
    AppendItems(out, "textMacros", *doc.TextMacros());
    out.append("\n}\n");
    qmtool::WriteOut(out);
    return 0;
}

const qmtool::CommandRegistration registration({
    QStringLiteral("dump"),
    QStringLiteral("dump FILE [--encoding ENC]"),
    false,
    RunDump,
});

} // namespace
