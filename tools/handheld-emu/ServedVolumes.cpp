#define FUSE_USE_VERSION 35
#include "ServedVolumes.h"

#include <fcntl.h>
#include <fuse3/fuse.h>
#include <fuse3/fuse_lowlevel.h>
#include <sys/stat.h>
#include <time.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

constexpr uint32_t kSector = EmulatedHandheld::kSectorSize;

ServedVolumes& Served() {
    return *static_cast<ServedVolumes*>(fuse_get_context()->private_data);
}

// An open file carries the index of its handheld.
EmulatedHandheld* HandheldOf(fuse_file_info* file) {
    return Served().Entries()[file->fh].handheld.get();
}

// A slow cable: every transfer takes its bytes' worth of time.
void Pace(const EmulatedHandheld& handheld, size_t bytes) {
    const uint32_t rate = handheld.Options().bytesPerSecond;
    if (rate == 0) return;
    const uint64_t nanoseconds = uint64_t{bytes} * 1000000000ULL / rate;
    timespec wait{static_cast<time_t>(nanoseconds / 1000000000ULL),
                  static_cast<long>(nanoseconds % 1000000000ULL)};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}

void* Init(fuse_conn_info*, fuse_config* config) {
    config->direct_io = 1;
    config->kernel_cache = 0;
    config->attr_timeout = 0;
    config->entry_timeout = 0;
    config->use_ino = 0;
    return fuse_get_context()->private_data;
}

int GetAttributes(const char* path, struct stat* status, fuse_file_info*) {
    std::memset(status, 0, sizeof *status);
    if (std::strcmp(path, "/") == 0) {
        status->st_mode = S_IFDIR | 0755;
        status->st_nlink = 2;
        return 0;
    }
    if (Served().Find(path) == nullptr) return -ENOENT;
    status->st_mode = S_IFREG | 0666;
    status->st_nlink = 1;
    status->st_size = static_cast<off_t>(EmulatedHandheld::kVolumeBytes);
    status->st_blksize = kSector;
    return 0;
}

int ReadDirectory(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
                  fuse_readdir_flags) {
    if (std::strcmp(path, "/") != 0) return -ENOENT;
    fill(buffer, ".", nullptr, 0, FUSE_FILL_DIR_PLUS);
    fill(buffer, "..", nullptr, 0, FUSE_FILL_DIR_PLUS);
    for (const ServedVolumes::Entry& entry : Served().Entries()) {
        fill(buffer, entry.name.c_str(), nullptr, 0, FUSE_FILL_DIR_PLUS);
    }
    return 0;
}

int Open(const char* path, fuse_file_info* file) {
    ServedVolumes::Entry* entry = Served().Find(path);
    if (entry == nullptr) return -ENOENT;
    // A probe that only looks opens the file for reading.
    const bool forWriting = (file->flags & O_ACCMODE) != O_RDONLY;
    if (!entry->handheld->NoteOpen(forWriting)) return -ENODEV;  // pulled out
    file->fh = static_cast<uint64_t>(entry - Served().Entries().data());
    file->direct_io = 1;
    file->keep_cache = 0;
    Served().WriteReport();
    return 0;
}

int Release(const char*, fuse_file_info* file) {
    HandheldOf(file)->NoteClose();
    Served().WriteReport();
    return 0;
}

// Whole sectors go to the mailbox; any other range is the host's own look at the volume
// (Wine reads every drive as it starts) and has no effect on it.
int Read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* file) {
    EmulatedHandheld& handheld = *HandheldOf(file);
    if (offset < 0) return -EINVAL;
    const auto start = static_cast<uint64_t>(offset);
    if (start >= EmulatedHandheld::kVolumeBytes) return 0;
    size = static_cast<size_t>(std::min<uint64_t>(size, EmulatedHandheld::kVolumeBytes - start));
    auto* bytes = reinterpret_cast<uint8_t*>(buffer);
    int result = 0;
    if (start % kSector == 0 && size % kSector == 0 && size != 0) {
        result = handheld.ReadSectors(static_cast<uint32_t>(start / kSector),
                                      static_cast<uint32_t>(size / kSector), bytes);
    } else {
        result =
            handheld.Peek(start, static_cast<uint32_t>(size), bytes) ? static_cast<int>(size) : -1;
    }
    Pace(handheld, size);
    return result < 0 ? -EIO : result;
}

