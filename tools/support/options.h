// The tools' command lines: options that each take one value, as "--name value".
#pragma once

struct ToolOption {
    const char* name;                              // with its dashes: "--out"
    const char** value;                            // where the value goes; a later one replaces it
    bool (*accepts)(const char* value) = nullptr;  // refuses a value, or null to take any
};

// Reads argv[1..] as option and value pairs into the options' values. false at an unknown
// option, an option without its value, or a value the option refuses.
bool tool_read_options(int argc, char** argv, const ToolOption* options, int count);
