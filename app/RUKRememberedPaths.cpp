#include "RUKRememberedPaths.h"

#include "SysUtils.h"

#include <windows.h>

namespace ruk {

std::string UsableRememberedPath(const std::string& path, TRememberedPathKind kind) {
    if (path.empty() || path.size() > MAX_PATH) return std::string();
    if (DirectoryExists(path)) return path;
    if (kind == TRememberedPathKind::rpSaveFile && (FileExists(path) || DirectoryExists(ExtractFileDir(path))))
        return path;
    return std::string();
}

}  // namespace ruk
