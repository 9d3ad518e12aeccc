// Helper programs of the capture (ffmpeg, ffprobe), each run in a session of
// its own.
//
// A terminal's hang-up (SIGHUP) and Ctrl-C (SIGINT) go to the terminal's
// whole foreground process group. A child in that group would die at the
// same moment as the capture program is asked to stop, before it closed
// its file. In its own session it hears only the capture program, which
// ends its input and waits for it.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Starts program with arguments (argv, the name first) in a new session,
// with input as its standard input (-1: the capture program's) and the
// descriptors passed as its descriptors 3, 4, ... in order, whatever
// numbers they have here; the child's process id, or -1 with error set.
pid_t StartChild(const std::string& program, const std::vector<std::string>& arguments, int input,
                 std::string& error, const std::vector<int>& passed = {});
// Waits for the child to end; "" when it exited with status 0, otherwise
// what happened to it, named name.
std::string WaitChild(pid_t child, const std::string& name);
// Runs program as StartChild does, with its standard output read into
// output; "" when it exited with status 0, otherwise what went wrong.
std::string ChildOutput(const std::string& program, const std::vector<std::string>& arguments,
                        std::string& output);
