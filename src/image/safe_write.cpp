#include "image/safe_write.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <system_error>

namespace {

[[noreturn]] void fail(int error) {
    throw std::system_error(error != 0 ? error : EIO, std::generic_category());
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Everything buffered reaches the file, and nothing failed on the way.
void finish(File file, bool toDisk) {
    if (std::ferror(file.get()) != 0) fail(errno);
    if (std::fflush(file.get()) != 0) fail(errno);
    if (toDisk && fsync(fileno(file.get())) != 0) fail(errno);
    if (std::fclose(file.release()) != 0) fail(errno);
}

void writeDirectly(const std::string& name, const std::function<void(std::FILE*)>& write) {
    File file(std::fopen(name.c_str(), "w"));
    if (!file) fail(errno);
    write(file.get());
    finish(std::move(file), false);
}

// What the signal handler needs, set before the handler can see it. Only the
// writing thread changes it, and only with the signals held back, so the
// handler (which runs on that thread, see below) never sees it half-changed.
volatile std::sig_atomic_t haveTemp = 0;
char tempPath[PATH_MAX];
pthread_t writer;

const int SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removeTempAndDie(int signal) {
    // Another thread (a tracing thread) may receive a signal that the writer
    // holds back; the writer alone knows whether the file exists, so it gets
    // the signal, as soon as it lets signals in again.
    if (pthread_equal(pthread_self(), writer) == 0) {
        pthread_kill(writer, signal);
        return;
    }
    if (haveTemp != 0) unlink(tempPath);
    struct sigaction action{};
    action.sa_handler = SIG_DFL;
    sigaction(signal, &action, nullptr);
    // Pending until this handler returns, then the default action.
    raise(signal);
}

// Installs the handler for the signals that are not ignored (a background
// job's SIGINT stays ignored) and restores the previous actions.
class SignalCleanup {
public:
    SignalCleanup() {
        writer = pthread_self();
        struct sigaction action{};
        action.sa_handler = removeTempAndDie;
        sigemptyset(&action.sa_mask);
        for (const int signal : SIGNALS) sigaddset(&action.sa_mask, signal);
        for (std::size_t i = 0; i < std::size(SIGNALS); ++i) {
            sigaction(SIGNALS[i], nullptr, &m_previous[i]);
            if (m_previous[i].sa_handler != SIG_IGN) sigaction(SIGNALS[i], &action, nullptr);
        }
    }
    ~SignalCleanup() {
        for (std::size_t i = 0; i < std::size(SIGNALS); ++i) {
            sigaction(SIGNALS[i], &m_previous[i], nullptr);
        }
    }
    SignalCleanup(const SignalCleanup&) = delete;
    SignalCleanup& operator=(const SignalCleanup&) = delete;

private:
    struct sigaction m_previous[std::size(SIGNALS)];
};

// Holds the signals back on this thread while the temporary file comes into
// being or goes, so that the handler sees haveTemp match the disk.
class HeldSignals {
public:
    HeldSignals() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : SIGNALS) sigaddset(&held, signal);
        pthread_sigmask(SIG_BLOCK, &held, &m_previous);
    }
    ~HeldSignals() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

private:
    sigset_t m_previous;
};

// The temporary file beside the target; removed unless renamed over it.
class TempFile {
public:
    explicit TempFile(const std::string& target) {
        const std::string::size_type start = target.rfind('/') + 1;  // 0 without a folder
        // Hidden, and short enough for any name the target itself may have.
        const std::string pattern =
            target.substr(0, start) + "." + target.substr(start, 200) + ".XXXXXX";
        if (pattern.size() >= sizeof tempPath) fail(ENAMETOOLONG);
        const HeldSignals held;
        std::memcpy(tempPath, pattern.c_str(), pattern.size() + 1);
        m_fd = mkstemp(tempPath);
        if (m_fd < 0) fail(errno);
        haveTemp = 1;
    }
    ~TempFile() {
        const int error = errno;
        const HeldSignals held;
        if (haveTemp != 0) unlink(tempPath);
        haveTemp = 0;
        errno = error;
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return m_fd; }
    void renameTo(const std::string& target) {
        const HeldSignals held;
        if (std::rename(tempPath, target.c_str()) != 0) fail(errno);
        haveTemp = 0;
    }

private:
    int m_fd = -1;
};

// The file a rename must replace: through a symbolic link to an existing
// file, that file, so the link stays a link as it did when files were
// overwritten in place.
std::string replacedFile(const std::string& name) {
    struct stat info;
    if (lstat(name.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        const std::unique_ptr<char, decltype(&std::free)> real(realpath(name.c_str(), nullptr),
                                                               &std::free);
        if (real) return real.get();
    }
    return name;
}

// The permissions a file created with fopen would have, or those of the file
// being replaced.
mode_t modeFor(const std::string& target) {
    struct stat info;
    if (stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool isStreamName(const std::string& name) {
    return name.rfind("/dev/", 0) == 0 || name.rfind("/proc/", 0) == 0;
}

}  // namespace

void writeFileSafely(const std::string& name, const std::function<void(std::FILE*)>& write) {
    struct stat info;
    const bool exists = stat(name.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) fail(EISDIR);
    if ((exists && !S_ISREG(info.st_mode)) || isStreamName(name)) {
        writeDirectly(name, write);
        return;
    }
    // A file the user may not overwrite stays, as it did when it was opened
    // for writing in place.
    if (exists && access(name.c_str(), W_OK) != 0) fail(errno);

    const std::string target = replacedFile(name);
    const SignalCleanup cleanup;
    TempFile temp(target);
    File file(fdopen(temp.fd(), "w"));
    if (!file) {
        const int error = errno;
        close(temp.fd());
        fail(error);
    }
    if (fchmod(temp.fd(), modeFor(target)) != 0) fail(errno);
    write(file.get());
    finish(std::move(file), true);
    temp.renameTo(target);
    // The rename itself reaches the disk with its folder (best effort: some
    // file systems refuse to sync a folder).
    const std::string dir = target.substr(0, target.rfind('/') + 1);
    const int dirFd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
}
