#include "base/safe_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qlor {
namespace {

// Temporary files that exist right now, for the signal clean-up. The handler may only read
// them, so each slot is a fixed buffer whose `ready` flag is set after the path is in place.
struct PendingSlot {
    std::atomic<bool> taken{false};
    std::atomic<bool> ready{false};
    char path[4096] = {};
};
constexpr int kPendingSlots = 16;
PendingSlot g_pending[kPendingSlots];

int RegisterPending(const std::string& path) {
    if (path.size() >= sizeof g_pending[0].path) {
        return -1;
    }
    for (int i = 0; i < kPendingSlots; ++i) {
        bool expected = false;
        if (g_pending[i].taken.compare_exchange_strong(expected, true)) {
            std::memcpy(g_pending[i].path, path.c_str(), path.size() + 1);
            g_pending[i].ready.store(true);
            return i;
        }
    }
    return -1; // more temporary files than slots: this one is only removed on ordinary failures
}

void UnregisterPending(int slot) {
    if (slot >= 0) {
        g_pending[slot].ready.store(false);
        g_pending[slot].taken.store(false);
    }
}

extern "C" void RemovePendingAndDie(int signal) {
    for (PendingSlot& slot : g_pending) {
        if (slot.ready.load()) {
            ::unlink(slot.path);
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string WriteError(const std::string& path, int error) {
    return "cannot write " + Quoted(path) + ": " + ErrnoText(error);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The rename is on the disk only once the folder is: a crash right after must not bring back the
// old name's contents. File systems that cannot sync a folder are not an error.
void SyncFolder(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool WriteAll(int fd, std::string_view bytes, int& error) {
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            return false;
        }
        data += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// Opens a fresh exclusive file, never through a symbolic link.
int OpenExclusive(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

// A replaced file keeps its permission bits.
void KeepMode(int fd, const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        ::fchmod(fd, st.st_mode & 07777);
    }
}

struct Staged {
    std::string temp;
    int slot = -1;
};

void RemoveStaged(std::vector<Staged>& staged, size_t from = 0) {
    for (size_t i = from; i < staged.size(); ++i) {
        ::unlink(staged[i].temp.c_str());
        UnregisterPending(staged[i].slot);
    }
}

std::string SizeText(uint64_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) {
        return std::to_string(bytes >> 20) + " MB";
    }
    if (bytes >= 1024 && bytes % 1024 == 0) {
        return std::to_string(bytes >> 10) + " KB";
    }
    return std::to_string(bytes) + " bytes";
}

} // namespace

std::string Capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

std::string ErrnoText(int error) {
    return std::strerror(error);
}

OpenedFile OpenRegularFile(const std::string& path) {
    OpenedFile opened;
    // Non-blocking, so that opening a FIFO with no writer returns at once.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        opened.status = error == ENOENT || error == ENOTDIR ? ReadStatus::Missing : ReadStatus::Failed;
        opened.reason = ErrnoText(error);
        return opened;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        opened.status = ReadStatus::Failed;
        opened.reason = ErrnoText(errno);
        ::close(fd);
        return opened;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        opened.status = ReadStatus::NotRegular;
        opened.reason = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
        return opened;
    }
    opened.fd = fd;
    opened.status = ReadStatus::Ok;
    opened.size = static_cast<uint64_t>(st.st_size);
    return opened;
}

FileBytes ReadRegularFile(const std::string& path, uint64_t maxBytes) {
    FileBytes result;
    auto fail = [&](ReadStatus status, const std::string& reason) {
        result.status = status;
        result.bytes.clear();
        result.error = "cannot read " + Quoted(path) + ": " + reason;
        return result;
    };
    const OpenedFile opened = OpenRegularFile(path);
    if (opened.fd < 0) {
        return fail(opened.status, opened.reason);
    }
    const int fd = opened.fd;
    if (opened.size > maxBytes) {
        ::close(fd);
        return fail(ReadStatus::TooLarge, "it is larger than " + SizeText(maxBytes));
    }
    try {
        result.bytes.resize(static_cast<size_t>(opened.size));
        size_t got = 0;
        for (;;) {
            if (got == result.bytes.size()) {
                if (got > maxBytes) {
                    ::close(fd);
                    return fail(ReadStatus::TooLarge, "it is larger than " + SizeText(maxBytes));
                }
                // The file may have grown since fstat: read on until its end.
                result.bytes.resize(got + 4096);
            }
            const ssize_t n = ::read(fd, result.bytes.data() + got, result.bytes.size() - got);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                const int error = errno;
                ::close(fd);
                return fail(ReadStatus::Failed, ErrnoText(error));
            }
            if (n == 0) {
                break;
            }
            got += static_cast<size_t>(n);
        }
        result.bytes.resize(got);
        if (got > maxBytes) {
            ::close(fd);
            return fail(ReadStatus::TooLarge, "it is larger than " + SizeText(maxBytes));
        }
    } catch (const std::bad_alloc&) {
        ::close(fd);
        return fail(ReadStatus::Failed, ErrnoText(ENOMEM));
    }
    ::close(fd);
    result.status = ReadStatus::Ok;
    return result;
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes) {
    const FileToWrite file{path, bytes};
    return WriteFilesAtomically(std::span<const FileToWrite>(&file, 1));
}

std::string WriteFilesAtomically(std::span<const FileToWrite> files) {
    static std::atomic<unsigned> counter{0};
    std::vector<Staged> staged;
    staged.reserve(files.size());
    for (const FileToWrite& file : files) {
        if (file.path.empty()) {
            RemoveStaged(staged);
            return WriteError(file.path, ENOENT);
        }
        // A fresh name beside the target, so the rename stays in one file system.
        Staged next;
        int fd = -1;
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            next.temp = file.path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
            fd = OpenExclusive(next.temp);
            if (fd < 0 && errno != EEXIST) {
                const int error = errno;
                RemoveStaged(staged);
                return WriteError(file.path, error);
            }
        }
        if (fd < 0) {
            RemoveStaged(staged);
            return WriteError(file.path, EEXIST);
        }
        next.slot = RegisterPending(next.temp);
        staged.push_back(next);
        KeepMode(fd, file.path);
        int error = 0;
        // fsync before close: a full disk or a failing device shows up here, not after the rename.
        if (!WriteAll(fd, file.bytes, error) || (::fsync(fd) != 0 && (error = errno) != EINVAL)) {
            ::close(fd);
            RemoveStaged(staged);
            return WriteError(file.path, error);
        }
        if (::close(fd) != 0) {
            error = errno;
            RemoveStaged(staged);
            return WriteError(file.path, error);
        }
    }
    // Every file is complete. The old files are kept under a second name (a hard link) while the
    // new ones are renamed into place, so that a rename that fails half-way through the set can
    // put back the ones already replaced.
    std::vector<std::string> backups(files.size());
    std::vector<bool> existed(files.size(), true);
    if (files.size() > 1) {
        for (size_t i = 0; i < files.size(); ++i) {
            struct stat st {};
            existed[i] = ::lstat(files[i].path.c_str(), &st) == 0;
            std::string backup = staged[i].temp + ".old";
            if (existed[i] && ::link(files[i].path.c_str(), backup.c_str()) == 0) {
                backups[i] = std::move(backup);
            }
        }
    }
    auto dropBackups = [&]() {
        for (const std::string& backup : backups) {
            if (!backup.empty()) {
                ::unlink(backup.c_str());
            }
        }
    };
    for (size_t i = 0; i < files.size(); ++i) {
        if (::rename(staged[i].temp.c_str(), files[i].path.c_str()) != 0) {
            const int error = errno;
            RemoveStaged(staged, i);
            for (size_t j = 0; j < i; ++j) {
                if (!existed[j]) {
                    ::unlink(files[j].path.c_str()); // there was no old file
                } else if (!backups[j].empty() && ::rename(backups[j].c_str(), files[j].path.c_str()) == 0) {
                    backups[j].clear();
                }
            }
            dropBackups();
            return WriteError(files[i].path, error);
        }
        UnregisterPending(staged[i].slot);
    }
    dropBackups();
    std::vector<std::string> synced;
    for (const FileToWrite& file : files) {
        if (std::find(synced.begin(), synced.end(), FolderOf(file.path)) == synced.end()) {
            synced.push_back(FolderOf(file.path));
            SyncFolder(file.path);
        }
    }
    return {};
}

PartFile::~PartFile() {
    Discard();
}

std::string PartFile::Create(const std::string& target, std::string_view suffix) {
    return CreateAt(target, target + std::string(suffix));
}

std::string PartFile::CreateAt(const std::string& target, const std::string& tempPath) {
    Discard();
    target_ = target;
    temp_ = tempPath;
    fd_ = OpenExclusive(temp_);
    if (fd_ < 0 && errno == EEXIST) {
        // A part file that an interrupted run of this user left behind is taken over; anything
        // else there (a link, another user's file) is refused, never followed.
        struct stat st {};
        if (::lstat(temp_.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1 &&
            ::unlink(temp_.c_str()) == 0) {
            fd_ = OpenExclusive(temp_);
        } else {
            errno = EEXIST;
        }
    }
    if (fd_ < 0) {
        const int error = errno;
        temp_.clear();
        return "cannot create " + Quoted(tempPath) + ": " + ErrnoText(error);
    }
    slot_ = RegisterPending(temp_);
    return {};
}

std::string PartFile::Write(std::string_view bytes) {
    int error = EBADF;
    if (fd_ >= 0 && WriteAll(fd_, bytes, error)) {
        return {};
    }
    return ErrnoText(error);
}

std::string PartFile::Commit() {
    if (temp_.empty()) {
        return WriteError(target_, EBADF);
    }
    int error = 0;
    if (fd_ >= 0) {
        if (::fsync(fd_) != 0 && errno != EINVAL) {
            error = errno;
        }
        if (::close(fd_) != 0 && error == 0) {
            error = errno;
        }
        fd_ = -1;
    } else {
        // The descriptor was closed by its user; sync through a fresh one.
        const int fd = ::open(temp_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 || (::fsync(fd) != 0 && errno != EINVAL)) {
            error = errno;
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
    if (error == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        Discard();
        return WriteError(target_, error);
    }
    UnregisterPending(slot_);
    slot_ = -1;
    temp_.clear();
    SyncFolder(target_);
    return {};
}

void PartFile::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    UnregisterPending(slot_);
    slot_ = -1;
}

void RemovePartFilesOnSignals() {
    struct sigaction action {};
    action.sa_handler = RemovePendingAndDie;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

std::string JoinFolder(const std::string& folder, const std::string& fileName) {
    if (folder.empty()) {
        return fileName;
    }
    if (folder.back() == '/') {
        return folder + fileName;
    }
    return folder + "/" + fileName;
}

} // namespace qlor
