# SPDX-License-Identifier: MIT
# client_check takes a client's IPv4 address as its address word in decimal:
# the four bytes of a.b.c.d read as one number in the router's byte order,
# a + b*256 + c*65536 + d*16777216 on a little-endian router and
# a*16777216 + b*65536 + c*256 + d on a big-endian one. The build installs
# this file for its router's byte order:
#   byte order: little-endian
# Source it from a POSIX shell script (dash, busybox sh, bash); it sets
# nothing but the two functions. Each runs in a subshell, so IFS and the
# caller's variables stay the caller's, and reports a refusal by its status
# alone, so `|| ...` catches it under set -eu:
#   . /usr/share/client_check/address-helpers.sh
#   word=$(ip_word 192.168.1.5) || exit 2      # 83994816
#   word_ip 83994816                           # 192.168.1.5
# Neither evaluates its argument: text is checked to be decimal digits
# before any arithmetic sees it (shell arithmetic would run a command
# substitution inside an array index, and read 010 as octal).

# ip_word A.B.C.D prints the address word. Anything but four octets of 0 to
# 255 in decimal is refused with status 1 and no output.
ip_word() (
    case ${1-} in
        *[!0-9.]* | *..* | .* | *. | "") exit 1 ;;
    esac
    IFS=.
    # shellcheck disable=SC2086 # split at the dots
    set -- $1
    [ $# -eq 4 ] || exit 1
    word=0
    for shift_by in 0 8 16 24; do
        octet=${1#"${1%%[!0]*}"}   # "010" -> "10", "0" -> ""
        [ ${#octet} -le 3 ] && [ "${octet:-0}" -le 255 ] || exit 1
        word=$((word + ${octet:-0} * (1 << shift_by)))
        shift
    done
    echo "$word"
)

# word_ip WORD prints the dotted address of an address word. Anything but
# a decimal number of 0 to 4294967295 is refused with status 1 and no output.
word_ip() (
    case ${1-} in
        *[!0-9]* | "") exit 1 ;;
    esac
    word=${1#"${1%%[!0]*}"}   # decimal, whatever its leading zeros
    [ ${#word} -le 10 ] && [ "${word:-0}" -le 4294967295 ] || exit 1
    dotted=
    for shift_by in 0 8 16 24; do
        dotted=$dotted.$((${word:-0} >> shift_by & 255))
    done
    echo "${dotted#.}"
)
