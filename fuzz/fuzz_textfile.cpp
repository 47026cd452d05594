// The settings file or the phonebook, whatever its bytes: lines without a
// crash, and what is written back in the encoding found reads the same again.
#include "store/textfile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using zendry::TextFile;
    const TextFile::Contents read =
            TextFile::decode(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const TextFile::Contents again = TextFile::decode(TextFile::encode(read.lines, read.encoding));
    if (again.lines != read.lines || again.encoding != read.encoding)
        std::abort();
    return 0;
}
