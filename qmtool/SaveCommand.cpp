// qmtool save IN OUT [--encoding ENC]: loads a project and writes it again.

#include "CommandLine.h"
#include "EncodingOption.h"

#include "quillmarkdoc/QuillmarkDoc.h"

namespace {

int RunSave(const QStringList &arguments)
{
    QStringList args = arguments;
    const TEncoding *encoding = qmtool::TakeEncoding(args);
    qmtool::ExpectArgumentCount(args, 2);

    TQuillmarkDoc doc;
    doc.LoadFromFile(args.at(0));
    // The file is replaced only once it is complete; a failure leaves
    // whatever stood there before.
    doc.SaveToFile(args.at(1), encoding);
    return 0;
}

const qmtool::CommandRegistration registration({
    QStringLiteral("save"),
    QStringLiteral("save IN OUT [--encoding ENC]"),
    false,
    RunSave,
});

} // namespace
