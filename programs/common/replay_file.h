// A recording's file: while the run goes, each pass's bytes are appended as a journal the
// moment the pass has run, so that a crash (even SIGKILL) keeps every pass written whole;
// at the end the finished replay replaces the journal, written whole or not at all (the
// journal then stays, and still plays).
#pragma once
#include <cstddef>
#include <string>

#include "platform/file_write.h"
#include "programs/common/replay_record.h"

struct ReplayFile {
    FileAppender appender;
    std::string path;
    bool open;
};

// Makes (or empties) the file; the recorder must have begun. false with why.
bool replay_file_open(ReplayFile* file, const char* path, char* why, size_t why_size);
// Appends what the recorder made since the last call (its journal bytes, then cleared).
// false once a write or the recorder's memory failed.
bool replay_file_append(ReplayFile* file, ReplayRecorder* recorder);
// Finishes the recording with outcome, closes the journal and writes the finished replay
// over it. false with why when the file does not hold the whole run.
bool replay_file_finish(ReplayFile* file, ReplayRecorder* recorder, int outcome, char* why,
                        size_t why_size);
