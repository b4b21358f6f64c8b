// The comment lines after the end of a profile file, read and written back.
#include <cstdlib>

#include "core/profile/dive_comment.h"
#include "core/settings/memory_settings_store.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace marelos;
    const std::string path = fuzz::FileWith("kommentar.mrp", fuzz::AsText(data, size));
    const Result<CommentFields> fields = ReadDiveComment(path);
    if (!fields) return 0;
    // A comment that could be saved can be read again (a character the code page cannot take
    // refuses the save).
    InMemorySettingsStore store;
    if (SaveDiveComment(path, fields.value(), store)) return 0;
    if (!ReadDiveComment(path)) std::abort();
    return 0;
}
