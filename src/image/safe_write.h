#pragma once

#include <cstdio>
#include <functional>
#include <string>

// Writes a file so that the file that held the name before is replaced only
// by a complete new one. The content goes to a temporary file in the same
// folder, is flushed to the disk and renamed over the name at the end. On any
// failure, and on SIGINT, SIGTERM or SIGHUP while the temporary file exists,
// the temporary file is removed and the old file stays as it was; a signal
// then still ends the program as it would have without this (default action).
//
// A name that exists but is not a regular file (a device, a FIFO, a socket),
// and any name under /dev/ or /proc/ (/dev/stdout is the program's own
// stream, whatever it leads to), is opened and written directly.
//
// write puts the content into the open stream; it fails by throwing or by
// leaving the stream in error. Failures of the file system throw
// std::system_error carrying the errno of the first failure, with the file
// system left as described above. One file at a time: the signal handler
// knows only one temporary file.
void writeFileSafely(const std::string& name, const std::function<void(std::FILE*)>& write);
