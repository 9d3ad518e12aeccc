// The video-mode guardian process and the demo's two messages to it.
//
// Depends on Xlib and the XF86VidMode client library, in the guardian only.
// The messages travel over a SOCK_SEQPACKET socket pair: each arrives whole,
// the demo's end closes with the demo whatever ends it, and a send to a
// guardian that has gone fails with an error instead of raising SIGPIPE.
#include "app/mode_guardian.h"

#include "app/mode_claim.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

namespace {

// ---- Constants and types ---------------------------------------------------

enum : int { kModeSwitched = 1, kModeRestored = 2 };
// The guardian's answer to kModeSwitched.
enum : int { kClaimHeld = 0, kClaimGranted = 1, kClaimNoConnection = 2 };

// The guardian's name in process lists (at most 15 characters).
constexpr const char* kGuardianName = "vindelkrok-mode";

// Longest the guardian may take to restore the mode once the demo has gone:
// a server that does not answer must not keep it alive.
constexpr unsigned kRestoreSeconds = 1;

// Longest the demo waits for the guardian's answer to a claim; a guardian
// that has not answered by then is taken as gone.
constexpr int kAnswerMilliseconds = 5000;

struct cGuardMessage {
    int kind;
    int screen;
    XF86VidModeModeInfo mode;  // the mode to restore; its private data dropped
};

// ---- Module state ----------------------------------------------------------

// The demo's end of the socket; -1 without a guardian.
int gGuardSocket = -1;

// ---- Local helpers (the guardian) ------------------------------------------

// A lost server ends the guardian: nothing left to restore on it.
int OnLostServer(Display*) { _exit(0); }
// A refused request (a mode the server no longer knows) is not worth a word.
int OnRequestError(Display*, XErrorEvent*) { return 0; }

// Leaves the demo's terminal, signals and open files behind: only the
// socket stays open, the standard streams point at /dev/null.
int DetachFromDemo(int socket) {
    setsid();
    prctl(PR_SET_NAME, kGuardianName);
    // Quit keys and hang-ups reach the demo, which restores the mode itself;
    // the guardian waits for it to go.
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP, SIGTTIN, SIGTTOU, SIGPIPE}) signal(s, SIG_IGN);
    // The alarm that bounds the restore must end it, whatever the demo
    // inherited.
    signal(SIGALRM, SIG_DFL);
    sigset_t alarmOnly;
    sigemptyset(&alarmOnly);
    sigaddset(&alarmOnly, SIGALRM);
    sigprocmask(SIG_UNBLOCK, &alarmOnly, nullptr);
    const int kept = fcntl(socket, F_DUPFD, 3);
    const int null = open("/dev/null", O_RDWR);
    for (int fd = 0; fd <= 2; ++fd) dup2(null, fd);
    if (kept > 3) close_range(3, unsigned(kept) - 1, 0);
    close_range(unsigned(kept) + 1, ~0U, 0);
    return kept;
}

// Switches the server back to the desktop mode.
void RestoreMode(Display* display, const cGuardMessage& guard) {
    if (!display) display = XOpenDisplay(nullptr);
    if (!display) return;
    XF86VidModeModeInfo mode = guard.mode;
    XF86VidModeSwitchToMode(display, guard.screen, &mode);
    XF86VidModeSetViewPort(display, guard.screen, 0, 0);
    // Closing flushes the requests; the claim goes with the connection,
    // after them.
    XCloseDisplay(display);
}

// Opens the guardian's connection and claims the screen's mode on it.
int ClaimOnOwnConnection(Display*& display, int screen) {
    if (display) return kClaimGranted;  // claimed by an earlier message
    display = XOpenDisplay(nullptr);
    if (!display) return kClaimNoConnection;
    if (ClaimVideoMode(display, screen)) return kClaimGranted;
    XCloseDisplay(display);
    display = nullptr;
    return kClaimHeld;
}

// The guardian's life: follow the demo's messages until its end closes.
[[noreturn]] void RunGuardian(int socket) {
    socket = DetachFromDemo(socket);
    XSetIOErrorHandler(OnLostServer);
    XSetErrorHandler(OnRequestError);
    cGuardMessage guard{};
    bool switched = false;
    // Held while the mode is switched: it holds the claim on the mode, the
    // restore needs no new connection, and a server does not reset when the
    // demo's goes.
    Display* display = nullptr;
    for (;;) {
        cGuardMessage message{};
        const ssize_t n = recv(socket, &message, sizeof message, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n != ssize_t(sizeof message)) break;  // the demo has gone
        if (message.kind == kModeSwitched) {
            const int answer = ClaimOnOwnConnection(display, message.screen);
            if (answer == kClaimGranted) {
                guard = message;
                switched = true;
            }
            send(socket, &answer, sizeof answer, MSG_NOSIGNAL);
        } else if (message.kind == kModeRestored) {
            switched = false;
            if (display) XCloseDisplay(display);
            display = nullptr;
        }
    }
    alarm(kRestoreSeconds);
    if (switched) RestoreMode(display, guard);
    _exit(0);
}

// Sends one message without ever blocking the demo or raising SIGPIPE.
void Tell(const cGuardMessage& message) {
    if (gGuardSocket < 0) return;
    while (send(gGuardSocket, &message, sizeof message, MSG_NOSIGNAL | MSG_DONTWAIT) < 0 && errno == EINTR) {
    }
}

}  // namespace

// ---- Public functions ------------------------------------------------------

// Fork the guardian
void StartModeGuardian() {
    if (gGuardSocket >= 0) return;
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return;
    const pid_t pid = fork();
    if (pid == 0) {
        close(ends[0]);
        RunGuardian(ends[1]);
    }
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        return;
    }
    gGuardSocket = ends[0];
}

// Claim the mode and announce the switch
bool GuardModeSwitch(Display* display, int screen, const XF86VidModeModeInfo& desktopMode) {
    cGuardMessage message{};
    message.kind = kModeSwitched;
    message.screen = screen;
    message.mode = desktopMode;
    message.mode.privsize = 0;
    message.mode.c_private = nullptr;
    Tell(message);
    int answer = kClaimNoConnection;
    pollfd reply{gGuardSocket, POLLIN, 0};
    if (gGuardSocket >= 0 && poll(&reply, 1, kAnswerMilliseconds) == 1 &&
        recv(gGuardSocket, &answer, sizeof answer, 0) != ssize_t(sizeof answer))
        answer = kClaimNoConnection;
    // Without a guardian the demo's own connection holds the claim; it
    // closes after CloseWindow's restore, or with the demo.
    if (answer == kClaimNoConnection) return ClaimVideoMode(display, screen);
    return answer == kClaimGranted;
}

// Announce the desktop mode is back
void ReleaseModeGuard() {
    cGuardMessage message{};
    message.kind = kModeRestored;
    Tell(message);
}
