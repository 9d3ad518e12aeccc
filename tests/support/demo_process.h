// The demo program run by an end-to-end test: started in a directory of the
// test's choosing, its standard output read line by line as it comes, with
// the moment each line arrived.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace e2e {

struct cLine {
    std::string text;
    double time;  // seconds since the program was started
};

class cDemoProcess {
public:
    // Starts program in directory dir with the arguments and the extra
    // environment entries ("NAME=value", or "NAME" to remove it); with
    // keepDisplay false, DISPLAY is removed; with withErrors, standard error
    // is read among the lines too.
    cDemoProcess(const std::string& program, const std::string& dir, const std::vector<std::string>& env,
                 bool keepDisplay = true, const std::vector<std::string>& args = {}, bool withErrors = false);
    // Kills the program if it is still running.
    ~cDemoProcess();
    cDemoProcess(const cDemoProcess&) = delete;
    cDemoProcess& operator=(const cDemoProcess&) = delete;

    pid_t Pid() const { return pid; }
    // Reads output until a line equal to text (or beginning with it, when
    // prefix) arrives after the first `after` lines; false on timeout or exit.
    bool WaitForLine(const std::string& text, double timeout, bool prefix = false, size_t after = 0);
    // Reads output for the given time (or until the program ends).
    void ReadFor(double seconds);
    // Waits for the program to end and reads the rest of its output; its
    // exit status, 128 + signal when killed, or -1 on timeout.
    int WaitForExit(double timeout);
    // Sends a signal.
    void Signal(int signal);

    const std::vector<cLine>& Lines() const { return lines; }
    // The output so far, lines joined with newlines.
    std::string Output() const;
    // How many lines are equal to text (or begin with it).
    size_t Count(const std::string& text, bool prefix = false) const;

private:
    // Reads what is available within timeout seconds; false at end of output.
    bool ReadSome(double timeout);
    double Now() const;

    pid_t pid = -1;
    int out = -1;
    int status = -1;
    double started = 0;
    std::string partial;
    std::vector<cLine> lines;
};

}  // namespace e2e
