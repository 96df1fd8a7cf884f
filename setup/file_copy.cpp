#include "setup/file_copy.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "setup/messages.h"
#include "setup/resource_ids.h"

using namespace owndraw;

bool join_path(const char* folder, const char* name, char* out, size_t out_size)
{
    if (out_size == 0)
        return false;
    out[0] = '\0';
    size_t used = 0;
    bool fits = true;
    auto append = [&](const char* part) {
        for (; *part != '\0'; ++part) {
            if (used + 1 >= out_size) {
                fits = false;
                break;
            }
            out[used++] = *part;
        }
        out[used] = '\0';
    };
    append(folder);
    trim_trailing_blanks(out);
    used = std::strlen(out);
    append("\\");
    append(name);
    trim_trailing_blanks(out);
    return fits;
}

namespace {

// Chunks stay within COPY_CHUNK_MAX but are a whole number of 4 KiB pages, so that every
// read and write starts on a page boundary of the file: the system then moves whole cached
// pages, which makes large copies markedly faster than 65,280-byte steps.
constexpr unsigned COPY_CHUNK_BYTES = COPY_CHUNK_MAX / 4096 * 4096;
static_assert(COPY_CHUNK_BYTES == 61440, "fifteen pages");

// A C runtime file descriptor closed on scope exit.
struct Descriptor {
    int fd = -1;
    Descriptor() = default;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { if (fd >= 0) _close(fd); }
    // Closes now and reports a failure of the close itself (a delayed write error).
    int close_now()
    {
        int rc = _close(fd);
        fd = -1;
        return rc == 0 ? 0 : errno;
    }
};

// Writes through the descriptor's system handle: the runtime's own write turns a short
// write on a full volume into an unrelated error number on some platforms, and the user
// must be told that the disk is full.
int write_chunk(int fd, const char* data, DWORD count)
{
    HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD written = 0;
    if (!WriteFile(file, data, count, &written, nullptr)) {
        switch (GetLastError()) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_ACCESS_DENIED:
        case ERROR_LOCK_VIOLATION:
            return EACCES;
        default:
            return EIO;
        }
    }
    // A short write means the volume filled up; never end with a shortened target.
    return written == count ? 0 : ENOSPC;
}

int copy_bytes(int in, int out)
{
    const long long length = _filelengthi64(in);
    if (length < 0)
        return errno;
    // One buffer per file, no larger than the file; at least one byte so that an
    // empty file does not depend on what the allocator makes of a zero-size request.
    size_t size = length < static_cast<long long>(COPY_CHUNK_BYTES) ? static_cast<size_t>(length)
                                                                     : COPY_CHUNK_BYTES;
    if (size == 0)
        size = 1;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
    if (!buffer)
        return ENOMEM;

    for (;;) {
        const int got = _read(in, buffer.get(), static_cast<unsigned>(size));
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        if (int err = write_chunk(out, buffer.get(), static_cast<DWORD>(got)))
            return err;
    }
}

} // namespace

int copy_to_new_file(const char* source, const char* fresh, bool flush)
{
    Descriptor in;
    if (int err = _sopen_s(&in.fd, source, _O_RDONLY | _O_BINARY | _O_SEQUENTIAL, _SH_DENYNO, 0))
        return err;

    Descriptor out;
    // Ordinary attributes (readable and writable); the name is the caller's own.
    if (int err = _sopen_s(&out.fd, fresh, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _SH_DENYNO,
                           _S_IREAD | _S_IWRITE))
        return err;

    int err = copy_bytes(in.fd, out.fd);
    // Once, when the file is whole: the move that follows must never put a name on bytes
    // that are still only in the cache.
    if (err == 0 && flush && !FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(out.fd))))
        err = EIO;
    const int close_err = out.close_now();
    if (err == 0)
        err = close_err;
    if (err != 0)
        _unlink(fresh); // a partial file must not stay behind
    return err;
}

int flush_file(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return EACCES;
    const bool flushed = FlushFileBuffers(file) != FALSE;
    CloseHandle(file);
    return flushed ? 0 : EIO;
}

int check_replaceable(const char* target)
{
    const DWORD attributes = GetFileAttributesA(target);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0; // nothing to replace
    // Said here rather than left to the move: a rename over a read-only file is refused by
    // Windows, but what other systems make of it is their own business.
    if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return EACCES;
    // A program holding the file without sharing its deletion would make the move fail
    // half-way through a run; find out before anything is changed.
    HANDLE file = CreateFileA(target, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return EACCES;
    CloseHandle(file);
    return 0;
}

int replace_file(const char* fresh, const char* target)
{
    if (int err = check_replaceable(target))
        return err;
    if (MoveFileExA(fresh, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    const DWORD error = GetLastError();
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? ENOSPC : EACCES;
}

int copy_one_file(const char* source, const char* target)
{
    if (int err = check_replaceable(target))
        return err;
    // The new bytes go under a temporary name beside the target, so that the target's name
    // only ever holds a whole file: the previous one, then the new one.
    char folder[MAX_PATH];
    char fresh[MAX_PATH];
    char* name = nullptr;
    if (GetFullPathNameA(target, MAX_PATH, folder, &name) == 0 || name == nullptr)
        return ENOENT;
    *name = '\0';
    if (GetTempFileNameA(folder, "~vr", 0, fresh) == 0)
        return ENOENT;
    int err = copy_to_new_file(source, fresh, true);
    if (err == 0)
        err = replace_file(fresh, target);
    if (err != 0)
        DeleteFileA(fresh);
    return err;
}

void report_copy_failure(HWND dialog, int code, const char* source)
{
    const UINT id = code == ENOSPC ? MSG_COPY_NO_SPACE : MSG_COPY_FAILED;
    show_message(dialog, id, MB_OK | MB_ICONINFORMATION, source);
}
