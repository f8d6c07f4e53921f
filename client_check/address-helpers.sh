# SPDX-License-Identifier: MIT
# client_check takes a client's IPv4 address as its address word in decimal:
# a.b.c.d is a + b*256 + c*65536 + d*16777216 (the word as a little-endian
# router stores it). Source this file from a POSIX shell script (dash,
# busybox sh, bash); it sets nothing but the two functions, and they hold
# under set -eu:
#   . /usr/share/client_check/address-helpers.sh
#   word=$(ip_word 192.168.1.5) || exit 2      # 83994816
#   word_ip 83994816                           # 192.168.1.5

# ip_word A.B.C.D prints the address word. Anything but four octets of 0 to
# 255 in decimal is refused with status 1 and no output. Leading zeros are
# dropped first, as shell arithmetic would read "010" as octal 8. The body
# is a subshell: IFS and the variables stay the caller's.
ip_word() (
    case ${1-} in
        *[!0-9.]* | *..* | .* | *. | "") exit 1 ;;
    esac
    IFS=.
    # shellcheck disable=SC2086 # split at the dots
    set -- $1
    [ $# -eq 4 ] || exit 1
    word=0 shift_by=0
    for octet; do
        octet=${octet#"${octet%%[!0]*}"}   # "010" -> "10", "0" -> ""
        [ ${#octet} -le 3 ] && [ "${octet:-0}" -le 255 ] || exit 1
        word=$((word + ${octet:-0} * (1 << shift_by)))
        shift_by=$((shift_by + 8))
    done
    echo "$word"
)

# word_ip WORD prints the dotted address of an address word (0 to 4294967295).
word_ip() {
    echo "$(($1 & 255)).$(($1 >> 8 & 255)).$(($1 >> 16 & 255)).$(($1 >> 24 & 255))"
}
