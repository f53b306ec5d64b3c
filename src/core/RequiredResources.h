#pragma once
// Reading the packs and pictures a screen cannot run without. Each ends the program through
// ResourceMissing, naming the file and what is wrong with it, so that a player or maintainer
// reading stderr or zvd.out learns which file to mend; the message box stays the bare
// "Resource Missing".
#include <memory>

class Bitmap;
class ResourceFile;

void OpenRequiredPack(ResourceFile& file, const char* name);
void SelectRequiredEntry(ResourceFile& pack, int column, int row);
// The picture at an entry of an open pack.
std::unique_ptr<Bitmap> RequiredPicture(ResourceFile& pack, int column, int row);
