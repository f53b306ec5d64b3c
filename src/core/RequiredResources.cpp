#include "core/RequiredResources.h"

#include <string>

#include "core/Bitmap.h"
#include "core/FatalError.h"
#include "core/ResourceFile.h"

void OpenRequiredPack(ResourceFile& file, const char* name) {
    if (!file.Open(name, ResourceFile::OpenMode::Pack)) ResourceMissing(file.Fault());
}

void SelectRequiredEntry(ResourceFile& pack, int column, int row) {
    if (pack.SelectEntry(column, row)) return;
    ResourceMissing(pack.Path() + ": has no entry at column " + std::to_string(column) + ", row " +
                    std::to_string(row));
}

std::unique_ptr<Bitmap> RequiredPicture(ResourceFile& pack, int column, int row) {
    SelectRequiredEntry(pack, column, row);
    return std::make_unique<Bitmap>(&pack);
}
