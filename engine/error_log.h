// The error log: a text file (or a given stream) that the engine writes diagnostic lines to.
// Closed at start-up; writes while closed are dropped.
#pragma once
#include <cstdio>

int error_log_open(const char* file_name, FILE* stream);
// printf-style; a message longer than 79 characters is cut to 79.
int error_log_write(const char* format, ...) __attribute__((format(printf, 1, 2)));
int error_log_close();
