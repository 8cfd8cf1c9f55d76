#include "ui/win32/icon_list.h"
#include "base/win32/module_instance.h"

namespace {

// Version of the icon format CreateIconFromResourceEx is given.
constexpr DWORD kIconFormatVersion = 0x00030000;

const BYTE* resourceBits(int id, LPCSTR type, DWORD& size) {
    HRSRC found = FindResourceA(module_instance, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found != nullptr ? LoadResource(module_instance, found) : nullptr;
    size = loaded != nullptr ? SizeofResource(module_instance, found) : 0;
    return loaded != nullptr ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

// The icon is made from its resource bits rather than with LoadImage: Wine keeps
// memory outside the process's heaps for each icon LoadImage loads from a module,
// which every opening of the preferences would add to.
HICON loadIcon(int id, int size) {
    DWORD group_size = 0;
    const BYTE* group = resourceBits(id, RT_GROUP_ICON, group_size);
    if (group == nullptr)
        return nullptr;
    // The icon's own image of that size, not a larger one scaled down.
    const int image_id =
        LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group), TRUE, size, size, LR_DEFAULTCOLOR);
    DWORD image_size = 0;
    const BYTE* image = image_id != 0 ? resourceBits(image_id, RT_ICON, image_size) : nullptr;
    if (image == nullptr)
        return nullptr;
    return CreateIconFromResourceEx(const_cast<BYTE*>(image), image_size, TRUE, kIconFormatVersion, size,
                                    size, LR_DEFAULTCOLOR);
}

} // namespace

HIMAGELIST createIconList(const int* icon_ids, size_t count, int size) {
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 0, 1);
    for (size_t index = 0; index < count; ++index) {
        HICON icon = loadIcon(icon_ids[index], size);
        ImageList_ReplaceIcon(images, -1, icon);
        // The list keeps its own copy.
        if (icon != nullptr)
            DestroyIcon(icon);
    }
    return images;
}
