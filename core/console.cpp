// Holding file descriptor 1 in a scratch file and handing it on.
#include "core/console.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

namespace {

int gTerminal = -1;         // the original standard output while held or moved
int gHeld = -1;             // the scratch file descriptor 1 points at, or -1
FILE* gConsole = nullptr;   // stream on gTerminal
char gStdoutBuffer[BUFSIZ];  // stdout's buffer once the output has its place

// Flushes both kinds of standard output.
void Flush() {
    std::cout.flush();
    std::fflush(stdout);
}

// Copies what was held to fd; the scratch file's offset is left alone.
void CopyHeld(int fd) {
    if (gHeld < 0) return;
    char buffer[8192];
    off_t at = 0;
    for (ssize_t n; (n = pread(gHeld, buffer, sizeof buffer, at)) > 0; at += n)
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = write(fd, buffer + done, size_t(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return;
            done += w;
        }
}

// Points descriptor 1 at fd (after handing over what was held) and lets the
// scratch file go.
void Replace(int fd) {
    Flush();
    CopyHeld(fd);
    dup2(fd, STDOUT_FILENO);
    if (gHeld >= 0) close(gHeld);
    gHeld = -1;
    // stdio chose its buffering when it first wrote, into the scratch file:
    // choose again for where the output goes now, as at start-up (line by
    // line on a terminal, in blocks into a file or pipe). glibc takes a new
    // mode for a stream that has written only together with a buffer.
    std::setvbuf(stdout, gStdoutBuffer, isatty(STDOUT_FILENO) ? _IOLBF : _IOFBF, sizeof gStdoutBuffer);
}

// Descriptors 0 to 2 closed at the start are opened on /dev/null, so that
// no file opened later takes their number and is mistaken for a standard
// stream (the scratch file for the output it holds, or a file handed to a
// child as its input).
void OpenClosedStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
        const int null = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            dup2(null, fd);
            close(null);
        }
    }
}

}  // namespace

void HoldStandardOutput() {
    if (gHeld >= 0) return;
    OpenClosedStandardDescriptors();
    const int held = memfd_create("held-stdout", MFD_CLOEXEC);
    if (held < 0) return;
    // Runs before the standard streams exist: only stdio may be touched.
    std::fflush(stdout);
    if (gTerminal < 0) gTerminal = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (gTerminal < 0 || dup2(held, STDOUT_FILENO) < 0) {
        close(held);
        return;
    }
    gHeld = held;
}

FILE* Console() {
    if (gTerminal < 0) return stdout;
    if (!gConsole) {
        gConsole = fdopen(gTerminal, "w");
        if (!gConsole) return stdout;
        std::setvbuf(gConsole, nullptr, _IOLBF, 0);  // line by line, also into a pipe
    }
    return gConsole;
}

void ReleaseStandardOutput() {
    if (gHeld < 0) return;
    Replace(gTerminal);
}

bool MoveStandardOutputTo(const std::string& path, std::string& error) {
    const int log = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (log < 0) {
        error = "cannot write the log " + path + ": " + std::strerror(errno);
        return false;
    }
    if (gTerminal < 0) gTerminal = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    Replace(log);
    close(log);
    return true;
}

void DiscardStandardOutput() {
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) return;
    if (gTerminal < 0) gTerminal = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (gHeld >= 0) close(gHeld);  // nothing of it is wanted
    gHeld = -1;
    Flush();
    dup2(null, STDOUT_FILENO);
    close(null);
}
