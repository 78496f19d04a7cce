// Arbitrary bytes read as a topic's RTF. Reading never fails; what was read
// must write as RTF that reads back to the same text, and writing that again
// must give the same bytes. The same bytes pasted into the middle of a text
// must not break the buffer either.

#include "richtext/RichTextBuffer.h"
#include "richtext/RichTextStrings.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_rtf: %s\n", what);
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Fonts and images need the application object; nothing is shown.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    TRichTextBuffer first;
    first.LoadRtf(input);
    const QString text = first.Text();
    const QByteArray written = first.Rtf();

    TRichTextBuffer second;
    // A picture that does not decode is kept as it was, and says so again.
    QStringList complaints = second.LoadRtf(QByteArrayView(written));
    complaints.removeAll(RichTextStrings::UnreadablePicture());
    Require(complaints.isEmpty(), "the writer's RTF reads with complaints");
    Require(second.Text() == text, "the text changed through a write and a read");
    Require(second.Rtf() == written, "writing what was read is not a fixed point");

    TRichTextBuffer target;
    target.SetPlainText(QStringLiteral("before\rafter"));
    target.SetSelection(3, 5);
    target.SetSelRtf(input);
    Require(target.Text().startsWith(QStringLiteral("bef")), "pasting lost the text before the selection");
    Require(target.Text().endsWith(QStringLiteral("ter")), "pasting lost the text after the selection");
    TRichTextBuffer pasted;
    pasted.LoadRtf(QByteArrayView(target.Rtf()));
    Require(pasted.Text() == target.Text(), "pasted text changed through a write and a read");
    return 0;
}
