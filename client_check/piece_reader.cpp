// SPDX-License-Identifier: MIT
#include "client_check/piece_reader.h"

#include <unistd.h>

#include <cstring>

void PieceReader::fill() {
  std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  while (!endOfInput_ && end_ < kMaxPiece) {
    const ssize_t n = read(fd_, buffer_ + end_, sizeof buffer_ - end_);
    if (n <= 0) {
      // A failed read ends the input at once, as fgets() then returns NULL.
      if (n < 0) begin_ = end_ = 0;
      endOfInput_ = true;
      return;
    }
    end_ += static_cast<std::size_t>(n);
  }
}
