// The tools' command lines: options that each take one value, as "--name value", or two, as
// "--name first second".
#pragma once
#include <cstdio>

struct ToolOption {
    const char* name;    // with its dashes: "--out"
    const char** value;  // where the value goes; a later one replaces it
    // Why a value is refused, in a few words, or null when it is taken; null to take any.
    const char* (*refuses)(const char* value) = nullptr;
    // Where a second value goes, for an option that takes two (the first is checked).
    const char** second = nullptr;
};

// true when the command line asks for help (--help or -h anywhere).
bool tool_help_asked(int argc, char** argv);
// Reads argv[1..] as options and their values into the options' values. false at an unknown
// option, an option without its values, or a value the option refuses, after saying which
// and why on messages ("tool: --every 0: ..."; the words escaped as file bytes are).
bool tool_read_options(const char* tool, int argc, char** argv, const ToolOption* options,
                       int count, std::FILE* messages = stderr);
