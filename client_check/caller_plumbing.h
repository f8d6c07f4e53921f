// SPDX-License-Identifier: MIT
// Keeping the caller's plumbing out of the tool's way, and the tool out of
// the caller's: whatever descriptors and signal dispositions the caller
// hands over, the verdict is decided and returned the same way.
#ifndef CLIENT_CHECK_CALLER_PLUMBING_H
#define CLIENT_CHECK_CALLER_PLUMBING_H

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, so that
// no file or socket of the tool takes their numbers (and a diagnostic for
// stderr never lands in a driver socket). Run before anything else.
void openClosedStandardDescriptors();

// A write to a pipe whose reader has gone fails with EPIPE instead of
// killing the tool: a broken stderr costs a diagnostic, never the verdict.
void ignoreBrokenPipes();

// For the length of one background command: descriptors 0 to 2 on
// /dev/null, every other descriptor closed on exec, and SIGPIPE at its
// default, so that the command inherits nothing of the caller's and never
// holds a pipe the caller is reading. Descriptors 0 to 2 and the SIGPIPE
// disposition are put back on destruction; the close-on-exec marks stay
// (the tool starts nothing else).
class DetachedStdio {
 public:
  DetachedStdio();
  ~DetachedStdio();
  DetachedStdio(const DetachedStdio&) = delete;
  DetachedStdio& operator=(const DetachedStdio&) = delete;

 private:
  int saved_[3];  // the tool's descriptors 0 to 2, or -1 where none was saved
  void (*savedPipeHandler_)(int);
};

#endif  // CLIENT_CHECK_CALLER_PLUMBING_H