int Write(const char*, const char* buffer, size_t size, off_t offset, fuse_file_info* file) {
    EmulatedHandheld& handheld = *HandheldOf(file);
    if (offset < 0 || offset % kSector != 0 || size % kSector != 0 || size == 0) return -EINVAL;
    const int result = handheld.WriteSectors(static_cast<uint32_t>(offset / kSector),
                                             static_cast<uint32_t>(size / kSector),
                                             reinterpret_cast<const uint8_t*>(buffer));
    Pace(handheld, size);
    return result < 0 ? -EIO : result;
}

// Nothing is cached, so there is nothing to flush; the size is fixed.
int Flush(const char*, fuse_file_info*) {
    return 0;
}
int Synchronise(const char*, int, fuse_file_info*) {
    return 0;
}
int Truncate(const char* path, off_t size, fuse_file_info*) {
    if (Served().Find(path) == nullptr) return -ENOENT;
    return size == static_cast<off_t>(EmulatedHandheld::kVolumeBytes) ? 0 : -EPERM;
}

fuse_operations MakeOperations() {
    fuse_operations operations{};
    operations.init = Init;
    operations.getattr = GetAttributes;
    operations.readdir = ReadDirectory;
    operations.open = Open;
    operations.release = Release;
    operations.read = Read;
    operations.write = Write;
    operations.flush = Flush;
    operations.fsync = Synchronise;
    operations.truncate = Truncate;
    return operations;
}

// The session's mount and signal handlers, undone in reverse order on every path.
class Mount {
public:
    Mount(fuse* session, const char* mountPoint) : session(session) {
        // A shell starts background jobs with SIGINT ignored, and FUSE leaves an ignored
        // signal alone; the served files must still go away on Ctrl-C or kill -INT.
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        mounted = fuse_mount(session, mountPoint) == 0;
        handlers = mounted && fuse_set_signal_handlers(fuse_get_session(session)) == 0;
    }
    ~Mount() {
        if (handlers) fuse_remove_signal_handlers(fuse_get_session(session));
        if (mounted) fuse_unmount(session);
    }
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;
    bool Ready() const { return mounted && handlers; }

private:
    fuse* session;
    bool mounted = false;
    bool handlers = false;
};

class Session {
public:
    Session(fuse_args* arguments, const fuse_operations& operations, void* data)
        : session(fuse_new(arguments, &operations, sizeof operations, data)) {}
    ~Session() {
        if (session != nullptr) fuse_destroy(session);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    fuse* Get() const { return session; }

private:
    fuse* session;
};

}  // namespace

ServedVolumes::ServedVolumes(const std::vector<ServedHandheld>& handhelds, std::string reportFile)
    : reportFile(std::move(reportFile)) {
    for (const ServedHandheld& served : handhelds) {
        entries.push_back({served.name, std::make_unique<EmulatedHandheld>(served.options)});
    }
}

ServedVolumes::Entry* ServedVolumes::Find(const char* path) {
    if (path == nullptr || path[0] != '/') return nullptr;
    for (Entry& entry : entries) {
        if (entry.name == path + 1) return &entry;
    }
    return nullptr;
}

void ServedVolumes::WriteReport() const {
    if (reportFile.empty()) return;
    const std::string temporary = reportFile + ".new";
    {
        std::ofstream report(temporary, std::ios::trunc);
        for (const Entry& entry : entries) {
            const EmulatorRecord& record = entry.handheld->Record();
            report << entry.name << ' ' << record.Summary() << '\n';
            for (const std::string& problem : record.protocolErrors) {
                report << entry.name << " protocol-error: " << problem << '\n';
            }
        }
    }
    std::rename(temporary.c_str(), reportFile.c_str());
}

int ServedVolumes::Serve(const std::string& mountPoint) {
    const fuse_operations operations = MakeOperations();
    char program[] = "handheld-emu";
    char* argv[] = {program, nullptr};
    fuse_args arguments = FUSE_ARGS_INIT(1, argv);
    const Session session(&arguments, operations, this);
    fuse_opt_free_args(&arguments);
    if (session.Get() == nullptr) return 1;
    int result = 1;
    {
        const Mount mount(session.Get(), mountPoint.c_str());
        if (!mount.Ready()) return 1;
        std::fprintf(stderr, "handheld-emu: serving %zu handheld(s) under %s\n", entries.size(),
                     mountPoint.c_str());
        result = fuse_loop(session.Get()) < 0 ? 1 : 0;
    }
    for (Entry& entry : entries) {
        entry.handheld->SaveMemory();
        const EmulatorRecord& record = entry.handheld->Record();
        std::fprintf(stderr, "handheld-emu: %s %s%s\n", entry.name.c_str(),
                     record.Summary().c_str(),
                     record.OpenHandles() == 0 ? " (no handle left open)" : " (HANDLES LEFT OPEN)");
    }
    WriteReport();
    return result;
}
