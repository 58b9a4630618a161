// Capped reading of regular files and atomic replacement of files (see file_io.h).
#include "platform/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace {

std::string errno_text(int err) { return std::string(std::strerror(err)); }

std::string dir_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string base_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What a path that exists but is not a regular file is, in a few words.
std::string kind_of(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device, not a regular file";
    if (S_ISSOCK(mode)) return "a socket, not a regular file";
    return "not a regular file";
}

// Follows symlinks at PATH (and at what they point to) to the path that is finally written.
// False on a loop or a link that cannot be read.
bool resolve_links(const std::string& path, std::string& final_path, std::string& why) {
    std::string cur = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(cur.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            final_path = cur;
            return true;
        }
        char target[PATH_MAX];
        const ssize_t n = ::readlink(cur.c_str(), target, sizeof target - 1);
        if (n <= 0) {
            why = "its link cannot be read";
            return false;
        }
        target[n] = '\0';
        if (target[0] == '/')
            cur = target;
        else
            cur = dir_of(cur) + "/" + target;
    }
    why = "too many levels of links";
    return false;
}

bool write_all(int fd, const char* data, std::size_t size, std::string& why) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t w = ::write(fd, data + done, size - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            why = "write failed (" + errno_text(errno) + ")";
            return false;
        }
        done += static_cast<std::size_t>(w);
    }
    return true;
}

void sync_folder(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // some file systems refuse to sync a folder; the rename has happened anyway
    ::close(fd);
}

}  // namespace

bool file_read_capped(const std::string& path, std::size_t max_bytes, std::string& out, std::string& why) {
    out.clear();
    // Non-blocking, so that opening a named pipe without a writer does not wait for one.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            why = "missing";
        else
            why = "unreadable (" + errno_text(err) + ")";
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        why = "unreadable (" + errno_text(errno) + ")";
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        why = kind_of(st.st_mode);
        ::close(fd);
        return false;
    }
    const std::string too_large = "larger than " + std::to_string(max_bytes) + " bytes";
    if (static_cast<unsigned long long>(st.st_size) > max_bytes) {
        why = too_large;
        ::close(fd);
        return false;
    }
    out.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            why = "unreadable (" + errno_text(errno) + ")";
            out.clear();
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        // The file may have grown since it was measured.
        if (static_cast<std::size_t>(n) > max_bytes - out.size()) {
            why = too_large;
            out.clear();
            out.shrink_to_fit();
            ::close(fd);
            return false;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

bool file_is_replace_temp(const std::string& name, const std::string& destination_name) {
    const std::string prefix = destination_name + ".tmp";
    return !destination_name.empty() && name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0;
}

bool file_replace(const std::string& path, const void* data, std::size_t size, std::string& why) {
    if (path.empty()) {
        why = "no file name";
        return false;
    }
    std::string dest;
    if (!resolve_links(path, dest, why)) return false;

    mode_t mode = 0644;  // a new file
    struct stat st {};
    if (::lstat(dest.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            why = kind_of(st.st_mode) + ": not replaced";
            return false;
        }
        // Checked on the permission bits themselves, so that it holds for every user.
        if ((st.st_mode & 0222) == 0 || ::access(dest.c_str(), W_OK) != 0) {
            why = "read-only: not replaced";
            return false;
        }
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        why = "cannot be examined (" + errno_text(errno) + ")";
        return false;
    }

    std::string tmp = dir_of(dest) + "/" + base_of(dest) + ".tmpXXXXXX";
    // mkostemp creates the file with O_CREAT | O_EXCL: a planted name or link makes it pick
    // another name, never write through.
    const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) {
        why = "cannot create a file beside it (" + errno_text(errno) + ")";
        return false;
    }
    bool ok = true;
    if (::fchmod(fd, mode) != 0) {
        why = "cannot set its permissions (" + errno_text(errno) + ")";
        ok = false;
    }
    if (ok) ok = write_all(fd, static_cast<const char*>(data), size, why);
    if (ok && ::fsync(fd) != 0) {
        why = "cannot be synced to disk (" + errno_text(errno) + ")";
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        why = "write failed (" + errno_text(errno) + ")";
        ok = false;
    }
    if (ok && ::rename(tmp.c_str(), dest.c_str()) != 0) {
        why = "cannot be replaced (" + errno_text(errno) + ")";
        ok = false;
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    sync_folder(dir_of(dest));
    return true;
}

int file_remove_stale_temps(const std::string& path) {
    std::string dest;
    std::string why;
    if (!resolve_links(path, dest, why)) return 0;
    const std::string dir = dir_of(dest);
    const std::string base = base_of(dest);
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return 0;
    int removed = 0;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (!file_is_replace_temp(name, base)) continue;
        const std::string full = dir + "/" + name;
        struct stat st {};
        // Only plain files: a folder or a link of that name is not ours.
        if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(full.c_str()) == 0) ++removed;
    }
    ::closedir(d);
    return removed;
}
