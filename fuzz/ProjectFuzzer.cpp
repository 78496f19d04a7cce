// Arbitrary bytes read as a project file. Reading ends in a document or an
// error, never in a crash or a hang; what reads must write so that it reads
// again, and the second write must equal the first (UTF-16 holds every
// character the reader can produce, so nothing is lost on the way).

#include "foundation/Exceptions.h"
#include "foundation/Stream.h"
#include "foundation/TextEncoding.h"
#include "quillmarkdoc/QuillmarkDoc.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

void Require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_project: %s\n", what);
        __builtin_trap();
    }
}

QByteArray Save(TQuillmarkDoc &doc)
{
    TMemoryStream out;
    doc.SaveToStream(out, TEncoding::Utf16LE());
    return out.Bytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TQuillmarkDoc doc;
    try {
        TMemoryStream in(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
        doc.LoadFromStream(in);
    } catch (const Exception &) {
        return 0;
    }
    const QByteArray first = Save(doc);
    TQuillmarkDoc again;
    try {
        TMemoryStream in(first);
        again.LoadFromStream(in);
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        Require(false, "a written project does not read back");
    }
    Require(Save(again) == first, "writing what was read back changed the file");
    return 0;
}
