#include "app/AboutDialog.h"

#include <cstdint>
#include <memory>

#include "app/Application.h"
#include "app/core/FormatText.h"
#include "resources/ResourceIds.h"

namespace {

constexpr size_t kTextCapacity = 256;

struct VersionRow {
    int control;
    const wchar_t* queryFormat;
};

constexpr VersionRow kVersionRows[] = {
    {IDC_ABOUT_NAME, L"\\StringFileInfo\\%04X%04X\\FileDescription"},
    {IDC_ABOUT_VERSION, L"\\StringFileInfo\\%04X%04X\\FileVersion"},
    {IDC_ABOUT_NOTICE, L"\\StringFileInfo\\%04X%04X\\LegalCopyright"},
};

struct Translation {
    uint16_t language;
    uint16_t codePage;
};

}  // namespace

void AboutDialog::OnInit() {
    ShowCaption(Handle());
    ShowVersionTexts(Handle());
}

void AboutDialog::ShowCaption(HWND window) {
    wchar_t caption[kTextCapacity];
    FormatText(caption, kTextCapacity, L"About %ls...", Application::title);
    SetWindowTextW(window, caption);
}

// Without a version resource, a translation or a value, the label keeps its template text.
void AboutDialog::ShowVersionTexts(HWND window) {
    wchar_t path[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0) return;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0) return;
    const std::unique_ptr<uint8_t[]> block(new uint8_t[size]);
    if (!GetFileVersionInfoW(path, handle, size, block.get())) return;

    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.get(), L"\\VarFileInfo\\Translation", &value, &length) ||
        length < sizeof(Translation)) {
        return;
    }
    const Translation first = *static_cast<const Translation*>(value);
    for (const VersionRow& row : kVersionRows) {
        wchar_t query[kTextCapacity];
        FormatText(query, kTextCapacity, row.queryFormat, first.language, first.codePage);
        if (VerQueryValueW(block.get(), query, &value, &length) && length > 0) {
            SetDlgItemTextW(window, row.control, static_cast<const wchar_t*>(value));
        }
    }
}
