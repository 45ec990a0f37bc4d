// RUKVersionInfoFacts: what the version dialog finds out before it fills its pages and loads
// its pictures: the web browser's program file, picture kinds and the source of the Windows logo.
#pragma once

#include <windows.h>

#include <string>

namespace ruk {

// The list the browser's program file is searched along: the Path, with the browser's usual
// place and the Program Files folder put in front when the Path does not name that folder.
std::string IExploreSearchList(const std::string& programFiles, const std::string& searchPath);

// Picture kinds of the dialog's images.
enum : BYTE { pkNone = 0, pkIcon = 1, pkBitmap = 2, pkMetafile = 3 };
// The kind of a picture file: a Windows program gives programKind (its resources hold
// the picture), else the extension decides. A failing binary-type query or an empty name
// leaves its code in lastError.
BYTE PictureKindOfFile(const std::string& fileName, BYTE programKind, DWORD& lastError);

// Where the Windows logo comes from: a module opened as data and a bitmap id in it.
struct TWindowsLogoSource {
    std::string Module;
    UINT BitmapId = 0;
};
TWindowsLogoSource WindowsLogoSource(DWORD majorVersion, const std::string& windowsDirectory);

}  // namespace ruk
