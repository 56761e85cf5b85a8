// commdlg.h needs the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include <cstddef>
#include <cstring>

#include "platform/marker_picker.h"
#include "platform/system_library.h"

namespace {
constexpr DWORD FileBufferSize = 500;
// The record size of the version 4.0 dialog (OPENFILENAME_SIZE_VERSION_400A, which is
// not a constant expression): the record up to lpTemplateName, 76 bytes when 32-bit.
constexpr DWORD RecordSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
#if !defined(_WIN64)
static_assert(RecordSize == 76, "the 32-bit dialog record is 76 bytes");
#endif

// comdlg32 is loaded only when the dialog is wanted: imported, it brings shell32,
// comctl32 and more into every start of the saver, which under Wine cost a few tenths
// of a second, for a dialog that most starts never show.
using OpenFileDialog = BOOL(WINAPI*)(LPOPENFILENAMEA);

BOOL ShowOpenFileDialog(OPENFILENAMEA& dialog) {
    HMODULE library = LoadSystemLibrary("comdlg32.dll");
    if (library == nullptr) return FALSE;
    // Through a data pointer, which keeps GCC's function-cast warning quiet; Windows
    // guarantees the round trip.
    const auto open = reinterpret_cast<OpenFileDialog>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetOpenFileNameA")));
    const BOOL chosen = open != nullptr && open(&dialog);
    FreeLibrary(library);
    return chosen;
}
}  // namespace

bool PickMarkerFile(char* out, std::size_t size) {
    if (out == nullptr || size == 0) return false;
    out[0] = '\0';

    char file[FileBufferSize] = "";
    OPENFILENAMEA dialog;
    std::memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = RecordSize;
    dialog.hwndOwner = nullptr;
    // One filter: description, pattern, and the empty text that ends the list.
    dialog.lpstrFilter = "texture information *.tex\0*.tex\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = FileBufferSize;
    dialog.lpstrTitle = "Browse for textures path";
    dialog.Flags = OFN_FILEMUSTEXIST;
    dialog.lpstrDefExt = "UTF";
    if (!ShowOpenFileDialog(dialog)) return false;

    const std::size_t length = std::strlen(file);
    if (length >= size) return false;
    std::memcpy(out, file, length + 1);
    return true;
}
