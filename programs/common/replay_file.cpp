// A recording's file: the journal as the run goes, the finished replay at its end.
#include "programs/common/replay_file.h"

#include <cstdio>

bool replay_file_open(ReplayFile* file, const char* path, char* why, size_t why_size) {
    file->path = path;
    file->open = file_append_open(&file->appender, path, why, why_size);
    return file->open;
}

bool replay_file_append(ReplayFile* file, ReplayRecorder* recorder) {
    if (!file->open)
        return false;
    const bool written =
        !recorder->failed && file_append(&file->appender, recorder->journal.items,
                                         static_cast<size_t>(recorder->journal.count));
    recorder->journal.clear();
    return written;
}

bool replay_file_finish(ReplayFile* file, ReplayRecorder* recorder, int outcome, char* why,
                        size_t why_size) {
    if (!file->open) {
        std::snprintf(why, why_size, "it could not be made");
        return false;
    }
    replay_file_append(file, recorder);
    file->open = false;
    const bool closed = file_append_close(&file->appender, why, why_size);
    if (recorder->failed) {
        std::snprintf(why, why_size, "no memory to keep the whole run");
        return false;
    }
    if (!closed)
        return false;
    replay_record_finish(recorder, outcome);
    ReplayBytes bytes;
    const bool encoded = replay_encode(recorder->replay, recorder->details, &bytes);
    if (!encoded)
        std::snprintf(why, why_size, "no memory to write it");
    const bool written =
        encoded && file_write_whole(file->path.c_str(), bytes.items,
                                    static_cast<size_t>(bytes.count), why, why_size);
    bytes.release();
    return written;
}
