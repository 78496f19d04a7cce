// Arbitrary bytes read as the settings block of the preferences file. Reading
// ends in the settings or an error, never in a crash or a hang, and never
// makes the project look edited; a block that read writes one that reads.

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
        std::fprintf(stderr, "fuzz_settings: %s\n", what);
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TQuillmarkDoc doc;
    doc.SetModified(false);
    try {
        TMemoryStream in(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
        doc.LoadSettingsFromStream(in);
    } catch (const Exception &) {
        Require(!doc.Modified(), "a failed settings read left the project edited");
        return 0;
    }
    Require(!doc.Modified(), "reading settings made the project look edited");

    TMemoryStream out;
    doc.SaveSettingsToStream(out, TEncoding::Utf16LE());
    TQuillmarkDoc again;
    // Recent files append to what is there: start the copy empty.
    again.RecentFiles()->Clear();
    try {
        out.SetPosition(0);
        again.LoadSettingsFromStream(out);
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        Require(false, "written settings do not read back");
    }
    return 0;
}
