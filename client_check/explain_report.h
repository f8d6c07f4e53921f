// SPDX-License-Identifier: MIT
// The companion's account on standard output, a line at a time.
#ifndef CLIENT_CHECK_EXPLAIN_REPORT_H
#define CLIENT_CHECK_EXPLAIN_REPORT_H

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <unistd.h>

#include <cstddef>

// Writes one line, formatted as printf() formats it (cut at 511 characters),
// with one write() where it can: a line is never lost to another's buffer.
// A standard output that is closed, full or has no reader costs the line,
// never the status.
[[gnu::format(printf, 1, 2)]] inline void say(const char* format, ...) {
  char text[512];
  va_list arguments;
  va_start(arguments, format);
  const int formatted = vsnprintf(text, sizeof text - 1, format, arguments);
  va_end(arguments);
  if (formatted < 0) return;
  std::size_t size = static_cast<std::size_t>(formatted);
  if (size > sizeof text - 2) size = sizeof text - 2;
  text[size++] = '\n';
  for (std::size_t done = 0; done < size;) {
    const ssize_t wrote = write(STDOUT_FILENO, text + done, size - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return;
    done += static_cast<std::size_t>(wrote);
  }
}

#endif  // CLIENT_CHECK_EXPLAIN_REPORT_H
