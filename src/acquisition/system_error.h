#pragma once
// The operating system's own words for an error number, for the messages
// that tell the user why a file or device operation failed.

#include <QString>

// Thread-safe (exports run on a worker thread).
QString SystemErrorText(int errorNumber);
