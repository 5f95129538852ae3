// The first difference between two files of state lines (as the runner writes them): the pass
// and the value, by its path in the line ("hero/x", "skivits/3/state"), with both values.
#pragma once
#include <string>
#include <vector>

// One value of a line: its path and its text as written.
struct StateLeaf {
    std::string path;
    std::string value;
};
// Every value of a JSON line in order; false when the line is not one.
bool state_line_leaves(const std::string& line, std::vector<StateLeaf>* out);

// Prints where the two files part, or that they are the same; the exit status: 0 the same, 1
// they differ, 2 a file cannot be read (said on standard error).
int state_diff_files(const char* a, const char* b);
