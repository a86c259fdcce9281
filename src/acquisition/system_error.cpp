#include "acquisition/system_error.h"

#include <cstring>

QString SystemErrorText(int errorNumber)
{
    char buffer[256];
    // GNU strerror_r returns the text, which may or may not be in buffer.
    return QString::fromLocal8Bit(strerror_r(errorNumber, buffer, sizeof buffer));
}
