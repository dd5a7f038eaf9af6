// The identity of a file or folder.
#include "FileIdentity.h"

#include "UniqueHandle.h"

FileIdentity ReadFileIdentity(const std::wstring& path)
{
    FileIdentity id;
    // Backup semantics lets CreateFileW open a directory; no access rights are needed.
    UniqueFile entry(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (entry && GetFileInformationByHandle(entry.get(), &information)) {
        id.volume = information.dwVolumeSerialNumber;
        id.indexHigh = information.nFileIndexHigh;
        id.indexLow = information.nFileIndexLow;
        // Some network file systems give every entry the index 0: that identifies nothing.
        id.known = information.nFileIndexHigh != 0 || information.nFileIndexLow != 0;
    }
    return id;
}
