// SPDX-License-Identifier: MIT
// Reading a text stream the way fgets(line, 200, stream) reads it, straight
// from a descriptor through one large buffer: few read() calls, and no stdio.
#ifndef CLIENT_CHECK_PIECE_READER_H
#define CLIENT_CHECK_PIECE_READER_H

#include <cstddef>
#include <cstring>

#include "client_check/word_scan.h"

class PieceReader {
 public:
  // The longest piece: what fits a 200-byte line buffer with its terminator.
  static constexpr std::size_t kMaxPiece = 199;

  explicit PieceReader(int fd) : fd_(fd) {}
  PieceReader(const PieceReader&) = delete;
  PieceReader& operator=(const PieceReader&) = delete;

  // The next piece: up to and including a newline, at most kMaxPiece bytes,
  // or what is left at the end of the input. False at the end of the input
  // or once a read fails. The piece stays valid until the next call.
  bool next(const char*& piece, std::size_t& size) {
    if (end_ - begin_ < kMaxPiece && !endOfInput_) fill();
    const std::size_t available = end_ - begin_;
    if (available == 0) return false;
    const std::size_t limit = available < kMaxPiece ? available : kMaxPiece;
    piece = buffer_ + begin_;
    // A word at a time: cheaper than many C libraries' memchr() on lines of
    // the kernel's length.
    const char* newline = word_scan::findByte(piece, limit, '\n');
    size = newline != nullptr ? static_cast<std::size_t>(newline - piece) + 1 : limit;
    begin_ += size;
    return true;
  }

 private:
  void fill();

  int fd_;
  bool endOfInput_ = false;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  // procfs hands out at most a page per read(); a larger buffer keeps every
  // read full wherever the input comes from.
  char buffer_[16384];
};

#endif  // CLIENT_CHECK_PIECE_READER_H
