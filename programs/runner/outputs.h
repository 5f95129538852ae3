// The headless runner's outputs: the state lines and the frame digests go to standard output
// for "-", else into a file written whole (platform/file_write.h) and put in place when the run
// ends, so that a reader never sees part of one; and the check that no output names a file
// the run reads or another output.
#pragma once
#include <cstdio>

#include "platform/file_write.h"

struct RunnerOutput {
    const char* path;  // as given on the command line; null when not asked for
    FILE* file;        // where the lines are printed: standard output, or a stream into writer
    bool failed;       // a write failed, and was told
    FileWriter writer;
};

// Opens the output (nothing to do when it was not asked for); false after saying why.
bool runner_output_open(RunnerOutput* out);
// Tells the first write that failed (a full disk, a closed pipe, a file-size limit); false once
// one has.
bool runner_output_check(RunnerOutput* out);
// Sends on what was printed (step mode, where a program waits for each line): standard output,
// a pipe or a device has it at once; a file appears whole at the end all the same.
void runner_output_flush(RunnerOutput* out);
// Puts the output in place; false, after saying why, when it is not whole.
bool runner_output_close(RunnerOutput* out);
// Drops a file output unwritten (a run that never began): nothing is left of it.
void runner_output_abandon(RunnerOutput* out);

// A file the run reads or writes, by the option that names it.
struct RunnerFile {
    const char* option;  // "--script"
    const char* path;    // as given; null when not asked for; "-": standard input or output
    bool output;
};
// false, after naming both, when an output names an input or another output: the same file
// (by device and inode; links followed), or the same path for a file not there yet. A frame's
// name in the frames folder counts too. Terminals, /dev/null and sockets are not compared:
// nothing written to them is kept, or they are shared on purpose.
bool runner_files_apart(const RunnerFile* files, int count, const char* frames_dir);
