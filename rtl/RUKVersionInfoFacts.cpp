#include "RUKVersionInfoFacts.h"

#include "SysUtils.h"


namespace ruk {

std::string IExploreSearchList(const std::string& programFiles, const std::string& searchPath) {
    if (programFiles.empty()) return searchPath;
    std::string folder = programFiles;
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    if (AnsiLowerCase(searchPath).find(AnsiLowerCase(folder)) != std::string::npos) return searchPath;
    return folder + "\\" + "IExplore.exe" + ";" + folder + ";" + searchPath;
}

BYTE PictureKindOfFile(const std::string& fileName, BYTE programKind, DWORD& lastError) {
    if (fileName.empty()) {
        lastError = ERROR_INVALID_PARAMETER;
    } else {
        DWORD type = 0;
        if (GetBinaryTypeA(fileName.c_str(), &type)) {
            // A program of this library's own kind (the 64-bit test builds are 64-bit programs).
            if (type == SCS_32BIT_BINARY || type == SCS_64BIT_BINARY) return programKind;
        } else {
            lastError = GetLastError();
        }
    }
    const std::string ext = ExtractFileExt(fileName);
    if (SameText(ext, ".bmp")) return pkBitmap;
    if (SameText(ext, ".ico")) return pkIcon;
    if (SameText(ext, ".emf") || SameText(ext, ".wmf")) return pkMetafile;
    return pkNone;
}

TWindowsLogoSource WindowsLogoSource(DWORD majorVersion, const std::string& windowsDirectory) {
    if (majorVersion <= 5) return {"sysdm.cpl", 1};
    std::string folder = windowsDirectory.empty() ? std::string() : windowsDirectory + "\\" + "Branding\\ShellBrd";
    return {folder.empty() ? std::string("Shellbrd.dll") : folder + "\\" + "Shellbrd.dll",
            majorVersion >= 10 ? 3100u : 1050u};
}

}  // namespace ruk
