#include "diag/PlainFile.h"

#include <sys/stat.h>
#include <sys/types.h>

#ifndef _WIN32
#include "core/Text.h"
#endif

namespace tarnwick {

namespace {

#ifdef _WIN32
// Windows file names are UTF-16 already.
const wchar_t* NativeName(const std::u16string& name) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return reinterpret_cast<const wchar_t*>(name.c_str());
}
using TFileStatus = struct _stat64;
int Status(const std::u16string& name, TFileStatus& status) {
    return _wstat64(NativeName(name), &status);
}
double Seconds(const TFileStatus& status) {
    return static_cast<double>(status.st_mtime);
}
#else
using TFileStatus = struct stat;
int Status(const std::u16string& name, TFileStatus& status) {
    return stat(ToUtf8(name).c_str(), &status);
}
double Seconds(const TFileStatus& status) {
    return static_cast<double>(status.st_mtim.tv_sec) + static_cast<double>(status.st_mtim.tv_nsec) * 1e-9;
}
#endif

} // namespace

bool TPlainFile::Open(const std::u16string& FileName) {
#ifdef _WIN32
    FFile.reset(_wfopen(NativeName(FileName), L"rb"));
#else
    FFile.reset(std::fopen(ToUtf8(FileName).c_str(), "rb"));
#endif
    if (!FFile) {
        return false;
    }
    TFileStatus status{};
    FSizeAtOpen = Status(FileName, status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
    return true;
}

std::size_t TPlainFile::Read(char* Buffer, std::size_t Size) {
    return FFile ? std::fread(Buffer, 1, Size, FFile.get()) : 0;
}

bool TPlainFile::Failed() const {
    return FFile && std::ferror(FFile.get()) != 0;
}

std::optional<double> LastWriteTimeSeconds(const std::u16string& FileName) {
    TFileStatus status{};
    if (Status(FileName, status) != 0) {
        return std::nullopt;
    }
    return Seconds(status);
}

} // namespace tarnwick
