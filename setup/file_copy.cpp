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

int create_target(Descriptor& out, const char* target)
{
    // Exclusive creation, ordinary attributes (readable and writable).
    return _sopen_s(&out.fd, target, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _SH_DENYNO,
                    _S_IREAD | _S_IWRITE);
}

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

int copy_one_file(const char* source, const char* target)
{
    Descriptor in;
    if (int err = _sopen_s(&in.fd, source, _O_RDONLY | _O_BINARY | _O_SEQUENTIAL, _SH_DENYNO, 0))
        return err;

    Descriptor out;
    int err = create_target(out, target);
    if (err == EEXIST) {
        // Replace the previous version; a read-only or locked target refuses (13).
        if (_unlink(target) != 0)
            return errno;
        err = create_target(out, target);
    }
    if (err != 0)
        return err;

    err = copy_bytes(in.fd, out.fd);
    const int close_err = out.close_now();
    if (err == 0)
        err = close_err;
    if (err != 0) {
        // The target was created by this copy: a truncated file must not stay behind.
        _unlink(target);
    }
    return err;
}

void report_copy_failure(HWND dialog, int code, const char* source)
{
    const UINT id = code == ENOSPC ? MSG_COPY_NO_SPACE : MSG_COPY_FAILED;
    show_message(dialog, id, MB_OK | MB_ICONINFORMATION, source);
}

int install_file(HWND dialog, const char* name, const char* main_path, const char* client_path)
{
    char source[JOINED_PATH_SIZE];
    char target[JOINED_PATH_SIZE];
    const bool fits = join_path(main_path, name, source, sizeof source) &&
                      join_path(client_path, name, target, sizeof target);

    const int code = fits ? copy_one_file(source, target) : ENAMETOOLONG;
    if (code != 0)
        report_copy_failure(dialog, code, source);
    return code;
}
