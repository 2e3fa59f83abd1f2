#include "output/FileInUse.h"

#ifdef Q_OS_WIN
#include <QDir>

#include <string>

#include <windows.h>
#endif

namespace lumiset {

#ifdef Q_OS_WIN
// Opening the file for reading and writing with no sharing at all fails with a
// sharing (or lock) violation exactly when some other handle has it open.
bool fileInUse(const QString& path)
{
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    const HANDLE file = CreateFileW(native.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* no sharing */, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}
#else
// An open file is replaced like any other here.
bool fileInUse(const QString& /*path*/)
{
    return false;
}
#endif

bool replaceHeldBack(const QFileDevice& save, const QString& path)
{
    return save.error() == QFileDevice::RenameError && fileInUse(path);
}

} // namespace lumiset
