#pragma once

#include <sys/types.h>
#include <sys/wait.h>

// The exit code of a forked child that ran a check in a process of its own (so it may close
// descriptors or change limits freely), or -1 when it did not end by exiting.
inline int ExitCodeOf(pid_t child) {
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}
